#pragma once
// Serves a DemoSite over HTTP: one cpp-httplib listener per role, each on its
// own loopback host and all on the same port, one log line per request.

#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

#include "demo_site.h"

namespace httplib {
class Server;
}

namespace tavelo::demo {

class DemoServer {
 public:
  // Request lines go to `log` (may be null).
  explicit DemoServer(std::ostream* log);
  ~DemoServer();
  DemoServer(const DemoServer&) = delete;
  DemoServer& operator=(const DemoServer&) = delete;

  // Binds every role's host on `port`; with port 0, on a port that is free on
  // all six hosts. Returns the port, or -1 when the hosts cannot be bound.
  int Bind(int port);
  // Starts answering from `site`, which must outlive the server.
  void Start(const DemoSite& site);
  // Stops the listeners and waits for them; also done by the destructor.
  void Stop();

 private:
  void CloseAll();

  std::ostream* log_;
  std::mutex logMutex_;
  std::vector<std::unique_ptr<httplib::Server>> servers_;
  std::vector<std::thread> threads_;
};

}  // namespace tavelo::demo
