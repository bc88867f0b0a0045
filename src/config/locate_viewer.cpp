// The plug-in's folder, its settings file (created when missing), and the viewer program.
#include "config/locate_viewer.h"

#include "config/config_rules.h"
#include "config/settings_read.h"
#include "shared/environment.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shared/module_text.h"

namespace {

// The box shows while the load runs on the host's thread, and its loop takes the host's
// messages: with no owner, MB_TASKMODAL disables the thread's top-level windows meanwhile,
// so that the host cannot start another load inside this one. They are still disabled
// when the box goes, so the platform finds none of them to activate, and the keys would go
// nowhere until the user clicks the host: the window that was active before is made so
// again, or, when it has gone meanwhile, the Lister window's top-level window, or the
// host's main window.
void ShowError(Telling telling, HWND lister, const char16_t* text) {
  if (telling == Telling::Nobody) return;
  HWND active = win::GetActiveWindow();
  win::MessageBoxW(nullptr, text, nullptr, MB_ICONERROR | MB_TASKMODAL);
  HWND back = win::IsWindow(active) ? active : win::GetAncestor(lister, GA_ROOT);
  if (!win::IsWindow(back)) back = win::FindWindowW(u"TTOTAL_CMD", nullptr);
  win::SetForegroundWindow(back);
}

void TellNotFound(Telling telling, HWND lister, const char16_t* viewerPath) {
  config::NotFoundMessage(g_text, text16::kUnits, viewerPath);
  ShowError(telling, lister, g_text);
}

// An empty section. Some profile services (Wine's) write nothing for an empty key list;
// there a key written and removed again leaves the section's header in place.
void WriteEmptySection(const char16_t* section, const char16_t* settingsFile) {
  win::WritePrivateProfileSectionW(section, u"", settingsFile);
  char16_t names[text16::kUnits] = {};
  win::GetPrivateProfileSectionNamesW(names, text16::kUnits, settingsFile);
  if (config::NameListHolds(names, text16::kUnits, section)) return;
  win::WritePrivateProfileStringW(section, u"created", u"", settingsFile);
  win::WritePrivateProfileStringW(section, u"created", nullptr, settingsFile);
}

// A new settings file holds the two sections, empty, in this order. An existing file,
// whatever it holds, is left as it is.
void MakeSureSettingsFileExists(Telling telling, HWND lister, const char16_t* settingsFile) {
  if (win::GetFileAttributesW(settingsFile) != INVALID_FILE_ATTRIBUTES) return;
  if (win::CreateNewEmptyFile(settingsFile)) {
    WriteEmptySection(u"Pixmorant", settingsFile);
    WriteEmptySection(u"Ghostscript", settingsFile);
    return;
  }
  config::CannotCreateMessage(g_text, text16::kUnits);
  ShowError(telling, lister, g_text);
}

}  // namespace

bool LocateViewer(HINSTANCE module, Telling telling, HWND lister, ViewerLocation* location) {
  char16_t modulePath[text16::kUnits] = {};
  // A module path longer than the buffer comes back cut (the count equals the capacity);
  // its folder would be another folder.
  std::uint32_t length = win::GetModuleFileNameW(module, modulePath, text16::kUnits);
  config::FolderPaths paths = {};
  if (length == 0 || length >= text16::kUnits || !config::PluginFolderOf(modulePath, location->pluginFolder) ||
      !config::ComposeFolderPaths(location->pluginFolder, &paths)) {
    // Nothing of the folder can be used: the default viewer is named as far as it fits.
    char16_t shown[text16::kUnits] = {};
    config::AppendShown(shown, text16::kUnits, modulePath);
    long last = text16::FindLast(shown, u'\\');
    if (last >= 0) shown[last + 1] = 0;
    config::AppendShown(shown, text16::kUnits, config::kDefaultViewer);
    TellNotFound(telling, lister, shown);
    return false;
  }
  text16::Compose(location->settingsFile, text16::kUnits, paths.settingsFile, u"");
  text16::Compose(location->viewerSettingsFolder, text16::kUnits, paths.viewerSettingsFolder, u"");

  MakeSureSettingsFileExists(telling, lister, location->settingsFile);

  // A value or an expansion too long for its buffer is never tried cut: it is reported as
  // not found, with the text as far as the message holds it.
  char16_t configured[config::kReadUnits];
  bool fits = config::ValueFits(
      config::ReadRaw(u"Pixmorant", u"path64", paths.defaultViewer, location->settingsFile, configured));
  if (!fits || !env::ExpandReferences(configured, location->viewerProgram)) {
    TellNotFound(telling, lister, configured);
    return false;
  }
  if (win::GetFileAttributesW(location->viewerProgram) == INVALID_FILE_ATTRIBUTES) {
    TellNotFound(telling, lister, location->viewerProgram);
    return false;
  }

  std::uint32_t binaryType = SCS_32BIT_BINARY;
  win::GetBinaryTypeW(location->viewerProgram, &binaryType);
  location->kind = config::KindOfBinaryType(binaryType);
  return true;
}
