// What the Windows tests share: the built files, plug-in folders of a test's own, the
// plug-in's entries, stand-in host windows, bounded waits, the stand-in viewer's log, and
// the cleanup of every viewer process a test started.
#pragma once
#include <windows.h>

#include <string>

namespace pxt {

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

// A plug-in installed in a folder of its own: <dir>\Pixmorant.wlx64 and, unless told
// otherwise, the stand-in viewer as <dir>\Pixmorant64\px_run64.exe. Removed afterwards.
struct PluginFolder {
  explicit PluginFolder(bool withViewer = true);
  ~PluginFolder();
  std::wstring Path(const std::wstring& relative) const { return dir + relative; }
  std::wstring dir;  // ends with a backslash
};

// The plug-in's entries, loaded from a folder's library file.
struct Plugin {
  explicit Plugin(const std::wstring& libraryPath);
  ~Plugin();
  HMODULE module = nullptr;
  HWND(__stdcall* ListLoad)(HWND, char*, int) = nullptr;
  HWND(__stdcall* ListLoadW)(HWND, const wchar_t*, int) = nullptr;
  int(__stdcall* ListCloseWindow)(HWND) = nullptr;
  void(__stdcall* ListGetDetectString)(char*, int) = nullptr;
  int(__stdcall* ListPrint)(HWND, char*, char*, int, RECT*) = nullptr;
  int(__stdcall* ListSearchDialog)(HWND, int) = nullptr;
  int(__stdcall* ListSendCommand)(HWND, int, int) = nullptr;
  FARPROC Export(const char* name) const { return GetProcAddress(module, name); }
};

// Stand-in host windows, on the test's thread: the main window "TTOTAL_CMD" answers 1074
// with the header window for codes 9 and 10 (and records the codes asked), a top-level
// Lister window with a menu bar, and in Quick View mode a Lister window inside a holder
// window that records the 1075 commands posted to it.
struct Host {
  Host();
  ~Host();
  HWND NewLister(bool quickView, int firstMenuItems = 9);  // destroyed with the Host
  HWND main = nullptr;     // "TTOTAL_CMD"
  HWND header = nullptr;   // the header window 1074 answers
  HWND holder = nullptr;   // the Quick View Lister's parent
};
// What the stand-in host windows saw (cleared by ResetHostRecord).
struct HostRecord {
  int queries[16];
  int queryCount;
  int commands[16];
  int commandCount;
  int listerCloses;  // WM_SYSCOMMAND/SC_CLOSE received by a Lister window
  int listerSetTexts;  // WM_SETTEXT received by a Lister window
  int headerSetTexts;  // WM_SETTEXT received by the header window
  int relayouts;       // layouts made in answer to a WM_SETTEXT (g_hostRelayout)
};
extern HostRecord g_host;
void ResetHostRecord();
// When set, 1074 answers these for codes 1 and 3 (default: the same non-zero value).
extern LONG_PTR g_hostAnswer1, g_hostAnswer3;
// A host that answers every title change by laying out its windows again (its frame
// redrawn, its children placed anew), as some file managers do: a Lister window on its own
// WM_SETTEXT, the header window on its WM_SETTEXT for the Quick View panel. The plug-in's
// container then receives messages from inside the title change. At most 200 layouts
// follow one reset of the record, so that a plug-in that answers each with another title
// change cannot hold this process for ever.
extern bool g_hostRelayout;

// Runs the message loop of this thread for a while.
void Pump(DWORD milliseconds);
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

// The stand-in viewer's log: its path for this test process, set in the environment
// (PX_VIEWER_LOG) so that every viewer started afterwards writes there.
std::wstring UseViewerLog();
std::string ViewerLog();
bool ViewerLogHas(const std::string& line);  // a whole line equal to it
bool WaitViewerLog(const std::string& line, DWORD timeoutMilliseconds);

// Viewer processes (px_run64.exe) alive now, and ending them all.
int CountViewers();
void EndViewers();

// Watches for a message box of this process, reads its text and closes it.
struct MessageBoxWatcher {
  MessageBoxWatcher();
  ~MessageBoxWatcher();
  std::wstring text;  // text of the last box seen
  int seen = 0;
  HANDLE thread = nullptr;
  volatile LONG stop = 0;
};

}  // namespace pxt

namespace pxt {
// A small uncompressed 24-bit BMP of one colour (0x00BBGGRR), for the viewer to show.
bool WriteSampleBmp(const std::wstring& path, int width, int height, COLORREF color);
// The embedded viewer window: the container's first child.
inline HWND ViewerOf(HWND container) { return GetWindow(container, GW_CHILD); }
std::wstring ClassOf(HWND window);
std::wstring TitleOf(HWND window);
}  // namespace pxt

namespace pxt {
// The first viewer process alive now, opened to wait for it and read its exit code; null
// when there is none.
HANDLE OpenViewerProcess();
}  // namespace pxt

#include <map>
#include <vector>

namespace pxt {
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

// A folder path of exactly the given length in units, trailing backslash included, made of
// nested folders below base (which ends with a backslash and is shorter). Created with
// CreateDirectoryW; empty when that fails.
std::wstring MakeFolderOfLength(const std::wstring& base, size_t units);
// The built library (and the stand-in viewer at Pixmorant64\px_run64.exe) copied into a
// folder made by the test; true when every copy succeeded.
bool InstallPluginIn(const std::wstring& dir, bool withViewer = true);
// A folder and everything in it removed (dir ends with a backslash).
void RemoveFolderTree(const std::wstring& dir);

// Objects this process holds, for leak checks. Where the platform counts them
// (GetGuiResources, GetProcessHandleCount) those counts are used; where it answers 0
// (Wine), they are counted by hand: USER objects as the windows and menus of this process,
// GDI objects as the live entries of the process's GDI handle table, kernel handles as the
// handle values that GetHandleInformation accepts.
struct ProcessObjects {
  long user = 0;
  long gdi = 0;
  long handles = 0;
  bool countedByHand = false;
};
ProcessObjects CountProcessObjects();
// Windows of a class anywhere on the desktop, every level of every top-level window.
int CountWindowsOfClass(const wchar_t* className);
// Windows of this process, every level.
std::vector<HWND> WindowsOfThisProcess();
}  // namespace pxt

namespace pxt {
// One synthetic key press or release (SendInput), as the keyboard hooks see real input.
void SendKey(WORD vk, bool up);
// Registers a window class of this test program (once; later calls are ignored).
void RegisterTestClass(const wchar_t* name, WNDPROC procedure);

// Holds Down once the viewer process exists, as a user ends a wait that does not end by
// itself, and keeps it held until the load has returned (set loadReturned). Should the
// load not return, the viewer is ended after a while, which the plug-in notices, so that
// the test ends anyway.
struct ArrowPresser {
  ArrowPresser();
  ~ArrowPresser();
  HANDLE viewer = nullptr;  // the viewer process, opened while it ran
  volatile LONG loadReturned = 0;
  volatile LONG endedByForce = 0;
  HANDLE thread = nullptr;
};

// Waits up to timeoutMilliseconds for a process to end and closes its handle: its exit
// code, or STILL_ACTIVE (259) when it did not end in time.
DWORD ExitCodeOnceEnded(HANDLE process, DWORD timeoutMilliseconds = 5000);
}  // namespace pxt
