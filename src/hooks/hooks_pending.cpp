// Stand-ins until the hooks land: every message passes on.
#include "hooks/hooks.h"
#include "platform/input.h"

LResult KbdProc(int code, WParam wParam, LParam lParam) { return win::CallNextHookEx(nullptr, code, wParam, lParam); }
LResult MouseProc(int code, WParam wParam, LParam lParam) { return win::CallNextHookEx(nullptr, code, wParam, lParam); }
