#pragma once
// What an owner-drawn control needs from the widget that hosts it: its size
// and a way to repaint. Mouse events come the other way, as calls on the
// model. The GTK widgets and the fake port implement it, so hover, clicks
// and hit tests run without a display.

#include "port/geometry.h"

namespace tavelo {

class SkinHost {
 public:
  virtual ~SkinHost() = default;
  // False before the widget is realised and after it is destroyed.
  virtual bool Exists() const = 0;
  virtual Size ClientSize() const = 0;
  // Paint now (off-screen, one copy): used outside the paint cycle.
  virtual void Redraw() = 0;
  // Schedule a repaint with the background erased.
  virtual void Invalidate() = 0;
};

}  // namespace tavelo
