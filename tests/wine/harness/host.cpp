// The stand-in host's windows as the tests use them, and small window helpers.
#include "harness.h"

namespace pxt {

Host::Host() {
  ResetHostRecord();
  HostOptions options;  // the tests' host
  CreateHostWindows(&options, this);
  Pump(20);
}
Host::~Host() {
  EndViewers();
  DestroyHostWindows(this);
  Pump(20);
}
HWND Host::NewLister(bool quickView, int firstMenuItems) {
  HWND lister = NewListerWindow(this, quickView, firstMenuItems);
  Pump(20);
  return lister;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[300] = {};
  GetClassNameW(window, name, 300);
  return name;
}
std::wstring TitleOf(HWND window) {
  wchar_t title[600] = {};
  GetWindowTextW(window, title, 600);
  return title;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void SendKey(WORD vk, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

void Press(WORD key, WORD modifier, WORD secondModifier) {
  for (WORD held : {modifier, secondModifier})
    if (held) SendKey(held, false);
  SendKey(key, false);
  Pump(30);
  SendKey(key, true);
  for (WORD held : {secondModifier, modifier})
    if (held) SendKey(held, true);
  Pump(30);
}

void PointAt(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  Pump(30);
}

void ClickInto(HWND window) {
  PointAt(window);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  Pump(30);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

void RegisterTestClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

}  // namespace pxt
