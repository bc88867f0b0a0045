#include "harness.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>

namespace pxt {

HostRecord g_host;
LONG_PTR g_hostAnswer1 = 0x1234, g_hostAnswer3 = 0x1234;
bool g_hostRelayout = false;

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return L"";
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &out[0], n);
  return out;
}
std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring WinePath(const std::string& unixPath) {
  std::wstring path = L"Z:" + Wide(unixPath);
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path;
}
static std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}
std::wstring BuildDir() { return WinePath(Env("PX_BUILD_DIR")); }
std::wstring SourceDir() { return WinePath(Env("PX_SOURCE_DIR")); }
std::wstring BuiltPlugin() { return BuildDir() + L"\\Pixmorant.wlx64"; }
std::wstring BuiltViewer() { return BuildDir() + L"\\standin\\viewer\\px_run64.exe"; }

std::wstring TempDir() {
  static int counter = 0;
  std::wstring root = BuildDir() + L"\\test-area";
  CreateDirectoryW(root.c_str(), nullptr);
  for (;;) {
    wchar_t name[64];
    swprintf(name, 64, L"\\t%lu-%d-%lu", GetCurrentProcessId(), ++counter, GetTickCount());
    std::wstring dir = root + name;
    if (CreateDirectoryW(dir.c_str(), nullptr)) return dir + L"\\";
  }
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}
std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string out;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) out.append(chunk, got);
  CloseHandle(file);
  return out;
}
bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

static void RemoveTree(const std::wstring& dir) {
  // dir ends with a backslash; double-null-terminated for SHFileOperation is fiddly under
  // Wine, so walk it by hand.
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((dir + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = dir + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path + L"\\");
      else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(dir.c_str());
}

PluginFolder::PluginFolder(bool withViewer) : dir(TempDir()) {
  CopyFileW(BuiltPlugin().c_str(), (dir + L"Pixmorant.wlx64").c_str(), FALSE);
  if (withViewer) {
    CreateDirectoryW((dir + L"Pixmorant64").c_str(), nullptr);
    CopyFileW(BuiltViewer().c_str(), (dir + L"Pixmorant64\\px_run64.exe").c_str(), FALSE);
  }
}
PluginFolder::~PluginFolder() {
  EndViewers();
  RemoveTree(dir);
}

template <class T>
static void Bind(HMODULE module, T& entry, const char* name) {
  entry = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
Plugin::Plugin(const std::wstring& libraryPath) {
  module = LoadLibraryW(libraryPath.c_str());
  if (!module) return;
  Bind(module, ListLoad, "ListLoad");
  Bind(module, ListLoadW, "ListLoadW");
  Bind(module, ListCloseWindow, "ListCloseWindow");
  Bind(module, ListGetDetectString, "ListGetDetectString");
  Bind(module, ListPrint, "ListPrint");
  Bind(module, ListSearchDialog, "ListSearchDialog");
  Bind(module, ListSendCommand, "ListSendCommand");
}
Plugin::~Plugin() {
  if (module) FreeLibrary(module);
}

// ---- stand-in host windows ----

void ResetHostRecord() { ZeroMemory(&g_host, sizeof g_host); }

static LRESULT CALLBACK HostMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 50) {
    if (g_host.queryCount < 16) g_host.queries[g_host.queryCount++] = (int)wParam;
    HWND header = (HWND)GetWindowLongPtrW(window, GWLP_USERDATA);
    switch (wParam) {
      case 1: return g_hostAnswer1;
      case 3: return g_hostAnswer3;
      case 9:
      case 10: return (LRESULT)header;
      default: return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
static LRESULT CALLBACK HostHolderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER + 51 && g_host.commandCount < 16) g_host.commands[g_host.commandCount++] = (int)wParam;
  return DefWindowProcW(window, message, wParam, lParam);
}
// The window's frame drawn again, and each child placed anew over its client area.
static void RelayoutAfterTitleChange(HWND window) {
  const int kMaxRelayouts = 200;
  if (!g_hostRelayout || g_host.relayouts >= kMaxRelayouts) return;
  ++g_host.relayouts;
  const UINT flags = SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(window, nullptr, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
  RECT client = {};
  GetClientRect(window, &client);
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    SetWindowPos(child, nullptr, 0, 0, client.right, client.bottom, flags);
}

static LRESULT CALLBACK HostListerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT) {
    ++g_host.listerSetTexts;
    LRESULT result = DefWindowProcW(window, message, wParam, lParam);
    if (GetParent(window) == nullptr) RelayoutAfterTitleChange(window);
    return result;
  }
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
    ++g_host.listerCloses;
    return 0;  // the test decides when the view closes
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The header window is a static control; its text changes are counted and, for a
// relaying host, answered by a new layout of the Quick View Lister inside the panel.
static WNDPROC g_staticProc = nullptr;
static LRESULT CALLBACK HostHeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcW(g_staticProc, window, message, wParam, lParam);
  if (message == WM_SETTEXT) {
    ++g_host.headerSetTexts;
    HWND main = GetParent(window);
    HWND holder = FindWindowExW(main, nullptr, L"PxTestHolder", nullptr);
    for (HWND lister = GetWindow(holder, GW_CHILD); lister; lister = GetWindow(lister, GW_HWNDNEXT))
      RelayoutAfterTitleChange(lister);
  }
  return result;
}

static void RegisterHostClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

Host::Host() {
  ResetHostRecord();
  RegisterHostClass(L"TTOTAL_CMD", HostMainProc);
  RegisterHostClass(L"PxTestHolder", HostHolderProc);
  RegisterHostClass(L"PxTestLister", HostListerProc);
  main = CreateWindowExW(0, L"TTOTAL_CMD", L"Total Commander (stand-in)", WS_OVERLAPPEDWINDOW, 0, 0, 900,
                         700, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  header = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 20, main, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(main, GWLP_USERDATA, (LONG_PTR)header);
  g_staticProc = (WNDPROC)SetWindowLongPtrW(header, GWLP_WNDPROC, (LONG_PTR)HostHeaderProc);
  holder = CreateWindowExW(0, L"PxTestHolder", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 20, 600, 400,
                           main, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(main, SW_SHOW);
  Pump(20);
}
Host::~Host() {
  EndViewers();
  DestroyWindow(main);
  Pump(20);
}

static HMENU ListerMenu(int firstMenuItems) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  for (int i = 0; i < firstMenuItems; ++i) {
    wchar_t text[32];
    swprintf(text, 32, L"Item %d", i);
    AppendMenuW(file, MF_STRING, 100 + i, text);
  }
  AppendMenuW(bar, MF_POPUP, (UINT_PTR)file, L"&File");
  AppendMenuW(bar, MF_STRING, 200, L"&Edit");
  AppendMenuW(bar, MF_STRING, 201, L"&Options");
  return bar;
}

HWND Host::NewLister(bool quickView, int firstMenuItems) {
  HWND lister;
  if (quickView)
    lister = CreateWindowExW(0, L"PxTestLister", L"Lister", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 600, 400,
                             holder, nullptr, GetModuleHandleW(nullptr), nullptr);
  else
    lister = CreateWindowExW(0, L"PxTestLister", L"Lister", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100, 100, 640,
                             480, main, ListerMenu(firstMenuItems), GetModuleHandleW(nullptr), nullptr);
  if (!quickView) {
    // Owned by the main window (destroyed with it) but top-level: GetParent gives null.
    ShowWindow(lister, SW_SHOW);
  }
  Pump(20);
  return lister;
}

void Pump(DWORD milliseconds) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (milliseconds) MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount() - start < milliseconds);
}

// ---- the stand-in viewer's log ----

static std::wstring g_logPath;
std::wstring UseViewerLog() {
  g_logPath = TempDir() + L"viewer.log";
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", g_logPath.c_str());
  return g_logPath;
}
std::string ViewerLog() { return g_logPath.empty() ? "" : ReadFileBytes(g_logPath); }
bool ViewerLogHas(const std::string& line) {
  std::string log = "\n" + ViewerLog();
  std::string want = "\n" + line;
  for (size_t at = log.find(want); at != std::string::npos; at = log.find(want, at + 1)) {
    size_t end = at + want.size();
    if (end == log.size() || log[end] == '\n' || log[end] == '\r') return true;
  }
  return false;
}
bool WaitViewerLog(const std::string& line, DWORD timeoutMilliseconds) {
  return WaitFor([&] { return ViewerLogHas(line); }, timeoutMilliseconds);
}

// ---- viewer processes ----

template <class Each>
static int ForEachViewer(Each each) {
  int count = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, L"px_run64.exe") == 0) {
      ++count;
      each(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return count;
}
int CountViewers() {
  return ForEachViewer([](DWORD) {});
}
void EndViewers() {
  ForEachViewer([](DWORD id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (process) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  });
}

// ---- message boxes ----

static DWORD WINAPI WatchMessageBoxes(void* parameter) {
  MessageBoxWatcher* watcher = static_cast<MessageBoxWatcher*>(parameter);
  while (!watcher->stop) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner != GetCurrentProcessId()) continue;
      wchar_t text[1024] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 1024);  // the message box's static text
      if (text[0] == 0) continue;
      watcher->text = text;
      ++watcher->seen;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      Sleep(50);
    }
    Sleep(20);
  }
  return 0;
}
MessageBoxWatcher::MessageBoxWatcher() { thread = CreateThread(nullptr, 0, WatchMessageBoxes, this, 0, nullptr); }
MessageBoxWatcher::~MessageBoxWatcher() {
  stop = 1;
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
}

}  // namespace pxt

namespace pxt {

bool WriteSampleBmp(const std::wstring& path, int width, int height, COLORREF color) {
  int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + stride * height;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  std::string row(stride, '\0');
  for (int x = 0; x < width; ++x) {
    row[x * 3] = (char)GetBValue(color);
    row[x * 3 + 1] = (char)GetGValue(color);
    row[x * 3 + 2] = (char)GetRValue(color);
  }
  for (int y = 0; y < height; ++y) bytes += row;
  return WriteFileBytes(path, bytes);
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

}  // namespace pxt

namespace pxt {

HANDLE OpenViewerProcess() {
  HANDLE process = nullptr;
  ForEachViewer([&](DWORD id) {
    if (!process) process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  });
  return process;
}

}  // namespace pxt

namespace pxt {

static unsigned long long HashBytes(const std::string& bytes) {
  unsigned long long hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

static void Snapshot(const std::wstring& root, const std::wstring& relative, bool recursive, TreeSnapshot& out) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((root + relative + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    std::wstring path = relative + name;
    TreeEntry entry;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entry.folder = true;
      out[path + L"\\"] = entry;
      if (recursive) Snapshot(root, path + L"\\", recursive, out);
    } else {
      std::string bytes = ReadFileBytes(root + path);
      entry.size = ((unsigned long long)found.nFileSizeHigh << 32) | found.nFileSizeLow;
      entry.hash = HashBytes(bytes);
      out[path] = entry;
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

TreeSnapshot SnapshotTree(const std::wstring& dir, bool recursive) {
  TreeSnapshot out;
  Snapshot(dir, L"", recursive, out);
  return out;
}

std::string TreeChanges(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::string changes;
  for (const auto& [name, entry] : after) {
    auto old = before.find(name);
    if (old == before.end())
      changes += "+ " + Utf8(name) + "\n";
    else if (!(old->second == entry))
      changes += "~ " + Utf8(name) + "\n";
  }
  for (const auto& [name, entry] : before)
    if (after.find(name) == after.end()) changes += "- " + Utf8(name) + "\n";
  return changes;
}

std::wstring MakeFolderOfLength(const std::wstring& base, size_t units) {
  if (base.size() >= units) return L"";
  CreateDirectoryW(base.c_str(), nullptr);
  std::wstring dir = base;
  // Steps of at most 100 units of name and a backslash, the last one taking what is left.
  while (dir.size() < units) {
    size_t left = units - dir.size();  // name units plus the backslash
    size_t name = left - 1;
    if (name > 100) name = left - 1 > 200 ? 100 : (left - 1) / 2;
    if (name == 0) return L"";  // cannot happen: a step never leaves exactly 1
    dir += std::wstring(name, L'd') + L"\\";
    if (!CreateDirectoryW(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return L"";
  }
  return dir;
}

bool InstallPluginIn(const std::wstring& dir, bool withViewer) {
  bool ok = CopyFileW(BuiltPlugin().c_str(), (dir + L"Pixmorant.wlx64").c_str(), FALSE) != 0;
  if (withViewer) {
    CreateDirectoryW((dir + L"Pixmorant64").c_str(), nullptr);
    ok = CopyFileW(BuiltViewer().c_str(), (dir + L"Pixmorant64\\px_run64.exe").c_str(), FALSE) && ok;
  }
  return ok;
}

void RemoveFolderTree(const std::wstring& dir) { RemoveTree(dir); }

static BOOL CALLBACK CollectChild(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}
static BOOL CALLBACK CollectTop(HWND window, LPARAM list) {
  auto* windows = reinterpret_cast<std::vector<HWND>*>(list);
  windows->push_back(window);
  EnumChildWindows(window, CollectChild, list);  // every level below
  return TRUE;
}
static std::vector<HWND> AllWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> WindowsOfThisProcess() {
  std::vector<HWND> mine;
  for (HWND window : AllWindows()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) mine.push_back(window);
  }
  return mine;
}

int CountWindowsOfClass(const wchar_t* className) {
  int count = 0;
  for (HWND window : AllWindows())
    if (ClassOf(window) == className) ++count;
  return count;
}

ProcessObjects CountProcessObjects() {
  ProcessObjects objects;
  objects.user = (long)GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  objects.gdi = (long)GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles)) objects.handles = (long)handles;
  if (objects.user != 0 && objects.gdi != 0 && objects.handles != 0) return objects;

  objects.countedByHand = true;
  // USER handles carry their table index in the low word (in steps of 2 from 0x20); a zero
  // high word matches any generation. Menus of other processes are not ours to see.
  long menus = 0;
  for (ULONG_PTR value = 0x20; value < 0x10000; value += 2)
    if (IsMenu(reinterpret_cast<HMENU>(value))) ++menus;
  objects.user = (long)WindowsOfThisProcess().size() + menus;
  // GDI handles likewise: the low word is the index into the process's table.
  long gdi = 0;
  for (ULONG_PTR value = 0; value < 0x10000; ++value)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0) ++gdi;
  objects.gdi = gdi;
  long kernel = 0;
  DWORD flags = 0;
  for (ULONG_PTR value = 4; value < 0x40000; value += 4)
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++kernel;
  objects.handles = kernel;
  return objects;
}

}  // namespace pxt

namespace pxt {

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

static DWORD WINAPI PressArrow(void* parameter) {
  ArrowPresser* self = static_cast<ArrowPresser*>(parameter);
  for (int i = 0; i < 500 && !self->viewer; ++i) {
    self->viewer = OpenViewerProcess();
    Sleep(20);
  }
  Sleep(300);  // the load is in its wait by now
  for (int i = 0; i < 200 && !self->loadReturned; ++i) {
    keybd_event(VK_DOWN, 0, 0, 0);
    Sleep(50);
  }
  if (!self->loadReturned) {
    self->endedByForce = 1;
    EndViewers();
  }
  return 0;
}
ArrowPresser::ArrowPresser() { thread = CreateThread(nullptr, 0, PressArrow, this, 0, nullptr); }
ArrowPresser::~ArrowPresser() {
  loadReturned = 1;
  WaitForSingleObject(thread, 15000);
  CloseHandle(thread);
  keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
  if (viewer) CloseHandle(viewer);
}

}  // namespace pxt

namespace pxt {

DWORD ExitCodeOnceEnded(HANDLE process, DWORD timeoutMilliseconds) {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process, timeoutMilliseconds) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

}  // namespace pxt
