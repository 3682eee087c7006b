#include "demo_server.h"

#include <httplib.h>

#include <chrono>

#include "byte_range.h"

namespace tavelo::demo {

namespace {

constexpr int kBindAttempts = 20;

Role RoleAt(size_t index) { return static_cast<Role>(index); }

// Waits until a listener thread is inside its accept loop, where stop()
// reaches it. The time limit covers a loop that ended at once.
void WaitUntilRunning(const httplib::Server& server) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!server.is_running() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

// Sends `reply`, or the part of it that the request's Range header names.
void AnswerWithRange(const httplib::Request& request, Reply& reply, httplib::Response& response) {
  // The library cuts the body once more after the handler whenever it parsed
  // a Range header, and keeps a 200 status while doing so; the answer is
  // made here instead, so its own copy of the ranges is dropped. The request
  // object is the library's per-request one and is not const itself.
  const_cast<httplib::Request&>(request).ranges.clear();
  if (reply.status == 200) {
    ByteRange range = AnswerRange(request.get_header_value("Range"), reply.body.size());
    std::string contentRange = ContentRangeValue(range, reply.body.size());
    if (range.kind == ByteRange::Kind::kPart) {
      reply.status = 206;
      reply.body = reply.body.substr(range.first, range.last - range.first + 1);
    } else if (range.kind == ByteRange::Kind::kUnsatisfiable) {
      reply.status = 416;
      reply.body.clear();
    }
    response.set_header("Accept-Ranges", "bytes");
    if (!contentRange.empty()) response.set_header("Content-Range", contentRange);
  }
  response.status = reply.status;
  response.set_content(reply.body, reply.contentType.c_str());
}

}  // namespace

DemoServer::DemoServer(std::ostream* log) : log_(log) {}

DemoServer::~DemoServer() { Stop(); }

// Drops listeners that are bound but not serving. cpp-httplib closes a socket
// only from its accept loop, so each is run briefly and stopped.
void DemoServer::CloseAll() {
  for (auto& server : servers_) {
    std::thread listener([&server] { server->listen_after_bind(); });
    WaitUntilRunning(*server);
    server->stop();
    listener.join();
  }
  servers_.clear();
}

int DemoServer::Bind(int port) {
  for (int attempt = 0; attempt < (port == 0 ? kBindAttempts : 1); ++attempt) {
    CloseAll();
    int chosen = port;
    bool bound = true;
    for (size_t i = 0; i < kRoleCount && bound; ++i) {
      auto server = std::make_unique<httplib::Server>();
      // cpp-httplib's default SO_REUSEPORT would let a second server share the
      // port and steal half the requests; a busy port has to fail instead.
      server->set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
      });
      if (chosen == 0) {
        // The first host picks a free port; the others have to get the same one.
        chosen = server->bind_to_any_port(RoleHost(RoleAt(i)));
        bound = chosen > 0;
      } else {
        bound = server->bind_to_port(RoleHost(RoleAt(i)), chosen);
      }
      servers_.push_back(std::move(server));
    }
    if (bound) return chosen;
  }
  CloseAll();
  return -1;
}

void DemoServer::Start(const DemoSite& site) {
  for (size_t i = 0; i < servers_.size(); ++i) {
    Role role = RoleAt(i);
    httplib::Server& server = *servers_[i];
    server.Get(".*", [&site, role](const httplib::Request& request, httplib::Response& response) {
      Query query(request.params.begin(), request.params.end());
      Reply reply = site.Handle(role, request.path, query);
      AnswerWithRange(request, reply, response);
    });
    server.set_logger([this, role](const httplib::Request& request, const httplib::Response& response) {
      if (!log_) return;
      // One write per line: other threads (the signal report) write to the
      // same stream, and pieces of lines would interleave.
      std::string line = std::string(RoleName(role)) + ' ' + RoleHost(role) + ' ' + request.method +
                         ' ' + request.target + ' ' + std::to_string(response.status) + '\n';
      std::lock_guard lock(logMutex_);
      *log_ << line << std::flush;
    });
    threads_.emplace_back([&server] { server.listen_after_bind(); });
  }
  // Stop() right after Start() must find every loop running, or it would miss one.
  for (auto& server : servers_) WaitUntilRunning(*server);
}

void DemoServer::Stop() {
  for (auto& server : servers_) server->stop();
  for (auto& thread : threads_) thread.join();
  threads_.clear();
  servers_.clear();
}

}  // namespace tavelo::demo
