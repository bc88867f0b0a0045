#include "caption/caption_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using std::u16string;

u16string Caption(const u16string& title) {
  char16_t caption[text16::kUnits];
  caption::ExtractCaption(title.c_str(), caption);
  return caption;
}

u16string HeaderText(const u16string& caption) {
  char16_t text[caption::kCaptionUnits];
  caption::ComposeHeaderText(caption.c_str(), text);
  return text;
}

// The suffix the viewer puts after the path is the last one: a name may hold its text too.
TEST(ExtractCaption, CutsAtTheLastCaseSensitiveSuffix) {
  EXPECT_EQ(u"C:\\pics\\photo.jpg", Caption(u"C:\\pics\\photo.jpg - Pixmorant"));
  EXPECT_EQ(u"C:\\a - Pixmorant\\b.jpg", Caption(u"C:\\a - Pixmorant\\b.jpg - Pixmorant"));
  EXPECT_EQ(u"C:\\names\\a - Pixmorant b.png", Caption(u"C:\\names\\a - Pixmorant b.png - Pixmorant"));
  EXPECT_EQ(u"C:\\p.png - Pixmorant", Caption(u"C:\\p.png - Pixmorant - Pixmorant"));
  EXPECT_EQ(u"C:\\p.png", Caption(u"C:\\p.png - Pixmorant - pixmorant"));
  EXPECT_EQ(u"", Caption(u" - Pixmorant"));
  EXPECT_EQ(u"", Caption(u" - Pixmorant trailing"));
  EXPECT_EQ(u"", Caption(u"C:\\pics\\photo.jpg - pixmorant"));
  EXPECT_EQ(u"", Caption(u"C:\\pics\\photo.jpg"));
  EXPECT_EQ(u"", Caption(u""));
}

// The read keeps 259 units. A path of p units is followed by the suffix, which ends within
// them up to p = 247 and is cut in each of its places beyond, down to nothing at p = 259:
// the caption is the path all the same.
TEST(ExtractCaption, ATitleCutByTheReadStillGivesThePathInFrontOfTheSuffix) {
  for (std::size_t path = 247; path <= 259; ++path) {
    u16string title = u16string(path, u'p') + u" - Pixmorant" + u16string(40, u'b');
    EXPECT_EQ(u16string(path, u'p'), Caption(title)) << path;
    EXPECT_EQ(u16string(path, u'p'), Caption(title.substr(0, 259))) << path;
  }
}

TEST(ExtractCaption, OnlyATitleThatFillsAll259UnitsIsTakenWithoutTheSuffix) {
  EXPECT_EQ(u"", Caption(u16string(258, u'a')));
  EXPECT_EQ(u16string(259, u'a'), Caption(u16string(259, u'a')));
  EXPECT_EQ(u16string(259, u'a'), Caption(u16string(300, u'a')));
  EXPECT_EQ(u16string(258, u'a'), Caption(u16string(258, u'a') + u" - pixmorant"));  // cut after " "
  EXPECT_EQ(u"", Caption(u16string(246, u'a') + u" - pixmorant"));                   // 258 units, whole
  // A read that ends between the two units of a character leaves the character out.
  const u16string emoji = u"\U0001F600";
  EXPECT_EQ(u16string(258, u'a'), Caption(u16string(258, u'a') + emoji + u"b"));
  EXPECT_EQ(u16string(257, u'a') + emoji, Caption(u16string(257, u'a') + emoji + u"b"));
}

TEST(ComposeListerTitle, FramesTheCaptionAndAlwaysFits) {
  char16_t title[caption::kCaptionUnits];
  caption::ComposeListerTitle(u"C:\\pics\\photo.jpg", title);
  EXPECT_EQ(u"Lister (pixmorant) - [C:\\pics\\photo.jpg]", u16string(title));
  u16string longest(259, u'x');
  caption::ComposeListerTitle(longest.c_str(), title);
  EXPECT_EQ(u"Lister (pixmorant) - [" + longest + u"]", u16string(title));
}

TEST(ComposeHeaderText, NamePartSuffixAndPaddingRowByRow) {
  struct Row {
    u16string caption, name;
    std::size_t total;
  };
  const Row rows[] = {
      {u"C:\\pics\\photo.jpg", u"photo.jpg", 251},
      {u"photo.jpg", u"photo.jpg", 262},
      {u"C:\\pics\\", u"", 260},
      {u"", u"", 271},
      {u"C:\\" + u16string(123, u'n'), u16string(123, u'n'), 137},
      {u"C:\\" + u16string(124, u'n'), u16string(124, u'n'), 136},
      {u16string(129, u'n'), u16string(129, u'n'), 142},
      {u16string(130, u'n'), u16string(130, u'n'), 142},
  };
  for (const Row& row : rows) {
    u16string text = HeaderText(row.caption);
    u16string front = row.name + u" - pixmorant";
    EXPECT_EQ(row.total, text.size()) << text.size();
    EXPECT_EQ(front, text.substr(0, front.size()));
    EXPECT_EQ(u16string(row.total - front.size(), u' '), text.substr(front.size()));
  }
}

TEST(ComposeHeaderText, NeverExceeds271Units) {
  for (std::size_t n = 0; n <= 259; ++n) {
    EXPECT_LE(HeaderText(u16string(n, u'n')).size(), caption::kHeaderTextMax) << n;
    if (n >= 1) {
      EXPECT_LE(HeaderText(u"\\" + u16string(n - 1, u'n')).size(), caption::kHeaderTextMax) << n;
    }
  }
}

TEST(ChooseHeaderQueryCode, ComparesTheLow32BitsOnly) {
  EXPECT_EQ(10u, caption::ChooseHeaderQueryCode(0x1234, 0x1234));
  EXPECT_EQ(10u, caption::ChooseHeaderQueryCode(0, 0));
  EXPECT_EQ(10u, caption::ChooseHeaderQueryCode(INT64_C(0x100001234), INT64_C(0x700001234)));
  EXPECT_EQ(9u, caption::ChooseHeaderQueryCode(0x1234, 0x1235));
  EXPECT_EQ(9u, caption::ChooseHeaderQueryCode(INT64_C(0x100001234), INT64_C(0x100001235)));
}

TEST(WindowFromAnswer, SignExtendsTheLow32Bits) {
  EXPECT_EQ(reinterpret_cast<HWND>(0x1234), caption::WindowFromAnswer(INT64_C(0x700001234)));
  EXPECT_EQ(reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2)), caption::WindowFromAnswer(INT64_C(0xFFFFFFFE)));
  EXPECT_EQ(nullptr, caption::WindowFromAnswer(INT64_C(0x100000000)));
}

TEST(TextDiffers, OnlyTheSameWholeTextIsLeftAlone) {
  const u16string title = u"Lister (pixmorant) - [C:\\pics\\photo.jpg]";
  EXPECT_FALSE(caption::TextDiffers(title.c_str(), title.c_str()));
  EXPECT_TRUE(caption::TextDiffers(u"Lister (pixmorant) - [C:\\pics\\photo.jpg)", title.c_str()));  // last unit
  EXPECT_TRUE(caption::TextDiffers((title + u" ").c_str(), title.c_str()));                         // longer
  EXPECT_TRUE(caption::TextDiffers(title.substr(0, title.size() - 1).c_str(), title.c_str()));      // shorter
  EXPECT_TRUE(caption::TextDiffers(u"", title.c_str()));
  EXPECT_TRUE(caption::TextDiffers(title.c_str(), u""));
  EXPECT_FALSE(caption::TextDiffers(u"", u""));
}

TEST(TextDiffers, AShownTextLongerThanAnyWrittenOneNeverReadsAsEqual) {
  // The longest Lister title: 22 + 259 + 1 units. A shown text that starts with it and
  // goes on is read into kShownUnits and keeps one unit more than the title.
  char16_t title[caption::kCaptionUnits];
  caption::ComposeListerTitle(u16string(259, u'p').c_str(), title);
  ASSERT_EQ(282u, text16::Length(title));
  u16string shown = u16string(title) + u"tail";
  u16string read = shown.substr(0, caption::kShownUnits - 1);
  EXPECT_TRUE(caption::TextDiffers(read.c_str(), title));
}

}  // namespace
