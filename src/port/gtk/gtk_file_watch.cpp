#include "port/gtk/gtk_file_watch.h"

namespace tavelo::gtkport {

std::unique_ptr<GtkFileWatch> GtkFileWatch::Start(const std::string& path, std::function<void()> onChange) {
  GFile* file = g_file_new_for_path(path.c_str());
  // With moves watched, a save that renames its temporary file over the
  // watched name arrives as one event naming the file.
  GFileMonitor* monitor = g_file_monitor_file(file, G_FILE_MONITOR_WATCH_MOVES, nullptr, nullptr);
  g_object_unref(file);
  if (monitor == nullptr) return nullptr;
  return std::unique_ptr<GtkFileWatch>(new GtkFileWatch(monitor, std::move(onChange)));
}

GtkFileWatch::GtkFileWatch(GFileMonitor* monitor, std::function<void()> onChange)
    : monitor_(monitor), onChange_(std::move(onChange)) {
  handler_ = g_signal_connect(monitor_, "changed", G_CALLBACK(OnChanged), this);
}

GtkFileWatch::~GtkFileWatch() {
  g_signal_handler_disconnect(monitor_, handler_);
  g_file_monitor_cancel(monitor_);
  g_object_unref(monitor_);
}

void GtkFileWatch::OnChanged(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent event, gpointer self) {
  // Attribute changes (a touch, a chmod) leave the contents as they were.
  if (event == G_FILE_MONITOR_EVENT_ATTRIBUTE_CHANGED || event == G_FILE_MONITOR_EVENT_PRE_UNMOUNT) return;
  static_cast<GtkFileWatch*>(self)->onChange_();
}

}  // namespace tavelo::gtkport
