#pragma once
// A push button painted from a 300 x 22 face picture that stretches without
// scaling: the left half of the button shows the picture's left end, the
// rest its right end. State 2 is hot or pressed; 0 (and 1) normal.

#include "skin/skin_host.h"

namespace tavelo {

class FaceBitmapButton {
 public:
  static constexpr int kHoverTimer = 1;
  static constexpr int kHoverInterval = 100;
  static constexpr int kNormal = 0;
  static constexpr int kHot = 2;

  explicit FaceBitmapButton(SkinHost& host) : host_(host) {}

  int State() const { return state_; }
  unsigned TimerId() const { return timerId_; }

  // `point` in client coordinates, as the mouse event carries it.
  void OnMouseMove(Point point);
  void OnButtonDown();
  void OnButtonUp();
  void OnTimer(int id);

 private:
  SkinHost& host_;
  int state_ = kNormal;
  unsigned timerId_ = 0;
};

}  // namespace tavelo
