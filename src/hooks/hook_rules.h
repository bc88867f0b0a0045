// The hooks' decisions, apart from the platform calls: what a keystroke in the viewer
// does, and what a mouse message in the viewer does.
#pragma once
#include <cstdint>

#include "platform/types.h"
#include "shared/key_state.h"
#include "shared/text16.h"

namespace hooks {

// The class names the keyboard hook tells apart, compared whole and case-sensitively.
constexpr char16_t kViewerClass[] = u"Pixmorant";            // the viewer's main window
constexpr char16_t kDialogClass[] = u"#32770";               // a dialog box of the viewer
constexpr char16_t kFullScreenClass[] = u"FullScreenClass";  // the viewer's full-screen window

constexpr int kKeyC = 'C';
constexpr int kKeyM = 'M';
constexpr int kKeyS = 'S';
constexpr int kKeyT = 'T';

enum class KeyAction { PassOn, CaptionAndRelease, FocusLister, ForwardDigit, Swallow, CloseQuickView, CloseLister };

// The inputs are asked for only as a branch needs them, so that the common keys cost no
// key-state or class-name query. Inputs provides:
//   std::int16_t KeyState(int key);   the key's state as the viewer's thread sees it
//   const char16_t* FocusClass();     class name of the focus window
//   const char16_t* ActiveClass();    class name of the active window
//   bool ListerHasParent();           the Lister window sits inside another host window
//   bool ListerAboveFocus();          a window stands two levels above the focus: in the
//                                     viewer window's tree, the Lister window

// The viewer's dialog box or its full-screen window is the active window: the keys the
// view takes for the host (Escape, Tab, the digits) are the viewer's there.
template <class Inputs>
bool ViewersOwnWindowActive(Inputs& inputs) {
  const char16_t* active = inputs.ActiveClass();
  return text16::Equal(active, kDialogClass) || text16::Equal(active, kFullScreenClass);
}

// Escape closes the view, unless the viewer's own window is active. The key has to be down
// right now; the same rule serves C, M, S and T, which close only while Escape is held.
template <class Inputs>
KeyAction EscapeRule(Inputs& inputs) {
  if (!IsKeyDown(inputs.KeyState(VK_ESCAPE))) return KeyAction::PassOn;
  if (ViewersOwnWindowActive(inputs)) return KeyAction::PassOn;
  return inputs.ListerHasParent() ? KeyAction::CloseQuickView : KeyAction::CloseLister;
}

// Tab and the digits hand the keyboard to the Lister window. A modal dialog of the viewer
// has disabled the Lister window (the dialog's owner is the viewer's root window), and the
// full-screen window has no Lister window above it: the keyboard would go to a window that
// cannot take it, or to none, and the viewer's window would be left without it. With no
// window above the focus at all (the viewer's own window still top-level during the load)
// likewise. There the key stays the viewer's.
template <class Inputs>
KeyAction ToLister(KeyAction action, Inputs& inputs) {
  if (ViewersOwnWindowActive(inputs)) return KeyAction::PassOn;
  return inputs.ListerAboveFocus() ? action : KeyAction::PassOn;
}

// One keystroke (press, repeat or release alike) taken from the viewer's queue.
template <class Inputs>
KeyAction KbdAction(int code, std::uint64_t key, Inputs& inputs) {
  if (code != HC_ACTION) return KeyAction::PassOn;
  switch (key) {
    case VK_BACK:
    case VK_SPACE:
    case VK_LEFT:
    case VK_RIGHT: return KeyAction::CaptionAndRelease;
    case VK_TAB: return ToLister(KeyAction::FocusLister, inputs);
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
    case '7':
    case '8':
      if (!text16::Equal(inputs.FocusClass(), kViewerClass)) return KeyAction::PassOn;
      return ToLister(KeyAction::ForwardDigit, inputs);
    case kKeyC:
    case kKeyM:
    case kKeyS:
    case kKeyT: {
      // Alt first, then Shift; both down when bit 15 survives their AND. Ctrl and the
      // Windows keys are not looked at.
      std::int16_t alt = inputs.KeyState(VK_MENU);
      std::int16_t shift = inputs.KeyState(VK_SHIFT);
      if (IsKeyDown(static_cast<std::int16_t>(alt & shift))) return KeyAction::Swallow;
      return EscapeRule(inputs);
    }
    case VK_ESCAPE: return EscapeRule(inputs);
    default: return KeyAction::PassOn;
  }
}

// The load keeps on the container the host's window that had the keyboard when the load
// began (in Quick View, the host's file list).
constexpr char16_t kKeyboardOwnerProperty[] = u"Pixmorant.KeyboardOwner";

// Where the keyboard goes when Escape closes the Quick View from inside the viewer: back to
// the host's window that had it before the load, so that the user's next key acts there at
// once, while that window still lives in the same top-level window as the Lister window;
// otherwise that top-level window, the host's main window. ownerRoot and listerRoot are
// the top-level windows the two lie in, null for a window that no longer exists.
inline HWND KeyboardBackTo(HWND owner, HWND ownerRoot, HWND listerRoot) {
  return owner != nullptr && ownerRoot == listerRoot ? owner : listerRoot;
}

// The close's request to the viewer: its window is destroyed on its own thread by the title
// hook, right after the window procedure has handled the request, before the viewer takes
// another message (a step it has queued, say). The hook marks the window as leaving first, so
// that the host can tell a viewer tearing its window down from one that has not yet taken the
// request. The numbers are registered in the session under these names; registered numbers
// start at 0xC000.
constexpr char16_t kCloseViewMessage[] = u"Pixmorant.CloseView";
constexpr char16_t kLeavingProperty[] = u"Pixmorant.Leaving";  // on the viewer window
constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;

// The host's request to the viewer to embed its own window in the container (wParam): the
// title hook makes the window a child of the container and shows it, on the viewer's own
// thread, so that the host's thread never waits on the viewer's for it. The host names the
// viewer window it is waiting for on the container; a request that finds another name there
// (the host has given up on this viewer) changes nothing. The hook marks the viewer window
// once it has taken the request, embedded or not.
constexpr char16_t kEmbedViewMessage[] = u"Pixmorant.EmbedView";
constexpr char16_t kArrivingProperty[] = u"Pixmorant.Arriving";            // on the container
constexpr char16_t kEmbedAnsweredProperty[] = u"Pixmorant.EmbedAnswered";  // on the viewer window
// lParam of the request: the viewer window is the show's last target (a maximized Lister).
constexpr LParam kEmbedShowsViewer = 1;

// What the mouse hook adds before it passes a message on.
enum class MouseAction { Nothing, Caption, ReleaseLeft };

inline MouseAction ChooseMouseAction(int code, std::uint64_t message) {
  if (code != HC_ACTION) return MouseAction::Nothing;
  switch (message) {
    case WM_LBUTTONUP: return MouseAction::Caption;
    // The wheel shows another image; the release comes back here as WM_LBUTTONUP when the
    // pointer is over the viewer, and that refreshes the caption.
    case WM_MOUSEWHEEL: return MouseAction::ReleaseLeft;
    default: return MouseAction::Nothing;
  }
}

}  // namespace hooks
