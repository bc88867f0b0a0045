// The embedding's decisions, apart from the platform calls.
#pragma once
#include <cstdint>
#include <initializer_list>

#include "platform/types.h"
#include "shared/flag_test.h"
#include "shared/key_state.h"
#include "shared/text16.h"
#include "shared/view_mode.h"

namespace embed {

// Which window the last show of a load addresses.
enum class ShowTarget { ViewerWindow, ListerWindow };

inline ShowTarget ChooseShowTarget(const char16_t* maximized, ViewMode mode) {
  return IsFlagOn(maximized) && mode == ViewMode::Lister ? ShowTarget::ViewerWindow : ShowTarget::ListerWindow;
}

// One pass of the wait for the viewer's window.
enum class WaitOutcome { Done, ViewerGone, Abort, Again };

// Equal ids end the wait once the window also answers: a viewer whose thread does not take
// messages would hold the host's thread in the re-parenting that follows. Until it
// answers, the pass goes on as for another process's window. A started process that has
// ended can never create the window, so the wait ends there too instead of spinning for
// ever. Otherwise an arrow key held long enough aborts (ArrowHeldToAbort).
template <class WindowAnswers, class ProcessEnded, class ArrowHeld>
WaitOutcome DecideWaitPass(std::uint32_t ownerId, std::uint32_t processId, WindowAnswers windowAnswers,
                           ProcessEnded processEnded, ArrowHeld arrowHeld) {
  if (ownerId == processId && windowAnswers()) return WaitOutcome::Done;
  if (processEnded()) return WaitOutcome::ViewerGone;
  return arrowHeld() ? WaitOutcome::Abort : WaitOutcome::Again;
}

// A user who holds an arrow key down gives up on a viewer that does not come. One who taps
// it means the host: Down in Quick View moves the host's cursor to the next file while the
// image loads, and the host takes that key once the load has returned. So only a key held
// down this long on end aborts the wait; a tap never does.
constexpr std::uint32_t kAbortHoldMs = 1000;

// An arrow key's hold across the passes of one wait.
struct ArrowHold {
  bool down;            // an arrow key was down at the last pass
  std::uint32_t since;  // the tick count of the pass that first saw it down
};

// One pass's look at the arrow keys at tick count now: true once one of them has been down
// at every pass for kAbortHoldMs. The keys are asked in the order Up, Down, Left, Right, and
// none after the first one down.
template <class KeyState>
bool ArrowHeldToAbort(KeyState keyState, std::uint32_t now, ArrowHold* hold) {
  bool anyDown = false;
  for (int key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}) {
    if (IsKeyDown(keyState(key))) {
      anyDown = true;
      break;
    }
  }
  if (!anyDown) {
    hold->down = false;
    return false;
  }
  if (!hold->down) *hold = {true, now};
  return now - hold->since >= kAbortHoldMs;
}

// The Lister window's first drop-down menu: with exactly nine items, the items at
// positions 1, 4, 5 and 6 go, deleted by position as 1, then 3 three times. Any other
// count is left alone. Returns how many positions were written into deletions (0 or 4).
inline int MenuTrimDeletions(int itemCount, int (&deletions)[4]) {
  if (itemCount != 9) return 0;
  deletions[0] = 1;
  deletions[1] = 3;
  deletions[2] = 3;
  deletions[3] = 3;
  return 4;
}

// The show hands the keyboard to the Lister window in Lister mode, where the user opened the
// view to look at it. In Quick View the host's window that had the keyboard keeps it: the
// user is moving the host's cursor from file to file, and the view follows.
inline bool ViewTakesKeyboard(ViewMode mode) { return mode == ViewMode::Lister; }

// A Lister window inside another host window (Quick View) is a child window, and a child
// window has no menu: what GetMenu gives for it is its control identifier, a number that may
// name a live menu of the host. The menu steps are taken in Lister mode only.
inline bool ListerHasMenuBar(ViewMode mode) { return mode == ViewMode::Lister; }

// The menu bar's item at position 1, the host's Edit menu, is grayed by the load. The host
// may keep the Lister window after the view (the same file as text, the next file with
// another plug-in), so the load keeps the item's earlier state on the container and the
// close gives it back.
constexpr char16_t kListerEditProperty[] = u"Pixmorant.ListerEdit";
constexpr unsigned kListerEditPosition = 1;
constexpr unsigned kMenuStateBits = MF_DISABLED | MF_GRAYED;
constexpr std::uintptr_t kEditRecorded = 0x100;    // so that the record of an enabled item is not null
constexpr std::uint32_t kNoMenuItem = 0xFFFFFFFF;  // the menu calls' answer for an item that does not exist

// What the container keeps from the state the item had before the load grayed it (the
// graying's own answer): null when there was no item to gray.
inline std::uintptr_t RecordEditState(std::uint32_t earlier) {
  return earlier == kNoMenuItem ? 0 : kEditRecorded | (earlier & kMenuStateBits);
}

// At the close: the item gets its earlier state back when a load recorded one and the item
// is still grayed (current: its state now, kNoMenuItem when it or the menu is gone). An item
// the host has enabled meanwhile is the host's, and one already in its earlier state is
// left alone, so that the menu bar is redrawn only for a change. The state in *state.
inline bool EditStateToGiveBack(std::uintptr_t record, std::uint32_t current, unsigned* state) {
  if (record == 0 || current == kNoMenuItem || (current & MF_GRAYED) == 0) return false;
  *state = static_cast<unsigned>(record & kMenuStateBits);
  return *state != (current & kMenuStateBits);
}

// What the container window procedure does with a message, before the common tail.
enum class ContainerAction { ReleaseArrowKeys, FitViewer, GrayContextItems, ForwardKey, RefreshCaption, Nothing };

inline ContainerAction ChooseContainerAction(std::uint32_t message) {
  switch (message) {
    case WM_CREATE: return ContainerAction::ReleaseArrowKeys;
    case WM_SIZE: return ContainerAction::FitViewer;
    case WM_CONTEXTMENU: return ContainerAction::GrayContextItems;
    case WM_KEYDOWN: return ContainerAction::ForwardKey;
    case WM_KEYUP: return ContainerAction::RefreshCaption;
    default: return ContainerAction::Nothing;
  }
}

// The common tail refreshes the caption while the left button is up (bit 15 clear).
inline bool CaptionInTail(std::int16_t leftButtonState) { return (leftButtonState & 0x8000) == 0; }

// Where the container keeps the three hooks of its load, so that the close removes them.
constexpr char16_t kKeyboardHookProperty[] = u"Pixmorant.KeyboardHook";
constexpr char16_t kMouseHookProperty[] = u"Pixmorant.MouseHook";
constexpr char16_t kTitleHookProperty[] = u"Pixmorant.TitleHook";

// Top-level "Pixmorant" windows looked at per pass of the wait, at most.
constexpr int kMaxViewerWindowsSearched = 64;

// Releases injected for one arrow key while a container is created, at most.
constexpr int kMaxArrowReleases = 100;

// The context menu items grayed, by position.
constexpr int kGrayedContextPositions[] = {25, 26, 27, 28};

// How long the host's thread waits for an answer from the viewer's thread (or from the
// popup menu it shows) before it goes on without one, in milliseconds. A thread the
// platform already reports hung fails at once.
constexpr std::uint32_t kWaitProbeMs = 30;     // each pass of the load's wait
constexpr std::uint32_t kPopupAnswerMs = 250;  // a popup menu, asked for its menu or closed
// The platform calls a thread hung once it has taken no message for 5 s (SMTO_ABORTIFHUNG,
// IsHungAppWindow). The close waits as long for a viewer that is busy on its thread (saving
// an image, say), and ends only a viewer that the platform calls hung or that has not
// answered within that time: a viewer at work is never ended.
constexpr std::uint32_t kCloseProbeMs = 5000;
constexpr std::uint32_t kViewerEndMs = 500;  // a viewer the close ended, to be gone
// A viewer window the load could not embed is asked to close; the viewer was never shown,
// so one that has not ended this long after is ended.
constexpr std::uint32_t kUnembeddedCloseMs = 1000;

}  // namespace embed
