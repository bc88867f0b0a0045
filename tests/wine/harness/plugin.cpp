// The plug-in installed in folders of a test's own; loading it is the stand-in host's
// binding (Plugin, in harness.h).
#include <cstdio>

#include "harness.h"

namespace pxt {

namespace {

BOOL WINAPI CreateProcessOnceMoreW(const wchar_t* application, wchar_t* commandLine, SECURITY_ATTRIBUTES* process,
                                   SECURITY_ATTRIBUTES* thread, BOOL inherit, DWORD flags, void* environment,
                                   const wchar_t* folder, STARTUPINFOW* startup, PROCESS_INFORMATION* info) {
  BOOL ok =
      CreateProcessW(application, commandLine, process, thread, inherit, flags, environment, folder, startup, info);
  if (ok || GetLastError() != ERROR_INTERNAL_ERROR) return ok;
  fprintf(stderr, "harness: Wine could not start %ls (ERROR_INTERNAL_ERROR); starting it once more\n",
          application ? application : L"(null)");
  return CreateProcessW(application, commandLine, process, thread, inherit, flags, environment, folder, startup, info);
}

}  // namespace

std::vector<const IMAGE_IMPORT_DESCRIPTOR*> ImportsOf(HMODULE library) {
  std::vector<const IMAGE_IMPORT_DESCRIPTOR*> imports;
  auto* base = reinterpret_cast<const BYTE*>(library);
  auto* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return imports;
  for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); dll->Name; ++dll)
    imports.push_back(dll);
  return imports;
}

void StartAgainWhenWineFails(HMODULE library) {
  BindImport(library, "kernel32.dll", "CreateProcessW", reinterpret_cast<void*>(&CreateProcessOnceMoreW));
}
bool StartsGoThroughTheHarness(HMODULE library) {
  return ImportBinding(library, "kernel32.dll", "CreateProcessW") == reinterpret_cast<void*>(&CreateProcessOnceMoreW);
}

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
