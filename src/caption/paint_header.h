// The Quick View header, and the container's note, painted in the host's title colours and
// window font.
#pragma once
#include "platform/types.h"

// Draws text (the header text already set into the header window) into the header's client
// area; with an empty caption it prepares everything but draws nothing.
void PaintHeader(HWND header, const char16_t* text, bool captionNonEmpty);

// A note in a window of ours (the container while it has no viewer to show), centred on one
// line in the host's active title colours and its window font.
void PaintNote(HWND window, const char16_t* text);
