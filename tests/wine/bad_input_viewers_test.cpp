// Bad input: viewers that exit at once, never make their window, make one of another
// class, or find another viewer's window already on the desktop.
#include <cwchar>

#include "bad_input.h"

namespace {

using namespace bad_input;

TEST_F(BadInput, MisbehavingViewers) {
  LoadW(image);
  Snapshot();
  {
    SetEnvironmentVariableW(L"PX_VIEWER_EXIT", L"1");
    HWND lister = host.NewLister(false);
    Plugin plugin(pluginDir + L"Pixmorant.wlx64");
    DWORD start = GetTickCount();
    HWND container = plugin.ListLoadW(lister, image.c_str(), 0);
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(nullptr, container);
    EXPECT_LT(took, 5000u);
    EXPECT_TRUE(IsWindow(lister));
    EXPECT_EQ(nullptr, FindWindowExW(lister, nullptr, L"Pixmorant", nullptr));
    EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 3000));
    Row("viewer exits at once",
        std::string(container ? "window" : "null") + " after " + std::to_string(took) + " ms, Lister kept");
    DestroyWindow(lister);
    SetEnvironmentVariableW(L"PX_VIEWER_EXIT", nullptr);
  }
  for (const wchar_t* variable : {L"PX_VIEWER_NO_WINDOW", L"PX_VIEWER_CLASS"}) {
    bool other = wcscmp(variable, L"PX_VIEWER_CLASS") == 0;
    SetEnvironmentVariableW(variable, other ? L"Other" : L"1");
    HWND lister = host.NewLister(false);
    Plugin plugin(pluginDir + L"Pixmorant.wlx64");
    DWORD start = GetTickCount();
    HWND container = plugin.ListLoadW(lister, image.c_str(), 0);
    DWORD took = GetTickCount() - start;
    HANDLE viewer = OpenViewerProcess();
    ASSERT_NE(nullptr, container);
    EXPECT_EQ(L"Opening red.bmp", TitleOf(container));
    EXPECT_TRUE(IsWindow(lister));
    ASSERT_NE(nullptr, viewer);
    EXPECT_EQ(1, plugin.ListCloseWindow(container));
    DWORD code = ExitCodeOnceEnded(viewer);
    EXPECT_EQ(0u, code);  // ended, and with exit code 0
    EXPECT_EQ(0, CountWindowsOfClass(other ? L"Other" : L"Pixmorant"));
    Row(other ? "viewer window of class \"Other\"" : "viewer never creates a window",
        "window after " + std::to_string(took) +
            " ms, saying which file it opens; the close ends the viewer, exit code " + std::to_string(code));
    DestroyWindow(lister);
    SetEnvironmentVariableW(variable, nullptr);
  }
  EXPECT_EQ("", Unexpected());
  PrintTable("misbehaving viewers", rows);
}

TEST_F(BadInput, AViewerWindowAlreadyOnTheDesktop) { LoadBesideStandalone(false); }

// Another viewer's window kept first among the top-level windows: the wait must still find
// the started viewer's window behind it.
TEST_F(BadInput, AViewerWindowAlwaysOnTopOfTheDesktop) { LoadBesideStandalone(true); }

}  // namespace
