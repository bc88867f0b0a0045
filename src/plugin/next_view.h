// The viewer a load or a step brings into its container and the viewers leaving it. A load
// waits for its viewer on the host's thread, a short while at most; a step returns at once.
// What is left, the viewer's start, the wait for its window, its embedding and the leaving of
// the earlier viewer, follows a short step at a time on a timer of the container.
#pragma once
#include "config/command_line.h"
#include "config/locate_viewer.h"
#include "platform/types.h"
#include "shared/text16.h"
#include "shared/view_mode.h"

// What a load, or a step, has ready before it starts the viewer.
struct LoadPlan {
  ViewMode mode;
  ViewerLocation location;
  char16_t maximized[text16::kUnits];
  char16_t commandLine[kCommandLineUnits];
  char16_t name[text16::kUnits];  // the file's name without its folder, for the container's note
  bool handedOver;                // GS_LIB set for this viewer
};

// The load's steps before the viewer starts: false when the load ends there (no viewer
// program, or a name the command line cannot hold). A load hands Ghostscript over on its
// way (handOver); a step does so only right before its viewer starts, once the steps pause.
bool PlanLoad(HINSTANCE module, HWND lister, const char16_t* fileName, Telling telling, bool handOver, LoadPlan* plan);
// A load or a step that gives no view has no close to remove GS_LIB: it takes back what it
// set.
void TakeBackHandOver(LoadPlan* plan);

// The load's part after the plan: the container with the viewer inside, or null when the
// container could not be made (and then nothing is started), or the viewer did not start,
// ended, or did not end up inside the container. A viewer that is not embedded within the
// load's bound is embedded later, as a step's viewer is: the container says meanwhile which
// file it opens, and that the viewer did not show it if it does not come.
HWND LoadViewer(HINSTANCE module, HWND lister, LoadPlan* plan);

// The step's part after the plan, on the container a load returned in this Lister window:
// true once the step is queued, false when no more steps can be held at once (the host then
// loads the file afresh). module names the hook procedures. The viewer on view stays until the next one is shown; a
// step that comes before that replaces the one queued, and its viewer, never shown, leaves.
bool QueueStep(HINSTANCE module, HWND lister, HWND container, const LoadPlan& plan);

// The close's part: the viewer a step brings, never shown, and the viewers leaving end their
// leaving with the container's viewer on view, on this thread, bounded by the leaving's
// times; then the container is destroyed. The result of DestroyWindow.
bool CloseViews(HWND container);
