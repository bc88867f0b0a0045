// Leaks and written files: the objects this process holds, the windows left on the
// desktop, and snapshots of folder trees.
#include "harness.h"

#include <cstdio>

namespace pxt {

namespace {

unsigned long long HashBytes(const std::string& bytes) {
  unsigned long long hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

void Snapshot(const std::wstring& root, const std::wstring& relative, bool recursive, TreeSnapshot& out) {
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

BOOL CALLBACK CollectChild(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}
BOOL CALLBACK CollectTop(HWND window, LPARAM list) {
  auto* windows = reinterpret_cast<std::vector<HWND>*>(list);
  windows->push_back(window);
  EnumChildWindows(window, CollectChild, list);  // every level below
  return TRUE;
}
std::vector<HWND> AllWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

}  // namespace

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

std::vector<HWND> WindowsOfProcess(DWORD processId) {
  std::vector<HWND> windows;
  for (HWND window : AllWindows()) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) windows.push_back(window);
  }
  return windows;
}
std::vector<HWND> WindowsOfThisProcess() { return WindowsOfProcess(GetCurrentProcessId()); }

namespace {

void DescribeWindow(HWND window, int depth, std::string& out) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  RECT r = {};
  GetWindowRect(window, &r);
  char line[160];
  snprintf(line, sizeof line, "%*s%p pid %lu %s style %08lx (%ld,%ld)-(%ld,%ld) ", depth * 2, "", (void*)window, owner,
           IsWindowVisible(window) ? "shown " : "hidden", GetWindowLongW(window, GWL_STYLE), r.left, r.top, r.right,
           r.bottom);
  out += line + Utf8(L"[" + ClassOf(window) + L"] \"" + TitleOf(window) + L"\"\n");
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    DescribeWindow(child, depth + 1, out);
}

}  // namespace

std::string WindowTree() {
  std::string out;
  for (HWND top = GetTopWindow(nullptr); top; top = GetWindow(top, GW_HWNDNEXT)) DescribeWindow(top, 0, out);
  GUITHREADINFO input = {};
  input.cbSize = sizeof input;
  GetGUIThreadInfo(0, &input);
  char line[120];
  snprintf(line, sizeof line, "foreground %p, its focus %p\n", (void*)GetForegroundWindow(), (void*)input.hwndFocus);
  return out + line;
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
  for (ULONG_PTR value = 0; value < 0x10000; ++value) {
    DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(value));
    if (type != 0) ++gdi;
    if (type == OBJ_DC) ++objects.deviceContexts;
  }
  objects.gdi = gdi;
  long kernel = 0;
  DWORD flags = 0;
  for (ULONG_PTR value = 4; value < 0x40000; value += 4)
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++kernel;
  objects.handles = kernel;
  return objects;
}

}  // namespace pxt
