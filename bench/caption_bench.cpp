// The caption: the plug-in's WindowCaption against the same platform calls made straight,
// in Lister mode and in Quick View mode.
#include <stdlib.h>
#include <wchar.h>

#include "bench.h"
#include "caption/window_caption.h"

namespace bench {

namespace {

const wchar_t kViewerTitle[] = L"C:\\pics\\photo.jpg - Pixmorant";
const wchar_t kListerTitle[] = L"Lister (pixmorant) - [C:\\pics\\photo.jpg]";
const wchar_t kPersonalize[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// A window of this process titled as the viewer titles its window.
HWND NewViewerStandIn() {
  return CreateWindowExW(0, L"STATIC", kViewerTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

void Caption(HWND viewer, HWND lister) { WindowCaption(viewer, lister); }

// The caption writes a title only when the window shows another: the read of the shown
// text, and the write when it differs.
void SetTextIfDiffers(HWND window, const wchar_t* text) {
  wchar_t shown[284] = {};
  GetWindowTextW(window, shown, 284);
  if (wcscmp(shown, text) != 0) SetWindowTextW(window, text);
}

// What the caption costs in Lister mode, made straight: the viewer's title read, the mode
// test, the Lister title read (and written when it differs).
void ListerCaptionFloor(HWND viewer, HWND lister) {
  wchar_t buffer[283] = {};
  GetWindowTextW(viewer, buffer, 260);
  if (GetParent(lister) == nullptr) SetTextIfDiffers(lister, kListerTitle);
}

// The header text for C:\pics\photo.jpg: the name, " - pixmorant", 230 spaces.
void HeaderText(wchar_t (&text)[283]) {
  wcscpy(text, L"photo.jpg - pixmorant");
  size_t n = wcslen(text);
  for (int i = 0; i < 230; ++i) text[n++] = L' ';
  text[n] = 0;
}

void Read(const wchar_t* section, const wchar_t* key, const wchar_t* fallback, wchar_t* value, const wchar_t* file) {
  GetPrivateProfileStringW(section, key, fallback, value, 260, file);
}

DWORD LightTheme() {
  HKEY key = nullptr;
  DWORD value = 1, size = sizeof value;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 1;
  RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return value;
}

COLORREF ColorOr(const wchar_t* value, int systemColor) {
  return value[0] ? static_cast<COLORREF>(wcstol(value, nullptr, 10) & 0xFFFFFF) : GetSysColor(systemColor);
}

LRESULT AskHost(WPARAM code) { return SendMessageW(FindWindowW(L"TTOTAL_CMD", nullptr), standin::kHostQuery, code, 0); }

// The header painted in the host's colours and font: its eleven settings reads, the
// light-theme value, the pixel, the font made, drawn with and deleted.
void PaintHeaderFloor(HWND header, const wchar_t* text) {
  RECT rect;
  GetClientRect(header, &rect);
  HDC dc = GetDC(header);
  wchar_t settings[260] = {};
  GetEnvironmentVariableW(L"COMMANDER_INI", settings, 260);
  wchar_t dark[260] = {}, redirect[260] = {};
  Read(L"Configuration", L"DarkMode", L"", dark, settings);
  const wchar_t* section = LightTheme() == 0 ? L"ColorsDark" : L"Colors";
  Read(section, L"RedirectSection", L"", redirect, settings);
  wchar_t active[260] = {}, activeText[260] = {}, inactive[260] = {}, inactiveText[260] = {};
  Read(section, L"ActiveTitle", L"", active, settings);
  Read(section, L"ActiveTitleText", L"", activeText, settings);
  Read(section, L"InactiveTitle", L"", inactive, settings);
  Read(section, L"InactiveTitleText", L"", inactiveText, settings);
  COLORREF colors[4] = {ColorOr(active, COLOR_ACTIVECAPTION), ColorOr(activeText, COLOR_CAPTIONTEXT),
                        ColorOr(inactive, COLOR_INACTIVECAPTION), ColorOr(inactiveText, COLOR_INACTIVECAPTIONTEXT)};
  bool inactiveShown = GetPixel(dc, 1, 1) == colors[2];
  SetBkColor(dc, inactiveShown ? colors[2] : colors[0]);
  SetTextColor(dc, inactiveShown ? colors[3] : colors[1]);

  wchar_t useNew[260] = {}, fontRedirect[260] = {}, size[260] = {}, weight[260] = {}, face[260] = {};
  Read(L"Configuration", L"UseNewDefFont", L"", useNew, settings);
  Read(L"AllResolutions", L"RedirectSection", L"", fontRedirect, settings);
  Read(L"AllResolutions", L"FontSizeWindow", L"9", size, settings);
  Read(L"AllResolutions", L"FontWeightWindow", L"400", weight, settings);
  Read(L"AllResolutions", L"FontNameWindow", L"Segoe UI", face, settings);
  LOGFONTW font = {};
  font.lfHeight = -MulDiv(wcstol(size, nullptr, 10), GetDeviceCaps(dc, LOGPIXELSY), 72);
  font.lfWeight = wcstol(weight, nullptr, 10);
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfClipPrecision = CLIP_CHARACTER_PRECIS;
  font.lfQuality = PROOF_QUALITY;
  wcsncpy(font.lfFaceName, face, 31);
  HFONT created = CreateFontIndirectW(&font);
  HGDIOBJ previous = SelectObject(dc, created);
  DrawTextW(dc, text, -1, &rect, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);
  SelectObject(dc, previous);
  DeleteObject(created);
  ReleaseDC(header, dc);
}

// What the caption costs in Quick View mode, made straight: the title read, the mode
// test, the three host queries, the header text read (and written when it differs), and
// the painting.
void QuickViewCaptionFloor(HWND viewer, HWND lister) {
  wchar_t buffer[283] = {};
  GetWindowTextW(viewer, buffer, 260);
  if (GetParent(lister) == nullptr) return;
  wchar_t text[283];
  HeaderText(text);
  LRESULT first = AskHost(1);
  LRESULT third = AskHost(3);
  WPARAM code = static_cast<DWORD>(first) == static_cast<DWORD>(third) ? 10 : 9;
  HWND header = reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(AskHost(code))));
  SetTextIfDiffers(header, text);
  PaintHeaderFloor(header, text);
}

// The caption of one mode, the plug-in's against its floor, on a Lister window of that mode.
template <class Floor>
void MeasureCaption(standin::HostWindows* host, bool quickView, Floor floor, Pair* pair) {
  HWND viewer = NewViewerStandIn();
  HWND lister = standin::NewListerWindow(host, quickView, 9);
  MeasurePair(
      kCaptionRuns, kCaptionCalls, [&] { Caption(viewer, lister); }, [&] { floor(viewer, lister); }, pair);
  DestroyWindow(lister);
  DestroyWindow(viewer);
}

}  // namespace

void MeasureListerCaption(standin::HostWindows* host, Pair* pair) {
  MeasureCaption(host, false, ListerCaptionFloor, pair);
}

void MeasureQuickViewCaption(standin::HostWindows* host, Pair* pair) {
  MeasureCaption(host, true, QuickViewCaptionFloor, pair);
}

}  // namespace bench
