// The stand-in host as the demo (px_host) sets it up, with the built plug-in and the
// stand-in viewer: SC_CLOSE on the Lister window (Escape in the viewer) closes the view and
// ends the host's loop, views follow the size of their windows, the file list stands left
// of the Quick View panel. And the BMP files that the tests and the demo write.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "harness.h"

namespace {

using namespace pxt;

typedef std::pair<int, int> Size;

Size ClientSize(HWND window) {
  RECT r = {};
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}
Size WindowSize(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}
std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}
// The child's place in its parent's client area.
std::string PlaceOf(HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return Text(r);
}
bool QuitCame(DWORD milliseconds) { return !Pump(milliseconds); }

struct DemoHost : ::testing::Test {
  PluginFolder folder;
  Plugin plugin{folder.Path(L"Pixmorant.wlx64")};
  std::wstring image = folder.Path(L"red.bmp");
  HostWindows host;

  void SetUp() override {
    ASSERT_NE(nullptr, plugin.ListLoadW);
    ASSERT_TRUE(WriteSampleBmp(image, 64, 48, RGB(200, 30, 30)));
    HostOptions options;
    options.listedFile = L"red.bmp";
    options.fitsViews = true;
    options.endsLoopOnClose = true;
    options.closeView = plugin.ListCloseWindow;
    ASSERT_TRUE(CreateHostWindows(&options, &host));
    ResetHostRecord();
  }
  void TearDown() override {
    EndViewers();
    DestroyHostWindows(&host);
    QuitCame(50);  // the main window's, taken off this thread's queue
  }
};

TEST_F(DemoHost, SysCloseOnTheListerClosesTheViewAndEndsTheLoop) {
  HWND lister = NewListerWindow(&host, false, 9);
  HWND view = plugin.ListLoadW(lister, image.c_str(), 0);
  ASSERT_NE(nullptr, view);
  FitFirstChild(lister);
  EXPECT_EQ(ClientSize(lister), WindowSize(view));

  // Closed through the plug-in, which takes GS_LIB back; not only destroyed with the Lister.
  SetEnvironmentVariableW(L"GS_LIB", L"C:\\gs\\lib\\");
  PostMessageW(lister, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(QuitCame(3000));
  EXPECT_EQ(1, g_host.listerCloses);
  EXPECT_EQ(0u, GetEnvironmentVariableW(L"GS_LIB", nullptr, 0));
  EXPECT_FALSE(IsWindow(view));
  EXPECT_FALSE(IsWindow(lister));
  EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 5000));
}

TEST_F(DemoHost, QuickViewPanelStandsBesideTheFileListAndItsViewFollowsItsSize) {
  RECT client = {};
  GetClientRect(host.main, &client);
  const int left = client.right / 3;
  EXPECT_EQ(0u, PlaceOf(host.files).find("0,0 - " + std::to_string(left) + ","));
  EXPECT_EQ(Text({left, 0, client.right, 20}), PlaceOf(host.header));
  EXPECT_EQ(Text({left, 20, client.right, client.bottom}), PlaceOf(host.panel));

  HWND lister = NewListerWindow(&host, true, 9);
  HWND view = plugin.ListLoadW(lister, image.c_str(), 0);
  ASSERT_NE(nullptr, view);
  EXPECT_EQ(ClientSize(host.panel), WindowSize(lister));
  MoveWindow(host.main, 0, 0, 800, 600, TRUE);
  Pump(100);
  EXPECT_EQ(ClientSize(host.panel), WindowSize(lister));
  EXPECT_EQ(ClientSize(lister), WindowSize(view));
  EXPECT_EQ(1, plugin.ListCloseWindow(view));
}

// A bitmap file read back by the platform: its size and the colour at a point.
struct ReadBack {
  explicit ReadBack(const std::wstring& path) {
    bitmap = (HBITMAP)LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    GetObjectW(bitmap, sizeof info, &info);
    SelectObject(dc, bitmap);
  }
  ~ReadBack() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
  HBITMAP bitmap = nullptr;
  BITMAP info = {};
  HDC dc = CreateCompatibleDC(nullptr);
};

TEST(BmpFiles, ASampleReadsBackWithItsSizeAndColourAndPaddedRows) {
  std::wstring path = TempDir() + L"sample.bmp";
  ASSERT_TRUE(WriteSampleBmp(path, 5, 3, RGB(10, 200, 30)));
  EXPECT_EQ(54u + 3 * 16, ReadFileBytes(path).size());  // 15 bytes a row, padded to 16
  ReadBack sample(path);
  ASSERT_NE(nullptr, sample.bitmap);
  EXPECT_EQ(5, sample.info.bmWidth);
  EXPECT_EQ(3, sample.info.bmHeight);
  EXPECT_EQ(RGB(10, 200, 30), sample.At(0, 0));
  EXPECT_EQ(RGB(10, 200, 30), sample.At(4, 2));
}

TEST(BmpFiles, AScreenshotHoldsTheWindowAsItShows) {
  const COLORREF colour = RGB(20, 160, 90);
  HBRUSH brush = CreateSolidBrush(colour);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = brush;
  wc.lpszClassName = L"PxShotTarget";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"PxShotTarget", L"", WS_POPUP | WS_VISIBLE, 50, 60, 41, 30, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  UpdateWindow(window);
  Pump(100);
  std::wstring path = TempDir() + L"shot.bmp";
  EXPECT_TRUE(SaveScreenshot(window, nullptr, path.c_str()));
  ReadBack shot(path);
  EXPECT_EQ(41, shot.info.bmWidth);
  EXPECT_EQ(30, shot.info.bmHeight);
  EXPECT_EQ(colour, shot.At(20, 15));
  DestroyWindow(window);
  DeleteObject(brush);
}

TEST(PluginBinding, EveryExportIsBoundAndAMissingLibraryBindsNothing) {
  Plugin plugin(BuiltPlugin());
  ASSERT_NE(nullptr, plugin.module);
  for (const void* entry : {(void*)plugin.ListLoad, (void*)plugin.ListLoadW, (void*)plugin.ListCloseWindow,
                            (void*)plugin.ListGetDetectString, (void*)plugin.ListPrint, (void*)plugin.ListSearchDialog,
                            (void*)plugin.ListSendCommand, (void*)plugin.KbdProc, (void*)plugin.MouseProc,
                            (void*)plugin.WindowProc, (void*)plugin.WindowCaption, (void*)plugin.gsenv})
    EXPECT_NE(nullptr, entry);
  Plugin missing(TempDir() + L"Pixmorant.wlx64");
  EXPECT_EQ(nullptr, missing.module);
  EXPECT_EQ(nullptr, missing.ListLoadW);
}

}  // namespace
