// Viewers leaving their container, and the embedding's part of the close: the hooks the load
// installed, the Lister window's Edit item it grayed, an open popup menu, and a viewer that
// no longer answers.
#include "caption/caption_rules.h"
#include "embed/embed_viewer.h"
#include "hooks/hook_rules.h"
#include "platform/input.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

void Unhook(HHOOK hook) {
  if (hook) win::UnhookWindowsHookEx(hook);
}

// Ends the process that owns the viewer window, found by the window's owner id; never the
// host's own process. Its windows go with its thread, which the next steps wait for.
void EndViewerProcess(HWND viewer) {
  std::uint32_t processId = 0;
  win::GetWindowThreadProcessId(viewer, &processId);
  if (processId == 0 || processId == win::GetCurrentProcessId()) return;
  HANDLE process = win::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, false, processId);
  if (process == nullptr) return;
  win::TerminateProcess(process, 0);
  win::CloseHandle(process);
}

// A visible window owned by root: of that thread (mine), or of any other thread.
bool OwnsVisibleWindow(HWND root, std::uint32_t thread, bool mine) {
  HWND window = nullptr;
  for (int seen = 0; seen < embed::kMaxTopLevelWindowsSearched; ++seen) {
    window = win::FindWindowExW(nullptr, window, nullptr, nullptr);
    if (window == nullptr) return false;
    if (win::GetWindow(window, GW_OWNER) != root || !win::IsWindowVisible(window)) continue;
    if ((win::GetWindowThreadProcessId(window, nullptr) == thread) == mine) return true;
  }
  return false;
}

// A modal dialog of the viewer's (its information or save box) is owned by the host's
// top-level window, since the viewer's window is a child, and the dialog's loop has disabled
// that window. A viewer that goes inside that loop leaves it disabled for good: the host's
// window is noted here, and enabled once the viewer has gone.
void NoteDisabledRoot(LeavingViewer* leaving) {
  HWND root = win::GetAncestor(leaving->window, GA_ROOT);
  leaving->thread = win::GetWindowThreadProcessId(leaving->window, nullptr);
  if (root != leaving->window && root != nullptr && !win::IsWindowEnabled(root) &&
      OwnsVisibleWindow(root, leaving->thread, true))
    leaving->disabledRoot = root;
}

// Nothing else is enabled: while a window of another thread owned by it shows (a dialog of
// the host's own), the host's window stays as that dialog keeps it. A dialog the viewer still
// shows goes with it.
void EnableDisabledRoot(const LeavingViewer& leaving) {
  HWND root = leaving.disabledRoot;
  if (root == nullptr || !win::IsWindow(root) || win::IsWindowEnabled(root) ||
      OwnsVisibleWindow(root, leaving.thread, false))
    return;
  win::EnableWindow(root, true);
}

void End(LeavingViewer* leaving, std::uint32_t now) {
  if (leaving->process.process)
    win::TerminateProcess(leaving->process.process, 0);
  else
    EndViewerProcess(leaving->window);
  leaving->phase = embed::LeavingPhase::Ended;
  leaving->since = now;
}

// Only a window's own thread destroys it, or the destruction of its parent: a viewer the
// title hook does not reach moves into a hidden window at the bottom of the container, which
// goes with the container. Made under mixed DPI hosting, as the container is, so that it can
// take a viewer of another DPI awareness.
void MoveOutOfView(HWND container, HWND viewer) {
  HWND holder = static_cast<HWND>(win::GetPropW(container, embed::kHolderProperty));
  if (!win::IsWindow(holder)) {
    int previous = 0;
    bool mixed = win::SetThreadDpiHostingMixed(&previous);
    holder = win::CreateWindowExW(0, u"Static", u"", WS_CHILD, 0, 0, 0, 0, container, nullptr, nullptr, nullptr);
    if (mixed) win::SetThreadDpiHostingBehavior(previous);
    win::SetWindowPos(holder, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    win::SetPropW(container, embed::kHolderProperty, holder);
  }
  // A window the platform will not move stays behind the viewer on view; only the close's
  // rules end it. Without a holder (the container is gone) it is left where it is: made a
  // window of its own it would show on the desktop.
  if (holder != nullptr) win::SetParent(viewer, holder);
}

// A window of another process in the container or in a window of ours there (the holder):
// a viewer the title hook did not reach, which the container's destruction takes. Its
// destruction waits on its thread: one the platform calls hung is ended first.
void EndHungChildren(HWND parent) {
  for (HWND child = win::GetWindow(parent, GW_CHILD); child != nullptr; child = win::GetWindow(child, GW_HWNDNEXT)) {
    std::uint32_t processId = 0;
    win::GetWindowThreadProcessId(child, &processId);
    if (processId == win::GetCurrentProcessId())
      EndHungChildren(child);
    else if (win::IsHungAppWindow(child))
      EndViewerProcess(child);
  }
}

// What the leaving's rule asks, read from the platform when it asks. A viewer never shown
// is gone with its process; one that was on view, with its window.
struct LeavingInputs {
  LeavingViewer* leaving;

  bool Gone() {
    if (leaving->process.process) return win::HasProcessEnded(leaving->process.process);
    return !win::IsWindow(leaving->window);
  }
  bool Hung() { return win::IsHungAppWindow(leaving->window); }
  bool Answered() { return win::GetPropW(leaving->window, hooks::kLeavingProperty) != nullptr; }
  bool WindowAnswers() {
    LResult answer = 0;
    return SendWithin(leaving->window, WM_NULL, embed::kWaitProbeMs, &answer);
  }
};

void GiveBack(LeavingViewer* leaving) {
  EnableDisabledRoot(*leaving);
  Unhook(leaving->title);
  if (leaving->process.process) {
    win::CloseHandle(leaving->process.thread);
    win::CloseHandle(leaving->process.process);
  }
  *leaving = {};
}

}  // namespace

void AskToLeave(const ShownViewer& shown, bool containerGoes, std::uint32_t now, LeavingViewer* leaving) {
  Unhook(shown.keyboard);
  Unhook(shown.mouse);
  *leaving = {};
  leaving->window = shown.window;
  leaving->title = shown.title;
  leaving->since = now;
  leaving->containerGoes = containerGoes;
  leaving->active = true;
  leaving->phase = shown.hookReaches ? embed::LeavingPhase::Asked : embed::LeavingPhase::Unreached;
  NoteDisabledRoot(leaving);
  // A sent message, taken before any job the viewer has queued; the host does not wait for
  // it. The title hook marks the window as leaving and destroys it on the viewer's thread.
  if (shown.hookReaches)
    win::SendNotifyMessageW(shown.window, win::RegisterWindowMessageW(hooks::kCloseViewMessage), 0, 0);
}

void LeaveArriving(HWND container, ArrivingViewer* arriving, std::uint32_t now, LeavingViewer* leaving) {
  // A request to embed itself that the viewer takes from now on changes nothing.
  win::RemovePropW(container, hooks::kArrivingProperty);
  Unhook(arriving->hooks.keyboard);
  Unhook(arriving->hooks.mouse);
  *leaving = {};
  leaving->window = win::IsWindow(arriving->window) ? arriving->window : nullptr;
  leaving->process = arriving->process;
  leaving->title = arriving->hooks.title;
  leaving->since = now;
  leaving->active = true;
  leaving->phase = embed::LeavingPhase::Closing;
  NoteDisabledRoot(leaving);
  *arriving = {};
  // The viewer was never shown: with its window it is asked to close as its own close
  // command does; without one it has nothing to close, and is ended.
  if (leaving->window != nullptr && !win::IsHungAppWindow(leaving->window))
    win::PostMessageW(leaving->window, WM_SYSCOMMAND, SC_CLOSE, 0);
  else
    End(leaving, now);
}

bool AdvanceLeaving(HWND container, std::uint32_t now, LeavingViewer* leaving) {
  if (!leaving->active) return true;
  LeavingInputs inputs = {leaving};
  switch (embed::DecideLeaving(leaving->phase, now - leaving->since, inputs)) {
    case embed::LeavingAction::Wait: return false;
    case embed::LeavingAction::End: End(leaving, now); return false;
    case embed::LeavingAction::MoveOutOfView:
      // The close's destruction of the container takes the window with it.
      if (!leaving->containerGoes) MoveOutOfView(container, leaving->window);
      GiveBack(leaving);
      return true;
    case embed::LeavingAction::Done: GiveBack(leaving); return true;
  }
  return true;
}

void LeaveNow(HWND container, LeavingViewer* leaving, int count) {
  for (;;) {
    bool gone = true;
    for (int i = 0; i < count; ++i) gone = AdvanceLeaving(container, win::GetTickCount(), &leaving[i]) && gone;
    if (gone) return;
    // A viewer's window that goes tells its parent, the container, on this thread.
    win::TakeSentMessages(10);
  }
}

// A Lister window in Quick View has no menu bar, and the load recorded nothing there.
void GiveBackListerEdit(HWND container) {
  std::uintptr_t record = reinterpret_cast<std::uintptr_t>(win::RemovePropW(container, embed::kListerEditProperty));
  HWND lister = win::GetParent(container);
  if (!embed::ListerHasMenuBar(ViewModeOf(win::GetParent(lister) != nullptr))) return;
  HMENU bar = win::GetMenu(lister);
  unsigned state = 0;
  std::uint32_t current = win::GetMenuState(bar, embed::kListerEditPosition, MF_BYPOSITION);
  if (!embed::EditStateToGiveBack(record, current, &state)) return;
  win::EnableMenuItem(bar, embed::kListerEditPosition, MF_BYPOSITION | state);
  win::DrawMenuBar(lister);
}

void ClosePopupMenu() {
  HWND popup = win::FindWindowExW(nullptr, nullptr, u"#32768", nullptr);
  LResult answer = 0;
  SendWithin(popup, WM_CLOSE, embed::kPopupAnswerMs, &answer);
}

bool DestroyContainer(HWND container, LeavingViewer* leaving, int count) {
  win::SendMessageW(container, WM_DESTROY, 0, 0);
  LeaveNow(container, leaving, count);
  EndHungChildren(container);
  for (const char16_t* name : {caption::kNamedViewerProperty, hooks::kKeyboardOwnerProperty, embed::kHolderProperty})
    win::RemovePropW(container, name);
  return win::DestroyWindow(container);
}
