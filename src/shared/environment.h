// %NAME% references of the host process's environment, expanded into fixed buffers. A text
// that does not fit is refused, never cut: a cut path names another file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "shared/text16.h"

namespace env {

// ExpandEnvironmentStringsW answers the units the expansion needs with its terminator;
// 0 is a failure and more than the capacity means the buffer holds no usable text.
inline bool ExpansionFits(std::uint32_t unitsNeeded, std::size_t capacity) {
  return unitsNeeded != 0 && unitsNeeded <= capacity;
}

// text with its %NAME% references expanded. False, expanded empty, when the result does not
// fit 260 units.
bool ExpandReferences(const char16_t* text, char16_t (&expanded)[text16::kUnits]);

}  // namespace env
