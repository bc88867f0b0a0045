// Called on nearly every message of the container and on the viewer's navigation input,
// from both processes: each call reads the viewer's title again and rewrites its target.
#include "caption/window_caption.h"

#include "caption/caption_rules.h"
#include "caption/paint_header.h"
#include "platform/window.h"
#include "shared/module_text.h"

namespace {

// One query to the host's main window, looked up afresh; no host answers 0.
LResult AskHost(WParam code) {
  HWND host = win::FindWindowW(u"TTOTAL_CMD", nullptr);
  return host ? win::SendMessageW(host, HOST_QUERY_WINDOW, code, 0) : 0;
}

// The viewer's container names this viewer, or none of ours holds it: its title may be the
// caption. The read crosses processes: in Lister mode it is made only when the title is to
// be written.
bool MayName(HWND viewer) {
  return caption::MayName(win::GetPropW(win::GetParent(viewer), caption::kNamedViewerProperty), viewer);
}

// The title or header text, to be written only when the window shows another text: writing
// an unchanged text again would start the host's answer to it anew, without end.
bool TextDiffersIn(HWND window, const char16_t* text) {
  char16_t shown[caption::kShownUnits] = {};
  win::GetWindowTextW(window, shown, static_cast<int>(caption::kShownUnits));
  return caption::TextDiffers(shown, text);
}

}  // namespace

char16_t* WindowCaption(HWND viewer, HWND lister) {
  char16_t buffer[caption::kCaptionUnits] = {};
  win::GetWindowTextW(viewer, buffer, static_cast<int>(text16::kUnits));
  caption::ExtractCaption(buffer, g_text);

  if (win::GetParent(lister) == nullptr) {  // Lister mode: the caption goes into the title bar
    if (g_text[0] != 0) {
      caption::ComposeListerTitle(g_text, buffer);
      if (TextDiffersIn(lister, buffer) && MayName(viewer)) win::SetWindowTextW(lister, buffer);
    }
    return nullptr;
  }

  if (!MayName(viewer)) return nullptr;
  caption::ComposeHeaderText(g_text, buffer);
  LResult first = AskHost(1);
  LResult third = AskHost(3);
  HWND header = caption::WindowFromAnswer(AskHost(caption::ChooseHeaderQueryCode(first, third)));
  // Without a host window to write to there is nothing to do: a null window's device
  // context would be the whole screen.
  if (header == nullptr) return nullptr;
  if (TextDiffersIn(header, buffer)) win::SetWindowTextW(header, buffer);
  PaintHeader(header, buffer, g_text[0] != 0);
  return nullptr;
}
