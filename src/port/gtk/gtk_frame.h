#pragma once
// The frame a window manager draws around a window's client area. The
// program places its windows by their outer rectangle, frame included, and
// lays them out by their client size, so it needs the frame's size before
// the window is shown: it asks the window manager
// (_NET_REQUEST_FRAME_EXTENTS) and reads the answer (_NET_FRAME_EXTENTS).

#include <gtk/gtk.h>

namespace tavelo::gtkport {

struct FrameExtents {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;
};

inline bool operator==(const FrameExtents& a, const FrameExtents& b) {
  return a.left == b.left && a.right == b.right && a.top == b.top && a.bottom == b.bottom;
}

// The frame `window` (a toplevel; realised here if it is not yet) has or
// will have. When the window manager has not said yet, it is asked; the
// frame it gave an earlier window of the process is the answer, and for the
// first window the answer is awaited up to `waitMilliseconds`. No frame
// without a window manager that tells, and none off X11.
FrameExtents WindowFrame(GtkWidget* window, int waitMilliseconds);

// Whether a property change of a toplevel is a new frame size.
bool IsFrameChange(const GdkEventProperty* event);

}  // namespace tavelo::gtkport
