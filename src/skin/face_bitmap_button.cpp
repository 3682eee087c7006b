#include "skin/face_bitmap_button.h"

namespace tavelo {

void FaceBitmapButton::SetText(const std::string& text) {
  text_ = text;
  host_.Invalidate();
}

void FaceBitmapButton::SetEnabled(bool enabled) {
  if (enabled == mouse_.Enabled()) return;
  mouse_.SetEnabled(enabled);
  host_.Invalidate();
}

void FaceBitmapButton::SetState(int state) {
  if (state == state_) return;
  state_ = state;
  host_.Invalidate();
}

void FaceBitmapButton::OnEnter() {
  mouse_.Enter();
  SetState(kHot);
}

void FaceBitmapButton::OnLeave() {
  mouse_.Leave();
  SetState(kNormal);
}

void FaceBitmapButton::OnMouseMove(Point client) {
  mouse_.Move(client, host_.ClientSize());
  SetState(mouse_.Over() ? kHot : kNormal);
}

void FaceBitmapButton::OnButtonDown(Point client) {
  mouse_.Press(client, host_.ClientSize());
  SetState(kHot);
}

bool FaceBitmapButton::OnButtonUp(Point client) {
  SetState(kNormal);
  return mouse_.Release(client, host_.ClientSize());
}

}  // namespace tavelo
