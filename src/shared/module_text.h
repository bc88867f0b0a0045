// The module-wide text buffer: one copy in each process that has the library mapped (the
// host's, and the viewer's once the hooks are installed there); nothing is shared between
// processes. It holds, in turn, the caption extracted from the viewer's title, a class
// name the keyboard hook reads, and the text of a message to the user.
#pragma once
#include "shared/text16.h"

extern char16_t g_text[text16::kUnits];
