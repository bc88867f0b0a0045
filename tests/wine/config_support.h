// What the configuration tests share: the probe viewer programs, settings written with the
// platform's profile service, a load on a stand-in Lister window, and what the probe saw.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace cfgt {

inline std::wstring Probe64() { return pxt::BuildDir() + L"\\config-probe\\probe64.exe"; }
inline std::wstring Probe32() { return pxt::BuildDir() + L"\\config-probe\\probe32.exe"; }
inline std::wstring UnwritableDir() { return pxt::BuildDir() + L"\\config-unwritable\\"; }

// The probe installed as the default viewer, Pixmorant64\px_run64.exe, of a plug-in folder.
inline void InstallDefaultViewer(const std::wstring& dir) {
  CreateDirectoryW((dir + L"Pixmorant64").c_str(), nullptr);
  CopyFileW(Probe64().c_str(), (dir + L"Pixmorant64\\px_run64.exe").c_str(), FALSE);
}

inline void WriteSetting(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                         const std::wstring& value) {
  WritePrivateProfileStringW(section, key, value.c_str(), file.c_str());
}

inline std::wstring Environment(const wchar_t* name) {
  wchar_t value[8192] = {};
  DWORD n = GetEnvironmentVariableW(name, value, 8192);
  return n == 0 ? L"(unset)" : value;
}

// The lines of a file, without their line ends and without empty lines.
inline std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : bytes) {
    if (c == '\r') continue;
    if (c == '\n') {
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// The stand-in host windows, one set for the whole test program: taking a set down costs
// seconds under Wine, and the Lister windows of the loads are what differ.
inline pxt::Host& SharedHost() {
  static pxt::Host* host = new pxt::Host;
  return *host;
}

// One load of a plug-in folder's library on a fresh Lister window; the probe's log is
// fresh too, so it says whether, and how, this load started its viewer.
struct Load {
  explicit Load(const std::wstring& dir, bool quickView = false, const std::wstring& file = L"C:\\pics\\a b.jpg")
      : plugin(dir + L"Pixmorant.wlx64") {
    log = pxt::TempDir() + L"probe.log";
    SetEnvironmentVariableW(L"PX_PROBE_LOG", log.c_str());
    lister = SharedHost().NewLister(quickView);
    if (plugin.ListLoadW) result = plugin.ListLoadW(lister, file.c_str(), 0);
    containerLeft = FindWindowExW(lister, nullptr, L"Pixmorant", nullptr) != nullptr;
    messages = watcher.Seen();
    message = watcher.Text();
  }
  // The probe's value of name ("cmdline", "GS_LIB"); "(not started)" when it never ran.
  std::string Probed(const std::string& name) const {
    for (const auto& line : Lines(pxt::ReadFileBytes(log)))
      if (line.compare(0, name.size() + 1, name + "=") == 0) return line.substr(name.size() + 1);
    return "(not started)";
  }
  ~Load() {
    pxt::EndViewers();
    DestroyWindow(lister);
  }
  pxt::MessageBoxWatcher watcher;  // watches from before the load to the end
  pxt::Plugin plugin;
  HWND lister = nullptr;
  std::wstring log;
  HWND result = nullptr;
  bool containerLeft = false;
  int messages = 0;
  std::wstring message;
};

}  // namespace cfgt
