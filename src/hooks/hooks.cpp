// The keyboard, mouse and title hooks. The load installs them on the viewer's user-interface
// thread, so they run inside the viewer's process with that process's own module state.
// They keep nothing between calls and hold no hook handle: the next hook is called with a
// null one.
#include "hooks/hooks.h"

#include "caption/window_caption.h"
#include "hooks/hook_rules.h"
#include "shared/module_text.h"
#include "platform/input.h"
#include "platform/system.h"
#include "platform/window.h"

namespace {

// The name is read into the zero-filled module buffer: a failed read (no window) leaves it
// empty, never holding the name of an earlier read or an earlier caption.
const char16_t* ClassOf(HWND window) {
  text16::Zero(g_text, text16::kUnits);
  win::GetClassNameW(window, g_text, static_cast<int>(text16::kUnits));
  return g_text;
}

// The keyboard hook's inputs, read from the platform when the rule asks for them.
struct ViewerInputs {
  HWND focus;
  HWND lister;

  std::int16_t KeyState(int key) { return win::GetKeyState(key); }
  const char16_t* FocusClass() { return ClassOf(focus); }
  // With no active window the name is empty, which is neither the dialog's nor the
  // full-screen window's: Escape then closes the view.
  const char16_t* ActiveClass() { return ClassOf(win::GetActiveWindow()); }
  bool ListerHasParent() { return win::GetParent(lister) != nullptr; }
  bool ListerAboveFocus() { return win::IsWindow(lister); }
};

void FocusLister(HWND lister) {
  win::SetForegroundWindow(lister);
  win::SetFocus(lister);
}

// The digit goes to the Lister window as a synthetic press. When the focus could not be
// moved off the viewer, that press would come straight back through this hook and be
// forwarded again without end, so it is sent only once the viewer has lost the focus.
void ForwardDigit(HWND focus, HWND lister, WParam key) {
  FocusLister(lister);
  if (win::GetFocus() == focus) return;
  win::keybd_event(static_cast<std::uint8_t>(key & 0xFF), 0, 0, 0);
}

// The viewer is about to close itself: the keyboard goes back to the host before its window
// goes, rather than to the Lister window, which the host may hand on to a window that
// passes keys to a viewer no longer there.
void GiveKeyboardToHost(HWND focus, HWND lister) {
  HWND owner = static_cast<HWND>(win::GetPropW(win::GetParent(focus), hooks::kKeyboardOwnerProperty));
  HWND root = win::GetAncestor(lister, GA_ROOT);
  win::SetForegroundWindow(root);
  win::SetFocus(hooks::KeyboardBackTo(owner, win::GetAncestor(owner, GA_ROOT), root));
}

bool IsViewerWindow(HWND window) { return text16::Equal(ClassOf(window), hooks::kViewerClass); }

// The registered number is looked up only for a message in the registered range, so that
// the messages the viewer handles all the time cost no lookup.
bool IsRequest(std::uint32_t message, const char16_t* name) {
  return message >= hooks::kFirstRegisteredMessage && message == win::RegisterWindowMessageW(name);
}

// The host's requests are carried out only on the viewer window's own thread: for a viewer
// the library cannot be mapped into (a 32-bit one), the platform runs the hook on the host's
// thread instead, and the host then does the work itself.
bool IsOwnViewerWindow(HWND window) {
  return win::GetWindowThreadProcessId(window, nullptr) == win::GetCurrentThreadId() && IsViewerWindow(window);
}

void EmbedItself(HWND viewer, HWND container, LParam flags) {
  if (win::GetPropW(container, hooks::kArrivingProperty) == viewer)
    PutIntoContainer(viewer, container, (flags & hooks::kEmbedShowsViewer) != 0);
  win::SetPropW(viewer, hooks::kEmbedAnsweredProperty, viewer);
}

// Marked first, so that the host waits for the teardown and not for an answer.
void CloseItself(HWND viewer) {
  win::SetPropW(viewer, hooks::kLeavingProperty, viewer);
  win::DestroyWindow(viewer);
}

}  // namespace

// The style goes first: a window that is still visible and not yet a child when it is
// re-parented is shown again by the platform as a window of its own, which activates it and
// hands the viewer the keyboard while the host's keys are still coming. A window the platform
// will not make the container's child is left hidden, never shown maximized on its own.
bool PutIntoContainer(HWND viewer, HWND container, bool showsViewer) {
  win::SetWindowLongPtrW(viewer, GWL_STYLE, WS_CHILD);
  win::SetParent(viewer, container);
  if (win::GetParent(viewer) != container) return false;
  win::ShowWindow(viewer, SW_SHOWMAXIMIZED);
  if (showsViewer) win::ShowWindow(viewer, SW_SHOW);
  return true;
}

LResult KbdProc(int code, WParam wParam, LParam lParam) {
  HWND focus = win::GetFocus();
  HWND lister = win::GetParent(win::GetParent(focus));
  ViewerInputs inputs = {focus, lister};
  switch (hooks::KbdAction(code, wParam, inputs)) {
    case hooks::KeyAction::PassOn: break;
    case hooks::KeyAction::CaptionAndRelease:
      WindowCaption(focus, lister);
      win::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
      break;
    case hooks::KeyAction::FocusLister: FocusLister(lister); break;
    case hooks::KeyAction::ForwardDigit: ForwardDigit(focus, lister, wParam); break;
    case hooks::KeyAction::Swallow: return 1;
    case hooks::KeyAction::CloseQuickView:
      GiveKeyboardToHost(focus, lister);
      win::SendMessageW(focus, WM_SYSCOMMAND, SC_CLOSE, 0);
      win::PostMessageW(win::GetParent(lister), HOST_COMMAND, HOST_CMD_CLOSE_QUICK_VIEW, 0);
      break;
    case hooks::KeyAction::CloseLister: win::PostMessageW(lister, WM_SYSCOMMAND, SC_CLOSE, 0); break;
  }
  return win::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The target is a child of the viewer window (its image area), so the viewer is one level
// up and the Lister window three. The hook record is read only for a message acted on: for
// other hook codes the platform makes no promise about lParam.
LResult MouseProc(int code, WParam wParam, LParam lParam) {
  switch (hooks::ChooseMouseAction(code, wParam)) {
    case hooks::MouseAction::Nothing: break;
    case hooks::MouseAction::Caption: {
      HWND viewer = win::GetParent(win::MouseHookTarget(lParam));
      WindowCaption(viewer, win::GetParent(win::GetParent(viewer)));
      break;
    }
    case hooks::MouseAction::ReleaseLeft: win::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0); break;
  }
  return win::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Called after each message a window procedure of the viewer's thread has handled. Once
// the viewer window has taken a new title, however the viewer came to show another image
// (a key the host passed on, a menu command, a step it names later than the key), the
// caption is refreshed from that title, here on the viewer's thread. So the caption that
// stays is the viewer's last title: a write of the host's side reads the title and writes
// in one go on the host's thread, where this one waits its turn, so every write after it
// carries a title at least as new. The full-screen window and the controls of the viewer's
// dialogs take titles too; only the viewer window's counts.
// The host's two requests to the viewer window are carried out here too, on the viewer's own
// thread: the close's, so that the close waits for no job the viewer had queued, and the
// embedding's, so that the host's thread never waits on the viewer's to re-parent its window.
LResult TitleProc(int code, WParam wParam, LParam lParam) {
  if (code == HC_ACTION) {
    const win::HandledMessage handled = win::HandledMessageOf(lParam);
    if (handled.message == WM_SETTEXT && IsViewerWindow(handled.window))
      WindowCaption(handled.window, win::GetParent(win::GetParent(handled.window)));
    else if (IsRequest(handled.message, hooks::kCloseViewMessage) && IsOwnViewerWindow(handled.window))
      CloseItself(handled.window);
    else if (IsRequest(handled.message, hooks::kEmbedViewMessage) && IsOwnViewerWindow(handled.window))
      EmbedItself(handled.window, reinterpret_cast<HWND>(handled.wParam), handled.lParam);
  }
  return win::CallNextHookEx(nullptr, code, wParam, lParam);
}
