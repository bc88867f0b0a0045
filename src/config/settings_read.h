// Reading settings values, refusing what does not fit 259 units instead of using it cut.
#pragma once
#include <cstdint>

#include "config/config_rules.h"

namespace config {

// GetPrivateProfileStringW with one unit to spare: the units read, text16::kUnits or more when the
// value is longer than 259 units (raw then holds its start, for messages only).
std::uint32_t ReadRaw(const char16_t* section, const char16_t* key, const char16_t* fallback, const char16_t* file,
                      char16_t (&raw)[kReadUnits]);

// The value, or fallback when the key is absent. False, value empty, when it is longer than
// 259 units.
bool ReadSetting(const char16_t* section, const char16_t* key, const char16_t* fallback, const char16_t* file,
                 char16_t (&value)[text16::kUnits]);

}  // namespace config
