#pragma once
// A file watch on GIO's file monitor (inotify on Linux).

#include <gio/gio.h>

#include <functional>
#include <memory>
#include <string>

#include "port/window_host.h"

namespace tavelo::gtkport {

class GtkFileWatch : public port::FileWatch {
 public:
  // nullptr when GIO cannot watch the path.
  static std::unique_ptr<GtkFileWatch> Start(const std::string& path, std::function<void()> onChange);
  ~GtkFileWatch() override;
  GtkFileWatch(const GtkFileWatch&) = delete;
  GtkFileWatch& operator=(const GtkFileWatch&) = delete;

 private:
  GtkFileWatch(GFileMonitor* monitor, std::function<void()> onChange);
  static void OnChanged(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent event, gpointer self);

  GFileMonitor* monitor_;
  std::function<void()> onChange_;
  gulong handler_ = 0;
};

}  // namespace tavelo::gtkport
