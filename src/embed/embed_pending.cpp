// Stand-in until the embedding lands.
#include "embed/embed_viewer.h"
#include "platform/window.h"

void ReadHostMaximized(char16_t (&)[text16::kUnits]) {}
HWND EmbedViewer(HWND, ViewMode, const char16_t*, char16_t*, const char16_t*) { return nullptr; }
void RemoveViewerHooks(HWND) {}
LResult WindowProc(HWND window, std::uint32_t message, WParam wParam, LParam lParam) {
  return win::DefWindowProcW(window, message, wParam, lParam);
}
