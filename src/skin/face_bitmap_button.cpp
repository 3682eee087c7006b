#include "skin/face_bitmap_button.h"

namespace tavelo {

void FaceBitmapButton::OnMouseMove(Point point) {
  Size size = host_.ClientSize();
  int next = Rect::FromSize(0, 0, size.width, size.height).Contains(point) ? kHot : kNormal;
  if (next == state_) return;
  state_ = next;
  host_.Invalidate();
  if (timerId_ != 0) {
    host_.KillTimer(kHoverTimer);
    timerId_ = 0;
  }
  host_.StartTimer(kHoverTimer, kHoverInterval);
  timerId_ = kHoverTimer;
}

void FaceBitmapButton::OnButtonDown() {
  state_ = kHot;
  host_.Invalidate();
}

void FaceBitmapButton::OnButtonUp() {
  state_ = kNormal;
  host_.Invalidate();
}

void FaceBitmapButton::OnTimer(int id) {
  if (id != kHoverTimer) return;
  Size size = host_.ClientSize();
  if (!Rect::FromSize(0, 0, size.width, size.height).Contains(host_.CursorPos())) {
    if (timerId_ != 0) host_.KillTimer(kHoverTimer);
    timerId_ = 0;
    state_ = kNormal;
    host_.Invalidate();
  }
}

}  // namespace tavelo
