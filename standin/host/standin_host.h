// The stand-in host: the windows a Lister plug-in meets in the file manager that loads it,
// the binding of the plug-in's exports, and BMP files. For the Wine tests, the demo
// (px_host.exe) and the benchmark; not part of the plug-in. A host for timings is the
// default one: the main window with its header and panel, top-level Lister windows with
// the nine-item File menu, and a sample image to load:
//
//   standin::HostOptions options;                  // the tests' host; change what differs
//   standin::HostWindows host;                     // the windows point to it: keep it in place
//   standin::CreateHostWindows(&options, &host);   // "TTOTAL_CMD", its header, its panel
//   HWND lister = standin::NewListerWindow(&host, false, 9);  // top-level, Lister's menu
//   HWND quick = standin::NewListerWindow(&host, true, 9);    // Quick View, in the panel
//   standin::WriteSampleBmp(L"Z:\\bench\\a.bmp", 16, 16, RGB(200, 120, 40));
//   standin::PluginEntries plugin;                 // ListLoadW, WindowCaption, KbdProc, ...
//   standin::LoadPlugin(L"Z:\\build\\Pixmorant.wlx64", &plugin);
//   HWND view = plugin.ListLoadW(lister, L"Z:\\bench\\a.bmp", 0);
//   ...
//   plugin.ListCloseWindow(view);
//   standin::DestroyHostWindows(&host);  // the Lister windows go with the main window
//   standin::FreePlugin(&plugin);
//
// The windows run on the thread that creates them: pump its messages (Pump) while the
// plug-in works.
#pragma once
#include <windows.h>

namespace standin {

// ---- host windows ----

const UINT kHostQuery = WM_USER + 50;    // 1074, sent to "TTOTAL_CMD": asks for a value by code
const UINT kHostCommand = WM_USER + 51;  // 1075, posted to the Quick View panel: a host command

// Where the three users of the host differ. The defaults are the tests' host.
struct HostOptions {
  const wchar_t* title = L"Total Commander (stand-in)";  // the main window's
  int width = 900, height = 700;                         // the main window's size, at the screen's top left
  int headerHeight = 20;
  RECT listerPlace = {100, 100, 740, 580};  // a top-level Lister window's place
  bool showsMain = true;
  // When set, a file list fills the left third of the main window with this name selected,
  // and the header and the panel stand right of it.
  const wchar_t* listedFile = nullptr;
  // Lister windows and the panel size their first child to their client area, as the host
  // sizes the plug-in's window (the tests size it themselves).
  bool fitsViews = false;
  bool printsCommands = false;   // "host command N" on standard output for each 1075
  bool endsLoopOnClose = false;  // WM_QUIT once the main or a top-level Lister window goes
  // When set, SC_CLOSE on a Lister window (Escape in the viewer) closes its view through
  // the plug-in, and a top-level Lister window with it; otherwise it is only recorded.
  int(__stdcall* closeView)(HWND view) = nullptr;
};

// The host's windows. Lister windows are added by NewListerWindow.
struct HostWindows {
  HostOptions options;
  HWND main = nullptr;            // "TTOTAL_CMD": answers 1074
  HWND header = nullptr;          // the Quick View header above the panel, written and painted by the plug-in
  HWND panel = nullptr;           // the Quick View panel: parent of its Lister windows, takes 1075
  HWND files = nullptr;           // the file list, when options.listedFile is set
  HWND answeredHeader = nullptr;  // what 1074 answers for codes 9 and 10: the header, or null
};

// What the host windows saw, in this process (cleared by ResetHostRecord).
struct HostRecord {
  int queries[16];  // codes of 1074, in order
  int queryCount;
  int commands[16];  // commands of 1075, in order
  int commandCount;
  int listerCloses;    // WM_SYSCOMMAND/SC_CLOSE received by a Lister window
  int listerSetTexts;  // WM_SETTEXT received by a Lister window
  int headerSetTexts;  // WM_SETTEXT received by the header window
  int relayouts;       // layouts made in answer to a WM_SETTEXT (g_hostRelayout)
};
extern HostRecord g_host;
void ResetHostRecord();
// What 1074 answers for codes 1 and 3 (by default the same non-zero value).
extern LONG_PTR g_hostAnswer1, g_hostAnswer3;
// A host that answers every title change by laying out its windows again (its frame
// redrawn, its children placed anew), as some file managers do: a top-level Lister window
// on its own WM_SETTEXT, the Lister windows of the panel on the header's WM_SETTEXT. The
// plug-in's container then receives messages from inside the title change. At most 200
// layouts follow one ResetHostRecord, so that a plug-in that answers each with another
// title change cannot hold the process for ever.
extern bool g_hostRelayout;

// Creates the main window, the header, the panel (and the file list), laid out and shown
// as the options say. host must stay where it is until DestroyHostWindows.
bool CreateHostWindows(const HostOptions* options, HostWindows* host);
// A Lister window: top-level at options.listerPlace with a menu bar whose File menu has
// fileItems items (the host's has nine), or, inQuickView, a child filling the panel with
// the control identifier given (a child window has an identifier where a top-level window
// has its menu).
HWND NewListerWindow(HostWindows* host, bool inQuickView, int fileItems, UINT_PTR childId = 0);
void DestroyHostWindows(HostWindows* host);

// The plug-in's window (the window's first child) sized to the window's client area.
void FitFirstChild(HWND window);
// The embedded viewer window: the container's first child.
inline HWND ViewerOf(HWND container) { return GetWindow(container, GW_CHILD); }

// Runs this thread's message loop for a while (at least once); false when WM_QUIT came,
// and then at once.
bool Pump(DWORD milliseconds);

// ---- the plug-in ----

// The plug-in's exports: the host's seven entries by their plain names, and the plug-in's
// own procedures by their C++ names (the hooks and the container's procedure, which it
// installs itself; the caption and gsenv, which tools call).
enum HostEntry {
  kListLoad,
  kListLoadW,
  kListLoadNext,
  kListLoadNextW,
  kListCloseWindow,
  kListGetDetectString,
  kListPrint,
  kListSearchDialog,
  kListSendCommand,
  kHostEntryCount
};
enum OwnProcedure { kKbdProc, kMouseProc, kTitleProc, kWindowProc, kWindowCaption, kGsenv, kOwnProcedureCount };
extern const char* const kHostEntryNames[kHostEntryCount];
extern const char* const kOwnProcedureNames[kOwnProcedureCount];

// gsenv's result, returned by value: the GS_LIB text.
struct GsLibText {
  char16_t text[4096];
};

struct PluginEntries {
  HMODULE module = nullptr;
  HWND(__stdcall* ListLoad)(HWND, char*, int) = nullptr;
  HWND(__stdcall* ListLoadW)(HWND, const wchar_t*, int) = nullptr;
  int(__stdcall* ListLoadNext)(HWND, HWND, char*, int) = nullptr;
  int(__stdcall* ListLoadNextW)(HWND, HWND, const wchar_t*, int) = nullptr;
  int(__stdcall* ListCloseWindow)(HWND) = nullptr;
  void(__stdcall* ListGetDetectString)(char*, int) = nullptr;
  int(__stdcall* ListPrint)(HWND, char*, char*, int, RECT*) = nullptr;
  int(__stdcall* ListSearchDialog)(HWND, int) = nullptr;
  int(__stdcall* ListSendCommand)(HWND, int, int) = nullptr;
  LRESULT (*KbdProc)(int, WPARAM, LPARAM) = nullptr;
  LRESULT (*MouseProc)(int, WPARAM, LPARAM) = nullptr;
  LRESULT (*TitleProc)(int, WPARAM, LPARAM) = nullptr;
  LRESULT (*WindowProc)(HWND, UINT, WPARAM, LPARAM) = nullptr;
  wchar_t* (*WindowCaption)(HWND viewer, HWND lister) = nullptr;
  GsLibText (*gsenv)(const char16_t* libraryPath) = nullptr;
};

// Loads the library and binds every entry; false when it does not load. An entry the
// library lacks stays null.
bool LoadPlugin(const wchar_t* libraryPath, PluginEntries* plugin);
void FreePlugin(PluginEntries* plugin);

// The host's step to the next file in a Lister window (N or P, a cursor move in Quick View):
// the plug-in loads it into the window it has (ListLoadNextW answers 0); when it cannot
// (it answers 1, or has no such entry), the window is closed and the file loaded afresh.
// The plug-in's window that shows the file, or null.
HWND LoadNext(const PluginEntries& plugin, HWND lister, HWND view, const wchar_t* file);

// The library's calls of a function it imports from dll ("user32.dll") bound to another
// function: the function bound before, to bind back, or null when the library does not
// import it. ImportBinding: the function bound now. The tests play a platform that answers
// otherwise with it, in the host's process or in the viewer's.
void* BindImport(HMODULE library, const char* dll, const char* function, void* replacement);
void* ImportBinding(HMODULE library, const char* dll, const char* function);

// ---- BMP files ----

// The description of a 24-bit picture of this size, rows bottom-up, each padded to 4 bytes:
// for CreateDIBSection, and the header of a BMP file.
BITMAPINFO Rgb24Info(int width, int height);
// An uncompressed 24-bit BMP: bits holds the rows as Rgb24Info describes them.
bool WriteBmp(const wchar_t* path, int width, int height, const void* bits);
// A BMP of one colour (0x00BBGGRR), for the viewer to show.
bool WriteSampleBmp(const wchar_t* path, int width, int height, COLORREF color);
// The window as it shows on the screen. With a viewer, and PX_VIEWER_SNAPSHOT naming where
// the viewer draws a picture of itself on request, that picture is laid over the
// viewer's place: under Wine the pixels of another process's child window do not reach
// the screen.
bool SaveScreenshot(HWND window, HWND viewer, const wchar_t* path);

}  // namespace standin
