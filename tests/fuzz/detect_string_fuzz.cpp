// The host's buffer size, any signed 32-bit count: the bounded copy of the detect string
// into a buffer of exactly that many bytes (capped at what the copy can ever write).
#include <algorithm>

#include "fuzz_support.h"
#include "plugin/detect_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::int32_t hostSize = fuzz::Take<std::int32_t>(data, size);
  constexpr std::size_t kWhole = sizeof(detect::kDetectString);  // with the terminator
  static_assert(kWhole == 1172, "1171 characters and a terminator");

  detect::CopyDetectString(nullptr, hostSize);  // a null buffer is never touched

  // The heap block ends where the copy must stop, so a byte more is caught.
  const std::size_t units = hostSize <= 0 ? 1 : std::min<std::size_t>(static_cast<std::size_t>(hostSize), kWhole);
  std::unique_ptr<char[]> buffer(new char[units]);
  std::memset(buffer.get(), 0x5A, units);
  detect::CopyDetectString(buffer.get(), hostSize);

  if (hostSize <= 0) {
    FUZZ_CHECK(buffer[0] == 0x5A);
  } else if (static_cast<std::size_t>(hostSize) >= kWhole) {
    FUZZ_CHECK(std::memcmp(buffer.get(), detect::kDetectString, kWhole) == 0);
  } else {
    FUZZ_CHECK(buffer[0] == 0);  // too small: the empty string
  }
  return 0;
}
