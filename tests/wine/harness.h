// What the Windows tests share: the built files and folders of a test's own, the stand-in
// host's windows, the plug-in's entries, bounded waits, the stand-in viewer's log, and
// the watchers: message boxes, viewer processes, leaks and written files.
// The stand-in host itself is the library of standin/host (standin_host.h).
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "standin_host.h"

namespace pxt {

using namespace standin;

// ---- files and folders (harness/files.cpp) ----

// Paths of the build, as Wine sees them (Z:\...).
std::wstring WinePath(const std::string& unixPath);
std::wstring BuildDir();
std::wstring SourceDir();
std::wstring BuiltPlugin();  // BuildDir\Pixmorant.wlx64
std::wstring BuiltViewer();  // the stand-in viewer px_run64.exe
std::wstring TempDir();      // a fresh folder of its own under the build's test area

bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);  // empty when missing
bool FileExists(const std::wstring& path);
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);

// A small uncompressed 24-bit BMP of one colour (0x00BBGGRR), for the viewer to show.
inline bool WriteSampleBmp(const std::wstring& path, int width, int height, COLORREF color) {
  return standin::WriteSampleBmp(path.c_str(), width, height, color);
}

// A folder path of exactly the given length in units, trailing backslash included, made of
// nested folders below base (which ends with a backslash and is shorter). Created with
// CreateDirectoryW; empty when that fails.
std::wstring MakeFolderOfLength(const std::wstring& base, size_t units);
// A folder and everything in it removed (dir ends with a backslash).
void RemoveFolderTree(const std::wstring& dir);

// ---- host windows (harness/host.cpp) ----

// The stand-in host's windows with the tests' options, on the test's thread: the main
// window "TTOTAL_CMD" answers 1074 (codes recorded in g_host), a top-level Lister window
// has a menu bar, a Quick View Lister window lies in the panel, which records the 1075
// commands posted to it. SC_CLOSE on a Lister window is only recorded.
struct Host : HostWindows {
  Host();
  ~Host();
  HWND NewLister(bool quickView, int firstMenuItems = 9);  // destroyed with the Host
};

// Pumps until done() holds or the time is up; the result of done() at the end.
template <class Done>
bool WaitFor(Done done, DWORD timeoutMilliseconds) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMilliseconds) return done();
    Pump(10);
  }
  return true;
}

// Pumps until done() has held for steadyMilliseconds on end, or the time is up; whether it
// did. For states that come and go for a moment before they settle.
template <class Done>
bool WaitSteady(Done done, DWORD steadyMilliseconds, DWORD timeoutMilliseconds) {
  DWORD start = GetTickCount(), heldSince = start;
  bool held = false;
  while (GetTickCount() - start <= timeoutMilliseconds) {
    DWORD now = GetTickCount();
    if (!done()) {
      held = false;
    } else if (!held) {
      held = true;
      heldSince = now;
    } else if (now - heldSince >= steadyMilliseconds) {
      return true;
    }
    Pump(10);
  }
  return false;
}

std::wstring ClassOf(HWND window);
std::wstring TitleOf(HWND window);
// The window that has the keyboard focus on the window's thread (another process's too).
HWND FocusOf(HWND window);
// One synthetic key press or release (SendInput), as the keyboard hooks see real input.
void SendKey(WORD vk, bool up);
// A press and release of a key, with the modifiers given held around it.
void Press(WORD key, WORD modifier = 0, WORD secondModifier = 0);
// The pointer to the middle of a window; a left click there, which gives it the keyboard.
void PointAt(HWND window);
void ClickInto(HWND window);
// Registers a window class of this test program (once; later calls are ignored).
void RegisterTestClass(const wchar_t* name, WNDPROC procedure);

// ---- the plug-in (harness/plugin.cpp) ----

// A plug-in installed in a folder of its own: <dir>\Pixmorant.wlx64 and, unless told
// otherwise, the stand-in viewer as <dir>\Pixmorant64\px_run64.exe. Removed afterwards.
struct PluginFolder {
  explicit PluginFolder(bool withViewer = true);
  ~PluginFolder();
  std::wstring Path(const std::wstring& relative) const { return dir + relative; }
  std::wstring dir;  // ends with a backslash
};
// The built library (and the stand-in viewer at Pixmorant64\px_run64.exe) copied into a
// folder made by the test; true when every copy succeeded.
bool InstallPluginIn(const std::wstring& dir, bool withViewer = true);

// The import descriptors of a loaded library, one for each library it imports from.
std::vector<const IMAGE_IMPORT_DESCRIPTOR*> ImportsOf(HMODULE library);
// BindImport and ImportBinding: the stand-in host's (standin_host.h).

// Under Wine a new process now and then dies while Wine is still starting it, before any
// code of the program runs, and CreateProcessW fails with ERROR_INTERNAL_ERROR: about one
// start in two thousand in these tests, whatever the program. That is the test machine, not
// the plug-in, so the library's CreateProcessW is bound to one that makes such a start once
// more and says so on stderr.
void StartAgainWhenWineFails(HMODULE library);
bool StartsGoThroughTheHarness(HMODULE library);  // the binding took

// The plug-in's entries, loaded from a folder's library file for the test's scope.
struct Plugin : PluginEntries {
  explicit Plugin(const std::wstring& libraryPath) {
    LoadPlugin(libraryPath.c_str(), this);
    StartAgainWhenWineFails(module);
  }
  ~Plugin() { FreePlugin(this); }
  FARPROC Export(const char* name) const { return GetProcAddress(module, name); }
};

// ---- the stand-in viewer's log (harness/viewer_log.cpp) ----

// Its path for this test process, set in the environment (PX_VIEWER_LOG) so that every
// viewer started afterwards writes there.
std::wstring UseViewerLog();
std::string ViewerLog();
bool ViewerLogHas(const std::string& line);  // a whole line equal to it
bool WaitViewerLog(const std::string& line, DWORD timeoutMilliseconds);
// The lines of a log that begin with prefix.
int CountLines(const std::string& log, const std::string& prefix);

// ---- watchers (harness/watchers.cpp) ----

// Viewer processes (px_run64.exe) alive now, and ending them all.
int CountViewers();
void EndViewers();
// The first viewer process alive now, opened to wait for it and read its exit code; null
// when there is none.
HANDLE OpenViewerProcess();
// Waits up to timeoutMilliseconds for a process to end and closes its handle: its exit
// code, or STILL_ACTIVE (259) when it did not end in time.
DWORD ExitCodeOnceEnded(HANDLE process, DWORD timeoutMilliseconds = 5000);

// Watches, from a thread of its own, for the message boxes of a process (this one unless
// told otherwise), reads each one's text and, unless told not to, closes it with OK. While
// a box is up it also looks whether the windows it was given are disabled, as a
// task-modal box leaves its thread's top-level windows.
struct MessageBoxWatcher {
  struct Options {
    DWORD processId = 0;  // 0: this process
    bool closes = true;
    std::vector<HWND> keptDisabled;
    HWND closedWhileUp = nullptr;  // a window asked to close (WM_CLOSE) once a box is up, before its OK
  };
  MessageBoxWatcher() : MessageBoxWatcher(Options()) {}
  explicit MessageBoxWatcher(const Options& options);
  ~MessageBoxWatcher();
  std::wstring Text();     // text of the last box seen
  int Seen();              // boxes seen
  int MostAtOnce();        // most boxes up at one look
  int EnabledWhileUp();    // looks that found one of keptDisabled enabled while a box was up
  std::vector<HWND> Up();  // the boxes up now

  Options options;
  CRITICAL_SECTION lock;
  std::wstring text;
  std::vector<HWND> up, seenBoxes;
  int mostAtOnce = 0, enabledWhileUp = 0;
  HANDLE thread = nullptr;
  volatile LONG stop = 0;
};

// ---- leaks and written files (harness/leaks.cpp) ----

// Objects this process holds, for leak checks. Where the platform counts them
// (GetGuiResources, GetProcessHandleCount) those counts are used; where it answers 0
// (Wine), they are counted by hand: USER objects as the windows and menus of this process,
// GDI objects as the live entries of the process's GDI handle table, kernel handles as the
// handle values that GetHandleInformation accepts.
struct ProcessObjects {
  long user = 0;
  long gdi = 0;
  long deviceContexts = 0;  // of gdi, when counted by hand
  long handles = 0;
  bool countedByHand = false;
};
ProcessObjects CountProcessObjects();
// Windows of a class anywhere on the desktop, every level of every top-level window.
int CountWindowsOfClass(const wchar_t* className);
// Windows of a process, every level.
std::vector<HWND> WindowsOfProcess(DWORD processId);
std::vector<HWND> WindowsOfThisProcess();
// Every window on the desktop, top-level windows in their order from the top, each with its
// children indented below it: handle, process, shown or hidden, style, place, class and
// title; then the foreground window and its focus. For a failure's evidence.
std::string WindowTree();

// What a folder tree holds: every file and folder below it by its relative name, with the
// size and a hash of the contents. Compared before and after a load to show that nothing
// was written where it should not be.
struct TreeEntry {
  bool folder = false;
  unsigned long long size = 0;
  unsigned long long hash = 0;
  bool operator==(const TreeEntry& other) const {
    return folder == other.folder && size == other.size && hash == other.hash;
  }
};
using TreeSnapshot = std::map<std::wstring, TreeEntry>;
// dir ends with a backslash; with recursive false only the folder's own entries.
TreeSnapshot SnapshotTree(const std::wstring& dir, bool recursive = true);
// One line per difference, "+ name" (new), "- name" (gone), "~ name" (changed); empty when
// the two are the same.
std::string TreeChanges(const TreeSnapshot& before, const TreeSnapshot& after);

}  // namespace pxt
