// Steps to the next file in the same Lister window: the plug-in's ListLoadNextW against the
// close and fresh load a host makes without it, each timed on the host's thread, with the
// time the Lister window shows no image meanwhile.
#include <string.h>
#include <wchar.h>

#include "bench.h"

namespace bench {

namespace {

// A viewer window shown in one of the plug-in's containers of the Lister window.
bool ImageShown(HWND lister) {
  for (HWND container = FindWindowExW(lister, nullptr, L"Pixmorant", nullptr); container;
       container = FindWindowExW(lister, container, L"Pixmorant", nullptr)) {
    if (!IsWindowVisible(container)) continue;
    for (HWND viewer = GetWindow(container, GW_CHILD); viewer; viewer = GetWindow(viewer, GW_HWNDNEXT))
      if (IsWindowVisible(viewer)) return true;
  }
  return false;
}

// Looks at the Lister window every millisecond from a thread of its own and adds up, while
// a measurement is on, the time it shows no image.
struct BlankWatch {
  HWND lister;
  volatile LONG measuring;
  volatile LONG stop;
  volatile LONGLONG blankTicks;
  HANDLE thread;

  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<BlankWatch*>(parameter);
    LONGLONG last = Qpc();
    bool lastBlank = false;
    while (!self->stop) {
      bool blank = !ImageShown(self->lister);
      LONGLONG now = Qpc();
      if (self->measuring && lastBlank) self->blankTicks += now - last;
      last = now;
      lastBlank = blank;
      Sleep(1);
    }
    return 0;
  }
  // The call timed (ms into *held) and the Lister window's blank time meanwhile (ms into
  // *blank).
  template <class Call>
  void Measure(Call call, Samples* held, Samples* blank) {
    blankTicks = 0;
    measuring = 1;
    LONGLONG start = Qpc();
    call();
    LONGLONG end = Qpc();
    measuring = 0;
    Add(held, Micro(end - start) / 1000);
    Add(blank, Micro(blankTicks) / 1000);
  }
};

HANDLE OpenViewerIn(HWND container) {
  DWORD processId = 0;
  GetWindowThreadProcessId(standin::ViewerOf(container), &processId);
  return processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
}

// Pumps until the earlier viewer has ended, so that runs do not overlap.
void WaitEnded(HANDLE process) {
  if (!process) return;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;)
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0 || !standin::Pump(10)) break;
  CloseHandle(process);
}

// The host's message loop for a while: each WM_TIMER of the container (the plug-in's ticks)
// timed, the longest kept in *longestTick (ms). Ends early once done() holds.
template <class Done>
void PumpTimed(HWND container, DWORD milliseconds, double* longestTick, Done done) {
  DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < milliseconds && !done()) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      continue;
    }
    LONGLONG before = Qpc();
    TranslateMessage(&message);
    DispatchMessageW(&message);
    double took = Micro(Qpc() - before) / 1000;
    if (message.message == WM_TIMER && message.hwnd == container && took > *longestTick) *longestTick = took;
  }
}

// The container's viewer on view is titled with the file.
bool Shows(HWND container, const wchar_t* file) {
  wchar_t title[MAX_PATH + 16] = {}, expected[MAX_PATH + 16] = {};
  GetWindowTextW(standin::ViewerOf(container), title, MAX_PATH + 16);
  _snwprintf(expected, MAX_PATH + 15, L"%ls - Pixmorant", file);
  return wcscmp(title, expected) == 0;
}

int StartsIn(const wchar_t* logPath) {
  static char log[65536];
  HANDLE file = CreateFileW(logPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  DWORD got = 0;
  if (file != INVALID_HANDLE_VALUE) {
    ReadFile(file, log, sizeof log - 1, &got, nullptr);
    CloseHandle(file);
  }
  log[got] = 0;
  int starts = 0;
  for (const char* at = log; (at = strstr(at, "start pid=")) != nullptr; ++at) ++starts;
  return starts;
}

// One step, from the call to the next image shown and the earlier viewer ended.
void OneStep(const standin::PluginEntries& plugin, HWND lister, HWND view, const wchar_t* file, BlankWatch* watch,
             bool keep, StepFigures* figures) {
  static Samples warmUp;
  HANDLE earlier = OpenViewerIn(view);
  const HWND before = standin::ViewerOf(view);
  int answer = 1;
  double longestTick = 0;
  LONGLONG start = Qpc();
  watch->Measure([&] { answer = plugin.ListLoadNextW(lister, view, file, 0); }, keep ? &figures->step : &warmUp,
                 &warmUp);
  watch->blankTicks = 0;
  watch->measuring = 1;
  PumpTimed(view, 10000, &longestTick, [&] { return standin::ViewerOf(view) != before && Shows(view, file); });
  double shown = Micro(Qpc() - start) / 1000;
  PumpTimed(view, 10000, &longestTick, [&] { return WaitForSingleObject(earlier, 0) == WAIT_OBJECT_0; });
  watch->measuring = 0;
  figures->failed += answer != 0 || !Shows(view, file);
  if (keep) {
    Add(&figures->stepTick, longestTick);
    Add(&figures->stepShown, shown);
    Add(&figures->stepBlank, Micro(watch->blankTicks) / 1000);
  }
  WaitEnded(earlier);
}

// 60 steps 33 ms apart, alternating between two files and ending on `last`, then a rest
// until the image is shown: the viewers the burst started, the time from its last step.
void OneBurst(const standin::PluginEntries& plugin, const Paths& paths, int run, HWND lister, HWND view,
              const wchar_t* other, const wchar_t* last, BlankWatch* watch, bool keep, StepFigures* figures) {
  wchar_t logPath[MAX_PATH];
  LogPath(paths, L"burst", run, logPath);
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", logPath);
  const HWND before = standin::ViewerOf(view);
  double longestTick = 0;
  watch->blankTicks = 0;
  watch->measuring = 1;
  for (int step = 0; step < 60; ++step) {
    figures->failed += plugin.ListLoadNextW(lister, view, step % 2 ? last : other, 0) != 0;
    PumpTimed(view, 33, &longestTick, [] { return false; });
  }
  LONGLONG lastStep = Qpc();
  PumpTimed(view, 10000, &longestTick, [&] { return standin::ViewerOf(view) != before && Shows(view, last); });
  double shown = Micro(Qpc() - lastStep) / 1000;
  PumpTimed(view, 2000, &longestTick, [] { return false; });  // the earlier viewers leave
  watch->measuring = 0;
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", nullptr);
  figures->failed += !Shows(view, last);
  if (keep) {
    Add(&figures->burstStarted, StartsIn(logPath));
    Add(&figures->burstShown, shown);
    Add(&figures->burstBlank, Micro(watch->blankTicks) / 1000);
  }
  DeleteFileW(logPath);
}

}  // namespace

void MeasureSteps(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int runs,
                  StepFigures* figures) {
  ZeroMemory(figures, sizeof *figures);
  wchar_t other[MAX_PATH];
  _snwprintf(other, MAX_PATH - 1, L"%lsimages\\other.bmp", paths.folder);
  other[MAX_PATH - 1] = 0;
  if (!standin::WriteSampleBmp(other, 16, 16, RGB(40, 120, 200))) {
    ++figures->failed;
    return;
  }
  HWND lister = standin::NewListerWindow(host, false, 9);
  HWND view = plugin.ListLoadW(lister, paths.image, 0);
  if (!view) {
    ++figures->failed;
    DestroyWindow(lister);
    return;
  }
  BlankWatch watch = {lister, 0, 0, 0, nullptr};
  watch.thread = CreateThread(nullptr, 0, BlankWatch::Run, &watch, 0, nullptr);
  static Samples warmUp, warmUpBlank;
  for (int run = 0; run <= runs && view; ++run) {
    const wchar_t* file = run % 2 ? paths.image : other;
    OneStep(plugin, lister, view, file, &watch, run > 0, figures);
    HANDLE earlier = OpenViewerIn(view);
    watch.Measure(
        [&] {
          plugin.ListCloseWindow(view);
          view = plugin.ListLoadW(lister, run % 2 ? other : paths.image, 0);
        },
        run ? &figures->afresh : &warmUp, run ? &figures->afreshBlank : &warmUpBlank);
    WaitEnded(earlier);
  }
  for (int run = 0; run <= kSlowRuns && view; ++run)
    OneBurst(plugin, paths, run, lister, view, other, run % 2 ? other : paths.image, &watch, run > 0, figures);
  watch.stop = 1;
  WaitForSingleObject(watch.thread, 5000);
  CloseHandle(watch.thread);
  HANDLE last = view ? OpenViewerIn(view) : nullptr;
  if (view)
    plugin.ListCloseWindow(view);
  else
    ++figures->failed;
  WaitEnded(last);
  DestroyWindow(lister);
  standin::Pump(0);
}

}  // namespace bench
