// A stand-in for the file manager: a Lister window (top-level, with a menu bar) or a Quick
// View panel inside a main window of class "TTOTAL_CMD", showing one image through the
// plug-in, as the real host would. Used by the demo; a person can run it on any image.
//
//   px_host.exe PLUGIN IMAGE [/quickview] [/shot FILE.bmp] [/seconds N]
//
// Without /seconds it runs until its window is closed. With /shot it saves a picture of
// its window (viewer included) once the view has settled.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <shlwapi.h>

#include "standin_host.h"

namespace {

using namespace standin;

struct Options {
  const wchar_t* plugin = nullptr;
  const wchar_t* image = nullptr;
  const wchar_t* shot = nullptr;
  bool quickView = false;
  int seconds = 0;
};

bool ParseOptions(int argc, wchar_t** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    if (!wcscmp(argv[i], L"/quickview"))
      options->quickView = true;
    else if (!wcscmp(argv[i], L"/shot") && i + 1 < argc)
      options->shot = argv[++i];
    else if (!wcscmp(argv[i], L"/seconds") && i + 1 < argc)
      options->seconds = _wtoi(argv[++i]);
    else if (!options->plugin)
      options->plugin = argv[i];
    else if (!options->image)
      options->image = argv[i];
  }
  return options->plugin && options->image;
}

// The demo's host: a larger main window, shown only for Quick View, with a file list
// beside the panel; the views fill their windows, Escape in the viewer closes the view and
// the host ends with its window.
HostOptions DemoHost(const Options& options, const PluginEntries& plugin) {
  HostOptions host;
  host.title = L"Total Commander (stand-in host)";
  host.width = 1000;
  host.height = 720;
  host.headerHeight = 22;
  host.listerPlace = {40, 40, 940, 690};
  host.showsMain = options.quickView;
  host.listedFile = options.quickView ? PathFindFileNameW(options.image) : nullptr;
  host.fitsViews = true;
  host.printsCommands = true;
  host.endsLoopOnClose = true;
  host.closeView = plugin.ListCloseWindow;
  return host;
}

void RunUntilClosed() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void TakeShot(const Options& options, HWND shown, HWND view) {
  SetForegroundWindow(shown);
  Pump(300);
  bool saved = SaveScreenshot(shown, IsWindow(view) ? ViewerOf(view) : nullptr, options.shot);
  std::wprintf(L"%ls %ls\n", saved ? L"saved" : L"could not save", options.shot);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fwprintf(stderr, L"usage: px_host.exe PLUGIN IMAGE [/quickview] [/shot FILE.bmp] [/seconds N]\n");
    return 2;
  }
  PluginEntries plugin;
  if (!LoadPlugin(options.plugin, &plugin)) {
    std::fwprintf(stderr, L"cannot load %ls\n", options.plugin);
    return 1;
  }
  if (options.shot) {
    // Where the viewer (started by the plug-in, with this environment) puts its picture.
    wchar_t picture[MAX_PATH];
    swprintf(picture, MAX_PATH, L"%ls.viewer.bmp", options.shot);
    SetEnvironmentVariableW(L"PX_VIEWER_SNAPSHOT", picture);
  }
  HostOptions hostOptions = DemoHost(options, plugin);
  HostWindows host;
  CreateHostWindows(&hostOptions, &host);
  HWND lister = NewListerWindow(&host, options.quickView, 9);
  Pump(200);
  HWND view = plugin.ListLoadW(lister, options.image, 0);
  if (!view) {
    std::fwprintf(stderr, L"the plug-in did not load %ls\n", options.image);
    DestroyHostWindows(&host);
    return 1;
  }
  FitFirstChild(lister);
  std::wprintf(L"loaded %ls (%ls mode)\n", options.image, options.quickView ? L"Quick View" : L"Lister");
  std::fflush(stdout);
  if (options.seconds > 0 || options.shot) {
    Pump(options.seconds > 0 ? options.seconds * 1000 : 2500);
    if (options.shot) TakeShot(options, options.quickView ? host.main : lister, view);
  } else {
    RunUntilClosed();
  }
  if (IsWindow(view)) plugin.ListCloseWindow(view);
  if (IsWindow(lister)) DestroyWindow(lister);
  DestroyHostWindows(&host);
  FreePlugin(&plugin);
  return 0;
}
