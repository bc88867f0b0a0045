// The user32 calls behind platform/input.h.
#include <windows.h>

#include "platform/input.h"

namespace win {

std::int16_t GetKeyState(int key) { return ::GetKeyState(key); }
std::int16_t GetAsyncKeyState(int key) { return ::GetAsyncKeyState(key); }
void keybd_event(std::uint8_t key, std::uint8_t scan, std::uint32_t flags, std::uint64_t extra) {
  ::keybd_event(key, scan, flags, extra);
}
void mouse_event(std::uint32_t flags, std::uint32_t dx, std::uint32_t dy, std::uint32_t data, std::uint64_t extra) {
  ::mouse_event(flags, dx, dy, data, extra);
}

HHOOK SetWindowsHookExW(int type, HookProcedure procedure, HINSTANCE module, std::uint32_t threadId) {
  return ::SetWindowsHookExW(type, reinterpret_cast<HOOKPROC>(procedure), module, threadId);
}
bool UnhookWindowsHookEx(HHOOK hook) { return ::UnhookWindowsHookEx(hook) != FALSE; }
LResult CallNextHookEx(HHOOK hook, int code, WParam wParam, LParam lParam) {
  return ::CallNextHookEx(hook, code, wParam, lParam);
}
HWND MouseHookTarget(LParam hookRecord) {
  const MOUSEHOOKSTRUCT* record = reinterpret_cast<const MOUSEHOOKSTRUCT*>(hookRecord);
  return record ? record->hwnd : nullptr;
}
HandledMessage HandledMessageOf(LParam hookRecord) {
  const CWPRETSTRUCT* record = reinterpret_cast<const CWPRETSTRUCT*>(hookRecord);
  if (!record) return {nullptr, 0, 0, 0};
  return {record->hwnd, record->message, record->wParam, static_cast<LParam>(record->lParam)};
}

}  // namespace win
