// A host that answers every title change by laying out its windows again, so that the
// plug-in's container receives messages from inside the change and refreshes the caption
// once more. The exchange has to end: the caption writes a title or header text only when
// it differs from what the window shows.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace {

using namespace pxt;

struct RelayoutHost : ::testing::Test {
  PluginFolder folder;
  Plugin plugin{folder.Path(L"Pixmorant.wlx64")};
  Host host;
  std::wstring images = TempDir();
  HWND container = nullptr;

  void SetUp() override {
    ASSERT_NE(nullptr, plugin.ListLoadW);
    // The viewer steps through the folder by name: after b.bmp comes c.bmp.
    for (const wchar_t* name : {L"b.bmp", L"c.bmp"})
      ASSERT_TRUE(WriteSampleBmp(images + name, 32, 24, RGB(40, 120, 200)));
    UseViewerLog();
    SetEnvironmentVariableW(L"COMMANDER_INI", nullptr);
    g_hostRelayout = true;
  }
  void TearDown() override {
    g_hostRelayout = false;
    if (container && IsWindow(container)) plugin.ListCloseWindow(container);
    Pump(50);
  }

  // Loads b.bmp and lays the container out as the host does after a load; false when
  // the load did not return a window within 2 s.
  bool LoadInto(HWND lister) {
    ResetHostRecord();
    DWORD start = GetTickCount();
    container = plugin.ListLoadW(lister, (images + L"b.bmp").c_str(), 0);
    DWORD elapsed = GetTickCount() - start;
    if (!container || elapsed > 2000) return false;
    RECT client = {};
    GetClientRect(lister, &client);
    MoveWindow(container, 0, 0, client.right, client.bottom, TRUE);
    Pump(200);
    return true;
  }

  // The viewer shows its next image; any message of the container then refreshes the
  // caption from the viewer's new title.
  void StepToNextImage() {
    HWND viewer = ViewerOf(container);
    PostMessageW(container, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(WaitFor([&] { return TitleOf(viewer) == images + L"c.bmp - Pixmorant"; }, 3000)) << ViewerLog();
    SendMessageW(container, WM_NULL, 0, 0);
    Pump(200);
  }
};

TEST_F(RelayoutHost, ListerTitleIsWrittenOnceAndOnceMoreForTheNextImage) {
  HWND lister = host.NewLister(false);
  ASSERT_TRUE(LoadInto(lister));
  EXPECT_EQ(L"Lister (pixmorant) - [" + images + L"b.bmp]", TitleOf(lister));
  EXPECT_GE(g_host.listerSetTexts, 1);
  EXPECT_LE(g_host.listerSetTexts, 2) << g_host.relayouts << " layouts";

  int before = g_host.listerSetTexts;
  StepToNextImage();
  EXPECT_EQ(L"Lister (pixmorant) - [" + images + L"c.bmp]", TitleOf(lister));
  EXPECT_EQ(before + 1, g_host.listerSetTexts);
}

TEST_F(RelayoutHost, QuickViewHeaderTextIsWrittenOnceAndOnceMoreForTheNextImage) {
  HWND lister = host.NewLister(true);
  ASSERT_TRUE(LoadInto(lister));
  EXPECT_EQ(L"b.bmp - pixmorant" + std::wstring(238, L' '), TitleOf(host.header));
  EXPECT_GE(g_host.headerSetTexts, 1);
  EXPECT_LE(g_host.headerSetTexts, 2) << g_host.relayouts << " layouts";
  EXPECT_EQ(0, g_host.listerSetTexts);

  int before = g_host.headerSetTexts;
  StepToNextImage();
  EXPECT_EQ(L"c.bmp - pixmorant" + std::wstring(238, L' '), TitleOf(host.header));
  EXPECT_EQ(before + 1, g_host.headerSetTexts);
}

}  // namespace
