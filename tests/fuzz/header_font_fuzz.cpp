// The host's dark-mode and font settings, as any texts: the colour section, the font
// defaults and the font record with its scaled height and bounded face name.
// Input: 4 bytes light-theme value, 4 bytes dots per inch, then DarkMode, UseNewDefFont,
// FontSizeWindow, FontWeightWindow and FontNameWindow separated by NUL.
#include "caption/header_rules.h"
#include "fuzz_support.h"

namespace {

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

  // The scaling is the platform's MulDiv (rounded, -1 on overflow): asked once, for the
  // points times the dots per inch over 72, its answer taken negated. The stand-in answer
  // is one that no arithmetic of the rule's own on the inputs would give by chance.
  const header::HeaderFont font = {fontSize.get(), weight.get(), face.get()};
  std::int32_t mulDivArgs[3] = {};
  int calls = 0;
  const std::int32_t scaled = 0x2468ACE;
  const win::FontRecord record =
      header::ResolveHeaderFont(font, dotsPerInch, defaults.face, [&](std::int32_t a, std::int32_t b, std::int32_t c) {
        mulDivArgs[0] = a, mulDivArgs[1] = b, mulDivArgs[2] = c, ++calls;
        return scaled;
      });
  const bool factors = (mulDivArgs[0] == points && mulDivArgs[1] == dotsPerInch) ||
                       (mulDivArgs[0] == dotsPerInch && mulDivArgs[1] == points);
  FUZZ_CHECK(calls == 1 && factors && mulDivArgs[2] == 72);
  FUZZ_CHECK(record.lfHeight == -scaled);
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
