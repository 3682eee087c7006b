#include "port/gtk/gtk_frame.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <chrono>
#include <optional>
#include <thread>

namespace tavelo::gtkport {

namespace {

constexpr const char* kFrameExtents = "_NET_FRAME_EXTENTS";
constexpr const char* kRequestFrameExtents = "_NET_REQUEST_FRAME_EXTENTS";

// The window's _NET_FRAME_EXTENTS (left, right, top, bottom), if it has any.
std::optional<FrameExtents> ReadFrame(GdkDisplay* display, Window window) {
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  gdk_x11_display_error_trap_push(display);
  int status = XGetWindowProperty(x, window, gdk_x11_get_xatom_by_name_for_display(display, kFrameExtents), 0, 4,
                                  False, XA_CARDINAL, &type, &format, &count, &after, &data);
  gdk_x11_display_error_trap_pop_ignored(display);
  std::optional<FrameExtents> frame;
  if (status == Success && type == XA_CARDINAL && format == 32 && count == 4 && data != nullptr) {
    // Format 32 properties come as longs, whatever their size.
    const long* v = reinterpret_cast<const long*>(data);
    frame = FrameExtents{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                         static_cast<int>(v[3])};
  }
  if (data != nullptr) XFree(data);
  return frame;
}

void RequestFrame(GdkDisplay* display, GdkScreen* screen, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = gdk_x11_get_xatom_by_name_for_display(display, kRequestFrameExtents);
  event.xclient.format = 32;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  XSendEvent(x, GDK_WINDOW_XID(gdk_screen_get_root_window(screen)), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XFlush(x);
}

// The frame the window manager gave the first window of this process that
// asked. It gives new windows the same one, so later windows take it as
// their answer at once instead of waiting on the window manager; the
// announcement corrects a window that gets another. (A maximised window's
// frame, without borders, is no answer for a new window.)
std::optional<FrameExtents>& LearntFrame() {
  static std::optional<FrameExtents> frame;
  return frame;
}

}  // namespace

FrameExtents WindowFrame(GtkWidget* window, int waitMilliseconds) {
  GdkDisplay* display = gtk_widget_get_display(window);
  if (!GDK_IS_X11_DISPLAY(display)) return {};
  gtk_widget_realize(window);
  Window xid = GDK_WINDOW_XID(gtk_widget_get_window(window));
  if (std::optional<FrameExtents> known = ReadFrame(display, xid)) return *known;
  GdkScreen* screen = gtk_widget_get_screen(window);
  if (!gdk_x11_screen_supports_net_wm_hint(screen, gdk_atom_intern_static_string(kRequestFrameExtents))) return {};
  if (waitMilliseconds <= 0) return LearntFrame().value_or(FrameExtents{});
  RequestFrame(display, screen, xid);
  if (LearntFrame()) return *LearntFrame();
  // The answer is a property on the window; polling it keeps GTK's event
  // queue (and so every handler of the program) out of the wait.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (std::optional<FrameExtents> answer = ReadFrame(display, xid)) return *(LearntFrame() = answer);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return {};
}

bool IsFrameChange(const GdkEventProperty* event) {
  return event->atom == gdk_atom_intern_static_string(kFrameExtents);
}

}  // namespace tavelo::gtkport
