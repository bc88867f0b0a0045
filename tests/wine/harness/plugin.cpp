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

// The library's import slot of a function of dll, or null.
ULONG_PTR* ImportSlot(HMODULE library, const char* dllName, const char* name) {
  if (!library) return nullptr;
  BYTE* base = reinterpret_cast<BYTE*>(library);
  for (const IMAGE_IMPORT_DESCRIPTOR* dll : ImportsOf(library)) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + dll->Name), dllName) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<char*>(byName->Name), name) == 0) return &slots->u1.Function;
    }
  }
  return nullptr;
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

void* BindImport(HMODULE library, const char* dll, const char* function, void* replacement) {
  ULONG_PTR* slot = ImportSlot(library, dll, function);
  if (!slot) return nullptr;
  void* before = reinterpret_cast<void*>(*slot);
  DWORD protection = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
  *slot = reinterpret_cast<ULONG_PTR>(replacement);
  VirtualProtect(slot, sizeof *slot, protection, &protection);
  return before;
}
void* ImportBinding(HMODULE library, const char* dll, const char* function) {
  ULONG_PTR* slot = ImportSlot(library, dll, function);
  return slot ? reinterpret_cast<void*>(*slot) : nullptr;
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
