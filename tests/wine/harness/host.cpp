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

void RegisterTestClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  RegisterClassW(&wc);
}

}  // namespace pxt
