// The hook procedures, run inside the viewer's process on its user-interface thread.
#pragma once
#include "platform/types.h"
#include "shared/export.h"

PX_EXPORT LResult KbdProc(int code, WParam wParam, LParam lParam);
PX_EXPORT LResult MouseProc(int code, WParam wParam, LParam lParam);
PX_EXPORT LResult TitleProc(int code, WParam wParam, LParam lParam);

// The viewer's window made the container's child and shown filling it, and shown in its own
// right too when showsViewer; true when the platform made it the child. The title hook does
// this on the viewer's thread at the host's request; the host does it itself for a viewer
// the hook does not reach.
bool PutIntoContainer(HWND viewer, HWND container, bool showsViewer);
