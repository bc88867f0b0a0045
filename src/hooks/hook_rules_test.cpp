#include "hooks/hook_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using hooks::KeyAction;
using hooks::MouseAction;

// The keyboard rule's inputs, recording what was asked for. Which inputs each key asks
// for, and in which order, is the rule's own business; that the common keys ask for none
// is its promise of speed (the hook runs on every keystroke in the viewer).
struct FakeInputs {
  std::vector<std::string> asked;
  std::vector<int> down;  // keys reported down
  std::u16string focusClass = u"Pixmorant";
  std::u16string activeClass = u"Pixmorant";
  bool quickView = false;
  bool listerAboveFocus = true;

  std::int16_t KeyState(int key) {
    asked.push_back("key " + std::to_string(key));
    for (int d : down)
      if (d == key) return static_cast<std::int16_t>(0x8001);  // down, and toggled
    return 1;                                                  // toggled only: not down
  }
  const char16_t* FocusClass() {
    asked.push_back("focus class");
    return focusClass.c_str();
  }
  const char16_t* ActiveClass() {
    asked.push_back("active class");
    return activeClass.c_str();
  }
  bool ListerHasParent() {
    asked.push_back("lister parent");
    return quickView;
  }
  bool ListerAboveFocus() {
    asked.push_back("lister above");
    return listerAboveFocus;
  }
};

KeyAction Act(FakeInputs& inputs, std::uint64_t key, int code = HC_ACTION) {
  return hooks::KbdAction(code, key, inputs);
}

TEST(KbdAction, AnyHookCodeButActionPassesEveryKeyOnWithoutAskingAnything) {
  for (int code : {3, 1, -1}) {
    for (std::uint64_t key = 0; key < 300; ++key) {
      FakeInputs inputs;
      inputs.down = {VK_ESCAPE, VK_MENU, VK_SHIFT};
      EXPECT_EQ(KeyAction::PassOn, Act(inputs, key, code)) << code << " " << key;
      EXPECT_TRUE(inputs.asked.empty()) << key;
    }
  }
}

TEST(KbdAction, FixedRowsOfTheKeyTableAskForNothing) {
  // Escape down and every class matching would change the outcome if anything were read.
  for (std::uint64_t key : {VK_BACK, VK_SPACE, VK_LEFT, VK_RIGHT}) {
    FakeInputs inputs;
    inputs.down = {VK_ESCAPE, VK_MENU, VK_SHIFT};
    EXPECT_EQ(KeyAction::CaptionAndRelease, Act(inputs, key)) << key;
    EXPECT_TRUE(inputs.asked.empty());
  }
  // Every key outside the table passes on: the arrows Up and Down, '0', '9', the keypad
  // digits, everything below Backspace or above 'T', and the gaps of 8 to 84.
  const std::vector<std::uint64_t> listed = {8, 9, 27, 32, 37, 39, 49, 50, 51, 52, 53, 54, 55, 56, 67, 77, 83, 84};
  for (std::uint64_t key = 0; key < 512; ++key) {
    bool isListed = false;
    for (std::uint64_t l : listed) isListed |= l == key;
    if (isListed) continue;
    FakeInputs inputs;
    inputs.down = {VK_ESCAPE, VK_MENU, VK_SHIFT};
    EXPECT_EQ(KeyAction::PassOn, Act(inputs, key)) << key;
    EXPECT_TRUE(inputs.asked.empty()) << key;
  }
  FakeInputs wide;
  EXPECT_EQ(KeyAction::PassOn, Act(wide, 0x100000000ull + VK_TAB));  // only the whole code counts
}

TEST(KbdAction, DigitsOneToEightGoToTheListerOnlyFromTheViewerWindowItself) {
  for (std::uint64_t key = '1'; key <= '8'; ++key) {
    FakeInputs inputs;
    inputs.down = {VK_ESCAPE};
    EXPECT_EQ(KeyAction::ForwardDigit, Act(inputs, key)) << key;
  }
  for (std::u16string name : {u"pixmorant", u"PIXMORANT", u"Pixmorant2", u"PixmorantImage", u"Pixmoran", u""}) {
    FakeInputs inputs;
    inputs.focusClass = name;
    EXPECT_EQ(KeyAction::PassOn, Act(inputs, '5'));
  }
}

// In the viewer's modal dialog (which has disabled the Lister window) or its full-screen
// window, and with no window two levels above the focus (the viewer's own window still
// top-level during the load), the keys that would hand the Lister window the keyboard stay
// the viewer's.
TEST(KbdAction, TabAndTheDigitsGoToTheListerOnlyWhenItCanTakeTheKeyboard) {
  FakeInputs tab;
  EXPECT_EQ(KeyAction::FocusLister, Act(tab, VK_TAB));
  for (std::uint64_t key : {std::uint64_t{VK_TAB}, std::uint64_t{'1'}, std::uint64_t{'8'}}) {
    FakeInputs none;
    none.listerAboveFocus = false;
    EXPECT_EQ(KeyAction::PassOn, Act(none, key)) << key;
    for (std::u16string name : {u"#32770", u"FullScreenClass"}) {
      FakeInputs own;
      own.activeClass = name;
      EXPECT_EQ(KeyAction::PassOn, Act(own, key)) << key;
    }
    FakeInputs alike;  // only the exact names are the viewer's own windows
    alike.activeClass = u"#327700";
    EXPECT_NE(KeyAction::PassOn, Act(alike, key)) << key;
  }
}

TEST(KbdAction, AltShiftChordsOnCMSTAreSwallowedWhateverElseIsHeld) {
  for (std::uint64_t key : {'C', 'M', 'S', 'T'}) {
    FakeInputs inputs;
    inputs.down = {VK_MENU, VK_SHIFT, VK_CONTROL, VK_ESCAPE};
    EXPECT_EQ(KeyAction::Swallow, Act(inputs, key)) << key;
  }
}

TEST(KbdAction, CMSTWithoutBothAltAndShiftFollowTheEscapeRule) {
  for (std::vector<int> held : {std::vector<int>{}, {VK_MENU}, {VK_SHIFT}, {VK_CONTROL}}) {
    FakeInputs up;
    up.down = held;
    EXPECT_EQ(KeyAction::PassOn, Act(up, 'C'));

    FakeInputs escapeHeld;
    escapeHeld.down = held;
    escapeHeld.down.push_back(VK_ESCAPE);
    EXPECT_EQ(KeyAction::CloseLister, Act(escapeHeld, 'M'));
  }
}

TEST(EscapeRule, ClosesTheViewUnlessTheViewersDialogOrFullScreenWindowIsActive) {
  FakeInputs released;
  EXPECT_EQ(KeyAction::PassOn, Act(released, VK_ESCAPE));

  for (std::u16string name : {u"#32770", u"FullScreenClass"}) {
    FakeInputs inputs;
    inputs.down = {VK_ESCAPE};
    inputs.activeClass = name;
    EXPECT_EQ(KeyAction::PassOn, Act(inputs, VK_ESCAPE));
  }
  // Names that only begin like the exceptions, or fall short of them, close; so does the
  // empty name of no active window.
  for (std::u16string name : {u"#327700", u"FullScreenClassX", u"#3277", u"FullScreen", u"fullscreenclass", u""}) {
    FakeInputs lister;
    lister.down = {VK_ESCAPE};
    lister.activeClass = name;
    EXPECT_EQ(KeyAction::CloseLister, Act(lister, VK_ESCAPE));

    FakeInputs quick = lister;
    quick.quickView = true;
    EXPECT_EQ(KeyAction::CloseQuickView, Act(quick, VK_ESCAPE));
  }
}

TEST(KeyState, OnlyBitFifteenMeansDown) {
  EXPECT_TRUE(IsKeyDown(static_cast<std::int16_t>(0x8000)));
  EXPECT_TRUE(IsKeyDown(static_cast<std::int16_t>(0xFF80)));
  EXPECT_FALSE(IsKeyDown(1));
  EXPECT_FALSE(IsKeyDown(0x7FFF));
}

TEST(MouseAction, OnlyALeftReleaseAndTheVerticalWheelAreActedOn) {
  EXPECT_EQ(MouseAction::Caption, hooks::ChooseMouseAction(HC_ACTION, WM_LBUTTONUP));
  EXPECT_EQ(MouseAction::ReleaseLeft, hooks::ChooseMouseAction(HC_ACTION, WM_MOUSEWHEEL));
  for (std::uint64_t message : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONUP,
                                WM_MOUSEMOVE, WM_NCLBUTTONUP, WM_MOUSEHWHEEL, 0u})
    EXPECT_EQ(MouseAction::Nothing, hooks::ChooseMouseAction(HC_ACTION, message)) << message;
  for (int code : {3, 1, -1}) {
    EXPECT_EQ(MouseAction::Nothing, hooks::ChooseMouseAction(code, WM_LBUTTONUP));
    EXPECT_EQ(MouseAction::Nothing, hooks::ChooseMouseAction(code, WM_MOUSEWHEEL));
  }
}

TEST(KeyboardBack, TheWindowThatHadItWhileItLivesUnderTheListersMainWindowElseThatMainWindow) {
  HWND files = reinterpret_cast<HWND>(0x10), main = reinterpret_cast<HWND>(0x20), other = reinterpret_cast<HWND>(0x30);
  EXPECT_EQ(files, hooks::KeyboardBackTo(files, main, main));
  EXPECT_EQ(main, hooks::KeyboardBackTo(files, nullptr, main));  // the file list is gone
  EXPECT_EQ(main, hooks::KeyboardBackTo(files, other, main));    // under another top-level window
  EXPECT_EQ(main, hooks::KeyboardBackTo(nullptr, nullptr, main));
}

}  // namespace
