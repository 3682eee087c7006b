#pragma once
// What every GTK control of the port shares: one widget placed in the
// window's GtkFixed at the window logic's client pixels.

#include <gtk/gtk.h>

#include <algorithm>

#include "port/controls.h"
#include "port/gtk/gtk_port.h"

namespace tavelo::gtkport {

// Lets tests and the backend reach the widget behind a port control.
class WidgetOwner {
 public:
  virtual ~WidgetOwner() = default;
  virtual GtkWidget* Widget() const = 0;
};

// The pointer in `widget`'s own coordinates; (-1, -1) before it is realised.
inline Point PointerIn(GtkWidget* widget) {
  GdkWindow* window = gtk_widget_get_window(widget);
  if (window == nullptr) return {-1, -1};
  GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
  int x = 0, y = 0;
  gdk_window_get_device_position(window, gdk_seat_get_pointer(seat), &x, &y, nullptr);
  // A widget without a window of its own is offset inside its parent's.
  if (!gtk_widget_get_has_window(widget)) {
    GtkAllocation a;
    gtk_widget_get_allocation(widget, &a);
    x -= a.x;
    y -= a.y;
  }
  return {x, y};
}

inline void PlaceWidget(GtkWindowHost& host, GtkWidget* widget, Rect bounds) {
  if (host.Destroyed()) return;
  gtk_fixed_move(GTK_FIXED(host.Fixed()), widget, bounds.left, bounds.top);
  gtk_widget_set_size_request(widget, std::max(bounds.Width(), 1), std::max(bounds.Height(), 1));
}

template <typename Base>
class GtkControl : public Base, public WidgetOwner {
 public:
  GtkControl(GtkWindowHost& host, GtkWidget* widget) : host_(host), widget_(GTK_WIDGET(g_object_ref_sink(widget))) {
    gtk_fixed_put(GTK_FIXED(host.Fixed()), widget_, 0, 0);
    gtk_widget_show(widget_);
  }
  ~GtkControl() override {
    g_signal_handlers_disconnect_by_data(widget_, this);
    g_object_unref(widget_);
  }
  GtkControl(const GtkControl&) = delete;
  GtkControl& operator=(const GtkControl&) = delete;

  void SetBounds(Rect b) override {
    bounds_ = b;
    PlaceWidget(host_, widget_, b);
  }
  Rect Bounds() const override { return bounds_; }
  void SetVisible(bool v) override { gtk_widget_set_visible(widget_, v); }
  void SetEnabled(bool e) override { gtk_widget_set_sensitive(widget_, e); }
  Point CursorPos() const override { return PointerIn(widget_); }
  GtkWidget* Widget() const override { return widget_; }

 protected:
  GtkWindowHost& host_;
  GtkWidget* widget_;
  Rect bounds_;
};

// The skinned controls and the skinned list, made for a window host.
std::unique_ptr<port::FlatButton> MakeFlatButton(GtkWindowHost& host, const std::string& text);
std::unique_ptr<port::FaceButton> MakeFaceButton(GtkWindowHost& host, const std::string& text);
std::unique_ptr<port::InfoPanel> MakeInfoPanel(GtkWindowHost& host);
std::unique_ptr<port::ListView> MakeListView(GtkWindowHost& host);
std::unique_ptr<port::Control> MakePicture(GtkWindowHost& host, int picture);

}  // namespace tavelo::gtkport
