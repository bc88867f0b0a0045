// Loads: whole loads through the built library, timed against the stand-in viewer's own
// start-up, and their closes; the load and the close of a viewer busy on its thread; and the
// load's steps after the start, the plug-in's own, one by one.
#include <stdlib.h>
#include <string.h>

#include "bench.h"
#include "config/command_line.h"
#include "embed/embed_viewer.h"
#include "platform/window.h"

namespace bench {

namespace {

// The jobs of a slow viewer: its first message, or each step.
const wchar_t kBusyFirstMs[] = L"3000";
const wchar_t kStepBusyMs[] = L"4000";
// The worst the close waits for a viewer that answers: a job begun that ends just within the
// 5 s, then a teardown that goes on until the platform calls the viewer hung.
const wchar_t kLongStepBusyMs[] = L"4500";
const wchar_t kEndlessTeardownMs[] = L"30000";

const char16_t* U(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

// The whole file as text (at most size - 1 bytes), shared so that its writer may go on.
void ReadText(const wchar_t* path, char* text, DWORD size) {
  text[0] = 0;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD got = 0;
  ReadFile(file, text, size - 1, &got, nullptr);
  CloseHandle(file);
  text[got] = 0;
}

// The number that follows key in the log, or -1.
LONGLONG LogNumber(const char* log, const char* key) {
  const char* at = strstr(log, key);
  return at ? _strtoi64(at + strlen(key), nullptr, 10) : -1;
}

struct ViewerTimes {
  LONGLONG start;   // QPC at the viewer's process start
  LONGLONG window;  // QPC right after its CreateWindowExW returned
};

// The two QPC values of a viewer's log, waiting a little for the window line: the plug-in
// may find the window before the viewer has written it.
bool ReadViewerTimes(const wchar_t* logPath, ViewerTimes* times) {
  static char log[16384];
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 5000) {
    ReadText(logPath, log, sizeof log);
    const char* line = strstr(log, "window hwnd=");
    if (line && strchr(line, '\n')) {
      times->start = LogNumber(log, "start_qpc=");
      times->window = LogNumber(line, " qpc=");
      return times->start > 0 && times->window > 0 && LogNumber(line, " freq=") == QpcFrequency();
    }
    standin::Pump(5);
  }
  return false;
}

// Waits, dispatching this thread's messages (the viewer's window is a child of ours while
// it goes), until the process ends; ends it when it has not ended in time.
bool WaitProcessEnd(HANDLE process, DWORD milliseconds) {
  DWORD start = GetTickCount();
  for (;;) {
    standin::Pump(0);
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return true;
    if (GetTickCount() - start > milliseconds) break;
    MsgWaitForMultipleObjects(1, &process, FALSE, 10, QS_ALLINPUT);
  }
  TerminateProcess(process, 1);
  WaitForSingleObject(process, 5000);
  return false;
}

HANDLE OpenViewerOf(HWND container) {
  DWORD processId = 0;
  GetWindowThreadProcessId(standin::ViewerOf(container), &processId);
  return processId ? OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId) : nullptr;
}

// One load in Lister mode on a fresh Lister window, timed, then closed; waits until the
// viewer has ended. False when the run gave no figures.
bool OneLoad(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int run, bool keep,
             LoadFigures* figures) {
  wchar_t logPath[MAX_PATH];
  LogPath(paths, L"viewer", run, logPath);
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", logPath);
  HWND lister = standin::NewListerWindow(host, false, 9);
  standin::Pump(10);

  LONGLONG before = Qpc();
  HWND container = plugin.ListLoadW(lister, paths.image, 0);
  LONGLONG after = Qpc();

  HANDLE process = container ? OpenViewerOf(container) : nullptr;
  ViewerTimes times = {0, 0};
  bool ok = container && ReadViewerTimes(logPath, &times);
  standin::Pump(30);
  LONGLONG closing = Qpc();
  if (container) plugin.ListCloseWindow(container);
  double closed = Micro(Qpc() - closing) / 1000;
  if (process) {
    if (!WaitProcessEnd(process, 10000)) ++figures->stuck;
    CloseHandle(process);
  }
  DestroyWindow(lister);
  standin::Pump(0);
  DeleteFileW(logPath);
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", nullptr);
  if (!ok) {
    ++figures->failed;
    return false;
  }
  if (keep) {
    Add(&figures->load, Micro(after - before) / 1000);
    Add(&figures->viewer, Micro(times.window - times.start) / 1000);
    Add(&figures->overhead, Micro(after - times.window) / 1000);
    Add(&figures->launch, Micro(times.start - before) / 1000);
    Add(&figures->close, closed);
  }
  return true;
}

// The viewer started as the load starts it: the plug-in's command line and process start.
bool StartViewer(const Paths& paths, win::ProcessInfo* process) {
  wchar_t settings[MAX_PATH];
  wsprintfW(settings, L"%spixmorant.ini", paths.folder);
  char16_t commandLine[kCommandLineUnits] = {};
  *process = win::ProcessInfo();
  return ViewerCommandLine(U(settings), ViewMode::Lister, U(paths.image), commandLine) &&
         win::CreateViewerProcess(U(paths.viewer), commandLine, process);
}

// One start of the viewer with the load's steps after it timed, made with the plug-in's
// own procedures linked in here, with the library's hook procedures (its module).
bool OneBreakdown(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int run,
                  bool keep, Breakdown* breakdown) {
  wchar_t logPath[MAX_PATH];
  LogPath(paths, L"steps", run, logPath);
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", logPath);
  HWND lister = standin::NewListerWindow(host, false, 9);
  standin::Pump(10);
  // The container from the plug-in's code linked in here: its window procedure runs on
  // the messages of the steps as in a load.
  HWND container = CreateContainer(GetModuleHandleW(nullptr), lister, GetFocus());
  BringWindowToTop(container);
  win::ProcessInfo process;
  bool started = container && StartViewer(paths, &process);
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", nullptr);
  if (!started) {
    DestroyWindow(lister);
    ++breakdown->failed;
    return false;
  }
  HANDLE waitable = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, process.processId);
  const HookProcedures procedures = {plugin.module, reinterpret_cast<win::HookProcedure>(plugin.KbdProc),
                                     reinterpret_cast<win::HookProcedure>(plugin.MouseProc),
                                     reinterpret_cast<win::HookProcedure>(plugin.TitleProc)};
  // The arrival takes over the started process, as StartArriving would have made it.
  ArrivingViewer arrival = {};
  arrival.process = process;
  arrival.phase = embed::ArrivalPhase::Started;
  arrival.target = embed::ShowTarget::ListerWindow;
  arrival.hooks.hookReaches = true;
  LONGLONG t[kStepCount] = {};
  Arrival outcome = Arrival::OnItsWay;
  LONGLONG asked = 0, hooked = 0;
  while (outcome == Arrival::OnItsWay && arrival.phase == embed::ArrivalPhase::Started &&
         WaitForSingleObject(process.process, 0) != WAIT_OBJECT_0) {
    LONGLONG start = Qpc();
    outcome = AdvanceArriving(procedures, container, ViewMode::Lister, &arrival);
    if (arrival.hooked && hooked == 0) hooked = Qpc() - start;
    if (arrival.phase == embed::ArrivalPhase::Asked) asked = Qpc();
  }
  t[kStepHooks] = hooked;
  while (outcome == Arrival::OnItsWay && asked != 0 && Micro(Qpc() - asked) < 10e6) {
    outcome = AdvanceArriving(procedures, container, ViewMode::Lister, &arrival);
    if (outcome == Arrival::OnItsWay) win::TakeSentMessages(0);
  }
  LONGLONG embedded = Qpc();
  bool ok = outcome == Arrival::Embedded;
  ShownViewer shown = {};
  if (ok) {
    LONGLONG start = Qpc();
    TrimListerMenu(lister);
    t[kStepMenu] = Qpc() - start;
    start = Qpc();
    shown = ShowArrived(lister, container, true, &arrival);
    t[kStepShow] = Qpc() - start;
  }
  ViewerTimes times = {0, 0};
  ok = ok && ReadViewerTimes(logPath, &times);
  standin::Pump(30);
  for (HHOOK hook :
       {shown.keyboard, shown.mouse, shown.title, arrival.hooks.keyboard, arrival.hooks.mouse, arrival.hooks.title})
    if (hook) UnhookWindowsHookEx(hook);
  DestroyWindow(container);
  WaitProcessEnd(waitable, 10000);
  CloseHandle(waitable);
  if (!shown.window) {  // the arrival still holds the handles; the show gave them back
    CloseHandle(process.thread);
    CloseHandle(process.process);
  }
  DestroyWindow(lister);
  standin::Pump(0);
  DeleteFileW(logPath);
  if (!ok) {
    ++breakdown->failed;
    return false;
  }
  if (!keep) return true;
  Add(&breakdown->step[kStepWait], Micro(asked - times.window));
  Add(&breakdown->step[kStepHooks], Micro(t[kStepHooks]));
  Add(&breakdown->step[kStepEmbed], Micro(embedded - asked));
  Add(&breakdown->step[kStepMenu], Micro(t[kStepMenu]));
  Add(&breakdown->step[kStepShow], Micro(t[kStepShow]));
  return true;
}

// Waits, dispatching this thread's messages, until the viewer's log holds text.
bool WaitLogText(const wchar_t* logPath, const char* text, DWORD milliseconds) {
  static char log[16384];
  DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    ReadText(logPath, log, sizeof log);
    if (strstr(log, text)) return true;
    standin::Pump(5);
  }
  return false;
}

// One load and close of a stand-in viewer made slow by the switch `name` set to `ms`. With
// no Rights the run adds the load's time (ms) to *figure; else the close's, made once that
// many Rights are queued into the viewer and it has begun the first.
bool OneSlowRun(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int run,
                const wchar_t* name, const wchar_t* ms, int rights, bool endlessTeardown, Samples* figure) {
  wchar_t logPath[MAX_PATH], teardownPath[MAX_PATH];
  LogPath(paths, L"slow", run, logPath);
  LogPath(paths, L"teardown", run, teardownPath);
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", logPath);
  SetEnvironmentVariableW(name, ms);
  SetEnvironmentVariableW(L"PX_VIEWER_TEARDOWN_MS", endlessTeardown ? kEndlessTeardownMs : nullptr);
  SetEnvironmentVariableW(L"PX_VIEWER_TEARDOWN_FILE", endlessTeardown ? teardownPath : nullptr);
  HWND lister = standin::NewListerWindow(host, false, 9);
  standin::Pump(10);
  LONGLONG start = Qpc();
  HWND container = plugin.ListLoadW(lister, paths.image, 0);
  double loaded = Micro(Qpc() - start) / 1000;
  SetEnvironmentVariableW(name, nullptr);
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", nullptr);
  SetEnvironmentVariableW(L"PX_VIEWER_TEARDOWN_MS", nullptr);
  HANDLE process = container ? OpenViewerOf(container) : nullptr;
  bool ok = process != nullptr;
  if (ok && rights > 0) {
    for (int i = 0; i < rights; ++i) PostMessageW(standin::ViewerOf(container), WM_KEYDOWN, VK_RIGHT, 0);
    ok = WaitLogText(logPath, "step busy ms=", 5000);
  }
  start = Qpc();
  if (container) plugin.ListCloseWindow(container);
  double closed = Micro(Qpc() - start) / 1000;
  if (process) {
    if (!WaitProcessEnd(process, 20000)) ok = false;
    CloseHandle(process);
  }
  DestroyWindow(lister);
  standin::Pump(0);
  DeleteFileW(logPath);
  DeleteFileW(teardownPath);
  if (!ok) return false;
  Add(figure, rights > 0 ? closed : loaded);
  return true;
}

}  // namespace

void MeasureSlowViewers(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int runs,
                        SlowViewerFigures* figures) {
  ZeroMemory(figures, sizeof *figures);
  for (int run = 1; run <= runs; ++run) {
    const wchar_t* busyFirst = L"PX_VIEWER_HANG_FIRST_MS";
    const wchar_t* stepBusy = L"PX_VIEWER_STEP_BUSY_MS";
    figures->failed +=
        !OneSlowRun(plugin, host, paths, run, busyFirst, kBusyFirstMs, 0, false, &figures->busyFirstLoad);
    figures->failed +=
        !OneSlowRun(plugin, host, paths, run, stepBusy, kStepBusyMs, 2, false, &figures->closeAfterTwoSteps);
    figures->failed += !OneSlowRun(plugin, host, paths, run, stepBusy, kLongStepBusyMs, 1, true, &figures->closeWorst);
  }
}

void MeasureLoads(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int runs,
                  LoadFigures* figures) {
  ZeroMemory(figures, sizeof *figures);
  OneLoad(plugin, host, paths, 0, false, figures);  // warm-up: first mapping of the files
  for (int run = 1; run <= runs; ++run) OneLoad(plugin, host, paths, run, true, figures);
}

void MeasureBreakdown(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int runs,
                      Breakdown* breakdown) {
  ZeroMemory(breakdown, sizeof *breakdown);
  OneBreakdown(plugin, host, paths, 0, false, breakdown);
  for (int run = 1; run <= runs; ++run) OneBreakdown(plugin, host, paths, run, true, breakdown);
}

}  // namespace bench
