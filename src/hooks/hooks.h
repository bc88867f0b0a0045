// The hook procedures, run inside the viewer's process on its user-interface thread.
#pragma once
#include "platform/types.h"
#include "shared/export.h"

PX_EXPORT LResult KbdProc(int code, WParam wParam, LParam lParam);
PX_EXPORT LResult MouseProc(int code, WParam wParam, LParam lParam);
PX_EXPORT LResult TitleProc(int code, WParam wParam, LParam lParam);
