// The plug-in's settings file and the viewer it names, with real profile files, the
// environment and real binary types: every load here is one the host could make.
#include <gtest/gtest.h>

#include "config_support.h"

namespace {

using namespace pxt;
using cfgt::Load;

const std::string kStarted = " \"C:\\pics\\a b.jpg\" /hide=3";

TEST(SettingsFile, FirstLoadCreatesTheTwoEmptySectionsSilently) {
  PluginFolder folder(false);
  cfgt::InstallDefaultViewer(folder.dir);
  Load load(folder.dir);
  EXPECT_EQ(0, load.messages);
  EXPECT_EQ((std::vector<std::string>{"[Pixmorant]", "[Ghostscript]"}),
            cfgt::Lines(ReadFileBytes(folder.Path(L"pixmorant.ini"))));
  // The default viewer was started: the load got past the configuration.
  EXPECT_EQ(kStarted, load.Probed("cmdline"));
}

TEST(SettingsFile, ALaterLoadLeavesAnExistingFileByteForByte) {
  for (const std::string& held :
       {std::string(), std::string("[Other]\r\nkey=value\r\n"), std::string("[Pixmorant]\r\n\r\n[Ghostscript]\r\n")}) {
    PluginFolder folder(false);
    cfgt::InstallDefaultViewer(folder.dir);
    ASSERT_TRUE(WriteFileBytes(folder.Path(L"pixmorant.ini"), held));
    Load load(folder.dir);
    EXPECT_EQ(0, load.messages);
    EXPECT_EQ(held, ReadFileBytes(folder.Path(L"pixmorant.ini")));
    EXPECT_EQ(kStarted, load.Probed("cmdline"));
  }
}

TEST(SettingsFile, OneThatCannotBeCreatedIsReportedAndTheDefaultsServe) {
  // The folder's pixmorant.ini is a dangling symbolic link: no attributes, and CREATE_NEW
  // finds the name taken.
  std::wstring dir = cfgt::UnwritableDir();
  ASSERT_FALSE(FileExists(dir + L"pixmorant.ini"));
  ASSERT_TRUE(CopyFileW(BuiltPlugin().c_str(), (dir + L"Pixmorant.wlx64").c_str(), FALSE));
  cfgt::InstallDefaultViewer(dir);
  {
    Load load(dir);
    EXPECT_EQ(1, load.messages);
    EXPECT_EQ(
        L"I can't create a file pixmorant.ini. Default paths will be used  Pixmorant\\px_run32.exe, "
        L"Pixmorant64\\px_run64.exe",
        load.message);
    EXPECT_EQ(kStarted, load.Probed("cmdline"));
  }
  DeleteFileW((dir + L"Pixmorant64\\px_run64.exe").c_str());
  DeleteFileW((dir + L"Pixmorant.wlx64").c_str());
}

// A load that stops at the viewer location: the message, a null result, no container and
// no viewer started.
void ExpectNotFound(const Load& load, const std::wstring& shownPath) {
  EXPECT_EQ(nullptr, load.result);
  EXPECT_EQ(1, load.messages);
  EXPECT_EQ(L"I can't find the " + shownPath + L" in the path specified in the file pixmorant.ini", load.message);
  EXPECT_FALSE(load.containerLeft);
  EXPECT_EQ("(not started)", load.Probed("cmdline"));
  EXPECT_EQ(0, CountViewers());
}

TEST(ViewerLocation, AMissingDefaultViewerIsNamedInFull) {
  PluginFolder folder(false);
  Load load(folder.dir);
  ExpectNotFound(load, folder.Path(L"Pixmorant64\\px_run64.exe"));
  // The settings file created before the viewer was looked for stays.
  EXPECT_TRUE(FileExists(folder.Path(L"pixmorant.ini")));
}

// The box shows while the load runs on the host's thread and takes the host's messages:
// task-modal, it keeps the thread's top-level windows disabled meanwhile, so that no other
// load can start inside this one, and they are enabled again once it is closed, the one
// that was active before active again; when that one has gone meanwhile, the Lister window.
TEST(ViewerLocation, WhileTheMessageIsUpTheHostsWindowsAreDisabled) {
  PluginFolder folder(false);
  Host& host = cfgt::SharedHost();
  RegisterTestClass(L"PxGoneWindow", DefWindowProcW);
  for (bool activeGoes : {false, true}) {
    HWND lister = host.NewLister(false);
    HWND active = activeGoes ? CreateWindowW(L"PxGoneWindow", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                             nullptr, nullptr, nullptr, nullptr)
                             : lister;
    SetForegroundWindow(active);
    ASSERT_TRUE(WaitFor([&] { return GetActiveWindow() == active; }, 2000));
    MessageBoxWatcher::Options options;
    options.keptDisabled = {host.main, lister};
    if (activeGoes) options.closedWhileUp = active;
    HWND result = nullptr;
    int seen = 0, enabledWhileUp = 0;
    {
      MessageBoxWatcher watcher(options);
      Plugin plugin(folder.Path(L"Pixmorant.wlx64"));
      result = plugin.ListLoadW(lister, L"C:\\pics\\a.jpg", 0);
      seen = watcher.Seen();
      enabledWhileUp = watcher.EnabledWhileUp();
    }
    EXPECT_EQ(nullptr, result);
    EXPECT_EQ(1, seen);
    EXPECT_EQ(0, enabledWhileUp);
    EXPECT_TRUE(IsWindowEnabled(host.main));
    EXPECT_TRUE(IsWindowEnabled(lister));
    EXPECT_EQ(activeGoes, !IsWindow(active));
    EXPECT_EQ(lister, GetForegroundWindow()) << activeGoes;
    DestroyWindow(lister);
  }
}

TEST(ViewerLocation, Path64IsExpandedWhenItsVariableIsDefined) {
  PluginFolder folder(false);
  std::wstring tools = TempDir();
  CopyFileW(cfgt::Probe64().c_str(), (tools + L"tool.exe").c_str(), FALSE);
  SetEnvironmentVariableW(L"PX_CFG_TOOLS", tools.c_str());
  cfgt::WriteSetting(folder.Path(L"pixmorant.ini"), L"Pixmorant", L"path64", L"%PX_CFG_TOOLS%tool.exe");
  Load load(folder.dir);
  EXPECT_EQ(0, load.messages);
  EXPECT_EQ(kStarted, load.Probed("cmdline"));
  SetEnvironmentVariableW(L"PX_CFG_TOOLS", nullptr);
}

TEST(ViewerLocation, AnUndefinedVariableStaysAsWrittenAndAnEmptyPath64FindsNothing) {
  PluginFolder folder(true);  // the default viewer is there, and must not be taken instead
  SetEnvironmentVariableW(L"PX_CFG_UNDEFINED", nullptr);
  cfgt::WriteSetting(folder.Path(L"pixmorant.ini"), L"Pixmorant", L"path64", L"%PX_CFG_UNDEFINED%\\tool.exe");
  {
    Load load(folder.dir);
    ExpectNotFound(load, L"%PX_CFG_UNDEFINED%\\tool.exe");
  }
  cfgt::WriteSetting(folder.Path(L"pixmorant.ini"), L"Pixmorant", L"path64", L"");
  Load load(folder.dir);
  ExpectNotFound(load, L"");
}

TEST(ViewerLocation, APathTooLongForItsBufferIsNeverTriedCut) {
  PluginFolder folder(true);
  // The expansion would need more than 260 units: reported with the text as configured.
  SetEnvironmentVariableW(L"PX_CFG_LONG", (L"C:\\" + std::wstring(300, L'x')).c_str());
  cfgt::WriteSetting(folder.Path(L"pixmorant.ini"), L"Pixmorant", L"path64", L"%PX_CFG_LONG%\\a.exe");
  {
    Load load(folder.dir);
    ExpectNotFound(load, L"%PX_CFG_LONG%\\a.exe");
  }
  SetEnvironmentVariableW(L"PX_CFG_LONG", nullptr);
  // A value of 260 units comes back cut by the profile service; its first 259 units name
  // an existing program, which must not be started.
  std::wstring program = folder.Path(L"Pixmorant64\\px_run64.exe");
  std::wstring value = program + L"." + std::wstring(259 - program.size() - 1, L'x') + L"y";
  ASSERT_EQ(260u, value.size());
  ASSERT_TRUE(CopyFileW(program.c_str(), value.substr(0, 259).c_str(), FALSE));
  cfgt::WriteSetting(folder.Path(L"pixmorant.ini"), L"Pixmorant", L"path64", value);
  Load load(folder.dir);
  EXPECT_EQ(nullptr, load.result);
  EXPECT_EQ(1, load.messages);
  EXPECT_EQ(0u, load.message.find(L"I can't find the " + program));
  EXPECT_EQ("(not started)", load.Probed("cmdline"));
}

// The kind decides which Ghostscript key is read and which viewer settings file gets it.
std::string KindWritten(const std::wstring& viewer, bool runs) {
  PluginFolder folder(false);
  std::wstring settings = folder.Path(L"pixmorant.ini");
  cfgt::WriteSetting(settings, L"Pixmorant", L"path64", viewer);
  cfgt::WriteSetting(settings, L"Ghostscript", L"path", L"C:\\gs\\bin\\gsdll32.dll");
  cfgt::WriteSetting(settings, L"Ghostscript", L"path64", L"C:\\gs\\bin\\gsdll64.dll");
  CreateDirectoryW(folder.Path(L"Pixmorant").c_str(), nullptr);
  Load load(folder.dir);
  EXPECT_EQ(0, load.messages) << load.message;
  EXPECT_EQ(nullptr, load.result);
  EXPECT_EQ(runs ? kStarted : "(not started)", load.Probed("cmdline"));
  bool has32 = FileExists(folder.Path(L"Pixmorant\\px_run32.ini"));
  bool has64 = FileExists(folder.Path(L"Pixmorant\\px_run64.ini"));
  return has32 && !has64 ? "32-bit" : has64 && !has32 ? "64-bit" : "neither or both";
}

TEST(ViewerKind, FollowsTheBinaryTypeAndIs32BitForAnythingElse) {
  std::wstring dir = TempDir();
  CopyFileW(cfgt::Probe64().c_str(), (dir + L"viewer64.exe").c_str(), FALSE);
  CopyFileW(cfgt::Probe32().c_str(), (dir + L"viewer32.exe").c_str(), FALSE);
  WriteFileBytes(dir + L"notes.txt", "not a program\r\n");
  CreateDirectoryW((dir + L"folder").c_str(), nullptr);
  EXPECT_EQ("64-bit", KindWritten(dir + L"viewer64.exe", true));
  EXPECT_EQ("32-bit", KindWritten(dir + L"viewer32.exe", false));  // cannot run here
  EXPECT_EQ("32-bit", KindWritten(dir + L"notes.txt", false));
  EXPECT_EQ("32-bit", KindWritten(dir + L"folder", false));
}

// A plug-in folder of n units, ending with its backslash, with the library and the probe
// as its default viewer.
std::wstring LongPluginFolder(size_t n) {
  std::wstring dir = TempDir();
  while (dir.size() + 101 < n) {
    dir += std::wstring(100, L'd') + L"\\";
    CreateDirectoryW(dir.c_str(), nullptr);
  }
  dir += std::wstring(n - dir.size() - 1, L'e') + L"\\";
  CreateDirectoryW(dir.c_str(), nullptr);
  CopyFileW(BuiltPlugin().c_str(), (dir + L"Pixmorant.wlx64").c_str(), FALSE);
  cfgt::InstallDefaultViewer(dir);
  return dir;
}

TEST(ViewerLocation, APluginFolderOf235UnitsServesAndOneOf236IsRefused) {
  std::wstring fits = LongPluginFolder(235);
  ASSERT_EQ(235u, fits.size());
  if (!FileExists(fits + L"Pixmorant64\\px_run64.exe")) GTEST_SKIP() << "long paths not available here";
  {
    Load load(fits);
    EXPECT_EQ(0, load.messages) << load.message;
    EXPECT_TRUE(FileExists(fits + L"pixmorant.ini"));
    EXPECT_EQ(kStarted, load.Probed("cmdline"));
  }
  std::wstring tooLong = LongPluginFolder(236);
  ASSERT_EQ(236u, tooLong.size());
  Load load(tooLong);
  EXPECT_EQ(nullptr, load.result);
  EXPECT_EQ(1, load.messages);
  // The message names the default viewer as far as it holds it.
  EXPECT_EQ((L"I can't find the " + tooLong + L"Pixmorant64\\px_run64.exe").substr(0, 259), load.message);
  EXPECT_FALSE(FileExists(tooLong + L"pixmorant.ini"));
  EXPECT_EQ("(not started)", load.Probed("cmdline"));
}

}  // namespace
