#pragma once
// An HTTP server on 127.0.0.1 with a free port, started by a test and
// stopped with it. Routes are registered on Routes() before Start().

#include <httplib.h>

#include <atomic>
#include <string>
#include <thread>

namespace tavelo::testing {

class LoopbackServer {
 public:
  LoopbackServer() = default;
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  httplib::Server& Routes() { return server_; }
  // Binds and starts serving; connections made after it returns are served.
  void Start();
  std::string Url(const std::string& path) const;

  // Handlers that hold a response open poll this and end once it is set;
  // the destructor sets it so that the server can shut down.
  const std::atomic<bool>& Released() const { return released_; }
  void Release() { released_ = true; }

 private:
  httplib::Server server_;
  std::thread thread_;
  std::atomic<bool> released_{false};
  int port_ = -1;
};

// A loopback port nobody listens on (bound once, then closed again).
int UnusedLoopbackPort();

}  // namespace tavelo::testing
