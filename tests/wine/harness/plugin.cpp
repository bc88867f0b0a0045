// The plug-in installed in folders of a test's own; loading it is the stand-in host's
// binding (Plugin, in harness.h).
#include "harness.h"

namespace pxt {

bool InstallPluginIn(const std::wstring& dir, bool withViewer) {
  bool ok = CopyFileW(BuiltPlugin().c_str(), (dir + L"Pixmorant.wlx64").c_str(), FALSE) != 0;
  if (withViewer) {
    CreateDirectoryW((dir + L"Pixmorant64").c_str(), nullptr);
    ok = CopyFileW(BuiltViewer().c_str(), (dir + L"Pixmorant64\\px_run64.exe").c_str(), FALSE) && ok;
  }
  return ok;
}

PluginFolder::PluginFolder(bool withViewer) : dir(TempDir()) { InstallPluginIn(dir, withViewer); }
PluginFolder::~PluginFolder() {
  EndViewers();
  RemoveFolderTree(dir);
}

}  // namespace pxt
