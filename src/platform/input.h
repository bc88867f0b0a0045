// Windows input services (user32): key states, synthetic input, hooks.
#pragma once
#include "platform/types.h"

namespace win {

typedef LResult (*HookProcedure)(int code, WParam wParam, LParam lParam);

std::int16_t GetKeyState(int key);
std::int16_t GetAsyncKeyState(int key);
void keybd_event(std::uint8_t key, std::uint8_t scan, std::uint32_t flags, std::uint64_t extra);
void mouse_event(std::uint32_t flags, std::uint32_t dx, std::uint32_t dy, std::uint32_t data, std::uint64_t extra);

HHOOK SetWindowsHookExW(int type, HookProcedure procedure, HINSTANCE module, std::uint32_t threadId);
bool UnhookWindowsHookEx(HHOOK hook);
LResult CallNextHookEx(HHOOK hook, int code, WParam wParam, LParam lParam);
// The window that a mouse message is for, from the MOUSEHOOKSTRUCT a WH_MOUSE hook receives.
HWND MouseHookTarget(LParam hookRecord);
// The message a window procedure has just handled and its window, from the CWPRETSTRUCT a
// WH_CALLWNDPROCRET hook receives.
struct HandledMessage {
  HWND window;
  std::uint32_t message;
  WParam wParam;
  LParam lParam;
};
HandledMessage HandledMessageOf(LParam hookRecord);

}  // namespace win
