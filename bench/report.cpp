// The report: the figures as Markdown tables, with how they were measured.
#include <stdio.h>

#include "bench.h"

namespace bench {

namespace {

const char* const kStepName[kStepCount] = {
    "The plug-in's wait, from the viewer's CreateWindowExW returning to the request that it embed its window "
    "(its window found, its thread hooked; below zero when the window is found while CreateWindowExW still runs)",
    "of which SetWindowsHookExW ×3 on the viewer's thread (the hooks name the library's procedures)",
    "The viewer's embedding of its window on its own thread, from the request to the host seeing it embedded",
    "The plug-in's trim of the Lister menu: 4 deletions, bar item grayed, DrawMenuBar",
    "The plug-in's part of the show on the host's thread: the keyboard to the Lister window, the Lister window "
    "shown, the caption",
};

void PrintHeaderRow() {
  printf("| Measurement | Median | Interquartile range | Min – max | Runs | Target |\n");
  printf("|---|---:|---:|---:|---:|---|\n");
}

void PrintRow(const char* name, const Samples* s, const char* unit, int decimals, const char* runs,
              const char* target) {
  printf("| %s | %.*f %s | %.*f – %.*f %s | %.*f – %.*f %s | %s | %s |\n", name, decimals, Median(s), unit, decimals,
         Quantile(s, 0.25), decimals, Quantile(s, 0.75), unit, decimals, Quantile(s, 0), decimals, Quantile(s, 1), unit,
         runs, target);
}

// A row of a few runs of seconds each, its run count its own.
void PrintSlowRow(const char* name, const Samples* s) {
  char runs[16];
  snprintf(runs, sizeof runs, "%d", s->n);
  PrintRow(name, s, "ms", 0, runs, "");
}

// "≤ 1.10 × floor: 1.04 ×, met" for the plug-in's row of a pair.
void RatioTarget(const Pair* pair, double limit, char* text, size_t size) {
  double ratio = Median(&pair->plugin) / Median(&pair->floor);
  snprintf(text, size, "≤ %.2f × floor: %.2f ×, %s", limit, ratio, ratio <= limit ? "met" : "missed");
}

void PrintPair(const char* name, const char* floorName, const Pair* pair, const char* runs, double limit) {
  char target[96] = "";
  if (limit > 0)
    RatioTarget(pair, limit, target, sizeof target);
  else
    snprintf(target, sizeof target, "none; %+.2f µs over the floor", Median(&pair->plugin) - Median(&pair->floor));
  PrintRow(name, &pair->plugin, "µs", 2, runs, target);
  PrintRow(floorName, &pair->floor, "µs", 2, runs, "");
}

// "≤ 5 % of a load: 0.4 %, met" (or the share alone, with no limit).
void ShareOfLoad(const Samples* figure, const Samples* load, double limitPercent, char* text, size_t size) {
  double share = 100 * Median(figure) / Median(load);
  if (limitPercent > 0)
    snprintf(text, size, "≤ %.0f %% of a load: %.1f %%, %s", limitPercent, share,
             share <= limitPercent ? "met" : "missed");
  else
    snprintf(text, size, "%.1f %% of a load", share);
}

const char* WineVersion() {
  typedef const char* (*VersionFunction)();
  auto version = reinterpret_cast<VersionFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")));
  return version ? version() : "not Wine";
}

}  // namespace

void PrintTable(const LoadFigures& load, const SlowViewerFigures& slow, const StepFigures& steps, const Pair& lister,
                const Pair& quick, const HookFigures& hooks, LONGLONG librarySize, int loadRuns) {
  char runs[32], captionRuns[32], hookRuns[32], stepRuns[32], target[96];
  snprintf(runs, sizeof runs, "%d", load.load.n);
  snprintf(captionRuns, sizeof captionRuns, "%d × %d calls", kCaptionRuns, kCaptionCalls);
  snprintf(hookRuns, sizeof hookRuns, "%d × %d calls", kHookRuns, kHookCalls);
  snprintf(stepRuns, sizeof stepRuns, "%d", steps.step.n);
  double overhead = Median(&load.overhead);
  if (overhead <= 1.0)
    snprintf(target, sizeof target, "≤ 1 ms at the median: met");
  else
    snprintf(target, sizeof target, "≤ 1 ms at the median: missed by %.3f ms", overhead - 1.0);

  PrintHeaderRow();
  PrintRow("Load: `ListLoadW`, Lister mode, 16 × 16 BMP", &load.load, "ms", 3, runs, "");
  PrintRow("Load: `ListLoadW` called → viewer process starts", &load.launch, "ms", 3, runs, "");
  PrintRow("Load: stand-in viewer, process start → window created", &load.viewer, "ms", 3, runs, "");
  PrintRow("Load: plug-in overhead, viewer window created → `ListLoadW` returns", &load.overhead, "ms", 3, runs,
           target);
  PrintSlowRow("Load: `ListLoadW`, viewer busy 3 s in the first message it takes after it has answered the wait",
               &slow.busyFirstLoad);
  PrintSlowRow("Close: `ListCloseWindow`, two steps of 4 s each queued into the viewer, the first begun",
               &slow.closeAfterTwoSteps);
  PrintSlowRow(
      "Close: `ListCloseWindow`, a step of 4.5 s begun, then a teardown that goes on until the viewer is "
      "called hung: the worst the close waits for a viewer that answers",
      &slow.closeWorst);
  PrintRow("Close: `ListCloseWindow`, healthy viewer", &load.close, "ms", 3, runs, "");
  char stepTarget[96], tickTarget[96], burstRuns[16], startedTarget[64], shownTarget[128];
  ShareOfLoad(&steps.step, &load.load, 5, stepTarget, sizeof stepTarget);
  ShareOfLoad(&steps.stepTick, &load.load, 0, tickTarget, sizeof tickTarget);
  snprintf(burstRuns, sizeof burstRuns, "%d", steps.burstStarted.n);
  double most = steps.burstStarted.n ? Quantile(&steps.burstStarted, 1.0) : 0;
  snprintf(startedTarget, sizeof startedTarget, "≤ 3: %s", most <= 3 ? "met" : "missed");
  // One viewer's start, as a load in this run takes it, and the quiet moment with one tick.
  double startAndQuiet = Median(&load.load) + 80 + 15;
  snprintf(shownTarget, sizeof shownTarget, "≤ one load and the quiet moment (%.0f ms): %s", startAndQuiet,
           Median(&steps.burstShown) <= startAndQuiet ? "met" : "missed");
  PrintRow("Step: `ListLoadNextW`, the host's thread held", &steps.step, "ms", 3, stepRuns, stepTarget);
  PrintRow("Step: the longest tick of its later work (start, wait, embedding, the earlier viewer's leaving)",
           &steps.stepTick, "ms", 3, stepRuns, tickTarget);
  PrintRow("Step: from the call to the next image shown", &steps.stepShown, "ms", 3, stepRuns, "");
  PrintRow("Step: the Lister window without an image meanwhile", &steps.stepBlank, "ms", 3, stepRuns, "0");
  PrintRow("Step without `ListLoadNextW`: `ListCloseWindow` and `ListLoadW`, the host's thread held", &steps.afresh,
           "ms", 3, stepRuns, "");
  PrintRow("Step without `ListLoadNextW`: the Lister window without an image meanwhile", &steps.afreshBlank, "ms", 3,
           stepRuns, "");
  PrintRow("Steps: 60 `ListLoadNextW` 33 ms apart, viewers started", &steps.burstStarted, "", 0, burstRuns,
           startedTarget);
  PrintRow("Steps: 60 `ListLoadNextW` 33 ms apart, from the last to its image shown", &steps.burstShown, "ms", 0,
           burstRuns, shownTarget);
  PrintRow("Steps: 60 `ListLoadNextW` 33 ms apart, the Lister window without an image", &steps.burstBlank, "ms", 3,
           burstRuns, "0");
  PrintPair("Caption, Lister mode: `WindowCaption`", "Caption, Lister mode: floor (same platform calls)", &lister,
            captionRuns, 1.10);
  PrintPair("Caption, Quick View: `WindowCaption`", "Caption, Quick View: floor (same platform calls)", &quick,
            captionRuns, 1.10);
  PrintPair("Hooks: `KbdProc` passing VK_UP on (HC_ACTION)", "Hooks: `CallNextHookEx(null, …)` alone", &hooks.kbd,
            hookRuns, 0);
  PrintRow("Hooks: `GetFocus` + 2 × `GetParent` + `CallNextHookEx`, the calls `KbdProc` makes here",
           &hooks.kbdAll.floor, "µs", 2, hookRuns, "");
  PrintPair("Hooks: `MouseProc` passing WM_MOUSEMOVE on (HC_ACTION)", "Hooks: `CallNextHookEx(null, …)` alone",
            &hooks.mouse, hookRuns, 0);
  PrintPair("Hooks: `TitleProc` passing on a message the viewer handled (WM_GETTEXT)",
            "Hooks: `CallNextHookEx(null, …)` alone", &hooks.title, hookRuns, 0);
  PrintPair("Hooks: `TitleProc` passing on a WM_SETTEXT of another window than the viewer's",
            "Hooks: `CallNextHookEx(null, …)` alone", &hooks.titleOther, hookRuns, 0);
  printf("| Library size: `Pixmorant.wlx64` | %lld bytes | | | | |\n", librarySize);

  SYSTEM_INFO info;
  GetSystemInfo(&info);
  printf(
      "\nMeasured by `px_bench` (`bash scripts/bench.sh`) under Wine %s with Xvfb on this machine "
      "(%lu cores), QueryPerformanceCounter at %lld Hz. Median, interquartile range (25th–75th "
      "percentile) and minimum–maximum over the runs; each series starts with one warm-up run "
      "that is not counted. Load: %d runs, each a real `ListLoadW` in Lister mode of the built "
      "plug-in from a plug-in folder of its own, with the stand-in viewer as "
      "Pixmorant64\\px_run64.exe, closed with `ListCloseWindow`, waiting for the viewer to end "
      "before the next run; the viewer's times come from its log (QPC is system-wide). "
      "Slow viewers: %d loads and %d closes of each kind, the stand-in viewer's `PX_VIEWER_HANG_FIRST_MS=3000` and "
      "`PX_VIEWER_STEP_BUSY_MS=4000` (4500 with `PX_VIEWER_TEARDOWN_MS=30000`); the Rights are posted to the viewer "
      "window and the close "
      "is made once its log shows the first step's job begun. "
      "Steps: in one Lister window, each run a step to the other of two images with "
      "`ListLoadNextW`, the bench's message loop running until the image is shown and the earlier "
      "viewer has ended (each of the plug-in's ticks timed), and one with `ListCloseWindow` and "
      "`ListLoadW`, as a host without the step makes it; a thread of the bench looks at the Lister "
      "window every millisecond and adds up the time no viewer window is shown in it meanwhile. "
      "Bursts: %d of 60 steps 33 ms apart, the message loop running between them, then until the "
      "last step's image is shown; the viewers started are counted in the viewers' log. "
      "Caption: a run is %d calls, the plug-in's and the floor's runs alternate; Quick View with "
      "DarkMode=1, host colours and font keys, one colour key empty. Hooks: called directly, "
      "not from a hook chain; the focus %s on the bench's stand-in viewer window. The plug-in's "
      "procedures and steps are its own code, linked in from its objects.\n",
      WineVersion(), info.dwNumberOfProcessors, QpcFrequency(), loadRuns, slow.busyFirstLoad.n,
      slow.closeAfterTwoSteps.n, steps.burstStarted.n, kCaptionCalls, hooks.focusHeld ? "was" : "could not be put");
  if (slow.failed) printf("\nSlow-viewer runs without figures: %d.\n", slow.failed);
  if (steps.failed) printf("\nStep runs without figures: %d.\n", steps.failed);
  if (load.failed || load.stuck)
    printf(
        "\nLoad runs without figures: %d; viewers that did not end within 10 s of the close and were "
        "ended: %d.\n",
        load.failed, load.stuck);
}

void PrintBreakdown(const Breakdown& breakdown) {
  char runs[16];
  snprintf(runs, sizeof runs, "%d", breakdown.step[kStepWait].n);
  printf(
      "\nWhere the overhead goes: the load's steps after the viewer's start, made by the bench with the "
      "plug-in's own steps (its code, linked in) on a stand-in viewer it starts with the plug-in's command "
      "line and start-up record.\n\n");
  PrintHeaderRow();
  for (int step = 0; step < kStepCount; ++step) PrintRow(kStepName[step], &breakdown.step[step], "µs", 1, runs, "");
  double host = Median(&breakdown.step[kStepMenu]) + Median(&breakdown.step[kStepShow]);
  printf("| Sum of the medians of the host's steps after the embedding (menu, show) | %.1f µs | | | | |\n", host);
  if (breakdown.failed) printf("\nRuns without figures: %d.\n", breakdown.failed);
}

}  // namespace bench
