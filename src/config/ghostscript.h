// The Ghostscript hand-over: the viewer's settings file names the library, and GS_LIB in
// the host process (inherited by the viewer) names its folders.
#pragma once
#include "config/locate_viewer.h"
#include "plugin/export.h"

// The GS_LIB text, returned by value: no heap.
struct GsLib {
  char16_t text[4096];
};

void HandOverGhostscript(const char16_t* settingsFile, const char16_t* viewerSettingsFolder,
                         ViewerKind kind);

// Exported: the GS_LIB search path for a Ghostscript library file path.
PX_EXPORT GsLib gsenv(const char16_t* libraryPath);
