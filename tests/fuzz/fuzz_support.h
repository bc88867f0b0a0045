// Shared pieces of the fuzz targets: the input read as UTF-16 units, split into fields,
// fixed buffers with guard units behind them, and a check that stops the run loudly.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace fuzz {

// Stops the run with a message; libFuzzer keeps the input that got here.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

// The input as UTF-16LE units: byte pairs, an odd last byte dropped.
inline std::u16string Units(const std::uint8_t* data, std::size_t size) {
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  return units;
}

// The units split at each null unit into count fields; missing fields are empty, and
// whatever follows the last separator belongs to the last field (up to its own null).
inline std::vector<std::u16string> Fields(const std::u16string& units, std::size_t count) {
  std::vector<std::u16string> fields(count);
  std::size_t at = 0;
  for (std::size_t i = 0; i < count && at <= units.size(); ++i) {
    std::size_t end = units.find(u'\0', at);
    if (end == std::u16string::npos) end = units.size();
    fields[i] = units.substr(at, end - at);
    at = end + 1;
  }
  return fields;
}

// Text up to its first null unit, as the rules see it.
inline std::u16string Terminated(const std::u16string& units) { return units.substr(0, units.find(u'\0')); }

// A terminated copy on the heap of exactly its length plus the terminator, so that a read
// past the terminator is caught by the address sanitizer.
class HeapText {
 public:
  explicit HeapText(const std::u16string& text) : units_(new char16_t[text.size() + 1]) {
    std::memcpy(units_.get(), text.data(), text.size() * sizeof(char16_t));
    units_[text.size()] = 0;
  }
  const char16_t* get() const { return units_.get(); }

 private:
  std::unique_ptr<char16_t[]> units_;
};

constexpr char16_t kFill = 0xA5A5;  // what a buffer holds before a rule fills it
constexpr char16_t kGuard = 0x5A5A;
constexpr std::size_t kGuardUnits = 16;

// A fixed buffer of N units with guard units right behind it in the same object, where the
// address sanitizer would not see an overrun.
template <std::size_t N>
struct Guarded {
  char16_t text[N];
  char16_t guard[kGuardUnits];

  Guarded() {
    for (auto& unit : text) unit = kFill;
    for (auto& unit : guard) unit = kGuard;
  }
  bool GuardIntact() const {
    for (auto unit : guard)
      if (unit != kGuard) return false;
    return true;
  }
  // The text up to its terminator, which must lie inside the buffer.
  bool Terminated() const {
    for (auto unit : text)
      if (unit == 0) return true;
    return false;
  }
  std::u16string Text() const { return std::u16string(text); }
  // Zero-filled from the terminator to the end of the buffer.
  bool ZeroAfterText() const {
    for (std::size_t i = Text().size(); i < N; ++i)
      if (text[i] != 0) return false;
    return true;
  }
};

// Checks every buffer invariant and that the text is the expected one.
template <std::size_t N>
void CheckBuffer(const Guarded<N>& buffer, const std::u16string& expected) {
  FUZZ_CHECK(buffer.GuardIntact());
  FUZZ_CHECK(buffer.Terminated());
  FUZZ_CHECK(buffer.ZeroAfterText());
  FUZZ_CHECK(buffer.Text() == expected);
}

// A little-endian integer from the front of the input, consumed.
template <class T>
T Take(const std::uint8_t*& data, std::size_t& size) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < sizeof(T) && size > 0; ++i, ++data, --size)
    value |= static_cast<std::uint64_t>(*data) << (8 * i);
  return static_cast<T>(value);
}

}  // namespace fuzz
