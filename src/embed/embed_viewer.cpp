// Starting the viewer process and embedding its main window in a container window of ours
// inside the Lister window, a short step at a time.
#include "embed/embed_viewer.h"

#include "caption/caption_rules.h"
#include "caption/window_caption.h"
#include "hooks/hook_rules.h"
#include "hooks/hooks.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {

const char16_t kContainerClass[] = u"Pixmorant";  // the same name as the viewer's class

// The top-level "Pixmorant" window the started process owns, looked for among all of
// that class: another viewer's window (one the user started, kept on top) may stand first
// and would otherwise hold the wait for ever.
HWND FindViewerWindowOf(std::uint32_t processId) {
  HWND window = nullptr;
  for (int seen = 0; seen < embed::kMaxViewerWindowsSearched; ++seen) {
    window = win::FindWindowExW(nullptr, window, hooks::kViewerClass, nullptr);
    if (window == nullptr) return nullptr;
    std::uint32_t ownerId = 0;
    win::GetWindowThreadProcessId(window, &ownerId);
    if (ownerId == processId) return window;
  }
  return nullptr;
}

void CloseProcessHandles(const win::ProcessInfo& process) {
  win::CloseHandle(process.thread);
  win::CloseHandle(process.process);
}

ShownViewer HookViewerThread(const HookProcedures& procedures, std::uint32_t viewerThread, bool hookReaches) {
  ShownViewer hooks = {};
  hooks.keyboard = win::SetWindowsHookExW(WH_KEYBOARD, procedures.keyboard, procedures.module, viewerThread);
  hooks.mouse = win::SetWindowsHookExW(WH_MOUSE, procedures.mouse, procedures.module, viewerThread);
  hooks.title = win::SetWindowsHookExW(WH_CALLWNDPROCRET, procedures.title, procedures.module, viewerThread);
  hooks.hookReaches = hookReaches && hooks.title != nullptr;
  return hooks;
}

// The host's request to the viewer's thread, which makes the window our child there.
void AskToEmbed(HWND container, const ArrivingViewer& arriving) {
  win::SetPropW(container, hooks::kArrivingProperty, arriving.window);
  LParam flags = arriving.target == embed::ShowTarget::ViewerWindow ? hooks::kEmbedShowsViewer : 0;
  win::SendNotifyMessageW(arriving.window, win::RegisterWindowMessageW(hooks::kEmbedViewMessage),
                          reinterpret_cast<WParam>(container), flags);
}

// What the arrival's rule asks, read from the platform when it asks.
struct ArrivalInputs {
  HWND container;
  ArrivingViewer* arriving;

  bool WindowFound() { return (arriving->window = FindViewerWindowOf(arriving->process.processId)) != nullptr; }
  bool HookReaches() { return arriving->hooks.hookReaches; }
  bool WindowAnswers() {
    LResult answer = 0;
    return SendWithin(arriving->window, WM_NULL, embed::kWaitProbeMs, &answer);
  }
  bool Embedded() { return win::GetParent(arriving->window) == container; }
  bool Answered() { return win::GetPropW(arriving->window, hooks::kEmbedAnsweredProperty) != nullptr; }
  bool ProcessEnded() { return win::HasProcessEnded(arriving->process.process); }
};

}  // namespace

bool SendWithin(HWND window, std::uint32_t message, std::uint32_t milliseconds, LResult* answer) {
  return win::SendMessageTimeoutW(window, message, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, milliseconds, answer) != 0;
}

HWND CreateContainer(HINSTANCE module, HWND lister, HWND keyboardOwner) {
  // Fails once an earlier load of this process has registered the class; the container
  // is then made from that registration.
  win::RegisterContainerClass(kContainerClass, WindowProc, module);
  // Since Windows 10 1803 a window made under the thread's default DPI hosting behaviour
  // takes no child window of another DPI awareness: the viewer's SetParent would fail
  // whenever host and viewer differ (a per-monitor-aware host, a system-aware viewer). The
  // container alone is made under mixed hosting; the host's thread gets its own behaviour
  // back at once. Older Windows has no such behaviour, and then nothing changes.
  int previous = 0;
  bool mixed = win::SetThreadDpiHostingMixed(&previous);
  HWND container = win::CreateWindowExW(0, kContainerClass, u"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                        lister, nullptr, module, nullptr);
  if (mixed) win::SetThreadDpiHostingBehavior(previous);
  if (container != nullptr) win::SetPropW(container, hooks::kKeyboardOwnerProperty, keyboardOwner);
  return container;
}

bool IsContainerOf(HWND container, HWND lister) {
  std::uint32_t processId = 0;
  win::GetWindowThreadProcessId(container, &processId);
  char16_t name[text16::kUnits] = {};
  win::GetClassNameW(container, name, static_cast<int>(text16::kUnits));
  return win::IsWindow(container) && win::GetParent(container) == lister && processId == win::GetCurrentProcessId() &&
         text16::Equal(name, kContainerClass);
}

// The hooks and the viewer are kept on the container, so that the close removes the hooks
// and closes that viewer, and a step closes it once the next one is shown.
void KeepShownViewer(HWND container, const ShownViewer& shown) {
  win::SetPropW(container, embed::kViewerProperty, shown.window);
  win::SetPropW(container, embed::kKeyboardHookProperty, shown.keyboard);
  win::SetPropW(container, embed::kMouseHookProperty, shown.mouse);
  win::SetPropW(container, embed::kTitleHookProperty, shown.title);
  if (shown.hookReaches) win::SetPropW(container, embed::kHookReachesProperty, shown.window);
}

ShownViewer TakeShownViewer(HWND container) {
  ShownViewer shown = {};
  shown.window = static_cast<HWND>(win::RemovePropW(container, embed::kViewerProperty));
  shown.keyboard = static_cast<HHOOK>(win::RemovePropW(container, embed::kKeyboardHookProperty));
  shown.mouse = static_cast<HHOOK>(win::RemovePropW(container, embed::kMouseHookProperty));
  shown.title = static_cast<HHOOK>(win::RemovePropW(container, embed::kTitleHookProperty));
  shown.hookReaches = win::RemovePropW(container, embed::kHookReachesProperty) != nullptr;
  return shown;
}

HWND ShownViewerOf(HWND container) { return static_cast<HWND>(win::GetPropW(container, embed::kViewerProperty)); }

bool StartArriving(const char16_t* viewerProgram, char16_t* commandLine, bool hookReaches, embed::ShowTarget target,
                   ArrivingViewer* arriving) {
  *arriving = {};
  arriving->phase = embed::ArrivalPhase::Started;
  arriving->target = target;
  arriving->hooks.hookReaches = hookReaches;
  return win::CreateViewerProcess(viewerProgram, commandLine, &arriving->process);
}

Arrival AdvanceArriving(const HookProcedures& procedures, HWND container, ViewMode mode, ArrivingViewer* arriving) {
  ArrivalInputs inputs = {container, arriving};
  const embed::ArrivalAction action = embed::DecideArrival(arriving->phase, inputs);
  if ((action == embed::ArrivalAction::AskToEmbed || action == embed::ArrivalAction::EmbedFromHost) &&
      !arriving->hooked) {
    arriving->hooks = HookViewerThread(procedures, arriving->process.threadId, arriving->hooks.hookReaches);
    arriving->hooked = true;
    if (mode == ViewMode::QuickView) TrimViewerSystemMenu(arriving->window);
  }
  switch (action) {
    case embed::ArrivalAction::Wait: return Arrival::OnItsWay;
    case embed::ArrivalAction::AskToEmbed:
      // A title hook refused after all: the host embeds the window itself, once it answers.
      if (!arriving->hooks.hookReaches) return Arrival::OnItsWay;
      AskToEmbed(container, *arriving);
      arriving->phase = embed::ArrivalPhase::Asked;
      return Arrival::OnItsWay;
    case embed::ArrivalAction::EmbedFromHost:
      // The viewer's part of the show, made from the host's thread right after its window
      // has answered.
      return PutIntoContainer(arriving->window, container, arriving->target == embed::ShowTarget::ViewerWindow)
                 ? Arrival::Embedded
                 : Arrival::Failed;
    case embed::ArrivalAction::Shown: return Arrival::Embedded;
    case embed::ArrivalAction::Failed: return Arrival::Failed;
  }
  return Arrival::Failed;
}

ShownViewer ShowArrived(HWND lister, HWND container, bool takesKeyboard, ArrivingViewer* arriving) {
  win::RemovePropW(container, hooks::kArrivingProperty);
  if (takesKeyboard) {
    win::SetForegroundWindow(lister);
    win::SetFocus(lister);
  }
  if (arriving->target == embed::ShowTarget::ListerWindow) win::ShowWindow(lister, SW_SHOW);
  ShowNote(container, embed::Note::None, u"");
  CloseProcessHandles(arriving->process);
  ShownViewer shown = arriving->hooks;
  shown.window = arriving->window;
  *arriving = {};
  // The caption names the new image at once, and again once the host has taken its part:
  // a host may title its window itself after a step.
  win::SetPropW(container, caption::kNamedViewerProperty, shown.window);
  WindowCaption(shown.window, lister);
  win::PostMessageW(container, WM_NULL, 0, 0);
  return shown;
}

void ShowNote(HWND container, embed::Note note, const char16_t* name) {
  char16_t text[text16::kUnits];
  embed::ComposeNote(note, name, text);
  win::SetWindowTextW(container, text);
  win::InvalidateRect(container);
}

void HoldCaption(HWND container) { win::SetPropW(container, caption::kNamedViewerProperty, caption::NoViewerNamed()); }

bool ListerHasKeyboard(HWND lister) {
  HWND focus = win::GetFocus();
  return focus != nullptr && (focus == lister || win::IsChild(lister, focus));
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

// In Quick View the viewer is no window of its own. The system menu is fetched afresh for
// each change.
void TrimViewerSystemMenu(HWND viewer) {
  const unsigned byCommandGrayed = MF_BYCOMMAND | MF_DISABLED | MF_GRAYED;
  win::EnableMenuItem(win::GetSystemMenu(viewer, false), SC_CLOSE, byCommandGrayed);
  for (unsigned command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE, SC_SIZE, SC_MOVE})
    win::DeleteMenu(win::GetSystemMenu(viewer, false), command, byCommandGrayed);
}
