// The hooks: the plug-in's KbdProc, MouseProc and TitleProc passing a message on, against the calls
// they make for it. They are called straight, not from a hook chain, with windows of the
// bench in the places of the viewer's: a Lister, a container, a viewer holding the focus,
// and an image area under the pointer.
#include "bench.h"
#include "hooks/hooks.h"

namespace bench {

namespace {

const LPARAM kUpKeyFlags = 0x01480001;  // VK_UP pressed once, its scan code

HWND NewPlainWindow(DWORD style, HWND parent) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PxBenchWindow";
  RegisterClassW(&wc);  // once; later calls fail and the first registration serves
  return CreateWindowExW(0, L"PxBenchWindow", L"", style, 0, 0, 600, 400, parent, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

}  // namespace

void MeasureHooks(HookFigures* figures) {
  HWND lister = NewPlainWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
  HWND container = NewPlainWindow(WS_CHILD | WS_VISIBLE, lister);
  HWND viewer = NewPlainWindow(WS_CHILD | WS_VISIBLE, container);
  HWND image = NewPlainWindow(WS_CHILD | WS_VISIBLE, viewer);
  SetForegroundWindow(lister);
  SetFocus(viewer);
  standin::Pump(20);
  figures->focusHeld = GetFocus() == viewer;

  MOUSEHOOKSTRUCT record = {};
  record.pt = {100, 100};
  record.hwnd = image;
  record.wHitTestCode = HTCLIENT;
  LPARAM recordParam = reinterpret_cast<LPARAM>(&record);
  MeasurePair(
      kHookRuns, kHookCalls, [&] { KbdProc(HC_ACTION, VK_UP, kUpKeyFlags); },
      [&] { CallNextHookEx(nullptr, HC_ACTION, VK_UP, kUpKeyFlags); }, &figures->kbd);
  MeasurePair(
      kHookRuns, kHookCalls, [&] { KbdProc(HC_ACTION, VK_UP, kUpKeyFlags); },
      [&] {
        GetParent(GetParent(GetFocus()));
        CallNextHookEx(nullptr, HC_ACTION, VK_UP, kUpKeyFlags);
      },
      &figures->kbdAll);
  MeasurePair(
      kHookRuns, kHookCalls, [&] { MouseProc(HC_ACTION, WM_MOUSEMOVE, recordParam); },
      [&] { CallNextHookEx(nullptr, HC_ACTION, WM_MOUSEMOVE, recordParam); }, &figures->mouse);

  // The title hook runs after every message a window of the viewer's thread handles.
  auto measureTitle = [&](HWND window, UINT message, Pair* pair) {
    CWPRETSTRUCT handled = {};
    handled.hwnd = window;
    handled.message = message;
    LPARAM handledParam = reinterpret_cast<LPARAM>(&handled);
    MeasurePair(
        kHookRuns, kHookCalls, [&] { TitleProc(HC_ACTION, 0, handledParam); },
        [&] { CallNextHookEx(nullptr, HC_ACTION, 0, handledParam); }, pair);
  };
  measureTitle(viewer, WM_GETTEXT, &figures->title);
  measureTitle(image, WM_SETTEXT, &figures->titleOther);
  DestroyWindow(lister);
}

}  // namespace bench
