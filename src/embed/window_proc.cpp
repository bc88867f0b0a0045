// The container window's procedure: keeps the viewer filling the container, hands keys on
// to it, and refreshes the caption.
#include "caption/window_caption.h"
#include "embed/embed_rules.h"
#include "embed/embed_viewer.h"
#include "platform/input.h"
#include "platform/window.h"

namespace {

// A container is created while the user may still hold the arrow key that brought the
// image up; the load's wait would take that key for an abort. A key that stays down
// whatever is injected (held for real, or input that does not reach the queue) must not
// keep the host's thread here, so the releases per key are bounded.
void ReleaseArrowKeys() {
  for (int key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT})
    for (int tries = 0; tries < embed::kMaxArrowReleases && win::GetAsyncKeyState(key) != 0; ++tries)
      win::keybd_event(static_cast<std::uint8_t>(key), 0, KEYEVENTF_KEYUP, 0);
}

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

}  // namespace

LResult WindowProc(HWND window, std::uint32_t message, WParam wParam, LParam lParam) {
  HWND viewer = win::GetWindow(window, GW_CHILD);
  HWND lister = win::GetParent(window);
  switch (embed::ChooseContainerAction(message)) {
    case embed::ContainerAction::ReleaseArrowKeys: ReleaseArrowKeys(); break;
    case embed::ContainerAction::FitViewer: FitViewer(window, viewer); break;
    case embed::ContainerAction::GrayContextItems: GrayContextItems(); break;
    case embed::ContainerAction::ForwardKey: win::PostMessageW(viewer, WM_KEYDOWN, wParam, 0); break;
    case embed::ContainerAction::RefreshCaption: WindowCaption(viewer, lister); break;
    case embed::ContainerAction::Nothing: break;
  }
  if (embed::CaptionInTail(win::GetKeyState(VK_LBUTTON))) WindowCaption(viewer, lister);
  return win::DefWindowProcW(window, message, wParam, lParam);
}
