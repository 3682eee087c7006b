#include "net/loopback_server.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace tavelo::testing {

LoopbackServer::~LoopbackServer() {
  released_ = true;
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

void LoopbackServer::Start() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  ASSERT_GT(port_, 0) << "cannot bind a loopback port";
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  // stop() only ends an accept loop that is already running; a test that
  // never calls the server would otherwise leave the destructor waiting.
  for (int i = 0; i < 500 && !server_.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(server_.is_running()) << "the server did not start";
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int UnusedLoopbackPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  int port = -1;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

}  // namespace tavelo::testing
