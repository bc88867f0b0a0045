// The plug-in in a real file manager: Double Commander under Wine, driven with synthetic
// keys and clicks as a user drives it. After every step the host must still answer, and
// at the end of a flow no viewer process may be left. A failed step leaves its evidence.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "doublecmd.h"

namespace {

using namespace realhost;

// A key of a flow and what follows it: the embedded viewer showing that file, or no
// viewer at all.
struct Step {
  WORD modifier;
  WORD key;
  const wchar_t* shows;
  const char* name;
};

const wchar_t kFirst[] = L"a-harbour.png";
const wchar_t kSecond[] = L"b-checkers.bmp";
const wchar_t kThird[] = L"c-plasma.png";

const Step kListerFlow[] = {{0, VK_F3, kFirst, "F3 on an image"},
                            {0, VK_RIGHT, kSecond, "Right"},
                            {0, VK_LEFT, kFirst, "Left"},
                            {0, VK_ESCAPE, nullptr, "Escape"}};

const Step kQuickViewFlow[] = {
    {VK_CONTROL, 'Q', kFirst, "Ctrl+Q on an image"}, {0, VK_DOWN, kSecond, "Down to the next image"},
    {0, VK_DOWN, kThird, "Down to the third image"}, {0, VK_DOWN, nullptr, "Down to the text file"},
    {0, VK_UP, kThird, "Up, back to an image"},      {VK_CONTROL, 'Q', nullptr, "Ctrl+Q again"}};

std::string CurrentTestName() {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  for (char& c : name)
    if (c == '/') c = '-';
  return name;
}

// The title the plug-in gives Double Commander's viewer window for a file (its full path).
std::wstring ListerTitle(const std::wstring& path) { return L"Lister (pixmorant) - [" + path + L"]"; }

struct RealHost : ::testing::Test {
  DoubleCommander dc{CurrentTestName()};

  // Wine's light theme, as a fresh prefix has it, and the stand-in viewer beside the
  // plug-in, unless a test says otherwise; the cursor on the first image.
  virtual StartOptions StartWith() const { return StartOptions(); }
  // The files a flow's steps name, as the host names them.
  virtual std::wstring PathOf(const wchar_t* name) const { return FileIn(name); }
  virtual std::wstring FirstFile() const { return PathOf(kFirst); }
  void SetUp() override { ASSERT_TRUE(dc.Start(StartWith(), FirstFile())) << dc.Evidence("start"); }

  // Presses the step's key, waits for what it shows, and checks that the host answers.
  // In Lister mode the Lister window's title names the file too.
  void Take(const Step& step) {
    Press(step.key, step.modifier);
    if (step.shows) {
      ASSERT_TRUE(dc.WaitEmbedded(PathOf(step.shows))) << dc.Evidence(step.name);
      if (GetParent(dc.Lister()) == nullptr) {
        ASSERT_TRUE(WaitFor([&] { return TitleOf(dc.Lister()) == ListerTitle(PathOf(step.shows)); }, 3000))
            << Utf8(TitleOf(dc.Lister())) << "\n"
            << dc.Evidence(step.name);
      }
    } else {
      ASSERT_TRUE(dc.WaitNoViewer()) << dc.Evidence(step.name);
    }
    ASSERT_TRUE(dc.Answers()) << "the host stopped answering; " << dc.Evidence(step.name);
    // The next key goes to the host: its window that holds the view, or its main window.
    HWND holder = step.shows ? GetAncestor(dc.Lister(), GA_ROOT) : dc.main;
    ASSERT_TRUE(dc.WaitKeyboard(holder)) << dc.Evidence(step.name);
  }

  void SayClickedAgain() const {
    const char* what = GetForegroundWindow() == dc.main ? "brought the main window to the front"
                                                        : "left the viewer without the keyboard";
    std::fprintf(stderr, "realhost: the click into the viewer %s; clicking again\n", what);
  }

  // The viewer takes the keyboard from a click, as a user gives it. Under Wine, now and
  // then (one click in five or six here), the click brings Double Commander's main window
  // to the front over its viewer window instead. That happens on the press, where Wine
  // activates the windows and the plug-in's mouse hook does nothing; the hook acts on the
  // release, where it refreshes the caption. A user clicks again; so does the test, at
  // most three times, and says so on stderr.
  void ClickViewer() {
    HWND lister = dc.Lister(), window = GetAncestor(lister, GA_ROOT);  // in Quick View, the main window
    for (int click = 0; click < 3; ++click) {
      if (click > 0) SayClickedAgain();
      SetForegroundWindow(lister);
      WaitFor([&] { return GetForegroundWindow() == window; }, 1000);
      ClickInto(dc.Viewer());
      if (WaitFor([&] { return FocusOf(dc.Viewer()) == dc.Viewer() && GetForegroundWindow() == window; }, 1000)) return;
    }
    FAIL() << "three clicks left the viewer without the keyboard; " << dc.Evidence("click");
  }

  LONG ContainerWidth() const {
    RECT r = {};
    GetClientRect(dc.Container(), &r);
    return r.right;
  }
};

struct ListerView : RealHost, ::testing::WithParamInterface<bool> {
  StartOptions StartWith() const override {
    StartOptions options;
    options.themed = GetParam();
    return options;
  }
};

TEST_P(ListerView, F3EmbedsTheViewerTheTitleFollowsRightAndLeftEscapeCloses) {
  ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[0]));
  EXPECT_EQ(L"Window", ClassOf(dc.Lister()));  // Double Commander's own viewer window
  EXPECT_EQ(dc.Container(), GetParent(dc.Viewer()));
  for (const Step& step : kListerFlow) {
    if (&step == kListerFlow) continue;
    ASSERT_NO_FATAL_FAILURE(Take(step));
  }
}

INSTANTIATE_TEST_SUITE_P(Theme, ListerView, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "light" : "off"; });

// Double Commander with a viewer that starts and never brings its window.
struct NoWindowViewer : RealHost {
  StartOptions StartWith() const override {
    StartOptions options;
    options.viewerNoWindow = true;
    return options;
  }
};

// The load gives the host its thread back within its bound, and the keys typed meanwhile are
// the host's: Escape 0.3 s after F3 closes the view, and so does Ctrl+Q pressed again in Quick
// View; no viewer is left.
TEST_F(NoWindowViewer, F3AndCtrlQLeaveTheHostAnsweringAndTheViewClosesWithNoViewerLeft) {
  const struct {
    WORD modifier, key, closeModifier, closeKey;
    DWORD closeAfter;
    const char* name;
  } flows[] = {{0, VK_F3, 0, VK_ESCAPE, 300, "Escape 0.3 s after F3"},
               {VK_CONTROL, 'Q', VK_CONTROL, 'Q', 2000, "Ctrl+Q 2 s after Ctrl+Q"}};
  for (const auto& flow : flows) {
    Press(flow.key, flow.modifier);
    Pump(flow.closeAfter - 60);  // a press takes 60 ms
    ASSERT_TRUE(dc.Answers()) << "the host stopped answering; " << dc.Evidence(flow.name);
    Press(flow.closeKey, flow.closeModifier);
    ASSERT_TRUE(dc.WaitNoViewer()) << dc.Evidence(flow.name);
    ASSERT_TRUE(dc.Answers()) << "the host stopped answering; " << dc.Evidence(flow.name);
    ASSERT_TRUE(dc.WaitKeyboard(dc.main)) << dc.Evidence(flow.name);
  }
}

TEST_F(RealHost, TabAndADigitFromTheViewerReachTheListerWindow) {
  ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[0]));
  HWND lister = dc.Lister();
  ASSERT_NO_FATAL_FAILURE(ClickViewer());
  Press(VK_TAB);
  ASSERT_TRUE(WaitFor(
      [&] {
        HWND focus = FocusOf(lister);
        return focus == lister || (IsChild(lister, focus) && focus != dc.Viewer());
      },
      3000))
      << dc.Evidence("Tab");
  EXPECT_TRUE(WaitViewerLog("key down vk=9", 3000)) << dc.Evidence("Tab reaches the viewer");

  // The host takes the digit 3 for its own hex view: it closes the plug-in's view and
  // keeps its window.
  ASSERT_NO_FATAL_FAILURE(ClickViewer());
  Press('3');
  ASSERT_TRUE(dc.WaitNoViewer()) << dc.Evidence("3");
  EXPECT_TRUE(IsWindow(lister));
  ASSERT_TRUE(dc.Answers()) << dc.Evidence("3");
  Press(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(lister); }, 5000)) << dc.Evidence("Escape");
}

// A key typed in the viewer's dialog and the line of the viewer's log that shows the
// viewer took it.
struct DialogKey {
  WORD key;
  const char* logged;
  const char* name;
};

const DialogKey kDialogFlow[] = {{VK_F2, "dialog open", "F2"},
                                 {VK_TAB, "key down vk=9", "Tab in the dialog"},
                                 {'3', "key down vk=51", "3 in the dialog"},
                                 {VK_ESCAPE, "dialog close", "Escape in the dialog"}};

// The viewer's dialog (F2) has disabled the Lister window, so Tab and the digits stay the
// viewer's there: handed to the Lister window they would leave the dialog without the
// keyboard, and Double Commander would take the 3 for its hex view and close the view.
TEST_F(RealHost, TheViewersDialogKeepsTabAndADigitAndEscapeClosesOnlyTheDialog) {
  ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[0]));
  const HWND viewer = dc.Viewer();
  auto viewClosed = [&] { return dc.Viewer() != viewer || CountViewers() != 1; };
  ASSERT_NO_FATAL_FAILURE(ClickViewer());
  for (const DialogKey& step : kDialogFlow) {
    Press(step.key);
    ASSERT_TRUE(WaitViewerLog(step.logged, 5000))
        << "no \"" << step.logged << "\" in the viewer's log; " << dc.Evidence(step.name);
    ASSERT_FALSE(WaitFor(viewClosed, 1000)) << "the view closed; " << dc.Evidence(step.name);
  }
  ASSERT_TRUE(dc.Answers()) << "the host stopped answering; " << dc.Evidence("Escape in the dialog");
  ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[3]));
}

TEST_F(RealHost, TheViewerFillsTheContainerWhenTheViewerWindowIsResizedAndMaximized) {
  ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[0]));
  HWND lister = dc.Lister();
  ASSERT_TRUE(WaitFor([&] { return dc.ViewerFillsContainer(); }, 3000)) << dc.Evidence("F3");
  SetWindowPos(lister, nullptr, 0, 0, 700, 520, SWP_NOMOVE | SWP_NOZORDER | SWP_ASYNCWINDOWPOS);
  ASSERT_TRUE(WaitFor([&] { return dc.ViewerFillsContainer() && ContainerWidth() > 600; }, 5000))
      << dc.Evidence("resize");
  LONG resized = ContainerWidth();
  PostMessageW(lister, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(
      WaitFor([&] { return IsZoomed(lister) && dc.ViewerFillsContainer() && ContainerWidth() > resized; }, 5000))
      << dc.Evidence("maximize");
  ASSERT_TRUE(dc.Answers()) << dc.Evidence("maximize");
  ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[3]));
}

TEST_F(RealHost, QuickViewFollowsTheCursorWithOneViewerAtATime) {
  for (const Step& step : kQuickViewFlow) {
    ASSERT_NO_FATAL_FAILURE(Take(step));
    if (step.shows) {
      EXPECT_NE(nullptr, GetParent(dc.Lister())) << step.name;  // inside the panel
    }
  }
}

// Escape in the viewer closes the Quick View's viewer, and the keyboard is back on the
// host's file list at once: Ctrl+Q typed right after it closes the Quick View.
TEST_F(RealHost, QuickViewEscapeInTheViewerHandsTheNextKeyToTheHost) {
  ASSERT_NO_FATAL_FAILURE(Take(kQuickViewFlow[0]));
  ASSERT_NO_FATAL_FAILURE(ClickViewer());
  Press(VK_ESCAPE);
  Press('Q', VK_CONTROL);
  ASSERT_TRUE(dc.WaitNoViewer()) << dc.Evidence("Ctrl+Q right after Escape");
  ASSERT_TRUE(dc.WaitKeyboard(dc.main)) << dc.Evidence("Ctrl+Q right after Escape");
}

TEST_F(RealHost, TwentyViewsOpenedAndClosedLeaveNoViewerAndTheHostsMemoryFlat) {
  SIZE_T before = 0;
  for (int cycle = 0; cycle <= 20; ++cycle) {
    ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[0]));
    HWND lister = dc.Lister();
    ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[3]));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(lister); }, 5000))
        << dc.Evidence("Escape, cycle " + std::to_string(cycle));
    if (cycle == 0) before = PrivateBytes(dc.process.hProcess);  // after one warm-up cycle
  }
  SIZE_T after = PrivateBytes(dc.process.hProcess);
  std::printf("host's private memory: %zu KiB after the warm-up cycle, %zu KiB after 20 more\n", before / 1024,
              after / 1024);
  EXPECT_LE(after, before + 4 * 1024 * 1024);
}

// Double Commander with the plug-in registered and no viewer program beside it: each load
// shows the plug-in's not-found message.
struct NoViewer : RealHost {
  StartOptions StartWith() const override {
    StartOptions options;
    options.withViewer = false;
    return options;
  }
};

// The boxes of Double Commander's process, watched and left for the test to close.
MessageBoxWatcher::Options WatchedBoxesOf(const DoubleCommander& dc) {
  MessageBoxWatcher::Options options;
  options.processId = dc.process.dwProcessId;
  options.closes = false;
  return options;
}

// A user brings the main window to the front (a click on its title bar) and presses Down
// in the file list, which moves the cursor to the next file unless the window is disabled.
void DownInTheFileList(const DoubleCommander& dc) {
  SetForegroundWindow(dc.main);
  WaitFor([&] { return GetForegroundWindow() == dc.main; }, 1000);
  Press(VK_DOWN);
}

// OK (Enter) on each box as it comes, one at a time, until none has come for 2 s or one
// does not close.
void CloseEachBox(MessageBoxWatcher& boxes) {
  for (int box = 0; box < 5; ++box) {
    std::vector<HWND> up;
    if (!WaitFor([&] { return !(up = boxes.Up()).empty(); }, 2000)) return;
    SetForegroundWindow(up[0]);
    WaitFor([&] { return GetForegroundWindow() == up[0]; }, 1000);
    Press(VK_RETURN);
    if (!WaitFor([&] { return !IsWindowVisible(up[0]); }, 5000)) return;
  }
}

const wchar_t kNotFound[] = L"I can't find the ";

// The message box runs a message loop of its own on the host's thread, inside the load.
// A load started from there (the cursor moved, Quick View refilled) would be a load
// inside a load, and Double Commander does not survive that: the box must keep the host
// from starting one.
TEST_F(NoViewer, TheNotFoundMessageIsTheOnlyBoxWhileDownIsPressedAndTheHostLivesOnAfterOK) {
  MessageBoxWatcher boxes(WatchedBoxesOf(dc));
  Press('Q', VK_CONTROL);
  ASSERT_TRUE(WaitFor([&] { return boxes.Up().size() == 1; }, 10000)) << dc.Evidence("Ctrl+Q on an image");
  EXPECT_EQ(0u, boxes.Text().rfind(kNotFound, 0)) << Utf8(boxes.Text()) << "\n" << dc.Evidence("Ctrl+Q on an image");
  for (const char* step : {"Down in the file list", "Down again"}) {
    DownInTheFileList(dc);
    EXPECT_FALSE(WaitFor([&] { return boxes.Seen() > 1; }, 2000)) << "a second load; " << dc.Evidence(step);
  }
  CloseEachBox(boxes);
  EXPECT_EQ(1, boxes.MostAtOnce()) << "boxes up at once; " << dc.Evidence("OK");
  EXPECT_TRUE(boxes.Up().empty()) << "a box that OK did not close; " << dc.Evidence("OK");
  EXPECT_TRUE(dc.ErrorReport().empty()) << dc.ErrorReport() << dc.Evidence("OK");
  ASSERT_TRUE(dc.Runs()) << "Double Commander ended; " << dc.Evidence("OK");
  ASSERT_TRUE(dc.Answers()) << "the host stopped answering; " << dc.Evidence("OK");

  // Activated again after the box, the main window takes the keys without a click.
  ASSERT_TRUE(dc.WaitKeyboard(dc.main)) << dc.Evidence("after OK");
  Press('Q', VK_CONTROL);
  CloseEachBox(boxes);
  EXPECT_EQ(1, boxes.MostAtOnce()) << "boxes up at once; " << dc.Evidence("Ctrl+Q again");
  ASSERT_TRUE(dc.Answers()) << "the host stopped answering; " << dc.Evidence("Ctrl+Q again");
}

// A folder of six images of the flow's own: a burst of 20 steps ends on another image
// than the one it began with, and than the one the view opened with.
const wchar_t* const kSteppingImages[] = {L"step-1.bmp", L"step-2.bmp", L"step-3.bmp",
                                          L"step-4.bmp", L"step-5.bmp", L"step-6.bmp"};

std::wstring SteppingFolder() { return RealHostPath(L"stepping\\"); }

// Made afresh for each flow, so that it holds these images and no others.
bool MakeSteppingFolder() {
  RemoveFolderTree(SteppingFolder());
  if (!CreateDirectoryW(SteppingFolder().c_str(), nullptr)) return false;
  COLORREF color = RGB(40, 90, 160);
  for (const wchar_t* name : kSteppingImages) {
    if (!WriteSampleBmp(SteppingFolder() + name, 64, 48, color)) return false;
    color += RGB(30, 20, 10);
  }
  return true;
}

// A round of stepping through the folder: Right pressed so many times, 30 ms apart.
struct Round {
  int presses;
  const char* name;
};

const Round kSteppingRounds[] = {
    {1, "one Right as soon as the view shows"}, {20, "Right 20 times, 30 ms apart"}, {20, "Right 20 times again"}};

// Double Commander with the viewer setting its title 50 ms after each step, as a slower
// viewer does: a title set at once would come before the key's own refreshes of the
// caption, which would then hide a caption that does not follow the viewer's title.
struct Stepping : RealHost {
  StartOptions StartWith() const override {
    StartOptions options;
    options.viewerTitleLateMs = 50;
    return options;
  }
  void SetUp() override {
    ASSERT_TRUE(MakeSteppingFolder());
    RealHost::SetUp();
  }
  std::wstring PathOf(const wchar_t* name) const override { return SteppingFolder() + name; }
  std::wstring FirstFile() const override { return PathOf(kSteppingImages[0]); }

  static int StepsTaken() { return CountLines(ViewerLog(), "navigate next"); }

  // The viewer's title once neither it nor the steps in the viewer's log have changed for
  // half a second; empty when they did not settle within 5 s.
  std::wstring SettledViewerTitle() const {
    std::wstring title;
    int steps = -1;
    bool settled = WaitSteady(
        [&] {
          std::wstring now = TitleOf(dc.Viewer());
          int taken = StepsTaken();
          bool same = now == title && taken == steps;
          title = now;
          steps = taken;
          return same;
        },
        500, 5000);
    return settled ? title : L"";
  }

  // Presses Right as the round says; the keys reach the viewer through the plug-in's
  // container, which has the keyboard after F3. Once the viewer's title has settled, the
  // viewer has taken every step and the Lister window names its image within a second.
  void Take(const Round& round) {
    const int before = StepsTaken();
    for (int press = 0; press < round.presses; ++press) {
      SendKey(VK_RIGHT, false);
      SendKey(VK_RIGHT, true);
      Pump(30);
    }
    const std::wstring title = SettledViewerTitle();
    ASSERT_FALSE(title.empty()) << "the viewer's title did not settle; " << dc.Evidence(round.name);
    EXPECT_EQ(before + round.presses, StepsTaken()) << "steps the viewer took; " << dc.Evidence(round.name);
    const std::wstring file = title.substr(0, title.rfind(L" - Pixmorant"));
    EXPECT_TRUE(WaitFor([&] { return TitleOf(dc.Lister()) == ListerTitle(file); }, 1000))
        << Utf8(TitleOf(dc.Lister())) << " after the viewer's " << Utf8(title) << "\n"
        << dc.Evidence(round.name);
  }
  using RealHost::Take;
};

const Step kOpenStepping = {0, VK_F3, kSteppingImages[0], "F3 on the first image"};

// The caption follows the viewer's title however fast the steps come: Double Commander's
// viewer window names the image the viewer shows last, within a second of its title.
TEST_F(Stepping, TheListerTitleNamesTheLastImageAfterATapAndBurstsOfRight) {
  for (int rounds : {3, 1}) {  // every round in the first view, the tap again in a second
    ASSERT_NO_FATAL_FAILURE(Take(kOpenStepping));
    for (int round = 0; round < rounds; ++round) ASSERT_NO_FATAL_FAILURE(Take(kSteppingRounds[round]));
    ASSERT_NO_FATAL_FAILURE(Take(kListerFlow[3]));
  }
}

// A folder of 30 images of the flow's own, for rounds of Downs in Quick View.
std::wstring BrowsingFolder() { return RealHostPath(L"browsing\\"); }
const int kBrowsingImages = 30;

std::wstring BrowsingImage(int number) {
  wchar_t name[32] = {};
  swprintf(name, 32, L"img-%02d.bmp", number);
  return BrowsingFolder() + name;
}

bool MakeBrowsingFolder() {
  RemoveFolderTree(BrowsingFolder());
  if (!CreateDirectoryW(BrowsingFolder().c_str(), nullptr)) return false;
  for (int number = 1; number <= kBrowsingImages; ++number)
    if (!WriteSampleBmp(BrowsingImage(number), 64, 48, RGB(10 * number, 120, 220 - 10 * number))) return false;
  return true;
}

struct QuickViewBrowsing : RealHost {
  void SetUp() override {
    ASSERT_TRUE(MakeBrowsingFolder());
    RealHost::SetUp();
  }
  std::wstring PathOf(const wchar_t* name) const override { return BrowsingFolder() + name; }
  std::wstring FirstFile() const override { return BrowsingImage(1); }
};

// In Quick View the host's file list keeps the keyboard while each image loads: ten Downs,
// 250 ms and then 600 ms apart, each typed while the view of the last one loads, move the
// host's cursor ten files on, and the view ends on the file under the cursor.
TEST_F(QuickViewBrowsing, TenDownsTypedWhileImagesLoadMoveTheCursorTenFilesOn) {
  ASSERT_NO_FATAL_FAILURE(Take({VK_CONTROL, 'Q', L"img-01.bmp", "Ctrl+Q on an image"}));
  int at = 1;
  for (DWORD gap : {250, 600}) {
    const std::string step = "ten Downs " + std::to_string(gap) + " ms apart from image " + std::to_string(at);
    for (int down = 0; down < 10; ++down) {
      Press(VK_DOWN);
      Pump(gap - 60);  // a press takes 60 ms
    }
    at += 10;
    ASSERT_TRUE(dc.WaitEmbedded(BrowsingImage(at))) << dc.Evidence(step);
    ASSERT_TRUE(dc.Answers()) << "the host stopped answering; " << dc.Evidence(step);
    ASSERT_TRUE(dc.WaitKeyboard(dc.main)) << dc.Evidence(step);
  }
}

// Double Commander with a viewer that makes its window 1.5 s after its start (or as many
// ms as PX_HELD_VIEWER_DELAY_MS says), as on a cold start or a large image.
struct SlowViewerBrowsing : QuickViewBrowsing {
  StartOptions StartWith() const override {
    StartOptions options;
    const char* delay = std::getenv("PX_HELD_VIEWER_DELAY_MS");
    options.viewerDelayMs = delay ? std::atoi(delay) : 1500;
    return options;
  }
};

// Down held 2 s in Quick View, repeated every 33 ms as the keyboard does: a step never holds
// the host, so it has taken every key within half a second of the release, its cursor on
// the last image, and the view follows with one viewer, however slow the viewer is.
TEST_F(SlowViewerBrowsing, DownHeldTwoSecondsLeavesTheHostIdleAtOnceOnTheLastImage) {
  ASSERT_NO_FATAL_FAILURE(Take({VK_CONTROL, 'Q', L"img-01.bmp", "Ctrl+Q on an image"}));
  const int startedBefore = CountLines(ViewerLog(), "start pid=");
  for (int repeat = 0; repeat < 60; ++repeat) {
    SendKey(VK_DOWN, false);
    Pump(33);
  }
  SendKey(VK_DOWN, true);
  const DWORD released = GetTickCount();
  const std::wstring cursor = dc.FileUnderCursor(120000);
  const DWORD idle = GetTickCount() - released;
  const std::wstring last = BrowsingImage(kBrowsingImages);
  ASSERT_TRUE(dc.WaitEmbedded(last)) << dc.Evidence("Down held 2 s");
  const int started = CountLines(ViewerLog(), "start pid=") - startedBefore;
  std::printf("Down held 2 s: the host answered Ctrl+Shift+C %lu ms after the release; %d viewers started\n", idle,
              started);
  EXPECT_EQ(last, cursor) << dc.Evidence("Down held 2 s");
  EXPECT_LE(idle, 500u + 200u) << "the host went on stepping; " << dc.Evidence("Down held 2 s");  // a press, 60 ms
  EXPECT_LE(started, 3) << dc.Evidence("Down held 2 s");
  ASSERT_TRUE(dc.Answers()) << dc.Evidence("Down held 2 s");
}

// The viewer's dialog up in Quick View disables Double Commander's main window, which owns
// it; the file on view deleted, the host steps to the next image, and the viewer that goes
// inside its dialog leaves the main window enabled: a click moves the cursor again.
TEST_F(SlowViewerBrowsing, TheViewerGoingInsideItsDialogLeavesTheHostEnabled) {
  ASSERT_NO_FATAL_FAILURE(Take({VK_CONTROL, 'Q', L"img-01.bmp", "Ctrl+Q on an image"}));
  ASSERT_NO_FATAL_FAILURE(ClickViewer());
  Press(VK_F2);
  ASSERT_TRUE(WaitViewerLog("dialog open", 5000)) << dc.Evidence("F2");
  ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(dc.main); }, 3000)) << dc.Evidence("F2");
  ASSERT_TRUE(DeleteFileW(BrowsingImage(1).c_str()));
  ASSERT_TRUE(dc.WaitEmbedded(BrowsingImage(2))) << dc.Evidence("the file on view deleted");
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(dc.main) != FALSE; }, 3000)) << dc.Evidence("main window enabled");
  // A click into the file list (its left half, the Quick View the right) moves the cursor,
  // and the view follows it. Under Wine the first click may only bring the keyboard back from
  // the viewer, as with ClickViewer: a user clicks again, and so does the test, at most three
  // times.
  RECT main = {};
  GetWindowRect(dc.main, &main);
  HWND list = WindowFromPoint({main.left + (main.right - main.left) / 4, (main.top + main.bottom) / 2});
  auto moved = [&] {
    const std::wstring title = TitleOf(dc.Viewer());
    return !title.empty() && title.rfind(BrowsingImage(2), 0) != 0;
  };
  bool followed = false;
  for (int click = 0; click < 3 && !followed; ++click) {
    if (click > 0) std::fprintf(stderr, "realhost: the click into the file list moved nothing; clicking again\n");
    ClickInto(list);
    followed = WaitFor(moved, 6000);
  }
  EXPECT_TRUE(followed) << dc.Evidence("a click into the file list after the dialog");
}

// Looks at the view every 20 ms from a thread of its own: each look finds a viewer window
// shown in the plug-in's container (during a step the new one may stand above the earlier
// one before it is shown), or a blank. A container the host has destroyed is a blank.
struct ViewSampler {
  explicit ViewSampler(HWND viewed) : container(viewed) { thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
  ~ViewSampler() { Stop(); }
  void Stop() {
    stop = 1;
    if (thread) WaitForSingleObject(thread, 5000);
    if (thread) CloseHandle(thread);
    thread = nullptr;
  }
  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<ViewSampler*>(parameter);
    while (!self->stop) {
      bool shown = false;
      for (HWND viewer = ViewerOf(self->container); viewer && !shown; viewer = GetWindow(viewer, GW_HWNDNEXT))
        shown = IsWindowVisible(viewer) && TitleOf(viewer).find(L" - Pixmorant") != std::wstring::npos;
      InterlockedIncrement(shown && IsWindowVisible(self->container) ? &self->shown : &self->blank);
      Sleep(20);
    }
    return 0;
  }
  HWND container;
  volatile LONG shown = 0, blank = 0, stop = 0;
  HANDLE thread = nullptr;
};

// The host steps through the folder in the window it has (Double Commander calls
// ListLoadNextW): Down in Quick View, N and P in the F3 window, 1.5 s apart (or as many ms
// as PX_STEP_GAP_MS says). The earlier image stays on view until the next one is there, so
// no look finds the view blank, and each step ends with one viewer, on the file the host
// names.
TEST_F(QuickViewBrowsing, EveryStepKeepsAnImageOnViewUntilTheNextIsThere) {
  const Step quickView[] = {{VK_CONTROL, 'Q', L"img-01.bmp", "Ctrl+Q on an image"},
                            {0, VK_DOWN, L"img-02.bmp", "Down"},
                            {0, VK_DOWN, L"img-03.bmp", "Down"},
                            {0, VK_DOWN, L"img-04.bmp", "Down"},
                            {0, VK_DOWN, L"img-05.bmp", "Down"},
                            {0, VK_DOWN, L"img-06.bmp", "Down"}};
  const Step lister[] = {
      {0, VK_F3, L"img-06.bmp", "F3 on the image"}, {0, 'N', L"img-07.bmp", "N"}, {0, 'P', L"img-06.bmp", "P"}};
  for (const auto& flow : {std::vector<Step>(quickView, quickView + 6), std::vector<Step>(lister, lister + 3)}) {
    ASSERT_NO_FATAL_FAILURE(Take(flow[0]));
    const HWND container = dc.Container();
    ViewSampler sampler(container);
    for (size_t step = 1; step < flow.size(); ++step) {
      DWORD start = GetTickCount();
      ASSERT_NO_FATAL_FAILURE(Take(flow[step]));
      EXPECT_EQ(container, dc.Container()) << "the view was loaded afresh; " << dc.Evidence(flow[step].name);
      const char* gap = std::getenv("PX_STEP_GAP_MS");
      const long left = (gap ? std::atol(gap) : 1500) - (long)(GetTickCount() - start);
      if (left > 0) Pump(left);
    }
    sampler.Stop();
    std::printf("%s: %ld looks at the view, %ld blank\n", flow[0].name, sampler.shown + sampler.blank, sampler.blank);
    EXPECT_EQ(0, sampler.blank) << dc.Evidence(flow[0].name);
    ASSERT_NO_FATAL_FAILURE(Take(flow[0].key == VK_F3 ? kListerFlow[3] : kQuickViewFlow[5]));
  }
}

}  // namespace
