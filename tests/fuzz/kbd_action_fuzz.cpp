// A keystroke in the viewer with any hook code, key code, key states and class names:
// the keyboard hook's action against the key table of the user guide, and what it asked
// for; the mouse hook's choice for any code and message.
// Input: 4 bytes hook code, 8 bytes key code, 2 bytes each for the states of Alt, Shift
// and Escape, 1 byte for the Lister window (bit 0 it has a parent, bit 1 it stands above the focus),
// then the focus and active class names split by NUL.
#include <cstring>

#include "fuzz_support.h"
#include "hooks/hook_rules.h"

namespace {

using hooks::KeyAction;

// The keys the view acts on, by the part they play; every other key is passed on.
enum class Kind { Other, Step, Tab, Digit, Chord, Escape };
struct KeyRow {
  std::uint64_t key;
  Kind kind;
};
const KeyRow kKeys[] = {{8, Kind::Step},    {32, Kind::Step},   {37, Kind::Step},   {39, Kind::Step},
                        {9, Kind::Tab},     {'1', Kind::Digit}, {'2', Kind::Digit}, {'3', Kind::Digit},
                        {'4', Kind::Digit}, {'5', Kind::Digit}, {'6', Kind::Digit}, {'7', Kind::Digit},
                        {'8', Kind::Digit}, {'C', Kind::Chord}, {'M', Kind::Chord}, {'S', Kind::Chord},
                        {'T', Kind::Chord}, {27, Kind::Escape}};

// What a key of each part may ask for, each at most once: 'a', 's', 'e' the states of Alt,
// Shift and Escape; 'F' the focus's class, 'A' the active window's class, 'P' whether the
// Lister window has a parent, 'W' whether it stands above the focus. The steps, the keys
// held down when stepping through a folder, ask for nothing. By Kind.
const char* const kMayAsk[] = {"", "", "AW", "FAW", "aseAP", "eAP"};

Kind KindOf(std::uint64_t key) {
  for (const KeyRow& row : kKeys)
    if (row.key == key) return row.kind;
  return Kind::Other;
}

// Everything the hook could learn, learned at once.
struct Situation {
  bool alt, shift, escape;  // held down (bit 15 of the state)
  bool viewerFocused;       // the focus is the viewer's main window, class "Pixmorant"
  bool viewersOwnActive;    // its dialog "#32770" or full-screen window is the active one
  bool listerHasParent, listerAboveFocus;
};

KeyAction Expected(int code, Kind kind, const Situation& s) {
  if (code != 0) return KeyAction::PassOn;
  const bool toLister = !s.viewersOwnActive && s.listerAboveFocus;
  const bool closes = s.escape && !s.viewersOwnActive;
  const KeyAction close = s.listerHasParent ? KeyAction::CloseQuickView : KeyAction::CloseLister;
  switch (kind) {
    case Kind::Step: return KeyAction::CaptionAndRelease;
    case Kind::Tab: return toLister ? KeyAction::FocusLister : KeyAction::PassOn;
    case Kind::Digit: return s.viewerFocused && toLister ? KeyAction::ForwardDigit : KeyAction::PassOn;
    case Kind::Chord: return s.alt && s.shift ? KeyAction::Swallow : closes ? close : KeyAction::PassOn;
    case Kind::Escape: return closes ? close : KeyAction::PassOn;
    default: return KeyAction::PassOn;
  }
}

// The hook's inputs, recording what it asked for.
struct Inputs {
  std::int16_t alt, shift, escape;
  bool listerHasParent;
  bool listerAboveFocus;
  const char16_t* focusClass;
  const char16_t* activeClass;
  std::string asked;

  std::int16_t KeyState(int key) {
    FUZZ_CHECK(key == VK_MENU || key == VK_SHIFT || key == VK_ESCAPE);
    asked += key == VK_MENU ? 'a' : key == VK_SHIFT ? 's' : 'e';
    return key == VK_MENU ? alt : key == VK_SHIFT ? shift : escape;
  }
  const char16_t* FocusClass() {
    asked += 'F';
    return focusClass;
  }
  const char16_t* ActiveClass() {
    asked += 'A';
    return activeClass;
  }
  bool ListerHasParent() {
    asked += 'P';
    return listerHasParent;
  }
  bool ListerAboveFocus() {
    asked += 'W';
    return listerAboveFocus;
  }
};

bool Down(std::int16_t state) { return (state & 0x8000) != 0; }

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

  const Situation situation = {Down(inputs.alt),
                               Down(inputs.shift),
                               Down(inputs.escape),
                               names[0] == u"Pixmorant",
                               names[1] == u"#32770" || names[1] == u"FullScreenClass",
                               inputs.listerHasParent,
                               inputs.listerAboveFocus};
  const Kind kind = code == 0 ? KindOf(key) : Kind::Other;
  FUZZ_CHECK(hooks::KbdAction(code, key, inputs) == Expected(code, kind, situation));
  const char* mayAsk = kMayAsk[static_cast<int>(kind)];
  for (std::size_t i = 0; i < inputs.asked.size(); ++i) {
    FUZZ_CHECK(std::strchr(mayAsk, inputs.asked[i]) != nullptr);
    FUZZ_CHECK(inputs.asked.find(inputs.asked[i], i + 1) == std::string::npos);
  }

  // The key code doubles as a mouse message.
  const hooks::MouseAction mouse = hooks::ChooseMouseAction(code, key);
  const hooks::MouseAction expectedMouse = code != 0    ? hooks::MouseAction::Nothing
                                           : key == 514 ? hooks::MouseAction::Caption
                                           : key == 522 ? hooks::MouseAction::ReleaseLeft
                                                        : hooks::MouseAction::Nothing;
  FUZZ_CHECK(mouse == expectedMouse);
  return 0;
}
