// The embedding's part of the close: the hooks the load installed, the Lister window's
// Edit item it grayed, an open popup menu, and a viewer that no longer answers.
#include "embed/embed_viewer.h"
#include "hooks/hook_rules.h"
#include "platform/input.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

// Ends the process that owns the viewer window, found by the window's owner id; never the
// host's own process.
void EndViewerProcess(HWND viewer) {
  std::uint32_t processId = 0;
  win::GetWindowThreadProcessId(viewer, &processId);
  if (processId == 0 || processId == win::GetCurrentProcessId()) return;
  HANDLE process = win::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, false, processId);
  if (process == nullptr) return;
  win::TerminateProcess(process, 0);
  // Its windows go with its thread: once it has ended, the destruction finds none to wait on.
  win::WaitForSingleObject(process, embed::kViewerEndMs);
  win::CloseHandle(process);
}

// Asks the viewer to close its window, which the title hook then destroys on the viewer's
// thread: false when the thread did not answer within the platform's 5 s, or the platform
// already calls it hung. Not blocking the sent messages: the window's destruction tells
// the container, on this thread, while the answer is awaited.
bool AskViewerToClose(HWND viewer) {
  LResult answer = 0;
  std::uint32_t request = win::RegisterWindowMessageW(hooks::kCloseViewMessage);
  return win::SendMessageTimeoutW(viewer, request, 0, 0, SMTO_ABORTIFHUNG, embed::kCloseProbeMs, &answer) != 0;
}

// Until the window is gone or the time is up, taking the messages sent to this thread.
void WaitWindowGone(HWND window, std::uint32_t milliseconds) {
  std::uint32_t start = win::GetTickCount();
  while (win::IsWindow(window) && win::GetTickCount() - start < milliseconds) win::TakeSentMessages(10);
}

// The viewer window goes, its hooks with it: the keyboard and mouse hooks first, the title
// hook once it has done its part. A viewer that answers destroys its window itself, before
// it takes another job; one that does not answer within the 5 s, or that the platform calls
// hung, is ended. Without the title hook in the viewer (a viewer the hook does not reach)
// the window is still there afterwards.
void CloseViewer(HWND viewer, const ViewerHooks& hooks) {
  for (HHOOK hook : {hooks.keyboard, hooks.mouse})
    if (hook) win::UnhookWindowsHookEx(hook);
  if (viewer != nullptr) {
    if (AskViewerToClose(viewer))
      WaitWindowGone(viewer, embed::kViewerEndMs);
    else
      EndViewerProcess(viewer);
  }
  if (hooks.title) win::UnhookWindowsHookEx(hooks.title);
}

}  // namespace

ViewerHooks TakeViewerHooks(HWND container) {
  ViewerHooks hooks = {};
  hooks.keyboard = static_cast<HHOOK>(win::RemovePropW(container, embed::kKeyboardHookProperty));
  hooks.mouse = static_cast<HHOOK>(win::RemovePropW(container, embed::kMouseHookProperty));
  hooks.title = static_cast<HHOOK>(win::RemovePropW(container, embed::kTitleHookProperty));
  hooks.keyboardOwner = static_cast<HWND>(win::RemovePropW(container, hooks::kKeyboardOwnerProperty));
  return hooks;
}

void RemoveViewerHooks(HWND container) {
  ViewerHooks hooks = TakeViewerHooks(container);
  for (HHOOK hook : {hooks.keyboard, hooks.mouse, hooks.title})
    if (hook) win::UnhookWindowsHookEx(hook);
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

bool DestroyContainer(HWND container, const ViewerHooks& hooks) {
  win::SendMessageW(container, WM_DESTROY, 0, 0);
  CloseViewer(win::GetWindow(container, GW_CHILD), hooks);
  return win::DestroyWindow(container);
}

void CloseEmbeddedViewer(HWND container, HWND viewer, const ViewerHooks& hooks) {
  CloseViewer(viewer, hooks);
  if (!win::IsWindow(viewer)) return;
  // Only a window's own thread destroys it, or the destruction of its parent: a window the
  // title hook did not destroy moves into a hidden window of ours, which is destroyed with
  // it, as the close destroys the container.
  HWND holder = win::CreateWindowExW(0, u"Static", u"", WS_CHILD, 0, 0, 0, 0, container, nullptr, nullptr, nullptr);
  win::SetParent(viewer, holder);
  win::DestroyWindow(holder);
}

void CloseUnembeddedViewer(HWND viewer, HANDLE process) {
  if (win::IsWindow(viewer) && !win::IsHungAppWindow(viewer)) {
    win::PostMessageW(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
    // The viewer was never shown: one that has not ended a while after the request (it
    // ignores it, or its window went while its process lives) is ended.
    if (win::WaitForSingleObject(process, embed::kUnembeddedCloseMs) == WAIT_OBJECT_0) return;
  }
  win::TerminateProcess(process, 0);
  win::WaitForSingleObject(process, embed::kViewerEndMs);
}
