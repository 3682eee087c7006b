#include "skin/button_mouse.h"

namespace tavelo {

namespace {

bool Inside(Point client, Size size) { return Rect::FromSize(0, 0, size.width, size.height).Contains(client); }

}  // namespace

void ButtonMouse::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) pressed_ = false;
}

bool ButtonMouse::Enter() {
  bool changed = !over_;
  over_ = true;
  return changed;
}

bool ButtonMouse::Leave() {
  bool changed = over_;
  over_ = false;
  return changed;
}

bool ButtonMouse::Move(Point client, Size size) { return Inside(client, size) ? Enter() : Leave(); }

void ButtonMouse::Press(Point client, Size size) { pressed_ = enabled_ && Inside(client, size); }

bool ButtonMouse::Release(Point client, Size size) {
  bool click = pressed_ && enabled_ && Inside(client, size);
  pressed_ = false;
  return click;
}

}  // namespace tavelo
