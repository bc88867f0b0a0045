// The user32 calls behind platform/window.h. The only translation is char16_t <-> wchar_t
// (both UTF-16 on Windows) and the handle types, which are the same declarations.
#include <windows.h>

#include "platform/window.h"
#include "platform/wide_text.h"

namespace win {

HWND GetParent(HWND window) { return ::GetParent(window); }
HWND GetWindow(HWND window, unsigned relation) { return ::GetWindow(window, relation); }
HWND GetAncestor(HWND window, unsigned flags) { return ::GetAncestor(window, flags); }
HWND FindWindowW(const char16_t* className, const char16_t* title) { return ::FindWindowW(W(className), W(title)); }
HWND FindWindowExW(HWND parent, HWND childAfter, const char16_t* className, const char16_t* title) {
  return ::FindWindowExW(parent, childAfter, W(className), W(title));
}
std::uint32_t GetWindowThreadProcessId(HWND window, std::uint32_t* processId) {
  DWORD id = processId ? *processId : 0;
  DWORD thread = ::GetWindowThreadProcessId(window, &id);
  if (processId) *processId = id;
  return thread;
}
bool IsWindow(HWND window) { return ::IsWindow(window) != FALSE; }
bool IsChild(HWND parent, HWND window) { return ::IsChild(parent, window) != FALSE; }
bool IsHungAppWindow(HWND window) { return ::IsHungAppWindow(window) != FALSE; }

int GetWindowTextW(HWND window, char16_t* text, int capacity) { return ::GetWindowTextW(window, W(text), capacity); }
bool SetWindowTextW(HWND window, const char16_t* text) { return ::SetWindowTextW(window, W(text)) != FALSE; }
int GetClassNameW(HWND window, char16_t* name, int capacity) { return ::GetClassNameW(window, W(name), capacity); }

bool SetPropW(HWND window, const char16_t* name, void* value) { return ::SetPropW(window, W(name), value) != FALSE; }
void* GetPropW(HWND window, const char16_t* name) { return ::GetPropW(window, W(name)); }
void* RemovePropW(HWND window, const char16_t* name) { return ::RemovePropW(window, W(name)); }

LResult SendMessageW(HWND window, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::SendMessageW(window, message, wParam, lParam);
}
bool PostMessageW(HWND window, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::PostMessageW(window, message, wParam, lParam) != FALSE;
}
bool SendNotifyMessageW(HWND window, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::SendNotifyMessageW(window, message, wParam, lParam) != FALSE;
}
LResult SendMessageTimeoutW(HWND window, std::uint32_t message, WParam wParam, LParam lParam, unsigned flags,
                            std::uint32_t milliseconds, LResult* result) {
  DWORD_PTR answer = 0;
  LRESULT ok = ::SendMessageTimeoutW(window, message, wParam, lParam, flags, milliseconds, &answer);
  if (result) *result = static_cast<LResult>(answer);
  return ok;
}
std::uint32_t RegisterWindowMessageW(const char16_t* name) { return ::RegisterWindowMessageW(W(name)); }
void TakeSentMessages(std::uint32_t milliseconds) {
  ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_SENDMESSAGE, 0);
  MSG message;
  ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}
LResult DefWindowProcW(HWND window, std::uint32_t message, WParam wParam, LParam lParam) {
  return ::DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterContainerClass(const char16_t* className, WindowProcedure procedure, HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(WNDCLASSEXW);  // 80
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_PARENTDC;
  wc.lpfnWndProc = reinterpret_cast<WNDPROC>(procedure);
  wc.cbClsExtra = 0;
  wc.cbWndExtra = 0;
  wc.hInstance = instance;
  wc.hIcon = ::LoadIconW(nullptr, IDI_WINLOGO);
  wc.hIconSm = ::LoadIconW(nullptr, IDI_WINLOGO);
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszMenuName = nullptr;
  wc.lpszClassName = W(className);
  return ::RegisterClassExW(&wc) != 0;
}
HWND CreateWindowExW(std::uint32_t exStyle, const char16_t* className, const char16_t* title, std::uint32_t style,
                     int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* parameter) {
  return ::CreateWindowExW(exStyle, W(className), W(title), style, x, y, width, height, parent, menu, instance,
                           parameter);
}
bool DestroyWindow(HWND window) { return ::DestroyWindow(window) != FALSE; }
bool ShowWindow(HWND window, int command) { return ::ShowWindow(window, command) != FALSE; }
bool BringWindowToTop(HWND window) { return ::BringWindowToTop(window) != FALSE; }
HWND SetParent(HWND child, HWND newParent) { return ::SetParent(child, newParent); }
std::int64_t GetWindowLongPtrW(HWND window, int index) { return ::GetWindowLongPtrW(window, index); }
std::int64_t SetWindowLongPtrW(HWND window, int index, std::int64_t value) {
  return ::SetWindowLongPtrW(window, index, value);
}
bool IsWindowVisible(HWND window) { return ::IsWindowVisible(window) != FALSE; }
bool IsWindowEnabled(HWND window) { return ::IsWindowEnabled(window) != FALSE; }
bool EnableWindow(HWND window, bool enable) { return ::EnableWindow(window, enable ? TRUE : FALSE) != FALSE; }
bool InvalidateRect(HWND window) { return ::InvalidateRect(window, nullptr, TRUE) != FALSE; }
bool SetForegroundWindow(HWND window) { return ::SetForegroundWindow(window) != FALSE; }
HWND SetFocus(HWND window) { return ::SetFocus(window); }
HWND GetFocus() { return ::GetFocus(); }
HWND GetActiveWindow() { return ::GetActiveWindow(); }

namespace {
typedef DPI_HOSTING_BEHAVIOR(WINAPI* SetDpiHosting)(DPI_HOSTING_BEHAVIOR);
SetDpiHosting FindSetThreadDpiHostingBehavior() {
  FARPROC found = ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetThreadDpiHostingBehavior");
  return reinterpret_cast<SetDpiHosting>(reinterpret_cast<void*>(found));
}
}  // namespace

bool SetThreadDpiHostingMixed(int* previous) {
  SetDpiHosting set = FindSetThreadDpiHostingBehavior();
  if (set == nullptr) return false;
  *previous = set(DPI_HOSTING_BEHAVIOR_MIXED);
  return *previous != DPI_HOSTING_BEHAVIOR_INVALID;
}
void SetThreadDpiHostingBehavior(int behavior) {
  SetDpiHosting set = FindSetThreadDpiHostingBehavior();
  if (set != nullptr) set(static_cast<DPI_HOSTING_BEHAVIOR>(behavior));
}

bool SetTimer(HWND window, std::uintptr_t id, std::uint32_t milliseconds, TimerProcedure procedure) {
  return ::SetTimer(window, id, milliseconds, reinterpret_cast<TIMERPROC>(procedure)) != 0;
}
bool KillTimer(HWND window, std::uintptr_t id) { return ::KillTimer(window, id) != FALSE; }

bool GetClientRect(HWND window, Rect* rect) {
  RECT r = {};
  BOOL ok = ::GetClientRect(window, &r);
  rect->left = r.left;
  rect->top = r.top;
  rect->right = r.right;
  rect->bottom = r.bottom;
  return ok != FALSE;
}
bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, unsigned flags) {
  return ::SetWindowPos(window, insertAfter, x, y, width, height, flags) != FALSE;
}

HMENU GetMenu(HWND window) { return ::GetMenu(window); }
HMENU GetSubMenu(HMENU menu, int position) { return ::GetSubMenu(menu, position); }
HMENU GetSystemMenu(HWND window, bool revert) { return ::GetSystemMenu(window, revert ? TRUE : FALSE); }
int GetMenuItemCount(HMENU menu) { return ::GetMenuItemCount(menu); }
std::uint32_t GetMenuItemID(HMENU menu, int position) { return ::GetMenuItemID(menu, position); }
bool DeleteMenu(HMENU menu, unsigned item, unsigned flags) { return ::DeleteMenu(menu, item, flags) != FALSE; }
int EnableMenuItem(HMENU menu, unsigned item, unsigned flags) { return ::EnableMenuItem(menu, item, flags); }
std::uint32_t GetMenuState(HMENU menu, unsigned item, unsigned flags) { return ::GetMenuState(menu, item, flags); }
bool DrawMenuBar(HWND window) { return ::DrawMenuBar(window) != FALSE; }

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, unsigned type) {
  return ::MessageBoxW(owner, W(text), W(caption), type);
}

}  // namespace win
