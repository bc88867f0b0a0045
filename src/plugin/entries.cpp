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

namespace {

// What a load, or a step to the next file, has ready before it starts the viewer.
struct LoadPlan {
  ViewMode mode;
  ViewerLocation location;
  char16_t maximized[text16::kUnits];
  char16_t commandLine[kCommandLineUnits];
  bool handedOver;  // GS_LIB set for this viewer
};

// The load's steps before the viewer starts: false when the load ends there (no viewer
// program, or a name the command line cannot hold).
bool PlanLoad(HWND lister, const char16_t* fileName, Telling telling, LoadPlan* plan) {
  plan->mode = ViewModeOf(win::GetParent(lister) != nullptr);
  if (!LocateViewer(g_hInstance, telling, &plan->location)) return false;
  host::ReadListerMaximized(plan->maximized);
  // GS_LIB must hold its new value before the viewer process is created: it inherits the
  // host's environment.
  plan->handedOver =
      HandOverGhostscript(plan->location.settingsFile, plan->location.viewerSettingsFolder, plan->location.kind);
  return ViewerCommandLine(plan->location.settingsFile, plan->mode, fileName, plan->commandLine);
}

// A load or a step that gives no view has no close to remove GS_LIB: it takes back what it
// set.
void TakeBackHandOver(const LoadPlan& plan) {
  if (plan.handedOver) RemoveGhostscriptSearchPath();
}

// An 8-bit name in the system's code page, widened. A name whose conversion does not fit
// 260 units fails the conversion; a cut name would show another file, so the load ends
// instead.
bool WidenName(const char* fileName, char16_t* wide) {
  return fileName != nullptr && win::MultiByteToWideChar(CP_ACP, 0, fileName, -1, wide, text16::kUnits) != 0;
}

}  // namespace

extern "C" {

// The attach routine: the platform calls it in every process that maps the library, the
// viewer's included once the hooks are installed there.
int DllMain(HINSTANCE instance, unsigned long reason, void* /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) g_hInstance = instance;
  return 1;
}

HWND ListLoadW(HWND lister, const char16_t* fileName, int /*showFlags*/) {
  LoadPlan plan = {};
  HWND container = nullptr;
  if (PlanLoad(lister, fileName, Telling::User, &plan))
    container =
        EmbedViewer(g_hInstance, lister, plan.mode, plan.location.viewerProgram, plan.commandLine, plan.maximized);
  if (container == nullptr) TakeBackHandOver(plan);
  return container;
}

HWND ListLoad(HWND lister, const char* fileName, int showFlags) {
  char16_t wide[text16::kUnits] = {};
  return WidenName(fileName, wide) ? ListLoadW(lister, wide, showFlags) : nullptr;
}

// The next file in the window a load returned (N and P in Lister, a cursor move in Quick
// View): the earlier image stays on view until the next one is there. On an error the host
// closes the window and loads the file afresh, and that load tells the user what went
// wrong.
int ListLoadNextW(HWND lister, HWND container, const char16_t* fileName, int /*showFlags*/) {
  LoadPlan plan = {};
  bool stepped = PlanLoad(lister, fileName, Telling::Nobody, &plan) &&
                 EmbedNextViewer(g_hInstance, lister, container, plan.mode, plan.location.viewerProgram,
                                 plan.commandLine, plan.maximized);
  if (!stepped) TakeBackHandOver(plan);
  return stepped ? LISTPLUGIN_OK : LISTPLUGIN_ERROR;
}

int ListLoadNext(HWND lister, HWND container, const char* fileName, int showFlags) {
  char16_t wide[text16::kUnits] = {};
  return WidenName(fileName, wide) ? ListLoadNextW(lister, container, wide, showFlags) : LISTPLUGIN_ERROR;
}

int ListCloseWindow(HWND container) {
  ViewerHooks hooks = TakeViewerHooks(container);
  GiveBackListerEdit(container);
  ClosePopupMenu();
  RemoveGhostscriptSearchPath();
  return DestroyContainer(container, hooks) ? 1 : 0;
}

void ListGetDetectString(char* detectString, int maxLength) { detect::CopyDetectString(detectString, maxLength); }

// Exported also as ListSearchDialog and ListSendCommand: the plug-in has nothing to print,
// search or command, and reads none of the arguments.
int ListPrint(void*, void*, void*, int, void*) { return 0; }

}  // extern "C"
