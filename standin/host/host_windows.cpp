// The host's windows: the main window "TTOTAL_CMD" with the Quick View header and panel,
// and Lister windows. Each window keeps its HostWindows in GWLP_USERDATA.
#include "standin_host.h"

#include <cwchar>

namespace standin {

HostRecord g_host;
LONG_PTR g_hostAnswer1 = 0x1234, g_hostAnswer3 = 0x1234;
bool g_hostRelayout = false;

namespace {

const wchar_t kMainClass[] = L"TTOTAL_CMD";
const wchar_t kHeaderClass[] = L"PxHostHeader";
const wchar_t kPanelClass[] = L"PxHostPanel";
const wchar_t kListerClass[] = L"PxHostLister";
const int kMaxRelayouts = 200;

HostWindows* HostOf(HWND window) { return reinterpret_cast<HostWindows*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

void KeepHost(HWND window, LPARAM createStruct) {
  auto* create = reinterpret_cast<CREATESTRUCTW*>(createStruct);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

void Record(int* list, int* count, int value) {
  if (*count < 16) list[(*count)++] = value;
}

// The window's frame drawn again, and each child placed anew over its client area.
void RelayoutAfterTitleChange(HWND window) {
  if (!g_hostRelayout || g_host.relayouts >= kMaxRelayouts) return;
  ++g_host.relayouts;
  const UINT flags = SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(window, nullptr, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
  RECT client = {};
  GetClientRect(window, &client);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SetWindowPos(child, nullptr, 0, 0, client.right, client.bottom, flags);
}

// ---- the main window ----

// Codes 1 and 3 tell the plug-in which code names the header window: with equal answers
// it asks 10, else 9.
LRESULT OnHostQuery(HostWindows* host, WPARAM code) {
  Record(g_host.queries, &g_host.queryCount, (int)code);
  switch (code) {
    case 1: return g_hostAnswer1;
    case 3: return g_hostAnswer3;
    case 9:
    case 10: return reinterpret_cast<LRESULT>(host->answeredHeader);
    default: return 0;
  }
}

void LayOut(HostWindows* host) {
  RECT client = {};
  GetClientRect(host->main, &client);
  int left = host->files ? client.right / 3 : 0;
  int top = host->options.headerHeight;
  if (host->files) MoveWindow(host->files, 0, 0, left, client.bottom, TRUE);
  MoveWindow(host->header, left, 0, client.right - left, top, TRUE);
  MoveWindow(host->panel, left, top, client.right - left, client.bottom - top, TRUE);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) KeepHost(window, lParam);
  HostWindows* host = HostOf(window);
  if (!host) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case kHostQuery: return OnHostQuery(host, wParam);
    case WM_SIZE: LayOut(host); return 0;
    case WM_DESTROY:
      if (host->options.endsLoopOnClose) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// ---- the header ----

// The plug-in writes the header text and paints it itself.
LRESULT OnHeaderSetText(HostWindows* host, HWND window, WPARAM wParam, LPARAM lParam) {
  LRESULT result = DefWindowProcW(window, WM_SETTEXT, wParam, lParam);
  ++g_host.headerSetTexts;
  for (HWND lister = GetWindow(host->panel, GW_CHILD); lister; lister = GetWindow(lister, GW_HWNDNEXT))
    RelayoutAfterTitleChange(lister);
  return result;
}

LRESULT CALLBACK HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) KeepHost(window, lParam);
  HostWindows* host = HostOf(window);
  if (host && message == WM_SETTEXT) return OnHeaderSetText(host, window, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

// ---- the Quick View panel ----

void OnHostCommand(HostWindows* host, WPARAM command) {
  Record(g_host.commands, &g_host.commandCount, (int)command);
  if (host->options.printsCommands) std::wprintf(L"host command %d\n", (int)command);
}

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) KeepHost(window, lParam);
  HostWindows* host = HostOf(window);
  if (!host) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case kHostCommand: OnHostCommand(host, wParam); return 0;
    case WM_SIZE:
      if (host->options.fitsViews) FitFirstChild(window);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// ---- Lister windows ----

LRESULT OnListerSetText(HWND window, WPARAM wParam, LPARAM lParam) {
  ++g_host.listerSetTexts;
  LRESULT result = DefWindowProcW(window, WM_SETTEXT, wParam, lParam);
  if (GetParent(window) == nullptr) RelayoutAfterTitleChange(window);
  return result;
}

// True when the close is handled here; otherwise the window closes as any window does.
bool OnListerClose(HostWindows* host, HWND window) {
  ++g_host.listerCloses;
  if (!host->options.closeView) return true;  // the test decides when the view closes
  HWND view = GetWindow(window, GW_CHILD);
  if (!view) return false;
  host->options.closeView(view);
  if (GetParent(window) == nullptr) DestroyWindow(window);
  return true;
}

LRESULT CALLBACK ListerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) KeepHost(window, lParam);
  HostWindows* host = HostOf(window);
  if (!host) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_SETTEXT: return OnListerSetText(window, wParam, lParam);
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE && OnListerClose(host, window)) return 0;
      break;
    case WM_SIZE:
      if (host->options.fitsViews) FitFirstChild(window);
      return 0;
    case WM_DESTROY:
      if (host->options.endsLoopOnClose && GetParent(window) == nullptr) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Lister's menu bar. The plug-in removes four of the nine items of the File menu and
// grays Edit; other counts stand for other versions of the host.
HMENU ListerMenu(int fileItems) {
  static const wchar_t* const kFileItems[] = {L"&Open",       L"Open &with...", L"&Reload",
                                              L"&Save as...", L"&Print...",     L"Print &setup...",
                                              L"&Find...",    L"&Copy as text", L"E&xit"};
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  for (int i = 0; i < fileItems; ++i) AppendMenuW(file, MF_STRING, 100 + i, i < 9 ? kFileItems[i] : L"&More");
  AppendMenuW(bar, MF_POPUP, (UINT_PTR)file, L"&File");
  AppendMenuW(bar, MF_STRING, 200, L"&Edit");
  AppendMenuW(bar, MF_STRING, 201, L"&Options");
  AppendMenuW(bar, MF_STRING, 202, L"&Help");
  return bar;
}

void RegisterHostClass(const wchar_t* name, WNDPROC procedure, int colour) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(INT_PTR)(colour + 1);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);  // a second registration fails, and the first serves
}

HWND NewChild(const wchar_t* className, DWORD style, HWND parent, HostWindows* host) {
  return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent, nullptr,
                         GetModuleHandleW(nullptr), host);
}

HWND NewFileList(HWND main, const wchar_t* name) {
  HWND files = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 10, 10,
                               main, (HMENU)1, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(files, LB_ADDSTRING, 0, (LPARAM)L"[..]");
  SendMessageW(files, LB_ADDSTRING, 0, (LPARAM)name);
  SendMessageW(files, LB_SETCURSEL, 1, 0);
  return files;
}

}  // namespace

void ResetHostRecord() { ZeroMemory(&g_host, sizeof g_host); }

bool CreateHostWindows(const HostOptions* options, HostWindows* host) {
  RegisterHostClass(kMainClass, MainProc, COLOR_APPWORKSPACE);  // seen only between its children
  RegisterHostClass(kHeaderClass, HeaderProc, COLOR_BTNFACE);
  RegisterHostClass(kPanelClass, PanelProc, COLOR_BTNFACE);
  RegisterHostClass(kListerClass, ListerProc, COLOR_BTNFACE);
  *host = HostWindows();
  host->options = *options;
  host->main = CreateWindowExW(0, kMainClass, options->title, WS_OVERLAPPEDWINDOW, 0, 0, options->width,
                               options->height, nullptr, nullptr, GetModuleHandleW(nullptr), host);
  host->header = NewChild(kHeaderClass, 0, host->main, host);
  if (options->listedFile) host->files = NewFileList(host->main, options->listedFile);
  host->panel = NewChild(kPanelClass, WS_CLIPCHILDREN, host->main, host);
  host->answeredHeader = host->header;
  LayOut(host);
  if (options->showsMain) ShowWindow(host->main, SW_SHOW);
  return host->main && host->header && host->panel;
}

HWND NewListerWindow(HostWindows* host, bool inQuickView, int fileItems, UINT_PTR childId) {
  if (inQuickView) {
    RECT panel = {};
    GetClientRect(host->panel, &panel);
    return CreateWindowExW(0, kListerClass, L"Lister", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, panel.right,
                           panel.bottom, host->panel, reinterpret_cast<HMENU>(childId), GetModuleHandleW(nullptr),
                           host);
  }
  // Owned by the main window (destroyed with it) but top-level: GetParent gives null.
  const RECT& place = host->options.listerPlace;
  HWND lister = CreateWindowExW(0, kListerClass, L"Lister", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, place.left,
                                place.top, place.right - place.left, place.bottom - place.top, host->main,
                                ListerMenu(fileItems), GetModuleHandleW(nullptr), host);
  ShowWindow(lister, SW_SHOW);
  return lister;
}

void DestroyHostWindows(HostWindows* host) {
  if (host->main) DestroyWindow(host->main);
  host->main = host->header = host->panel = host->files = nullptr;
}

void FitFirstChild(HWND window) {
  HWND child = GetWindow(window, GW_CHILD);
  RECT client = {};
  GetClientRect(window, &client);
  if (child) MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
}

bool Pump(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return false;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (milliseconds) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
  return true;
}

}  // namespace standin
