// The configuration's decisions, apart from the platform calls: the plug-in folder and the
// paths composed from it, the messages, the viewer kind, the Ghostscript target and search
// path, and the viewer's command line. Every composition that does not fit its buffer is
// refused whole: a cut path names another file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "config/command_line.h"
#include "config/ghostscript.h"
#include "config/locate_viewer.h"
#include "shared/flag_test.h"
#include "shared/text16.h"
#include "shared/view_mode.h"

namespace config {

constexpr std::size_t kGsLibUnits = sizeof(GsLib::text) / sizeof(char16_t);

constexpr const char16_t* kSettingsName = u"pixmorant.ini";
constexpr const char16_t* kViewerSettingsSubfolder = u"Pixmorant\\";
constexpr const char16_t* kDefaultViewer = u"Pixmorant64\\px_run64.exe";
constexpr const char16_t* kDefaultViewer32 = u"Pixmorant\\px_run32.exe";

// ---- plug-in folder and its paths ----

// A copy of text cut at its last backslash (the backslash and what follows dropped); text
// without one is copied whole. False, part empty, when the copy does not fit.
inline bool CutAtLastBackslash(const char16_t* text, char16_t (&part)[text16::kUnits]) {
  text16::Zero(part, text16::kUnits);
  std::size_t length = text16::Length(text);
  if (length >= text16::kUnits) return false;
  long last = text16::FindLast(text, u'\\');
  std::size_t keep = last < 0 ? length : static_cast<std::size_t>(last);
  for (std::size_t i = 0; i < keep; ++i) part[i] = text[i];
  return true;
}

// The module path up to and including its last backslash; a path without one gets one
// appended. False, with folder empty, when the module path is not a whole path of at most
// 259 units or the folder would not fit.
inline bool PluginFolderOf(const char16_t* modulePath, char16_t (&folder)[text16::kUnits]) {
  if (CutAtLastBackslash(modulePath, folder) && text16::Append(folder, text16::kUnits, u"\\")) return true;
  text16::Zero(folder, text16::kUnits);
  return false;
}

// The three paths composed from the plug-in folder. False, all three empty, when any of
// them does not fit: the longest, the default viewer, fits while the folder has at most
// 235 units.
struct FolderPaths {
  char16_t settingsFile[text16::kUnits];
  char16_t viewerSettingsFolder[text16::kUnits];
  char16_t defaultViewer[text16::kUnits];
};

inline bool ComposeFolderPaths(const char16_t* pluginFolder, FolderPaths* paths) {
  bool fits = text16::Compose(paths->settingsFile, text16::kUnits, pluginFolder, kSettingsName) &&
              text16::Compose(paths->viewerSettingsFolder, text16::kUnits, pluginFolder, kViewerSettingsSubfolder) &&
              text16::Compose(paths->defaultViewer, text16::kUnits, pluginFolder, kDefaultViewer);
  if (!fits) {
    text16::Zero(paths->settingsFile, text16::kUnits);
    text16::Zero(paths->viewerSettingsFolder, text16::kUnits);
    text16::Zero(paths->defaultViewer, text16::kUnits);
  }
  return fits;
}

// A list of names as the profile service gives them: each name terminated, the list ending
// with an empty name or at capacity. True when name is one of them.
inline bool NameListHolds(const char16_t* list, std::size_t capacity, const char16_t* name) {
  std::size_t at = 0;
  while (at < capacity && list[at] != 0) {
    std::size_t i = 0;
    while (at + i < capacity && list[at + i] != 0 && list[at + i] == name[i]) ++i;
    if (at + i < capacity && list[at + i] == 0 && name[i] == 0) return true;
    while (at < capacity && list[at] != 0) ++at;
    ++at;
  }
  return false;
}

// ---- messages ----

// A message is only shown, never used as a path: a text too long for its buffer is cut
// there, always terminated.
inline void AppendShown(char16_t* buffer, std::size_t capacity, const char16_t* text) {
  std::size_t have = text16::Length(buffer);
  for (; *text != 0 && have + 1 < capacity; ++text) buffer[have++] = *text;
  buffer[have] = 0;
}

// "I can't create a file %s. Default paths will be used  %s, %s" with the three bare names.
inline void CannotCreateMessage(char16_t* buffer, std::size_t capacity) {
  text16::Zero(buffer, capacity);
  for (const char16_t* part : {u"I can't create a file ", kSettingsName, u". Default paths will be used  ",
                               kDefaultViewer32, u", ", kDefaultViewer})
    AppendShown(buffer, capacity, part);
}

// "I can't find the %s in the path specified in the file %s": the viewer path in full
// while it has at most 194 units, cut beyond.
inline void NotFoundMessage(char16_t* buffer, std::size_t capacity, const char16_t* viewerPath) {
  text16::Zero(buffer, capacity);
  for (const char16_t* part : {u"I can't find the ", viewerPath, u" in the path specified in the file ", kSettingsName})
    AppendShown(buffer, capacity, part);
}

// ---- viewer kind ----

// The binary type is preset to 0 (SCS_32BIT_BINARY) before the query; a failed query leaves
// it there. Every other type, DOS, 16-bit, PIF, POSIX and OS/2 included, counts as 64-bit.
inline ViewerKind KindOfBinaryType(std::uint32_t binaryType) {
  return binaryType == 0 ? ViewerKind::Bits32 : ViewerKind::Bits64;
}

// ---- settings values ----

// The profile service cuts a value at the capacity it is given: a value is read with one
// unit to spare, and a read that fills it is a value longer than 259 units, which does not fit.
constexpr std::size_t kReadUnits = text16::kUnits + 1;
inline bool ValueFits(std::uint32_t unitsRead) { return unitsRead < text16::kUnits; }

// ---- Ghostscript ----

struct GhostscriptChoice {
  const char16_t* key;           // in [Ghostscript] of the plug-in settings file
  const char16_t* settingsName;  // the viewer's settings file
};

inline GhostscriptChoice GhostscriptChoiceFor(ViewerKind kind) {
  switch (kind) {
    case ViewerKind::Bits32: return {u"path", u"px_run32.ini"};
    case ViewerKind::Bits64: return {u"path64", u"px_run64.ini"};
  }
  return {u"path", u"px_run32.ini"};
}

// The redirected viewer settings file, before its references are expanded: the INI_Folder
// value, one backslash (even after one already there) and the file name.
inline bool ComposeRedirectedTarget(const char16_t* iniFolder, const char16_t* settingsName,
                                    char16_t (&target)[text16::kUnits]) {
  return text16::Compose(target, text16::kUnits, iniFolder, u"\\", settingsName);
}

// GS_LIB for a Ghostscript library path: the library's folder, then fonts and lib beside
// that folder. False, with the text empty, when a part does not fit its 260 units (the
// folder's parent may have at most 251 units) or the path itself is longer than 259.
inline bool GsLibOf(const char16_t* libraryPath, char16_t (&text)[kGsLibUnits]) {
  text16::Zero(text, kGsLibUnits);
  char16_t folder[text16::kUnits];
  char16_t fonts[text16::kUnits];
  char16_t lib[text16::kUnits];
  if (!CutAtLastBackslash(libraryPath, folder)) return false;
  if (!CutAtLastBackslash(folder, fonts) || !text16::Append(fonts, text16::kUnits, u"\\fonts\\;")) return false;
  if (!CutAtLastBackslash(folder, lib) || !text16::Append(lib, text16::kUnits, u"\\lib\\")) return false;
  return text16::Compose(text, kGsLibUnits, folder, u"\\;", fonts, lib);
}

// ---- viewer command line ----

// The option hiding the bars the settings do not show.
inline const char16_t* HideOption(const char16_t* toolbar, const char16_t* statusBar) {
  bool toolbarOn = IsFlagOn(toolbar);
  bool statusBarOn = IsFlagOn(statusBar);
  if (toolbarOn && statusBarOn) return u"";
  if (statusBarOn) return u"/hide=1";
  if (toolbarOn) return u"/hide=2";
  return u"/hide=3";
}

// The bar keys in the order they are read, and the two the view mode uses.
constexpr const char16_t* kBarKeys[4] = {u"toolbarl", u"statusbarl", u"toolbarq", u"statusbarq"};
struct BarKeys {
  int toolbar;
  int statusBar;
};
inline BarKeys BarKeysFor(ViewMode mode) {
  switch (mode) {
    case ViewMode::Lister: return {0, 1};
    case ViewMode::QuickView: return {2, 3};
  }
  return {0, 1};
}

// A blank, the file name between double quotes, a blank, the option. False, with the line
// empty, when it does not fit 511 units: a name of at most 500 units fits with an option,
// 507 without.
inline bool ComposeCommandLine(const char16_t* fileName, const char16_t* option,
                               char16_t (&commandLine)[kCommandLineUnits]) {
  return text16::Compose(commandLine, kCommandLineUnits, u" \"", fileName, u"\" ", option);
}

}  // namespace config
