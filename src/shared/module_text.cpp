#include "shared/module_text.h"

char16_t g_text[text16::kUnits];
