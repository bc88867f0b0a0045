// Loads through the built library with the stand-in viewer: the container, the viewer
// inside it, the trimmed menus, the container's messages, and the ways a load can fail.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "harness.h"

namespace {

using namespace pxt;

// A plug-in folder, the library loaded from it, a stand-in host and an image to show.
struct Fixture : ::testing::Test {
  PluginFolder folder;
  Plugin plugin{folder.Path(L"Pixmorant.wlx64")};
  Host host;
  std::wstring image = folder.Path(L"red.bmp");
  std::vector<HWND> open;

  void SetUp() override {
    ASSERT_NE(nullptr, plugin.ListLoadW);
    ASSERT_TRUE(WriteSampleBmp(image, 64, 48, RGB(200, 30, 30)));
    UseViewerLog();
    SetEnvironmentVariableW(L"PX_VIEWER_NO_WINDOW", nullptr);
    SetEnvironmentVariableW(L"PX_VIEWER_EXIT", nullptr);
    SetEnvironmentVariableW(L"PX_VIEWER_IGNORE_CLOSE", nullptr);
  }
  void TearDown() override {
    for (HWND container : open)
      if (IsWindow(container)) plugin.ListCloseWindow(container);
    SetEnvironmentVariableW(L"PX_VIEWER_NO_WINDOW", nullptr);
    SetEnvironmentVariableW(L"PX_VIEWER_EXIT", nullptr);
  }
  HWND Load(HWND lister) {
    HWND container = plugin.ListLoadW(lister, image.c_str(), 0);
    if (container) open.push_back(container);
    Pump(100);
    return container;
  }
  void SetPath64(const std::wstring& value) {
    WritePrivateProfileStringW(L"Pixmorant", L"path64", value.c_str(), folder.Path(L"pixmorant.ini").c_str());
  }
};

std::vector<UINT> MenuIds(HMENU menu) {
  std::vector<UINT> ids;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) ids.push_back(GetMenuItemID(menu, i));
  return ids;
}

bool Grayed(HMENU menu, UINT position) { return (GetMenuState(menu, position, MF_BYPOSITION) & MF_GRAYED) != 0; }
UINT EditState(HWND lister) { return GetMenuState(GetMenu(lister), 1, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED); }

TEST_F(Fixture, ListerModeEmbedsTheViewerWithoutFrameAndTrimsTheMenu) {
  HWND lister = host.NewLister(false);
  HWND container = Load(lister);
  ASSERT_NE(nullptr, container);
  EXPECT_EQ(L"Pixmorant", ClassOf(container));
  EXPECT_EQ(lister, GetParent(container));
  HWND viewer = ViewerOf(container);
  ASSERT_NE(nullptr, viewer);
  EXPECT_EQ(L"Pixmorant", ClassOf(viewer));
  EXPECT_EQ(container, GetParent(viewer));
  LONG style = GetWindowLongW(viewer, GWL_STYLE);
  EXPECT_TRUE(style & WS_CHILD);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_BORDER | WS_THICKFRAME));
  EXPECT_EQ(TitleOf(viewer), image + L" - Pixmorant");

  HMENU bar = GetMenu(lister);
  EXPECT_EQ((std::vector<UINT>{100, 102, 103, 107, 108}), MenuIds(GetSubMenu(bar, 0)));
  EXPECT_TRUE(Grayed(bar, 1));
  EXPECT_FALSE(Grayed(bar, 2));
  // Started on the file, both bars hidden by default.
  EXPECT_TRUE(ViewerLogHas("cmdline= \"" + Utf8(image) + "\" /hide=3")) << ViewerLog();
}

TEST_F(Fixture, MenusOfOtherSizesKeepTheirItemsAndGrayTheSecondBarItem) {
  for (int items : {8, 10}) {
    HWND lister = host.NewLister(false, items);
    ASSERT_NE(nullptr, Load(lister)) << items;
    HMENU bar = GetMenu(lister);
    EXPECT_EQ(items, GetMenuItemCount(GetSubMenu(bar, 0)));
    EXPECT_TRUE(Grayed(bar, 1));
  }
}

TEST_F(Fixture, QuickViewEmbedsInsideTheListerPanel) {
  HWND lister = host.NewLister(true);
  HWND container = Load(lister);
  ASSERT_NE(nullptr, container);
  EXPECT_EQ(container, GetParent(ViewerOf(container)));
  EXPECT_EQ(lister, GetParent(container));
  // Under Wine a menu belongs to its process: the viewer's system menu cannot be read from
  // here (the inner test checks the trim on a window of its own).
}

TEST_F(Fixture, ContainerSizesTheViewerAndForwardsKeyPresses) {
  HWND lister = host.NewLister(false);
  HWND container = Load(lister);
  ASSERT_NE(nullptr, container);
  MoveWindow(container, 0, 0, 400, 300, TRUE);
  Pump(100);
  RECT r = {};
  GetWindowRect(ViewerOf(container), &r);
  EXPECT_EQ(400, r.right - r.left);
  EXPECT_EQ(300, r.bottom - r.top);

  SendMessageW(container, WM_KEYDOWN, VK_NEXT, 0x01510001);
  EXPECT_TRUE(WaitViewerLog("key down vk=34", 3000)) << ViewerLog();
}

TEST_F(Fixture, AViewerThatCannotStartLeavesNoContainer) {
  CreateDirectoryW(folder.Path(L"not-a-program").c_str(), nullptr);
  SetPath64(folder.Path(L"not-a-program"));
  HWND lister = host.NewLister(false);
  EXPECT_EQ(nullptr, Load(lister));
  EXPECT_TRUE(IsWindow(lister));
  EXPECT_EQ(nullptr, FindWindowExW(lister, nullptr, L"Pixmorant", nullptr));
}

TEST_F(Fixture, AViewerThatExitsAtOnceEndsTheLoadWithNull) {
  SetEnvironmentVariableW(L"PX_VIEWER_EXIT", L"1");
  HWND lister = host.NewLister(false);
  DWORD start = GetTickCount();
  EXPECT_EQ(nullptr, Load(lister));
  EXPECT_LT(GetTickCount() - start, 5000u);
  EXPECT_TRUE(IsWindow(lister));
  EXPECT_EQ(nullptr, FindWindowExW(lister, nullptr, L"Pixmorant", nullptr));
  EXPECT_EQ(9, GetMenuItemCount(GetSubMenu(GetMenu(lister), 0)));  // the Lister is left alone
}

// The host may keep the Lister window after the view (the same file as text, the next
// file with another plug-in): the Edit item the load grayed is given back as it was.
TEST_F(Fixture, TheCloseGivesTheEditItemBackToAListerWindowThatLivesOn) {
  for (UINT before : {0u, (UINT)MF_GRAYED}) {
    HWND lister = host.NewLister(false);
    EnableMenuItem(GetMenu(lister), 1, MF_BYPOSITION | before);
    HWND container = Load(lister);
    ASSERT_NE(nullptr, container);
    EXPECT_EQ((UINT)(MF_GRAYED | MF_DISABLED), EditState(lister));
    EXPECT_EQ(1, plugin.ListCloseWindow(container));
    EXPECT_EQ(before, EditState(lister));
  }
}

TEST_F(Fixture, ACloseAfterTheListerWindowIsGoneChangesNothing) {
  HWND other = host.NewLister(false);
  ASSERT_NE(nullptr, Load(other));
  HWND lister = host.NewLister(false);
  HWND container = Load(lister);
  ASSERT_NE(nullptr, container);
  DestroyWindow(lister);
  EXPECT_EQ(0, plugin.ListCloseWindow(container));
  EXPECT_EQ((UINT)(MF_GRAYED | MF_DISABLED), EditState(other));
  EXPECT_TRUE(WaitFor([] { return CountViewers() == 1; }, 5000));
}

// A container cannot be made in a Lister window that is gone (nor once the host's window
// quota is spent): a viewer started then would have no window to live in, and no close.
TEST_F(Fixture, AListerWindowGoneBeforeTheLoadStartsNoViewer) {
  HWND lister = host.NewLister(false);
  DestroyWindow(lister);
  EXPECT_EQ(nullptr, Load(lister));
  EXPECT_EQ(0, CountLines(ViewerLog(), "start pid=")) << ViewerLog();
}

// The platform will not make the viewer's window the child of the host's (a viewer with
// higher rights than the host): the viewer, never shown (not maximized on its own either), is
// asked to close and closes, also when its close waits for the host's thread; one that
// ignores the request is ended a second later.
TEST_F(Fixture, AViewerWindowThatCouldNotBeMadeOurChildEndsTheLoadWithNullAndIsClosed) {
  SetEnvironmentVariableW(L"PX_VIEWER_REFUSE_PARENT", L"1");
  const struct {
    const wchar_t* viewerSwitch;
    const char* logged;
    bool endsByItself;
  } rows[] = {{nullptr, "syscommand close", true},
              {L"PX_VIEWER_CLOSE_ASKS_HOST", "close asked the host", true},
              {L"PX_VIEWER_IGNORE_CLOSE", "syscommand close ignored", false}};
  for (const auto& row : rows) {
    if (row.viewerSwitch) SetEnvironmentVariableW(row.viewerSwitch, L"1");
    HWND lister = host.NewLister(false);
    HWND container = Load(lister);
    if (row.viewerSwitch) SetEnvironmentVariableW(row.viewerSwitch, nullptr);

    EXPECT_EQ(nullptr, container);
    EXPECT_TRUE(ViewerLogHas("refuse parent bound")) << ViewerLog();
    EXPECT_FALSE(ViewerLogHas("size maximized")) << ViewerLog();
    EXPECT_TRUE(IsWindow(lister));
    EXPECT_EQ(nullptr, FindWindowExW(lister, nullptr, L"Pixmorant", nullptr));
    EXPECT_EQ(0u, EditState(lister));  // enabled, as before the load
    EXPECT_EQ(0, CountViewers()) << ViewerLog();
    EXPECT_TRUE(ViewerLogHas(row.logged)) << ViewerLog();
    EXPECT_EQ(row.endsByItself, ViewerLogHas("exit code=0")) << ViewerLog();
    EXPECT_EQ(nullptr, FindWindowW(L"Pixmorant", nullptr));
    UseViewerLog();
  }
  SetEnvironmentVariableW(L"PX_VIEWER_REFUSE_PARENT", nullptr);
}

// Wine's SetThreadDpiHostingBehavior is a stub: the library finds one of the test's own,
// which keeps the thread's behaviour, and its CreateWindowExW notes that behaviour.
struct DpiHosting {
  bool offered;
  DPI_HOSTING_BEHAVIOR behavior, atCreation;
} g_dpi;

DPI_HOSTING_BEHAVIOR WINAPI KeptSetThreadDpiHostingBehavior(DPI_HOSTING_BEHAVIOR behavior) {
  std::swap(g_dpi.behavior, behavior);
  return behavior;
}
FARPROC WINAPI OfferedGetProcAddress(HMODULE module, const char* name) {
  bool asked = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && strcmp(name, "SetThreadDpiHostingBehavior") == 0;
  if (!asked || module != GetModuleHandleW(L"user32.dll")) return GetProcAddress(module, name);
  return g_dpi.offered ? (FARPROC)(void*)&KeptSetThreadDpiHostingBehavior : nullptr;
}
HWND WINAPI NotedCreateWindowExW(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                                 int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                                 void* parameter) {
  g_dpi.atCreation = g_dpi.behavior;
  return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu, instance, parameter);
}

// A container made under the thread's default DPI hosting could not take a viewer of
// another DPI awareness on Windows: it is made under mixed hosting, and the thread gets
// its own behaviour back; without the function (older Windows) the load goes on as ever.
TEST_F(Fixture, TheContainerIsMadeUnderMixedDpiHostingAndTheThreadGetsItsOwnBack) {
  // Bound for the library loaded for this test alone.
  ASSERT_TRUE(BindImport(plugin.module, "kernel32.dll", "GetProcAddress", (void*)&OfferedGetProcAddress) &&
              BindImport(plugin.module, "user32.dll", "CreateWindowExW", (void*)&NotedCreateWindowExW));
  // Offered or not, the thread's behaviour before the load, the container's.
  const DpiHosting cases[] = {{true, DPI_HOSTING_BEHAVIOR_DEFAULT, DPI_HOSTING_BEHAVIOR_MIXED},
                              {true, DPI_HOSTING_BEHAVIOR_MIXED, DPI_HOSTING_BEHAVIOR_MIXED},
                              {false, DPI_HOSTING_BEHAVIOR_DEFAULT, DPI_HOSTING_BEHAVIOR_DEFAULT}};
  for (const DpiHosting& c : cases) {
    g_dpi = {c.offered, c.behavior, DPI_HOSTING_BEHAVIOR_INVALID};
    EXPECT_NE(nullptr, Load(host.NewLister(false))) << c.offered << c.behavior;
    EXPECT_EQ(c.atCreation, g_dpi.atCreation) << c.offered << c.behavior;
    EXPECT_EQ(c.behavior, g_dpi.behavior) << c.offered << c.behavior;
  }
}

// SetWindowsHookExW as the platform answers it for a viewer the library cannot be mapped
// into (a 32-bit one): no title hook.
HHOOK WINAPI RefusedTitleHook(int type, HOOKPROC procedure, HINSTANCE module, DWORD thread) {
  return type == WH_CALLWNDPROCRET ? nullptr : SetWindowsHookExW(type, procedure, module, thread);
}

// A viewer the title hook does not reach is embedded from the host's thread; a step moves
// it out of view for good, into a window made under mixed DPI hosting as the container is,
// and the close neither asks it nor waits for its window to go: the container's destruction
// takes it.
TEST_F(Fixture, AViewerTheTitleHookDoesNotReachLeavesTheViewAndIsClosedWithTheContainer) {
  ASSERT_TRUE(BindImport(plugin.module, "user32.dll", "SetWindowsHookExW", (void*)&RefusedTitleHook) &&
              BindImport(plugin.module, "kernel32.dll", "GetProcAddress", (void*)&OfferedGetProcAddress) &&
              BindImport(plugin.module, "user32.dll", "CreateWindowExW", (void*)&NotedCreateWindowExW));
  g_dpi = {true, DPI_HOSTING_BEHAVIOR_DEFAULT, DPI_HOSTING_BEHAVIOR_INVALID};
  HWND lister = host.NewLister(false);
  HWND container = Load(lister);
  ASSERT_NE(nullptr, container);
  const HWND earlier = ViewerOf(container);
  EXPECT_EQ(container, GetParent(earlier));
  EXPECT_EQ(nullptr, GetPropW(container, L"Pixmorant.TitleHook"));
  EXPECT_EQ(0, plugin.ListLoadNextW(lister, container, image.c_str(), 0));
  ASSERT_TRUE(WaitFor([&] { return ViewerOf(container) != earlier && GetParent(earlier) != container; }, 5000));
  EXPECT_EQ(DPI_HOSTING_BEHAVIOR_MIXED, g_dpi.atCreation);  // the window that holds it now
  EXPECT_EQ(DPI_HOSTING_BEHAVIOR_DEFAULT, g_dpi.behavior);
  EXPECT_FALSE(IsWindowVisible(earlier));
  EXPECT_EQ(2, CountViewers());
  DWORD start = GetTickCount();
  EXPECT_EQ(1, plugin.ListCloseWindow(container));
  EXPECT_LT(GetTickCount() - start, 400u);  // it does not wait the half second for a window that stays
  EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 5000));
}

// A child window has no menu: for the Quick View Lister window GetMenu gives its control
// identifier, here the handle of a live menu bar of the host, with a File menu of nine.
TEST_F(Fixture, QuickViewTouchesNoMenuThatTheListerWindowsIdentifierNames) {
  HWND other = host.NewLister(false);
  HMENU bar = GetMenu(other);
  HMENU file = GetSubMenu(bar, 0);
  const std::vector<UINT> items = MenuIds(file);
  ASSERT_EQ(9u, items.size());
  HWND lister = NewListerWindow(&host, true, 0, reinterpret_cast<UINT_PTR>(bar));
  ASSERT_EQ(bar, GetMenu(lister));

  HWND container = Load(lister);
  ASSERT_NE(nullptr, container);
  EXPECT_EQ(items, MenuIds(file));
  EXPECT_EQ(0u, EditState(other));
  EXPECT_EQ(1, plugin.ListCloseWindow(container));
  EXPECT_EQ(items, MenuIds(file));
  EXPECT_EQ(0u, EditState(other));
}

// A viewer that is not there by the load's bound holds nothing: the load returns its
// container, which says which file it opens, then that the viewer ended before it showed it
// (here it is ended); the close of another ends the viewer it waited for.
TEST_F(Fixture, AViewerThatDoesNotComeWithinTheLoadsBoundLeavesTheHostFree) {
  SetEnvironmentVariableW(L"PX_VIEWER_NO_WINDOW", L"1");
  for (bool quickView : {false, true}) {
    HWND lister = host.NewLister(quickView);
    DWORD start = GetTickCount();
    HWND container = Load(lister);
    EXPECT_LT(GetTickCount() - start, 2500u);  // the bound and the Load's 100 ms, on a loaded machine
    ASSERT_NE(nullptr, container);
    EXPECT_TRUE(IsWindow(lister));
    EXPECT_EQ(L"Opening red.bmp", TitleOf(container));
    HANDLE viewer = OpenViewerProcess();
    ASSERT_NE(nullptr, viewer);
    if (quickView) {
      EXPECT_EQ(1, plugin.ListCloseWindow(container));
      EXPECT_TRUE(WaitFor([&] { return WaitForSingleObject(viewer, 0) == WAIT_OBJECT_0; }, 5000));
    } else {
      EndViewers();
      EXPECT_TRUE(WaitFor([&] { return TitleOf(container) == L"The viewer ended before it showed red.bmp"; }, 3000));
    }
    EXPECT_EQ(quickView ? 0u : 1u, ExitCodeOnceEnded(viewer));
    EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 3000));
  }
}

// The host's step to the next file, in a Lister window and a Quick View at the same time: the
// answer comes before the next viewer has even started, and the earlier image stays on view
// meanwhile, the caption naming it no more (the host's own title stands). Then the same
// container shows the next viewer with its thread hooked, the earlier viewer gone by its own
// WM_DESTROY, the caption on the next image, the keyboard where it was (the views did not
// have it), and the Lister window's menu as the first load left it, its Edit item given back
// by the close. The 8-bit entry widens the name.
TEST_F(Fixture, StepsInTwoWindowsShowTheirNextFilesInTheSameContainersAndTheEarlierViewersGo) {
  ASSERT_TRUE(plugin.ListLoadNextW && plugin.ListLoadNext);
  const std::wstring next = folder.Path(L"blue.bmp");
  ASSERT_TRUE(WriteSampleBmp(next, 64, 48, RGB(30, 30, 200)));
  struct View {
    HWND lister, container, earlier;
    HANDLE earlierProcess, earlierHook;
  } views[2] = {};
  for (View& view : views) {
    view.lister = host.NewLister(&view == &views[1]);
    view.container = Load(view.lister);
    ASSERT_NE(nullptr, view.container);
    view.earlier = ViewerOf(view.container);
    DWORD earlierId = 0;
    GetWindowThreadProcessId(view.earlier, &earlierId);
    view.earlierProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, earlierId);
    view.earlierHook = GetPropW(view.container, L"Pixmorant.KeyboardHook");
  }
  HWND lister = views[0].lister, container = views[0].container;
  std::vector<UINT> fileItems = MenuIds(GetSubMenu(GetMenu(lister), 0));
  SetFocus(host.panel);

  std::string narrow = Utf8(next);
  EXPECT_EQ(0, plugin.ListLoadNextW(lister, container, next.c_str(), 0));
  EXPECT_EQ(0, plugin.ListLoadNext(views[1].lister, views[1].container, &narrow[0], 0));
  EXPECT_EQ(2, CountLines(ViewerLog(), "start pid=")) << "started before the answer";
  SetWindowTextW(lister, L"the host's own title");
  MoveWindow(container, 0, 0, 300, 200, TRUE);  // the container's messages name no image meanwhile
  EXPECT_EQ(L"the host's own title", TitleOf(lister));
  for (View& view : views) EXPECT_EQ(view.earlier, ViewerOf(view.container));
  for (View& view : views) {
    ASSERT_TRUE(WaitFor([&] { return WaitForSingleObject(view.earlierProcess, 0) == WAIT_OBJECT_0; }, 5000));
    EXPECT_EQ(0u, ExitCodeOnceEnded(view.earlierProcess));
    HWND viewer = ViewerOf(view.container);
    EXPECT_EQ(next + L" - Pixmorant", TitleOf(viewer));
    EXPECT_EQ(view.container, GetParent(viewer));
    EXPECT_NE(view.earlierHook, GetPropW(view.container, L"Pixmorant.KeyboardHook"));
  }
  EXPECT_EQ(2, CountViewers());
  EXPECT_EQ(2, CountLines(ViewerLog(), "destroy"));
  EXPECT_EQ(host.panel, GetFocus());
  EXPECT_EQ(L"Lister (pixmorant) - [" + next + L"]", TitleOf(lister));
  EXPECT_EQ(fileItems, MenuIds(GetSubMenu(GetMenu(lister), 0)));
  EXPECT_TRUE(Grayed(GetMenu(lister), 1));
  for (View& view : views) EXPECT_EQ(1, plugin.ListCloseWindow(view.container));
  EXPECT_EQ(0u, EditState(lister));
  EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 5000));
}

// A step whose file cannot be shown. What fails at once answers 1 and leaves the earlier view
// as it was (its viewer embedded with its hooks); the host then loads the file afresh, and
// that load tells the user. What fails after the answer leaves no viewer of the step and no
// GS_LIB of its own, the earlier viewer closed and the container without an image, rather
// than one the host did not name. A viewer that never brings its window holds nothing: the
// next step or the close ends it. Nothing shows a message.
struct StepRow {
  const char* name;
  const wchar_t* path64;        // the viewer program, relative to the plug-in folder
  const wchar_t* viewerSwitch;  // the stand-in viewer's switch set to 1 for the step
  int answer;
  bool then;  // what follows the answer: another step (true), or the close
};

TEST_F(Fixture, AStepThatCannotShowTheNextFileNeverLeavesAViewerOrAWrongImage) {
  ASSERT_NE(nullptr, plugin.ListLoadNextW);
  const std::wstring settings = folder.Path(L"pixmorant.ini");
  // A step that starts a viewer hands Ghostscript over, whichever kind the viewer is.
  for (const wchar_t* key : {L"path", L"path64"})
    WritePrivateProfileStringW(L"Ghostscript", key, folder.Path(L"gs\\gsdll.dll").c_str(), settings.c_str());
  CreateDirectoryW(folder.Path(L"not-a-program").c_str(), nullptr);
  const wchar_t* viewer = L"Pixmorant64\\px_run64.exe";
  const StepRow rows[] = {
      {"no viewer program", L"nothing.exe", nullptr, 1, false},
      {"not started", L"not-a-program", nullptr, 0, false},
      {"ended before its window", viewer, L"PX_VIEWER_EXIT", 0, false},
      {"not embedded", viewer, L"PX_VIEWER_REFUSE_PARENT", 0, false},
      {"never brings its window, then the next step", viewer, L"PX_VIEWER_NO_WINDOW", 0, true},
      {"never brings its window, then the close", viewer, L"PX_VIEWER_NO_WINDOW", 0, false},
  };
  MessageBoxWatcher boxes;
  for (const StepRow& row : rows) {
    SetPath64(folder.Path(viewer));
    HWND lister = host.NewLister(false);
    HWND container = Load(lister);
    ASSERT_NE(nullptr, container) << row.name;
    const HWND earlier = ViewerOf(container);
    const HANDLE earlierHook = GetPropW(container, L"Pixmorant.KeyboardHook");
    if (row.answer == 1) {  // these go first: a container that is not this Lister window's, or none
      EXPECT_EQ(1, plugin.ListLoadNextW(host.NewLister(false), container, image.c_str(), 0));
      EXPECT_EQ(1, plugin.ListLoadNextW(lister, lister, image.c_str(), 0));
    }
    SetPath64(folder.Path(row.path64));
    if (row.viewerSwitch) SetEnvironmentVariableW(row.viewerSwitch, L"1");
    EXPECT_EQ(row.answer, plugin.ListLoadNextW(lister, container, image.c_str(), 0)) << row.name;
    Pump(1500);  // the step's work, or a viewer that stays away
    if (row.viewerSwitch) SetEnvironmentVariableW(row.viewerSwitch, nullptr);
    SetPath64(folder.Path(viewer));
    if (row.answer == 1) {
      EXPECT_EQ(earlier, ViewerOf(container)) << row.name;
      EXPECT_EQ(earlierHook, GetPropW(container, L"Pixmorant.KeyboardHook")) << row.name;
      EXPECT_EQ(1, CountViewers()) << row.name;
      EXPECT_NE(0u, GetEnvironmentVariableW(L"GS_LIB", nullptr, 0)) << row.name;  // the load's, still needed
    } else if (row.then) {
      EXPECT_EQ(earlier, ViewerOf(container)) << row.name;  // still on view
      EXPECT_EQ(0, plugin.ListLoadNextW(lister, container, image.c_str(), 0)) << row.name;
      EXPECT_TRUE(WaitFor([&] { return ViewerOf(container) != earlier && CountViewers() == 1; }, 5000)) << row.name;
      EXPECT_NE(0u, GetEnvironmentVariableW(L"GS_LIB", nullptr, 0)) << row.name;  // handed over for the shown one
    } else {
      if (strstr(row.name, "close")) {
        EXPECT_EQ(1, plugin.ListCloseWindow(container)) << row.name;
      }
      EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 5000)) << row.name << "\n" << ViewerLog();
      EXPECT_EQ(0u, GetEnvironmentVariableW(L"GS_LIB", nullptr, 0)) << row.name;
      if (IsWindow(container)) {
        EXPECT_EQ(nullptr, ViewerOf(container)) << row.name;
      }
    }
    EXPECT_EQ(0, boxes.Seen()) << row.name;
    if (IsWindow(container)) plugin.ListCloseWindow(container);
    EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 5000)) << row.name;
    UseViewerLog();
  }
}

// In Quick View the viewer's modal dialog is owned by the host's main window, which its loop
// disables. A viewer that goes inside that loop (a step moves on, the view is closed) leaves
// the main window enabled; a dialog of the host's own, up as well, keeps it disabled.
TEST_F(Fixture, AViewerThatGoesInsideItsDialogLeavesTheHostsWindowEnabled) {
  RegisterTestClass(L"PxHostDialog", DefWindowProcW);
  for (const char* row : {"a step", "the close", "the close, the host's own dialog up"}) {
    HWND container = Load(host.NewLister(true));
    ASSERT_NE(nullptr, container) << row;
    HWND earlier = ViewerOf(container);
    PostMessageW(earlier, WM_KEYDOWN, VK_F2, 0);
    ASSERT_TRUE(WaitViewerLog("dialog open", 3000)) << row;
    ASSERT_TRUE(WaitFor(
        [&] {
          HWND dialog = FindWindowW(L"#32770", L"Pixmorant - image information");
          return IsWindowVisible(dialog) && GetWindow(dialog, GW_OWNER) == host.main && !IsWindowEnabled(host.main);
        },
        3000))
        << row;
    HWND own = nullptr;
    if (strstr(row, "own"))
      own = CreateWindowW(L"PxHostDialog", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, host.main, nullptr, nullptr,
                          nullptr);
    if (strstr(row, "step")) {
      EXPECT_EQ(0, plugin.ListLoadNextW(GetParent(container), container, image.c_str(), 0)) << row;
      EXPECT_TRUE(WaitFor([&] { return ViewerOf(container) != earlier && CountViewers() == 1; }, 8000)) << row;
    } else {
      EXPECT_EQ(1, plugin.ListCloseWindow(container)) << row;
      EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 8000)) << row;
    }
    Pump(200);
    EXPECT_EQ(own == nullptr, IsWindowEnabled(host.main) != FALSE) << row;
    if (own) DestroyWindow(own);
    EnableWindow(host.main, TRUE);
    if (IsWindow(container)) plugin.ListCloseWindow(container);
    UseViewerLog();
  }
}

TEST_F(Fixture, TwoViewsAtOnceEachHaveTheirViewerAndCloseApart) {
  HWND first = Load(host.NewLister(false));
  HWND second = Load(host.NewLister(true));
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  HWND firstViewer = ViewerOf(first), secondViewer = ViewerOf(second);
  ASSERT_NE(firstViewer, secondViewer);
  DWORD firstPid = 0, secondPid = 0;
  GetWindowThreadProcessId(firstViewer, &firstPid);
  GetWindowThreadProcessId(secondViewer, &secondPid);
  EXPECT_NE(firstPid, secondPid);
  EXPECT_EQ(2, CountViewers());

  EXPECT_EQ(1, plugin.ListCloseWindow(first));
  EXPECT_TRUE(WaitFor([] { return CountViewers() == 1; }, 5000));
  EXPECT_TRUE(IsWindow(secondViewer));
  MoveWindow(second, 0, 0, 320, 200, TRUE);  // the other view still answers
  Pump(100);
  RECT r = {};
  GetWindowRect(secondViewer, &r);
  EXPECT_EQ(320, r.right - r.left);

  EXPECT_EQ(1, plugin.ListCloseWindow(second));
  EXPECT_TRUE(WaitFor([] { return CountViewers() == 0; }, 5000));
  EXPECT_EQ(nullptr, FindWindowW(L"Pixmorant", nullptr));
}

}  // namespace
