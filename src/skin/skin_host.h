#pragma once
// What an owner-drawn control needs from the widget that hosts it. The GTK
// widgets implement it; tests use a recording fake, so hover tracking and
// hit tests run without a display.

#include "port/geometry.h"

namespace tavelo {

class SkinHost {
 public:
  virtual ~SkinHost() = default;
  // False before the widget is realised and after it is destroyed.
  virtual bool Exists() const = 0;
  virtual Size ClientSize() const = 0;
  // The cursor in the control's client coordinates.
  virtual Point CursorPos() const = 0;
  virtual void StartTimer(int id, int milliseconds) = 0;
  virtual void KillTimer(int id) = 0;
  // Paint now (off-screen, one copy): used outside the paint cycle.
  virtual void Redraw() = 0;
  // Schedule a repaint with the background erased.
  virtual void Invalidate() = 0;
};

}  // namespace tavelo
