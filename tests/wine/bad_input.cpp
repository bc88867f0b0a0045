// The bad-input fixture: one load at a time, its outcome as a table row, and the files
// written where they should not be.
#include "bad_input.h"

#include <cstdio>
#include <cwchar>

namespace bad_input {

namespace {

// The ini files of the Windows folder, where a profile write of a relative or cut name
// would land.
TreeSnapshot WindowsInis() {
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  TreeSnapshot all = SnapshotTree(std::wstring(windows) + L"\\", false), inis;
  for (const auto& [name, entry] : all)
    if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".ini") == 0) inis[name] = entry;
  return inis;
}
TreeSnapshot CurrentFolder() {
  wchar_t current[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, current);
  std::wstring dir = current;
  if (dir.empty() || dir.back() != L'\\') dir += L'\\';
  return SnapshotTree(dir, false);
}

// A viewer the user started on their own, its window on the desktop before the load.
struct StandaloneViewer {
  PROCESS_INFORMATION process = {};
  HWND window = nullptr;
  explicit StandaloneViewer(const std::wstring& image) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring line = L"px_run64.exe \"" + image + L"\"";
    if (!CreateProcessW(BuiltViewer().c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
      return;
    WaitFor([&] { return (window = FindWindowW(L"Pixmorant", nullptr)) != nullptr; }, 5000);
  }
  ~StandaloneViewer() {
    if (!process.hProcess) return;
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
};

// Presses Down only after a long delay, unless the load has returned by then: a load that
// ends before it did not need the key.
struct LatePresser {
  volatile LONG loadReturned = 0;
  volatile LONG pressed = 0;
  HANDLE thread = nullptr;
  static DWORD WINAPI Run(void* parameter) {
    LatePresser* self = static_cast<LatePresser*>(parameter);
    for (int i = 0; i < 160 && !self->loadReturned; ++i) Sleep(50);
    while (!self->loadReturned) {
      self->pressed = 1;
      keybd_event(VK_DOWN, 0, 0, 0);
      Sleep(50);
    }
    return 0;
  }
  LatePresser() { thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
  ~LatePresser() {
    loadReturned = 1;
    WaitForSingleObject(thread, 15000);
    CloseHandle(thread);
    if (pressed) keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
  }
};

}  // namespace

void PrintTable(const char* title, const std::vector<Outcome>& rows) {
  std::printf("%s\n", title);
  for (const Outcome& row : rows) std::printf("  %-58s | %s\n", row.input.c_str(), row.result.c_str());
}

void BadInput::SetUp() {
  image = root + L"red.bmp";
  ASSERT_TRUE(WriteSampleBmp(image, 32, 24, RGB(200, 30, 30)));
  UseViewerLog();  // in a folder of its own, outside root
  SetEnvironmentVariableW(L"COMMANDER_INI", nullptr);
  SetEnvironmentVariableW(L"GS_LIB", nullptr);
  pluginDir = root + L"plugin\\";
  CreateDirectoryW(pluginDir.c_str(), nullptr);
  ASSERT_TRUE(InstallPluginIn(pluginDir));
  CreateDirectoryW((pluginDir + L"Pixmorant").c_str(), nullptr);  // the viewer's settings folder
}

void BadInput::TearDown() {
  for (const wchar_t* name :
       {L"COMMANDER_INI", L"GS_LIB", L"PX_VIEWER_EXIT", L"PX_VIEWER_NO_WINDOW", L"PX_VIEWER_CLASS"})
    SetEnvironmentVariableW(name, nullptr);
  EndViewers();
  RemoveFolderTree(root);
}

void BadInput::Snapshot() {
  rootBefore = SnapshotTree(root);
  windowsBefore = WindowsInis();
  currentBefore = CurrentFolder();
}

std::string BadInput::Unexpected(const std::vector<std::wstring>& allowed) {
  std::string changes = TreeChanges(rootBefore, SnapshotTree(root));
  std::string left;
  size_t at = 0;
  while (at < changes.size()) {
    size_t end = changes.find('\n', at);
    std::string line = changes.substr(at, end - at);
    at = end + 1;
    bool ok = false;
    for (const std::wstring& name : allowed) ok = ok || line.substr(2) == Utf8(name);
    if (!ok) left += line + "\n";
  }
  left += TreeChanges(windowsBefore, WindowsInis());
  left += TreeChanges(currentBefore, CurrentFolder());
  return left;
}

std::string BadInput::Load(const std::function<HWND(Plugin&, HWND)>& load, bool quickView) {
  Plugin plugin(pluginDir + L"Pixmorant.wlx64");
  if (!plugin.ListLoadW) return "library not loaded";
  HWND lister = host.NewLister(quickView);
  int startsBefore = CountLines(ViewerLog(), "start pid=");
  HWND container = load(plugin, lister);
  if (container) MoveWindow(container, 0, 0, 300, 200, TRUE);  // as the host sizes it
  Pump(150);                                                   // the container's messages: caption and header painting
  std::string result;
  if (container) {
    openHeader = TitleOf(host.header);
    HWND viewer = ViewerOf(container);
    result = viewer && ClassOf(viewer) == L"Pixmorant" && GetParent(container) == lister ? "window, viewer embedded"
                                                                                         : "window WITHOUT viewer";
    if (plugin.ListCloseWindow(container) != 1) result += ", close FAILED";
  } else {
    bool started = CountLines(ViewerLog(), "start pid=") > startsBefore;
    result = started ? "null (viewer started)" : "null, no viewer started";
    if (IsWindow(lister) && FindWindowExW(lister, nullptr, L"Pixmorant", nullptr)) result += ", container LEFT";
  }
  if (!WaitFor([] { return CountViewers() == 0; }, 5000)) result += ", viewer LEFT RUNNING";
  if (IsWindow(lister)) DestroyWindow(lister);
  Pump(20);
  return result;
}

void BadInput::Row(const std::string& input, const std::string& result, int boxes, const std::wstring& text) {
  std::string shown = result;
  if (boxes) shown += ", " + std::to_string(boxes) + " message: \"" + Utf8(text.substr(0, 40)) + "...\"";
  rows.push_back({input, shown});
}

// The load waits for the started viewer's window by asking for the first top-level window
// of the class "Pixmorant".
void BadInput::LoadBesideStandalone(bool onTop) {
  LoadW(image);
  Snapshot();
  StandaloneViewer standalone(image);
  ASSERT_NE(nullptr, standalone.window);
  if (onTop) SetWindowPos(standalone.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump(200);
  Plugin plugin(pluginDir + L"Pixmorant.wlx64");
  HWND lister = host.NewLister(false);
  HWND container;
  bool pressed;
  DWORD start = GetTickCount();
  {
    LatePresser presser;
    container = plugin.ListLoadW(lister, image.c_str(), 0);
    presser.loadReturned = 1;
    WaitForSingleObject(presser.thread, 15000);
    pressed = presser.pressed != 0;
  }
  DWORD took = GetTickCount() - start;
  std::string input = onTop ? "a standalone viewer window, always on top" : "a standalone viewer window";
  EXPECT_FALSE(pressed) << input << ": the load waited until Down was pressed (" << took << " ms)";
  EXPECT_NE(nullptr, container) << input;
  if (container) {
    EXPECT_NE(standalone.window, ViewerOf(container)) << input;
    EXPECT_EQ(nullptr, GetParent(standalone.window)) << input;
    plugin.ListCloseWindow(container);
  }
  EXPECT_TRUE(IsWindow(standalone.window)) << input;
  Row(input, std::string(container ? "window" : "null") + " after " + std::to_string(took) + " ms" +
                 (pressed ? ", only once Down was pressed" : ""));
  if (IsWindow(lister)) DestroyWindow(lister);
  EXPECT_EQ("", Unexpected());
  PrintTable("a viewer already running", rows);
}

}  // namespace bad_input
