// Stand-ins until the configuration lands: every load ends as if no viewer were found.
#include "config/command_line.h"
#include "config/ghostscript.h"

bool LocateViewer(HINSTANCE, ViewerLocation*) { return false; }
void HandOverGhostscript(const char16_t*, const char16_t*, ViewerKind) {}
GsLib gsenv(const char16_t*) { return GsLib{}; }
bool ViewerCommandLine(const char16_t*, ViewMode, const char16_t*, char16_t (&)[kCommandLineUnits]) {
  return false;
}
