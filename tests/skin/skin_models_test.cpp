#include <gtest/gtest.h>

#include "skin/face_bitmap_button.h"
#include "skin/flat_text_button.h"
#include "skin/info_tag_panel.h"
#include "skin/skin_list_ctrl.h"
#include "fake_skin_host.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using testing::FakeSkinHost;

TEST(FlatTextButtonTest, HoverFollowsCursorAndTimerStopsOutside) {
  FakeSkinHost host;
  FlatTextButton button(host);
  host.cursor = {10, 10};
  button.OnMouseMove();
  EXPECT_EQ(button.Hover(), 1);
  ASSERT_EQ(host.timers.count(FlatTextButton::kHoverTimer), 1u);
  EXPECT_EQ(host.timers[FlatTextButton::kHoverTimer], 200);

  // Still inside: the timer keeps running.
  button.OnTimer(FlatTextButton::kHoverTimer);
  EXPECT_EQ(button.Hover(), 1);
  EXPECT_EQ(host.timers.count(FlatTextButton::kHoverTimer), 1u);

  // The mouse left fast, with no further move message: the tick restores it.
  host.cursor = {150, 10};
  int before = host.redraws;
  button.OnTimer(FlatTextButton::kHoverTimer);
  EXPECT_EQ(button.Hover(), 0);
  EXPECT_GT(host.redraws, before);
  EXPECT_EQ(host.timers.count(FlatTextButton::kHoverTimer), 0u);
}

TEST(FlatTextButtonTest, OtherTimerIdsAreIgnored) {
  FakeSkinHost host;
  FlatTextButton button(host);
  host.cursor = {10, 10};
  button.OnMouseMove();
  host.cursor = {-5, 10};
  button.OnTimer(2);
  EXPECT_EQ(button.Hover(), 1);
}

TEST(FlatTextButtonTest, SelectedBeforeWindowExistsKeepsFlagWithoutDrawing) {
  FakeSkinHost host;
  host.exists = false;
  FlatTextButton button(host);
  EXPECT_EQ(button.SetSelected(1), 1);
  EXPECT_EQ(button.Selected(), 1);
  EXPECT_EQ(host.redraws, 0);
  host.exists = true;
  button.SetSelected(0);
  EXPECT_EQ(host.redraws, 1);
}

TEST(FlatTextButtonTest, SetSiteSetsTextAndKeepsAddress) {
  FakeSkinHost host;
  FlatTextButton button(host);
  EXPECT_EQ(button.SetSite("site", "http://a/"), 0);
  EXPECT_EQ(button.Text(), "site");
  EXPECT_EQ(button.GetSiteName(), "site");
  EXPECT_EQ(button.GetStartAddress(), "http://a/");
}

TEST(FaceBitmapButtonTest, StateTransitions) {
  FakeSkinHost host;
  FaceBitmapButton button(host);
  button.OnMouseMove({5, 5});
  EXPECT_EQ(button.State(), FaceBitmapButton::kHot);
  EXPECT_EQ(host.timers[FaceBitmapButton::kHoverTimer], 100);
  EXPECT_NE(button.TimerId(), 0u);

  // Press and release over the button: normal face until the next move.
  button.OnButtonDown();
  EXPECT_EQ(button.State(), FaceBitmapButton::kHot);
  button.OnButtonUp();
  EXPECT_EQ(button.State(), FaceBitmapButton::kNormal);

  button.OnMouseMove({5, 5});
  EXPECT_EQ(button.State(), FaceBitmapButton::kHot);
  host.cursor = {5, 5};
  button.OnTimer(FaceBitmapButton::kHoverTimer);
  EXPECT_EQ(button.State(), FaceBitmapButton::kHot);

  host.cursor = {500, 5};
  int before = host.invalidates;
  button.OnTimer(FaceBitmapButton::kHoverTimer);
  EXPECT_EQ(button.State(), FaceBitmapButton::kNormal);
  EXPECT_EQ(button.TimerId(), 0u);
  EXPECT_TRUE(host.timers.empty());
  EXPECT_EQ(host.invalidates, before + 1);
}

TEST(FaceBitmapButtonTest, MoveOutsideReturnsToNormalAndSameStateDoesNothing) {
  FakeSkinHost host;
  FaceBitmapButton button(host);
  button.OnMouseMove({100, 5});  // x == width is outside
  EXPECT_EQ(button.State(), FaceBitmapButton::kNormal);
  EXPECT_EQ(host.invalidates, 0);
  EXPECT_TRUE(host.timers.empty());
  button.OnMouseMove({99, 29});
  EXPECT_EQ(button.State(), FaceBitmapButton::kHot);
  button.OnMouseMove({99, 30});
  EXPECT_EQ(button.State(), FaceBitmapButton::kNormal);
}

// Every byte is 7 pixels wide, so rectangles can be worked out by hand.
int FixedMeasure(std::string_view text, int) { return static_cast<int>(text.size()) * 7; }

struct Expected {
  int kind;
  std::string text;
  Rect rect;
};

void ExpectItems(const InfoTagPanel& panel, const std::vector<Expected>& expected) {
  ASSERT_EQ(panel.Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < panel.Count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(panel.Item(i).kind, expected[i].kind);
    EXPECT_EQ(panel.Item(i).text, expected[i].text);
    EXPECT_EQ(panel.Item(i).rect, expected[i].rect);
  }
}

TEST(InfoTagPanelTest, FullAndCompactLayoutsOfAreaOnlyRecord) {
  int redraws = 0;
  InfoTagPanel panel(FixedMeasure, [&] { ++redraws; });
  const std::string info = "T\naddr\n\nA1/A2\n\n";
  const std::string video = Gbk("视频:"), area = Gbk("地区:"), brk = Gbk("换行");
  panel.ShowRecordInfo(info);
  EXPECT_EQ(redraws, 1);
  // "视频:" is 5 bytes = 35 px; each word is followed by a 5 px gap.
  ExpectItems(panel, {{1, video, {2, 0, 37, 15}},
                      {2, "T", {42, 0, 49, 15}},
                      {3, brk, {54, 0, 82, 15}},
                      {1, area, {2, 18, 37, 33}},
                      {2, "A1", {42, 18, 56, 33}},
                      {2, "A2", {61, 18, 75, 33}}});

  panel.ShowRecordInfoCompact(info);
  ExpectItems(panel, {{1, video, {2, 0, 37, 15}},
                      {2, "T", {42, 0, 49, 15}},
                      {1, area, {54, 0, 89, 15}},
                      {2, "A1", {94, 0, 108, 15}},
                      {2, "A2", {113, 0, 127, 15}},
                      {3, brk, {132, 0, 160, 15}}});
}

TEST(InfoTagPanelTest, WordAtTable) {
  InfoTagPanel panel(FixedMeasure, nullptr);
  panel.ShowRecordInfo("Name\n\n\nA\nB\nX/Y");
  struct Case {
    Point point;
    std::string word;
  } cases[] = {
      {{2, 0}, Gbk("视频:")},
      {{40, 5}, ""},  // the gap between label and title
      {{42, 14}, "Name"},
      {{42, 15}, ""},  // between rows
      {{80, 5}, ""},   // over the line break
      {{0, 5}, ""},    // left margin
      {{10, 54}, Gbk("演员:")},
      {{42, 54}, "X"},
      {{55, 54}, "Y"},
      {{300, 54}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.point.x * 1000 + c.point.y);
    EXPECT_EQ(panel.WordAt(c.point), c.word);
  }
}

TEST(InfoTagPanelTest, ValueListsSkipEmptyPiecesAndStopAtHundredItems) {
  InfoTagPanel panel(FixedMeasure, nullptr);
  panel.ShowRecordInfo("t\n\n\na//b");
  ASSERT_EQ(panel.Count(), 6);
  EXPECT_EQ(panel.Item(4).text, "a");
  EXPECT_EQ(panel.Item(5).text, "b");

  std::string actors;
  for (int i = 0; i < 150; ++i) actors += "p" + std::to_string(i) + "/";
  panel.ShowRecordInfo("t\n\n\n\n\n" + actors);
  ASSERT_EQ(panel.Count(), InfoTagPanel::kMaxItems);
  // 视频, title, break, label, then actors p0..p95.
  EXPECT_EQ(panel.Item(99).text, "p95");
  panel.AddItem(InfoTagItem::kValue, "more");
  EXPECT_EQ(panel.Count(), InfoTagPanel::kMaxItems);

  // A new call starts from an empty list.
  panel.ShowRecordInfo("");
  EXPECT_EQ(panel.Count(), 2);
}

TEST(InfoTagPanelTest, TitleIsCleanedOfHtmlEscapes) {
  InfoTagPanel panel(FixedMeasure, nullptr);
  panel.ShowRecordInfo("&nbsp;Name&quot;");
  EXPECT_EQ(panel.Item(1).text, "Name\"");
}

TEST(SkinListCtrlTest, FirstSelectedRowAndCells) {
  SkinListCtrl list;
  EXPECT_EQ(list.FirstSelectedRow(), -1);
  for (int i = 0; i < 4; ++i) list.InsertRow(i, "r" + std::to_string(i));
  EXPECT_EQ(list.FirstSelectedRow(), -1);
  list.Select(3, true);
  list.Select(1, true);
  EXPECT_EQ(list.FirstSelectedRow(), 1);
  list.Select(1, false);
  EXPECT_EQ(list.FirstSelectedRow(), 3);
  list.Select(9, true);  // out of range: ignored
  EXPECT_EQ(list.Cell(9, 0), "");
  list.SetCell(2, 3, "x");
  EXPECT_EQ(list.Cell(2, 3), "x");
  EXPECT_EQ(list.Cell(2, 2), "");
  list.InsertRow(0, "top");
  EXPECT_EQ(list.Cell(0, 0), "top");
  EXPECT_EQ(list.FirstSelectedRow(), 4);
}

}  // namespace
}  // namespace tavelo
