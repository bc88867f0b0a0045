// The Quick View header's decisions: which colour section of the host's settings applies,
// the four title colours, which pair to draw with, and the font record.
#pragma once
#include <cstdint>

#include "platform/paint.h"
#include "platform/types.h"
#include "shared/host_settings.h"
#include "shared/text16.h"

namespace header {

constexpr char16_t kColors[] = u"Colors";
constexpr char16_t kColorsDark[] = u"ColorsDark";
constexpr char16_t kNoSection[] = u"";

// The value is that one unit and nothing after it.
inline bool IsExactly(const char16_t* value, char16_t unit) { return value[0] == unit && value[1] == 0; }

// The host's [Configuration] DarkMode: empty or "0" light, "2" dark, "1" follows the
// system's preference for applications (light-theme value 1 light, 0 dark), anything else
// names no section. lightTheme() is asked only for "1".
template <class LightTheme>
const char16_t* ChooseColorSection(const char16_t* darkMode, LightTheme lightTheme) {
  if (darkMode[0] == 0 || IsExactly(darkMode, u'0')) return kColors;
  if (IsExactly(darkMode, u'2')) return kColorsDark;
  if (!IsExactly(darkMode, u'1')) return kNoSection;
  switch (lightTheme()) {
    case 1: return kColors;
    case 0: return kColorsDark;
    default: return kNoSection;
  }
}

// The leading decimal integer, as wcstol reads it with base 10 where long has 32 bits:
// white space skipped, one optional sign, digits up to the first other unit; 0 without a
// digit; clamped to the signed 32-bit range.
inline std::int32_t ParseDecimal(const char16_t* text) {
  while (*text == u' ' || (*text >= u'\t' && *text <= u'\r')) ++text;
  bool negative = *text == u'-';
  if (*text == u'-' || *text == u'+') ++text;
  std::int64_t magnitude = 0;
  for (; *text >= u'0' && *text <= u'9'; ++text)
    if (magnitude <= INT64_C(0x80000000)) magnitude = magnitude * 10 + (*text - u'0');
  if (negative) return magnitude >= INT64_C(0x80000000) ? INT32_MIN : static_cast<std::int32_t>(-magnitude);
  return magnitude > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}

inline ColorRef ParseColor(const char16_t* value) { return static_cast<ColorRef>(ParseDecimal(value)) & 0xFFFFFF; }

struct HeaderColors {
  ColorRef activeBackground, activeText, inactiveBackground, inactiveText;
};

// The four title keys in the order they are read.
struct ColorValues {
  const char16_t* activeTitle;
  const char16_t* activeTitleText;
  const char16_t* inactiveTitle;
  const char16_t* inactiveTitleText;
};

// A key the host leaves empty takes the dark default in "ColorsDark" and the system's
// caption colour elsewhere; systemColor(index) is asked only for those.
template <class SystemColor>
HeaderColors ResolveHeaderColors(const char16_t* section, const ColorValues& values, SystemColor systemColor) {
  const bool dark = text16::Equal(section, kColorsDark);
  auto resolve = [&](const char16_t* value, ColorRef darkDefault, int systemIndex) -> ColorRef {
    if (value[0] != 0) return ParseColor(value);
    return dark ? darkDefault : static_cast<ColorRef>(systemColor(systemIndex));
  };
  HeaderColors colors;
  colors.activeBackground = resolve(values.activeTitle, 0x404040, COLOR_ACTIVECAPTION);
  colors.activeText = resolve(values.activeTitleText, 0xDCDCDC, COLOR_CAPTIONTEXT);
  colors.inactiveBackground = resolve(values.inactiveTitle, 0x202020, COLOR_INACTIVECAPTION);
  colors.inactiveText = resolve(values.inactiveTitleText, 0xDCDCDC, COLOR_INACTIVECAPTIONTEXT);
  return colors;
}

struct TitlePair {
  ColorRef background, text;
};

// The header shows as inactive when its pixel (1, 1) has the inactive background now.
inline TitlePair SelectTitlePair(ColorRef pixel, const HeaderColors& colors) {
  if (pixel == colors.inactiveBackground) return {colors.inactiveBackground, colors.inactiveText};
  return {colors.activeBackground, colors.activeText};
}

// The three defaults of the window font's reads.
using FontDefaults = host::WindowFontDefaults;

// [Configuration] UseNewDefFont "1": the newer default window font; anything else the older.
inline FontDefaults ChooseFontDefaults(const char16_t* useNewDefFont) {
  if (IsExactly(useNewDefFont, u'1')) return {u"9", u"400", u"Segoe UI"};
  return {u"8", u"700", u"Microsoft Sans Serif"};
}

// The three font texts as read from [AllResolutions].
struct HeaderFont {
  const char16_t* size;
  const char16_t* weight;
  const char16_t* face;
};

constexpr std::size_t kFaceUnits = 32;  // 31 units and a terminator

// The font record for the header: the size in points scaled to the device's dots per inch
// by mulDiv (the platform's MulDiv: the product divided by 72, rounded). A face name too long
// for the record (32 units or more) cannot name the font the host means, and a cut one would
// name another: the default face is taken instead.
template <class MulDiv>
win::FontRecord ResolveHeaderFont(const HeaderFont& font, int dotsPerInch, const char16_t* defaultFace, MulDiv mulDiv) {
  win::FontRecord record = {};
  record.lfHeight = -mulDiv(ParseDecimal(font.size), dotsPerInch, 72);
  record.lfWeight = ParseDecimal(font.weight);
  record.lfCharSet = DEFAULT_CHARSET;
  record.lfOutPrecision = OUT_DEFAULT_PRECIS;
  record.lfClipPrecision = CLIP_CHARACTER_PRECIS;
  record.lfQuality = PROOF_QUALITY;
  record.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const char16_t* face = text16::Length(font.face) < kFaceUnits ? font.face : defaultFace;
  for (std::size_t i = 0; i < kFaceUnits - 1 && face[i] != 0; ++i) record.lfFaceName[i] = face[i];
  return record;
}

}  // namespace header
