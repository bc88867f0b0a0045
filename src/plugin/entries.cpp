// The library's exported surface: the attach routine, the host's Lister entries, and the
// load and close sequences, each a short series of calls into the subsystems that own
// their steps.
#include "config/command_line.h"
#include "config/ghostscript.h"
#include "config/locate_viewer.h"
#include "embed/embed_viewer.h"
#include "platform/system.h"
#include "platform/window.h"
#include "plugin/detect_string.h"
#include "shared/host_settings.h"

// The library's instance in this process, stored by the attach routine and handed to the
// steps that name the library to the platform.
HINSTANCE g_hInstance;

extern "C" {

// The attach routine: the platform calls it in every process that maps the library, the
// viewer's included once the hooks are installed there.
int DllMain(HINSTANCE instance, unsigned long reason, void* /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) g_hInstance = instance;
  return 1;
}

HWND ListLoadW(HWND lister, const char16_t* fileName, int /*showFlags*/) {
  ViewMode mode = ViewModeOf(win::GetParent(lister) != nullptr);

  ViewerLocation location = {};
  if (!LocateViewer(g_hInstance, &location)) return nullptr;

  char16_t maximized[text16::kUnits];
  host::ReadListerMaximized(maximized);

  // GS_LIB must hold its new value before the viewer process is created: it inherits the
  // host's environment.
  bool handedOver = HandOverGhostscript(location.settingsFile, location.viewerSettingsFolder, location.kind);

  HWND container = nullptr;
  char16_t commandLine[kCommandLineUnits] = {};
  if (ViewerCommandLine(location.settingsFile, mode, fileName, commandLine))
    container = EmbedViewer(g_hInstance, lister, mode, location.viewerProgram, commandLine, maximized);
  // No container means no close to remove GS_LIB: the load takes back what it set.
  if (container == nullptr && handedOver) RemoveGhostscriptSearchPath();
  return container;
}

HWND ListLoad(HWND lister, const char* fileName, int showFlags) {
  char16_t wide[text16::kUnits] = {};
  // A name whose conversion does not fit 260 units fails the conversion; a cut name would
  // show another file, so the load ends instead.
  if (fileName == nullptr) return nullptr;
  if (win::MultiByteToWideChar(CP_ACP, 0, fileName, -1, wide, text16::kUnits) == 0) return nullptr;
  return ListLoadW(lister, wide, showFlags);
}

int ListCloseWindow(HWND container) {
  RemoveViewerHooks(container);
  GiveBackListerEdit(container);
  ClosePopupMenu();
  RemoveGhostscriptSearchPath();
  return DestroyContainer(container) ? 1 : 0;
}

void ListGetDetectString(char* detectString, int maxLength) { detect::CopyDetectString(detectString, maxLength); }

// Exported also as ListSearchDialog and ListSendCommand: the plug-in has nothing to print,
// search or command, and reads none of the arguments.
int ListPrint(void*, void*, void*, int, void*) { return 0; }

}  // extern "C"
