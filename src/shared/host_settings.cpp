#include "shared/host_settings.h"

#include "platform/system.h"
#include "shared/environment.h"

namespace host {

namespace {

void Read(const char16_t* file, const char16_t* section, const char16_t* key, const char16_t* fallback,
          char16_t (&value)[text16::kUnits]) {
  text16::Zero(value, text16::kUnits);
  win::GetPrivateProfileStringW(section, key, fallback, value, text16::kUnits, file);
}

// The file a section's RedirectSection names, or the settings file when it names none. An
// expansion that fails or does not fit leaves the path empty, so the reads from it yield
// their defaults rather than reading a file of a cut name.
const char16_t* RedirectedFile(const char16_t* settings, const char16_t* section, char16_t (&redirect)[text16::kUnits],
                               char16_t (&expanded)[text16::kUnits]) {
  Read(settings, section, u"RedirectSection", u"", redirect);
  text16::Zero(expanded, text16::kUnits);
  if (redirect[0] == 0) return settings;
  env::ExpandReferences(redirect, expanded);
  return expanded;
}

}  // namespace

void ReadSettingsPath(char16_t (&path)[text16::kUnits]) {
  text16::Zero(path, text16::kUnits);
  if (win::GetEnvironmentVariableW(u"COMMANDER_INI", path, text16::kUnits) >= text16::kUnits)
    text16::Zero(path, text16::kUnits);
}

void ReadListerMaximized(char16_t (&value)[text16::kUnits]) {
  char16_t settings[text16::kUnits];
  ReadSettingsPath(settings);
  Read(settings, u"Lister", u"Maximized", u"", value);
}

void ReadDarkMode(const char16_t* settings, char16_t (&value)[text16::kUnits]) {
  Read(settings, u"Configuration", u"DarkMode", u"", value);
}

void ReadUseNewDefFont(const char16_t* settings, char16_t (&value)[text16::kUnits]) {
  Read(settings, u"Configuration", u"UseNewDefFont", u"", value);
}

void ReadTitleColors(const char16_t* settings, const char16_t* section, TitleColorValues* values) {
  char16_t redirect[text16::kUnits];
  char16_t redirected[text16::kUnits];
  const char16_t* file = RedirectedFile(settings, section, redirect, redirected);
  Read(file, section, u"ActiveTitle", u"", values->activeTitle);
  Read(file, section, u"ActiveTitleText", u"", values->activeTitleText);
  Read(file, section, u"InactiveTitle", u"", values->inactiveTitle);
  Read(file, section, u"InactiveTitleText", u"", values->inactiveTitleText);
}

void ReadWindowFont(const char16_t* settings, const WindowFontDefaults& defaults, WindowFontValues* values) {
  char16_t redirect[text16::kUnits];
  char16_t redirected[text16::kUnits];
  const char16_t* file = RedirectedFile(settings, u"AllResolutions", redirect, redirected);
  Read(file, u"AllResolutions", u"FontSizeWindow", defaults.size, values->size);
  Read(file, u"AllResolutions", u"FontWeightWindow", defaults.weight, values->weight);
  Read(file, u"AllResolutions", u"FontNameWindow", defaults.face, values->face);
}

}  // namespace host
