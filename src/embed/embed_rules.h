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

// How long the host's thread waits for an answer from the viewer's thread (or from the
// popup menu it shows) before it goes on without one, in milliseconds. A thread the
// platform already reports hung fails at once.
constexpr std::uint32_t kWaitProbeMs = 30;     // a window the title hook does not reach, before its embedding
constexpr std::uint32_t kPopupAnswerMs = 250;  // a popup menu, asked for its menu or closed
// The platform calls a thread hung once it has taken no message for 5 s (SMTO_ABORTIFHUNG,
// IsHungAppWindow). A viewer asked to leave its container is given as long to take the
// request (it may be busy on its thread, saving an image, say), and is ended only when the
// platform calls it hung or it has not taken the request within that time: a viewer at work
// is never ended.
constexpr std::uint32_t kCloseAnswerMs = 5000;
constexpr std::uint32_t kViewerEndMs = 500;  // a viewer the plug-in ended, to be gone
// A viewer window that was never shown is asked to close; one that has not ended this long
// after is ended.
constexpr std::uint32_t kUnembeddedCloseMs = 1000;

// A step's viewer starts once the steps have paused this long: the host has taken the keys
// that were waiting (a held key repeats every 33 ms or so), so a burst of steps starts one
// viewer, for the file the host names last. Then the step's work goes on in ticks this far
// apart.
constexpr std::uint32_t kStepQuietMs = 80;
constexpr std::uint32_t kStepTickMs = 15;

// A load waits this long on the host's thread for its viewer to be embedded: a healthy
// viewer takes a few tenths of a second, and one that comes within the bound is on view when
// the load returns, as the host expects of a load. One that is not there by then is embedded
// later, as a step's viewer is, and the host is not held meanwhile.
constexpr std::uint32_t kLoadWaitMs = 1000;

// What the container says while it has no viewer to show: the file it opens, or that its
// viewer did not show it, by the file's name without its folder.
enum class Note { None, Opening, Ended, NotShown };

// The file's name without its folder, cut where the whole does not fit, never between the
// two units of a character.
inline void NameOfFile(const char16_t* fileName, char16_t (&name)[text16::kUnits]) {
  text16::Zero(name, text16::kUnits);
  text16::AppendWhole(name, text16::kUnits, fileName + (text16::FindLast(fileName, u'\\') + 1));
}

// The note's text for a file's name (as NameOfFile gives it), cut to fit likewise.
inline void ComposeNote(Note note, const char16_t* name, char16_t (&text)[text16::kUnits]) {
  text16::Zero(text, text16::kUnits);
  const char16_t* front = u"";
  switch (note) {
    case Note::None: return;
    case Note::Opening: front = u"Opening "; break;
    case Note::Ended: front = u"The viewer ended before it showed "; break;
    case Note::NotShown: front = u"The viewer could not show "; break;
  }
  text16::Append(text, text16::kUnits, front);
  text16::AppendWhole(text, text16::kUnits, name);
}

// A viewer on its way into its container, one short step at a time: started, its window
// found and asked to embed itself (the title hook does it on the viewer's thread), then
// shown. A viewer the title hook cannot reach (a 32-bit one) is embedded from the host's
// thread instead, once its window answers, so that the re-parenting does not wait for a
// thread that is not taking messages.
enum class ArrivalPhase { Started, Asked };
enum class ArrivalAction { Wait, AskToEmbed, EmbedFromHost, Shown, Failed };

// Inputs provides, each asked only as a branch needs it:
//   bool WindowFound();    the started process's "Pixmorant" window exists
//   bool HookReaches();    the title hook runs in the viewer's process
//   bool WindowAnswers();  its thread answers a probe within a few tens of ms
//   bool Embedded();       the window is the container's child
//   bool Answered();       the viewer's thread has taken the request to embed itself
//   bool ProcessEnded();   the started process has ended
// A process that has ended can never bring its window, nor embed it. A request taken and a
// window not embedded is a viewer the platform would not make the container's child.
template <class Inputs>
ArrivalAction DecideArrival(ArrivalPhase phase, Inputs& in) {
  switch (phase) {
    case ArrivalPhase::Started:
      if (in.WindowFound()) {
        if (in.HookReaches()) return ArrivalAction::AskToEmbed;
        if (in.WindowAnswers()) return ArrivalAction::EmbedFromHost;
      }
      return in.ProcessEnded() ? ArrivalAction::Failed : ArrivalAction::Wait;
    case ArrivalPhase::Asked:
      // The answer is read before the parent: the viewer re-parents its window first and
      // marks its answer after, so a window embedded between the two reads is not taken
      // for one refused.
      if (in.Answered()) return in.Embedded() ? ArrivalAction::Shown : ArrivalAction::Failed;
      return in.ProcessEnded() ? ArrivalAction::Failed : ArrivalAction::Wait;
  }
  return ArrivalAction::Failed;
}

// A viewer leaving its container, one short step at a time.
//   Asked:     a viewer that was on view, asked to destroy its window on its own thread;
//   Unreached: a viewer that was on view and that the title hook does not reach (a 32-bit
//              one): it cannot be asked so, and leaves the view once it answers;
//   Closing:   a viewer never shown, asked to close as its own close command does;
//   Ended:     a viewer the plug-in ended, its window still to go.
enum class LeavingPhase { Asked, Unreached, Closing, Ended };
enum class LeavingAction { Wait, End, MoveOutOfView, Done };

// Inputs provides Gone() (its window, or for a viewer never shown its process, is gone),
// Hung() (the platform calls its thread hung: no message taken for 5 s), Answered() (it
// has taken the request and is tearing its window down) and WindowAnswers() (its thread
// answers a probe within a few tens of ms). A viewer is ended only when the platform calls
// it hung or it has not taken the request within the time its phase allows: one at work
// (saving an image, say) finishes its job, and one tearing its window down finishes that
// too, while it is not hung.
template <class Inputs>
LeavingAction DecideLeaving(LeavingPhase phase, std::uint32_t elapsed, Inputs& in) {
  if (in.Gone()) return LeavingAction::Done;
  switch (phase) {
    case LeavingPhase::Asked:
      if (in.Hung()) return LeavingAction::End;
      if (in.Answered()) return LeavingAction::Wait;
      return elapsed >= kCloseAnswerMs ? LeavingAction::End : LeavingAction::Wait;
    case LeavingPhase::Unreached:
      if (in.Hung()) return LeavingAction::End;
      return in.WindowAnswers() ? LeavingAction::MoveOutOfView : LeavingAction::Wait;
    case LeavingPhase::Closing:
      if (in.Hung()) return LeavingAction::End;
      return elapsed >= kUnembeddedCloseMs ? LeavingAction::End : LeavingAction::Wait;
    case LeavingPhase::Ended: return elapsed >= kViewerEndMs ? LeavingAction::Done : LeavingAction::Wait;
  }
  return LeavingAction::Done;
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

// What the container window procedure does with a message, before the common tail (a note
// is painted after the default handling, which erases the background first).
enum class ContainerAction { FitViewer, GrayContextItems, ForwardKey, RefreshCaption, PaintNote, Nothing };

inline ContainerAction ChooseContainerAction(std::uint32_t message) {
  switch (message) {
    case WM_SIZE: return ContainerAction::FitViewer;
    case WM_PAINT: return ContainerAction::PaintNote;
    case WM_CONTEXTMENU: return ContainerAction::GrayContextItems;
    case WM_KEYDOWN: return ContainerAction::ForwardKey;
    case WM_KEYUP: return ContainerAction::RefreshCaption;
    default: return ContainerAction::Nothing;
  }
}

// The common tail refreshes the caption while the left button is up (bit 15 clear).
inline bool CaptionInTail(std::int16_t leftButtonState) { return (leftButtonState & 0x8000) == 0; }

// Where the container keeps the viewer on view and the three hooks on its thread, so that
// the close removes them and a step closes that viewer once the next is shown; and whether
// the title hook runs in that viewer's process.
constexpr char16_t kViewerProperty[] = u"Pixmorant.Viewer";
constexpr char16_t kKeyboardHookProperty[] = u"Pixmorant.KeyboardHook";
constexpr char16_t kMouseHookProperty[] = u"Pixmorant.MouseHook";
constexpr char16_t kTitleHookProperty[] = u"Pixmorant.TitleHook";
constexpr char16_t kHookReachesProperty[] = u"Pixmorant.HookReaches";
// The hidden window at the bottom of the container that holds the viewers the title hook
// does not reach once they have left the view, until the close.
constexpr char16_t kHolderProperty[] = u"Pixmorant.Holder";

// Top-level "Pixmorant" windows looked at per pass of the wait, at most; and top-level
// windows of any kind looked at for the windows a window owns.
constexpr int kMaxViewerWindowsSearched = 64;
constexpr int kMaxTopLevelWindowsSearched = 4096;

// The context menu items grayed, by position.
constexpr int kGrayedContextPositions[] = {25, 26, 27, 28};

}  // namespace embed
