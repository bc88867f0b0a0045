// The gdi32, user32 and advapi32 calls behind platform/paint.h.
#include <windows.h>

#include <cstddef>
#include <cstring>

#include "platform/paint.h"
#include "platform/wide_text.h"

namespace {
static_assert(sizeof(win::FontRecord) == sizeof(LOGFONTW), "font record layout");
static_assert(offsetof(win::FontRecord, lfWeight) == offsetof(LOGFONTW, lfWeight), "font record layout");
static_assert(offsetof(win::FontRecord, lfCharSet) == offsetof(LOGFONTW, lfCharSet), "font record layout");
static_assert(offsetof(win::FontRecord, lfFaceName) == offsetof(LOGFONTW, lfFaceName), "font record layout");
static_assert(sizeof(win::Rect) == sizeof(RECT), "rectangle layout");
}  // namespace

namespace win {

HDC GetDC(HWND window) { return ::GetDC(window); }
int ReleaseDC(HWND window, HDC dc) { return ::ReleaseDC(window, dc); }
ColorRef GetPixel(HDC dc, int x, int y) { return ::GetPixel(dc, x, y); }
ColorRef SetBkColor(HDC dc, ColorRef color) { return ::SetBkColor(dc, color); }
ColorRef SetTextColor(HDC dc, ColorRef color) { return ::SetTextColor(dc, color); }
int GetDeviceCaps(HDC dc, int index) { return ::GetDeviceCaps(dc, index); }
int MulDiv(int number, int numerator, int denominator) { return ::MulDiv(number, numerator, denominator); }
HFONT CreateFontIndirectW(const FontRecord* font) {
  LOGFONTW record;
  std::memcpy(&record, font, sizeof record);
  return ::CreateFontIndirectW(&record);
}
HFONT SelectObject(HDC dc, HFONT font) { return static_cast<HFONT>(::SelectObject(dc, font)); }
int DrawTextW(HDC dc, const char16_t* text, int count, Rect* rect, unsigned format) {
  return ::DrawTextW(dc, W(text), count, reinterpret_cast<RECT*>(rect), format);
}
bool DeleteObject(HFONT font) { return ::DeleteObject(font) != FALSE; }
ColorRef GetSysColor(int index) { return ::GetSysColor(index); }

HKEY CurrentUserKey() { return HKEY_CURRENT_USER; }
long RegOpenKeyExW(HKEY root, const char16_t* subKey, std::uint32_t options, std::uint32_t access, HKEY* key) {
  return ::RegOpenKeyExW(root, W(subKey), options, access, key);
}
long RegQueryValueExW(HKEY key, const char16_t* name, std::uint32_t* type, void* data, std::uint32_t* size) {
  DWORD kind = type ? *type : 0;
  DWORD bytes = size ? *size : 0;
  LONG result = ::RegQueryValueExW(key, W(name), nullptr, type ? &kind : nullptr, static_cast<BYTE*>(data),
                                   size ? &bytes : nullptr);
  if (type) *type = kind;
  if (size) *size = bytes;
  return result;
}
long RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

}  // namespace win
