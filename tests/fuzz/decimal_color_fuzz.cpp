// Colour and number values of the host's settings, as any texts: the decimal parse, the
// colour taken from it, the four header colours and the pair drawn with.
// Input: 1 byte section choice, 4 bytes pixel, then four values separated by NUL.
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "caption/header_rules.h"
#include "fuzz_support.h"

namespace {

// strtol over the text narrowed to ASCII (every other unit becomes a letter, which ends
// the digits as it does in the rule), clamped to 32 bits as wcstol is with a 32-bit long.
std::int32_t ReferenceDecimal(const std::u16string& text) {
  std::string narrow;
  for (char16_t unit : text) narrow += unit < 0x80 ? static_cast<char>(unit) : 'x';
  long long value = std::strtoll(narrow.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

ColorRef SystemColorMark(int index) { return 0xC0000000u | static_cast<ColorRef>(index); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t sectionChoice = fuzz::Take<std::uint8_t>(data, size);
  const ColorRef pixel = fuzz::Take<std::uint32_t>(data, size);
  const auto values = fuzz::Fields(fuzz::Units(data, size), 4);
  const fuzz::HeapText v0(values[0]), v1(values[1]), v2(values[2]), v3(values[3]);

  for (const auto& value : values) {
    const fuzz::HeapText text(value);
    const std::int32_t expected = ReferenceDecimal(value);
    FUZZ_CHECK(header::ParseDecimal(text.get()) == expected);
    FUZZ_CHECK(header::ParseColor(text.get()) == (static_cast<std::uint32_t>(expected) & 0xFFFFFFu));
  }

  static const char16_t kDarkCopy[] = u"ColorsDark";  // same text, another address
  const char16_t* sections[] = {header::kColors, header::kColorsDark, header::kNoSection,
                                kDarkCopy,       u"colorsdark",       u"ColorsDark2"};
  const char16_t* section = sections[sectionChoice % 6];
  const bool dark = std::u16string(section) == u"ColorsDark";
  int asked[20] = {};
  auto systemColor = [&](int index) {
    FUZZ_CHECK(index >= 0 && index < 20);
    ++asked[index];
    return SystemColorMark(index);
  };
  header::ColorValues colorValues = {v0.get(), v1.get(), v2.get(), v3.get()};
  header::HeaderColors colors = header::ResolveHeaderColors(section, colorValues, systemColor);

  const ColorRef darkDefaults[4] = {0x404040, 0xDCDCDC, 0x202020, 0xDCDCDC};
  const int systemIndexes[4] = {COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT, COLOR_INACTIVECAPTION,
                                COLOR_INACTIVECAPTIONTEXT};
  const ColorRef resolved[4] = {colors.activeBackground, colors.activeText, colors.inactiveBackground,
                                colors.inactiveText};
  for (int i = 0; i < 4; ++i) {
    const bool empty = values[i].empty();
    ColorRef expected = !empty ? static_cast<std::uint32_t>(ReferenceDecimal(values[i])) & 0xFFFFFFu
                        : dark ? darkDefaults[i]
                               : SystemColorMark(systemIndexes[i]);
    FUZZ_CHECK(resolved[i] == expected);
    // The system is asked exactly for the empty values outside the dark section.
    FUZZ_CHECK(asked[systemIndexes[i]] == (empty && !dark ? 1 : 0));
  }

  header::TitlePair pair = header::SelectTitlePair(pixel, colors);
  if (pixel == colors.inactiveBackground) {
    FUZZ_CHECK(pair.background == colors.inactiveBackground && pair.text == colors.inactiveText);
  } else {
    FUZZ_CHECK(pair.background == colors.activeBackground && pair.text == colors.activeText);
  }
  return 0;
}
