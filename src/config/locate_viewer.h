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

// Whether the user is told of a settings file that cannot be made or a viewer program that
// cannot be found. A step to the next file tells nobody: the host then loads the file
// afresh, and that load tells.
enum class Telling { User, Nobody };

// Fills location; creates pixmorant.ini when it is missing. False, after telling the user
// as telling says, when the viewer program cannot be found: the load then ends with null.
// After a message, the Lister window's top-level window takes the activation back when the
// window active before has gone.
bool LocateViewer(HINSTANCE module, Telling telling, HWND lister, ViewerLocation* location);
