// Bad input to a load, of every kind the host, the user or the viewer can give: over-long
// and unusual file names (bad_input_names_test), over-long settings values, a plug-in
// folder at the limit of its paths and broken settings files (bad_input_settings_test),
// odd host colours and fonts (bad_input_host_settings_test), viewers that misbehave
// (bad_input_viewers_test). Each leaves this process running, gives a window or null,
// shows its message boxes (which the watcher reads and closes), and writes no file apart
// from the plug-in's settings file on a first load and the viewer settings file that takes
// the Ghostscript keys.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "harness.h"

namespace bad_input {

using namespace pxt;

// What a load gave, for the table printed at the end of each test.
struct Outcome {
  std::string input;
  std::string result;
};
void PrintTable(const char* title, const std::vector<Outcome>& rows);

inline std::wstring Units(size_t count, wchar_t c = L'n') { return std::wstring(count, c); }

const char* const kWindow = "window, viewer embedded";
const char* const kNull = "null, no viewer started";

// A plug-in folder of the test's own below root, a stand-in host, a red image, and the
// files of root, of the Windows folder and of the current folder to compare with.
struct BadInput : ::testing::Test {
  std::wstring root = TempDir();  // everything a test makes lies below
  std::wstring pluginDir;         // the plug-in folder in use
  Host host;
  std::wstring image;
  TreeSnapshot rootBefore, windowsBefore, currentBefore;
  std::vector<Outcome> rows;
  std::wstring openHeader;  // the Quick View header text while the last view was open

  void SetUp() override;
  void TearDown() override;

  std::wstring Settings() const { return pluginDir + L"pixmorant.ini"; }
  std::wstring ViewerSettings() const { return pluginDir + L"Pixmorant\\px_run64.ini"; }
  void Set(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    WritePrivateProfileStringW(section, key, value.c_str(), Settings().c_str());
  }

  void Snapshot();
  // Changes since Snapshot, apart from the files named (paths relative to root).
  std::string Unexpected(const std::vector<std::wstring>& allowed = {});

  // One load through the plug-in in pluginDir. The result says what came of it; a window
  // is checked for its viewer and closed again, a null result for leaving nothing behind.
  std::string Load(const std::function<HWND(Plugin&, HWND)>& load, bool quickView = false);
  std::string LoadW(const std::wstring& name, bool quickView = false) {
    return Load([&](Plugin& p, HWND lister) { return p.ListLoadW(lister, name.c_str(), 0); }, quickView);
  }
  void Row(const std::string& input, const std::string& result, int boxes = 0, const std::wstring& text = L"");

  // A load with a viewer the user started on their own, its window on the desktop before
  // the load (kept always on top when asked): that window must neither keep the load
  // waiting nor be taken for the new viewer's.
  void LoadBesideStandalone(bool onTop);
};

}  // namespace bad_input
