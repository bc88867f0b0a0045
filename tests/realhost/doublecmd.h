// Double Commander, a real file manager that hosts Lister plug-ins, driven as a user drives
// it: started portable with the built plug-in registered, typed into and clicked with
// synthetic input, and read back from its windows, its process and the stand-in viewer's
// log. tests/realhost/run.sh unpacks it and names its folders in the environment; the
// real-host tests and the demo share this driver.
#pragma once
#include <string>

#include "harness.h"

namespace realhost {

using namespace pxt;

// A file of the folder both panels show (PX_REALHOST_FILES), as the host names it.
std::wstring FileIn(const std::wstring& name);
// A file or folder of the real-host tests' own folder (PX_REALHOST_DIR), for a flow's files.
std::wstring RealHostPath(const std::wstring& name);

// How Double Commander is started.
struct StartOptions {
  bool themed = true;      // Wine's visual theme, read by each program when it starts
  bool withViewer = true;  // the stand-in viewer installed beside the plug-in
  // The viewer sets its title this many ms after each step, as a slower viewer does
  // (PX_VIEWER_TITLE_LATE_MS, inherited from the host); 0: at once.
  int viewerTitleLateMs = 0;
  // The viewer makes its window this many ms after its start, as a viewer on a cold start
  // or a large image does (PX_VIEWER_DELAY_MS); 0: at once.
  int viewerDelayMs = 0;
  // The viewer starts and never brings its window (PX_VIEWER_NO_WINDOW).
  bool viewerNoWindow = false;
};

struct DoubleCommander {
  // flow names the evidence files of this run.
  explicit DoubleCommander(const std::string& flow);
  // Quits and ends by id whatever is left: Double Commander and the viewers.
  ~DoubleCommander();

  // A fresh portable configuration with the plug-in registered as the options say, both
  // panels on the file's folder, and the cursor of the left one on the file. True once the
  // host has listed the folder.
  bool Start(const StartOptions& options, const std::wstring& file);
  // Alt+X, then the process ended by its id if it has not gone within 10 s.
  void Quit();

  // The main window answers a message within 2 s.
  bool Answers() const;
  // Its process has not ended.
  bool Runs() const;
  // What Double Commander wrote of the errors it caught unhandled (an access violation, a
  // stack overflow), as it also shows them in its box "Double Commander - Error"; empty
  // while there were none.
  std::string ErrorReport() const;
  // The host's window is in front and the keyboard focus is on a window of the host (not
  // of the viewer), for a moment on end: the next key goes to the host.
  bool WaitKeyboard(HWND window) const;
  // The plug-in's container inside one of Double Commander's windows, or null; the
  // embedded viewer window and the Lister window around it.
  HWND Container() const;
  HWND Viewer() const { return ViewerOf(Container()); }
  HWND Lister() const { return GetParent(Container()); }
  // A container holds a viewer window titled with the file, and one viewer process runs.
  bool WaitEmbedded(const std::wstring& file) const;
  // The full name of the file under the host's cursor, as its command Ctrl+Shift+C copies it
  // once it has taken the keys before; empty when it did not within the time.
  std::wstring FileUnderCursor(DWORD timeoutMilliseconds) const;
  // No container is left and no viewer process runs.
  bool WaitNoViewer() const;
  // The viewer window covers the container's client area exactly.
  bool ViewerFillsContainer() const;

  // Saves what the step left behind: a screenshot, the window tree, Double Commander's
  // output and the viewer's log; the text names the files, for a failure's message.
  std::string Evidence(const std::string& step);

  std::string flow;
  std::wstring folder;  // Double Commander's own folder
  std::wstring output;  // its standard output and error
  PROCESS_INFORMATION process = {};
  HWND main = nullptr;
};

// The private memory of a process, in bytes.
SIZE_T PrivateBytes(HANDLE process);

}  // namespace realhost
