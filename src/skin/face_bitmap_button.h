#pragma once
// A push button painted from a 300 x 22 face picture that stretches without
// scaling: the left half of the button shows the picture's left end, the
// rest its right end. State 2 is hot or pressed; 0 (and 1) normal. A
// disabled button shows the disabled face whatever its state.

#include <string>

#include "skin/button_mouse.h"
#include "skin/skin_host.h"

namespace tavelo {

class FaceBitmapButton {
 public:
  static constexpr int kNormal = 0;
  static constexpr int kHot = 2;

  explicit FaceBitmapButton(SkinHost& host) : host_(host) {}

  int State() const { return state_; }
  void SetText(const std::string& text);
  const std::string& Text() const { return text_; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return mouse_.Enabled(); }

  // Pointer events in client coordinates. Hot while the pointer is over the
  // button or presses it; a release returns to normal until the next move,
  // and returns whether it made a click.
  void OnEnter();
  void OnLeave();
  void OnMouseMove(Point client);
  void OnButtonDown(Point client);
  bool OnButtonUp(Point client);

 private:
  void SetState(int state);

  SkinHost& host_;
  ButtonMouse mouse_;
  int state_ = kNormal;
  std::string text_;
};

}  // namespace tavelo
