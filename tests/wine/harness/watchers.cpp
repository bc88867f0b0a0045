// Watchers of what a test starts: viewer processes, message boxes, and a thread that holds
// an arrow key down to end a wait.
#include "harness.h"

#include <tlhelp32.h>

namespace pxt {

namespace {

template <class Each>
int ForEachViewer(Each each) {
  int count = 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, L"px_run64.exe") == 0) {
      ++count;
      each(entry.th32ProcessID);
    }
  }
  CloseHandle(snapshot);
  return count;
}

// A message box: a dialog of the process with the static text of id 0xFFFF.
std::vector<HWND> BoxesOf(DWORD processId, std::vector<std::wstring>* texts) {
  std::vector<HWND> boxes;
  HWND box = nullptr;
  while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(box, &owner);
    if (owner != processId || !IsWindowVisible(box)) continue;
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    if (text[0] == 0) continue;
    boxes.push_back(box);
    texts->push_back(text);
  }
  return boxes;
}

void LookAtBoxes(MessageBoxWatcher* watcher) {
  std::vector<std::wstring> texts;
  std::vector<HWND> boxes = BoxesOf(watcher->options.processId, &texts);
  bool enabled = false;
  if (!boxes.empty())
    for (HWND window : watcher->options.keptDisabled) enabled |= IsWindowEnabled(window) != FALSE;
  EnterCriticalSection(&watcher->lock);
  watcher->up = boxes;
  if ((int)boxes.size() > watcher->mostAtOnce) watcher->mostAtOnce = (int)boxes.size();
  if (enabled) ++watcher->enabledWhileUp;
  for (size_t i = 0; i < boxes.size(); ++i) {
    bool known = false;
    for (HWND seen : watcher->seenBoxes) known |= seen == boxes[i];
    if (!known) watcher->seenBoxes.push_back(boxes[i]);
    watcher->text = texts[i];
  }
  LeaveCriticalSection(&watcher->lock);
  if (!boxes.empty() && watcher->options.closedWhileUp) {
    PostMessageW(watcher->options.closedWhileUp, WM_CLOSE, 0, 0);
    watcher->options.closedWhileUp = nullptr;
    Sleep(200);  // the box's loop takes it first
  }
  if (!watcher->options.closes) return;
  for (HWND box : boxes) PostMessageW(box, WM_COMMAND, IDOK, 0);
  if (!boxes.empty()) Sleep(50);
}

DWORD WINAPI WatchMessageBoxes(void* parameter) {
  MessageBoxWatcher* watcher = static_cast<MessageBoxWatcher*>(parameter);
  while (!watcher->stop) {
    LookAtBoxes(watcher);
    Sleep(20);
  }
  return 0;
}

}  // namespace

int CountViewers() {
  return ForEachViewer([](DWORD) {});
}
void EndViewers() {
  ForEachViewer([](DWORD id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    if (process) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  });
}
HANDLE OpenViewerProcess() {
  HANDLE process = nullptr;
  ForEachViewer([&](DWORD id) {
    if (!process) process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  });
  return process;
}
DWORD ExitCodeOnceEnded(HANDLE process, DWORD timeoutMilliseconds) {
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process, timeoutMilliseconds) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

MessageBoxWatcher::MessageBoxWatcher(const Options& given) : options(given) {
  if (options.processId == 0) options.processId = GetCurrentProcessId();
  InitializeCriticalSection(&lock);
  thread = CreateThread(nullptr, 0, WatchMessageBoxes, this, 0, nullptr);
}
MessageBoxWatcher::~MessageBoxWatcher() {
  stop = 1;
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
  DeleteCriticalSection(&lock);
}

// Each read under the lock the watcher's thread writes under.
template <class T, class Read>
T Locked(CRITICAL_SECTION* lock, Read read) {
  EnterCriticalSection(lock);
  T value = read();
  LeaveCriticalSection(lock);
  return value;
}
std::wstring MessageBoxWatcher::Text() {
  return Locked<std::wstring>(&lock, [&] { return text; });
}
int MessageBoxWatcher::Seen() {
  return Locked<int>(&lock, [&] { return (int)seenBoxes.size(); });
}
int MessageBoxWatcher::MostAtOnce() {
  return Locked<int>(&lock, [&] { return mostAtOnce; });
}
int MessageBoxWatcher::EnabledWhileUp() {
  return Locked<int>(&lock, [&] { return enabledWhileUp; });
}
std::vector<HWND> MessageBoxWatcher::Up() {
  return Locked<std::vector<HWND>>(&lock, [&] { return up; });
}

}  // namespace pxt
