#pragma once
// A flat, borderless button with centred text that turns red under the mouse
// and has a selected state set by its window. Hover follows the pointer's
// enter and leave events; every change repaints at once, off-screen, so the
// button never flickers.

#include <string>

#include "skin/button_mouse.h"
#include "skin/skin_host.h"

namespace tavelo {

class FlatTextButton {
 public:
  explicit FlatTextButton(SkinHost& host) : host_(host) {}

  void SetText(const std::string& text);
  const std::string& Text() const { return text_; }
  // Stores the flag and redraws at once. Returns 1.
  int SetSelected(int selected);
  int Selected() const { return selected_; }
  void SetEnabled(bool enabled) { mouse_.SetEnabled(enabled); }
  bool Enabled() const { return mouse_.Enabled(); }
  // 1 while the pointer is over the button.
  int Hover() const { return mouse_.Over() ? 1 : 0; }

  // Pointer events in client coordinates; OnButtonUp returns whether the
  // press and release made a click.
  void OnEnter();
  void OnLeave();
  void OnMouseMove(Point client);
  void OnButtonDown(Point client) { mouse_.Press(client, host_.ClientSize()); }
  bool OnButtonUp(Point client) { return mouse_.Release(client, host_.ClientSize()); }

 private:
  void Redraw();

  SkinHost& host_;
  ButtonMouse mouse_;
  int selected_ = 0;
  std::string text_;
};

}  // namespace tavelo
