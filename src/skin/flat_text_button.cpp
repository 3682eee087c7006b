#include "skin/flat_text_button.h"

namespace tavelo {

int FlatTextButton::SetSite(const std::string& name, const std::string& startAddress) {
  siteName_ = name;
  startAddress_ = startAddress;
  text_ = name;
  return 0;
}

int FlatTextButton::SetSelected(int selected) {
  selected_ = selected;
  Redraw();
  return 1;
}

void FlatTextButton::Redraw() {
  if (host_.Exists()) host_.Redraw();
}

bool FlatTextButton::HoverTest() {
  Size size = host_.ClientSize();
  bool inside = Rect::FromSize(0, 0, size.width, size.height).Contains(host_.CursorPos());
  if (inside && hover_ == 0) {
    hover_ = 1;
    Redraw();
  } else if (!inside && hover_ == 1) {
    hover_ = 0;
    Redraw();
  }
  return inside;
}

void FlatTextButton::OnMouseMove() {
  host_.KillTimer(kHoverTimer);
  HoverTest();
  Redraw();
  host_.StartTimer(kHoverTimer, kHoverInterval);
}

void FlatTextButton::OnTimer(int id) {
  if (id != kHoverTimer) return;
  if (!HoverTest()) host_.KillTimer(kHoverTimer);
}

}  // namespace tavelo
