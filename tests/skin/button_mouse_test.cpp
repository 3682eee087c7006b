#include "skin/button_mouse.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavelo {
namespace {

// A 100 x 30 button; x 100 and y 30 are already outside it.
constexpr Size kSize{100, 30};
constexpr Point kInside{50, 15};
constexpr Point kOutside{150, 15};

enum class Do { kEnter, kLeave, kMove, kPress, kRelease, kDisable, kEnable };

struct Step {
  Do what;
  Point at{};
};

// Runs the steps; returns whether the last release clicked.
bool RunSteps(ButtonMouse& mouse, const std::vector<Step>& steps) {
  bool clicked = false;
  for (const Step& s : steps) {
    switch (s.what) {
      case Do::kEnter: mouse.Enter(); break;
      case Do::kLeave: mouse.Leave(); break;
      case Do::kMove: mouse.Move(s.at, kSize); break;
      case Do::kPress: mouse.Press(s.at, kSize); break;
      case Do::kRelease: clicked = mouse.Release(s.at, kSize); break;
      case Do::kDisable: mouse.SetEnabled(false); break;
      case Do::kEnable: mouse.SetEnabled(true); break;
    }
  }
  return clicked;
}

TEST(ButtonMouseTest, ClickNeedsAPressAndAReleaseBothOnTheEnabledButton) {
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool click;
  } cases[] = {
      {"press and release inside", {{Do::kPress, kInside}, {Do::kRelease, kInside}}, true},
      {"released outside", {{Do::kPress, kInside}, {Do::kRelease, kOutside}}, false},
      {"released on the right edge", {{Do::kPress, kInside}, {Do::kRelease, {100, 15}}}, false},
      {"released on the last pixel", {{Do::kPress, kInside}, {Do::kRelease, {99, 29}}}, true},
      {"dragged out and back in", {{Do::kPress, kInside}, {Do::kMove, kOutside}, {Do::kRelease, kInside}}, true},
      {"release without a press", {{Do::kRelease, kInside}}, false},
      {"press that began elsewhere", {{Do::kPress, kOutside}, {Do::kRelease, kInside}}, false},
      {"second release of one press", {{Do::kPress, kInside}, {Do::kRelease, kInside}, {Do::kRelease, kInside}}, false},
      {"disabled button", {{Do::kDisable}, {Do::kPress, kInside}, {Do::kRelease, kInside}}, false},
      {"disabled while pressed",
       {{Do::kPress, kInside}, {Do::kDisable}, {Do::kEnable}, {Do::kRelease, kInside}},
       false},
      {"enabled again", {{Do::kDisable}, {Do::kEnable}, {Do::kPress, kInside}, {Do::kRelease, kInside}}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ButtonMouse mouse;
    EXPECT_EQ(RunSteps(mouse, c.steps), c.click);
    EXPECT_FALSE(mouse.Pressed());
  }
}

TEST(ButtonMouseTest, OverFollowsEnterLeaveAndMovesAndReportsChanges) {
  struct Case {
    Step step;
    bool over;
    bool changed;
  } cases[] = {
      {{Do::kEnter}, true, true},
      {{Do::kEnter}, true, false},
      {{Do::kMove, kInside}, true, false},
      {{Do::kMove, {-1, 15}}, false, true},
      {{Do::kMove, {0, 0}}, true, true},
      {{Do::kLeave}, false, true},
      {{Do::kLeave}, false, false},
      {{Do::kMove, {50, 30}}, false, false},
  };
  ButtonMouse mouse;
  int index = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(index++);
    bool changed = false;
    switch (c.step.what) {
      case Do::kEnter: changed = mouse.Enter(); break;
      case Do::kLeave: changed = mouse.Leave(); break;
      default: changed = mouse.Move(c.step.at, kSize); break;
    }
    EXPECT_EQ(mouse.Over(), c.over);
    EXPECT_EQ(changed, c.changed);
  }
}

}  // namespace
}  // namespace tavelo
