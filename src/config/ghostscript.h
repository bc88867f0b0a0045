// The Ghostscript hand-over: the viewer's settings file names the library, and GS_LIB in
// the host process (inherited by the viewer) names its folders.
#pragma once
#include "config/locate_viewer.h"
#include "shared/export.h"

// The GS_LIB text, returned by value: no heap.
struct GsLib {
  char16_t text[4096];
};

// The load's part: the viewer's settings file names the configured library and GS_LIB its
// folders, before the viewer process starts (it inherits the host's environment). True
// when GS_LIB was set.
bool HandOverGhostscript(const char16_t* settingsFile, const char16_t* viewerSettingsFolder, ViewerKind kind);

// The close's part: GS_LIB leaves the host's environment, whether or not a load set it.
// A load that set it and gives no window takes it back too: no close follows it.
void RemoveGhostscriptSearchPath();

// Exported: the GS_LIB search path for a Ghostscript library file path.
PX_EXPORT GsLib gsenv(const char16_t* libraryPath);
