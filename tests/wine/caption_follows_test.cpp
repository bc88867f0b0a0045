// The caption follows the viewer to the image it shows last, however fast the user steps
// and however late the viewer names the image: the test plays the host, loads an image
// through the built library with the stand-in viewer, steps through the folder with
// synthetic Right presses, with the keyboard on the container (which hands key presses on
// to the viewer, as Double Commander leaves it after F3) or on the viewer itself, and reads
// the Lister title back. The viewer retitles 50 ms after each step, as a viewer that names
// the image once it has decoded it does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace pxt;

const std::vector<std::wstring> kImages = {L"a.bmp", L"b.bmp", L"c.bmp", L"d.bmp", L"e.bmp"};

struct CaptionFollows : ::testing::Test, ::testing::WithParamInterface<bool> {
  PluginFolder folder;
  Plugin plugin{folder.Path(L"Pixmorant.wlx64")};
  Host host;
  std::wstring images = TempDir();
  HWND lister = nullptr, container = nullptr, viewer = nullptr;
  int steps = 0;  // Right presses typed, each a step to the next image

  bool KeyboardOnContainer() const { return GetParam(); }
  void SetUp() override {
    ASSERT_NE(nullptr, plugin.ListLoadW);
    for (const std::wstring& name : kImages) ASSERT_TRUE(WriteSampleBmp(images + name, 32, 24, RGB(90, 160, 40)));
    UseViewerLog();
    SetEnvironmentVariableW(L"PX_VIEWER_TITLE_LATE_MS", L"50");
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"PX_VIEWER_TITLE_LATE_MS", nullptr);
    if (container && IsWindow(container)) plugin.ListCloseWindow(container);
    Pump(50);
  }

  void Open() {
    lister = host.NewLister(false);
    container = plugin.ListLoadW(lister, (images + kImages[0]).c_str(), 0);
    ASSERT_NE(nullptr, container);
    viewer = ViewerOf(container);
    FitFirstChild(lister);  // laid out as the host lays out the plug-in's window
    Pump(200);
    if (KeyboardOnContainer()) {
      SetForegroundWindow(lister);
      SetFocus(container);
      ASSERT_TRUE(WaitFor([&] { return GetFocus() == container; }, 3000));
    } else {
      ClickInto(viewer);
      ASSERT_TRUE(WaitFor([&] { return FocusOf(viewer) == viewer; }, 3000)) << ViewerLog();
    }
  }
  // Right presses one every 30 ms, the host's thread taking its messages meanwhile.
  void PressRight(int count) {
    for (int i = 0; i < count; ++i) {
      SendKey(VK_RIGHT, false);
      Pump(15);
      SendKey(VK_RIGHT, true);
      Pump(15);
    }
    steps += count;
  }
  // Once the viewer has taken every step and titled its window with the image it shows
  // last, the Lister title names that image within 1 s and keeps naming it.
  void ExpectTheCaptionNamesTheLastImage(const std::string& round) {
    const std::wstring shown = images + kImages[steps % kImages.size()];
    ASSERT_TRUE(WaitFor([&] { return CountLines(ViewerLog(), "navigate next") == steps; }, 5000))
        << round << ": " << CountLines(ViewerLog(), "navigate next") << " of " << steps << " steps";
    ASSERT_TRUE(WaitFor([&] { return TitleOf(viewer) == shown + L" - Pixmorant"; }, 2000)) << round;
    const std::wstring wanted = L"Lister (pixmorant) - [" + shown + L"]";
    EXPECT_TRUE(WaitFor([&] { return TitleOf(lister) == wanted; }, 1000)) << round << ": " << Utf8(TitleOf(lister));
    EXPECT_TRUE(WaitSteady([&] { return TitleOf(lister) == wanted; }, 200, 1000)) << round;
  }
};

TEST_P(CaptionFollows, TwentyRightPressesInARowEndWithTheLastImageNamed) {
  ASSERT_NO_FATAL_FAILURE(Open());
  for (int round = 1; round <= 10; ++round) {
    PressRight(20);
    ASSERT_NO_FATAL_FAILURE(ExpectTheCaptionNamesTheLastImage("burst " + std::to_string(round)));
  }
}

TEST_P(CaptionFollows, OneQuickTapEndsWithTheNextImageNamed) {
  ASSERT_NO_FATAL_FAILURE(Open());
  for (int round = 1; round <= 10; ++round) {
    PressRight(1);
    ASSERT_NO_FATAL_FAILURE(ExpectTheCaptionNamesTheLastImage("tap " + std::to_string(round)));
  }
}

INSTANTIATE_TEST_SUITE_P(Keyboard, CaptionFollows, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "OnTheContainer" : "InTheViewer"; });

// A name may hold the viewer's own suffix: the caption is cut at the last one, the one the
// viewer puts after the path.
TEST(CaptionOfAName, HoldingTheViewersSuffixIsNamedWholeInListerAndQuickView) {
  PluginFolder folder;
  Plugin plugin{folder.Path(L"Pixmorant.wlx64")};
  Host host;
  const std::wstring names = TempDir();
  const std::wstring name = L"a - Pixmorant b.bmp";
  ASSERT_TRUE(WriteSampleBmp(names + name, 32, 24, RGB(200, 60, 60)));
  SetEnvironmentVariableW(L"COMMANDER_INI", nullptr);

  HWND lister = host.NewLister(false);
  HWND container = plugin.ListLoadW(lister, (names + name).c_str(), 0);
  ASSERT_NE(nullptr, container);
  FitFirstChild(lister);  // laid out as the host lays out the plug-in's window
  EXPECT_TRUE(WaitFor([&] { return TitleOf(lister) == L"Lister (pixmorant) - [" + names + name + L"]"; }, 3000))
      << Utf8(TitleOf(lister));
  plugin.ListCloseWindow(container);

  HWND quick = host.NewLister(true);
  container = plugin.ListLoadW(quick, (names + name).c_str(), 0);
  ASSERT_NE(nullptr, container);
  FitFirstChild(quick);
  const std::wstring front = name + L" - pixmorant";
  const std::wstring header = front + std::wstring(272 - 2 * front.size(), L' ');
  EXPECT_TRUE(WaitFor([&] { return TitleOf(host.header) == header; }, 3000)) << Utf8(TitleOf(host.header));
  plugin.ListCloseWindow(container);
}

}  // namespace
