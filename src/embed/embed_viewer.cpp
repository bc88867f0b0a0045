// Starting the viewer process and embedding its main window in a container window of ours
// inside the Lister window.
#include "embed/embed_viewer.h"

#include "caption/window_caption.h"
#include "hooks/hook_rules.h"
#include "hooks/hooks.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {

const char16_t kClassName[] = u"Pixmorant";  // the container's class, and the viewer's

// The top-level "Pixmorant" window the started process owns, looked for among all of
// that class: another viewer's window (one the user started, kept on top) may stand first
// and would otherwise hold the wait for ever. ownerId receives the owner of the window
// returned, or of the last one seen.
HWND FindViewerWindowOf(std::uint32_t processId, std::uint32_t* ownerId) {
  HWND window = nullptr;
  for (int seen = 0; seen < embed::kMaxViewerWindowsSearched; ++seen) {
    window = win::FindWindowExW(nullptr, window, kClassName, nullptr);
    if (window == nullptr) return nullptr;
    win::GetWindowThreadProcessId(window, ownerId);
    if (*ownerId == processId) return window;
  }
  return nullptr;
}

void CloseProcessHandles(const win::ProcessInfo& process) {
  win::CloseHandle(process.thread);
  win::CloseHandle(process.process);
}

}  // namespace

bool SendWithin(HWND window, std::uint32_t message, std::uint32_t milliseconds, LResult* answer) {
  return win::SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, milliseconds, answer) != 0;
}

HWND CreateContainer(HINSTANCE module, HWND lister) {
  // Fails once an earlier load of this process has registered the class; the container
  // is then made from that registration.
  win::RegisterContainerClass(kClassName, WindowProc, module);
  // Since Windows 10 1803 a window made under the thread's default DPI hosting behaviour
  // takes no child window of another DPI awareness: the viewer's SetParent would fail
  // whenever host and viewer differ (a per-monitor-aware host, a system-aware viewer). The
  // container alone is made under mixed hosting; the host's thread gets its own behaviour
  // back at once. Older Windows has no such behaviour, and then nothing changes.
  int previous = 0;
  bool mixed = win::SetThreadDpiHostingMixed(&previous);
  HWND container = win::CreateWindowExW(0, kClassName, u"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, lister,
                                        nullptr, module, nullptr);
  if (mixed) win::SetThreadDpiHostingBehavior(previous);
  return container;
}

// A tight loop on the host's thread, as the host expects of a load.
HWND WaitForViewerWindow(const win::ProcessInfo& process, embed::WaitOutcome* outcome) {
  HWND held = nullptr;
  std::uint32_t ownerId = 0;
  LResult answer = 0;
  embed::ArrowHold hold = {};
  do {
    held = FindViewerWindowOf(process.processId, &ownerId);
    *outcome = embed::DecideWaitPass(
        ownerId, process.processId, [&] { return SendWithin(held, WM_NULL, embed::kWaitProbeMs, &answer); },
        [&] { return win::HasProcessEnded(process.process); },
        [&] { return embed::ArrowHeldToAbort(win::GetAsyncKeyState, win::GetTickCount(), &hold); });
  } while (*outcome == embed::WaitOutcome::Again);
  return held;
}

std::uint32_t TrimListerMenu(HWND lister) {
  HMENU bar = win::GetMenu(lister);
  HMENU first = win::GetSubMenu(bar, 0);
  int deletions[4] = {};
  int count = embed::MenuTrimDeletions(win::GetMenuItemCount(first), deletions);
  for (int i = 0; i < count; ++i) win::DeleteMenu(first, deletions[i], MF_BYPOSITION);
  int earlier = win::EnableMenuItem(bar, embed::kListerEditPosition, MF_BYPOSITION | MF_DISABLED | MF_GRAYED);
  win::DrawMenuBar(lister);
  return static_cast<std::uint32_t>(earlier);
}

// The File items the trim deletes stay deleted: there is nothing to make them again from.
void KeepListerEditState(HWND container, std::uint32_t earlier) {
  std::uintptr_t record = embed::RecordEditState(earlier);
  if (record != 0) win::SetPropW(container, embed::kListerEditProperty, reinterpret_cast<void*>(record));
}

ViewerHooks HookViewerThread(HINSTANCE module, std::uint32_t viewerThread, HWND keyboardOwner) {
  ViewerHooks hooks = {};
  hooks.keyboard = win::SetWindowsHookExW(WH_KEYBOARD, KbdProc, module, viewerThread);
  hooks.mouse = win::SetWindowsHookExW(WH_MOUSE, MouseProc, module, viewerThread);
  hooks.title = win::SetWindowsHookExW(WH_CALLWNDPROCRET, TitleProc, module, viewerThread);
  hooks.keyboardOwner = keyboardOwner;
  return hooks;
}

// The hooks are kept on the container, so that the close removes them, and with them the
// host's window that had the keyboard when the first load began, which the keyboard hook
// gives it back to when the view closes from inside.
void KeepViewerHooks(HWND container, const ViewerHooks& hooks) {
  win::SetPropW(container, embed::kKeyboardHookProperty, hooks.keyboard);
  win::SetPropW(container, embed::kMouseHookProperty, hooks.mouse);
  win::SetPropW(container, embed::kTitleHookProperty, hooks.title);
  win::SetPropW(container, hooks::kKeyboardOwnerProperty, hooks.keyboardOwner);
}

// In Quick View the viewer is no window of its own. The system menu is fetched afresh for
// each change.
void TrimViewerSystemMenu(HWND viewer) {
  const unsigned byCommandGrayed = MF_BYCOMMAND | MF_DISABLED | MF_GRAYED;
  win::EnableMenuItem(win::GetSystemMenu(viewer, false), SC_CLOSE, byCommandGrayed);
  for (unsigned command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE, SC_SIZE, SC_MOVE})
    win::DeleteMenu(win::GetSystemMenu(viewer, false), command, byCommandGrayed);
}

// The style goes first: a window that is still visible and not yet a child when it is
// re-parented is shown again by the platform as a window of its own, which activates it and
// hands the viewer the keyboard while the host's keys are still coming. In Lister mode the
// view then takes the keyboard; in Quick View the host's window that had it (its file list)
// keeps it, so that the user's keys go on moving the host's cursor.
void ShowEmbedded(HWND lister, HWND container, HWND viewer, ViewMode mode, const char16_t* maximized) {
  const bool takesKeyboard = embed::ViewTakesKeyboard(mode);
  win::SetWindowLongPtrW(viewer, GWL_STYLE, WS_CHILD);
  win::SetParent(viewer, container);
  if (takesKeyboard) win::SetForegroundWindow(lister);
  win::SetParent(viewer, container);
  if (takesKeyboard) win::SetFocus(lister);
  win::ShowWindow(viewer, SW_SHOWMAXIMIZED);
  HWND target = embed::ChooseShowTarget(maximized, mode) == embed::ShowTarget::ViewerWindow ? viewer : lister;
  win::ShowWindow(target, SW_SHOW);
}

namespace {

// A viewer started for a load or a step: its process, whose handles are held until the
// embedding is decided, and the window the wait found.
struct StartedViewer {
  win::ProcessInfo process;
  HWND window;
  embed::WaitOutcome outcome;
};

// Starts the viewer and waits for its window: false when it did not start. Otherwise the
// outcome says whether the window came (Done), the process ended (ViewerGone) or the user
// gave up waiting (Abort).
bool StartViewer(const char16_t* viewerProgram, char16_t* commandLine, StartedViewer* started) {
  if (!win::CreateViewerProcess(viewerProgram, commandLine, &started->process)) return false;
  started->window = WaitForViewerWindow(started->process, &started->outcome);
  return true;
}

// A viewer whose wait did not end with its window: one the user gave up on is ended.
void DropStartedViewer(const StartedViewer& started) {
  if (started.outcome == embed::WaitOutcome::Abort) {
    win::DestroyWindow(started.window);
    win::TerminateProcess(started.process.process, 0);
  }
  CloseProcessHandles(started.process);
}

// Hooks the viewer's thread, trims its system menu in Quick View, re-parents and shows it:
// true when its window ended up in the container. A viewer that died while it was being
// embedded, or one the platform refused to make our child (a viewer running with higher
// rights than the host), is not: its hooks are removed and its window, left on its own,
// closed.
bool EmbedStarted(HINSTANCE module, HWND lister, HWND container, ViewMode mode, const char16_t* maximized,
                  HWND keyboardOwner, const StartedViewer& started) {
  KeepViewerHooks(container, HookViewerThread(module, started.process.threadId, keyboardOwner));
  if (mode == ViewMode::QuickView) TrimViewerSystemMenu(started.window);
  ShowEmbedded(lister, container, started.window, mode, maximized);
  if (win::GetParent(started.window) == container) return true;
  RemoveViewerHooks(container);
  CloseUnembeddedViewer(started.window, started.process.process);
  return false;
}

// The container a load returned inside this Lister window, as the host hands it back.
bool IsContainerOf(HWND container, HWND lister) {
  std::uint32_t processId = 0;
  win::GetWindowThreadProcessId(container, &processId);
  char16_t name[text16::kUnits] = {};
  win::GetClassNameW(container, name, static_cast<int>(text16::kUnits));
  return win::IsWindow(container) && win::GetParent(container) == lister && processId == win::GetCurrentProcessId() &&
         text16::Equal(name, kClassName);
}

}  // namespace

HWND EmbedViewer(HINSTANCE module, HWND lister, ViewMode mode, const char16_t* viewerProgram, char16_t* commandLine,
                 const char16_t* maximized) {
  // The keyboard of the host's thread, before the load changes anything.
  HWND keyboardOwner = win::GetFocus();
  HWND container = CreateContainer(module, lister);
  // No container (the Lister window is gone, or the host's window quota is spent): a
  // viewer started now would have no window to live in and no close to end it.
  if (container == nullptr) return nullptr;
  win::BringWindowToTop(container);

  StartedViewer started = {};
  if (!StartViewer(viewerProgram, commandLine, &started)) {
    win::DestroyWindow(container);
    return nullptr;
  }
  if (started.outcome != embed::WaitOutcome::Done) {
    // The user who gave up on the view closes the Lister window with it.
    if (started.outcome == embed::WaitOutcome::Abort) win::DestroyWindow(lister);
    win::DestroyWindow(container);
    DropStartedViewer(started);
    return nullptr;
  }

  if (embed::ListerHasMenuBar(mode)) KeepListerEditState(container, TrimListerMenu(lister));
  bool embedded = EmbedStarted(module, lister, container, mode, maximized, keyboardOwner, started);
  CloseProcessHandles(started.process);
  if (embedded) return container;
  // The Lister window lives on: it gets its Edit item back.
  GiveBackListerEdit(container);
  win::DestroyWindow(container);
  return nullptr;
}

bool EmbedNextViewer(HINSTANCE module, HWND lister, HWND container, ViewMode mode, const char16_t* viewerProgram,
                     char16_t* commandLine, const char16_t* maximized) {
  if (!IsContainerOf(container, lister)) return false;
  HWND earlier = win::GetWindow(container, GW_CHILD);  // none when the viewer closed itself
  StartedViewer started = {};
  if (!StartViewer(viewerProgram, commandLine, &started)) return false;
  if (started.outcome != embed::WaitOutcome::Done) {
    DropStartedViewer(started);
    return false;
  }

  ViewerHooks earlierHooks = TakeViewerHooks(container);
  bool embedded = EmbedStarted(module, lister, container, mode, maximized, earlierHooks.keyboardOwner, started);
  CloseProcessHandles(started.process);
  if (!embedded) {
    KeepViewerHooks(container, earlierHooks);
    return false;
  }
  // The new viewer stands above the earlier one from its re-parenting on; the earlier one
  // goes as the close takes it.
  CloseEmbeddedViewer(container, earlier, earlierHooks);
  // The caption names the new image at once, and again once the host has taken the step
  // back: a host may title its window itself after the step.
  WindowCaption(started.window, lister);
  win::PostMessageW(container, WM_NULL, 0, 0);
  return true;
}
