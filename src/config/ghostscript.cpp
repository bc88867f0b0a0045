// Handing the Ghostscript library over to the viewer: two keys in its settings file, and
// GS_LIB in the host's environment, which the viewer process inherits at its start.
#include "config/ghostscript.h"

#include "config/config_rules.h"
#include "config/settings_read.h"
#include "shared/environment.h"
#include "platform/system.h"

bool HandOverGhostscript(const char16_t* settingsFile, const char16_t* viewerSettingsFolder, ViewerKind kind) {
  config::GhostscriptChoice choice = config::GhostscriptChoiceFor(kind);

  // Any text that does not fit skips the whole hand-over: nothing is written and GS_LIB
  // keeps its value, rather than a cut path reaching the viewer.
  char16_t configured[text16::kUnits];
  if (!config::ReadSetting(u"Ghostscript", choice.key, u"", settingsFile, configured)) return false;
  char16_t defaultTarget[text16::kUnits];
  bool defaultFits = text16::Compose(defaultTarget, text16::kUnits, viewerSettingsFolder, choice.settingsName);
  char16_t library[text16::kUnits];
  if (!env::ExpandReferences(configured, library)) return false;
  if (library[0] == 0) return false;
  if (!defaultFits) return false;

  char16_t iniFolder[text16::kUnits];
  if (!config::ReadSetting(u"Others", u"INI_Folder", u"", defaultTarget, iniFolder)) return false;
  char16_t target[text16::kUnits];
  if (iniFolder[0] == 0) {
    text16::Compose(target, text16::kUnits, defaultTarget, u"");
  } else {
    char16_t joined[text16::kUnits];
    if (!config::ComposeRedirectedTarget(iniFolder, choice.settingsName, joined)) return false;
    if (!env::ExpandReferences(joined, target)) return false;
  }

  GsLib searchPath = {};
  if (!config::GsLibOf(library, searchPath.text)) return false;

  win::WritePrivateProfileStringW(u"Ghostscript", u"GS_Location", u"1", target);
  win::WritePrivateProfileStringW(u"Ghostscript", u"GS_DLL", library, target);
  return win::SetEnvironmentVariableW(u"GS_LIB", searchPath.text);
}

void RemoveGhostscriptSearchPath() { win::SetEnvironmentVariableA("GS_LIB", nullptr); }

GsLib gsenv(const char16_t* libraryPath) {
  GsLib searchPath = {};
  // A path that does not fit, or a part of the result that would not, gives the empty text.
  if (libraryPath != nullptr) config::GsLibOf(libraryPath, searchPath.text);
  return searchPath;
}
