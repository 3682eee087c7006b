#pragma once
// Key presses for tests on the real port, handed to GTK as if the X server
// had sent them.

#include <gtk/gtk.h>

namespace tavelo::testing {

// With `bound`, the event carries the key's hardware code too, so that key
// bindings (an entry's Enter, a window's default activation, a page's key
// events) see it. `state` holds the modifiers held (GDK_CONTROL_MASK ...).
// Returns whether a handler took the key.
inline bool SendKey(GtkWidget* window, guint keyval, bool bound = false, guint state = 0) {
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  event->key.keyval = keyval;
  event->key.state = state;
  event->key.time = GDK_CURRENT_TIME;
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (bound &&
      gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys,
                                        &count) &&
      count > 0) {
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  }
  g_free(keys);
  GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
  gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
  gboolean handled = gtk_widget_event(window, event);
  gdk_event_free(event);
  return handled;
}

}  // namespace tavelo::testing
