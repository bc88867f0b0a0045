// Bad input to a load, of every kind the host, the user or the viewer can give: over-long
// and unusual file names, over-long settings values, a plug-in folder at the limit of its
// paths, broken settings files, odd host colours and fonts, viewers that misbehave. Each
// leaves this process running, gives a window or null, shows its message boxes (which the
// watcher reads and closes), and writes no file apart from the plug-in's settings file on
// a first load and the viewer settings file that takes the Ghostscript keys.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace pxt;

// What a load gave, for the table printed at the end of each test.
struct Outcome {
  std::string input;
  std::string result;
};
void PrintTable(const char* title, const std::vector<Outcome>& rows) {
  std::printf("%s\n", title);
  for (const Outcome& row : rows) std::printf("  %-58s | %s\n", row.input.c_str(), row.result.c_str());
}

std::wstring Units(size_t count, wchar_t c = L'n') { return std::wstring(count, c); }

int CountLines(const std::string& log, const std::string& prefix) {
  int count = 0;
  std::string text = "\n" + log;
  for (size_t at = text.find("\n" + prefix); at != std::string::npos; at = text.find("\n" + prefix, at + 1)) ++count;
  return count;
}

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

struct BadInput : ::testing::Test {
  std::wstring root = TempDir();  // everything a test makes lies below
  std::wstring pluginDir;         // the plug-in folder in use
  Host host;
  std::wstring image;
  TreeSnapshot rootBefore, windowsBefore, currentBefore;
  std::vector<Outcome> rows;
  std::wstring openHeader;  // the Quick View header text while the last view was open

  void SetUp() override {
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
  void TearDown() override {
    for (const wchar_t* name : {L"COMMANDER_INI", L"GS_LIB", L"PX_VIEWER_EXIT", L"PX_VIEWER_NO_WINDOW",
                                L"PX_VIEWER_CLASS"})
      SetEnvironmentVariableW(name, nullptr);
    EndViewers();
    RemoveFolderTree(root);
  }

  std::wstring Settings() const { return pluginDir + L"pixmorant.ini"; }
  std::wstring ViewerSettings() const { return pluginDir + L"Pixmorant\\px_run64.ini"; }
  void Set(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(section, key, value.c_str(), Settings().c_str());
  }

  void Snapshot() {
    rootBefore = SnapshotTree(root);
    windowsBefore = WindowsInis();
    currentBefore = CurrentFolder();
  }
  // Changes since Snapshot, apart from the files named (paths relative to root).
  std::string Unexpected(const std::vector<std::wstring>& allowed = {}) {
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

  // One load through the plug-in in pluginDir. The result says what came of it; a window
  // is checked for its viewer and closed again, a null result for leaving nothing behind.
  std::string Load(const std::function<HWND(Plugin&, HWND)>& load, bool quickView = false) {
    Plugin plugin(pluginDir + L"Pixmorant.wlx64");
    if (!plugin.ListLoadW) return "library not loaded";
    HWND lister = host.NewLister(quickView);
    int startsBefore = CountLines(ViewerLog(), "start pid=");
    HWND container = load(plugin, lister);
    if (container) MoveWindow(container, 0, 0, 300, 200, TRUE);  // as the host sizes it
    Pump(150);  // the container's messages: caption and header painting
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
  std::string LoadW(const std::wstring& name, bool quickView = false) {
    return Load([&](Plugin& p, HWND lister) { return p.ListLoadW(lister, name.c_str(), 0); }, quickView);
  }
  void Row(const std::string& input, const std::string& result, int boxes = 0, const std::wstring& text = L"") {
    std::string shown = result;
    if (boxes) shown += ", " + std::to_string(boxes) + " message: \"" + Utf8(text.substr(0, 40)) + "...\"";
    rows.push_back({input, shown});
  }
};

const char* const kWindow = "window, viewer embedded";
const char* const kNull = "null, no viewer started";

// A file of exactly the given length in units, in nested folders below base.
std::wstring FileOfLength(const std::wstring& base, size_t units) {
  std::wstring dir = MakeFolderOfLength(base, units - 9);
  std::wstring path = dir + L"image.bmp";
  if (dir.empty() || !WriteSampleBmp(path, 8, 8, RGB(1, 2, 3))) return L"";
  return path;
}

TEST_F(BadInput, LongFileNamesLoadWholeOrNotAtAll) {
  LoadW(image);  // the first load creates pixmorant.ini; from here on nothing is written
  const std::vector<size_t> lengths = {259, 260, 300, 600, 2000};
  std::vector<std::wstring> names;
  for (size_t units : lengths) {
    names.push_back(FileOfLength(root + L"w" + std::to_wstring(units) + L"\\", units));
    ASSERT_EQ(units, names.back().size());
  }
  Snapshot();
  for (size_t n = 0; n < lengths.size(); ++n) {
    size_t units = lengths[n];
    const std::wstring& name = names[n];
    std::string result = LoadW(name);
    // A name that fits the command line reaches the viewer whole; a longer one is refused.
    EXPECT_EQ(units <= 500 ? kWindow : kNull, result) << units;
    if (units <= 500) { EXPECT_TRUE(ViewerLogHas("file=" + Utf8(name))) << units; }
    Row("ListLoadW, name of " + std::to_string(units) + " units", result);

    std::string narrow = Utf8(name);  // ASCII: as many bytes as units
    result = Load([&](Plugin& p, HWND lister) { return p.ListLoad(lister, &narrow[0], 0); });
    EXPECT_EQ(units <= 259 ? kWindow : kNull, result) << units;
    Row("ListLoad, 8-bit name of " + std::to_string(units) + " bytes", result);
  }
  EXPECT_EQ("", Unexpected());
  PrintTable("file names", rows);
}

TEST_F(BadInput, NamesOutsideTheBasicPlaneReachTheViewerAndTheCaption) {
  std::wstring name = root + L"\U0001F600 smile \U0001D11E.bmp";
  ASSERT_TRUE(WriteSampleBmp(name, 16, 16, RGB(9, 9, 9)));
  Snapshot();
  Plugin plugin(pluginDir + L"Pixmorant.wlx64");
  HWND lister = host.NewLister(false);
  HWND container = plugin.ListLoadW(lister, name.c_str(), 0);
  ASSERT_NE(nullptr, container);
  MoveWindow(container, 0, 0, 300, 200, TRUE);  // as the host sizes it: the caption follows
  EXPECT_TRUE(WaitViewerLog("file=" + Utf8(name), 3000)) << ViewerLog();
  EXPECT_TRUE(WaitFor([&] { return TitleOf(lister) == L"Lister (pixmorant) - [" + name + L"]"; }, 3000))
      << Utf8(TitleOf(lister));
  plugin.ListCloseWindow(container);
  DestroyWindow(lister);
  Row("ListLoadW, name with U+1F600 and U+1D11E, Lister", kWindow);
  Row("ListLoadW, same name, Quick View", LoadW(name, true));
  EXPECT_EQ(kWindow, rows.back().result);
  EXPECT_EQ(0u, openHeader.find(L"\U0001F600 smile \U0001D11E.bmp - pixmorant")) << Utf8(openHeader);
  EXPECT_EQ("", Unexpected({L"plugin\\pixmorant.ini"}));
  PrintTable("names outside the BMP", rows);
}

TEST_F(BadInput, LongSettingsValuesAreRefusedWholeAndTold) {
  // The viewer program named by a path of each length that names nothing: a message and
  // null, with the path shown as far as the message holds it.
  LoadW(image);
  Snapshot();
  for (size_t units : {259, 260, 1000}) {
    std::wstring missing = root + L"nothing\\";
    missing += Units(units - missing.size() - 4) + L".exe";
    Set(L"Pixmorant", L"path64", missing);
    Snapshot();
    MessageBoxWatcher watcher;
    std::string result = LoadW(image);
    EXPECT_TRUE(WaitFor([&] { return watcher.seen > 0; }, 2000));
    EXPECT_EQ(kNull, result) << units;
    EXPECT_EQ(0u, watcher.text.find(L"I can't find the ")) << Utf8(watcher.text);
    EXPECT_EQ(1, watcher.seen) << units;
    EXPECT_EQ("", Unexpected()) << units;
    Row("path64 of " + std::to_string(units) + " units, no such file", result, watcher.seen, watcher.text);
  }
  // A viewer program at a path of exactly 259 units starts.
  {
    std::wstring dir = MakeFolderOfLength(root + L"v\\", 259 - 11);
    std::wstring program = dir + L"px_run.exe";
    program.insert(program.size() - 4, L"6");  // px_run6.exe: 259 units in all
    ASSERT_EQ(259u, program.size());
    ASSERT_TRUE(CopyFileW(BuiltViewer().c_str(), program.c_str(), FALSE));
    Set(L"Pixmorant", L"path64", program);
    Snapshot();
    MessageBoxWatcher watcher;
    std::string result = LoadW(image);
    EXPECT_EQ(kWindow, result);
    EXPECT_EQ(0, watcher.seen) << Utf8(watcher.text);
    EXPECT_EQ("", Unexpected());
    Row("path64 of 259 units, the viewer is there", result, watcher.seen, watcher.text);
    Set(L"Pixmorant", L"path64", L"");
    WritePrivateProfileStringW(L"Pixmorant", L"path64", nullptr, Settings().c_str());
  }
  // Bar flags: a '1' at the last unit of a 259-unit value counts, one beyond the value's
  // 259 units is never seen.
  Set(L"Pixmorant", L"toolbarl", Units(258, L'0') + L"1");
  Set(L"Pixmorant", L"statusbarl", Units(999, L'0') + L"1");
  Set(L"Pixmorant", L"toolbarq", Units(260, L'x'));
  Snapshot();
  std::string result = LoadW(image);
  EXPECT_EQ(kWindow, result);
  EXPECT_TRUE(ViewerLogHas("cmdline= \"" + Utf8(image) + "\" /hide=2")) << ViewerLog();
  Row("toolbarl of 259, statusbarl of 1000 units", result + ", /hide=2");
  result = LoadW(image, true);
  EXPECT_EQ(kWindow, result);
  Row("toolbarq of 260 units, Quick View", result);
  EXPECT_EQ("", Unexpected());
  PrintTable("settings values", rows);
}

TEST_F(BadInput, GhostscriptPathsAndRedirectionAtTheirLimits) {
  LoadW(image);
  // The library's folder's parent may have 251 units: F, that parent and "\fonts\;", is
  // then 259. The whole path may have 259.
  std::wstring parent251 = MakeFolderOfLength(root + L"g\\", 252);  // 251 units and a backslash
  ASSERT_FALSE(parent251.empty());
  std::wstring parent = parent251.substr(0, 251);
  struct Case {
    std::string input;
    std::wstring library;
    bool handedOver;
  };
  const std::vector<Case> cases = {
      {"GS path of 259 units, parent of its folder 251", parent + L"\\b\\g.dll", true},
      {"GS path of 259 units, parent of its folder 252", parent + L"x\\b\\g.dl", false},
      {"GS path of 260 units", parent + L"x\\b\\g.dll", false},
      {"GS path of 1000 units", parent + L"\\" + Units(744) + L".dll", false},
  };
  for (const Case& c : cases) {
    Set(L"Ghostscript", L"path64", c.library);
    DeleteFileW(ViewerSettings().c_str());
    SetEnvironmentVariableW(L"GS_LIB", L"before");
    Snapshot();
    std::string result = LoadW(image);
    EXPECT_EQ(kWindow, result) << c.input;
    wchar_t gsLib[4096] = {};
    GetEnvironmentVariableW(L"GS_LIB", gsLib, 4096);  // the close removes it after a hand-over
    if (c.handedOver) {
      EXPECT_EQ("", Unexpected({L"plugin\\Pixmorant\\", L"plugin\\Pixmorant\\px_run64.ini"})) << c.input;
      EXPECT_TRUE(ViewerLogHas("gs_dll=" + Utf8(c.library))) << ViewerLog();
      EXPECT_TRUE(ViewerLogHas("gs_lib=" + Utf8(parent + L"\\b\\;" + parent + L"\\fonts\\;" + parent + L"\\lib\\")));
      Row(c.input, result + ", handed over");
    } else {
      EXPECT_EQ("", Unexpected()) << c.input;
      EXPECT_TRUE(ViewerLogHas("gs_lib=before")) << c.input;
      Row(c.input, result + ", not handed over, GS_LIB kept");
    }
  }

  // The redirected viewer settings file: INI_Folder of 246 units fits, 247 does not.
  Set(L"Ghostscript", L"path64", root + L"gs\\bin\\gsdll64.dll");
  for (size_t units : {246, 247}) {
    std::wstring folder = MakeFolderOfLength(root + L"r\\", units + 1);
    ASSERT_FALSE(folder.empty());
    folder.pop_back();
    CreateDirectoryW((pluginDir + L"Pixmorant").c_str(), nullptr);
    DeleteFileW(ViewerSettings().c_str());
    WritePrivateProfileStringW(L"Others", L"INI_Folder", folder.c_str(), ViewerSettings().c_str());
    SetEnvironmentVariableW(L"GS_LIB", L"before");
    Snapshot();
    std::string result = LoadW(image);
    EXPECT_EQ(kWindow, result) << units;
    std::wstring target = folder + L"\\px_run64.ini";
    if (units == 246) {
      EXPECT_EQ("", Unexpected({target.substr(root.size())})) << units;
      EXPECT_TRUE(FileExists(target));
      Row("INI_Folder of 246 units", result + ", keys written there");
    } else {
      EXPECT_EQ("", Unexpected()) << units;
      Row("INI_Folder of 247 units", result + ", nothing written, GS_LIB kept");
    }
  }
  PrintTable("Ghostscript hand-over", rows);
}

TEST_F(BadInput, PluginFolderAtTheLimitOfItsPaths) {
  // 235 units: the default viewer, 259 units, fits. 236: it does not, and nothing of the
  // folder is used. 245: the library's own path has 260 units.
  for (size_t units : {235, 236, 245}) {
    pluginDir = MakeFolderOfLength(root + L"p\\", units);
    ASSERT_EQ(units, pluginDir.size());
    ASSERT_TRUE(InstallPluginIn(pluginDir));
    CreateDirectoryW((pluginDir + L"Pixmorant").c_str(), nullptr);
    Snapshot();
    MessageBoxWatcher watcher;
    std::string result = LoadW(image);
    WaitFor([&] { return watcher.seen > 0 || units == 235; }, 1000);
    std::string input = "plug-in folder of " + std::to_string(units) + " units";
    if (units == 235) {
      EXPECT_EQ(kWindow, result);
      EXPECT_EQ(0, watcher.seen) << Utf8(watcher.text);
      EXPECT_EQ("", Unexpected({Settings().substr(root.size())}));
    } else {
      EXPECT_TRUE(result == kNull || result == "library not loaded") << result;
      if (result == kNull) { EXPECT_EQ(0u, watcher.text.find(L"I can't find the ")) << Utf8(watcher.text); }
      EXPECT_EQ("", Unexpected());
    }
    Row(input, result, watcher.seen, watcher.text);
  }
  PrintTable("plug-in folder", rows);
}

TEST_F(BadInput, BrokenSettingsFilesAreReadNeverRewritten) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += (char)((i * 7919 + 13) & 0xFF);
  garbage.replace(100, 30, "\r\n[Pixmorant]\r\npath64=\0\xFF\r\n", 26);
  struct Case {
    std::string input;
    std::function<void()> make;
  };
  const std::vector<Case> cases = {
      {"pixmorant.ini of binary garbage", [&] { WriteFileBytes(Settings(), garbage); }},
      {"pixmorant.ini empty", [&] { WriteFileBytes(Settings(), ""); }},
      {"pixmorant.ini a folder", [&] { CreateDirectoryW(Settings().c_str(), nullptr); }},
      {"pixmorant.ini UTF-16 with a 2000-unit line",
       [&] { WriteFileBytes(Settings(), "\xFF\xFE" + std::string(4000, 'a') + std::string("\r\0\n\0", 4)); }},
  };
  for (const Case& c : cases) {
    DeleteFileW(Settings().c_str());
    RemoveDirectoryW(Settings().c_str());
    c.make();
    Snapshot();
    MessageBoxWatcher watcher;
    std::string result = LoadW(image);
    Pump(100);
    // Whatever the file holds, the load ends with the default viewer or with a message.
    EXPECT_TRUE(result == kWindow || (result == kNull && watcher.seen == 1)) << c.input << ": " << result;
    EXPECT_EQ("", Unexpected()) << c.input;
    Row(c.input, result + ", file unchanged", watcher.seen, watcher.text);
  }
  DeleteFileW(Settings().c_str());
  RemoveDirectoryW(Settings().c_str());
  PrintTable("plug-in settings file", rows);
}

TEST_F(BadInput, HostSettingsOfEveryOddKind) {
  LoadW(image);
  std::wstring hostDir = root + L"host\\";
  CreateDirectoryW(hostDir.c_str(), nullptr);
  std::wstring hostIni = hostDir + L"wincmd.ini";
  std::string digits259(259, '9');
  std::string face300(300, 'F');
  struct Case {
    std::string input;
    std::wstring variable;  // COMMANDER_INI; empty: unset
    std::string contents;   // written to hostIni first, when non-empty
  };
  const std::wstring longName = hostDir + Units(300 - hostDir.size() - 4) + L".ini";
  const std::vector<Case> cases = {
      {"COMMANDER_INI unset", L"", ""},
      {"COMMANDER_INI naming a missing file", hostDir + L"missing.ini", ""},
      {"COMMANDER_INI naming a folder", hostDir, ""},
      {"COMMANDER_INI of 300 units", longName, ""},
      {"DarkMode=1, colours -1, 2^70, letters, ' 12'", hostIni,
       "[Configuration]\r\nDarkMode=1\r\n[Colors]\r\nActiveTitle=-1\r\nActiveTitleText=99999999999999999999999\r\n"
       "InactiveTitle=abc\r\nInactiveTitleText= 12\r\n[Lister]\r\nMaximized=1\r\n"},
      {"DarkMode=2, empty colours, size 0, weight -1, face of 31", hostIni,
       "[Configuration]\r\nDarkMode=2\r\n[ColorsDark]\r\nActiveTitle=\r\n[AllResolutions]\r\nFontSizeWindow=0\r\n"
       "FontWeightWindow=-1\r\nFontNameWindow=" + std::string(31, 'f') + "\r\n"},
      {"DarkMode=3, size 2^31-1, weight 10^8, face of 32", hostIni,
       "[Configuration]\r\nDarkMode=3\r\nUseNewDefFont=1\r\n[AllResolutions]\r\nFontSizeWindow=2147483647\r\n"
       "FontWeightWindow=100000000\r\nFontNameWindow=" + std::string(32, 'f') + "\r\n"},
      {"size -2^31, colours of 259 digits, face of 300", hostIni,
       "[Colors]\r\nActiveTitle=" + digits259 + "\r\nInactiveTitle=-" + digits259 +
           "\r\n[AllResolutions]\r\nFontSizeWindow=-2147483648\r\nFontNameWindow=" + face300 + "\r\n"},
      {"RedirectSection: missing file, a folder", hostIni,
       "[Colors]\r\nRedirectSection=" + Utf8(hostDir) + "none.ini\r\n[AllResolutions]\r\nRedirectSection=" +
           Utf8(hostDir) + "\r\n"},
      {"RedirectSection: undefined %NAME%, 300 units", hostIni,
       "[Colors]\r\nRedirectSection=%PX_UNDEFINED%\\x.ini\r\n[AllResolutions]\r\nRedirectSection=" +
           Utf8(longName) + "\r\n"},
      {"RedirectSection back to the settings file itself", hostIni,
       "[Colors]\r\nRedirectSection=" + Utf8(hostIni) + "\r\nActiveTitle=255\r\n[AllResolutions]\r\n"
       "RedirectSection=" + Utf8(hostIni) + "\r\n"},
      {"host settings of binary garbage", hostIni, std::string("\xFF\xFE[\0C\0o\0", 8) + std::string(3000, '\x81')},
  };
  for (const Case& c : cases) {
    if (!c.contents.empty()) { ASSERT_TRUE(WriteFileBytes(hostIni, c.contents)); }
    SetEnvironmentVariableW(L"COMMANDER_INI", c.variable.empty() ? nullptr : c.variable.c_str());
    Snapshot();
    std::string lister = LoadW(image, false);
    SetWindowTextW(host.header, L"");
    std::string quick = LoadW(image, true);
    EXPECT_EQ(kWindow, lister) << c.input;
    EXPECT_EQ(kWindow, quick) << c.input;
    // The header was written and painted in this process (the container's caption calls).
    EXPECT_EQ(0u, openHeader.find(L"red.bmp - pixmorant")) << c.input;
    EXPECT_EQ("", Unexpected()) << c.input;  // the host's files are only read
    Row(c.input, "Lister: " + lister + "; Quick View: " + quick);
  }
  PrintTable("host settings", rows);
}

TEST_F(BadInput, MisbehavingViewers) {
  LoadW(image);
  Snapshot();
  {
    SetEnvironmentVariableW(L"PX_VIEWER_EXIT", L"1");
    HWND lister = host.NewLister(false);
    Plugin plugin(pluginDir + L"Pixmorant.wlx64");
    DWORD start = GetTickCount();
    HWND container = plugin.ListLoadW(lister, image.c_str(), 0);
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(nullptr, container);
    EXPECT_LT(took, 5000u);
    EXPECT_TRUE(IsWindow(lister));
    EXPECT_EQ(nullptr, FindWindowExW(lister, nullptr, L"Pixmorant", nullptr));
    EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 3000));
    Row("viewer exits at once", std::string(container ? "window" : "null") + " after " + std::to_string(took) +
                                    " ms, Lister kept");
    DestroyWindow(lister);
    SetEnvironmentVariableW(L"PX_VIEWER_EXIT", nullptr);
  }
  for (const wchar_t* variable : {L"PX_VIEWER_NO_WINDOW", L"PX_VIEWER_CLASS"}) {
    bool other = wcscmp(variable, L"PX_VIEWER_CLASS") == 0;
    SetEnvironmentVariableW(variable, other ? L"Other" : L"1");
    HWND lister = host.NewLister(false);
    Plugin plugin(pluginDir + L"Pixmorant.wlx64");
    HWND container;
    HANDLE viewer;
    bool forced;
    {
      ArrowPresser presser;
      container = plugin.ListLoadW(lister, image.c_str(), 0);
      presser.loadReturned = 1;
      WaitForSingleObject(presser.thread, 15000);
      viewer = presser.viewer;
      presser.viewer = nullptr;
      forced = presser.endedByForce != 0;
    }
    EXPECT_FALSE(forced) << "the wait did not end on the arrow key";
    EXPECT_EQ(nullptr, container);
    EXPECT_FALSE(IsWindow(lister));
    ASSERT_NE(nullptr, viewer);
    DWORD code = ExitCodeOnceEnded(viewer);
    EXPECT_EQ(0u, code);  // ended, and with exit code 0
    EXPECT_EQ(0, CountWindowsOfClass(other ? L"Other" : L"Pixmorant"));
    Row(other ? "viewer window of class \"Other\"" : "viewer never creates a window",
        std::string(container ? "window" : "null") + (forced ? " only after the viewer was killed" : " on Down") +
            ", viewer ended, exit code " + std::to_string(code));
    SetEnvironmentVariableW(variable, nullptr);
  }
  EXPECT_EQ("", Unexpected());
  PrintTable("misbehaving viewers", rows);
}

}  // namespace

namespace {

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

// The load waits for the started viewer's window by asking for the first top-level window
// of the class "Pixmorant". A viewer window already on the desktop must not keep the load
// waiting, nor be taken for the new one.
void LoadBesideStandalone(BadInput& t, bool onTop) {
  t.LoadW(t.image);
  t.Snapshot();
  StandaloneViewer standalone(t.image);
  ASSERT_NE(nullptr, standalone.window);
  if (onTop) SetWindowPos(standalone.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  Pump(200);
  Plugin plugin(t.pluginDir + L"Pixmorant.wlx64");
  HWND lister = t.host.NewLister(false);
  HWND container;
  bool pressed;
  DWORD start = GetTickCount();
  {
    LatePresser presser;
    container = plugin.ListLoadW(lister, t.image.c_str(), 0);
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
  t.Row(input, std::string(container ? "window" : "null") + " after " + std::to_string(took) + " ms" +
                   (pressed ? ", only once Down was pressed" : ""));
  if (IsWindow(lister)) DestroyWindow(lister);
  EXPECT_EQ("", t.Unexpected());
  PrintTable("a viewer already running", t.rows);
}

TEST_F(BadInput, AViewerWindowAlreadyOnTheDesktop) { LoadBesideStandalone(*this, false); }

// Another viewer's window kept first among the top-level windows: the wait must still find
// the started viewer's window behind it, instead of holding the host's thread until an
// arrow key ends the load and the Lister window with it.
TEST_F(BadInput, AViewerWindowAlwaysOnTopOfTheDesktop) { LoadBesideStandalone(*this, true); }

}  // namespace
