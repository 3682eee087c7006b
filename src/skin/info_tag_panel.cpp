#include "skin/info_tag_panel.h"

#include "text/encoding.h"
#include "text/splitters.h"
#include "text/url_text.h"

namespace tavelo {

namespace {

constexpr int kTitleLine = 0;
constexpr int kAreaLine = 3;
constexpr int kTypeLine = 4;
constexpr int kActorsLine = 5;

}  // namespace

void InfoTagPanel::AddItem(int kind, std::string_view text) {
  if (count_ >= kMaxItems) return;
  InfoTagItem& item = items_[static_cast<size_t>(count_)];
  item.kind = kind;
  item.text = CleanHtmlText(text);
  item.rect = {};
  ++count_;
}

void InfoTagPanel::AddValues(std::string_view field) {
  FieldList pieces;
  pieces.Split(field, '/');
  for (int i = 0; i < pieces.Count(); ++i) {
    if (!pieces[i].empty()) AddItem(InfoTagItem::kValue, pieces[i]);
  }
}

void InfoTagPanel::ShowRecordInfo(std::string_view infoText) {
  count_ = 0;
  FieldList lines;
  lines.Split(infoText, '\n');
  AddItem(InfoTagItem::kLabel, Gbk("视频:"));
  AddItem(InfoTagItem::kValue, lines[kTitleLine]);
  struct Field {
    int line;
    const char* label;
  };
  for (const Field& f : {Field{kAreaLine, "地区:"}, Field{kTypeLine, "类型:"}, Field{kActorsLine, "演员:"}}) {
    if (lines[f.line].empty()) continue;
    AddItem(InfoTagItem::kLineBreak, Gbk("换行"));
    AddItem(InfoTagItem::kLabel, Gbk(f.label));
    AddValues(lines[f.line]);
  }
  Layout();
  Redraw();
}

void InfoTagPanel::ShowRecordInfoCompact(std::string_view infoText) {
  count_ = 0;
  FieldList lines;
  lines.Split(infoText, '\n');
  AddItem(InfoTagItem::kLabel, Gbk("视频:"));
  AddItem(InfoTagItem::kValue, lines[kTitleLine]);
  if (!lines[kAreaLine].empty()) {
    AddItem(InfoTagItem::kLabel, Gbk("地区:"));
    AddValues(lines[kAreaLine]);
  }
  if (!lines[kTypeLine].empty()) {
    AddItem(InfoTagItem::kLabel, Gbk("类型:"));
    AddValues(lines[kTypeLine]);
  }
  AddItem(InfoTagItem::kLineBreak, Gbk("换行"));
  if (!lines[kActorsLine].empty()) {
    AddItem(InfoTagItem::kLabel, Gbk("演员:"));
    AddValues(lines[kActorsLine]);
  }
  Layout();
  Redraw();
}

void InfoTagPanel::Layout() {
  int x = kLeftMargin;
  int top = 0;
  int bottom = kRowHeight;
  for (int i = 0; i < count_; ++i) {
    InfoTagItem& item = items_[static_cast<size_t>(i)];
    int width = measure_ ? measure_(item.text, kMeasureFontSlot) : 0;
    item.rect = {x, top, x + width, bottom};
    x += width + kWordGap;
    if (item.kind == InfoTagItem::kLineBreak) {
      top = bottom + kRowGap;
      bottom = top + kRowHeight;
      x = kLeftMargin;
    }
  }
}

std::string InfoTagPanel::WordAt(Point point) const {
  for (int i = 0; i < count_; ++i) {
    const InfoTagItem& item = items_[static_cast<size_t>(i)];
    if (!item.rect.Contains(point)) continue;
    if (item.kind == InfoTagItem::kLineBreak) return "";
    return item.text;
  }
  return "";
}

}  // namespace tavelo
