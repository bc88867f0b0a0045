// The caption as the host sees it: the test plays the host (main window "TTOTAL_CMD",
// Lister windows, the header window) and calls the library's exported WindowCaption with a
// window of its own titled as the viewer titles its window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace pxt;

struct CaptionTest : ::testing::Test {
  Plugin plugin{BuiltPlugin()};
  wchar_t* (*caption)(HWND viewer, HWND lister) = nullptr;
  HWND viewer = nullptr;

  void SetUp() override {
    ASSERT_NE(nullptr, plugin.module);
    caption = plugin.WindowCaption;
    ASSERT_NE(nullptr, caption);
    viewer = CreateWindowExW(0, L"STATIC", L"C:\\pics\\photo.jpg - Pixmorant", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, viewer);
    SetEnvironmentVariableW(L"COMMANDER_INI", nullptr);
    g_hostAnswer1 = g_hostAnswer3 = 0x1234;
  }
  void TearDown() override {
    DestroyWindow(viewer);
    g_hostAnswer1 = g_hostAnswer3 = 0x1234;
  }
  std::vector<int> Queries() const { return std::vector<int>(g_host.queries, g_host.queries + g_host.queryCount); }
};

TEST_F(CaptionTest, ListerModeFramesTheCaptionInTheTitleAndAsksTheHostNothing) {
  Host host;
  HWND lister = host.NewLister(false);
  ASSERT_EQ(nullptr, GetParent(lister));
  SetWindowTextW(host.header, L"untouched");
  ResetHostRecord();
  EXPECT_EQ(nullptr, caption(viewer, lister));
  EXPECT_EQ(L"Lister (pixmorant) - [C:\\pics\\photo.jpg]", TitleOf(lister));
  EXPECT_EQ(0, g_host.queryCount);
  EXPECT_EQ(L"untouched", TitleOf(host.header));

  // The viewer moves on to an image of its own: the title follows, cut at the viewer's
  // suffix after the path, the last; a title without the suffix, or only the suffix, leaves
  // the last one standing.
  SetWindowTextW(viewer, L"D:\\x - Pixmorant\\y.png - Pixmorant");
  caption(viewer, lister);
  EXPECT_EQ(L"Lister (pixmorant) - [D:\\x - Pixmorant\\y.png]", TitleOf(lister));
  for (const wchar_t* title : {L" - Pixmorant", L"D:\\z.png - pixmorant", L""}) {
    SetWindowTextW(viewer, title);
    caption(viewer, lister);
    EXPECT_EQ(L"Lister (pixmorant) - [D:\\x - Pixmorant\\y.png]", TitleOf(lister)) << title;
  }
  EXPECT_EQ(0, g_host.queryCount);
}

TEST_F(CaptionTest, QuickViewSetsThePaddedHeaderTextThroughTheHostsQueries) {
  Host host;
  HWND lister = host.NewLister(true);
  ASSERT_NE(nullptr, GetParent(lister));
  ResetHostRecord();
  caption(viewer, lister);
  EXPECT_EQ(L"photo.jpg - pixmorant" + std::wstring(230, L' '), TitleOf(host.header));
  EXPECT_EQ((std::vector<int>{1, 3, 10}), Queries());
  EXPECT_EQ(L"Lister", TitleOf(lister));

  // Answers that differ in their low 32 bits ask with code 9; only above them, with 10.
  g_hostAnswer1 = 0x1234;
  g_hostAnswer3 = 0x5678;
  ResetHostRecord();
  SetWindowTextW(viewer, L"photo.jpg - Pixmorant");
  caption(viewer, lister);
  EXPECT_EQ((std::vector<int>{1, 3, 9}), Queries());
  EXPECT_EQ(L"photo.jpg - pixmorant" + std::wstring(241, L' '), TitleOf(host.header));
  g_hostAnswer3 = (LONG_PTR)0x700001234;
  ResetHostRecord();
  caption(viewer, lister);
  EXPECT_EQ((std::vector<int>{1, 3, 10}), Queries());

  // An empty caption still sets the header text; a folder path leaves the name empty.
  SetWindowTextW(viewer, L"no suffix here");
  caption(viewer, lister);
  EXPECT_EQ(L" - pixmorant" + std::wstring(259, L' '), TitleOf(host.header));
  SetWindowTextW(viewer, L"C:\\pics\\ - Pixmorant");
  caption(viewer, lister);
  EXPECT_EQ(L" - pixmorant" + std::wstring(248, L' '), TitleOf(host.header));
  EXPECT_EQ(L"Lister", TitleOf(lister));
}

// The screen around its origin, where a drawing on a null window's device context lands.
bool ScreenShows(COLORREF color) {
  HDC screen = GetDC(nullptr);
  bool found = false;
  for (int y = 0; y < 40 && !found; y += 2)
    for (int x = 0; x < 400 && !found; x += 2) found = GetPixel(screen, x, y) == color;
  ReleaseDC(nullptr, screen);
  return found;
}

TEST_F(CaptionTest, WithoutAHeaderWindowNothingIsSetOrDrawn) {
  // The check can see a drawing on the screen's device context under this display.
  const COLORREF probe = 0x0A0BFC;
  {
    HDC screen = GetDC(nullptr);
    RECT none = {0, 0, 0, 0};
    SetBkColor(screen, probe);
    DrawTextW(screen, L"probe      ", -1, &none, DT_NOCLIP | DT_SINGLELINE | DT_VCENTER);
    ReleaseDC(nullptr, screen);
  }
  if (!ScreenShows(probe)) GTEST_SKIP() << "drawings on the screen cannot be read back here";

  std::wstring ini = TempDir() + L"host.ini";
  const COLORREF marker = 0x0C0DFA;  // a colour nothing else on this desktop shows
  ASSERT_TRUE(WriteFileBytes(ini, "[Colors]\r\nActiveTitle=" + std::to_string(marker) +
                                      "\r\nInactiveTitle=" + std::to_string(marker) + "\r\n"));
  SetEnvironmentVariableW(L"COMMANDER_INI", ini.c_str());
  ASSERT_FALSE(ScreenShows(marker));

  // A host whose queries answer 0 for the header window.
  Host host;
  HWND lister = host.NewLister(true);
  host.answeredHeader = nullptr;
  ResetHostRecord();
  caption(viewer, lister);
  EXPECT_EQ((std::vector<int>{1, 3, 10}), Queries());
  EXPECT_FALSE(ScreenShows(marker));
  EXPECT_EQ(L"Lister", TitleOf(lister));

  // No host main window at all.
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  HWND orphan = CreateWindowExW(0, L"STATIC", L"Lister", WS_CHILD, 0, 0, 100, 100, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  DestroyWindow(host.main);
  host.main = nullptr;
  ASSERT_EQ(nullptr, FindWindowW(L"TTOTAL_CMD", nullptr));
  caption(viewer, orphan);
  EXPECT_FALSE(ScreenShows(marker));
  EXPECT_EQ(L"Lister", TitleOf(orphan));
  DestroyWindow(parent);
  SetEnvironmentVariableW(L"COMMANDER_INI", nullptr);
}

}  // namespace
