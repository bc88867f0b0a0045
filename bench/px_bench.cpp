// px_bench.exe - speed figures of the plug-in, printed as a Markdown table.
//
//   px_bench.exe [--runs=N] [build folder]   (a Windows path; default: %PX_BUILD_DIR% as Z:\...)
//
// It installs the built Pixmorant.wlx64 and the stand-in viewer in a plug-in folder of its
// own, plays the host with the stand-in host's windows, and times
//   - ListLoadW in Lister mode on a small BMP, against the stand-in viewer's own start-up
//     (its log gives the QPC of its process start and of its window's creation);
//   - ListCloseWindow of a healthy viewer;
//   - ListLoadNextW, and the close and load afresh of a host without it;
//   - the load of a viewer busy in its first message, the close of one busy in its steps;
//   - WindowCaption in Lister mode and in Quick View mode;
//   - KbdProc and MouseProc passing a message on;
//   - the library's size;
// each beside its floor, and then the load's steps after the viewer's start one by one.
#include <stdio.h>
#include <wchar.h>

#include <initializer_list>

#include "bench.h"

namespace bench {

void LogPath(const Paths& paths, const wchar_t* what, int run, wchar_t (&path)[MAX_PATH]) {
  _snwprintf(path, MAX_PATH - 1, L"%ls%ls-%d.log", paths.folder, what, run);
  path[MAX_PATH - 1] = 0;
}

}  // namespace bench

namespace {

using namespace bench;

const wchar_t kPersonalize[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

// The host's settings: dark mode following the system, colours and the window font.
const char kHostIni[] =
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

void Join(wchar_t (&out)[MAX_PATH], const wchar_t* folder, const wchar_t* name) {
  _snwprintf(out, MAX_PATH - 1, L"%ls%ls", folder, name);
  out[MAX_PATH - 1] = 0;
}

bool WriteBytes(const wchar_t* path, const void* bytes, DWORD size) {
  HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);
  return ok && written == size;
}

// The build folder from the command line, or from PX_BUILD_DIR (a Unix path) as Z:\...
bool FindBuild(int argc, wchar_t** argv, wchar_t (&build)[MAX_PATH]) {
  wchar_t given[MAX_PATH] = L"";
  if (argc > 1) {
    _snwprintf(given, MAX_PATH - 2, L"%ls", argv[1]);
  } else {
    wchar_t unixPath[MAX_PATH] = L"";
    if (!GetEnvironmentVariableW(L"PX_BUILD_DIR", unixPath, MAX_PATH - 4)) return false;
    _snwprintf(given, MAX_PATH - 2, L"Z:%ls", unixPath);
    for (wchar_t* p = given; *p; ++p)
      if (*p == L'/') *p = L'\\';
  }
  size_t n = wcslen(given);
  if (n == 0) return false;
  if (given[n - 1] != L'\\') wcscat(given, L"\\");
  wcscpy(build, given);
  return true;
}

// The plug-in folder of this run: the library, the viewer as Pixmorant64\px_run64.exe, an
// image to show and the host's settings file.
bool MakePluginFolder(Paths* p) {
  wchar_t path[MAX_PATH];
  Join(path, p->build, L"bench-area");
  CreateDirectoryW(path, nullptr);
  _snwprintf(p->folder, MAX_PATH - 1, L"%lsbench-area\\run%lu-%lu\\", p->build, GetCurrentProcessId(), GetTickCount());
  if (!CreateDirectoryW(p->folder, nullptr)) return false;
  Join(p->library, p->folder, L"Pixmorant.wlx64");
  Join(path, p->build, L"Pixmorant.wlx64");
  if (!CopyFileW(path, p->library, FALSE)) return false;
  Join(path, p->folder, L"Pixmorant64");
  CreateDirectoryW(path, nullptr);
  Join(p->viewer, p->folder, L"Pixmorant64\\px_run64.exe");
  Join(path, p->build, L"standin\\viewer\\px_run64.exe");
  if (!CopyFileW(path, p->viewer, FALSE)) return false;
  Join(path, p->folder, L"images");
  CreateDirectoryW(path, nullptr);
  Join(p->image, p->folder, L"images\\sample.bmp");
  Join(p->hostIni, p->folder, L"wincmd.ini");
  return standin::WriteSampleBmp(p->image, 16, 16, RGB(200, 120, 40)) &&
         WriteBytes(p->hostIni, kHostIni, sizeof kHostIni - 1);
}

void RemoveTree(const wchar_t* dir) {  // dir ends with a backslash
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

// The header painting reads this value when DarkMode is 1. A fresh prefix has none; the
// bench sets it (light) for its run and removes it again, so that the read succeeds.
bool SetLightThemeIfMissing() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  DWORD value = 0, size = sizeof value;
  bool missing = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                  &size) != ERROR_SUCCESS;
  if (missing) {
    value = 1;
    RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  RegCloseKey(key);
  return missing;
}

void RemoveLightTheme() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueW(key, L"AppsUseLightTheme");
  RegCloseKey(key);
}

LONGLONG FileSize(const wchar_t* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// --runs=N, taken out of the arguments.
int TakeRuns(int* argc, wchar_t** argv) {
  int runs = 21;
  for (int i = 1; i < *argc; ++i)
    if (!wcsncmp(argv[i], L"--runs=", 7)) {
      runs = _wtoi(argv[i] + 7);
      if (runs < 1 || runs >= kMaxSamples) runs = 21;
      argv[i] = argv[--*argc];
    }
  return runs;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  StartClock();
  int loadRuns = TakeRuns(&argc, argv);

  Paths paths = {};
  if (!FindBuild(argc, argv, paths.build) || !MakePluginFolder(&paths)) {
    fprintf(stderr,
            "px_bench: no build folder with Pixmorant.wlx64 and standin\\viewer\\px_run64.exe "
            "(pass it, or set PX_BUILD_DIR)\n");
    return 2;
  }
  standin::PluginEntries plugin;
  if (!standin::LoadPlugin(paths.library, &plugin) || !plugin.ListLoadW || !plugin.ListLoadNextW ||
      !plugin.ListCloseWindow || !plugin.KbdProc || !plugin.MouseProc) {
    fprintf(stderr, "px_bench: cannot load %ls or one of its exports\n", paths.library);
    RemoveTree(paths.folder);
    return 2;
  }
  SetEnvironmentVariableW(L"COMMANDER_INI", paths.hostIni);
  for (const wchar_t* name :
       {L"PX_VIEWER_DELAY_MS", L"PX_VIEWER_NO_WINDOW", L"PX_VIEWER_EXIT", L"PX_VIEWER_CLASS", L"PX_VIEWER_INI_DIR",
        L"PX_VIEWER_HANG_AT_START_MS", L"PX_VIEWER_HANG_CUE", L"PX_VIEWER_HANG_FIRST_MS", L"PX_VIEWER_STEP_BUSY_MS",
        L"PX_VIEWER_TITLE_LATE_MS", L"PX_VIEWER_EXIT_WHEN_CHILD", L"PX_VIEWER_REFUSE_PARENT",
        L"PX_VIEWER_CLOSE_ASKS_HOST", L"PX_VIEWER_TEARDOWN_MS", L"GS_LIB"})
    SetEnvironmentVariableW(name, nullptr);
  bool madeLightTheme = SetLightThemeIfMissing();
  standin::HostOptions options;
  options.title = L"Total Commander (bench)";
  standin::HostWindows host;
  standin::CreateHostWindows(&options, &host);
  standin::Pump(20);

  static LoadFigures load;
  static Pair lister, quick;
  static HookFigures hooks;
  static Breakdown breakdown;
  static SlowViewerFigures slow;
  static StepFigures steps;
  fprintf(stderr, "px_bench: loads...\n");
  MeasureLoads(plugin, &host, paths, loadRuns, &load);
  fprintf(stderr, "px_bench: slow viewers...\n");
  MeasureSlowViewers(plugin, &host, paths, kSlowRuns, &slow);
  fprintf(stderr, "px_bench: steps...\n");
  MeasureSteps(plugin, &host, paths, loadRuns, &steps);
  fprintf(stderr, "px_bench: captions...\n");
  MeasureListerCaption(&host, &lister);
  MeasureQuickViewCaption(&host, &quick);
  fprintf(stderr, "px_bench: hooks...\n");
  MeasureHooks(&hooks);
  fprintf(stderr, "px_bench: the load's steps...\n");
  MeasureBreakdown(plugin, &host, paths, loadRuns, &breakdown);

  PrintTable(load, slow, steps, lister, quick, hooks, FileSize(paths.library), loadRuns);
  PrintBreakdown(breakdown);
  fflush(stdout);

  standin::DestroyHostWindows(&host);
  if (madeLightTheme) RemoveLightTheme();
  standin::FreePlugin(&plugin);
  RemoveTree(paths.folder);
  return load.load.n > 0 ? 0 : 1;
}
