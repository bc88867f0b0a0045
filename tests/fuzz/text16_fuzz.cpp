// The text helpers every composition is built from, over any texts and capacities:
// append and compose refuse whole, never cut; equal and the searches agree with
// std::u16string.
// Input: 2 bytes capacity, then four parts separated by NUL.
#include "fuzz_support.h"
#include "shared/text16.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t capacity = fuzz::Take<std::uint16_t>(data, size) % 600;
  const auto parts = fuzz::Fields(fuzz::Units(data, size), 4);
  const fuzz::HeapText a(parts[0]), b(parts[1]), c(parts[2]), d(parts[3]);

  FUZZ_CHECK(text16::Equal(a.get(), b.get()) == (parts[0] == parts[1]));
  FUZZ_CHECK(text16::Length(a.get()) == parts[0].size());
  const char16_t unit = parts[1].empty() ? u'\\' : parts[1][0];
  FUZZ_CHECK(text16::Contains(a.get(), unit) == (parts[0].find(unit) != std::u16string::npos));
  const std::size_t last = parts[0].rfind(unit);
  FUZZ_CHECK(text16::FindLast(a.get(), unit) == (last == std::u16string::npos ? -1L : static_cast<long>(last)));

  // Compose into a heap buffer of exactly capacity units.
  std::unique_ptr<char16_t[]> buffer(new char16_t[capacity + 1]);
  for (std::size_t i = 0; i <= capacity; ++i) buffer[i] = fuzz::kFill;
  const std::u16string whole = parts[0] + parts[1] + parts[2] + parts[3];
  const bool fits = text16::Compose(buffer.get(), capacity, a.get(), b.get(), c.get(), d.get());
  FUZZ_CHECK(fits == (whole.size() + 1 <= capacity));
  FUZZ_CHECK(buffer[capacity] == fuzz::kFill);  // the unit past the capacity
  for (std::size_t i = 0; i < capacity; ++i) FUZZ_CHECK(buffer[i] == (fits && i < whole.size() ? whole[i] : 0));

  // Append onto the composed text: all of it or nothing.
  if (capacity > 0) {
    const std::u16string before(buffer.get());
    const bool appended = text16::Append(buffer.get(), capacity, d.get());
    const std::u16string after = before + parts[3];
    FUZZ_CHECK(appended == (after.size() + 1 <= capacity));
    FUZZ_CHECK(std::u16string(buffer.get()) == (appended ? after : before));
    FUZZ_CHECK(buffer[capacity] == fuzz::kFill);
  }
  return 0;
}
