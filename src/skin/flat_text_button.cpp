#include "skin/flat_text_button.h"

namespace tavelo {

void FlatTextButton::SetText(const std::string& text) {
  text_ = text;
  host_.Invalidate();
}

int FlatTextButton::SetSelected(int selected) {
  selected_ = selected;
  Redraw();
  return 1;
}

void FlatTextButton::Redraw() {
  // A button set up before its widget exists draws its first frame then.
  if (host_.Exists()) host_.Redraw();
}

void FlatTextButton::OnEnter() {
  if (mouse_.Enter()) Redraw();
}

void FlatTextButton::OnLeave() {
  if (mouse_.Leave()) Redraw();
}

void FlatTextButton::OnMouseMove(Point client) {
  if (mouse_.Move(client, host_.ClientSize())) Redraw();
}

}  // namespace tavelo
