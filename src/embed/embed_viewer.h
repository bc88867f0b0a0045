// Starting the viewer, embedding its window in a container inside the Lister window, the
// container's window procedure, and the embedding's part of the close.
#pragma once
#include "embed/embed_rules.h"
#include "platform/input.h"
#include "platform/system.h"
#include "platform/types.h"
#include "shared/export.h"
#include "shared/view_mode.h"

// The container a load makes in the Lister window, with the host's window that had the
// keyboard before the load kept on it (the keyboard hook gives the keyboard back to it when
// the view closes from inside). Null when it could not be made (the Lister window is gone, or
// the host's window quota is spent). module is the library's instance: the container's class
// names its procedure.
HWND CreateContainer(HINSTANCE module, HWND lister, HWND keyboardOwner);
// The container a load returned inside this Lister window, as the host hands it back.
bool IsContainerOf(HWND container, HWND lister);

// Sends a message to a window of another thread (the viewer's, or the popup menu it
// shows) without waiting on that thread longer than the time, nor at all once the platform
// reports it hung. False when no answer came; otherwise true, with the answer.
bool SendWithin(HWND window, std::uint32_t message, std::uint32_t milliseconds, LResult* answer);

// The viewer on view in a container and the hooks on its thread, kept on the container from
// its show until it leaves.
struct ShownViewer {
  HWND window;
  HHOOK keyboard;
  HHOOK mouse;
  HHOOK title;
  bool hookReaches;  // the title hook runs in the viewer's process (not so for a 32-bit viewer)
};
void KeepShownViewer(HWND container, const ShownViewer& shown);
// Taken off the container: the hooks still installed.
ShownViewer TakeShownViewer(HWND container);
// The viewer on view, or null.
HWND ShownViewerOf(HWND container);

// A viewer on its way into a container, from its start to its show; its process's handles
// are held until then, or until it leaves.
struct ArrivingViewer {
  win::ProcessInfo process;
  HWND window;  // found once it exists
  ShownViewer hooks;
  bool hooked;  // its thread hooked, once its window was found
  embed::ArrivalPhase phase;
  embed::ShowTarget target;
};
// Starts the viewer on its command line: false when it did not start. hookReaches: the title
// hook can run in its process (a 64-bit viewer).
bool StartArriving(const char16_t* viewerProgram, char16_t* commandLine, bool hookReaches, embed::ShowTarget target,
                   ArrivingViewer* arriving);
// The hook procedures the viewer's thread gets, and the library's instance that holds them:
// the platform maps that library into the viewer's process to run them there.
struct HookProcedures {
  HINSTANCE module;
  win::HookProcedure keyboard;
  win::HookProcedure mouse;
  win::HookProcedure title;
};
enum class Arrival { OnItsWay, Embedded, Failed };
// One short step: no wait on the viewer's thread longer than a probe of a few tens of ms.
// Once its window exists the viewer's thread is hooked (in Quick View its system menu is
// trimmed too) and asked to embed the window itself. Failed: the process ended, or the
// platform would not make its window the container's child.
Arrival AdvanceArriving(const HookProcedures& procedures, HWND container, ViewMode mode, ArrivingViewer* arriving);
// The host's part of the show of an embedded viewer: the keyboard to the Lister window when
// takesKeyboard, the show's last target, the caption naming the new image; the process
// handles given back. The viewer shown, to keep on the container.
ShownViewer ShowArrived(HWND lister, HWND container, bool takesKeyboard, ArrivingViewer* arriving);
// From a step on, until the next viewer is shown, the caption names no image: the one on
// view is going.
void HoldCaption(HWND container);
// What the container says while it has no viewer to show, by the file's name (NameOfFile);
// Note::None says nothing.
void ShowNote(HWND container, embed::Note note, const char16_t* name);
// The keyboard is in the Lister window (on it, or on a window inside it).
bool ListerHasKeyboard(HWND lister);

// Trims the Lister window's File menu and grays its Edit item: the state that item had
// before (the graying's answer, 0xFFFFFFFF when there is none). Lister mode only: a
// Quick View Lister window has no menu.
std::uint32_t TrimListerMenu(HWND lister);
// Kept on the container for the close (GiveBackListerEdit).
void KeepListerEditState(HWND container, std::uint32_t earlier);
// In Quick View the viewer's system menu loses size, move, minimise, maximise and restore,
// and close is grayed.
void TrimViewerSystemMenu(HWND viewer);

// A viewer leaving its container, a short step at a time: a viewer that was on view, asked
// to destroy its window on its own thread, or one never shown, asked to close.
struct LeavingViewer {
  HWND window;
  win::ProcessInfo process;  // held for a viewer never shown
  HHOOK title;               // removed once the viewer is gone
  embed::LeavingPhase phase;
  std::uint32_t since;   // tick count of the request, or of its end
  bool containerGoes;    // the close: the container's destruction takes what stays of it
  HWND disabledRoot;     // the host's window its dialog had disabled, enabled once it has gone
  std::uint32_t thread;  // its user-interface thread
  bool active;
};
// The viewer on view leaves: its keyboard and mouse hooks go at once. A viewer the title
// hook reaches is asked to destroy its window; one it does not reach is moved out of view
// once it answers (containerGoes: left to the container's destruction).
void AskToLeave(const ShownViewer& shown, bool containerGoes, std::uint32_t now, LeavingViewer* leaving);
// A viewer never shown leaves: the container no longer waits for it, its hooks go, and it is
// asked to close as its own close command does (ended at once when it has no window yet).
void LeaveArriving(HWND container, ArrivingViewer* arriving, std::uint32_t now, LeavingViewer* leaving);
// One short step: true once the viewer has gone and all it held is given back. A viewer is
// ended only when the platform calls it hung or it has not taken the request in its time.
bool AdvanceLeaving(HWND container, std::uint32_t now, LeavingViewer* leaving);
// Every viewer of the list to the end of its leaving, on this thread, taking the messages
// sent to it meanwhile: bounded by the leaving's times.
void LeaveNow(HWND container, LeavingViewer* leaving, int count);

// The close's part, in its order.
// Gives the Lister window's Edit item the state it had before the load, when the item is
// still grayed; the Lister window is the container's parent, so this comes before the
// container's destruction.
void GiveBackListerEdit(HWND container);
// Asks the first popup menu showing to close, without waiting on a thread that does not
// answer.
void ClosePopupMenu();
// Tells the container it is going, lets the viewers leave, and destroys the container, and
// with it what a viewer the title hook does not reach left in it. The result of
// DestroyWindow.
bool DestroyContainer(HWND container, LeavingViewer* leaving, int count);

// Exported: the container window's procedure.
PX_EXPORT LResult WindowProc(HWND window, std::uint32_t message, WParam wParam, LParam lParam);
