// The viewer a load or a step brings into its container, and the viewers leaving it: the
// load's wait on the host's thread, and the work a step leaves to a timer of the container.
#include "plugin/next_view.h"

#include "config/ghostscript.h"
#include "embed/embed_viewer.h"
#include "hooks/hooks.h"
#include "platform/input.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shared/host_settings.h"

namespace {

// A container with a step's work still to do: the step's plan until the quiet moment, then
// the viewer on its way in, and the viewers leaving. The host's thread is the only one that
// touches the table, so nothing is locked. Held in fixed slots: a host has few Lister
// windows stepping at once, and a step finds no free slot only past that many, when the
// host loads the file afresh.
constexpr int kMaxViews = 8;
constexpr int kMaxLeaving = 4;
constexpr std::uintptr_t kTimerId = 0x5058;

struct ViewInProgress {
  HWND container;  // null: a free slot
  HWND lister;
  HINSTANCE module;
  LoadPlan plan;
  bool firstView;  // a load's viewer, not there by the load's bound
  bool queued;     // the step waits for the quiet moment before its viewer starts
  std::uint32_t queuedAt;
  bool arriving;
  ArrivingViewer arrival;
  LeavingViewer leaving[kMaxLeaving];
};

ViewInProgress g_views[kMaxViews];

// The library's hook procedures; module is the library's instance.
HookProcedures LibraryHooks(HINSTANCE module) { return {module, KbdProc, MouseProc, TitleProc}; }

bool HookReaches(const LoadPlan& plan) { return plan.location.kind == ViewerKind::Bits64; }

embed::ShowTarget TargetOf(const LoadPlan& plan) { return embed::ChooseShowTarget(plan.maximized, plan.mode); }

// GS_LIB must hold its new value when the viewer process is created: it inherits the host's
// environment.
void HandOver(LoadPlan* plan) {
  plan->handedOver =
      HandOverGhostscript(plan->location.settingsFile, plan->location.viewerSettingsFolder, plan->location.kind);
}

// A free entry for a viewer about to leave; with none free, the ones leaving finish here
// first, bounded by their times.
LeavingViewer* FreeLeaving(ViewInProgress* view) {
  for (LeavingViewer& leaving : view->leaving)
    if (!leaving.active) return &leaving;
  LeaveNow(view->container, view->leaving, kMaxLeaving);
  return &view->leaving[0];
}

bool Idle(const ViewInProgress& view) {
  if (view.queued || view.arriving) return false;
  for (const LeavingViewer& leaving : view.leaving)
    if (leaving.active) return false;
  return true;
}

// The viewer on its way, never shown, leaves with the others of the slot.
void LeaveArrivingOf(ViewInProgress* view, std::uint32_t now) {
  if (view->arriving) LeaveArriving(view->container, &view->arrival, now, FreeLeaving(view));
  view->arriving = false;
}

// A container the host destroyed without the close: what its slot holds ends here.
void Abandon(ViewInProgress* view) {
  LeaveArrivingOf(view, win::GetTickCount());
  LeaveNow(view->container, view->leaving, kMaxLeaving);
  *view = {};
}

ViewInProgress* FindView(HWND container) {
  for (ViewInProgress& view : g_views)
    if (view.container == container && container != nullptr) return &view;
  return nullptr;
}

ViewInProgress* ClaimView(HWND container) {
  if (ViewInProgress* view = FindView(container)) return view;
  for (ViewInProgress& view : g_views)
    if (view.container != nullptr && !win::IsWindow(view.container)) Abandon(&view);
  for (ViewInProgress& view : g_views) {
    if (view.container != nullptr) continue;
    view = {};
    view.container = container;
    return &view;
  }
  return nullptr;
}

// The step's viewer does not come: the earlier viewer leaves too, and the container shows no
// image rather than one the host did not name, and says why.
void FailNext(ViewInProgress* view, std::uint32_t now) {
  embed::Note note = embed::Note::NotShown;
  if (view->arriving && win::HasProcessEnded(view->arrival.process.process)) note = embed::Note::Ended;
  LeaveArrivingOf(view, now);
  ShownViewer earlier = TakeShownViewer(view->container);
  if (earlier.window != nullptr) AskToLeave(earlier, false, now, FreeLeaving(view));
  ShowNote(view->container, note, view->plan.name);
  TakeBackHandOver(&view->plan);
}

void AdvanceViewsOf(HWND container, std::uint32_t, std::uintptr_t, std::uint32_t);

void StartQueued(ViewInProgress* view, std::uint32_t now) {
  view->queued = false;
  HandOver(&view->plan);
  view->arriving = StartArriving(view->plan.location.viewerProgram, view->plan.commandLine, HookReaches(view->plan),
                                 TargetOf(view->plan), &view->arrival);
  if (!view->arriving) FailNext(view, now);
  win::SetTimer(view->container, kTimerId, embed::kStepTickMs, AdvanceViewsOf);
}

// The viewer that came on view, kept on the container; the container's first view trims the
// Lister window's menu.
void Show(HWND lister, HWND container, ViewMode mode, bool firstView, bool takesKeyboard, ArrivingViewer* arrival) {
  if (firstView && embed::ListerHasMenuBar(mode)) KeepListerEditState(container, TrimListerMenu(lister));
  KeepShownViewer(container, ShowArrived(lister, container, takesKeyboard, arrival));
}

// In Lister mode the new view takes the keyboard only where the earlier one had it; in Quick
// View the host's window that has it keeps it.
void ShowNext(ViewInProgress* view, std::uint32_t now) {
  ShownViewer earlier = TakeShownViewer(view->container);
  bool takesKeyboard = view->plan.mode == ViewMode::Lister && ListerHasKeyboard(view->lister);
  Show(view->lister, view->container, view->plan.mode, view->firstView, takesKeyboard, &view->arrival);
  view->firstView = false;
  view->arriving = false;
  view->plan.handedOver = false;  // the close takes it back now
  // The new viewer stands above the earlier one from its embedding on.
  if (earlier.window != nullptr) AskToLeave(earlier, false, now, FreeLeaving(view));
}

void Advance(ViewInProgress* view, std::uint32_t now) {
  if (view->queued && now - view->queuedAt >= embed::kStepQuietMs) StartQueued(view, now);
  if (view->arriving) {
    switch (AdvanceArriving(LibraryHooks(view->module), view->container, view->plan.mode, &view->arrival)) {
      case Arrival::OnItsWay: break;
      case Arrival::Embedded: ShowNext(view, now); break;
      case Arrival::Failed: FailNext(view, now); break;
    }
  }
  for (LeavingViewer& leaving : view->leaving) AdvanceLeaving(view->container, now, &leaving);
}

// The container's timer: the platform makes its WM_TIMER only when no input or posted
// message waits, so the steps of a held key all come before the first tick.
void AdvanceViewsOf(HWND container, std::uint32_t, std::uintptr_t, std::uint32_t) {
  ViewInProgress* view = FindView(container);
  if (view != nullptr) Advance(view, win::GetTickCount());
  if (view == nullptr || Idle(*view)) {
    win::KillTimer(container, kTimerId);
    if (view != nullptr) *view = {};
  }
}

// A load whose viewer does not come: it leaves, and so does the container.
HWND FailLoad(HWND container, ArrivingViewer* arrival) {
  LeavingViewer leaving = {};
  LeaveArriving(container, arrival, win::GetTickCount(), &leaving);
  DestroyContainer(container, &leaving, 1);
  return nullptr;
}

// A load's viewer not there by the load's bound is embedded later by the container's timer;
// the container says meanwhile which file it opens. Past as many views at once as the table
// holds, the load ends.
HWND PendLoad(HINSTANCE module, HWND lister, HWND container, LoadPlan* plan, ArrivingViewer* arrival) {
  ViewInProgress* view = ClaimView(container);
  if (view == nullptr) return FailLoad(container, arrival);
  view->lister = lister;
  view->module = module;
  view->plan = *plan;
  plan->handedOver = false;  // the view takes it back, should its viewer not come
  view->firstView = true;
  view->arriving = true;
  view->arrival = *arrival;
  ShowNote(container, embed::Note::Opening, plan->name);
  win::SetTimer(container, kTimerId, embed::kStepTickMs, AdvanceViewsOf);
  return container;
}

}  // namespace

bool PlanLoad(HINSTANCE module, HWND lister, const char16_t* fileName, Telling telling, bool handOver, LoadPlan* plan) {
  plan->mode = ViewModeOf(win::GetParent(lister) != nullptr);
  if (!LocateViewer(module, telling, lister, &plan->location)) return false;
  host::ReadListerMaximized(plan->maximized);
  embed::NameOfFile(fileName, plan->name);
  if (handOver) HandOver(plan);
  return ViewerCommandLine(plan->location.settingsFile, plan->mode, fileName, plan->commandLine);
}

void TakeBackHandOver(LoadPlan* plan) {
  if (plan->handedOver) RemoveGhostscriptSearchPath();
  plan->handedOver = false;
}

// A tight loop on the host's thread, as the host expects of a load, bounded; it takes the
// messages sent to the thread meanwhile.
HWND LoadViewer(HINSTANCE module, HWND lister, LoadPlan* plan) {
  // The keyboard of the host's thread, before the load changes anything.
  HWND container = CreateContainer(module, lister, win::GetFocus());
  // No container: a viewer started now would have no window to live in and no close to
  // end it.
  if (container == nullptr) return nullptr;
  win::BringWindowToTop(container);
  ArrivingViewer arrival = {};
  if (!StartArriving(plan->location.viewerProgram, plan->commandLine, HookReaches(*plan), TargetOf(*plan), &arrival)) {
    DestroyContainer(container, nullptr, 0);
    return nullptr;
  }
  const std::uint32_t start = win::GetTickCount();
  for (;;) {
    switch (AdvanceArriving(LibraryHooks(module), container, plan->mode, &arrival)) {
      case Arrival::OnItsWay: break;
      case Arrival::Failed: return FailLoad(container, &arrival);
      case Arrival::Embedded:
        Show(lister, container, plan->mode, true, embed::ViewTakesKeyboard(plan->mode), &arrival);
        return container;
    }
    if (win::GetTickCount() - start >= embed::kLoadWaitMs) return PendLoad(module, lister, container, plan, &arrival);
    win::TakeSentMessages(1);
  }
}

bool QueueStep(HINSTANCE module, HWND lister, HWND container, const LoadPlan& plan) {
  ViewInProgress* view = ClaimView(container);
  if (view == nullptr) return false;
  std::uint32_t now = win::GetTickCount();
  LeaveArrivingOf(view, now);
  TakeBackHandOver(&view->plan);
  view->lister = lister;
  view->module = module;
  view->plan = plan;
  view->queued = true;
  view->queuedAt = now;
  HoldCaption(container);
  if (ShownViewerOf(container) == nullptr) ShowNote(container, embed::Note::Opening, plan.name);
  // Each step starts the timer anew: its first tick comes only once the host has taken the
  // keys waiting and the steps have paused for the quiet moment.
  win::SetTimer(container, kTimerId, embed::kStepQuietMs, AdvanceViewsOf);
  return true;
}

bool CloseViews(HWND container) {
  win::KillTimer(container, kTimerId);
  std::uint32_t now = win::GetTickCount();
  LeavingViewer leaving[kMaxLeaving + 2] = {};
  int count = 0;
  if (ViewInProgress* view = FindView(container)) {
    for (const LeavingViewer& each : view->leaving)
      if (each.active) leaving[count++] = each;
    if (view->arriving) LeaveArriving(container, &view->arrival, now, &leaving[count++]);
    *view = {};
  }
  ShownViewer shown = TakeShownViewer(container);
  if (shown.window != nullptr) AskToLeave(shown, true, now, &leaving[count++]);
  return DestroyContainer(container, leaving, count);
}
