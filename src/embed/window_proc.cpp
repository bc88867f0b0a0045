// The container window's procedure: keeps the viewer filling the container, hands keys on
// to it, refreshes the caption, and says what it is waiting for while it has no viewer.
#include "caption/paint_header.h"
#include "caption/window_caption.h"
#include "embed/embed_rules.h"
#include "embed/embed_viewer.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {

// The viewer's thread may not be taking messages; the host's thread must not wait for it,
// so the new place is handed to that thread to apply when it pumps again.
void FitViewer(HWND container, HWND viewer) {
  win::Rect client = {};
  win::GetClientRect(container, &client);
  win::SetWindowPos(viewer, nullptr, client.left, client.top, client.right - client.left, client.bottom - client.top,
                    SWP_ASYNCWINDOWPOS);
}

// A popup menu whose thread does not answer in time has nothing grayed.
void GrayContextItems() {
  HWND popup = win::FindWindowExW(nullptr, nullptr, u"#32768", nullptr);
  LResult answer = 0;
  if (!SendWithin(popup, MN_GETHMENU, embed::kPopupAnswerMs, &answer)) return;
  HMENU menu = reinterpret_cast<HMENU>(answer);
  for (int position : embed::kGrayedContextPositions)
    win::EnableMenuItem(menu, win::GetMenuItemID(menu, position), MF_GRAYED);
}

// While the container has no viewer to show (its viewer is on its way, or did not come), it
// says so: its own text is the note.
void PaintOwnNote(HWND container, HWND viewer) {
  char16_t note[text16::kUnits] = {};
  if (viewer != nullptr || win::GetWindowTextW(container, note, static_cast<int>(text16::kUnits)) == 0) return;
  PaintNote(container, note);
}

}  // namespace

LResult WindowProc(HWND window, std::uint32_t message, WParam wParam, LParam lParam) {
  HWND viewer = win::GetWindow(window, GW_CHILD);
  HWND lister = win::GetParent(window);
  const embed::ContainerAction action = embed::ChooseContainerAction(message);
  switch (action) {
    case embed::ContainerAction::FitViewer: FitViewer(window, viewer); break;
    case embed::ContainerAction::GrayContextItems: GrayContextItems(); break;
    case embed::ContainerAction::ForwardKey: win::PostMessageW(viewer, WM_KEYDOWN, wParam, 0); break;
    case embed::ContainerAction::RefreshCaption: WindowCaption(viewer, lister); break;
    case embed::ContainerAction::PaintNote:
    case embed::ContainerAction::Nothing: break;
  }
  if (embed::CaptionInTail(win::GetKeyState(VK_LBUTTON))) WindowCaption(viewer, lister);
  LResult result = win::DefWindowProcW(window, message, wParam, lParam);
  if (action == embed::ContainerAction::PaintNote) PaintOwnNote(window, viewer);
  return result;
}
