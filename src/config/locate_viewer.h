// The plug-in's folder and settings file, and the viewer program to start.
#pragma once
#include "platform/types.h"
#include "shared/text16.h"

enum class ViewerKind { Bits32, Bits64 };

struct ViewerLocation {
  char16_t pluginFolder[text16::kUnits];          // ends with a backslash
  char16_t settingsFile[text16::kUnits];          // plug-in folder + "pixmorant.ini"
  char16_t viewerSettingsFolder[text16::kUnits];  // plug-in folder + "Pixmorant\"
  char16_t viewerProgram[text16::kUnits];         // [Pixmorant] path64, expanded
  ViewerKind kind;
};

// Fills location; creates pixmorant.ini when it is missing. False, after telling the user,
// when the viewer program cannot be found: the load then ends with null.
bool LocateViewer(HINSTANCE module, ViewerLocation* location);
