// The Ghostscript hand-over, with real viewer settings files and the host's environment.
#include <gtest/gtest.h>

#include "config_support.h"

namespace {

using namespace pxt;
using cfgt::Lines;
using cfgt::Load;

const std::wstring kUntouched = L"untouched";
const char kLibrary[] = "C:\\gs\\gs10.02\\bin\\gsdll64.dll";
const char kSearchPath[] = "C:\\gs\\gs10.02\\bin\\;C:\\gs\\gs10.02\\fonts\\;C:\\gs\\gs10.02\\lib\\";

// A plug-in folder whose viewer is the 64-bit probe (the default) or the 32-bit one, with
// GS_LIB set to a value of the test's own before each load.
struct GsFolder {
  explicit GsFolder(bool bits64 = true) {
    if (bits64) {
      cfgt::InstallDefaultViewer(folder.dir);
    } else {
      CopyFileW(cfgt::Probe32().c_str(), folder.Path(L"viewer32.exe").c_str(), FALSE);
      Set(L"Pixmorant", L"path64", folder.Path(L"viewer32.exe"));
    }
    CreateDirectoryW(folder.Path(L"Pixmorant").c_str(), nullptr);
    SetEnvironmentVariableW(L"GS_LIB", kUntouched.c_str());
  }
  void Set(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    cfgt::WriteSetting(folder.Path(L"pixmorant.ini"), section, key, value);
  }
  std::wstring ViewerSettings(const wchar_t* name) const { return folder.Path(L"Pixmorant\\") + name; }
  PluginFolder folder{false};
};

void ExpectNothingHandedOver(const GsFolder& setup) {
  EXPECT_FALSE(FileExists(setup.ViewerSettings(L"px_run32.ini")));
  EXPECT_FALSE(FileExists(setup.ViewerSettings(L"px_run64.ini")));
  EXPECT_EQ(kUntouched, cfgt::Environment(L"GS_LIB"));
}

TEST(Ghostscript, WithoutItsKeyNothingIsReadOrWritten) {
  for (bool bits64 : {true, false}) {
    GsFolder setup(bits64);
    // Only the other kind's key is set.
    setup.Set(L"Ghostscript", bits64 ? L"path" : L"path64", Wide(kLibrary));
    Load load(setup.folder.dir);
    EXPECT_EQ(0, load.messages) << load.message;
    ExpectNothingHandedOver(setup);
    if (bits64) {
      EXPECT_EQ(Utf8(kUntouched), load.Probed("GS_LIB"));
    }
  }
  // A viewer settings file that redirects elsewhere is not even read: its folder stays empty.
  GsFolder setup;
  std::wstring elsewhere = TempDir();
  std::string held = "[Others]\r\nINI_Folder=" + Utf8(elsewhere) + "\r\n";
  WriteFileBytes(setup.ViewerSettings(L"px_run64.ini"), held);
  Load load(setup.folder.dir);
  EXPECT_EQ(held, ReadFileBytes(setup.ViewerSettings(L"px_run64.ini")));
  EXPECT_FALSE(FileExists(elsewhere + L"px_run64.ini"));
  EXPECT_EQ(kUntouched, cfgt::Environment(L"GS_LIB"));
}

TEST(Ghostscript, TheKeysLandInTheViewerSettingsFileAndTheViewerInheritsGsLib) {
  GsFolder setup;
  SetEnvironmentVariableW(L"PX_CFG_GS", L"C:\\gs");
  setup.Set(L"Ghostscript", L"path64", L"%PX_CFG_GS%\\gs10.02\\bin\\gsdll64.dll");
  WriteFileBytes(setup.ViewerSettings(L"px_run64.ini"), "[View]\r\nzoom=2\r\n");
  Load load(setup.folder.dir);
  EXPECT_EQ((std::vector<std::string>{"[View]", "zoom=2", "[Ghostscript]", "GS_Location=1",
                                      std::string("GS_DLL=") + kLibrary}),
            Lines(ReadFileBytes(setup.ViewerSettings(L"px_run64.ini"))));
  EXPECT_FALSE(FileExists(setup.folder.Path(L"Pixmorant64\\px_run64.ini")));
  EXPECT_EQ(kSearchPath, load.Probed("GS_LIB"));
  SetEnvironmentVariableW(L"PX_CFG_GS", nullptr);
}

// No close follows a load that gives no window: it takes GS_LIB back itself when its viewer
// (0) ends at once, (1) is a folder, (2) is not started (the name does not fit).
TEST(Ghostscript, ALoadThatGivesNoWindowLeavesNoGsLib) {
  for (int failure = 0; failure < 3; ++failure) {
    GsFolder setup;
    setup.Set(L"Ghostscript", L"path", Wide(kLibrary));
    setup.Set(L"Ghostscript", L"path64", Wide(kLibrary));
    if (failure == 1) setup.Set(L"Pixmorant", L"path64", setup.folder.Path(L"Pixmorant"));
    Load load(setup.folder.dir, false, failure == 2 ? L"C:\\" + std::wstring(600, L'n') : L"C:\\pics\\a.jpg");
    EXPECT_EQ(nullptr, load.result) << failure;
    EXPECT_TRUE(FileExists(setup.ViewerSettings(failure == 1 ? L"px_run32.ini" : L"px_run64.ini"))) << failure;
    EXPECT_EQ(L"(unset)", cfgt::Environment(L"GS_LIB")) << failure;
  }
}

TEST(Ghostscript, ARedirectionIsExpandedAndTheDefaultFileOnlyRead) {
  GsFolder setup(false);
  std::wstring appData = TempDir();
  CreateDirectoryW((appData + L"Viewer").c_str(), nullptr);
  SetEnvironmentVariableW(L"PX_CFG_APPDATA", appData.substr(0, appData.size() - 1).c_str());
  setup.Set(L"Ghostscript", L"path", L"C:\\gs\\bin\\gsdll32.dll");
  const std::string held = "[Others]\r\nINI_Folder=%PX_CFG_APPDATA%\\Viewer\r\n";
  WriteFileBytes(setup.ViewerSettings(L"px_run32.ini"), held);
  Load load(setup.folder.dir);
  EXPECT_EQ(held, ReadFileBytes(setup.ViewerSettings(L"px_run32.ini")));
  EXPECT_EQ((std::vector<std::string>{"[Ghostscript]", "GS_Location=1", "GS_DLL=C:\\gs\\bin\\gsdll32.dll"}),
            Lines(ReadFileBytes(appData + L"Viewer\\px_run32.ini")));
  SetEnvironmentVariableW(L"PX_CFG_APPDATA", nullptr);
}

TEST(Ghostscript, ARedirectionEndingWithABackslashGetsAnotherOne) {
  GsFolder setup;
  std::wstring target = TempDir();  // ends with a backslash
  setup.Set(L"Ghostscript", L"path64", Wide(kLibrary));
  cfgt::WriteSetting(setup.ViewerSettings(L"px_run64.ini"), L"Others", L"INI_Folder", target);
  Load load(setup.folder.dir);
  // The path holds two backslashes before the name; the file system takes it as one.
  EXPECT_EQ((std::vector<std::string>{"[Ghostscript]", "GS_Location=1", std::string("GS_DLL=") + kLibrary}),
            Lines(ReadFileBytes(target + L"px_run64.ini")));
  EXPECT_EQ(kSearchPath, load.Probed("GS_LIB"));
}

TEST(Ghostscript, AnUndefinedReferenceIsHandedOverAsWritten) {
  GsFolder setup;
  SetEnvironmentVariableW(L"PX_CFG_NOGS", nullptr);
  setup.Set(L"Ghostscript", L"path64", L"%PX_CFG_NOGS%\\bin\\gs.dll");
  Load load(setup.folder.dir);
  EXPECT_EQ((std::vector<std::string>{"[Ghostscript]", "GS_Location=1", "GS_DLL=%PX_CFG_NOGS%\\bin\\gs.dll"}),
            Lines(ReadFileBytes(setup.ViewerSettings(L"px_run64.ini"))));
  EXPECT_EQ("%PX_CFG_NOGS%\\bin\\;%PX_CFG_NOGS%\\fonts\\;%PX_CFG_NOGS%\\lib\\", load.Probed("GS_LIB"));
}

// The exported procedure, called as its mangled name declares it: the record comes back
// by value.
typedef GsLibText (*GsEnv)(const char16_t*);

std::wstring CallGsenv(GsEnv gsenv, const std::wstring& path) {
  GsLibText record = gsenv(reinterpret_cast<const char16_t*>(path.c_str()));
  return std::wstring(reinterpret_cast<const wchar_t*>(record.text));
}

TEST(Ghostscript, TheExportedGsenvGivesTheSearchPath) {
  Plugin plugin(BuiltPlugin());
  GsEnv gsenv = plugin.gsenv;
  ASSERT_NE(nullptr, gsenv);
  EXPECT_EQ(Wide(kSearchPath), CallGsenv(gsenv, Wide(kLibrary)));
  EXPECT_EQ(L"C:\\;C:\\fonts\\;C:\\lib\\", CallGsenv(gsenv, L"C:\\gsdll64.dll"));
  EXPECT_EQ(L"gsdll64.dll\\;gsdll64.dll\\fonts\\;gsdll64.dll\\lib\\", CallGsenv(gsenv, L"gsdll64.dll"));
  EXPECT_EQ(L"C:\\gs\\bin\\;C:\\gs\\fonts\\;C:\\gs\\lib\\", CallGsenv(gsenv, L"C:\\gs\\bin\\"));
  // A part that does not fit gives the empty text, never a cut folder.
  EXPECT_EQ(L"", CallGsenv(gsenv, L"C:\\" + std::wstring(249, L'a') + L"\\b\\g"));
}

TEST(Ghostscript, WhatDoesNotFitSkipsTheWholeHandOver) {
  std::wstring parent251 = L"C:\\" + std::wstring(248, L'a');
  {
    // The library's folder's parent has 251 units: fonts and lib fit.
    GsFolder setup;
    setup.Set(L"Ghostscript", L"path64", parent251 + L"\\b\\g");
    Load load(setup.folder.dir);
    EXPECT_TRUE(FileExists(setup.ViewerSettings(L"px_run64.ini")));
    EXPECT_EQ(Utf8(parent251 + L"\\b\\;" + parent251 + L"\\fonts\\;" + parent251 + L"\\lib\\"), load.Probed("GS_LIB"));
  }
  std::wstring longName = L"%PX_CFG_LONG%\\gs.dll";
  SetEnvironmentVariableW(L"PX_CFG_LONG", (L"C:\\" + std::wstring(300, L'x')).c_str());
  for (const std::wstring& value : {parent251 + L"a\\b\\g",             // its parent has 252 units
                                    L"C:\\" + std::wstring(257, L'v'),  // 260 units: read cut
                                    longName}) {                        // expands beyond 260
    GsFolder setup;
    setup.Set(L"Ghostscript", L"path64", value);
    Load load(setup.folder.dir);
    ExpectNothingHandedOver(setup);
  }
  SetEnvironmentVariableW(L"PX_CFG_LONG", nullptr);
}

TEST(Ghostscript, ARedirectionOfAtMost246UnitsIsTakenAndALongerOneSkipsTheHandOver) {
  for (size_t units : {246u, 247u}) {
    GsFolder setup;
    setup.Set(L"Ghostscript", L"path64", Wide(kLibrary));
    std::wstring folder = L"C:\\" + std::wstring(units - 3, L'f');
    cfgt::WriteSetting(setup.ViewerSettings(L"px_run64.ini"), L"Others", L"INI_Folder", folder);
    Load load(setup.folder.dir);
    // A folder that does not exist takes no keys, silently; GS_LIB is set all the same.
    EXPECT_EQ(units == 246 ? kSearchPath : Utf8(kUntouched), load.Probed("GS_LIB")) << units;
    EXPECT_EQ((std::vector<std::string>{"[Others]", "INI_Folder=" + Utf8(folder)}),
              Lines(ReadFileBytes(setup.ViewerSettings(L"px_run64.ini"))));
  }
}

}  // namespace
