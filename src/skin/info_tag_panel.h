#pragma once
// A video's information (title, area, type, actors) as a flow of clickable
// words. The owning window asks WordAt() on a click and acts on the word.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "port/geometry.h"

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
  // `redraw` repaints the panel (nothing when its widget does not exist).
  InfoTagPanel(Measure measure, std::function<void()> redraw)
      : measure_(std::move(measure)), redraw_(std::move(redraw)) {}

  void ShowRecordInfo(std::string_view infoText);
  void ShowRecordInfoCompact(std::string_view infoText);

  // Drops the item when 100 are held; the text is cleaned of HTML escapes.
  void AddItem(int kind, std::string_view text);
  // Each non-empty "/"-separated piece as a value.
  void AddValues(std::string_view field);
  void Clear() { count_ = 0; }
  void Layout();
  void Redraw() {
    if (redraw_) redraw_();
  }

  std::string WordAt(Point point) const;

  int Count() const { return count_; }
  const InfoTagItem& Item(int index) const { return items_[static_cast<size_t>(index)]; }

 private:
  Measure measure_;
  std::function<void()> redraw_;
  std::array<InfoTagItem, kMaxItems> items_{};
  int count_ = 0;
};

}  // namespace tavelo
