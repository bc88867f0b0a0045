#include "caption/header_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using std::u16string;

struct LightThemeProbe {
  std::uint32_t value = 1;
  int asked = 0;
  std::uint32_t operator()() {
    ++asked;
    return value;
  }
};

TEST(ChooseColorSection, TableRowByRow) {
  struct Row {
    const char16_t* darkMode;
    std::uint32_t light;
    bool asked;
    const char16_t* section;
  };
  const Row rows[] = {
      {u"", 0, false, u"Colors"},      {u"0", 0, false, u"Colors"}, {u"1", 1, true, u"Colors"},
      {u"1", 0, true, u"ColorsDark"},  {u"1", 2, true, u""},        {u"1", 0xFFFFFFFF, true, u""},
      {u"2", 1, false, u"ColorsDark"}, {u"3", 1, false, u""},       {u"00", 1, false, u""},
      {u"10", 0, false, u""},          {u"1x", 0, false, u""},      {u" 1", 0, false, u""},
  };
  int index = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(index++);
    LightThemeProbe probe;
    probe.value = row.light;
    EXPECT_EQ(u16string(row.section), header::ChooseColorSection(row.darkMode, std::ref(probe)));
    EXPECT_EQ(row.asked ? 1 : 0, probe.asked);
  }
}

TEST(ParseColor, DecimalMaskedTo24Bits) {
  EXPECT_EQ(0x0000FFu, header::ParseColor(u"255"));
  EXPECT_EQ(0xFFFFFFu, header::ParseColor(u"16777215"));
  EXPECT_EQ(0u, header::ParseColor(u"16777216"));
  EXPECT_EQ(0xFFFFFFu, header::ParseColor(u"-1"));
  EXPECT_EQ(12u, header::ParseColor(u"12ab"));
  EXPECT_EQ(0u, header::ParseColor(u"red"));
  EXPECT_EQ(0x123456u, header::ParseColor(u" \t+1193046"));
}

TEST(ParseDecimal, ClampsBeyond32Bits) {
  EXPECT_EQ(INT32_MAX, header::ParseDecimal(u"2147483647"));
  EXPECT_EQ(INT32_MAX, header::ParseDecimal(u"2147483648"));
  EXPECT_EQ(INT32_MAX, header::ParseDecimal(u"99999999999999999999999"));
  EXPECT_EQ(INT32_MIN, header::ParseDecimal(u"-2147483648"));
  EXPECT_EQ(INT32_MIN, header::ParseDecimal(u"-99999999999999999999999"));
  EXPECT_EQ(0xFFFFFFu, header::ParseColor(u"4294967295"));  // clamped to 0x7FFFFFFF first
  EXPECT_EQ(0u, header::ParseColor(u"-4294967296"));        // clamped to 0x80000000
  EXPECT_EQ(0, header::ParseDecimal(u"-"));
  EXPECT_EQ(0, header::ParseDecimal(u"+-5"));
}

struct SystemColors {
  std::vector<int> asked;
  ColorRef operator()(int index) {
    asked.push_back(index);
    return 0x100 + index;
  }
};

TEST(ResolveHeaderColors, EmptyKeysTakeDarkDefaultsOnlyInColorsDark) {
  const header::ColorValues empty = {u"", u"", u"", u""};
  SystemColors system;
  header::HeaderColors dark = header::ResolveHeaderColors(u"ColorsDark", empty, std::ref(system));
  EXPECT_EQ(0x404040u, dark.activeBackground);
  EXPECT_EQ(0xDCDCDCu, dark.activeText);
  EXPECT_EQ(0x202020u, dark.inactiveBackground);
  EXPECT_EQ(0xDCDCDCu, dark.inactiveText);
  EXPECT_TRUE(system.asked.empty());

  for (const char16_t* section : {u"Colors", u"", u"colorsdark"}) {
    SystemColors light;
    header::HeaderColors colors = header::ResolveHeaderColors(section, empty, std::ref(light));
    EXPECT_EQ(0x100u + COLOR_ACTIVECAPTION, colors.activeBackground);
    EXPECT_EQ(0x100u + COLOR_CAPTIONTEXT, colors.activeText);
    EXPECT_EQ(0x100u + COLOR_INACTIVECAPTION, colors.inactiveBackground);
    EXPECT_EQ(0x100u + COLOR_INACTIVECAPTIONTEXT, colors.inactiveText);
    EXPECT_EQ(
        (std::vector<int>{COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT, COLOR_INACTIVECAPTION, COLOR_INACTIVECAPTIONTEXT}),
        light.asked);
  }
}

TEST(ResolveHeaderColors, ValuesNeverFallBackAndOnlyEmptyKeysAskTheSystem) {
  SystemColors system;
  header::HeaderColors colors =
      header::ResolveHeaderColors(u"Colors", {u"255", u"", u"letters", u"-1"}, std::ref(system));
  EXPECT_EQ(0x0000FFu, colors.activeBackground);
  EXPECT_EQ(0x100u + COLOR_CAPTIONTEXT, colors.activeText);
  EXPECT_EQ(0u, colors.inactiveBackground);
  EXPECT_EQ(0xFFFFFFu, colors.inactiveText);
  EXPECT_EQ(std::vector<int>{COLOR_CAPTIONTEXT}, system.asked);
}

TEST(SelectTitlePair, InactiveOnlyWhenThePixelShowsTheInactiveBackground) {
  header::HeaderColors colors = {0x111111, 0x222222, 0x333333, 0x444444};
  header::TitlePair inactive = header::SelectTitlePair(0x333333, colors);
  EXPECT_EQ(0x333333u, inactive.background);
  EXPECT_EQ(0x444444u, inactive.text);
  for (ColorRef pixel : {0x111111u, 0x000000u, CLR_INVALID, 0xFF333333u}) {
    header::TitlePair active = header::SelectTitlePair(pixel, colors);
    EXPECT_EQ(0x111111u, active.background);
    EXPECT_EQ(0x222222u, active.text);
  }
  header::HeaderColors same = {0x555555, 0x666666, 0x555555, 0x777777};
  EXPECT_EQ(0x777777u, header::SelectTitlePair(0x555555, same).text);
}

u16string Face(const win::FontRecord& record) { return record.lfFaceName; }

// The platform's MulDiv for the non-negative values of these tests: rounded to the nearest.
int MulDivNearest(int number, int numerator, int denominator) {
  return (number * numerator + denominator / 2) / denominator;
}

TEST(ResolveHeaderFont, DefaultsAndHeightsAt96And120DotsPerInch) {
  for (const char16_t* other : {u"", u"0", u"01", u"2"}) {
    header::FontDefaults old = header::ChooseFontDefaults(other);
    EXPECT_EQ(u"Microsoft Sans Serif", u16string(old.face));
    EXPECT_EQ(u"8", u16string(old.size));
    EXPECT_EQ(u"700", u16string(old.weight));
  }
  header::FontDefaults d = header::ChooseFontDefaults(u"1");
  header::HeaderFont newer = {d.size, d.weight, d.face};
  win::FontRecord r96 = header::ResolveHeaderFont(newer, 96, d.face, MulDivNearest);
  EXPECT_EQ(-12, r96.lfHeight);
  EXPECT_EQ(400, r96.lfWeight);
  EXPECT_EQ(u"Segoe UI", Face(r96));
  EXPECT_EQ(-15, header::ResolveHeaderFont(newer, 120, d.face, MulDivNearest).lfHeight);

  header::FontDefaults o = header::ChooseFontDefaults(u"");
  header::HeaderFont older = {o.size, o.weight, o.face};
  win::FontRecord o96 = header::ResolveHeaderFont(older, 96, o.face, MulDivNearest);
  EXPECT_EQ(-11, o96.lfHeight);  // 10.67 rounded
  EXPECT_EQ(700, o96.lfWeight);
  EXPECT_EQ(-13, header::ResolveHeaderFont(older, 120, o.face, MulDivNearest).lfHeight);

  EXPECT_EQ(0, r96.lfWidth);
  EXPECT_EQ(0, r96.lfEscapement);
  EXPECT_EQ(0, r96.lfOrientation);
  EXPECT_EQ(0, r96.lfItalic + r96.lfUnderline + r96.lfStrikeOut);
  EXPECT_EQ(1, r96.lfCharSet);
  EXPECT_EQ(0, r96.lfOutPrecision);
  EXPECT_EQ(1, r96.lfClipPrecision);
  EXPECT_EQ(2, r96.lfQuality);
  EXPECT_EQ(0, r96.lfPitchAndFamily);
}

TEST(ResolveHeaderFont, SizeWithoutDigitsAndFaceNameLimits) {
  EXPECT_EQ(0, header::ResolveHeaderFont({u"big", u"bold", u"Arial"}, 96, u"Segoe UI", MulDivNearest).lfHeight);
  EXPECT_EQ(0, header::ResolveHeaderFont({u"big", u"bold", u"Arial"}, 96, u"Segoe UI", MulDivNearest).lfWeight);
  u16string longest(31, u'f');
  EXPECT_EQ(longest, Face(header::ResolveHeaderFont({u"9", u"400", longest.c_str()}, 96, u"Segoe UI", MulDivNearest)));
  u16string tooLong(32, u'f');
  EXPECT_EQ(u"Segoe UI",
            Face(header::ResolveHeaderFont({u"9", u"400", tooLong.c_str()}, 96, u"Segoe UI", MulDivNearest)));
}

TEST(ResolveHeaderFont, ScalesTheSizeInPointsToTheDotsPerInch) {
  std::vector<int> asked;
  auto mulDiv = [&](int number, int numerator, int denominator) {
    asked = {number, numerator, denominator};
    return 17;
  };
  EXPECT_EQ(-17, header::ResolveHeaderFont({u" 12pt", u"400", u"Arial"}, 144, u"Segoe UI", mulDiv).lfHeight);
  EXPECT_EQ((std::vector<int>{12, 144, 72}), asked);
}

}  // namespace
