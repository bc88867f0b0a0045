// Starting the viewer and embedding its window in a container inside the Lister window.
#pragma once
#include "platform/types.h"
#include "plugin/export.h"
#include "plugin/text16.h"
#include "plugin/view_mode.h"

// [Lister] Maximized of the host's settings file (COMMANDER_INI), as read.
void ReadHostMaximized(char16_t (&value)[text16::kUnits]);

// The container window with the viewer inside, or null when the viewer did not start or
// its window never came.
HWND EmbedViewer(HWND lister, ViewMode mode, const char16_t* viewerProgram, char16_t* commandLine,
                 const char16_t* maximized);

// In Quick View the viewer's system menu loses size, move, minimise, maximise and restore,
// and close is grayed.
void TrimViewerSystemMenu(HWND viewer);

// The close sequence's parts, in the order the close takes them.
// Removes the hooks the load installed for this container.
void RemoveViewerHooks(HWND container);
// Asks the first popup menu showing to close, without waiting on a thread that does not
// answer.
void ClosePopupMenu();
// A viewer inside the container whose thread does not answer is ended, so that the
// container's destruction, which waits for each child's thread, returns. A viewer that
// answers is left to close itself when its window is destroyed.
void EndViewerIfHung(HWND container);

// Exported: the container window's procedure.
PX_EXPORT LResult WindowProc(HWND window, std::uint32_t message, WParam wParam, LParam lParam);
