// Many loads and closes in one host process, in Lister and in Quick View mode, with real
// input into each viewer, and several views open at once closed out of order. Afterwards
// nothing may be left: no viewer process, no "Pixmorant" window, and the process's USER,
// GDI and kernel objects back where they were after a warm-up cycle.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace pxt;

// Cycles of the long run: 100 unless PX_SOAK_CYCLES says otherwise (for a quick try).
int SoakCycles() {
  const char* value = std::getenv("PX_SOAK_CYCLES");
  int cycles = value ? std::atoi(value) : 0;
  return cycles > 0 ? cycles : 100;
}

struct View {
  HWND lister = nullptr;
  HWND container = nullptr;
  HWND viewer = nullptr;
  HANDLE process = nullptr;  // the viewer's, to see it end
};

struct Soak : ::testing::Test {
  PluginFolder folder;
  Plugin plugin{folder.Path(L"Pixmorant.wlx64")};
  Host host;
  std::wstring images = TempDir();
  std::wstring hostSettings = TempDir() + L"wincmd.ini";

  void SetUp() override {
    ASSERT_NE(nullptr, plugin.ListLoadW);
    for (const wchar_t* name : {L"a.bmp", L"b.bmp", L"c.bmp"})
      ASSERT_TRUE(WriteSampleBmp(images + name, 64, 48, RGB(40, 120, 200)));
    // A load that hands Ghostscript over and paints the Quick View header in the host's
    // own colours and font does the most work, so that is the load repeated here.
    std::wstring settings = folder.Path(L"pixmorant.ini");
    WritePrivateProfileStringW(L"Ghostscript", L"path64", (images + L"gs\\bin\\gsdll64.dll").c_str(), settings.c_str());
    ASSERT_TRUE(WriteFileBytes(hostSettings,
                               "[Configuration]\r\nDarkMode=2\r\nUseNewDefFont=1\r\n"
                               "[ColorsDark]\r\nActiveTitle=4210752\r\n"
                               "[AllResolutions]\r\nFontSizeWindow=10\r\nFontNameWindow=Tahoma\r\n"
                               "[Lister]\r\nMaximized=0\r\n"));
    SetEnvironmentVariableW(L"COMMANDER_INI", hostSettings.c_str());
    UseViewerLog();
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"COMMANDER_INI", nullptr);
    SetEnvironmentVariableW(L"GS_LIB", nullptr);
  }

  // A new Lister window with the viewer loaded into it, the container sized as the host
  // sizes it. Null container when the load gave none.
  View Open(bool quickView, const wchar_t* image = L"a.bmp") {
    View view;
    view.lister = host.NewLister(quickView);
    // Lister windows of their own stand below the host's main window, apart from it and
    // from the Quick View panel, so that a click can reach either kind.
    if (!quickView) SetWindowPos(view.lister, nullptr, 20, 710, 600, 300, SWP_NOZORDER);
    view.container = plugin.ListLoadW(view.lister, (images + image).c_str(), 0);
    if (!view.container) return view;
    view.viewer = ViewerOf(view.container);
    DWORD pid = 0;
    GetWindowThreadProcessId(view.viewer, &pid);
    view.process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!view.process) std::printf("open: viewer %p pid %lu error %lu\n", (void*)view.viewer, pid, GetLastError());
    RECT client = {};
    GetClientRect(view.lister, &client);
    MoveWindow(view.container, 0, 0, client.right, client.bottom, TRUE);
    RECT r = {};  // the viewer takes the container's size on its own thread: later on a busy machine
    WaitFor([&] { return GetWindowRect(view.viewer, &r) && r.right - r.left == client.right; }, 5000);
    return view;
  }

  // A click on the viewer, Right, and a wheel turn, all as real input. True when the
  // viewer took the focus and stepped to another image.
  bool Nudge(const View& view) {
    if (GetParent(view.lister) == nullptr)
      SetWindowPos(view.lister, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    else
      BringWindowToTop(view.lister);
    RECT r = {};
    GetWindowRect(view.viewer, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    // The first click may only bring the window forward; a few more are allowed.
    bool focused = false;
    for (int click = 0; click < 3 && !focused; ++click) {
      mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
      Pump(10);
      mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
      focused = WaitFor([&] { return FocusOf(view.viewer) == view.viewer; }, 1000);
    }
    if (!focused) {
      std::printf("no focus: focus %p viewer %p under pointer %p\n", (void*)FocusOf(view.viewer), (void*)view.viewer,
                  (void*)WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));
      std::printf("  class %ls, rect %ld %ld %ld %ld\n",
                  ClassOf(WindowFromPoint({(r.left + r.right) / 2, (r.top + r.bottom) / 2})).c_str(), r.left, r.top,
                  r.right, r.bottom);
      return false;
    }
    std::wstring before = TitleOf(view.viewer);
    SendKey(VK_RIGHT, false);
    Pump(10);
    SendKey(VK_RIGHT, true);
    bool stepped = WaitFor([&] { return TitleOf(view.viewer) != before; }, 3000);
    mouse_event(MOUSEEVENTF_WHEEL, 0, 0, (DWORD)-WHEEL_DELTA, 0);
    Pump(20);
    return stepped;
  }

  // The host's step to the next file in the same window; true when the view stayed the
  // same container, with the next image's viewer in it, and the earlier viewer ended.
  bool Step(View& view, const wchar_t* image) {
    HANDLE earlier = view.process;
    HWND stepped = LoadNext(plugin, view.lister, view.container, (images + image).c_str());
    bool ended = WaitFor([&] { return WaitForSingleObject(earlier, 0) == WAIT_OBJECT_0; }, 5000);
    CloseHandle(earlier);
    view.viewer = ViewerOf(stepped);
    DWORD pid = 0;
    GetWindowThreadProcessId(view.viewer, &pid);
    view.process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    bool same = stepped == view.container;
    view.container = stepped;
    return same && ended && TitleOf(view.viewer) == images + image + L" - Pixmorant";
  }

  // Closes the view as the host does; true when the close succeeded, the viewer process
  // ended and the Lister window holds no container any more. The Lister window goes too.
  bool Close(View& view) {
    bool closed = plugin.ListCloseWindow(view.container) == 1;
    // The host goes on pumping after a close: a viewer on its way out may still be sending
    // the host's windows a caption update, and waits for the answer.
    bool ended = view.process && WaitFor([&] { return WaitForSingleObject(view.process, 0) == WAIT_OBJECT_0; }, 5000);
    if (view.process) CloseHandle(view.process);
    view.process = nullptr;
    bool empty = FindWindowExW(view.lister, nullptr, L"Pixmorant", nullptr) == nullptr;
    DestroyWindow(view.lister);
    Pump(10);
    if (!(closed && ended && empty)) {
      std::printf("close: closed %d ended %d empty %d viewers %d\n", closed, ended, empty, CountViewers());
      std::string log = ViewerLog();
      size_t at = log.rfind("start pid=");
      std::printf("%s\n", log.substr(at == std::string::npos ? 0 : at).c_str());
    }
    return closed && ended && empty;
  }
};

void Print(const char* label, const ProcessObjects& objects) {
  std::printf("%s: USER %ld, GDI %ld (DCs %ld), handles %ld%s\n", label, objects.user, objects.gdi,
              objects.deviceContexts, objects.handles, objects.countedByHand ? " (counted by hand)" : "");
}

TEST_F(Soak, LoadsAndClosesWithInputLeaveNoProcessNoWindowAndNoObjects) {
  for (bool quick : {false, true}) {  // warm-up: the first load of each kind sets things up once
    View view = Open(quick);
    ASSERT_NE(nullptr, view.container);
    Nudge(view);
    ASSERT_TRUE(Close(view));
  }
  Pump(200);
  ProcessObjects before = CountProcessObjects();

  const int cycles = SoakCycles();
  int loads = 0, stepped = 0, closed = 0, listerCycles = 0, quickCycles = 0, steps = 0, nextShown = 0;
  DWORD start = GetTickCount();
  for (int i = 0; i < cycles; ++i) {
    bool quick = i % 2 == 1;
    ++(quick ? quickCycles : listerCycles);
    View view = Open(quick);
    if (!view.container) {
      DestroyWindow(view.lister);
      continue;
    }
    ++loads;
    if (Nudge(view)) ++stepped;
    // Every tenth view steps to the next file in its window before it closes.
    if (i % 10 == 0 && ++steps && Step(view, L"c.bmp")) ++nextShown;
    if (Close(view)) ++closed;
  }
  DWORD elapsed = GetTickCount() - start;
  Pump(300);
  ProcessObjects after = CountProcessObjects();

  std::string log = ViewerLog();
  std::printf(
      "soak: %d cycles (%d Lister, %d Quick View) in %lu ms; %d loads gave a window, %d viewers "
      "stepped on Right, %d closes ended their viewer\n",
      cycles, listerCycles, quickCycles, elapsed, loads, stepped, closed);
  std::printf("steps to the next file in the same window: %d, %d showed it\n", steps, nextShown);
  std::printf("viewer log: %d starts, %d 'navigate next', %d wheel turns, %d left-button releases\n",
              CountLines(log, "start pid="), CountLines(log, "navigate next"), CountLines(log, "mouse wheel"),
              CountLines(log, "mouse lbuttonup"));
  Print("after warm-up", before);
  Print("after the run", after);
  std::printf("viewers left %d, 'Pixmorant' windows left %d\n", CountViewers(), CountWindowsOfClass(L"Pixmorant"));

  EXPECT_EQ(cycles, loads);
  EXPECT_EQ(loads, stepped);
  EXPECT_EQ(loads, closed);
  EXPECT_EQ(steps, nextShown);
  EXPECT_EQ(0, CountViewers());
  EXPECT_EQ(nullptr, FindWindowW(L"Pixmorant", nullptr));
  EXPECT_EQ(0, CountWindowsOfClass(L"Pixmorant"));
  for (HWND window : WindowsOfThisProcess()) EXPECT_NE(L"Pixmorant", ClassOf(window));
  // Small margins: the platform may keep a few objects of its own (caches, an input
  // context) that come and go on their own schedule.
  EXPECT_LE(std::labs(after.user - before.user), 2) << "USER objects";
  // Wine 10 keeps a cache of device contexts, each with a bitmap and two regions, that grows
  // by one whenever the process holds more at a time than it ever did (seen: one or two
  // more in 100 cycles, and no more in 300); a context leaked per cycle would leave dozens.
  const long newContexts = after.deviceContexts - before.deviceContexts;
  EXPECT_LE(newContexts, 2) << "device contexts";
  EXPECT_LE(std::labs(after.gdi - before.gdi - 4 * newContexts), 4) << "GDI objects";
  EXPECT_LE(std::labs(after.handles - before.handles), 4) << "kernel handles";
}

// Several views alive at once, closed in another order than they were opened: each close
// ends its own viewer only, and the views still open keep their viewer and their hooks.
TEST_F(Soak, SeveralViewsAtOnceCloseInAnotherOrder) {
  const std::vector<std::vector<int>> orders = {{1, 0}, {2, 4, 0, 3, 1}};
  for (const auto& order : orders) {
    const int count = (int)order.size();
    std::vector<View> views;
    for (int k = 0; k < count; ++k) {
      views.push_back(Open(k % 2 == 1));
      ASSERT_NE(nullptr, views.back().container) << "view " << k << " of " << count;
    }
    ASSERT_EQ(count, CountViewers());
    std::vector<bool> open(count, true);
    for (size_t step = 0; step < order.size(); ++step) {
      int k = order[step];
      ASSERT_TRUE(Close(views[k])) << "view " << k << " of " << count;
      open[k] = false;
      int remaining = count - (int)step - 1;
      EXPECT_TRUE(WaitFor([&] { return CountViewers() == remaining; }, 3000)) << CountViewers();
      for (int j = 0; j < count; ++j) {
        if (!open[j]) continue;
        EXPECT_TRUE(IsWindow(views[j].viewer)) << "view " << j;
        EXPECT_EQ(views[j].container, GetParent(views[j].viewer)) << "view " << j;
      }
      // A view opened before the one just closed, and one opened after it, still answer.
      for (int j : {k - 1, k + 1}) {
        if (j >= 0 && j < count && open[j]) {
          EXPECT_TRUE(Nudge(views[j])) << "view " << j << " after closing " << k;
        }
      }
    }
  }
  EXPECT_EQ(0, CountViewers());
  EXPECT_EQ(0, CountWindowsOfClass(L"Pixmorant"));
}

}  // namespace
