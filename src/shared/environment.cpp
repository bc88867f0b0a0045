#include "shared/environment.h"

#include "platform/system.h"

namespace env {

bool ExpandReferences(const char16_t* text, char16_t (&expanded)[text16::kUnits]) {
  text16::Zero(expanded, text16::kUnits);
  if (ExpansionFits(win::ExpandEnvironmentStringsW(text, expanded, text16::kUnits), text16::kUnits) &&
      expanded[text16::kUnits - 1] == 0)
    return true;
  text16::Zero(expanded, text16::kUnits);
  return false;
}

}  // namespace env
