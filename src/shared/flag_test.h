// The flag test the host's and the plug-in's settings share ([Lister] Maximized, the bar
// keys): a value is on when it holds the character '1' anywhere; every other value, the
// empty one included, is off.
#pragma once
#include "shared/text16.h"

inline bool IsFlagOn(const char16_t* value) { return text16::Contains(value, u'1'); }
