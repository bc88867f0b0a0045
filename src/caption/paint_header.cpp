// Everything is read afresh on each call: the host's settings file, its redirected files,
// the system's light-theme preference and the system colours may change between calls.
#include "caption/paint_header.h"

#include "caption/header_rules.h"
#include "platform/paint.h"
#include "platform/window.h"
#include "shared/host_settings.h"

namespace {

// The system's preference for applications: 1 light, 0 dark. A key or value that cannot be
// read counts as light, which is what the system shows when the value was never set.
std::uint32_t ReadLightTheme() {
  HKEY key = nullptr;
  if (win::RegOpenKeyExW(win::CurrentUserKey(), u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                         KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return 1;
  std::uint32_t value = 1;
  std::uint32_t size = sizeof value;
  long result = win::RegQueryValueExW(key, u"AppsUseLightTheme", nullptr, &value, &size);
  win::RegCloseKey(key);
  return result == ERROR_SUCCESS && size == sizeof value ? value : 1;
}

}  // namespace

void PaintHeader(HWND window, const char16_t* text, bool captionNonEmpty) {
  win::Rect rect = {};
  win::GetClientRect(window, &rect);
  HDC dc = win::GetDC(window);

  char16_t settings[text16::kUnits];
  host::ReadSettingsPath(settings);

  char16_t darkMode[text16::kUnits];
  host::ReadDarkMode(settings, darkMode);
  const char16_t* section = header::ChooseColorSection(darkMode, ReadLightTheme);

  host::TitleColorValues values;
  host::ReadTitleColors(settings, section, &values);
  const header::HeaderColors colors = header::ResolveHeaderColors(
      section, {values.activeTitle, values.activeTitleText, values.inactiveTitle, values.inactiveTitleText},
      win::GetSysColor);

  const header::TitlePair pair = header::SelectTitlePair(win::GetPixel(dc, 1, 1), colors);
  win::SetBkColor(dc, pair.background);
  win::SetTextColor(dc, pair.text);

  char16_t useNewDefFont[text16::kUnits];
  host::ReadUseNewDefFont(settings, useNewDefFont);
  const header::FontDefaults defaults = header::ChooseFontDefaults(useNewDefFont);
  host::WindowFontValues font;
  host::ReadWindowFont(settings, defaults, &font);

  const win::FontRecord record = header::ResolveHeaderFont(
      {font.size, font.weight, font.face}, win::GetDeviceCaps(dc, LOGPIXELSY), defaults.face, win::MulDiv);
  HFONT created = win::CreateFontIndirectW(&record);
  HFONT previous = win::SelectObject(dc, created);

  if (captionNonEmpty) win::DrawTextW(dc, text, -1, &rect, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);

  // The font is selected out before it is deleted: a font still selected is not freed.
  win::SelectObject(dc, previous);
  win::DeleteObject(created);
  win::ReleaseDC(window, dc);
}
