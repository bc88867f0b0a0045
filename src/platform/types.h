// Handle types and constants of the Windows interface, for code that does not include
// <windows.h>. The handles are declared exactly as <windows.h> declares them, so the two
// agree wherever both are seen; the constants carry the platform's own names and values.
#pragma once
#include <cstdint>

struct HWND__;
struct HINSTANCE__;
struct HMENU__;
struct HDC__;
struct HFONT__;
struct HHOOK__;
typedef HWND__* HWND;
typedef HINSTANCE__* HINSTANCE;
typedef HMENU__* HMENU;
typedef HDC__* HDC;
typedef HFONT__* HFONT;
typedef HHOOK__* HHOOK;
typedef void* HANDLE;

// The window procedure and hook procedure arguments, sized as on 64-bit Windows.
typedef std::uint64_t WParam;
typedef std::int64_t LParam;
typedef std::int64_t LResult;
typedef std::uint32_t ColorRef;  // 0x00BBGGRR

#if !defined(_WINUSER_)  // <windows.h> already defines these as macros
constexpr unsigned WM_USER = 0x0400;
constexpr unsigned WM_NULL = 0;
constexpr unsigned WM_CREATE = 1;
constexpr unsigned WM_DESTROY = 2;
constexpr unsigned WM_SIZE = 5;
constexpr unsigned WM_PAINT = 15;
constexpr unsigned WM_SETTEXT = 12;
constexpr unsigned WM_CLOSE = 16;
constexpr unsigned WM_CONTEXTMENU = 123;
constexpr unsigned WM_NCLBUTTONUP = 162;
constexpr unsigned WM_KEYDOWN = 256;
constexpr unsigned WM_KEYUP = 257;
constexpr unsigned WM_SYSCOMMAND = 274;
constexpr unsigned WM_MOUSEMOVE = 512;
constexpr unsigned WM_LBUTTONDOWN = 513;
constexpr unsigned WM_LBUTTONUP = 514;
constexpr unsigned WM_LBUTTONDBLCLK = 515;
constexpr unsigned WM_RBUTTONDOWN = 516;
constexpr unsigned WM_RBUTTONUP = 517;
constexpr unsigned WM_MBUTTONUP = 520;
constexpr unsigned WM_MOUSEWHEEL = 522;
constexpr unsigned WM_MOUSEHWHEEL = 526;
constexpr unsigned MN_GETHMENU = 481;

constexpr unsigned SC_SIZE = 0xF000;
constexpr unsigned SC_MOVE = 0xF010;
constexpr unsigned SC_MINIMIZE = 0xF020;
constexpr unsigned SC_MAXIMIZE = 0xF030;
constexpr unsigned SC_CLOSE = 0xF060;
constexpr unsigned SC_RESTORE = 0xF120;

constexpr int VK_LBUTTON = 1;
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_NEXT = 34;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_NUMPAD1 = 97;

constexpr int HC_ACTION = 0;
constexpr int WH_KEYBOARD = 2;
constexpr int WH_MOUSE = 7;
constexpr int WH_CALLWNDPROCRET = 12;
constexpr unsigned KEYEVENTF_KEYUP = 2;
constexpr unsigned MOUSEEVENTF_LEFTUP = 4;

constexpr unsigned MF_BYCOMMAND = 0;
constexpr unsigned MF_GRAYED = 1;
constexpr unsigned MF_DISABLED = 2;
constexpr unsigned MF_BYPOSITION = 0x400;

constexpr unsigned SMTO_BLOCK = 1;
constexpr unsigned SMTO_ABORTIFHUNG = 2;
constexpr unsigned SWP_NOSIZE = 0x0001;
constexpr unsigned SWP_NOMOVE = 0x0002;
constexpr unsigned SWP_NOACTIVATE = 0x0010;
constexpr unsigned SWP_ASYNCWINDOWPOS = 0x4000;

constexpr unsigned GW_HWNDNEXT = 2;
constexpr unsigned GW_OWNER = 4;
constexpr unsigned GW_CHILD = 5;
constexpr unsigned GA_ROOT = 2;
constexpr int GWL_STYLE = -16;
constexpr int GWLP_USERDATA = -21;
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr unsigned CS_VREDRAW = 1;
constexpr unsigned CS_HREDRAW = 2;
constexpr unsigned CS_PARENTDC = 0x80;
constexpr int COLOR_WINDOW = 5;

constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr unsigned DT_CENTER = 0x1;
constexpr unsigned DT_VCENTER = 0x4;
constexpr unsigned DT_SINGLELINE = 0x20;
constexpr unsigned DT_NOCLIP = 0x100;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr int LOGPIXELSY = 90;

constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_TASKMODAL = 0x2000;
constexpr unsigned DLL_PROCESS_DETACH = 0;
constexpr unsigned DLL_PROCESS_ATTACH = 1;
constexpr unsigned DLL_THREAD_ATTACH = 2;
constexpr unsigned DLL_THREAD_DETACH = 3;
constexpr std::uint32_t INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
constexpr std::uint32_t SCS_32BIT_BINARY = 0;
constexpr std::uint32_t SCS_64BIT_BINARY = 6;
constexpr unsigned CP_ACP = 0;
constexpr std::uint32_t PROCESS_TERMINATE = 1;
constexpr std::uint32_t SYNCHRONIZE = 0x00100000;
constexpr std::uint32_t WAIT_OBJECT_0 = 0;
#endif
#if !defined(HWND_BOTTOM)
#define HWND_BOTTOM (reinterpret_cast<HWND>(1))
#endif

// The host's private messages, sent to its main window (class "TTOTAL_CMD") and to the
// window that holds a Quick View Lister.
constexpr unsigned HOST_QUERY_WINDOW = 0x0400 + 50;  // 1074: wParam a query code; answers a window
constexpr unsigned HOST_COMMAND = 0x0400 + 51;       // 1075: wParam a host command number
constexpr unsigned HOST_CMD_CLOSE_QUICK_VIEW = 307;  // the command posted with 1075 on Escape

// What ListLoadNext answers the host: the next file is on view, or the host is to close the
// plug-in's window and load the file afresh.
constexpr int LISTPLUGIN_OK = 0;
constexpr int LISTPLUGIN_ERROR = 1;
