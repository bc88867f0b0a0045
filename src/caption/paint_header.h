// The Quick View header, painted in the host's title colours and window font.
#pragma once
#include "platform/types.h"

// Draws text (the header text already set into the header window) into the header's client
// area; with an empty caption it prepares everything but draws nothing.
void PaintHeader(HWND header, const char16_t* text, bool captionNonEmpty);
