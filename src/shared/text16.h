// UTF-16 text in fixed buffers: the few operations every subsystem composes its paths,
// titles and messages with. A capacity counts units including the terminator; a text that
// does not fit is refused whole (the buffer is left as it was), never cut, since a cut
// path names another file.
#pragma once
#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace text16 {

constexpr std::size_t kUnits = 260;  // paths, names and settings values: 259 units and a terminator

inline std::size_t Length(const char16_t* text) {
  std::size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

inline void Zero(char16_t* buffer, std::size_t capacity) { std::memset(buffer, 0, capacity * sizeof(char16_t)); }

// Same string, unit by unit, terminator included: a prefix or a longer name differs.
inline bool Equal(const char16_t* a, const char16_t* b) {
  std::size_t i = 0;
  for (; a[i] != 0 && a[i] == b[i]; ++i) {
  }
  return a[i] == b[i];
}

inline bool Contains(const char16_t* text, char16_t unit) {
  for (; *text != 0; ++text)
    if (*text == unit) return true;
  return false;
}

// A text cut to its first `length` units keeps whole characters: a character past the Basic
// Multilingual Plane (an emoji) is a pair of units, high then low, and a cut between the
// two would leave a lone high unit, which the host shows as a replacement character. The
// length that cuts before such a pair instead.
inline std::size_t WholeCharactersLength(const char16_t* text, std::size_t length) {
  bool endsInHighSurrogate = length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF;
  return endsInHighSurrogate ? length - 1 : length;
}

// Index of the last occurrence of unit, or -1.
inline long FindLast(const char16_t* text, char16_t unit) {
  long last = -1;
  for (long i = 0; text[i] != 0; ++i)
    if (text[i] == unit) last = i;
  return last;
}

// Appends text to the one in buffer; false, with buffer unchanged, when the result would
// not fit capacity units with its terminator.
inline bool Append(char16_t* buffer, std::size_t capacity, const char16_t* text) {
  std::size_t have = Length(buffer);
  std::size_t add = Length(text);
  if (have + add + 1 > capacity) return false;
  for (std::size_t i = 0; i <= add; ++i) buffer[have + i] = text[i];
  return true;
}

// Appends as much of text as fits capacity units with its terminator, never ending between
// the two units of a character: for texts that are only shown.
inline void AppendWhole(char16_t* buffer, std::size_t capacity, const char16_t* text) {
  std::size_t have = Length(buffer);
  std::size_t add = Length(text);
  if (have + add + 1 > capacity) add = WholeCharactersLength(text, capacity - 1 - have);
  for (std::size_t i = 0; i < add; ++i) buffer[have + i] = text[i];
  buffer[have + add] = 0;
}

// Zero-fills buffer and joins the parts into it (the "%s%s..." compositions); false, with
// buffer left empty, when the whole does not fit.
inline bool Compose(char16_t* buffer, std::size_t capacity, const char16_t* a, const char16_t* b,
                    const char16_t* c = u"", const char16_t* d = u"") {
  Zero(buffer, capacity);
  std::size_t at = 0;
  for (const char16_t* part : {a, b, c, d}) {
    std::size_t add = Length(part);
    if (at + add + 1 > capacity) {
      Zero(buffer, capacity);
      return false;
    }
    std::memcpy(buffer + at, part, add * sizeof(char16_t));
    at += add;
  }
  return true;
}

}  // namespace text16
