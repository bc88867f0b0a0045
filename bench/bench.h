// px_bench: the plug-in's speed under Wine, printed as a Markdown table. It plays the host
// with the stand-in host library, loads the built library for whole loads (its hooks have
// to run inside the viewer's process), and calls the plug-in's own procedures and steps,
// linked in from its objects, for everything it times apart. Each figure of the plug-in
// stands beside its floor: the same platform calls made straight from here.
#pragma once
#include <windows.h>

#include "standin_host.h"

namespace bench {

// ---- clock and samples (stats.cpp) ----

void StartClock();
LONGLONG Qpc();
LONGLONG QpcFrequency();
double Micro(LONGLONG ticks);

enum { kMaxSamples = 64 };

struct Samples {
  double v[kMaxSamples];
  int n;
};
void Add(Samples* samples, double value);
// The q-quantile (0..1) by linear interpolation between the sorted samples.
double Quantile(const Samples* samples, double q);
double Median(const Samples* samples);

// The plug-in's figure and its floor, in µs per call.
struct Pair {
  Samples plugin;
  Samples floor;
};

// One run of `calls` calls of each side, the side going first taking turns with the
// run's number, so that both see the same machine; one sample added to each side.
template <class PluginCall, class FloorCall>
void AddRun(int run, int calls, PluginCall pluginCall, FloorCall floorCall, Pair* pair) {
  LONGLONG pluginTicks = 0, floorTicks = 0;
  for (int turn = 0; turn < 2; ++turn) {
    bool pluginNow = (run + turn) % 2 == 0;
    LONGLONG start = Qpc();
    if (pluginNow)
      for (int i = 0; i < calls; ++i) pluginCall();
    else
      for (int i = 0; i < calls; ++i) floorCall();
    (pluginNow ? pluginTicks : floorTicks) = Qpc() - start;
  }
  Add(&pair->plugin, Micro(pluginTicks) / calls);
  Add(&pair->floor, Micro(floorTicks) / calls);
}

// `runs` runs after one uncounted warm-up of each side.
template <class PluginCall, class FloorCall>
void MeasurePair(int runs, int calls, PluginCall pluginCall, FloorCall floorCall, Pair* pair) {
  ZeroMemory(pair, sizeof *pair);
  for (int i = 0; i < calls; ++i) {
    pluginCall();
    floorCall();
  }
  for (int run = 0; run < runs; ++run) {
    AddRun(run, calls, pluginCall, floorCall, pair);
    standin::Pump(0);
  }
}

// ---- the bench's plug-in folder (px_bench.cpp) ----

struct Paths {
  wchar_t build[MAX_PATH];    // the build folder, with a trailing backslash
  wchar_t folder[MAX_PATH];   // the plug-in folder of this run, with a trailing backslash
  wchar_t library[MAX_PATH];  // folder\Pixmorant.wlx64
  wchar_t viewer[MAX_PATH];   // folder\Pixmorant64\px_run64.exe
  wchar_t image[MAX_PATH];    // folder\images\sample.bmp
  wchar_t hostIni[MAX_PATH];  // folder\wincmd.ini, named by COMMANDER_INI
};
// A viewer's log in the run's folder, named after what it times and the run.
void LogPath(const Paths& paths, const wchar_t* what, int run, wchar_t (&path)[MAX_PATH]);

// ---- loads (load_bench.cpp) ----

struct LoadFigures {
  Samples load;      // ListLoadW, ms
  Samples viewer;    // the viewer's process start to its window, ms
  Samples overhead;  // the viewer's window created to ListLoadW's return, ms
  Samples launch;    // ListLoadW called to the viewer's process start, ms
  Samples close;     // ListCloseWindow of a healthy viewer, ms
  int failed;        // runs that gave no container or no log
  int stuck;         // viewers that did not end after the close and were ended
};
// Whole loads in Lister mode through the built library, each closed again.
void MeasureLoads(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int runs,
                  LoadFigures* figures);

// A viewer at work on its thread: the load of one busy 3 s in the first message it takes
// (after it has answered the load's wait), the close of one that has begun the first of two
// steps queued into it, each a job of 4 s, and the close of one that has begun a step of
// 4.5 s and then tears its window down without end: the worst the close waits.
enum { kSlowRuns = 3 };
struct SlowViewerFigures {
  Samples busyFirstLoad;       // ListLoadW, ms
  Samples closeAfterTwoSteps;  // ListCloseWindow, ms
  Samples closeWorst;          // ListCloseWindow, ms
  int failed;
};
void MeasureSlowViewers(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int runs,
                        SlowViewerFigures* figures);

// Steps to the next file in the same Lister window: ListLoadNextW, and a host without it,
// which closes the view and loads the file afresh. For a step, the host's thread held by the
// call and by the longest tick of the work it leaves, the time to the next image shown and
// how long the Lister window showed no image meanwhile; for the host without it, the close
// and load and the blank time. A burst: 60 steps 33 ms apart, as a held key makes them.
struct StepFigures {
  Samples step;          // ListLoadNextW, ms
  Samples stepTick;      // the longest tick of the step's later work, ms
  Samples stepShown;     // from the call to the next image shown, ms
  Samples stepBlank;     // ms
  Samples afresh;        // ListCloseWindow and ListLoadW, ms
  Samples afreshBlank;   // ms
  Samples burstStarted;  // viewers started by a burst
  Samples burstShown;    // from the burst's last step to its image shown, ms
  Samples burstBlank;    // ms
  int failed;
};
void MeasureSteps(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int runs,
                  StepFigures* figures);

// The load's steps after the viewer's start, one by one, on a viewer started here: the
// plug-in's own steps, with the viewer's part of the embedding timed from the host's side.
enum Step {
  kStepWait,   // the plug-in's wait, from the viewer's CreateWindowExW to the request to embed itself
  kStepHooks,  // the three hooks on the viewer's thread (the library's procedures), within the wait
  kStepEmbed,  // the request's way to the viewer's thread and its embedding there, seen from the host
  kStepMenu,   // the plug-in's trim of the Lister menu
  kStepShow,   // the host's part of the show
  kStepCount
};
struct Breakdown {
  Samples step[kStepCount];  // µs
  int failed;
};
void MeasureBreakdown(const standin::PluginEntries& plugin, standin::HostWindows* host, const Paths& paths, int runs,
                      Breakdown* breakdown);

// ---- captions (caption_bench.cpp) ----

enum { kCaptionCalls = 200, kCaptionRuns = 25 };
void MeasureListerCaption(standin::HostWindows* host, Pair* pair);
void MeasureQuickViewCaption(standin::HostWindows* host, Pair* pair);

// ---- hooks (hooks_bench.cpp) ----

enum { kHookCalls = 5000, kHookRuns = 25 };
struct HookFigures {
  Pair kbd;         // KbdProc against CallNextHookEx alone
  Pair kbdAll;      // KbdProc against the calls it makes for a key outside its table
  Pair mouse;       // MouseProc against CallNextHookEx alone
  Pair title;       // TitleProc on a message it only passes, against CallNextHookEx alone
  Pair titleOther;  // TitleProc on a title set into a window that is not the viewer's
  bool focusHeld;
};
void MeasureHooks(HookFigures* figures);

// ---- the report (report.cpp) ----

void PrintTable(const LoadFigures& load, const SlowViewerFigures& slow, const StepFigures& steps, const Pair& lister,
                const Pair& quick, const HookFigures& hooks, LONGLONG librarySize, int loadRuns);
void PrintBreakdown(const Breakdown& breakdown);

}  // namespace bench
