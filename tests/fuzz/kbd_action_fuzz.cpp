// A keystroke in the viewer with any hook code, key code, key states and class names:
// the keyboard hook's action, and which inputs it asked for in which order; the mouse
// hook's choice for any code and message.
// Input: 4 bytes hook code, 8 bytes key code, 2 bytes each for the states of Alt, Shift
// and Escape, 1 byte for the Lister window (bit 0 it has a parent, bit 1 it stands above the focus),
// then the focus and active class names split by NUL.
#include "fuzz_support.h"
#include "hooks/hook_rules.h"

namespace {

using hooks::KeyAction;

// What the hook asked, in order: 'K' + key for a state, 'F' focus class, 'A' active
// class, 'P' Lister's parent, 'W' whether a Lister window stands above the focus.
struct Inputs {
  std::int16_t alt, shift, escape;
  bool listerHasParent;
  bool listerAboveFocus;
  const char16_t* focusClass;
  const char16_t* activeClass;
  std::vector<int> asked;

  std::int16_t KeyState(int key) {
    asked.push_back(1000 + key);
    if (key == VK_MENU) return alt;
    if (key == VK_SHIFT) return shift;
    FUZZ_CHECK(key == VK_ESCAPE);
    return escape;
  }
  const char16_t* FocusClass() {
    asked.push_back('F');
    return focusClass;
  }
  const char16_t* ActiveClass() {
    asked.push_back('A');
    return activeClass;
  }
  bool ListerHasParent() {
    asked.push_back('P');
    return listerHasParent;
  }
  bool ListerAboveFocus() {
    asked.push_back('W');
    return listerAboveFocus;
  }
};

bool Down(std::int16_t state) { return (state & 0x8000) != 0; }

bool ViewersOwn(const std::u16string& active) { return active == u"#32770" || active == u"FullScreenClass"; }

KeyAction ReferenceEscape(const Inputs& in, const std::u16string& active, std::vector<int>& asked) {
  asked.push_back(1000 + VK_ESCAPE);
  if (!Down(in.escape)) return KeyAction::PassOn;
  asked.push_back('A');
  if (ViewersOwn(active)) return KeyAction::PassOn;
  asked.push_back('P');
  return in.listerHasParent ? KeyAction::CloseQuickView : KeyAction::CloseLister;
}

// Tab and the digits: the viewer's own window active keeps the key, else a Lister window
// above the focus takes it.
KeyAction ReferenceToLister(KeyAction action, const Inputs& in, const std::u16string& active, std::vector<int>& asked) {
  asked.push_back('A');
  if (ViewersOwn(active)) return KeyAction::PassOn;
  asked.push_back('W');
  return in.listerAboveFocus ? action : KeyAction::PassOn;
}

KeyAction ReferenceKbd(int code, std::uint64_t key, const Inputs& in, const std::u16string& focus,
                       const std::u16string& active, std::vector<int>& asked) {
  if (code != 0) return KeyAction::PassOn;
  if (key == 8 || key == 32 || key == 37 || key == 39) return KeyAction::CaptionAndRelease;
  if (key == 9) return ReferenceToLister(KeyAction::FocusLister, in, active, asked);
  if (key >= '1' && key <= '8') {
    asked.push_back('F');
    if (focus != u"Pixmorant") return KeyAction::PassOn;
    return ReferenceToLister(KeyAction::ForwardDigit, in, active, asked);
  }
  if (key == 'C' || key == 'M' || key == 'S' || key == 'T') {
    asked.push_back(1000 + VK_MENU);
    asked.push_back(1000 + VK_SHIFT);
    if (Down(in.alt) && Down(in.shift)) return KeyAction::Swallow;
    return ReferenceEscape(in, active, asked);
  }
  if (key == 27) return ReferenceEscape(in, active, asked);
  return KeyAction::PassOn;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::int32_t code = fuzz::Take<std::int32_t>(data, size);
  const std::uint64_t key = fuzz::Take<std::uint64_t>(data, size);
  Inputs inputs{};
  inputs.alt = fuzz::Take<std::int16_t>(data, size);
  inputs.shift = fuzz::Take<std::int16_t>(data, size);
  inputs.escape = fuzz::Take<std::int16_t>(data, size);
  const std::uint8_t lister = fuzz::Take<std::uint8_t>(data, size);
  inputs.listerHasParent = lister & 1;
  inputs.listerAboveFocus = (lister & 2) != 0;
  const auto names = fuzz::Fields(fuzz::Units(data, size), 2);
  const fuzz::HeapText focus(names[0]), active(names[1]);
  inputs.focusClass = focus.get();
  inputs.activeClass = active.get();

  std::vector<int> expectedAsked;
  const KeyAction expected = ReferenceKbd(code, key, inputs, names[0], names[1], expectedAsked);
  FUZZ_CHECK(hooks::KbdAction(code, key, inputs) == expected);
  FUZZ_CHECK(inputs.asked == expectedAsked);

  // The key code doubles as a mouse message.
  const hooks::MouseAction mouse = hooks::ChooseMouseAction(code, key);
  const hooks::MouseAction expectedMouse = code != 0    ? hooks::MouseAction::Nothing
                                           : key == 514 ? hooks::MouseAction::Caption
                                           : key == 522 ? hooks::MouseAction::ReleaseLeft
                                                        : hooks::MouseAction::Nothing;
  FUZZ_CHECK(mouse == expectedMouse);
  return 0;
}
