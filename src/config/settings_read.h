// Reading settings values and expanding their environment references, refusing what does
// not fit 259 units instead of using it cut.
#pragma once
#include <cstdint>

#include "config/config_rules.h"

namespace config {

// GetPrivateProfileStringW with one unit to spare: the units read, kUnits or more when the
// value is longer than 259 units (raw then holds its start, for messages only).
std::uint32_t ReadRaw(const char16_t* section, const char16_t* key, const char16_t* fallback,
                      const char16_t* file, char16_t (&raw)[kReadUnits]);

// The value, or fallback when the key is absent. False, value empty, when it is longer than
// 259 units.
bool ReadSetting(const char16_t* section, const char16_t* key, const char16_t* fallback, const char16_t* file,
                 char16_t (&value)[kUnits]);

// text with its %NAME% references expanded. False, expanded empty, when the result does not
// fit 260 units.
bool ExpandReferences(const char16_t* text, char16_t (&expanded)[kUnits]);

}  // namespace config
