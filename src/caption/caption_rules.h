// The caption's decisions: what part of the viewer's title names the image, and the texts
// built from it for the Lister title bar and the Quick View header.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/types.h"
#include "shared/text16.h"

namespace caption {

// The caption buffer of one call: the viewer's title, then the Lister title or the header
// text built over it.
constexpr std::size_t kCaptionUnits = 283;
constexpr std::size_t kHeaderTextMax = 271;

constexpr char16_t kViewerSuffix[] = u" - Pixmorant";  // the viewer titles its window "<path> - Pixmorant"
constexpr std::size_t kViewerSuffixLength = 12;
constexpr char16_t kListerTitleFront[] = u"Lister (pixmorant) - [";
constexpr char16_t kListerTitleBack[] = u"]";
constexpr char16_t kHeaderSuffix[] = u" - pixmorant";
constexpr std::size_t kHeaderSuffixLength = 12;

// The viewer whose title the caption may name, kept on its container: the viewer on view.
// While the host steps to another file the container names none (kNoViewerNamed), so that
// the caption never names the image that is going; a viewer leaving the container is not
// the one named. A window that is no container of ours has no such value, and every viewer
// may name the caption there.
constexpr char16_t kNamedViewerProperty[] = u"Pixmorant.NamedViewer";
inline HWND NoViewerNamed() { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(1)); }

inline bool MayName(const void* named, HWND viewer) { return named == nullptr || named == viewer; }

// Whether the whole suffix starts at `at` and ends within the first 259 units. The
// comparison stops at the title's terminator, which no unit of the suffix matches.
inline bool SuffixAt(const char16_t* title, std::size_t at) {
  if (at + kViewerSuffixLength > text16::kUnits - 1) return false;
  std::size_t i = 0;
  while (i < kViewerSuffixLength && title[at + i] == kViewerSuffix[i]) ++i;
  return i == kViewerSuffixLength;
}

// How many units at the end of the title are the beginning of the suffix (" - Pix"), the
// longest such beginning; 0 when the title ends otherwise.
inline std::size_t SuffixBeginningAtEnd(const char16_t* title, std::size_t length) {
  for (std::size_t kept = kViewerSuffixLength - 1; kept > 0; --kept)
    if (kept <= length && std::memcmp(title + length - kept, kViewerSuffix, kept * sizeof(char16_t)) == 0) return kept;
  return 0;
}

// The caption is everything in front of the last " - Pixmorant" (case-sensitive) within
// the first 259 units of the title: the viewer titles its window with the path and the
// suffix after it, and a folder or file name may hold the suffix's text too (a name such as
// "a - Pixmorant b.png"). A title that fills all 259 units without it was cut by the read
// (a path of 248 units or more): the caption is then the title as read, less the beginning
// of the suffix the cut left at its end or the half of a character it split, so that it
// still names the image on view. A shorter title without the suffix is not the viewer's
// naming of an image: the caption is empty, the host's title stays as it is and nothing is
// painted.
// caption: text16::kUnits units, zero-filled here.
inline void ExtractCaption(const char16_t* title, char16_t* caption) {
  text16::Zero(caption, text16::kUnits);
  // One pass finds the last suffix and the title's end alike.
  const std::size_t kNone = text16::kUnits;
  std::size_t cut = kNone;
  std::size_t length = 0;
  for (; length < text16::kUnits - 1 && title[length] != 0; ++length)
    if (SuffixAt(title, length)) cut = length;
  if (cut == kNone) {
    if (length < text16::kUnits - 1) return;
    // A read that split a character ends in its high unit, which no beginning of the suffix
    // does: at most one of the two is taken off.
    cut = text16::WholeCharactersLength(title, length) - SuffixBeginningAtEnd(title, length);
  }
  std::memcpy(caption, title, cut * sizeof(char16_t));
}

// "Lister (pixmorant) - [<caption>]": at most 22 + 259 + 1 units, so it always fits
// kCaptionUnits.
inline void ComposeListerTitle(const char16_t* caption, char16_t* title) {
  text16::Compose(title, kCaptionUnits, kListerTitleFront, caption, kListerTitleBack);
}

// "<name> - pixmorant", padded with spaces to N - len units when it is shorter than that:
// the name is what follows the caption's last backslash (N 272), or the whole caption when
// it has none (N 283). At most 271 units. text: kCaptionUnits units.
inline void ComposeHeaderText(const char16_t* caption, char16_t* text) {
  long slash = text16::FindLast(caption, u'\\');
  const char16_t* name = slash < 0 ? caption : caption + slash + 1;
  const std::size_t limit = slash < 0 ? 283 : 272;
  text16::Zero(text, kCaptionUnits);
  std::size_t len = 0;
  for (; name[len] != 0 && len < text16::kUnits - 1; ++len) text[len] = name[len];
  for (std::size_t i = 0; i < kHeaderSuffixLength; ++i) text[len++] = kHeaderSuffix[i];
  for (std::size_t total = limit - len; len < total;) text[len++] = u' ';
}

// A window's text is read back with one unit more than the longest text the caption
// writes (282 units), so that a longer text, cut by the read, never reads as equal.
constexpr std::size_t kShownUnits = kCaptionUnits + 1;

// The host redraws its frame on every change of a title, and a host may lay out its
// windows again, which sends the container new messages and brings the caption back:
// a text is written only when the whole of it differs from what the window shows.
inline bool TextDiffers(const char16_t* shown, const char16_t* wanted) { return !text16::Equal(shown, wanted); }

// The header window is asked for with code 10 when the answers to codes 1 and 3 agree in
// their low 32 bits, with code 9 otherwise.
inline WParam ChooseHeaderQueryCode(LResult first, LResult third) {
  return static_cast<std::uint32_t>(first) == static_cast<std::uint32_t>(third) ? 10 : 9;
}

// The host answers a window in the low 32 bits of the result, to be sign-extended.
inline HWND WindowFromAnswer(LResult answer) {
  return reinterpret_cast<HWND>(static_cast<std::intptr_t>(static_cast<std::int32_t>(answer)));
}

}  // namespace caption
