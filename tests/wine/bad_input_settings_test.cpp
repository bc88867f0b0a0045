// Bad input: the plug-in's settings values at and past their limits, the Ghostscript
// hand-over at its limits, a plug-in folder at the limit of its paths, and broken
// settings files.
#include "bad_input.h"

namespace {

using namespace bad_input;

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
    EXPECT_TRUE(WaitFor([&] { return watcher.Seen() > 0; }, 2000));
    EXPECT_EQ(kNull, result) << units;
    EXPECT_EQ(0u, watcher.Text().find(L"I can't find the ")) << Utf8(watcher.Text());
    EXPECT_EQ(1, watcher.Seen()) << units;
    EXPECT_EQ("", Unexpected()) << units;
    Row("path64 of " + std::to_string(units) + " units, no such file", result, watcher.Seen(), watcher.Text());
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
    EXPECT_EQ(0, watcher.Seen()) << Utf8(watcher.Text());
    EXPECT_EQ("", Unexpected());
    Row("path64 of 259 units, the viewer is there", result, watcher.Seen(), watcher.Text());
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
    WaitFor([&] { return watcher.Seen() > 0 || units == 235; }, 1000);
    std::string input = "plug-in folder of " + std::to_string(units) + " units";
    if (units == 235) {
      EXPECT_EQ(kWindow, result);
      EXPECT_EQ(0, watcher.Seen()) << Utf8(watcher.Text());
      EXPECT_EQ("", Unexpected({Settings().substr(root.size())}));
    } else {
      EXPECT_TRUE(result == kNull || result == "library not loaded") << result;
      if (result == kNull) {
        EXPECT_EQ(0u, watcher.Text().find(L"I can't find the ")) << Utf8(watcher.Text());
      }
      EXPECT_EQ("", Unexpected());
    }
    Row(input, result, watcher.Seen(), watcher.Text());
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
    EXPECT_TRUE(result == kWindow || (result == kNull && watcher.Seen() == 1)) << c.input << ": " << result;
    EXPECT_EQ("", Unexpected()) << c.input;
    Row(c.input, result + ", file unchanged", watcher.Seen(), watcher.Text());
  }
  DeleteFileW(Settings().c_str());
  RemoveDirectoryW(Settings().c_str());
  PrintTable("plug-in settings file", rows);
}

}  // namespace
