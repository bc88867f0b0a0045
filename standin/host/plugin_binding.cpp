// The plug-in loaded as the host loads it, every export bound by its name. Each export
// name is written here and nowhere else.
#include "standin_host.h"

namespace standin {

const char* const kHostEntryNames[kHostEntryCount] = {"ListLoad",      "ListLoadW",        "ListLoadNext",
                                                      "ListLoadNextW", "ListCloseWindow",  "ListGetDetectString",
                                                      "ListPrint",     "ListSearchDialog", "ListSendCommand"};
// KbdProc(int, WPARAM, LPARAM), MouseProc(...), TitleProc(...), WindowProc(HWND, UINT, WPARAM, LPARAM),
// WindowCaption(HWND, HWND), gsenv(const char16_t*), as GCC decorates them.
const char* const kOwnProcedureNames[kOwnProcedureCount] = {
    "_Z7KbdProciyx", "_Z9MouseProciyx", "_Z9TitleProciyx", "_Z10WindowProcP6HWND__jyx", "_Z13WindowCaptionP6HWND__S0_",
    "_Z5gsenvPKDs"};

namespace {

template <class T>
void Bind(HMODULE module, const char* name, T* entry) {
  *entry = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The library's import slot of a function of dll, or null.
ULONG_PTR* ImportSlot(HMODULE library, const char* dllName, const char* name) {
  if (!library) return nullptr;
  BYTE* base = reinterpret_cast<BYTE*>(library);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return nullptr;
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); dll->Name; ++dll) {
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

bool LoadPlugin(const wchar_t* libraryPath, PluginEntries* plugin) {
  *plugin = PluginEntries();
  HMODULE module = LoadLibraryW(libraryPath);
  if (!module) return false;
  plugin->module = module;
  Bind(module, kHostEntryNames[kListLoad], &plugin->ListLoad);
  Bind(module, kHostEntryNames[kListLoadW], &plugin->ListLoadW);
  Bind(module, kHostEntryNames[kListLoadNext], &plugin->ListLoadNext);
  Bind(module, kHostEntryNames[kListLoadNextW], &plugin->ListLoadNextW);
  Bind(module, kHostEntryNames[kListCloseWindow], &plugin->ListCloseWindow);
  Bind(module, kHostEntryNames[kListGetDetectString], &plugin->ListGetDetectString);
  Bind(module, kHostEntryNames[kListPrint], &plugin->ListPrint);
  Bind(module, kHostEntryNames[kListSearchDialog], &plugin->ListSearchDialog);
  Bind(module, kHostEntryNames[kListSendCommand], &plugin->ListSendCommand);
  Bind(module, kOwnProcedureNames[kKbdProc], &plugin->KbdProc);
  Bind(module, kOwnProcedureNames[kMouseProc], &plugin->MouseProc);
  Bind(module, kOwnProcedureNames[kTitleProc], &plugin->TitleProc);
  Bind(module, kOwnProcedureNames[kWindowProc], &plugin->WindowProc);
  Bind(module, kOwnProcedureNames[kWindowCaption], &plugin->WindowCaption);
  Bind(module, kOwnProcedureNames[kGsenv], &plugin->gsenv);
  return true;
}

void FreePlugin(PluginEntries* plugin) {
  if (plugin->module) FreeLibrary(plugin->module);
  *plugin = PluginEntries();
}

HWND LoadNext(const PluginEntries& plugin, HWND lister, HWND view, const wchar_t* file) {
  if (plugin.ListLoadNextW && plugin.ListLoadNextW(lister, view, file, 0) == 0) return view;
  plugin.ListCloseWindow(view);
  return plugin.ListLoadW(lister, file, 0);
}

}  // namespace standin
