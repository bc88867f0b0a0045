// Windows drawing services for the Quick View header: device contexts, pixels, colours and
// fonts (gdi32 and user32), system colours, and the registry read of the applications'
// light-theme preference (advapi32). Text is UTF-16 as char16_t.
#pragma once
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

struct HKEY__;
typedef HKEY__* HKEY;

// Where <windows.h> is seen first these are its macros, with the same values.
#ifndef KEY_QUERY_VALUE
constexpr std::uint32_t KEY_QUERY_VALUE = 1;
#endif
#ifndef ERROR_SUCCESS
constexpr long ERROR_SUCCESS = 0;
#endif
#ifndef CLR_INVALID
constexpr ColorRef CLR_INVALID = 0xFFFFFFFF;
#endif
#ifndef DEFAULT_CHARSET
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::uint8_t OUT_DEFAULT_PRECIS = 0;
constexpr std::uint8_t CLIP_CHARACTER_PRECIS = 1;
constexpr std::uint8_t PROOF_QUALITY = 2;
constexpr std::uint8_t DEFAULT_PITCH = 0;
constexpr std::uint8_t FF_DONTCARE = 0;
#endif

namespace win {

// The platform's LOGFONTW, field by field (the .cpp checks that the layouts agree).
struct FontRecord {
  std::int32_t lfHeight;
  std::int32_t lfWidth;
  std::int32_t lfEscapement;
  std::int32_t lfOrientation;
  std::int32_t lfWeight;
  std::uint8_t lfItalic;
  std::uint8_t lfUnderline;
  std::uint8_t lfStrikeOut;
  std::uint8_t lfCharSet;
  std::uint8_t lfOutPrecision;
  std::uint8_t lfClipPrecision;
  std::uint8_t lfQuality;
  std::uint8_t lfPitchAndFamily;
  char16_t lfFaceName[32];
};

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
ColorRef GetPixel(HDC dc, int x, int y);
ColorRef SetBkColor(HDC dc, ColorRef color);
ColorRef SetTextColor(HDC dc, ColorRef color);
int GetDeviceCaps(HDC dc, int index);
int MulDiv(int number, int numerator, int denominator);
HFONT CreateFontIndirectW(const FontRecord* font);
// SelectObject with a font; the result is the object selected before (a font).
HFONT SelectObject(HDC dc, HFONT font);
int DrawTextW(HDC dc, const char16_t* text, int count, Rect* rect, unsigned format);
bool DeleteObject(HFONT font);
ColorRef GetSysColor(int index);

// HKEY_CURRENT_USER.
HKEY CurrentUserKey();
long RegOpenKeyExW(HKEY root, const char16_t* subKey, std::uint32_t options, std::uint32_t access, HKEY* key);
long RegQueryValueExW(HKEY key, const char16_t* name, std::uint32_t* type, void* data, std::uint32_t* size);
long RegCloseKey(HKEY key);

}  // namespace win
