// Starting the viewer, embedding its window in a container inside the Lister window, the
// container's window procedure, and the embedding's part of the close.
#pragma once
#include "embed/embed_rules.h"
#include "platform/system.h"
#include "platform/types.h"
#include "shared/export.h"
#include "shared/view_mode.h"

// The load's part: the container window with the viewer inside, or null when the
// container could not be made (and then nothing is started), or the viewer did not start,
// ended, never brought its window, or did not end up inside the container (it died while
// it was embedded, or the platform refused to make its window our child). module is the
// library's instance: the container's class and the hooks name its procedures.
HWND EmbedViewer(HINSTANCE module, HWND lister, ViewMode mode, const char16_t* viewerProgram, char16_t* commandLine,
                 const char16_t* maximized);

// Sends a message to a window of another thread (the viewer's, or the popup menu it
// shows) without waiting on that thread longer than the time, nor at all once the platform
// reports it hung: the messages the host's thread sends to the viewer's thread go through
// here. False when no answer came; otherwise true, with the answer.
bool SendWithin(HWND window, std::uint32_t message, std::uint32_t milliseconds, LResult* answer);

// The step's part: the next viewer started on the container a load returned inside this
// Lister window, embedded there and shown, and the earlier viewer closed; false, with the
// earlier view as it was, when the container is not one a load returned inside the Lister
// window, or the new viewer did not start, ended, never brought its window, or did not end
// up in the container (and then it is closed). The Lister window's menu is not touched
// again.
bool EmbedNextViewer(HINSTANCE module, HWND lister, HWND container, ViewMode mode, const char16_t* viewerProgram,
                     char16_t* commandLine, const char16_t* maximized);

// The steps EmbedViewer strings together, in its order (the benchmark times them apart).
HWND CreateContainer(HINSTANCE module, HWND lister);
// Passes until the started process's window exists and answers, the process has ended,
// or an arrow key is down; the window held by the last pass, and how the wait ended.
HWND WaitForViewerWindow(const win::ProcessInfo& process, embed::WaitOutcome* outcome);
// Trims the Lister window's File menu and grays its Edit item: the state that item had
// before (the graying's answer, 0xFFFFFFFF when there is none). Lister mode only: a
// Quick View Lister window has no menu.
std::uint32_t TrimListerMenu(HWND lister);
// Kept on the container for the close (GiveBackListerEdit).
void KeepListerEditState(HWND container, std::uint32_t earlier);
// The keyboard, mouse and title hooks of one viewer's thread, and the host's window that had
// the keyboard before the first load, which the keyboard hook gives it back to.
struct ViewerHooks {
  HHOOK keyboard;
  HHOOK mouse;
  HHOOK title;
  HWND keyboardOwner;
};
ViewerHooks HookViewerThread(HINSTANCE module, std::uint32_t viewerThread, HWND keyboardOwner);
// Kept on the container, for the close and the next step.
void KeepViewerHooks(HWND container, const ViewerHooks& hooks);
// Taken off the container, still installed.
ViewerHooks TakeViewerHooks(HWND container);
// Taken off the container and removed: a viewer the load could not embed.
void RemoveViewerHooks(HWND container);
// In Quick View the viewer's system menu loses size, move, minimise, maximise and restore,
// and close is grayed.
void TrimViewerSystemMenu(HWND viewer);
void ShowEmbedded(HWND lister, HWND container, HWND viewer, ViewMode mode, const char16_t* maximized);

// The close's part, in the order the close takes the steps, after it has taken the hooks
// off the container.
// Gives the Lister window's Edit item the state it had before the load, when the item is
// still grayed; the Lister window is the container's parent, so this comes before the
// container's destruction.
void GiveBackListerEdit(HWND container);
// Asks the first popup menu showing to close, without waiting on a thread that does not
// answer.
void ClosePopupMenu();
// Tells the container it is going, closes the viewer inside it with the hooks the load
// installed (taken off the container), and destroys the container. The viewer is asked to
// destroy its window on its own thread, and ended when its thread does not answer within
// the platform's 5 s or the platform calls it hung; a viewer that answers is never ended,
// and the container's destruction then waits on no thread of the viewer's. The result of
// DestroyWindow.
bool DestroyContainer(HWND container, const ViewerHooks& hooks);
// A viewer window the load could not make the container's child is not destroyed with the
// container: it is asked to close, as its own close command does, unless the platform calls
// it hung; its process (the handle the start gave) is ended when the platform calls it hung
// or it has not ended a second after the request.
void CloseUnembeddedViewer(HWND viewer, HANDLE process);
// The step's part: the earlier viewer of a container (null: none) goes as the close takes
// it, with its hooks, while the container stays.
void CloseEmbeddedViewer(HWND container, HWND viewer, const ViewerHooks& hooks);

// Exported: the container window's procedure.
PX_EXPORT LResult WindowProc(HWND window, std::uint32_t message, WParam wParam, LParam lParam);
