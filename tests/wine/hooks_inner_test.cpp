// The keyboard hook installed on this test's own thread, over windows of its own that stand
// for the viewer, the container and the Lister window: here the test can arrange what an
// embedded viewer cannot be made to do, a Lister window that refuses the focus.
#include <gtest/gtest.h>

#include "harness.h"
#include "hooks/hooks.h"

namespace {

using namespace pxt;

int g_digitsAtViewer = 0;
HHOOK g_hook = nullptr;

LRESULT CALLBACK StandInViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // An echo that does not stop is cut off here, so that the test fails instead of hanging.
  if (message == WM_KEYDOWN && wParam == '3' && ++g_digitsAtViewer == 20 && g_hook) {
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A digit is handed to the Lister window as a synthetic press. When the Lister window
// cannot take the focus, that press would land in the viewer again, pass the hook again
// and be forwarded again, without end; the hook sends it only once the focus has moved.
TEST(KeyboardHookInner, ADigitIsNotForwardedWhileTheViewerKeepsTheFocus) {
  RegisterTestClass(L"Pixmorant", StandInViewerProc);
  HWND lister = CreateWindowExW(0, L"STATIC", L"Lister", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND container = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, lister, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
  HWND viewer = CreateWindowExW(0, L"Pixmorant", L"x.bmp - Pixmorant", WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, container,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, viewer);
  SetForegroundWindow(lister);
  SetFocus(viewer);
  Pump(100);
  ASSERT_EQ(viewer, GetFocus());
  // Disabled by its style alone, so the focus stays where it is and SetFocus(lister) fails.
  SetWindowLongPtrW(lister, GWL_STYLE, GetWindowLongPtrW(lister, GWL_STYLE) | WS_DISABLED);

  g_hook = SetWindowsHookExW(WH_KEYBOARD, reinterpret_cast<HOOKPROC>(KbdProc), nullptr, GetCurrentThreadId());
  ASSERT_NE(nullptr, g_hook);
  g_digitsAtViewer = 0;
  SendKey('3', false);
  Pump(500);
  SendKey('3', true);
  Pump(100);
  if (g_hook) UnhookWindowsHookEx(g_hook);
  g_hook = nullptr;
  EXPECT_EQ(viewer, GetFocus());
  EXPECT_EQ(1, g_digitsAtViewer);  // the press typed, and no echo of it
  DestroyWindow(lister);
  Pump(50);
}

}  // namespace
