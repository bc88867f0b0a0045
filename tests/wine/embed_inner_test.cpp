// The embedding's procedures called directly, on windows and menus of this process: under
// Wine a menu belongs to its process, so the trim of the viewer's system menu and the
// graying of a popup menu can only be watched on the test's own windows.
#include <gtest/gtest.h>

#include "embed/embed_viewer.h"
#include "harness.h"

namespace {

using namespace pxt;

struct ChildRecord {
  int keyDowns = 0;
  WPARAM lastKey = 0;
  LPARAM lastKeyLParam = -1;
} g_child;

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN) {
    ++g_child.keyDowns;
    g_child.lastKey = wParam;
    g_child.lastKeyLParam = lParam;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A container made from the container procedure itself, with a child standing for the viewer.
struct Container {
  HWND lister, window, child;
  Container() {
    RegisterTestClass(L"PxInnerContainer", reinterpret_cast<WNDPROC>(WindowProc));
    RegisterTestClass(L"PxInnerChild", ChildProc);
    lister = CreateWindowW(L"STATIC", L"Lister", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 400, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    window = CreateWindowW(L"PxInnerContainer", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, lister, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    child = CreateWindowW(L"PxInnerChild", L"x - Pixmorant", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
    g_child = ChildRecord();
  }
  ~Container() { DestroyWindow(lister); }
};

TEST(EmbedInner, QuickViewSystemMenuLosesWindowCommandsAndGraysClose) {
  HWND viewer = CreateWindowW(L"STATIC", L"viewer", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, GetSystemMenu(viewer, FALSE));
  TrimViewerSystemMenu(viewer);
  HMENU menu = GetSystemMenu(viewer, FALSE);
  for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE, SC_SIZE, SC_MOVE})
    EXPECT_EQ((UINT)-1, GetMenuState(menu, command, MF_BYCOMMAND)) << std::hex << command;
  UINT close = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
  ASSERT_NE((UINT)-1, close);
  EXPECT_TRUE(close & MF_GRAYED);
  DestroyWindow(viewer);
}

LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(EmbedInner, AViewerLeavingGivesBackTheHooksTheContainerHolds) {
  Container c;
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD, CountingHook, nullptr, GetCurrentThreadId());
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE, CountingHook, nullptr, GetCurrentThreadId());
  HHOOK title = SetWindowsHookExW(WH_CALLWNDPROCRET, CountingHook, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(keyboard && mouse && title);
  KeepShownViewer(c.window, {nullptr, keyboard, mouse, title, true});
  LeavingViewer leaving = {};
  AskToLeave(TakeShownViewer(c.window), true, GetTickCount(), &leaving);
  LeaveNow(c.window, &leaving, 1);
  for (HHOOK hook : {keyboard, mouse, title}) EXPECT_FALSE(UnhookWindowsHookEx(hook));  // already gone
  EXPECT_EQ(nullptr, GetPropW(c.window, L"Pixmorant.KeyboardHook"));
  EXPECT_EQ(nullptr, TakeShownViewer(c.window).keyboard);  // nothing held any more
}

TEST(EmbedInner, SizeFitsTheChildAndKeyDownGoesOnWithoutItsFlags) {
  Container c;
  MoveWindow(c.window, 0, 0, 640, 480, TRUE);
  RECT r = {};
  GetWindowRect(c.child, &r);
  EXPECT_EQ(640, r.right - r.left);
  EXPECT_EQ(480, r.bottom - r.top);

  LRESULT result = SendMessageW(c.window, WM_KEYDOWN, VK_NEXT, 0x01510001);
  EXPECT_EQ(DefWindowProcW(c.window, WM_KEYDOWN, VK_NEXT, 0x01510001), result);
  Pump(50);
  EXPECT_EQ(1, g_child.keyDowns);
  EXPECT_EQ((WPARAM)VK_NEXT, g_child.lastKey);
  EXPECT_EQ(0, g_child.lastKeyLParam);
}

TEST(EmbedInner, EveryMessageAnswersWhatDefaultHandlingAnswers) {
  Container c;
  MoveWindow(c.window, 0, 0, 100, 100, TRUE);
  POINT inside = {50, 50};
  ClientToScreen(c.window, &inside);
  LPARAM at = MAKELPARAM(inside.x, inside.y);
  EXPECT_EQ(DefWindowProcW(c.window, WM_NCHITTEST, 0, at), SendMessageW(c.window, WM_NCHITTEST, 0, at));
  EXPECT_EQ(DefWindowProcW(c.window, WM_GETTEXTLENGTH, 0, 0), SendMessageW(c.window, WM_GETTEXTLENGTH, 0, 0));
  EXPECT_EQ(DefWindowProcW(c.window, WM_SIZE, 0, 0), SendMessageW(c.window, WM_SIZE, 0, 0));
}

// The popup menu is modal: while it shows, a timer asks the container for its context
// menu, then reads the item states and ends the menu.
struct PopupProbe {
  HWND container;
  HMENU menu;
  UINT states[32];
} g_probe;

void CALLBACK AskContextMenu(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  SendMessageW(g_probe.container, WM_CONTEXTMENU, (WPARAM)g_probe.container, MAKELPARAM(-1, -1));
  for (int i = 0; i < 32; ++i) g_probe.states[i] = GetMenuState(g_probe.menu, i, MF_BYPOSITION);
  EndMenu();
}

TEST(EmbedInner, ContextMenuGraysPositionsTwentyFiveToTwentyEightOfTheMenuShowing) {
  Container c;
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < 32; ++i) {
    wchar_t text[16];
    swprintf(text, 16, L"Item %d", i);
    AppendMenuW(menu, MF_STRING, 1000 + i, text);
  }
  g_probe = {c.window, menu, {}};
  SetForegroundWindow(c.lister);
  SetTimer(c.lister, 1, 300, AskContextMenu);
  TrackPopupMenu(menu, TPM_RETURNCMD, 50, 50, 0, c.lister, nullptr);
  for (int i = 0; i < 32; ++i) {
    bool grayed = (g_probe.states[i] & MF_GRAYED) != 0;
    EXPECT_EQ(i >= 25 && i <= 28, grayed) << "position " << i;
  }
  DestroyMenu(menu);
}

}  // namespace
