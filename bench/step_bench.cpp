// Steps to the next file in the same Lister window: the plug-in's ListLoadNextW against the
// close and fresh load a host makes without it, each timed on the host's thread, with the
// time the Lister window shows no image meanwhile.
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
    HANDLE earlier = OpenViewerIn(view);
    int answer = 1;
    watch.Measure([&] { answer = plugin.ListLoadNextW(lister, view, file, 0); }, run ? &figures->step : &warmUp,
                  run ? &figures->stepBlank : &warmUpBlank);
    figures->failed += answer != 0;
    WaitEnded(earlier);
    earlier = OpenViewerIn(view);
    watch.Measure(
        [&] {
          plugin.ListCloseWindow(view);
          view = plugin.ListLoadW(lister, run % 2 ? other : paths.image, 0);
        },
        run ? &figures->afresh : &warmUp, run ? &figures->afreshBlank : &warmUpBlank);
    WaitEnded(earlier);
  }
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
