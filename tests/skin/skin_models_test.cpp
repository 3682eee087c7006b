#include <gtest/gtest.h>

#include <functional>

#include "fakes/fake_skin_host.h"
#include "skin/face_bitmap_button.h"
#include "skin/flat_text_button.h"
#include "skin/info_tag_panel.h"
#include "text/encoding.h"

namespace tavelo {
namespace {

using fakes::FakeSkinHost;

TEST(FlatTextButtonTest, HoverFollowsEnterAndLeaveAndRedrawsOnlyOnChange) {
  FakeSkinHost host;
  FlatTextButton button(host);
  struct Case {
    const char* event;
    std::function<void()> fire;
    int hover;
    int redraws;
  } cases[] = {
      {"enter", [&] { button.OnEnter(); }, 1, 1},
      {"move inside", [&] { button.OnMouseMove({10, 10}); }, 1, 1},
      // The pointer left straight onto the window: the leave event restores it.
      {"leave", [&] { button.OnLeave(); }, 0, 2},
      {"leave again", [&] { button.OnLeave(); }, 0, 2},
      {"move in without an enter", [&] { button.OnMouseMove({99, 29}); }, 1, 3},
      {"move onto the right edge", [&] { button.OnMouseMove({100, 10}); }, 0, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.event);
    c.fire();
    EXPECT_EQ(button.Hover(), c.hover);
    EXPECT_EQ(host.redraws, c.redraws);
  }
}

TEST(FlatTextButtonTest, NothingIsDrawnBeforeTheWidgetExists) {
  FakeSkinHost host;
  host.exists = false;
  FlatTextButton button(host);
  EXPECT_EQ(button.SetSelected(1), 1);
  button.OnEnter();
  EXPECT_EQ(button.Selected(), 1);
  EXPECT_EQ(button.Hover(), 1);
  EXPECT_EQ(host.redraws, 0);
  host.exists = true;
  button.SetSelected(0);
  EXPECT_EQ(host.redraws, 1);
}

TEST(FlatTextButtonTest, ClicksOnReleaseOverAnEnabledButton) {
  FakeSkinHost host;  // 100 x 30
  FlatTextButton button(host);
  button.OnButtonDown({50, 15});
  EXPECT_TRUE(button.OnButtonUp({50, 15}));
  button.OnButtonDown({50, 15});
  EXPECT_FALSE(button.OnButtonUp({50, 30}));
  button.SetEnabled(false);
  EXPECT_FALSE(button.Enabled());
  button.OnButtonDown({50, 15});
  EXPECT_FALSE(button.OnButtonUp({50, 15}));
}

TEST(FlatTextButtonTest, NewTextAsksForARepaint) {
  FakeSkinHost host;
  FlatTextButton button(host);
  button.SetText("site");
  EXPECT_EQ(button.Text(), "site");
  EXPECT_EQ(host.invalidates, 1);
}

TEST(FaceBitmapButtonTest, StateFollowsThePointerAndTheButton) {
  FakeSkinHost host;  // 100 x 30
  FaceBitmapButton button(host);
  struct Case {
    const char* event;
    std::function<void()> fire;
    int state;
    int invalidates;
  } cases[] = {
      {"move outside", [&] { button.OnMouseMove({100, 5}); }, FaceBitmapButton::kNormal, 0},
      {"enter", [&] { button.OnEnter(); }, FaceBitmapButton::kHot, 1},
      {"move inside", [&] { button.OnMouseMove({99, 29}); }, FaceBitmapButton::kHot, 1},
      {"press", [&] { button.OnButtonDown({5, 5}); }, FaceBitmapButton::kHot, 1},
      // Released over the button: the normal face until the next move.
      {"release", [&] { button.OnButtonUp({5, 5}); }, FaceBitmapButton::kNormal, 2},
      {"next move", [&] { button.OnMouseMove({6, 5}); }, FaceBitmapButton::kHot, 3},
      {"move below", [&] { button.OnMouseMove({6, 30}); }, FaceBitmapButton::kNormal, 4},
      {"enter again", [&] { button.OnEnter(); }, FaceBitmapButton::kHot, 5},
      {"leave", [&] { button.OnLeave(); }, FaceBitmapButton::kNormal, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.event);
    c.fire();
    EXPECT_EQ(button.State(), c.state);
    EXPECT_EQ(host.invalidates, c.invalidates);
  }
}

TEST(FaceBitmapButtonTest, DisabledButtonRepaintsOnceAndDoesNotClick) {
  FakeSkinHost host;
  FaceBitmapButton button(host);
  button.OnButtonDown({5, 5});
  EXPECT_TRUE(button.OnButtonUp({5, 5}));
  int before = host.invalidates;
  button.SetEnabled(false);
  button.SetEnabled(false);
  EXPECT_EQ(host.invalidates, before + 1);
  EXPECT_FALSE(button.Enabled());
  button.OnButtonDown({5, 5});
  EXPECT_FALSE(button.OnButtonUp({5, 5}));
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
  FakeSkinHost host;
  InfoTagPanel panel(host, FixedMeasure);
  const std::string info = "T\naddr\n\nA1/A2\n\n";
  const std::string video = Gbk("视频:"), area = Gbk("地区:"), brk = Gbk("换行");
  panel.ShowRecordInfo(info);
  EXPECT_EQ(host.redraws, 1);
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
  FakeSkinHost host;
  InfoTagPanel panel(host, FixedMeasure);
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
  FakeSkinHost host;
  InfoTagPanel panel(host, FixedMeasure);
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
  FakeSkinHost host;
  InfoTagPanel panel(host, FixedMeasure);
  panel.ShowRecordInfo("&nbsp;Name&quot;");
  EXPECT_EQ(panel.Item(1).text, "Name\"");
}

TEST(InfoTagPanelTest, ClicksLikeAPushButtonAndDrawsOnlyWhenItExists) {
  FakeSkinHost host;  // 100 x 30
  host.exists = false;
  InfoTagPanel panel(host, FixedMeasure);
  panel.ShowRecordInfo("t");
  EXPECT_EQ(host.redraws, 0);
  panel.OnButtonDown({10, 5});
  EXPECT_TRUE(panel.OnButtonUp({10, 5}));
  panel.OnButtonDown({10, 5});
  EXPECT_FALSE(panel.OnButtonUp({10, 40}));
}

}  // namespace
}  // namespace tavelo
