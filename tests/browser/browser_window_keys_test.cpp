#include <gtest/gtest.h>

#include "browser/browser_window.h"
#include "browser/shortcut_keys.h"
#include "fakes/fake_port.h"

namespace tavelo {
namespace {

using fakes::FakePlatform;
using fakes::FakeWindowHost;
using port::Key;

TEST(ShortcutKeysTest, EachShortcutTakesExactlyItsModifiers) {
  const port::Modifiers ctrlAlt{.control = true, .alt = true};
  const port::Modifiers altShift{.alt = true, .shift = true};
  const port::Modifiers ctrlShift{.control = true, .shift = true};
  struct Case {
    Key key;
    port::Modifiers modifiers;
    Shortcut expected;
  } cases[] = {
      {Key::kLeft, port::kAlt, Shortcut::kBack},
      {Key::kRight, port::kAlt, Shortcut::kForward},
      {Key::kF5, port::kNoModifiers, Shortcut::kReload},
      {Key::kW, port::kControl, Shortcut::kCloseWindow},
      {Key::kF, port::kControl, Shortcut::kSearchBox},
      {Key::kL, port::kControl, Shortcut::kSearchBox},
      // Plain arrows move in lists and pages; letters alone are typing.
      {Key::kLeft, port::kNoModifiers, Shortcut::kNone},
      {Key::kRight, port::kControl, Shortcut::kNone},
      {Key::kLeft, ctrlAlt, Shortcut::kNone},
      {Key::kLeft, altShift, Shortcut::kNone},
      {Key::kF5, port::kControl, Shortcut::kNone},
      {Key::kW, port::kNoModifiers, Shortcut::kNone},
      {Key::kW, ctrlShift, Shortcut::kNone},
      {Key::kF, port::kAlt, Shortcut::kNone},
      {Key::kL, port::kNoModifiers, Shortcut::kNone},
      {Key::kEscape, port::kControl, Shortcut::kNone},
      {Key::kOther, port::kControl, Shortcut::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortcutOf(c.key, c.modifiers), c.expected)
        << static_cast<int>(c.key) << " ctrl " << c.modifiers.control << " alt " << c.modifiers.alt << " shift "
        << c.modifiers.shift;
  }
}

// A window with two browsers, of which only the first browses, and a box.
class KeyWindow : public BrowserWindow {
 public:
  enum { kBrowser = 1, kOtherBrowser = 2, kBox = 3 };
  struct Answers {
    bool browsing = false;
    bool search = false;
    bool swallowEnter = false;
  };
  KeyWindow(const WindowSet::Slot& slot, Answers answers) : BrowserWindow(slot) {
    CWebBrowser2& browser = AddBrowser(kBrowser);
    AddBrowser(kOtherBrowser);
    port::Edit* box = Host().AddEdit(kBox);
    if (answers.browsing) AnswerBrowsingKeys(browser);
    if (answers.search) AnswerSearchKeys(*box);
    swallowEnter_ = answers.swallowEnter;
  }

 private:
  bool OnOtherKey(Key key) override { return (swallowEnter_ && key == Key::kEnter) || BrowserWindow::OnOtherKey(key); }
  bool swallowEnter_ = false;
};

class BrowserWindowKeysTest : public ::testing::Test {
 protected:
  FakeWindowHost& Open(KeyWindow::Answers answers) {
    windows.Open<KeyWindow>(answers);
    return *platform.LiveWindows().back();
  }
  FakePlatform platform;
  WindowSet windows{platform};
};

TEST_F(BrowserWindowKeysTest, BrowsingKeysStepThroughTheChosenBrowsersHistory) {
  FakeWindowHost& host = Open({.browsing = true});
  EXPECT_TRUE(host.FireKey(Key::kLeft, port::kAlt));
  EXPECT_TRUE(host.FireKey(Key::kRight, port::kAlt));
  EXPECT_TRUE(host.FireKey(Key::kF5));
  EXPECT_EQ(host.Browser(KeyWindow::kBrowser)->historySteps, (std::vector<std::string>{"back", "forward", "reload"}));
  EXPECT_TRUE(host.Browser(KeyWindow::kOtherBrowser)->historySteps.empty());
  // Keys that are no shortcut reach the focused control.
  EXPECT_FALSE(host.FireKey(Key::kLeft));
  EXPECT_FALSE(host.FireKey(Key::kF, port::kControl));
  EXPECT_FALSE(host.Control<fakes::FakeEdit>(KeyWindow::kBox)->focused);
}

TEST_F(BrowserWindowKeysTest, CtrlWClosesAsTheCloseButtonDoes) {
  FakeWindowHost& plain = Open({.browsing = true});
  EXPECT_TRUE(plain.FireKey(Key::kW, port::kControl));
  EXPECT_TRUE(plain.destroyed);
  EXPECT_EQ(windows.Count(), 0);

  // A window whose close button only hides it is hidden by Ctrl+W too.
  FakeWindowHost& hiding = Open({.browsing = true});
  hiding.on_close_request = [&hiding] { hiding.Hide(); };
  hiding.Show();
  EXPECT_TRUE(hiding.FireKey(Key::kW, port::kControl));
  EXPECT_FALSE(hiding.destroyed);
  EXPECT_FALSE(hiding.shown);
}

TEST_F(BrowserWindowKeysTest, SearchKeysSelectTheBoxesText) {
  for (Key key : {Key::kF, Key::kL}) {
    FakeWindowHost& host = Open({.search = true});
    auto* box = host.Control<fakes::FakeEdit>(KeyWindow::kBox);
    EXPECT_TRUE(host.FireKey(key, port::kControl));
    EXPECT_TRUE(box->focused);
    EXPECT_TRUE(box->allSelected);
  }
}

TEST_F(BrowserWindowKeysTest, AWindowAnswersOnlyTheKeysItAskedFor) {
  FakeWindowHost& host = Open({.search = true});
  EXPECT_FALSE(host.FireKey(Key::kLeft, port::kAlt));
  EXPECT_FALSE(host.FireKey(Key::kF5));
  EXPECT_FALSE(host.FireKey(Key::kW, port::kControl));
  EXPECT_FALSE(host.destroyed);
  EXPECT_TRUE(host.Browser(KeyWindow::kBrowser)->historySteps.empty());
}

// Keys that are no shortcut get the window's own rule, by default: Escape
// swallowed, Enter to the page.
TEST_F(BrowserWindowKeysTest, OtherKeysFollowTheWindowsRule) {
  struct Case {
    KeyWindow::Answers answers;
    bool enterSwallowed;
  } cases[] = {{{}, false}, {{.browsing = true}, false}, {{.swallowEnter = true}, true}};
  for (const Case& c : cases) {
    FakeWindowHost& host = Open(c.answers);
    EXPECT_TRUE(host.FireKey(Key::kEscape));
    EXPECT_TRUE(host.FireKey(Key::kEscape, port::kControl));
    EXPECT_EQ(host.FireKey(Key::kEnter), c.enterSwallowed);
    EXPECT_FALSE(host.FireKey(Key::kOther));
    EXPECT_FALSE(host.destroyed);
  }
}

}  // namespace
}  // namespace tavelo
