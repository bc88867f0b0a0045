// A stand-in for the file manager: a Lister window (top-level, with a menu bar) or a Quick
// View panel inside a main window of class "TTOTAL_CMD", showing one image through the
// plug-in, as the real host would. Used by the demo; a person can run it on any image.
//
//   px_host.exe PLUGIN IMAGE [/quickview] [/shot FILE.bmp] [/seconds N]
//
// Without /seconds it runs until its window is closed. With /shot it saves a picture of
// its window (viewer included) once the view has settled.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <shlwapi.h>

namespace {

typedef HWND(__stdcall* ListLoadW_t)(HWND, const wchar_t*, int);
typedef int(__stdcall* ListCloseWindow_t)(HWND);

struct Options {
  const wchar_t* plugin = nullptr;
  const wchar_t* image = nullptr;
  const wchar_t* shot = nullptr;
  bool quickView = false;
  int seconds = 0;
} g_options;

HWND g_main;       // "TTOTAL_CMD"
HWND g_header;     // the Quick View header the plug-in paints
HWND g_lister;     // the window handed to the plug-in
HWND g_pluginWin;  // what the load returned
HWND g_panel;      // in Quick View: the Lister window's parent, the right-hand panel
HWND g_files;      // in Quick View: the file panel on the left
ListCloseWindow_t g_close;

const int kHeaderHeight = 22;

// The host sizes the plug-in's window to its Lister window's client area.
void FitChild(HWND window) {
  HWND child = GetWindow(window, GW_CHILD);
  RECT client;
  GetClientRect(window, &client);
  if (child) MoveWindow(child, 0, 0, client.right, client.bottom, TRUE);
}

// The main window answers the plug-in's query for the header window (1074) and lays out
// a file panel, the header and the Quick View panel.
LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_USER + 50:
      return (wParam == 9 || wParam == 10) ? (LRESULT)g_header : (LRESULT)0x10001;
    case WM_SIZE: {
      RECT client;
      GetClientRect(window, &client);
      int half = client.right / 3;
      if (g_files) MoveWindow(g_files, 0, 0, half, client.bottom, TRUE);
      if (g_header) MoveWindow(g_header, half, 0, client.right - half, kHeaderHeight, TRUE);
      if (g_panel) MoveWindow(g_panel, half, kHeaderHeight, client.right - half, client.bottom - kHeaderHeight, TRUE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The Quick View panel: holds the Lister window; the plug-in posts host commands (1075) here.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: FitChild(window); return 0;
    case WM_USER + 51: std::wprintf(L"host command %d\n", (int)wParam); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ListerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: FitChild(window); return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE && g_pluginWin) {  // Escape in the viewer
        g_close(g_pluginWin);
        g_pluginWin = nullptr;
        if (!g_options.quickView) DestroyWindow(window);
        return 0;
      }
      break;
    case WM_DESTROY:
      if (!g_options.quickView) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Register(const wchar_t* name, WNDPROC procedure, int brush) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(INT_PTR)(brush + 1);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

HMENU ListerMenu() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  const wchar_t* items[] = {L"&Open", L"Open &with...", L"&Reload", L"&Save as...", L"&Print...",
                            L"Print &setup...", L"&Find...", L"&Copy as text", L"E&xit"};
  for (int i = 0; i < 9; ++i) AppendMenuW(file, MF_STRING, 100 + i, items[i]);
  AppendMenuW(bar, MF_POPUP, (UINT_PTR)file, L"&File");
  AppendMenuW(bar, MF_STRING, 200, L"&Edit");
  AppendMenuW(bar, MF_STRING, 201, L"&Options");
  AppendMenuW(bar, MF_STRING, 202, L"&Help");
  return bar;
}

void CreateWindows() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  Register(L"TTOTAL_CMD", MainProc, COLOR_APPWORKSPACE);
  Register(L"PxHostPanel", PanelProc, COLOR_BTNFACE);
  Register(L"PxHostLister", ListerProc, COLOR_BTNFACE);
  Register(L"PxHostHeader", DefWindowProcW, COLOR_BTNFACE);  // the plug-in paints its text
  g_main = CreateWindowExW(0, L"TTOTAL_CMD", L"Total Commander (stand-in host)", WS_OVERLAPPEDWINDOW, 0, 0, 1000,
                           720, nullptr, nullptr, instance, nullptr);
  if (g_options.quickView) {
    g_header = CreateWindowExW(0, L"PxHostHeader", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, kHeaderHeight, g_main, nullptr,
                               instance, nullptr);
    HWND files = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 10, 10,
                                 g_main, (HMENU)1, instance, nullptr);
    SendMessageW(files, LB_ADDSTRING, 0, (LPARAM)L"[..]");
    SendMessageW(files, LB_ADDSTRING, 0, (LPARAM)PathFindFileNameW(g_options.image));
    SendMessageW(files, LB_SETCURSEL, 1, 0);
    g_files = files;
    g_panel = CreateWindowExW(0, L"PxHostPanel", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10, g_main,
                              nullptr, instance, nullptr);
    g_lister = CreateWindowExW(0, L"PxHostLister", L"Lister", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 10, 10,
                               g_panel, nullptr, instance, nullptr);
    ShowWindow(g_main, SW_SHOW);
  } else {
    g_lister = CreateWindowExW(0, L"PxHostLister", L"Lister", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 900,
                               650, nullptr, ListerMenu(), instance, nullptr);
    ShowWindow(g_lister, SW_SHOW);
  }
  SendMessageW(g_main, WM_SIZE, 0, 0);
}

void Pump(DWORD milliseconds) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Under Wine the pixels of a child window that belongs to another process never reach
// the screen (the window keeps its place and size). The stand-in viewer draws a picture
// of itself on request; the shot lays it over the screen at the viewer's place, so that
// it shows what a Windows user sees.
void OverlayViewerPicture(HDC memory, const RECT& shotRect, const wchar_t* picturePath) {
  HWND viewer = g_pluginWin ? GetWindow(g_pluginWin, GW_CHILD) : nullptr;
  if (!viewer) return;
  DeleteFileW(picturePath);
  SendMessageW(viewer, RegisterWindowMessageW(L"PxViewerSnapshot"), 0, 0);
  HBITMAP picture = (HBITMAP)LoadImageW(nullptr, picturePath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (!picture) return;
  RECT client;
  GetClientRect(viewer, &client);
  POINT origin = {0, 0};
  ClientToScreen(viewer, &origin);
  HDC source = CreateCompatibleDC(memory);
  HGDIOBJ old = SelectObject(source, picture);
  BitBlt(memory, origin.x - shotRect.left, origin.y - shotRect.top, client.right, client.bottom, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  DeleteObject(picture);
  DeleteFileW(picturePath);
}

// The window as it shows on the screen, the other process's viewer included.
bool SaveShot(HWND window, const wchar_t* path) {
  RECT r;
  GetWindowRect(window, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  wchar_t picture[MAX_PATH] = {};
  GetEnvironmentVariableW(L"PX_VIEWER_SNAPSHOT", picture, MAX_PATH);
  if (picture[0]) OverlayViewerPicture(memory, r, picture);
  SelectObject(memory, old);
  DWORD stride = ((width * 3 + 3) & ~3), size = stride * height;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + size;
  bool ok = false;
  HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out != INVALID_HANDLE_VALUE) {
    DWORD written;
    ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
         WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
         WriteFile(out, bits, size, &written, nullptr);
    CloseHandle(out);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool ParseOptions(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!wcscmp(argv[i], L"/quickview")) g_options.quickView = true;
    else if (!wcscmp(argv[i], L"/shot") && i + 1 < argc) g_options.shot = argv[++i];
    else if (!wcscmp(argv[i], L"/seconds") && i + 1 < argc) g_options.seconds = _wtoi(argv[++i]);
    else if (!g_options.plugin) g_options.plugin = argv[i];
    else if (!g_options.image) g_options.image = argv[i];
  }
  return g_options.plugin && g_options.image;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (!ParseOptions(argc, argv)) {
    std::fwprintf(stderr, L"usage: px_host.exe PLUGIN IMAGE [/quickview] [/shot FILE.bmp] [/seconds N]\n");
    return 2;
  }
  HMODULE plugin = LoadLibraryW(g_options.plugin);
  if (!plugin) {
    std::fwprintf(stderr, L"cannot load %ls\n", g_options.plugin);
    return 1;
  }
  auto load = (ListLoadW_t)(void*)GetProcAddress(plugin, "ListLoadW");
  g_close = (ListCloseWindow_t)(void*)GetProcAddress(plugin, "ListCloseWindow");
  if (g_options.shot) {
    // Where the viewer (started by the plug-in, with this environment) puts its picture.
    wchar_t picture[MAX_PATH];
    swprintf(picture, MAX_PATH, L"%ls.viewer.bmp", g_options.shot);
    SetEnvironmentVariableW(L"PX_VIEWER_SNAPSHOT", picture);
  }
  CreateWindows();
  Pump(200);
  g_pluginWin = load(g_lister, g_options.image, 0);
  if (!g_pluginWin) {
    std::fwprintf(stderr, L"the plug-in did not load %ls\n", g_options.image);
    DestroyWindow(g_main);
    return 1;
  }
  FitChild(g_lister);
  std::wprintf(L"loaded %ls (%ls mode)\n", g_options.image, g_options.quickView ? L"Quick View" : L"Lister");
  std::fflush(stdout);
  if (g_options.seconds > 0 || g_options.shot) {
    Pump(g_options.seconds > 0 ? g_options.seconds * 1000 : 2500);
    if (g_options.shot) {
      HWND shown = g_options.quickView ? g_main : g_lister;
      SetForegroundWindow(shown);
      Pump(300);
      bool saved = SaveShot(shown, g_options.shot);
      std::wprintf(L"%ls %ls\n", saved ? L"saved" : L"could not save", g_options.shot);
    }
  } else {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (g_pluginWin) g_close(g_pluginWin);
  if (IsWindow(g_lister)) DestroyWindow(g_lister);
  DestroyWindow(g_main);
  FreeLibrary(plugin);
  return 0;
}
