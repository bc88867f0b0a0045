// px_bench.exe - speed figures of the built plug-in, printed as a Markdown table.
//
//   px_bench.exe [build folder]     (a Windows path; default: %PX_BUILD_DIR% as Z:\...)
//
// It plays the host: it installs the built Pixmorant.wlx64 and the stand-in viewer in a
// plug-in folder of its own, loads the library, and times
//   - ListLoadW in Lister mode on a small BMP, against the stand-in viewer's own start-up
//     (its log gives the QPC of its process start and of its window's creation), so that
//     the plug-in's overhead after the viewer window exists can be told apart;
//   - WindowCaption in Lister mode and in Quick View mode, each beside its floor: the same
//     platform calls made straight from here;
//   - KbdProc and MouseProc passing a message on, beside CallNextHookEx alone;
//   - the library's size;
// and then the steps that follow the wait, one by one, on a viewer started by hand, to
// show where the overhead goes.
//
// Written close to C: fixed buffers, one small helper per measurement.

#include <windows.h>
#include <shlwapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

// ---------------------------------------------------------------- clock

static LONGLONG g_freq;

static LONGLONG Qpc()
{
    LARGE_INTEGER v;
    QueryPerformanceCounter(&v);
    return v.QuadPart;
}

static double Micro(LONGLONG ticks) { return (double)ticks * 1e6 / (double)g_freq; }

// ---------------------------------------------------------------- samples

enum { MAX_SAMPLES = 64 };

struct Samples {
    double v[MAX_SAMPLES];
    int n;
};

static void Add(Samples* s, double value)
{
    if (s->n < MAX_SAMPLES) s->v[s->n++] = value;
}

static int CompareDoubles(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

// The q-quantile (0..1) by linear interpolation between the sorted samples.
static double Quantile(const Samples* s, double q)
{
    if (s->n == 0) return 0;
    double sorted[MAX_SAMPLES];
    memcpy(sorted, s->v, s->n * sizeof(double));
    qsort(sorted, s->n, sizeof(double), CompareDoubles);
    double at = q * (s->n - 1);
    int low = (int)at;
    if (low >= s->n - 1) return sorted[s->n - 1];
    return sorted[low] + (at - low) * (sorted[low + 1] - sorted[low]);
}

static double Median(const Samples* s) { return Quantile(s, 0.5); }

// ---------------------------------------------------------------- files

static bool WriteBytes(const wchar_t* path, const void* bytes, DWORD size)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes, size, &written, NULL);
    CloseHandle(file);
    return ok && written == size;
}

// The whole file as text (at most size - 1 bytes), shared so that its writer may go on.
static DWORD ReadText(const wchar_t* path, char* text, DWORD size)
{
    text[0] = 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD got = 0;
    ReadFile(file, text, size - 1, &got, NULL);
    CloseHandle(file);
    text[got] = 0;
    return got;
}

// A 16 x 16 24-bit BMP of one colour.
static bool WriteSampleBmp(const wchar_t* path)
{
    enum { SIDE = 16, STRIDE = SIDE * 3 };
    struct {
        BITMAPFILEHEADER file;
        BITMAPINFOHEADER info;
        BYTE pixels[SIDE * STRIDE];
    } __attribute__((packed)) bmp;
    ZeroMemory(&bmp, sizeof bmp);
    bmp.file.bfType = 0x4D42;
    bmp.file.bfOffBits = sizeof bmp.file + sizeof bmp.info;
    bmp.file.bfSize = sizeof bmp;
    bmp.info.biSize = sizeof bmp.info;
    bmp.info.biWidth = SIDE;
    bmp.info.biHeight = SIDE;
    bmp.info.biPlanes = 1;
    bmp.info.biBitCount = 24;
    for (int i = 0; i < SIDE * STRIDE; i += 3) {
        bmp.pixels[i] = 40;       // blue
        bmp.pixels[i + 1] = 120;  // green
        bmp.pixels[i + 2] = 200;  // red
    }
    return WriteBytes(path, &bmp, sizeof bmp);
}

static void Join(wchar_t* out, const wchar_t* folder, const wchar_t* name)
{
    _snwprintf(out, MAX_PATH - 1, L"%ls%ls", folder, name);
    out[MAX_PATH - 1] = 0;
}

// ---------------------------------------------------------------- messages and processes

static void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

static void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        Pump();
        MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

// Waits, dispatching this thread's messages (the viewer's window is a child of ours while
// it goes), until the process ends; ends it when it has not ended in time.
static bool WaitProcessEnd(HANDLE process, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return true;
        if (GetTickCount() - start > ms) break;
        MsgWaitForMultipleObjects(1, &process, FALSE, 10, QS_ALLINPUT);
    }
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
    return false;
}

// ---------------------------------------------------------------- the viewer's log

// The number that follows key in the log, or -1.
static LONGLONG LogNumber(const char* log, const char* key)
{
    const char* at = strstr(log, key);
    return at ? _strtoi64(at + strlen(key), NULL, 10) : -1;
}

struct ViewerTimes {
    LONGLONG start;   // QPC at the viewer's process start
    LONGLONG window;  // QPC right after its CreateWindowExW returned
};

// Reads the two QPC values of a viewer's log, waiting a little for the window line: the
// plug-in may find the window before the viewer has written it.
static bool ReadViewerTimes(const wchar_t* logPath, ViewerTimes* times)
{
    static char log[16384];
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
        ReadText(logPath, log, sizeof log);
        const char* line = strstr(log, "window hwnd=");
        if (line && strchr(line, '\n')) {
            times->start = LogNumber(log, "start_qpc=");
            times->window = LogNumber(line, " qpc=");
            LONGLONG freq = LogNumber(line, " freq=");
            return times->start > 0 && times->window > 0 && freq == g_freq;
        }
        PumpFor(5);
    }
    return false;
}

// ---------------------------------------------------------------- stand-in host windows

static HWND g_header;  // the window the host's main window names for 1074 codes 9 and 10

static LRESULT CALLBACK HostMainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_USER + 50) {
        switch (wParam) {
        case 1:
        case 3: return 0x1234;  // the same answer: the host asks for code 10 next
        case 9:
        case 10: return (LRESULT)g_header;
        default: return 0;
        }
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

static void RegisterPlainClass(const wchar_t* name, WNDPROC proc)
{
    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

static HWND Window(const wchar_t* cls, const wchar_t* title, DWORD style, int w, int h, HWND parent, HMENU menu)
{
    return CreateWindowExW(0, cls, title, style, 0, 0, w, h, parent, menu, GetModuleHandleW(NULL), NULL);
}

// The host's main window, its header window and the holder of a Quick View Lister.
struct Host {
    HWND main;
    HWND holder;
};

static Host CreateHost()
{
    Host host;
    host.main = Window(L"TTOTAL_CMD", L"Total Commander (bench)", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 900, 700, NULL, NULL);
    g_header = Window(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 600, 20, host.main, NULL);
    host.holder = Window(L"PxBenchWindow", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 600, 400, host.main, NULL);
    MoveWindow(host.holder, 0, 20, 600, 400, TRUE);
    PumpFor(20);
    return host;
}

// A menu bar whose first drop-down has the host's nine items, which the load trims.
static HMENU ListerMenu()
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    for (int i = 0; i < 9; i++) {
        wchar_t text[16];
        _snwprintf(text, 16, L"Item %d", i);
        AppendMenuW(file, MF_STRING, 100 + i, text);
    }
    AppendMenuW(bar, MF_POPUP, (UINT_PTR)file, L"&File");
    AppendMenuW(bar, MF_STRING, 200, L"&Edit");
    AppendMenuW(bar, MF_STRING, 201, L"&Options");
    return bar;
}

// A top-level Lister window (no parent: Lister mode), with the host's menu.
static HWND NewListerWindow()
{
    HWND lister = Window(L"PxBenchWindow", L"Lister", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 640, 480, NULL, ListerMenu());
    ShowWindow(lister, SW_SHOW);
    PumpFor(10);
    return lister;
}

// ---------------------------------------------------------------- the plug-in

typedef HWND (*ListLoadWFn)(HWND, const wchar_t*, int);
typedef int (*ListCloseWindowFn)(HWND);
typedef wchar_t* (*WindowCaptionFn)(HWND, HWND);
typedef LRESULT (*HookFn)(int, WPARAM, LPARAM);

struct Plugin {
    HMODULE module;
    ListLoadWFn ListLoadW;
    ListCloseWindowFn ListCloseWindow;
    WindowCaptionFn WindowCaption;
    HookFn KbdProc;
    HookFn MouseProc;
};

template <class T>
static void Bind(HMODULE module, T* entry, const char* name)
{
    *entry = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

static bool LoadPlugin(const wchar_t* path, Plugin* plugin)
{
    ZeroMemory(plugin, sizeof *plugin);
    plugin->module = LoadLibraryW(path);
    if (!plugin->module) return false;
    Bind(plugin->module, &plugin->ListLoadW, "ListLoadW");
    Bind(plugin->module, &plugin->ListCloseWindow, "ListCloseWindow");
    Bind(plugin->module, &plugin->WindowCaption, "_Z13WindowCaptionP6HWND__S0_");
    Bind(plugin->module, &plugin->KbdProc, "_Z7KbdProciyx");
    Bind(plugin->module, &plugin->MouseProc, "_Z9MouseProciyx");
    return plugin->ListLoadW && plugin->ListCloseWindow && plugin->WindowCaption && plugin->KbdProc &&
           plugin->MouseProc;
}

// ---------------------------------------------------------------- the bench's own folder

struct Paths {
    wchar_t build[MAX_PATH];     // the build folder, with a trailing backslash
    wchar_t folder[MAX_PATH];    // the plug-in folder of this run, with a trailing backslash
    wchar_t library[MAX_PATH];   // folder\Pixmorant.wlx64
    wchar_t viewer[MAX_PATH];    // folder\Pixmorant64\px_run64.exe
    wchar_t image[MAX_PATH];     // folder\images\sample.bmp
    wchar_t hostIni[MAX_PATH];   // folder\wincmd.ini, named by COMMANDER_INI
};

// The build folder from the command line, or from PX_BUILD_DIR (a Unix path) as Z:\...
static bool FindBuild(int argc, wchar_t** argv, wchar_t* build)
{
    wchar_t given[MAX_PATH] = L"";
    if (argc > 1) {
        _snwprintf(given, MAX_PATH - 2, L"%ls", argv[1]);
    } else {
        wchar_t unixPath[MAX_PATH] = L"";
        if (!GetEnvironmentVariableW(L"PX_BUILD_DIR", unixPath, MAX_PATH - 4)) return false;
        _snwprintf(given, MAX_PATH - 2, L"Z:%ls", unixPath);
        for (wchar_t* p = given; *p; p++)
            if (*p == L'/') *p = L'\\';
    }
    size_t n = wcslen(given);
    if (n == 0) return false;
    if (given[n - 1] != L'\\') wcscat(given, L"\\");
    wcscpy(build, given);
    return true;
}

static const char kHostIni[] =
    "[Configuration]\r\n"
    "DarkMode=1\r\n"
    "UseNewDefFont=1\r\n"
    "[Colors]\r\n"
    "ActiveTitle=7884319\r\n"
    "ActiveTitleText=16777215\r\n"
    "InactiveTitle=12632256\r\n"
    "[ColorsDark]\r\n"
    "ActiveTitle=4210752\r\n"
    "ActiveTitleText=14474460\r\n"
    "InactiveTitle=2105376\r\n"
    "[AllResolutions]\r\n"
    "FontSizeWindow=9\r\n"
    "FontWeightWindow=400\r\n"
    "FontNameWindow=Segoe UI\r\n"
    "[Lister]\r\n"
    "Maximized=0\r\n";

static bool MakePluginFolder(Paths* p)
{
    wchar_t path[MAX_PATH];
    Join(path, p->build, L"bench-area");
    CreateDirectoryW(path, NULL);
    _snwprintf(p->folder, MAX_PATH - 1, L"%lsbench-area\\run%lu-%lu\\", p->build, GetCurrentProcessId(), GetTickCount());
    if (!CreateDirectoryW(p->folder, NULL)) return false;
    Join(p->library, p->folder, L"Pixmorant.wlx64");
    Join(path, p->build, L"Pixmorant.wlx64");
    if (!CopyFileW(path, p->library, FALSE)) return false;
    Join(path, p->folder, L"Pixmorant64");
    CreateDirectoryW(path, NULL);
    Join(p->viewer, p->folder, L"Pixmorant64\\px_run64.exe");
    Join(path, p->build, L"standin\\viewer\\px_run64.exe");
    if (!CopyFileW(path, p->viewer, FALSE)) return false;
    Join(path, p->folder, L"images");
    CreateDirectoryW(path, NULL);
    Join(p->image, p->folder, L"images\\sample.bmp");
    Join(p->hostIni, p->folder, L"wincmd.ini");
    return WriteSampleBmp(p->image) && WriteBytes(p->hostIni, kHostIni, sizeof kHostIni - 1);
}

static void RemoveTree(const wchar_t* dir)  // dir ends with a backslash
{
    wchar_t pattern[MAX_PATH];
    Join(pattern, dir, L"*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..")) continue;
            wchar_t path[MAX_PATH];
            Join(path, dir, found.cFileName);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                wcscat(path, L"\\");
                RemoveTree(path);
            } else {
                DeleteFileW(path);
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir);
}

// ---------------------------------------------------------------- the light-theme value

// The header painting reads this value when DarkMode is 1. A fresh prefix has none; the
// bench sets it (light) for its run and removes it again, so that the read succeeds.
static const wchar_t kPersonalize[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

static bool SetLightThemeIfMissing()
{
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, NULL, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    DWORD value = 0, size = sizeof value;
    bool missing = RegQueryValueExW(key, L"AppsUseLightTheme", NULL, NULL, (BYTE*)&value, &size) != ERROR_SUCCESS;
    if (missing) {
        value = 1;
        RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    }
    RegCloseKey(key);
    return missing;
}

static void RemoveLightTheme()
{
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, L"AppsUseLightTheme");
    RegCloseKey(key);
}

// ---------------------------------------------------------------- load

struct LoadFigures {
    Samples load;      // ListLoadW, ms
    Samples viewer;    // the viewer's process start to its window, ms
    Samples overhead;  // the viewer's window created to ListLoadW's return, ms
    Samples launch;    // ListLoadW called to the viewer's process start, ms
    int failed;        // runs that gave no container or no log
    int stuck;         // viewers that did not end after the close and were ended
};

// One load in Lister mode on a fresh Lister window, timed, then closed; waits until the
// viewer has ended. False when the run gave no figures.
static bool OneLoad(const Plugin* plugin, const Paths* p, int run, LoadFigures* figures, bool keep)
{
    wchar_t logPath[MAX_PATH];
    _snwprintf(logPath, MAX_PATH - 1, L"%lsviewer-%d.log", p->folder, run);
    SetEnvironmentVariableW(L"PX_VIEWER_LOG", logPath);
    HWND lister = NewListerWindow();

    LONGLONG before = Qpc();
    HWND container = plugin->ListLoadW(lister, p->image, 0);
    LONGLONG after = Qpc();

    bool ok = container != NULL;
    HANDLE process = NULL;
    if (ok) {
        DWORD pid = 0;
        GetWindowThreadProcessId(GetWindow(container, GW_CHILD), &pid);
        process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    }
    ViewerTimes times = {0, 0};
    ok = ok && ReadViewerTimes(logPath, &times);
    PumpFor(30);
    if (container) plugin->ListCloseWindow(container);
    if (process) {
        if (!WaitProcessEnd(process, 10000)) figures->stuck++;
        CloseHandle(process);
    }
    DestroyWindow(lister);
    Pump();
    DeleteFileW(logPath);
    SetEnvironmentVariableW(L"PX_VIEWER_LOG", NULL);
    if (!ok) {
        figures->failed++;
        return false;
    }
    if (keep) {
        Add(&figures->load, Micro(after - before) / 1000);
        Add(&figures->viewer, Micro(times.window - times.start) / 1000);
        Add(&figures->overhead, Micro(after - times.window) / 1000);
        Add(&figures->launch, Micro(times.start - before) / 1000);
    }
    return true;
}

static void MeasureLoads(const Plugin* plugin, const Paths* p, int runs, LoadFigures* figures)
{
    ZeroMemory(figures, sizeof *figures);
    OneLoad(plugin, p, 0, figures, false);  // warm-up: first mapping of the files
    for (int run = 1; run <= runs; run++) OneLoad(plugin, p, run, figures, true);
}

// ---------------------------------------------------------------- caption

enum { CAPTION_CALLS = 200, CAPTION_RUNS = 25 };

static const wchar_t kViewerTitle[] = L"C:\\pics\\photo.jpg - Pixmorant";
static const wchar_t kListerTitle[] = L"Lister (pixmorant) - [C:\\pics\\photo.jpg]";

// The caption writes a title only when the window shows another: the read of the shown
// text and the write when it differs.
static void SetTextIfDiffers(HWND window, const wchar_t* text)
{
    wchar_t shown[284] = {};
    GetWindowTextW(window, shown, 284);
    if (wcscmp(shown, text) != 0) SetWindowTextW(window, text);
}

// What the plug-in's caption costs in Lister mode, made straight: the viewer's title read,
// the mode test, the Lister title read (and written when it differs).
static void ListerCaptionFloor(HWND viewer, HWND lister)
{
    wchar_t buffer[283] = {};
    GetWindowTextW(viewer, buffer, 260);
    if (GetParent(lister) == NULL) SetTextIfDiffers(lister, kListerTitle);
}

// The host's header text for C:\pics\photo.jpg: the name, " - pixmorant", 230 spaces.
static void HeaderText(wchar_t* text)
{
    wcscpy(text, L"photo.jpg - pixmorant");
    size_t n = wcslen(text);
    for (int i = 0; i < 230; i++) text[n++] = L' ';
    text[n] = 0;
}

static void Read(const wchar_t* section, const wchar_t* key, const wchar_t* fallback, wchar_t* value,
                 const wchar_t* file)
{
    GetPrivateProfileStringW(section, key, fallback, value, 260, file);
}

static DWORD LightTheme()
{
    HKEY key = NULL;
    DWORD value = 1, size = sizeof value;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 1;
    RegQueryValueExW(key, L"AppsUseLightTheme", NULL, NULL, (BYTE*)&value, &size);
    RegCloseKey(key);
    return value;
}

static COLORREF ColorOr(const wchar_t* value, int sysColor)
{
    return value[0] ? (COLORREF)(wcstol(value, NULL, 10) & 0xFFFFFF) : GetSysColor(sysColor);
}

// What the plug-in's caption costs in Quick View mode, made straight: the title read, the
// mode test, the three host queries, the header text read (and written when it differs),
// and the painting in the
// host's colours and font with its eleven settings reads and the light-theme value.
static void QuickViewCaptionFloor(HWND viewer, HWND lister)
{
    wchar_t buffer[283] = {};
    GetWindowTextW(viewer, buffer, 260);
    if (GetParent(lister) == NULL) return;
    wchar_t text[283];
    HeaderText(text);
    LRESULT first = SendMessageW(FindWindowW(L"TTOTAL_CMD", NULL), WM_USER + 50, 1, 0);
    LRESULT third = SendMessageW(FindWindowW(L"TTOTAL_CMD", NULL), WM_USER + 50, 3, 0);
    WPARAM code = (DWORD)first == (DWORD)third ? 10 : 9;
    HWND header = (HWND)(LONG_PTR)(LONG)SendMessageW(FindWindowW(L"TTOTAL_CMD", NULL), WM_USER + 50, code, 0);
    SetTextIfDiffers(header, text);

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
    LOGFONTW font;
    ZeroMemory(&font, sizeof font);
    font.lfHeight = -MulDiv(wcstol(size, NULL, 10), GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = wcstol(weight, NULL, 10);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfClipPrecision = CLIP_CHARACTER_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    wcsncpy(font.lfFaceName, face, 31);
    HFONT hfont = CreateFontIndirectW(&font);
    HGDIOBJ previous = SelectObject(dc, hfont);
    DrawTextW(dc, text, -1, &rect, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, previous);
    DeleteObject(hfont);
    ReleaseDC(header, dc);
}

struct Pair {
    Samples plugin;  // µs per call
    Samples floor;   // µs per call
};

// Runs of `calls` calls each, the plug-in's and the floor's taking turns (and taking turns
// at going first), so that both see the same machine.
template <class PluginCall, class FloorCall>
static void MeasurePair(int runs, int calls, PluginCall pluginCall, FloorCall floorCall, Pair* pair)
{
    ZeroMemory(pair, sizeof *pair);
    for (int i = 0; i < calls; i++) {  // warm-up of both
        pluginCall();
        floorCall();
    }
    for (int run = 0; run < runs; run++) {
        LONGLONG pluginTicks = 0, floorTicks = 0;
        for (int turn = 0; turn < 2; turn++) {
            bool pluginNow = (run + turn) % 2 == 0;
            LONGLONG t0 = Qpc();
            if (pluginNow)
                for (int i = 0; i < calls; i++) pluginCall();
            else
                for (int i = 0; i < calls; i++) floorCall();
            LONGLONG t1 = Qpc();
            (pluginNow ? pluginTicks : floorTicks) = t1 - t0;
        }
        Add(&pair->plugin, Micro(pluginTicks) / calls);
        Add(&pair->floor, Micro(floorTicks) / calls);
        Pump();
    }
}

static void MeasureListerCaption(const Plugin* plugin, Pair* pair)
{
    HWND viewer = Window(L"STATIC", kViewerTitle, WS_POPUP, 10, 10, NULL, NULL);
    HWND lister = Window(L"PxBenchWindow", L"Lister", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 640, 480, NULL, NULL);
    MeasurePair(CAPTION_RUNS, CAPTION_CALLS, [&] { plugin->WindowCaption(viewer, lister); },
                [&] { ListerCaptionFloor(viewer, lister); }, pair);
    DestroyWindow(lister);
    DestroyWindow(viewer);
}

static void MeasureQuickViewCaption(const Plugin* plugin, const Host* host, Pair* pair)
{
    HWND viewer = Window(L"STATIC", kViewerTitle, WS_POPUP, 10, 10, NULL, NULL);
    HWND lister = Window(L"PxBenchWindow", L"Lister", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 600, 400, host->holder, NULL);
    MeasurePair(CAPTION_RUNS, CAPTION_CALLS, [&] { plugin->WindowCaption(viewer, lister); },
                [&] { QuickViewCaptionFloor(viewer, lister); }, pair);
    DestroyWindow(lister);
    DestroyWindow(viewer);
}

// ---------------------------------------------------------------- hooks

enum { HOOK_CALLS = 5000, HOOK_RUNS = 25 };

struct HookFigures {
    Pair kbd;    // KbdProc against CallNextHookEx alone
    Pair kbdAll; // KbdProc against the calls it makes for a key outside its table
    Pair mouse;  // MouseProc against CallNextHookEx alone
    bool focusHeld;
};

// The hooks are called straight, not from a hook chain, with the bench's own windows in
// the places of the viewer's: a Lister, a container, a viewer holding the focus, and an
// image area under the pointer.
static void MeasureHooks(const Plugin* plugin, HookFigures* figures)
{
    HWND lister = Window(L"PxBenchWindow", L"Lister", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 640, 480, NULL, NULL);
    HWND container = Window(L"PxBenchWindow", L"", WS_CHILD | WS_VISIBLE, 600, 400, lister, NULL);
    HWND viewer = Window(L"PxBenchWindow", L"", WS_CHILD | WS_VISIBLE, 600, 400, container, NULL);
    HWND image = Window(L"PxBenchWindow", L"", WS_CHILD | WS_VISIBLE, 600, 400, viewer, NULL);
    SetForegroundWindow(lister);
    SetFocus(viewer);
    PumpFor(20);
    figures->focusHeld = GetFocus() == viewer;

    MOUSEHOOKSTRUCT record;
    ZeroMemory(&record, sizeof record);
    record.pt.x = 100;
    record.pt.y = 100;
    record.hwnd = image;
    record.wHitTestCode = HTCLIENT;
    LPARAM recordParam = (LPARAM)&record;
    MeasurePair(HOOK_RUNS, HOOK_CALLS, [&] { plugin->KbdProc(HC_ACTION, VK_UP, 0x01480001); },
                [&] { CallNextHookEx(NULL, HC_ACTION, VK_UP, 0x01480001); }, &figures->kbd);
    MeasurePair(HOOK_RUNS, HOOK_CALLS, [&] { plugin->KbdProc(HC_ACTION, VK_UP, 0x01480001); },
                [&] {
                    GetParent(GetParent(GetFocus()));
                    CallNextHookEx(NULL, HC_ACTION, VK_UP, 0x01480001);
                },
                &figures->kbdAll);
    MeasurePair(HOOK_RUNS, HOOK_CALLS, [&] { plugin->MouseProc(HC_ACTION, WM_MOUSEMOVE, recordParam); },
                [&] { CallNextHookEx(NULL, HC_ACTION, WM_MOUSEMOVE, recordParam); }, &figures->mouse);
    DestroyWindow(lister);
}

// ---------------------------------------------------------------- where the overhead goes

// The steps that follow the wait, as the load makes them, timed one by one on a viewer
// started here with the load's startup record and command line.
enum Step {
    STEP_DETECT,     // the viewer's window created to the polling loop's seeing it
    STEP_ANSWER,     // then to the viewer's thread answering a sent message
    STEP_MENU,       // the Lister menu's trim, the bar item grayed, the bar redrawn
    STEP_HOOKS,      // the keyboard and the mouse hook on the viewer's thread
    STEP_PARENT1,    // SetParent(viewer, container)
    STEP_STYLE,      // SetWindowLongPtrW(viewer, GWL_STYLE, WS_CHILD)
    STEP_FOREGROUND, // SetForegroundWindow(lister)
    STEP_PARENT2,    // SetParent(viewer, container) again
    STEP_FOCUS,      // SetFocus(lister)
    STEP_MAXIMIZE,   // ShowWindow(viewer, SW_SHOWMAXIMIZED)
    STEP_SHOW,       // ShowWindow(lister, SW_SHOW)
    STEP_COUNT
};

static const char* const kStepName[STEP_COUNT] = {
    "The polling loop sees the viewer's window, from CreateWindowExW's return in the viewer "
    "(negative: seen while the viewer is still creating it)",
    "Then until the viewer's thread answers a sent message (the viewer's own start-up work; "
    "in a load the first SetParent waits for it)",
    "Lister menu: 4 deletions, bar item grayed, DrawMenuBar",
    "SetWindowsHookExW ×2 on the viewer's thread",
    "SetParent(viewer, container)",
    "SetWindowLongPtrW(viewer, GWL_STYLE, WS_CHILD)",
    "SetForegroundWindow(Lister)",
    "SetParent(viewer, container), second time",
    "SetFocus(Lister)",
    "ShowWindow(viewer, SW_SHOWMAXIMIZED)",
    "ShowWindow(Lister, SW_SHOW)",
};

struct Breakdown {
    Samples step[STEP_COUNT];  // µs
    int failed;
};

static bool StartViewer(const Paths* p, PROCESS_INFORMATION* process)
{
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION | STARTF_FORCEOFFFEEDBACK;
    startup.wShowWindow = SW_SHOW;
    wchar_t commandLine[512];
    _snwprintf(commandLine, 511, L" \"%ls\" /hide=3", p->image);
    commandLine[511] = 0;
    ZeroMemory(process, sizeof *process);
    return CreateProcessW(p->viewer, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, process) != FALSE;
}

// The load's polling loop: the owner of the window held from the last search, a new
// search, the arrow keys. Null when the viewer ended or took more than ten seconds.
static HWND PollForViewer(const PROCESS_INFORMATION* process)
{
    HWND held = FindWindowW(L"Pixmorant", NULL);
    LONGLONG limit = Qpc() + 10 * g_freq;
    for (;;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(held, &owner);
        held = FindWindowW(L"Pixmorant", NULL);
        if (owner == process->dwProcessId) return held;
        if (WaitForSingleObject(process->hProcess, 0) == WAIT_OBJECT_0 || Qpc() > limit) return NULL;
        if (GetAsyncKeyState(VK_UP) || GetAsyncKeyState(VK_DOWN) || GetAsyncKeyState(VK_LEFT) ||
            GetAsyncKeyState(VK_RIGHT))
            return NULL;
    }
}

static void TrimMenu(HWND lister)
{
    HMENU bar = GetMenu(lister);
    HMENU first = GetSubMenu(GetMenu(lister), 0);
    if (GetMenuItemCount(first) == 9) {
        DeleteMenu(first, 1, MF_BYPOSITION);
        for (int i = 0; i < 3; i++) DeleteMenu(first, 3, MF_BYPOSITION);
    }
    EnableMenuItem(bar, 1, MF_BYPOSITION | MF_DISABLED | MF_GRAYED);
    DrawMenuBar(lister);
}

static bool OneBreakdown(const Plugin* plugin, const Paths* p, int run, Breakdown* b, bool keep)
{
    wchar_t logPath[MAX_PATH];
    _snwprintf(logPath, MAX_PATH - 1, L"%lsparts-%d.log", p->folder, run);
    SetEnvironmentVariableW(L"PX_VIEWER_LOG", logPath);
    HWND lister = NewListerWindow();
    // The container from the class the plug-in registered in this process, so that its
    // window procedure runs on the messages of the steps as it does in a load.
    HWND container = CreateWindowExW(0, L"Pixmorant", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                                     lister, NULL, plugin->module, NULL);
    BringWindowToTop(container);
    PROCESS_INFORMATION process;
    bool ok = container && StartViewer(p, &process);
    SetEnvironmentVariableW(L"PX_VIEWER_LOG", NULL);
    if (!ok) {
        DestroyWindow(lister);
        b->failed++;
        return false;
    }
    LONGLONG t[STEP_COUNT + 1];
    HWND viewer = PollForViewer(&process);
    t[0] = Qpc();
    HHOOK kbd = NULL, mouse = NULL;
    if (viewer) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(viewer, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        t[1] = Qpc();
        TrimMenu(lister);
        t[2] = Qpc();
        kbd = SetWindowsHookExW(WH_KEYBOARD, (HOOKPROC)plugin->KbdProc, plugin->module, process.dwThreadId);
        mouse = SetWindowsHookExW(WH_MOUSE, (HOOKPROC)plugin->MouseProc, plugin->module, process.dwThreadId);
        t[3] = Qpc();
        SetParent(viewer, container);
        t[4] = Qpc();
        SetWindowLongPtrW(viewer, GWL_STYLE, WS_CHILD);
        t[5] = Qpc();
        SetForegroundWindow(lister);
        t[6] = Qpc();
        SetParent(viewer, container);
        t[7] = Qpc();
        SetFocus(lister);
        t[8] = Qpc();
        ShowWindow(viewer, SW_SHOWMAXIMIZED);
        t[9] = Qpc();
        ShowWindow(lister, SW_SHOW);
        t[10] = Qpc();
    }
    ViewerTimes times = {0, 0};
    ok = viewer && ReadViewerTimes(logPath, &times);
    PumpFor(30);
    if (kbd) UnhookWindowsHookEx(kbd);
    if (mouse) UnhookWindowsHookEx(mouse);
    DestroyWindow(container);
    WaitProcessEnd(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DestroyWindow(lister);
    Pump();
    DeleteFileW(logPath);
    if (!ok) {
        b->failed++;
        return false;
    }
    if (keep) {
        Add(&b->step[STEP_DETECT], Micro(t[0] - times.window));
        for (int s = 1; s < STEP_COUNT; s++) Add(&b->step[s], Micro(t[s] - t[s - 1]));
    }
    return true;
}

static void MeasureBreakdown(const Plugin* plugin, const Paths* p, int runs, Breakdown* b)
{
    ZeroMemory(b, sizeof *b);
    OneBreakdown(plugin, p, 0, b, false);
    for (int run = 1; run <= runs; run++) OneBreakdown(plugin, p, run, b, true);
}

// ---------------------------------------------------------------- printing

static void PrintHeaderRow()
{
    printf("| Measurement | Median | Interquartile range | Min – max | Runs | Target |\n");
    printf("|---|---:|---:|---:|---:|---|\n");
}

static void PrintRow(const char* name, const Samples* s, const char* unit, int decimals, const char* runs,
                     const char* target)
{
    printf("| %s | %.*f %s | %.*f – %.*f %s | %.*f – %.*f %s | %s | %s |\n", name, decimals, Median(s), unit,
           decimals, Quantile(s, 0.25), decimals, Quantile(s, 0.75), unit, decimals, Quantile(s, 0),
           decimals, Quantile(s, 1), unit, runs, target);
}

// "≤ 1.10 × floor: 1.04 ×, met" for the plug-in's row of a pair.
static void RatioTarget(const Pair* pair, double limit, char* text, size_t size)
{
    double ratio = Median(&pair->plugin) / Median(&pair->floor);
    snprintf(text, size, "≤ %.2f × floor: %.2f ×, %s", limit, ratio, ratio <= limit ? "met" : "missed");
}

static void PrintPair(const char* name, const char* floorName, const Pair* pair, const char* runs, double limit)
{
    char target[96] = "";
    if (limit > 0) RatioTarget(pair, limit, target, sizeof target);
    else snprintf(target, sizeof target, "none; %+.2f µs over the floor", Median(&pair->plugin) - Median(&pair->floor));
    PrintRow(name, &pair->plugin, "µs", 2, runs, target);
    PrintRow(floorName, &pair->floor, "µs", 2, runs, "");
}

static const char* WineVersion()
{
    typedef const char* (*VersionFn)();
    VersionFn version = NULL;
    Bind(GetModuleHandleW(L"ntdll.dll"), &version, "wine_get_version");
    return version ? version() : "not Wine";
}

static void PrintTable(const LoadFigures* load, const Pair* lister, const Pair* quick, const HookFigures* hooks,
                       LONGLONG dllSize, int loadRuns)
{
    char runs[32], captionRuns[32], hookRuns[32], target[96];
    snprintf(runs, sizeof runs, "%d", load->load.n);
    snprintf(captionRuns, sizeof captionRuns, "%d × %d calls", CAPTION_RUNS, CAPTION_CALLS);
    snprintf(hookRuns, sizeof hookRuns, "%d × %d calls", HOOK_RUNS, HOOK_CALLS);
    double overhead = Median(&load->overhead);
    if (overhead <= 1.0) snprintf(target, sizeof target, "≤ 1 ms at the median: met");
    else snprintf(target, sizeof target, "≤ 1 ms at the median: missed by %.3f ms", overhead - 1.0);

    PrintHeaderRow();
    PrintRow("Load: `ListLoadW`, Lister mode, 16 × 16 BMP", &load->load, "ms", 3, runs, "");
    PrintRow("Load: `ListLoadW` called → viewer process starts", &load->launch, "ms", 3, runs, "");
    PrintRow("Load: stand-in viewer, process start → window created", &load->viewer, "ms", 3, runs, "");
    PrintRow("Load: plug-in overhead, viewer window created → `ListLoadW` returns", &load->overhead, "ms", 3, runs,
             target);
    PrintPair("Caption, Lister mode: `WindowCaption`", "Caption, Lister mode: floor (same platform calls)", lister,
              captionRuns, 1.10);
    PrintPair("Caption, Quick View: `WindowCaption`", "Caption, Quick View: floor (same platform calls)", quick,
              captionRuns, 1.10);
    PrintPair("Hooks: `KbdProc` passing VK_UP on (HC_ACTION)", "Hooks: `CallNextHookEx(null, …)` alone", &hooks->kbd,
              hookRuns, 0);
    PrintRow("Hooks: `GetFocus` + 2 × `GetParent` + `CallNextHookEx`, the calls `KbdProc` makes here",
             &hooks->kbdAll.floor, "µs", 2, hookRuns, "");
    PrintPair("Hooks: `MouseProc` passing WM_MOUSEMOVE on (HC_ACTION)", "Hooks: `CallNextHookEx(null, …)` alone",
              &hooks->mouse, hookRuns, 0);
    printf("| Library size: `Pixmorant.wlx64` | %lld bytes | | | | |\n", dllSize);

    SYSTEM_INFO info;
    GetSystemInfo(&info);
    printf("\nMeasured by `px_bench` (`bash scripts/bench.sh`) under Wine %s with Xvfb on this machine "
           "(%lu cores), QueryPerformanceCounter at %lld Hz. Median, interquartile range (25th–75th "
           "percentile) and minimum–maximum over the runs; each series starts with one warm-up run "
           "that is not counted. Load: %d runs, each a real `ListLoadW` in Lister mode of the built "
           "plug-in from a plug-in folder of its own, with the stand-in viewer as "
           "Pixmorant64\\px_run64.exe, closed with `ListCloseWindow`, waiting for the viewer to end "
           "before the next run; the viewer's times come from its log (QPC is system-wide). "
           "Caption: a run is %d calls, the plug-in's and the floor's runs alternate; Quick View with "
           "DarkMode=1, host colours and font keys, one colour key empty. Hooks: called directly, "
           "not from a hook chain; the focus %s on the bench's stand-in viewer window.\n",
           WineVersion(), info.dwNumberOfProcessors, g_freq, loadRuns, CAPTION_CALLS,
           hooks->focusHeld ? "was" : "could not be put");
    if (load->failed || load->stuck)
        printf("\nLoad runs without figures: %d; viewers that did not end within 10 s of the close and were "
               "ended: %d.\n", load->failed, load->stuck);
}

static void PrintBreakdown(const Breakdown* b)
{
    char runs[16];
    snprintf(runs, sizeof runs, "%d", b->step[0].n);
    printf("\nWhere the overhead goes: the load's steps after the wait, made one by one by the bench on a "
           "stand-in viewer it starts with the load's startup record and command line (the plug-in's "
           "container class and hook procedures; the wait for the viewer's thread to answer, which the "
           "load does not make, is taken out of the steps here).\n\n");
    PrintHeaderRow();
    double total = 0;
    for (int s = 0; s < STEP_COUNT; s++) {
        PrintRow(kStepName[s], &b->step[s], "µs", 1, runs, "");
        if (s >= STEP_MENU) total += Median(&b->step[s]);
    }
    printf("| Sum of the medians of the plug-in's steps (menu to the last ShowWindow) | %.1f µs | | | | |\n", total);
    if (b->failed) printf("\nRuns without figures: %d.\n", b->failed);
}

// ---------------------------------------------------------------- main

static LONGLONG FileSize(const wchar_t* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

int wmain(int argc, wchar_t** argv)
{
    setvbuf(stdout, NULL, _IOFBF, 1 << 16);
    LARGE_INTEGER freq;
    QueryPerformanceFrequency(&freq);
    g_freq = freq.QuadPart;

    int loadRuns = 21;
    for (int i = 1; i < argc; i++)
        if (!wcsncmp(argv[i], L"--runs=", 7)) {
            loadRuns = _wtoi(argv[i] + 7);
            if (loadRuns < 1 || loadRuns >= MAX_SAMPLES) loadRuns = 21;
            argv[i] = argv[--argc];
        }

    Paths paths;
    ZeroMemory(&paths, sizeof paths);
    if (!FindBuild(argc, argv, paths.build) || !MakePluginFolder(&paths)) {
        fprintf(stderr, "px_bench: no build folder with Pixmorant.wlx64 and standin\\viewer\\px_run64.exe "
                        "(pass it, or set PX_BUILD_DIR)\n");
        return 2;
    }
    Plugin plugin;
    if (!LoadPlugin(paths.library, &plugin)) {
        fprintf(stderr, "px_bench: cannot load %ls or one of its exports\n", paths.library);
        RemoveTree(paths.folder);
        return 2;
    }
    SetEnvironmentVariableW(L"COMMANDER_INI", paths.hostIni);
    static const wchar_t* const kCleared[] = {L"PX_VIEWER_DELAY_MS", L"PX_VIEWER_NO_WINDOW", L"PX_VIEWER_EXIT",
                                              L"PX_VIEWER_CLASS", L"PX_VIEWER_INI_DIR", L"GS_LIB"};
    for (const wchar_t* name : kCleared) SetEnvironmentVariableW(name, NULL);
    bool madeLightTheme = SetLightThemeIfMissing();
    RegisterPlainClass(L"TTOTAL_CMD", HostMainProc);
    RegisterPlainClass(L"PxBenchWindow", DefWindowProcW);
    Host host = CreateHost();

    static LoadFigures load;
    static Pair lister, quick;
    static HookFigures hooks;
    static Breakdown breakdown;
    fprintf(stderr, "px_bench: loads...\n");
    MeasureLoads(&plugin, &paths, loadRuns, &load);
    fprintf(stderr, "px_bench: captions...\n");
    MeasureListerCaption(&plugin, &lister);
    MeasureQuickViewCaption(&plugin, &host, &quick);
    fprintf(stderr, "px_bench: hooks...\n");
    MeasureHooks(&plugin, &hooks);
    fprintf(stderr, "px_bench: the load's steps...\n");
    MeasureBreakdown(&plugin, &paths, loadRuns, &breakdown);

    PrintTable(&load, &lister, &quick, &hooks, FileSize(paths.library), loadRuns);
    PrintBreakdown(&breakdown);
    fflush(stdout);

    DestroyWindow(host.main);
    if (madeLightTheme) RemoveLightTheme();
    FreeLibrary(plugin.module);
    RemoveTree(paths.folder);
    return load.load.n > 0 ? 0 : 1;
}
