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

}  // namespace

void RemoveViewerHooks(HWND container) {
  for (const char16_t* property :
       {embed::kKeyboardHookProperty, embed::kMouseHookProperty, embed::kTitleHookProperty}) {
    HHOOK hook = static_cast<HHOOK>(win::RemovePropW(container, property));
    if (hook) win::UnhookWindowsHookEx(hook);
  }
  win::RemovePropW(container, hooks::kKeyboardOwnerProperty);
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

bool DestroyContainer(HWND container) {
  win::SendMessageW(container, WM_DESTROY, 0, 0);
  EndViewerIfHung(container);
  return win::DestroyWindow(container);
}

void EndViewerIfHung(HWND container) {
  HWND viewer = win::GetWindow(container, GW_CHILD);
  if (viewer == nullptr) return;
  LResult answer = 0;
  if (SendWithin(viewer, WM_NULL, embed::kCloseProbeMs, &answer)) return;
  EndViewerProcess(viewer);
}

void CloseUnembeddedViewer(HWND viewer) {
  if (!win::IsWindow(viewer)) return;
  if (win::IsHungAppWindow(viewer)) {
    EndViewerProcess(viewer);
    return;
  }
  win::PostMessageW(viewer, WM_SYSCOMMAND, SC_CLOSE, 0);
}
