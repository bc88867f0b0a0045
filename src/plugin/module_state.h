// The module state: one copy in each process that has the library mapped (the host's, and
// the viewer's once the hooks are installed); nothing is shared between processes.
#pragma once
#include "platform/types.h"
#include "plugin/text16.h"

extern HINSTANCE g_hInstance;           // stored by the attach routine
extern char16_t g_text[text16::kUnits];  // caption, class names and message texts, in turn
