// The host's dark-mode and font settings, as any texts: the colour section, the font
// defaults and the font record with its scaled height and bounded face name.
// Input: 4 bytes light-theme value, 4 bytes dots per inch, then DarkMode, UseNewDefFont,
// FontSizeWindow, FontWeightWindow and FontNameWindow separated by NUL.
#include "caption/header_rules.h"
#include "fuzz_support.h"

namespace {

// Rounded half away from zero over exact 128-bit arithmetic; -1 for a zero divisor or a
// result outside [-INT32_MAX, INT32_MAX].
std::int32_t ReferenceMulDiv(std::int32_t number, std::int32_t numerator, std::int32_t denominator) {
  if (denominator == 0) return -1;
  __int128 product = static_cast<__int128>(number) * numerator;
  bool negative = (product < 0) != (denominator < 0);
  unsigned __int128 p = product < 0 ? -product : product;
  unsigned __int128 d = denominator < 0 ? -static_cast<__int128>(denominator) : denominator;
  unsigned __int128 q = p / d;
  if (2 * (p % d) >= d) ++q;
  if (q > INT32_MAX) return -1;
  return negative ? -static_cast<std::int32_t>(q) : static_cast<std::int32_t>(q);
}

std::u16string ReferenceSection(const std::u16string& darkMode, std::int32_t lightTheme) {
  if (darkMode.empty() || darkMode == u"0") return header::kColors;
  if (darkMode == u"2") return header::kColorsDark;
  if (darkMode != u"1") return u"";
  return lightTheme == 1 ? header::kColors : lightTheme == 0 ? header::kColorsDark : u"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::int32_t lightTheme = fuzz::Take<std::int32_t>(data, size);
  const std::int32_t dotsPerInch = fuzz::Take<std::int32_t>(data, size);
  const auto fields = fuzz::Fields(fuzz::Units(data, size), 5);
  const fuzz::HeapText darkMode(fields[0]), useNew(fields[1]), fontSize(fields[2]), weight(fields[3]), face(fields[4]);

  int asked = 0;
  const std::u16string section = header::ChooseColorSection(darkMode.get(), [&] {
    ++asked;
    return lightTheme;
  });
  FUZZ_CHECK(section == ReferenceSection(fields[0], lightTheme));
  FUZZ_CHECK(asked == (fields[0] == u"1" ? 1 : 0));

  const header::FontDefaults defaults = header::ChooseFontDefaults(useNew.get());
  const bool newFont = fields[1] == u"1";
  FUZZ_CHECK(std::u16string(defaults.face) == (newFont ? u"Segoe UI" : u"Microsoft Sans Serif"));
  FUZZ_CHECK(std::u16string(defaults.size) == (newFont ? u"9" : u"8"));

  // The numbers themselves are checked against strtol in the colour target.
  const std::int32_t points = header::ParseDecimal(fontSize.get());

  const header::HeaderFont font = {fontSize.get(), weight.get(), face.get()};
  const win::FontRecord record = header::ResolveHeaderFont(font, dotsPerInch, defaults.face, ReferenceMulDiv);
  FUZZ_CHECK(record.lfHeight == -ReferenceMulDiv(points, dotsPerInch, 72));
  FUZZ_CHECK(record.lfWeight == header::ParseDecimal(weight.get()));
  FUZZ_CHECK(record.lfWidth == 0 && record.lfEscapement == 0 && record.lfOrientation == 0);
  FUZZ_CHECK(record.lfItalic == 0 && record.lfUnderline == 0 && record.lfStrikeOut == 0);
  FUZZ_CHECK(record.lfCharSet == 1 && record.lfOutPrecision == 0 && record.lfClipPrecision == 1 &&
             record.lfQuality == 2 && record.lfPitchAndFamily == 0);
  // A face of 32 units or more does not fit the record: the default face stands in.
  FUZZ_CHECK(record.lfFaceName[header::kFaceUnits - 1] == 0);
  const std::u16string expectedFace = fields[4].size() < header::kFaceUnits ? fields[4] : defaults.face;
  FUZZ_CHECK(std::u16string(record.lfFaceName) == expectedFace);
  for (std::size_t i = expectedFace.size(); i < header::kFaceUnits; ++i) FUZZ_CHECK(record.lfFaceName[i] == 0);
  return 0;
}
