// The viewer's title, as any text: the caption cut from it, and the Lister title and the
// Quick View header text built over that caption.
#include "caption/caption_rules.h"
#include "fuzz_support.h"

namespace {

using fuzz::CheckBuffer;
using fuzz::Guarded;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The caption as std::u16string sees it: the first 259 units, cut at the last suffix;
// without one, empty for a shorter title, and for one of 259 units the title less the
// longest beginning of the suffix at its end, or less a high surrogate at its end.
std::u16string ReferenceCaption(const std::u16string& title) {
  const std::size_t max = text16::kUnits - 1;
  const std::u16string suffix = caption::kViewerSuffix;
  std::u16string read = title.substr(0, max);
  std::size_t at = read.rfind(suffix);
  if (at != std::u16string::npos) return read.substr(0, at);
  if (read.size() < max) return std::u16string();
  if (IsHighSurrogate(read.back())) return read.substr(0, max - 1);
  for (std::size_t kept = suffix.size() - 1; kept > 0; --kept)
    if (read.compare(max - kept, kept, suffix, 0, kept) == 0) return read.substr(0, max - kept);
  return read;
}

// Name part and suffix, then spaces up to N - len while that is longer.
std::u16string ReferenceHeaderText(const std::u16string& captionText) {
  std::size_t slash = captionText.rfind(u'\\');
  std::u16string name = slash == std::u16string::npos ? captionText : captionText.substr(slash + 1);
  const std::size_t limit = slash == std::u16string::npos ? 283 : 272;
  std::u16string text = name.substr(0, text16::kUnits - 1) + caption::kHeaderSuffix;
  std::size_t len = text.size();
  if (len < limit - len) text.append(limit - 2 * len, u' ');
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string units = fuzz::Units(data, size);
  const std::u16string title = fuzz::Terminated(units);
  const fuzz::HeapText heapTitle(title);

  Guarded<text16::kUnits> extracted;
  caption::ExtractCaption(heapTitle.get(), extracted.text);
  const std::u16string expected = ReferenceCaption(title);
  CheckBuffer(extracted, expected);
  FUZZ_CHECK(expected.size() <= text16::kUnits - 1);
  // Never half a character: a high surrogate at the end whose low one follows in the title.
  const std::u16string got = extracted.Text();
  FUZZ_CHECK(got.empty() || !IsHighSurrogate(got.back()) || !IsLowSurrogate(title[got.size()]));

  Guarded<caption::kCaptionUnits> listerTitle;
  caption::ComposeListerTitle(extracted.text, listerTitle.text);
  CheckBuffer(listerTitle, caption::kListerTitleFront + expected + caption::kListerTitleBack);
  FUZZ_CHECK(listerTitle.Text().size() <= 282);

  // The header text over the extracted caption, and over the whole title taken as a
  // caption, which may be longer than any caption the extraction gives.
  for (const std::u16string* captionText : {&expected, &title}) {
    const fuzz::HeapText heapCaption(*captionText);
    Guarded<caption::kCaptionUnits> header;
    caption::ComposeHeaderText(heapCaption.get(), header.text);
    CheckBuffer(header, ReferenceHeaderText(*captionText));
    FUZZ_CHECK(header.Text().size() <= caption::kHeaderTextMax);
  }
  return 0;
}
