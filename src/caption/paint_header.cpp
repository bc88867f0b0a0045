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

namespace {

// The host's title colours and window font, read from its settings as they stand now.
struct HostLook {
  header::HeaderColors colors;
  win::FontRecord font;
};

HostLook ReadHostLook(HDC dc) {
  char16_t settings[text16::kUnits];
  host::ReadSettingsPath(settings);

  char16_t darkMode[text16::kUnits];
  host::ReadDarkMode(settings, darkMode);
  const char16_t* section = header::ChooseColorSection(darkMode, ReadLightTheme);

  host::TitleColorValues values;
  host::ReadTitleColors(settings, section, &values);
  HostLook look = {};
  look.colors = header::ResolveHeaderColors(
      section, {values.activeTitle, values.activeTitleText, values.inactiveTitle, values.inactiveTitleText},
      win::GetSysColor);

  char16_t useNewDefFont[text16::kUnits];
  host::ReadUseNewDefFont(settings, useNewDefFont);
  const header::FontDefaults defaults = header::ChooseFontDefaults(useNewDefFont);
  host::WindowFontValues font;
  host::ReadWindowFont(settings, defaults, &font);
  look.font = header::ResolveHeaderFont({font.size, font.weight, font.face}, win::GetDeviceCaps(dc, LOGPIXELSY),
                                        defaults.face, win::MulDiv);
  return look;
}

// The text drawn in the pair's colours and the font; the font is selected out before it is
// deleted: a font still selected is not freed.
void DrawInLook(HWND window, HDC dc, const HostLook& look, header::TitlePair pair, const char16_t* text,
                unsigned format) {
  win::Rect rect = {};
  win::GetClientRect(window, &rect);
  win::SetBkColor(dc, pair.background);
  win::SetTextColor(dc, pair.text);
  HFONT created = win::CreateFontIndirectW(&look.font);
  HFONT previous = win::SelectObject(dc, created);
  if (text != nullptr) win::DrawTextW(dc, text, -1, &rect, format);
  win::SelectObject(dc, previous);
  win::DeleteObject(created);
}

}  // namespace

void PaintHeader(HWND window, const char16_t* text, bool captionNonEmpty) {
  HDC dc = win::GetDC(window);
  const HostLook look = ReadHostLook(dc);
  const header::TitlePair pair = header::SelectTitlePair(win::GetPixel(dc, 1, 1), look.colors);
  DrawInLook(window, dc, look, pair, captionNonEmpty ? text : nullptr, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);
  win::ReleaseDC(window, dc);
}

void PaintNote(HWND window, const char16_t* text) {
  HDC dc = win::GetDC(window);
  const HostLook look = ReadHostLook(dc);
  const header::TitlePair active = {look.colors.activeBackground, look.colors.activeText};
  DrawInLook(window, dc, look, active, text, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  win::ReleaseDC(window, dc);
}
