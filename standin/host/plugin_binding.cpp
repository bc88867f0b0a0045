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

}  // namespace

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
