#pragma once
// A flat, borderless button with centred text that turns red under the mouse
// and has a selected state set by its window. Hover is tracked with a 200 ms
// repeating timer, since the button gets no message once the mouse has left
// it quickly.

#include <string>

#include "skin/skin_host.h"

namespace tavelo {

class FlatTextButton {
 public:
  static constexpr int kHoverTimer = 1;
  static constexpr int kHoverInterval = 200;

  explicit FlatTextButton(SkinHost& host) : host_(host) {}

  int SetSite(const std::string& name, const std::string& startAddress);
  std::string GetSiteName() const { return siteName_; }
  std::string GetStartAddress() const { return startAddress_; }
  void SetText(const std::string& text) { text_ = text; }
  const std::string& Text() const { return text_; }

  int SetSelected(int selected);
  int Selected() const { return selected_; }
  int Hover() const { return hover_; }

  void OnMouseMove();
  void OnTimer(int id);

 private:
  // Updates the hover flag from the cursor; true while the cursor is inside.
  bool HoverTest();
  void Redraw();

  SkinHost& host_;
  int selected_ = 0;
  int hover_ = 0;
  std::string siteName_;
  std::string startAddress_;
  std::string text_;
};

}  // namespace tavelo
