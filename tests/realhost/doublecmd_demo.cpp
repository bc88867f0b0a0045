// The demo in a real file manager: Double Commander shows an image through the plug-in,
// in its own viewer window (F3) and in Quick View (Ctrl+Q), and each is saved as a BMP
// screenshot, with the stand-in viewer's picture of itself laid over its place.
//   px_dcdemo.exe FILE SHOTS_FOLDER   FILE: the first file of the folder both panels show
#include <cstdio>

#include "doublecmd.h"

using namespace realhost;

namespace {

int Fail(DoubleCommander& dc, const char* step) {
  std::printf("demo: %s failed; %s\n", step, dc.Evidence(step).c_str());
  return 1;
}

// Sizes a window and waits until the viewer has followed and the host has painted.
bool Place(DoubleCommander& dc, HWND window, int x, int y, int width, int height) {
  ShowWindow(window, SW_RESTORE);
  SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_ASYNCWINDOWPOS);
  bool placed = WaitFor(
      [&] {
        RECT r = {};
        GetWindowRect(window, &r);
        return r.right - r.left == width && dc.ViewerFillsContainer();
      },
      5000);
  Sleep(500);
  return placed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring file = FileIn(argv[1]);
  const std::wstring shots = argv[2];
  DoubleCommander dc("demo");
  if (!dc.Start(StartOptions(), file)) return Fail(dc, "start");

  Press(VK_F3);
  if (!dc.WaitEmbedded(file) || !dc.WaitKeyboard(dc.Lister())) return Fail(dc, "F3");
  HWND lister = dc.Lister();
  if (!Place(dc, lister, 60, 40, 900, 640)) return Fail(dc, "placing the viewer window");
  SaveScreenshot(lister, dc.Viewer(), (shots + L"\\doublecmd-lister.bmp").c_str());
  Press(VK_ESCAPE);
  if (!dc.WaitNoViewer()) return Fail(dc, "Escape");

  Press('Q', VK_CONTROL);
  if (!dc.WaitEmbedded(file) || !dc.WaitKeyboard(dc.main)) return Fail(dc, "Ctrl+Q");
  if (!Place(dc, dc.main, 0, 0, 1120, 700)) return Fail(dc, "placing the main window");
  SaveScreenshot(dc.main, dc.Viewer(), (shots + L"\\doublecmd-quickview.bmp").c_str());
  Press('Q', VK_CONTROL);
  if (!dc.WaitNoViewer()) return Fail(dc, "Ctrl+Q again");
  std::printf("demo: Double Commander shots written\n");
  return 0;
}
