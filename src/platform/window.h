// Windows user-interface services (user32): windows, messages, menus, focus.
// Thin wrappers with the platform's own names; text is UTF-16 as char16_t.
#pragma once
#include "platform/types.h"

namespace win {

typedef LResult (*WindowProcedure)(HWND, std::uint32_t, WParam, LParam);
typedef void (*TimerProcedure)(HWND, std::uint32_t, std::uintptr_t, std::uint32_t);

HWND GetParent(HWND window);
HWND GetWindow(HWND window, unsigned relation);
// With GA_ROOT, the top-level window the window lies in (itself when top-level); null for
// a window that does not exist.
HWND GetAncestor(HWND window, unsigned flags);
HWND FindWindowW(const char16_t* className, const char16_t* title);
HWND FindWindowExW(HWND parent, HWND childAfter, const char16_t* className, const char16_t* title);
std::uint32_t GetWindowThreadProcessId(HWND window, std::uint32_t* processId);
bool IsWindow(HWND window);
bool IsChild(HWND parent, HWND window);  // window lies inside parent, at any depth
// The window's thread has taken no message for 5 s: the platform calls it hung.
bool IsHungAppWindow(HWND window);

int GetWindowTextW(HWND window, char16_t* text, int capacity);
bool SetWindowTextW(HWND window, const char16_t* text);
int GetClassNameW(HWND window, char16_t* name, int capacity);

// Values kept on a window under a name, for as long as the window lives or until removed.
bool SetPropW(HWND window, const char16_t* name, void* value);
void* GetPropW(HWND window, const char16_t* name);
void* RemovePropW(HWND window, const char16_t* name);

LResult SendMessageW(HWND window, std::uint32_t message, WParam wParam, LParam lParam);
bool PostMessageW(HWND window, std::uint32_t message, WParam wParam, LParam lParam);
// Sends without waiting: for a window of another thread the message is queued among the
// messages sent to that thread (taken before any posted one, and seen by its hooks as a sent
// message), and the call returns at once.
bool SendNotifyMessageW(HWND window, std::uint32_t message, WParam wParam, LParam lParam);
// Non-zero, with the answer in *result, when the window's thread answered within the
// time; 0 when it did not, at once with SMTO_ABORTIFHUNG for a thread the platform
// already reports hung.
LResult SendMessageTimeoutW(HWND window, std::uint32_t message, WParam wParam, LParam lParam, unsigned flags,
                            std::uint32_t milliseconds, LResult* result);
LResult DefWindowProcW(HWND window, std::uint32_t message, WParam wParam, LParam lParam);
// The message number registered under the name, the same in every process of the session;
// 0 when it could not be registered.
std::uint32_t RegisterWindowMessageW(const char16_t* name);
// Waits up to the time for a message another thread sends to this one, and handles the
// messages sent meanwhile; queued messages stay in the queue.
void TakeSentMessages(std::uint32_t milliseconds);

// The container's class, filled as the embedding needs it; false when the call failed
// (also when the class is registered already).
bool RegisterContainerClass(const char16_t* className, WindowProcedure procedure, HINSTANCE instance);
HWND CreateWindowExW(std::uint32_t exStyle, const char16_t* className, const char16_t* title, std::uint32_t style,
                     int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* parameter);
bool DestroyWindow(HWND window);
bool ShowWindow(HWND window, int command);
bool BringWindowToTop(HWND window);
HWND SetParent(HWND child, HWND newParent);
std::int64_t GetWindowLongPtrW(HWND window, int index);
std::int64_t SetWindowLongPtrW(HWND window, int index, std::int64_t value);
bool IsWindowVisible(HWND window);
bool IsWindowEnabled(HWND window);
bool EnableWindow(HWND window, bool enable);
// The whole client area to be painted again (null rect), its background erased.
bool InvalidateRect(HWND window);
bool SetForegroundWindow(HWND window);
HWND SetFocus(HWND window);
HWND GetFocus();
HWND GetActiveWindow();

// SetThreadDpiHostingBehavior(DPI_HOSTING_BEHAVIOR_MIXED), looked up in user32 on each call
// (Windows before 10 1803 has none): true, with the thread's behaviour before in *previous,
// when the behaviour was set; false, with nothing changed, otherwise.
bool SetThreadDpiHostingMixed(int* previous);
// SetThreadDpiHostingBehavior(behavior), looked up the same way, for the behaviour that
// SetThreadDpiHostingMixed gave.
void SetThreadDpiHostingBehavior(int behavior);

// A timer of the window whose WM_TIMER the platform hands to the procedure; it makes one
// only when no input or posted message waits in the thread's queue. Setting a timer the
// window already has under that id starts it anew.
bool SetTimer(HWND window, std::uintptr_t id, std::uint32_t milliseconds, TimerProcedure procedure);
bool KillTimer(HWND window, std::uintptr_t id);

struct Rect {
  std::int32_t left, top, right, bottom;
};
bool GetClientRect(HWND window, Rect* rect);
bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, unsigned flags);

HMENU GetMenu(HWND window);
HMENU GetSubMenu(HMENU menu, int position);
HMENU GetSystemMenu(HWND window, bool revert);
int GetMenuItemCount(HMENU menu);
std::uint32_t GetMenuItemID(HMENU menu, int position);
bool DeleteMenu(HMENU menu, unsigned item, unsigned flags);
// The item's state before the call; 0xFFFFFFFF (-1) when the item does not exist.
int EnableMenuItem(HMENU menu, unsigned item, unsigned flags);
// The item's flags (for an item that opens a menu, that menu's item count in bits 8-15);
// 0xFFFFFFFF when the item does not exist.
std::uint32_t GetMenuState(HMENU menu, unsigned item, unsigned flags);
bool DrawMenuBar(HWND window);

int MessageBoxW(HWND owner, const char16_t* text, const char16_t* caption, unsigned type);

}  // namespace win
