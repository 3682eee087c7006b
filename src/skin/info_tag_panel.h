#pragma once
// A video's information (title, area, type, actors) as a flow of clickable
// words. The owning window asks WordAt() on a click and acts on the word.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "port/geometry.h"
#include "skin/button_mouse.h"
#include "skin/skin_host.h"

namespace tavelo {

struct InfoTagItem {
  enum Kind { kLabel = 1, kValue = 2, kLineBreak = 3 };
  Rect rect;
  int kind = kLabel;
  std::string text;
};

class InfoTagPanel {
 public:
  static constexpr int kMaxItems = 100;
  static constexpr int kRowHeight = 15;
  static constexpr int kRowGap = 3;
  static constexpr int kWordGap = 5;
  static constexpr int kLeftMargin = 2;
  // The font every item is measured with (underlined 14 px).
  static constexpr int kMeasureFontSlot = 7;

  // Text width in pixels of GBK text in an AppFonts slot.
  using Measure = std::function<int(std::string_view text, int fontSlot)>;
  InfoTagPanel(SkinHost& host, Measure measure) : host_(host), measure_(std::move(measure)) {}

  void ShowRecordInfo(std::string_view infoText);
  void ShowRecordInfoCompact(std::string_view infoText);

  // Drops the item when 100 are held; the text is cleaned of HTML escapes.
  void AddItem(int kind, std::string_view text);
  // Each non-empty "/"-separated piece as a value.
  void AddValues(std::string_view field);
  void Clear() { count_ = 0; }
  void Layout();
  // Repaints the panel; nothing while its widget does not exist.
  void Redraw() {
    if (host_.Exists()) host_.Redraw();
  }

  std::string WordAt(Point point) const;

  int Count() const { return count_; }

  // The panel clicks like a push button; the owner then asks WordAt.
  void OnButtonDown(Point client) { mouse_.Press(client, host_.ClientSize()); }
  bool OnButtonUp(Point client) { return mouse_.Release(client, host_.ClientSize()); }
  const InfoTagItem& Item(int index) const { return items_[static_cast<size_t>(index)]; }

 private:
  SkinHost& host_;
  Measure measure_;
  ButtonMouse mouse_;
  std::array<InfoTagItem, kMaxItems> items_{};
  int count_ = 0;
};

}  // namespace tavelo
