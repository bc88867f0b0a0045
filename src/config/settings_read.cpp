#include "config/settings_read.h"

#include "platform/system.h"

namespace config {

std::uint32_t ReadRaw(const char16_t* section, const char16_t* key, const char16_t* fallback, const char16_t* file,
                      char16_t (&raw)[kReadUnits]) {
  text16::Zero(raw, kReadUnits);
  return win::GetPrivateProfileStringW(section, key, fallback, raw, kReadUnits, file);
}

bool ReadSetting(const char16_t* section, const char16_t* key, const char16_t* fallback, const char16_t* file,
                 char16_t (&value)[text16::kUnits]) {
  char16_t raw[kReadUnits];
  text16::Zero(value, text16::kUnits);
  if (!ValueFits(ReadRaw(section, key, fallback, file, raw))) return false;
  return text16::Compose(value, text16::kUnits, raw, u"");
}

}  // namespace config
