#pragma once
// The mouse side of a skinned push button, whatever it looks like: whether
// the pointer is over it, whether a press is held, and whether releasing
// that press is a click. The toolkit only feeds it events; it does not draw.

#include "port/geometry.h"

namespace tavelo {

class ButtonMouse {
 public:
  bool Over() const { return over_; }
  bool Pressed() const { return pressed_; }
  bool Enabled() const { return enabled_; }
  // Disabling drops a press in progress: its release clicks nothing.
  void SetEnabled(bool enabled);

  // Each returns whether Over() changed. A move carries the pointer in
  // client coordinates; while a press is held the pointer may be anywhere.
  bool Enter();
  bool Leave();
  bool Move(Point client, Size size);
  // A press counts only on an enabled button and inside it.
  void Press(Point client, Size size);
  // Like a push button: a click when a press that began on the button ends
  // over it; releasing elsewhere cancels it.
  bool Release(Point client, Size size);

 private:
  bool over_ = false;
  bool pressed_ = false;
  bool enabled_ = true;
};

}  // namespace tavelo
