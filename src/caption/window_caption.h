// The caption naming the image in view: the Lister window's title, or in Quick View mode
// the host's header window, painted in the host's colours and font.
#pragma once
#include "platform/types.h"
#include "shared/export.h"

// Exported; always returns null.
PX_EXPORT char16_t* WindowCaption(HWND viewer, HWND lister);
