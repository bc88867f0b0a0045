// The library's exported surface: the attach routine, the host's Lister entries, and the
// load and close sequences, each a short series of calls into the subsystems that own
// their steps.
#include "config/ghostscript.h"
#include "embed/embed_viewer.h"
#include "platform/system.h"
#include "platform/window.h"
#include "plugin/detect_string.h"
#include "plugin/next_view.h"

// The library's instance in this process, stored by the attach routine and handed to the
// steps that name the library to the platform.
HINSTANCE g_hInstance;

namespace {

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
  if (PlanLoad(g_hInstance, lister, fileName, Telling::User, true, &plan))
    container = LoadViewer(g_hInstance, lister, &plan);
  if (container == nullptr) TakeBackHandOver(&plan);
  return container;
}

HWND ListLoad(HWND lister, const char* fileName, int showFlags) {
  char16_t wide[text16::kUnits] = {};
  return WidenName(fileName, wide) ? ListLoadW(lister, wide, showFlags) : nullptr;
}

// The next file in the window a load returned (N and P in Lister, a cursor move in Quick
// View): the answer comes at once, and the earlier image stays on view until the next one is
// there. What fails at once answers 1: the host closes the window and loads the file afresh,
// and that load tells the user what went wrong.
int ListLoadNextW(HWND lister, HWND container, const char16_t* fileName, int /*showFlags*/) {
  LoadPlan plan = {};
  bool queued = IsContainerOf(container, lister) &&
                PlanLoad(g_hInstance, lister, fileName, Telling::Nobody, false, &plan) &&
                QueueStep(g_hInstance, lister, container, plan);
  return queued ? LISTPLUGIN_OK : LISTPLUGIN_ERROR;
}

int ListLoadNext(HWND lister, HWND container, const char* fileName, int showFlags) {
  char16_t wide[text16::kUnits] = {};
  return WidenName(fileName, wide) ? ListLoadNextW(lister, container, wide, showFlags) : LISTPLUGIN_ERROR;
}

int ListCloseWindow(HWND container) {
  GiveBackListerEdit(container);
  ClosePopupMenu();
  RemoveGhostscriptSearchPath();
  return CloseViews(container) ? 1 : 0;
}

void ListGetDetectString(char* detectString, int maxLength) { detect::CopyDetectString(detectString, maxLength); }

// Exported also as ListSearchDialog and ListSendCommand: the plug-in has nothing to print,
// search or command, and reads none of the arguments.
int ListPrint(void*, void*, void*, int, void*) { return 0; }

}  // extern "C"
