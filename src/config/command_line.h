// The viewer's command line: the quoted file name and the option hiding its bars.
#pragma once
#include "shared/view_mode.h"

constexpr int kCommandLineUnits = 512;

// Composes the command line for this view mode from the bar settings in settingsFile.
// False, with commandLine empty, when the file name does not fit.
bool ViewerCommandLine(const char16_t* settingsFile, ViewMode mode, const char16_t* fileName,
                       char16_t (&commandLine)[kCommandLineUnits]);
