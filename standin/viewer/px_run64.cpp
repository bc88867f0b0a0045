// px_run64.exe - stand-in for the external image viewer that the plug-in embeds.
//
// It behaves, as far as the plug-in can see, like the real viewer: a top-level
// window of class "Pixmorant" titled "<path> - Pixmorant", a toolbar, an image
// child and a status bar, the keys that step through the folder, a modal dialog,
// a "FullScreenClass" window, a long context menu, and the settings file
// px_run64.ini beside the plug-in. On top of that it writes a log of what it
// receives (PX_VIEWER_LOG) and has a few switches for tests (PX_VIEWER_*); see
// README.md in this folder. It is a test and demo tool, not part of the release.
//
// Written in the scratch-program style: one window procedure for the main
// window with one small handler per message, plus two tiny procedures for the
// image child and the full-screen window, which draw the same picture.

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <windowsx.h>
#include <objbase.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <initguid.h>  // defines the WIC GUIDs in this file, no libuuid needed
#include <wincodec.h>
#include "standin_host.h"  // BMP files, shared with the stand-in host
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

// ---------------------------------------------------------------- constants

enum {
  PATH_UNITS = 1024,  // paths and titles; the plug-in passes at most ~500 units
  INI_UNITS = 260,    // settings values, as the plug-in reads them
  MENU_ITEMS = 32,    // so that the plug-in finds positions 25 to 28
  ID_IMAGE = 10,
  ID_TOOLBAR = 11,
  ID_STATUS = 12,
  WATCH_MS = 500,          // how often the main loop checks that our window still exists
  IDM_FIRST = 100,         // menu command n (0-based position) is IDM_FIRST + n
  MAX_DECODE_SIDE = 4096,  // larger images are scaled down while decoding
  NO_WINDOW_LIMIT_MS = 120000,
  HANG_POLL_MS = 20,  // how often a hang cue is looked for, wherever the thread pumps
  HANG_DEFAULT_MS = 30000,
};

// Context-menu texts, by position. The commands at the positions named in
// MenuCommand() act; the rest only log. Positions 25 to 28 are the ones the
// plug-in grays, so they hold commands nobody misses.
static const wchar_t* const kMenuText[MENU_ITEMS] = {
    L"Open\x2026",
    L"Next image",
    L"Previous image",
    L"Image information\x2026",
    L"Full screen",
    L"Rotate left",
    L"Rotate right",
    L"Flip horizontally",
    L"Flip vertically",
    L"Zoom 25%",
    L"Zoom 50%",
    L"Zoom 100%",
    L"Zoom 200%",
    L"Fit to window",
    L"Copy",
    L"Paste",
    L"Slide show",
    L"Sort by name",
    L"Sort by date",
    L"Sort by size",
    L"Show toolbar",
    L"Show status bar",
    L"Background colour",
    L"Print\x2026",
    L"Save as\x2026",
    L"Batch conversion\x2026",
    L"Plug-ins\x2026",
    L"Ghostscript\x2026",
    L"Settings\x2026",
    L"Properties\x2026",
    L"Help",
    L"About\x2026",
};
enum { POS_NEXT = 1, POS_PREV = 2, POS_INFO = 3, POS_FULL = 4, POS_PROPERTIES = 29 };

static const wchar_t* const kImageExt[] = {
    L".png", L".jpg", L".jpeg", L".bmp", L".gif", L".tif", L".tiff",
};

static const COLORREF kBackground = RGB(48, 48, 48);

// ---------------------------------------------------------------- state

static HINSTANCE g_hinst;
static wchar_t g_logPath[PATH_UNITS];  // empty: no log
static wchar_t g_className[256] = L"Pixmorant";
static wchar_t g_file[PATH_UNITS];  // full path of the image in view
static int g_hide;                  // 0..3 from /hide=
static HWND g_hwndMain, g_hwndTool, g_hwndStatus, g_hwndImage, g_hwndFull, g_hwndDialog;
static HBRUSH g_brBackground;
static IWICImagingFactory* g_wic;

// The decoded image: 32-bit BGRX rows, top-down, already laid over the
// background colour so that transparent parts show dark grey.
static BYTE* g_pixels;
static UINT g_imgW, g_imgH;
static int g_index, g_count;  // position "3/7" in the folder (1-based; 0 = not listed)

static wchar_t g_iniUsed[PATH_UNITS];
static wchar_t g_gsLocation[INI_UNITS];
static wchar_t g_gsDll[INI_UNITS];

static bool g_menuForwardPending;  // see OnEnterIdle
static LPARAM g_menuPoint;

// ---------------------------------------------------------------- log

// One line per event, appended as UTF-8. The file is opened and closed for
// every line and shared for reading, writing and deletion, so a test in another
// process can read (or remove) it at any moment and several viewers may share it.
static void Log(const wchar_t* format, ...) {
  if (!g_logPath[0]) return;
  wchar_t line[2 * PATH_UNITS + 64];
  va_list args;
  va_start(args, format);
  int n = _vsnwprintf(line, 2 * PATH_UNITS + 62, format, args);
  va_end(args);
  if (n < 0) n = 2 * PATH_UNITS + 62;  // cut short, still one line
  line[n] = L'\n';
  line[n + 1] = 0;

  char utf8[3 * (2 * PATH_UNITS + 64)];
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line, n + 1, utf8, sizeof(utf8), NULL, NULL);
  HANDLE file = CreateFileW(g_logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, utf8, bytes, &written, NULL);
  CloseHandle(file);
}

static long long Qpc() {
  LARGE_INTEGER v;
  QueryPerformanceCounter(&v);
  return v.QuadPart;
}

// Input is logged from a WH_GETMESSAGE hook on our own thread rather than in
// the window procedures: it sees every message any of our windows takes from
// the queue - children, the full-screen window, and the modal loops of the
// dialog and the popup menu included - in one place. A key that the plug-in's
// keyboard hook discards never gets here, which is what tests look for.
static void LogInput(const MSG* msg) {
  switch (msg->message) {
    case WM_KEYDOWN: Log(L"key down vk=%u", (unsigned)msg->wParam); break;
    case WM_KEYUP: Log(L"key up vk=%u", (unsigned)msg->wParam); break;
    case WM_SYSKEYDOWN: Log(L"syskey down vk=%u", (unsigned)msg->wParam); break;
    case WM_SYSKEYUP: Log(L"syskey up vk=%u", (unsigned)msg->wParam); break;
    case WM_CHAR: Log(L"char=%u", (unsigned)msg->wParam); break;
    case WM_LBUTTONDOWN: Log(L"mouse lbuttondown"); break;
    case WM_LBUTTONUP: Log(L"mouse lbuttonup"); break;
    case WM_RBUTTONDOWN: Log(L"mouse rbuttondown"); break;
    case WM_RBUTTONUP: Log(L"mouse rbuttonup"); break;
    case WM_MOUSEWHEEL: Log(L"mouse wheel delta=%d", (int)GET_WHEEL_DELTA_WPARAM(msg->wParam)); break;
  }
}

static LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
  // PM_NOREMOVE peeks (the menu loop does those) would log a message twice.
  if (code == HC_ACTION && wParam == PM_REMOVE) LogInput((const MSG*)lParam);
  return CallNextHookEx(NULL, code, wParam, lParam);
}

// ---------------------------------------------------------------- small helpers

static void CopyText(wchar_t* dst, size_t units, const wchar_t* src) {
  _snwprintf(dst, units - 1, L"%ls", src);
  dst[units - 1] = 0;
}

static bool EnvFlag(const wchar_t* name) {
  wchar_t v[16] = L"";
  return GetEnvironmentVariableW(name, v, 16) > 0 && v[0] == L'1';
}

static const wchar_t* NamePart(const wchar_t* path) {
  const wchar_t* name = path;
  for (const wchar_t* p = path; *p; p++)
    if (*p == L'\\' || *p == L'/') name = p + 1;
  return name;
}

static bool IsImageName(const wchar_t* name) {
  const wchar_t* ext = PathFindExtensionW(name);
  for (size_t i = 0; i < sizeof(kImageExt) / sizeof(kImageExt[0]); i++)
    if (_wcsicmp(ext, kImageExt[i]) == 0) return true;
  return false;
}

// ---------------------------------------------------------------- command line

// The plug-in starts us with an application name and a command line that holds
// no program name: a blank, the quoted file, a blank, then perhaps "/hide=N".
// Started by hand the line begins with the program. So: a line that begins with
// a blank has no program token; otherwise the first token is the program when
// it ends in ".exe". Quotes group (no backslash escapes: the plug-in quotes the
// name as it is), the first other token is the file, "/hide=N" the option.
static const wchar_t* NextToken(const wchar_t* p, wchar_t* token, size_t units) {
  size_t n = 0;
  while (*p == L' ' || *p == L'\t') p++;
  bool quoted = false;
  while (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
    if (*p == L'"')
      quoted = !quoted;
    else if (n + 1 < units)
      token[n++] = *p;
    p++;
  }
  token[n] = 0;
  return p;
}

static bool EndsWithExe(const wchar_t* s) {
  size_t n = wcslen(s);
  return n >= 4 && _wcsicmp(s + n - 4, L".exe") == 0;
}

static void ParseCommandLine(const wchar_t* line, wchar_t* file, size_t units, int* hide) {
  wchar_t token[PATH_UNITS];
  file[0] = 0;
  *hide = 0;
  const wchar_t* p = line;
  if (*p != L' ' && *p != L'\t') {
    const wchar_t* after = NextToken(p, token, PATH_UNITS);
    if (EndsWithExe(token)) p = after;
  }
  for (;;) {
    while (*p == L' ' || *p == L'\t') p++;
    if (!*p) break;
    p = NextToken(p, token, PATH_UNITS);
    if ((token[0] == L'/' || token[0] == L'-') && _wcsnicmp(token + 1, L"hide=", 5) == 0) {
      wchar_t d = token[6];
      *hide = (d >= L'0' && d <= L'3' && token[7] == 0) ? d - L'0' : 0;
    } else if (!file[0] && token[0]) {
      CopyText(file, units, token);
    }
  }
}

// ---------------------------------------------------------------- settings file

// The settings live in px_run64.ini in the folder "Pixmorant\" beside the
// plug-in, which the plug-in also writes its Ghostscript keys into. We do not
// know where the plug-in is; the install puts us in "<plug-in>\Pixmorant64\",
// so the folder is "..\Pixmorant\" from our own, unless PX_VIEWER_INI_DIR says
// otherwise. [Others] INI_Folder moves the file used elsewhere, composed the
// way the plug-in composes it (folder, one backslash, name, then %VAR%
// expanded) so both read and write the same file. We never write it.
static void ReadSettings() {
#ifdef _WIN64
  const wchar_t* iniName = L"px_run64.ini";
#else
  const wchar_t* iniName = L"px_run32.ini";
#endif
  wchar_t dir[PATH_UNITS] = L"";
  if (GetEnvironmentVariableW(L"PX_VIEWER_INI_DIR", dir, PATH_UNITS) == 0 || !dir[0]) {
    wchar_t exe[PATH_UNITS] = L"";
    GetModuleFileNameW(NULL, exe, PATH_UNITS);
    wchar_t* name = (wchar_t*)NamePart(exe);
    *name = 0;
    wchar_t up[PATH_UNITS];
    _snwprintf(up, PATH_UNITS - 1, L"%ls..\\Pixmorant\\", exe);
    up[PATH_UNITS - 1] = 0;
    GetFullPathNameW(up, PATH_UNITS, dir, NULL);
  }
  size_t n = wcslen(dir);
  wchar_t defaultIni[PATH_UNITS];
  _snwprintf(defaultIni, PATH_UNITS - 1, L"%ls%ls%ls", dir,
             (n && dir[n - 1] != L'\\' && dir[n - 1] != L'/') ? L"\\" : L"", iniName);
  defaultIni[PATH_UNITS - 1] = 0;

  wchar_t folder[INI_UNITS] = L"";
  GetPrivateProfileStringW(L"Others", L"INI_Folder", L"", folder, INI_UNITS, defaultIni);
  if (folder[0]) {
    wchar_t joined[PATH_UNITS];
    _snwprintf(joined, PATH_UNITS - 1, L"%ls\\%ls", folder, iniName);
    joined[PATH_UNITS - 1] = 0;
    ExpandEnvironmentStringsW(joined, g_iniUsed, PATH_UNITS);
  } else {
    CopyText(g_iniUsed, PATH_UNITS, defaultIni);
  }
  GetPrivateProfileStringW(L"Ghostscript", L"GS_Location", L"", g_gsLocation, INI_UNITS, g_iniUsed);
  GetPrivateProfileStringW(L"Ghostscript", L"GS_DLL", L"", g_gsDll, INI_UNITS, g_iniUsed);

  Log(L"ini_default=%ls", defaultIni);
  Log(L"ini_folder=%ls", folder);
  Log(L"ini=%ls", g_iniUsed);
  Log(L"gs_location=%ls", g_gsLocation);
  Log(L"gs_dll=%ls", g_gsDll);
}

// ---------------------------------------------------------------- folder listing

typedef wchar_t Name[MAX_PATH];

static int CompareNames(const void* a, const void* b) { return _wcsicmp((const wchar_t*)a, (const wchar_t*)b); }

// The image files of the folder of g_file, sorted by name ignoring case.
// Returns a malloc'd array (free it) and the count.
static Name* ListFolder(int* count) {
  *count = 0;
  wchar_t pattern[PATH_UNITS];
  CopyText(pattern, PATH_UNITS, g_file);
  *(wchar_t*)NamePart(pattern) = 0;
  wcsncat(pattern, L"*", PATH_UNITS - wcslen(pattern) - 1);

  int cap = 64;
  Name* names = (Name*)malloc(cap * sizeof(Name));
  if (!names) return NULL;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW(pattern, &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsImageName(fd.cFileName)) continue;
      if (*count == cap) {
        Name* more = (Name*)realloc(names, 2 * cap * sizeof(Name));
        if (!more) break;
        names = more;
        cap *= 2;
      }
      CopyText(names[(*count)++], MAX_PATH, fd.cFileName);
    } while (FindNextFileW(find, &fd));
    FindClose(find);
  }
  qsort(names, *count, sizeof(Name), CompareNames);
  return names;
}

// Where the image in view stands in its folder: its 1-based index (0 when it
// is not one of the listed files) and the folder's image count.
static void UpdateIndex() {
  int count;
  Name* names = ListFolder(&count);
  g_count = count;
  g_index = 0;
  for (int i = 0; names && i < count; i++)
    if (_wcsicmp(names[i], NamePart(g_file)) == 0) {
      g_index = i + 1;
      break;
    }
  free(names);
}

// ---------------------------------------------------------------- image decoding

static void FreeImage() {
  free(g_pixels);
  g_pixels = NULL;
  g_imgW = g_imgH = 0;
}

// Decodes g_file with the Windows Imaging Component into g_pixels. On any
// failure g_pixels stays NULL and the windows draw "cannot decode" instead.
static void DecodeImage() {
  FreeImage();
  if (!g_wic) return;
  IWICBitmapDecoder* decoder = NULL;
  IWICBitmapFrameDecode* frame = NULL;
  IWICBitmapScaler* scaler = NULL;
  IWICFormatConverter* converter = NULL;
  IWICBitmapSource* source = NULL;
  UINT w = 0, h = 0;
  BYTE* pixels = NULL;

  if (FAILED(g_wic->CreateDecoderFromFilename(g_file, NULL, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder)))
    goto done;
  if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&w, &h)) || !w || !h) goto done;
  source = frame;
  if (w > MAX_DECODE_SIDE || h > MAX_DECODE_SIDE) {
    // Keeps the buffer within reason; the screen shows no more anyway.
    double s = (double)MAX_DECODE_SIDE / (w > h ? w : h);
    UINT sw = (UINT)(w * s), sh = (UINT)(h * s);
    if (sw < 1) sw = 1;
    if (sh < 1) sh = 1;
    if (FAILED(g_wic->CreateBitmapScaler(&scaler)) ||
        FAILED(scaler->Initialize(frame, sw, sh, WICBitmapInterpolationModeFant)))
      goto done;
    source = scaler;
    w = sw;
    h = sh;
  }
  if (FAILED(g_wic->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, NULL, 0.0,
                                   WICBitmapPaletteTypeCustom)))
    goto done;
  pixels = (BYTE*)malloc((size_t)w * h * 4);
  if (!pixels) goto done;
  if (FAILED(converter->CopyPixels(NULL, w * 4, w * h * 4, pixels))) {
    free(pixels);
    pixels = NULL;
    goto done;
  }

  // Premultiplied colour over the background: c + bg * (255 - a) / 255.
  for (size_t i = 0; i < (size_t)w * h; i++) {
    BYTE* p = pixels + 4 * i;
    unsigned rest = 255 - p[3];
    p[0] = (BYTE)(p[0] + GetBValue(kBackground) * rest / 255);
    p[1] = (BYTE)(p[1] + GetGValue(kBackground) * rest / 255);
    p[2] = (BYTE)(p[2] + GetRValue(kBackground) * rest / 255);
    p[3] = 0;
  }
  g_pixels = pixels;
  g_imgW = w;
  g_imgH = h;
done:
  if (converter) converter->Release();
  if (scaler) scaler->Release();
  if (frame) frame->Release();
  if (decoder) decoder->Release();
}

// Draws the image scaled to fit the rectangle, aspect kept, centred on the
// background; or the file name and "cannot decode". Drawn off-screen first
// so that resizing does not flicker.
static void PaintImage(HDC hdc, const RECT* rc) {
  int cw = rc->right - rc->left, ch = rc->bottom - rc->top;
  if (cw <= 0 || ch <= 0) return;
  HDC mem = CreateCompatibleDC(hdc);
  HBITMAP bmp = CreateCompatibleBitmap(hdc, cw, ch);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  RECT all = {0, 0, cw, ch};
  FillRect(mem, &all, g_brBackground);

  if (g_pixels) {
    int dw = cw, dh = (int)((long long)cw * g_imgH / g_imgW);
    if (dh > ch) {
      dh = ch;
      dw = (int)((long long)ch * g_imgW / g_imgH);
    }
    if (dw < 1) dw = 1;
    if (dh < 1) dh = 1;
    BITMAPINFO bi;
    ZeroMemory(&bi, sizeof(bi));
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = (LONG)g_imgW;
    bi.bmiHeader.biHeight = -(LONG)g_imgH;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(mem, HALFTONE);
    SetBrushOrgEx(mem, 0, 0, NULL);
    StretchDIBits(mem, (cw - dw) / 2, (ch - dh) / 2, dw, dh, 0, 0, g_imgW, g_imgH, g_pixels, &bi, DIB_RGB_COLORS,
                  SRCCOPY);
  } else {
    wchar_t text[PATH_UNITS + 32];
    _snwprintf(text, PATH_UNITS + 31, L"%ls\ncannot decode", g_file[0] ? NamePart(g_file) : L"(no file)");
    text[PATH_UNITS + 31] = 0;
    HGDIOBJ oldFont = SelectObject(mem, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(mem, TRANSPARENT);
    SetTextColor(mem, RGB(230, 230, 230));
    RECT box = {8, 0, cw - 8, 0};
    DrawTextW(mem, text, -1, &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    int th = box.bottom - box.top;
    box.left = 8;
    box.right = cw - 8;
    box.top = (ch - th) / 2;
    box.bottom = box.top + th;
    DrawTextW(mem, text, -1, &box, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(mem, oldFont);
  }
  BitBlt(hdc, rc->left, rc->top, cw, ch, mem, 0, 0, SRCCOPY);
  SelectObject(mem, oldBmp);
  DeleteObject(bmp);
  DeleteDC(mem);
}

// ---------------------------------------------------------------- showing an image

static void UpdateStatus() {
  if (!g_hwndStatus) return;
  wchar_t text[PATH_UNITS];
  SendMessageW(g_hwndStatus, SB_SETTEXTW, 0, (LPARAM)NamePart(g_file));
  if (g_pixels)
    _snwprintf(text, PATH_UNITS - 1, L"%u x %u", g_imgW, g_imgH);
  else
    CopyText(text, PATH_UNITS, L"cannot decode");
  text[PATH_UNITS - 1] = 0;
  SendMessageW(g_hwndStatus, SB_SETTEXTW, 1, (LPARAM)text);
  if (g_index)
    _snwprintf(text, PATH_UNITS - 1, L"%d/%d", g_index, g_count);
  else
    _snwprintf(text, PATH_UNITS - 1, L"-/%d", g_count);
  text[PATH_UNITS - 1] = 0;
  SendMessageW(g_hwndStatus, SB_SETTEXTW, 2, (LPARAM)text);
  _snwprintf(text, PATH_UNITS - 1, L"GS: %ls", g_gsDll[0] ? g_gsDll : L"-");
  text[PATH_UNITS - 1] = 0;
  SendMessageW(g_hwndStatus, SB_SETTEXTW, 3, (LPARAM)text);
}

static void ComposeTitle(wchar_t* title, size_t units) {
  _snwprintf(title, units - 1, L"%ls - Pixmorant", g_file);
  title[units - 1] = 0;
}

// The plug-in takes the caption from this title: everything before " - Pixmorant".
static void SetTitle() {
  wchar_t title[PATH_UNITS + 16];
  ComposeTitle(title, PATH_UNITS + 16);
  SetWindowTextW(g_hwndMain, title);
  Log(L"title=%ls", title);
  if (g_hwndFull) SetWindowTextW(g_hwndFull, title);
}

// Test switch PX_VIEWER_TITLE_LATE_MS: a step shows the next image at once and names it
// in the title that many milliseconds later, as a viewer that retitles once it has decoded
// the image would. Each step sets the window's timer anew, so a burst of steps retitles
// once, after the last.
enum { ID_TITLE_TIMER = 1 };
static DWORD g_titleLateMs;
// PX_VIEWER_STEP_BUSY_MS: each step is a job that keeps the thread from its messages for
// that long after the image shows, as a viewer decoding a large image on its thread.
static DWORD g_stepBusyMs;

static void RetitleAfterStep() {
  if (g_titleLateMs == 0 || !g_hwndMain) {
    SetTitle();
    return;
  }
  SetTimer(g_hwndMain, ID_TITLE_TIMER, g_titleLateMs, NULL);
}

static void OnTimer(HWND hwnd, UINT id) {
  if (id != ID_TITLE_TIMER) return;
  KillTimer(hwnd, ID_TITLE_TIMER);
  SetTitle();
}

static void ShowCurrent() {
  DecodeImage();
  UpdateIndex();
  Log(L"image %ls", g_pixels ? L"decoded" : L"cannot decode");
  UpdateStatus();
  if (g_hwndImage) InvalidateRect(g_hwndImage, NULL, FALSE);
  if (g_hwndFull) InvalidateRect(g_hwndFull, NULL, FALSE);
}

// Next (+1) or previous (-1) image of the same folder, wrapping around. A file
// that is not in the list (deleted, or not an image name) steps to its
// neighbours in name order.
static void Step(int direction) {
  int count;
  Name* names = ListFolder(&count);
  if (!names || count == 0) {
    free(names);
    return;
  }
  const wchar_t* current = NamePart(g_file);
  int pos = -1, above = count;  // above: first name that sorts after current
  for (int i = 0; i < count; i++) {
    int c = _wcsicmp(names[i], current);
    if (c == 0) {
      pos = i;
      break;
    }
    if (c > 0) {
      above = i;
      break;
    }
  }
  int next;
  if (pos >= 0)
    next = (pos + direction + count) % count;
  else
    next = direction > 0 ? above % count : (above - 1 + count) % count;

  wchar_t* name = (wchar_t*)NamePart(g_file);
  size_t room = PATH_UNITS - (name - g_file);
  CopyText(name, room, names[next]);
  free(names);
  Log(L"navigate %ls file=%ls", direction > 0 ? L"next" : L"previous", g_file);
  RetitleAfterStep();
  ShowCurrent();
  if (g_stepBusyMs == 0) return;
  Log(L"step busy ms=%lu", g_stepBusyMs);
  Sleep(g_stepBusyMs);
  Log(L"step busy end");
}

// ---------------------------------------------------------------- dialog, full screen, menu

// After our dialog or full-screen window closes, the platform activates the
// window that was active before it; when we are embedded that is the host's
// window, which then keeps the keyboard. Take it back for our main window.
static void TakeFocusBack() {
  if (!g_hwndMain) return;
  SetForegroundWindow(GetAncestor(g_hwndMain, GA_ROOT));
  SetFocus(g_hwndMain);
}

// A modal dialog of the system class "#32770" on our UI thread, built from a
// template in memory. The plug-in's keyboard hook lets Escape through while it
// is active; Escape or Enter closes it. Its window is kept in g_hwndDialog so
// that the main window can close it too: under Wine the keyboard does not
// always follow the activation into a window of an embedded process.
enum { ID_INFO_TEXT = 1000 };

static WORD* AlignDword(WORD* p) { return (WORD*)(((UINT_PTR)p + 3) & ~(UINT_PTR)3); }

static WORD* PutText(WORD* p, const wchar_t* text) {
  do {
    *p++ = (WORD)*text;
  } while (*text++);
  return p;
}

static WORD* PutItem(WORD* p, DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
                     const wchar_t* text) {
  p = AlignDword(p);
  DLGITEMTEMPLATE* item = (DLGITEMTEMPLATE*)p;
  item->style = style | WS_CHILD | WS_VISIBLE;
  item->dwExtendedStyle = 0;
  item->x = x;
  item->y = y;
  item->cx = cx;
  item->cy = cy;
  item->id = id;
  p = (WORD*)(item + 1);
  *p++ = 0xFFFF;  // predefined class by atom
  *p++ = atom;
  p = PutText(p, text);
  *p++ = 0;  // no creation data
  return p;
}

static INT_PTR CALLBACK InfoDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      g_hwndDialog = hwnd;
      SetDlgItemTextW(hwnd, ID_INFO_TEXT, (const wchar_t*)lParam);
      return TRUE;  // focus to the OK button
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(hwnd, LOWORD(wParam));
      return TRUE;
    case WM_DESTROY: g_hwndDialog = NULL; return FALSE;
  }
  return FALSE;
}

static void ShowInfoDialog() {
  if (g_hwndDialog) return;
  wchar_t text[PATH_UNITS + 128];
  _snwprintf(text, PATH_UNITS + 127, L"%ls\n%u x %u pixels\nImage %d of %d", g_file, g_imgW, g_imgH, g_index, g_count);
  text[PATH_UNITS + 127] = 0;

  static DWORD storage[256];  // DWORD-aligned template
  ZeroMemory(storage, sizeof(storage));
  DLGTEMPLATE* tpl = (DLGTEMPLATE*)storage;
  tpl->style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  tpl->cdit = 2;
  tpl->cx = 240;
  tpl->cy = 78;
  WORD* p = (WORD*)(tpl + 1);
  *p++ = 0;  // no menu
  *p++ = 0;  // the dialog class "#32770"
  p = PutText(p, L"Pixmorant - image information");
  *p++ = 8;
  p = PutText(p, L"MS Shell Dlg");
  p = PutItem(p, SS_LEFT | SS_NOPREFIX, 7, 7, 226, 44, ID_INFO_TEXT, 0x0082, L"");
  PutItem(p, BS_DEFPUSHBUTTON | WS_TABSTOP, 95, 57, 50, 14, IDOK, 0x0080, L"OK");

  Log(L"dialog open");
  DialogBoxIndirectParamW(g_hinst, tpl, g_hwndMain, InfoDialogProc, (LPARAM)text);
  Log(L"dialog close");
  TakeFocusBack();
}

static void ToggleFullScreen() {
  if (g_hwndFull) {
    DestroyWindow(g_hwndFull);
    TakeFocusBack();
    return;
  }
  MONITORINFO mi;
  mi.cbSize = sizeof(mi);
  GetMonitorInfoW(MonitorFromWindow(g_hwndMain, MONITOR_DEFAULTTOPRIMARY), &mi);
  wchar_t title[PATH_UNITS + 16];
  ComposeTitle(title, PATH_UNITS + 16);
  // No owner: our main window may be a child of another process's window,
  // and an owner there would tie this window's life to the host's.
  g_hwndFull = CreateWindowExW(WS_EX_TOPMOST, L"FullScreenClass", title, WS_POPUP | WS_VISIBLE, mi.rcMonitor.left,
                               mi.rcMonitor.top, mi.rcMonitor.right - mi.rcMonitor.left,
                               mi.rcMonitor.bottom - mi.rcMonitor.top, NULL, NULL, g_hinst, NULL);
  if (!g_hwndFull) return;
  Log(L"fullscreen open");
  SetForegroundWindow(g_hwndFull);
  SetFocus(g_hwndFull);
}

static void MenuCommand(int id) {
  switch (id - IDM_FIRST) {
    case POS_NEXT: Step(+1); break;
    case POS_PREV: Step(-1); break;
    case POS_INFO:
    case POS_PROPERTIES: ShowInfoDialog(); break;
    case POS_FULL: ToggleFullScreen(); break;
    default: break;  // the rest only log
  }
}

static void ShowContextMenu(HWND hwnd, LPARAM where) {
  POINT pt = {GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (where == -1) {  // from the keyboard: the middle of the image
    RECT rc;
    GetWindowRect(g_hwndImage ? g_hwndImage : hwnd, &rc);
    pt.x = (rc.left + rc.right) / 2;
    pt.y = (rc.top + rc.bottom) / 2;
  }
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < MENU_ITEMS; i++) AppendMenuW(menu, MF_STRING, IDM_FIRST + i, kMenuText[i]);
  Log(L"menu open items=%d", GetMenuItemCount(menu));
  g_menuPoint = MAKELPARAM(pt.x, pt.y);
  g_menuForwardPending = true;
  int id = (int)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd, NULL);
  g_menuForwardPending = false;
  DestroyMenu(menu);
  Log(L"menu command=%d", id);
  if (id) MenuCommand(id);
}

// ---------------------------------------------------------------- main window

static void CreateBars(HWND hwnd) {
  if (!(g_hide & 1)) {
    // A comctl32 toolbar: its buttons do not take the focus, so a click on
    // them leaves the keyboard with the main window.
    g_hwndTool =
        CreateWindowExW(0, TOOLBARCLASSNAMEW, NULL, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP, 0, 0,
                        0, 0, hwnd, (HMENU)(INT_PTR)ID_TOOLBAR, g_hinst, NULL);
    SendMessageW(g_hwndTool, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(g_hwndTool, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    static const int pos[] = {POS_PREV, POS_NEXT, POS_INFO, POS_FULL};
    static const wchar_t* const label[] = {L"< Previous", L"Next >", L"Info", L"Full screen"};
    TBBUTTON buttons[4];
    ZeroMemory(buttons, sizeof(buttons));
    for (int i = 0; i < 4; i++) {
      buttons[i].iBitmap = I_IMAGENONE;
      buttons[i].idCommand = IDM_FIRST + pos[i];
      buttons[i].fsState = TBSTATE_ENABLED;
      buttons[i].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
      buttons[i].iString = (INT_PTR)label[i];
    }
    SendMessageW(g_hwndTool, TB_ADDBUTTONSW, 4, (LPARAM)buttons);
    SendMessageW(g_hwndTool, TB_AUTOSIZE, 0, 0);
  }
  if (!(g_hide & 2)) {
    g_hwndStatus = CreateWindowExW(0, STATUSCLASSNAMEW, NULL, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                                   (HMENU)(INT_PTR)ID_STATUS, g_hinst, NULL);
  }
}

static BOOL OnCreate(HWND hwnd, LPCREATESTRUCT) {
  g_hwndMain = hwnd;
  CreateBars(hwnd);
  // A child of our own under the mouse: the plug-in's mouse hook takes the
  // parent of the window under the pointer to be the viewer window.
  g_hwndImage = CreateWindowExW(0, L"PixmorantImage", NULL, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd,
                                (HMENU)(INT_PTR)ID_IMAGE, g_hinst, NULL);
  return g_hwndImage != NULL;
}

// Lays the children out in whatever client area we have: that of our own
// frame, or, once the plug-in has made us a maximized child of its container,
// the container's.
static void OnSize(HWND hwnd, UINT state, int, int) {
  if (state == SIZE_MAXIMIZED) Log(L"size maximized");
  RECT rc;
  GetClientRect(hwnd, &rc);
  int top = 0, bottom = rc.bottom;
  if (g_hwndTool) {
    SendMessageW(g_hwndTool, TB_AUTOSIZE, 0, 0);
    RECT tr;
    GetWindowRect(g_hwndTool, &tr);
    top = tr.bottom - tr.top;
  }
  if (g_hwndStatus) {
    SendMessageW(g_hwndStatus, WM_SIZE, 0, 0);
    RECT sr;
    GetWindowRect(g_hwndStatus, &sr);
    bottom -= sr.bottom - sr.top;
    int w = rc.right;
    int parts[4] = {w / 2, w / 2 + w / 8, w / 2 + w / 4, -1};
    SendMessageW(g_hwndStatus, SB_SETPARTS, 4, (LPARAM)parts);
    UpdateStatus();
  }
  if (bottom < top) bottom = top;
  if (g_hwndImage) MoveWindow(g_hwndImage, 0, top, rc.right, bottom - top, TRUE);
}

static void OnPaint(HWND hwnd) {
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);  // the children cover the rest
  EndPaint(hwnd, &ps);
}

static void OnKey(HWND hwnd, UINT vk, BOOL down, int, UINT) {
  if (!down) return;
  // Keys meant for our dialog or full-screen window that reached us instead.
  if (g_hwndDialog && (vk == VK_ESCAPE || vk == VK_RETURN)) {
    EndDialog(g_hwndDialog, vk == VK_RETURN ? IDOK : IDCANCEL);
    return;
  }
  if (g_hwndFull && vk == VK_ESCAPE) {
    ToggleFullScreen();
    return;
  }
  switch (vk) {
    case VK_RIGHT:
    case VK_SPACE:
    case VK_NEXT: Step(+1); break;
    case VK_LEFT:
    case VK_BACK:
    case VK_PRIOR: Step(-1); break;
    case VK_F2: ShowInfoDialog(); break;
    case VK_F11: ToggleFullScreen(); break;
    case VK_APPS: ShowContextMenu(hwnd, -1); break;
  }
}

static void OnLButtonDown(HWND hwnd, BOOL, int, int, UINT) { SetFocus(hwnd); }

static void OnContextMenu(HWND hwnd, HWND, UINT x, UINT y) {
  ShowContextMenu(hwnd, (x == 0xFFFF && y == 0xFFFF) ? -1 : MAKELPARAM(x, y));
}

// Once the popup menu is up, and only while we are embedded, the context-menu
// request goes on to our parent, the plug-in's container: it grays positions
// 25 to 28 of the popup that is showing. Done from here because the popup
// window exists only inside TrackPopupMenu. SMTO_NORMAL lets the container's
// MN_GETHMENU query to our popup be answered while we wait.
static void OnEnterIdle(HWND hwnd, UINT source, HWND) {
  if (source != MSGF_MENU || !g_menuForwardPending) return;
  g_menuForwardPending = false;
  HWND parent = GetParent(hwnd);
  if (!parent || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) return;
  Log(L"menu forward");
  DWORD_PTR result;
  SendMessageTimeoutW(parent, WM_CONTEXTMENU, (WPARAM)hwnd, g_menuPoint, SMTO_NORMAL, 2000, &result);
}

static void OnCommand(HWND, int id, HWND, UINT) {
  Log(L"toolbar command=%d", id);
  MenuCommand(id);
}

// The plug-in's keyboard hook sends SC_CLOSE on Escape in Quick View mode; the
// user's close box arrives the same way when we stand alone.
static void OnSysCommand(HWND hwnd, UINT cmd, int x, int y) {
  if ((cmd & 0xFFF0) == SC_CLOSE) {
    if (EnvFlag(L"PX_VIEWER_IGNORE_CLOSE")) {
      Log(L"syscommand close ignored");
      return;
    }
    Log(L"syscommand close");
    // PX_VIEWER_CLOSE_ASKS_HOST: before it closes, the viewer asks the host's main window
    // something, as a viewer that reports back does; it waits for the host's thread.
    if (EnvFlag(L"PX_VIEWER_CLOSE_ASKS_HOST")) {
      SendMessageW(FindWindowW(L"TTOTAL_CMD", NULL), WM_NULL, 0, 0);
      Log(L"close asked the host");
    }
    DestroyWindow(hwnd);
    return;
  }
  FORWARD_WM_SYSCOMMAND(hwnd, cmd, x, y, DefWindowProcW);
}

// Also reached when the plug-in's container, our parent in another process,
// is destroyed: the process ends with its window.
static void WriteInSteps(const wchar_t* path, DWORD ms);
static DWORD EnvNumber(const wchar_t* name, DWORD fallback);

static void OnDestroy(HWND) {
  Log(L"destroy");
  // PX_VIEWER_TEARDOWN_MS: the viewer's teardown is a job too (saving its settings, ending
  // its threads), written in steps into PX_VIEWER_TEARDOWN_FILE as the cued job is.
  wchar_t teardownFile[PATH_UNITS] = L"";
  DWORD teardownMs = EnvNumber(L"PX_VIEWER_TEARDOWN_MS", 0);
  if (teardownMs && GetEnvironmentVariableW(L"PX_VIEWER_TEARDOWN_FILE", teardownFile, PATH_UNITS) < PATH_UNITS &&
      teardownFile[0])
    WriteInSteps(teardownFile, teardownMs);
  if (g_hwndFull) DestroyWindow(g_hwndFull);
  g_hwndMain = NULL;
  PostQuitMessage(0);
}

// ---------------------------------------------------------------- snapshot

// Under Wine the pixels of a window whose parent belongs to another process never reach
// the screen, though the window has its place and size there. So that the demo can show
// what a Windows user sees, the host asks the embedded viewer for a picture of itself
// (the registered message "PxViewerSnapshot"); the viewer draws its client area with
// its children into a bitmap and writes it as a BMP file to PX_VIEWER_SNAPSHOT.
static UINT g_snapshotMessage;

static void SaveSnapshot(HWND hwnd) {
  wchar_t path[PATH_UNITS] = {};
  if (!GetEnvironmentVariableW(L"PX_VIEWER_SNAPSHOT", path, PATH_UNITS) || path[0] == 0) return;
  RECT rc;
  GetClientRect(hwnd, &rc);
  int width = rc.right, height = rc.bottom;
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info = standin::Rgb24Info(width, height);
  void* bits = NULL;
  HDC screen = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  FillRect(memory, &rc, g_brBackground);
  // Each visible child draws itself at its place in the client area.
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT at;
    GetWindowRect(child, &at);
    MapWindowPoints(NULL, hwnd, (POINT*)&at, 2);
    SetViewportOrgEx(memory, at.left, at.top, NULL);
    SendMessageW(child, WM_PRINT, (WPARAM)memory, PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  }
  SetViewportOrgEx(memory, 0, 0, NULL);
  GdiFlush();
  if (bits && standin::WriteBmp(path, width, height, bits)) Log(L"snapshot %ls", path);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd, screen);
}

static const UINT WM_SHOW_FIRST = WM_APP + 1;
static void OnStyleChanged(HWND hwnd, int which, const STYLESTRUCT* style);  // test switches, below
static void HangInFirstMessage();

// The first image is decoded and shown from the first message the thread takes after its
// window exists (a viewer may as well do its first work there, PX_VIEWER_HANG_FIRST_MS).
static void ShowFirst(HWND hwnd) {
  HangInFirstMessage();
  wchar_t title[PATH_UNITS + 16];
  ComposeTitle(title, PATH_UNITS + 16);
  Log(L"title=%ls", title);
  ShowCurrent();
  UpdateWindow(hwnd);
}

static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SHOW_FIRST) {
    ShowFirst(hwnd);
    return 0;
  }
  if (msg == g_snapshotMessage && msg != 0) {
    SaveSnapshot(hwnd);
    return 1;
  }
  if (msg == WM_STYLECHANGED) OnStyleChanged(hwnd, (int)wParam, (const STYLESTRUCT*)lParam);
  switch (msg) {
    HANDLE_MSG(hwnd, WM_CREATE, OnCreate);
    HANDLE_MSG(hwnd, WM_SIZE, OnSize);
    HANDLE_MSG(hwnd, WM_PAINT, OnPaint);
    HANDLE_MSG(hwnd, WM_KEYDOWN, OnKey);
    HANDLE_MSG(hwnd, WM_LBUTTONDOWN, OnLButtonDown);
    HANDLE_MSG(hwnd, WM_CONTEXTMENU, OnContextMenu);
    HANDLE_MSG(hwnd, WM_ENTERIDLE, OnEnterIdle);
    HANDLE_MSG(hwnd, WM_COMMAND, OnCommand);
    HANDLE_MSG(hwnd, WM_SYSCOMMAND, OnSysCommand);
    HANDLE_MSG(hwnd, WM_TIMER, OnTimer);
    HANDLE_MSG(hwnd, WM_DESTROY, OnDestroy);
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------- image child

// The image child and the full-screen window paint the image over their whole client area.
static void PaintWindowImage(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT rc;
  GetClientRect(hwnd, &rc);
  PaintImage(hdc, &rc);
  EndPaint(hwnd, &ps);
}

// The image child never keeps the focus: the plug-in's keyboard hook reads the
// title of the focus window, which must be the main window. Keys that still
// arrive here (posted to it, say) go to the main window. Its DefWindowProc
// passes WM_CONTEXTMENU on to the main window.
static LRESULT CALLBACK ImageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: PaintWindowImage(hwnd); return 0;
    case WM_PRINTCLIENT: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      PaintImage((HDC)wParam, &rc);
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
    case WM_SIZE:
      InvalidateRect(hwnd, NULL, FALSE);  // the scale depends on the size
      return 0;
    case WM_SETFOCUS:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: SetFocus(GetParent(hwnd)); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR: return SendMessageW(GetParent(hwnd), msg, wParam, lParam);
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------- full-screen window

// A top-level window of class "FullScreenClass". The plug-in's keyboard hook
// lets Escape through while it is active, so it closes itself on Escape, as
// the user expects, and on F11; the arrow keys still step through the folder.
static LRESULT CALLBACK FullProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: PaintWindowImage(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE || wParam == VK_F11) {
        ToggleFullScreen();
        return 0;
      }
      if (wParam == VK_RIGHT || wParam == VK_SPACE || wParam == VK_NEXT) Step(+1);
      if (wParam == VK_LEFT || wParam == VK_BACK || wParam == VK_PRIOR) Step(-1);
      return 0;
    case WM_DESTROY:
      Log(L"fullscreen close");
      g_hwndFull = NULL;
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// ---------------------------------------------------------------- start-up

static bool RegisterClasses() {
  WNDCLASSW wc;
  ZeroMemory(&wc, sizeof(wc));
  wc.hInstance = g_hinst;
  wc.hCursor = LoadCursorW(NULL, IDC_ARROW);

  // The main window in the button face colour: the flat toolbar is drawn
  // over its parent's background.
  wc.lpfnWndProc = WndProc;
  wc.hIcon = LoadIconW(NULL, IDI_APPLICATION);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = g_className;
  if (!RegisterClassW(&wc)) return false;

  wc.hIcon = NULL;
  wc.hbrBackground = g_brBackground;
  wc.lpfnWndProc = ImageProc;
  wc.lpszClassName = L"PixmorantImage";
  if (!RegisterClassW(&wc)) return false;

  wc.lpfnWndProc = FullProc;
  wc.lpszClassName = L"FullScreenClass";
  return RegisterClassW(&wc) != 0;
}

// Test switch PX_VIEWER_NO_WINDOW: a process that never shows a window, so the
// plug-in's wait can be tested. It pumps a message queue with no window and
// gives up after two minutes so that a forgotten test leaves nothing behind.
static int RunWithoutWindow() {
  Log(L"no window");
  SetTimer(NULL, 0, NO_WINDOW_LIMIT_MS, NULL);
  MSG msg;
  while (GetMessageW(&msg, NULL, 0, 0) > 0) {
    if (msg.message == WM_TIMER) break;
    DispatchMessageW(&msg);
  }
  return 0;
}

// When the process that embedded us ends without destroying its windows, the
// platform removes our window along with its parent without telling us (seen
// under Wine: no WM_DESTROY, and the window's own timers go with it), and we
// would wait for messages for ever. A thread timer, not tied to the window,
// looks every half second whether our window and, while we are a child, its
// parent still exist.
static void WatchWindow() {
  if (!g_hwndMain) return;
  if (!IsWindow(g_hwndMain)) {
    Log(L"window gone");
    g_hwndMain = NULL;
    PostQuitMessage(0);
    return;
  }
  HWND parent = GetParent(g_hwndMain);
  if ((GetWindowLongPtrW(g_hwndMain, GWL_STYLE) & WS_CHILD) && !(parent && IsWindow(parent))) {
    Log(L"parent gone");
    DestroyWindow(g_hwndMain);
  }
}

// ---------------------------------------------------------------- hangs (test switches)

// A viewer whose thread stops taking messages, so that tests can show that the
// plug-in never waits on it without bound. PX_VIEWER_HANG_AT_START_MS hangs the
// thread once its window exists, before the first message is taken.
// PX_VIEWER_HANG_CUE names an event: each time a test sets it, the thread hangs
// for PX_VIEWER_HANG_MS (default 30 s) wherever it is pumping, inside the
// context menu or the dialog too (a thread timer with a procedure is dispatched
// by their modal loops as well). With PX_VIEWER_HANG_FILE the cued hang is the
// viewer at work rather than stuck: it writes that file in small steps all the
// while, as a viewer saving an image does, and "complete" last, so that a file
// cut short shows the viewer was ended in the middle of its work.
// PX_VIEWER_HANG_FIRST_MS hangs the thread in the first message it takes after
// its window exists, after it has answered whatever was sent to it before.
// PX_VIEWER_EXIT_WHEN_CHILD ends the process, window and all, at the moment
// another program makes the window a child, as a viewer killed in the middle of
// being embedded.
static HANDLE g_hangCue;
static DWORD g_hangMs = HANG_DEFAULT_MS;
static wchar_t g_hangFile[PATH_UNITS];
enum { HANG_FILE_STEPS = 50 };

static DWORD EnvNumber(const wchar_t* name, DWORD fallback) {
  wchar_t v[32] = L"";
  if (GetEnvironmentVariableW(name, v, 32) == 0 || !v[0]) return fallback;
  return (DWORD)wcstoul(v, NULL, 10);
}

static void Hang(const wchar_t* why, DWORD ms) {
  Log(L"hang %ls ms=%lu", why, ms);
  Sleep(ms);
  Log(L"hang end");
}

static void WriteInSteps(const wchar_t* path, DWORD ms) {
  Log(L"busy ms=%lu file=%ls", ms, path);
  HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  DWORD written;
  for (int i = 0; i < HANG_FILE_STEPS; i++) {
    char line[32];
    int n = _snprintf(line, sizeof(line), "step %d\n", i);
    WriteFile(file, line, (DWORD)n, &written, NULL);
    Sleep(ms / HANG_FILE_STEPS);
  }
  WriteFile(file, "complete\n", 9, &written, NULL);
  CloseHandle(file);
  Log(L"busy end");
}

static void CALLBACK CheckHangCue(HWND, UINT, UINT_PTR, DWORD) {
  if (WaitForSingleObject(g_hangCue, 0) != WAIT_OBJECT_0) return;
  ResetEvent(g_hangCue);
  if (g_hangFile[0])
    WriteInSteps(g_hangFile, g_hangMs);
  else
    Hang(L"cue", g_hangMs);
}

static void HangInFirstMessage() {
  DWORD ms = EnvNumber(L"PX_VIEWER_HANG_FIRST_MS", 0);
  if (ms) Hang(L"first", ms);
}

static void ArmHangCue() {
  wchar_t name[128] = L"";
  if (GetEnvironmentVariableW(L"PX_VIEWER_HANG_CUE", name, 128) == 0 || !name[0] || wcslen(name) >= 128) return;
  g_hangCue = CreateEventW(NULL, TRUE, FALSE, name);
  g_hangMs = EnvNumber(L"PX_VIEWER_HANG_MS", HANG_DEFAULT_MS);
  if (GetEnvironmentVariableW(L"PX_VIEWER_HANG_FILE", g_hangFile, PATH_UNITS) >= PATH_UNITS) g_hangFile[0] = 0;
  if (g_hangCue) SetTimer(NULL, 0, HANG_POLL_MS, CheckHangCue);
}

static void OnStyleChanged(HWND hwnd, int which, const STYLESTRUCT* style) {
  if (which != GWL_STYLE || !(style->styleNew & WS_CHILD) || !EnvFlag(L"PX_VIEWER_EXIT_WHEN_CHILD")) return;
  Log(L"exit when child");
  TerminateProcess(GetCurrentProcess(), 3);
  (void)hwnd;
}

// Test switch PX_VIEWER_REFUSE_PARENT: the platform will not make this viewer's window the
// child of another process's window (as for a viewer with higher rights than its host). The
// plug-in's library, which its hooks bring into this process from beside our folder, is
// loaded first and its SetParent answers as the platform then would.
static HWND WINAPI RefusedSetParent(HWND, HWND) {
  SetLastError(ERROR_ACCESS_DENIED);
  return NULL;
}

static void RefuseParent() {
  if (!EnvFlag(L"PX_VIEWER_REFUSE_PARENT")) return;
  wchar_t library[PATH_UNITS] = L"";
  GetModuleFileNameW(NULL, library, PATH_UNITS);
  wchar_t* name = wcsrchr(library, L'\\');
  if (name) *name = 0;
  name = wcsrchr(library, L'\\');
  if (name) CopyText(name + 1, PATH_UNITS - (name + 1 - library), L"Pixmorant.wlx64");
  HMODULE plugin = LoadLibraryW(library);
  bool bound = plugin && standin::BindImport(plugin, "user32.dll", "SetParent", (void*)&RefusedSetParent);
  Log(L"refuse parent %ls", bound ? L"bound" : L"not bound");
}

static int Finish(int code) {
  Log(L"exit code=%d", code);
  return code;
}

int WINAPI wWinMain(HINSTANCE hinst, HINSTANCE, LPWSTR, int nShowCmd) {
  long long startQpc = Qpc();
  g_hinst = hinst;
  if (GetEnvironmentVariableW(L"PX_VIEWER_LOG", g_logPath, PATH_UNITS) >= PATH_UNITS) g_logPath[0] = 0;

  Log(L"start pid=%lu tid=%lu", GetCurrentProcessId(), GetCurrentThreadId());
  Log(L"start_qpc=%lld", startQpc);
  const wchar_t* cmdline = GetCommandLineW();
  Log(L"cmdline=%ls", cmdline);
  if (EnvFlag(L"PX_VIEWER_EXIT")) return Finish(0);

  wchar_t parsed[PATH_UNITS];
  ParseCommandLine(cmdline, parsed, PATH_UNITS, &g_hide);
  Log(L"file=%ls", parsed);
  Log(L"hide=%d", g_hide);
  if (parsed[0] && GetFullPathNameW(parsed, PATH_UNITS, g_file, NULL) == 0) CopyText(g_file, PATH_UNITS, parsed);

  wchar_t gsLib[4096] = L"";
  GetEnvironmentVariableW(L"GS_LIB", gsLib, 4096);
  Log(L"gs_lib=%ls", gsLib);
  ReadSettings();

  wchar_t cls[256] = L"";
  if (GetEnvironmentVariableW(L"PX_VIEWER_CLASS", cls, 256) > 0 && cls[0] && wcslen(cls) < 256)
    CopyText(g_className, 256, cls);

  RefuseParent();
  HHOOK inputLog = SetWindowsHookExW(WH_GETMESSAGE, GetMsgProc, NULL, GetCurrentThreadId());
  if (EnvFlag(L"PX_VIEWER_NO_WINDOW")) return Finish(RunWithoutWindow());

  CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
  CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory, (void**)&g_wic);
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  g_brBackground = CreateSolidBrush(kBackground);
  g_snapshotMessage = RegisterWindowMessageW(L"PxViewerSnapshot");
  if (!RegisterClasses()) {
    Log(L"register class failed");
    return Finish(1);
  }

  wchar_t delay[32] = L"";
  if (GetEnvironmentVariableW(L"PX_VIEWER_DELAY_MS", delay, 32) > 0 && delay[0]) {
    long ms = wcstol(delay, NULL, 10);
    Log(L"delay ms=%ld", ms);
    if (ms > 0) Sleep((DWORD)ms);
  }

  // CW_USEDEFAULT lets the platform apply the position, size and show state
  // of the STARTUPINFO the plug-in passes (0,0, 0x0, SW_SHOW).
  wchar_t title[PATH_UNITS + 16];
  ComposeTitle(title, PATH_UNITS + 16);
  HWND hwnd = CreateWindowExW(0, g_className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, NULL, NULL, hinst, NULL);
  long long windowQpc = Qpc();
  LARGE_INTEGER freq;
  QueryPerformanceFrequency(&freq);
  Log(L"window hwnd=0x%llX qpc=%lld freq=%lld", (unsigned long long)(UINT_PTR)hwnd, windowQpc, freq.QuadPart);
  if (!hwnd) return Finish(1);
  // The window is shown at once, with the show state the starting program asked for, as a
  // viewer shows its window before it decodes. The first image is decoded and shown from
  // the message loop: a program that embeds this window (SetParent waits for our thread)
  // should not wait for the decoding.
  ShowWindow(hwnd, nShowCmd);
  PostMessageW(hwnd, WM_SHOW_FIRST, 0, 0);

  UINT_PTR watch = SetTimer(NULL, 0, WATCH_MS, NULL);
  g_titleLateMs = EnvNumber(L"PX_VIEWER_TITLE_LATE_MS", 0);
  g_stepBusyMs = EnvNumber(L"PX_VIEWER_STEP_BUSY_MS", 0);
  ArmHangCue();
  DWORD startHang = EnvNumber(L"PX_VIEWER_HANG_AT_START_MS", 0);
  if (startHang) Hang(L"start", startHang);
  MSG msg;
  while (GetMessageW(&msg, NULL, 0, 0) > 0) {
    if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == watch) {
      WatchWindow();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (inputLog) UnhookWindowsHookEx(inputLog);
  FreeImage();
  if (g_wic) g_wic->Release();
  CoUninitialize();
  return Finish((int)msg.wParam);
}
