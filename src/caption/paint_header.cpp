// Everything is read afresh on each call: the host's settings file, its redirected files,
// the system's light-theme preference and the system colours may change between calls.
#include "caption/paint_header.h"

#include "caption/header_rules.h"
#include "platform/paint.h"
#include "platform/system.h"
#include "platform/window.h"
#include "plugin/environment.h"
#include "plugin/text16.h"

namespace {

constexpr std::uint32_t kUnits = text16::kUnits;

void Read(const char16_t* section, const char16_t* key, const char16_t* fallback, char16_t* value,
          const char16_t* file) {
  win::GetPrivateProfileStringW(section, key, fallback, value, kUnits, file);
}

// The system's preference for applications: 1 light, 0 dark. A key or value that cannot be
// read counts as light, which is what the system shows when the value was never set.
std::uint32_t ReadLightTheme() {
  HKEY key = nullptr;
  if (win::RegOpenKeyExW(win::CurrentUserKey(), u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                         0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return 1;
  std::uint32_t value = 1;
  std::uint32_t size = sizeof value;
  long result = win::RegQueryValueExW(key, u"AppsUseLightTheme", nullptr, &value, &size);
  win::RegCloseKey(key);
  return result == ERROR_SUCCESS && size == sizeof value ? value : 1;
}

// The file a RedirectSection value names, or the settings file when it names none. An
// expansion that fails or does not fit leaves the path empty, so the reads from it yield
// their defaults rather than reading a file of a cut name.
const char16_t* ChooseFile(const char16_t* redirect, const char16_t* settings, char16_t (&expanded)[kUnits]) {
  if (redirect[0] == 0) return settings;
  env::ExpandReferences(redirect, expanded);
  return expanded;
}

}  // namespace

void PaintHeader(HWND window, const char16_t* text, bool captionNonEmpty) {
  win::Rect rect = {};
  win::GetClientRect(window, &rect);
  HDC dc = win::GetDC(window);

  char16_t settings[kUnits];
  env::ReadHostSettingsPath(settings);

  char16_t darkMode[kUnits] = {};
  Read(u"Configuration", u"DarkMode", u"", darkMode, settings);
  const char16_t* section = header::ChooseColorSection(darkMode, ReadLightTheme);

  char16_t colorRedirect[kUnits] = {};
  char16_t colorPath[kUnits] = {};
  Read(section, u"RedirectSection", u"", colorRedirect, settings);
  const char16_t* colorFile = ChooseFile(colorRedirect, settings, colorPath);

  char16_t activeTitle[kUnits] = {}, activeTitleText[kUnits] = {};
  char16_t inactiveTitle[kUnits] = {}, inactiveTitleText[kUnits] = {};
  Read(section, u"ActiveTitle", u"", activeTitle, colorFile);
  Read(section, u"ActiveTitleText", u"", activeTitleText, colorFile);
  Read(section, u"InactiveTitle", u"", inactiveTitle, colorFile);
  Read(section, u"InactiveTitleText", u"", inactiveTitleText, colorFile);
  const header::HeaderColors colors = header::ResolveHeaderColors(
      section, {activeTitle, activeTitleText, inactiveTitle, inactiveTitleText}, win::GetSysColor);

  const header::TitlePair pair = header::SelectTitlePair(win::GetPixel(dc, 1, 1), colors);
  win::SetBkColor(dc, pair.background);
  win::SetTextColor(dc, pair.text);

  char16_t useNewDefFont[kUnits] = {};
  char16_t fontRedirect[kUnits] = {};
  char16_t fontPath[kUnits] = {};
  Read(u"Configuration", u"UseNewDefFont", u"", useNewDefFont, settings);
  Read(u"AllResolutions", u"RedirectSection", u"", fontRedirect, settings);
  const char16_t* fontFile = ChooseFile(fontRedirect, settings, fontPath);

  const header::FontDefaults defaults = header::ChooseFontDefaults(useNewDefFont);
  char16_t size[kUnits] = {}, weight[kUnits] = {}, face[kUnits] = {};
  Read(u"AllResolutions", u"FontSizeWindow", defaults.size, size, fontFile);
  Read(u"AllResolutions", u"FontWeightWindow", defaults.weight, weight, fontFile);
  Read(u"AllResolutions", u"FontNameWindow", defaults.face, face, fontFile);

  const win::FontRecord record =
      header::ResolveHeaderFont({size, weight, face}, win::GetDeviceCaps(dc, LOGPIXELSY), defaults.face);
  HFONT font = win::CreateFontIndirectW(&record);
  HFONT previous = win::SelectObject(dc, font);

  if (captionNonEmpty) win::DrawTextW(dc, text, -1, &rect, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);

  // The font is selected out before it is deleted: a font still selected is not freed.
  win::SelectObject(dc, previous);
  win::DeleteObject(font);
  win::ReleaseDC(window, dc);
}
