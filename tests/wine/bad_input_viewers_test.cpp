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
    HWND container;
    HANDLE viewer;
    bool forced;
    {
      ArrowPresser presser;
      container = plugin.ListLoadW(lister, image.c_str(), 0);
      presser.loadReturned = 1;
      WaitForSingleObject(presser.thread, 15000);
      viewer = presser.viewer;
      presser.viewer = nullptr;
      forced = presser.endedByForce != 0;
    }
    EXPECT_FALSE(forced) << "the wait did not end on the arrow key";
    EXPECT_EQ(nullptr, container);
    EXPECT_FALSE(IsWindow(lister));
    ASSERT_NE(nullptr, viewer);
    DWORD code = ExitCodeOnceEnded(viewer);
    EXPECT_EQ(0u, code);  // ended, and with exit code 0
    EXPECT_EQ(0, CountWindowsOfClass(other ? L"Other" : L"Pixmorant"));
    Row(other ? "viewer window of class \"Other\"" : "viewer never creates a window",
        std::string(container ? "window" : "null") + (forced ? " only after the viewer was killed" : " on Down") +
            ", viewer ended, exit code " + std::to_string(code));
    SetEnvironmentVariableW(variable, nullptr);
  }
  EXPECT_EQ("", Unexpected());
  PrintTable("misbehaving viewers", rows);
}

TEST_F(BadInput, AViewerWindowAlreadyOnTheDesktop) { LoadBesideStandalone(false); }

// Another viewer's window kept first among the top-level windows: the wait must still find
// the started viewer's window behind it, instead of holding the host's thread until an
// arrow key ends the load and the Lister window with it.
TEST_F(BadInput, AViewerWindowAlwaysOnTopOfTheDesktop) { LoadBesideStandalone(true); }

}  // namespace
