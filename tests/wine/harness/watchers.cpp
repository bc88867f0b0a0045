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

DWORD WINAPI WatchMessageBoxes(void* parameter) {
  MessageBoxWatcher* watcher = static_cast<MessageBoxWatcher*>(parameter);
  while (!watcher->stop) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner != GetCurrentProcessId()) continue;
      wchar_t text[1024] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 1024);  // the message box's static text
      if (text[0] == 0) continue;
      watcher->text = text;
      ++watcher->seen;
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      Sleep(50);
    }
    Sleep(20);
  }
  return 0;
}

DWORD WINAPI PressArrow(void* parameter) {
  ArrowPresser* self = static_cast<ArrowPresser*>(parameter);
  for (int i = 0; i < 500 && !self->viewer; ++i) {
    self->viewer = OpenViewerProcess();
    Sleep(20);
  }
  Sleep(300);  // the load is in its wait by now
  for (int i = 0; i < 200 && !self->loadReturned; ++i) {
    keybd_event(VK_DOWN, 0, 0, 0);
    Sleep(50);
  }
  if (!self->loadReturned) {
    self->endedByForce = 1;
    EndViewers();
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

MessageBoxWatcher::MessageBoxWatcher() { thread = CreateThread(nullptr, 0, WatchMessageBoxes, this, 0, nullptr); }
MessageBoxWatcher::~MessageBoxWatcher() {
  stop = 1;
  WaitForSingleObject(thread, 5000);
  CloseHandle(thread);
}

ArrowPresser::ArrowPresser() { thread = CreateThread(nullptr, 0, PressArrow, this, 0, nullptr); }
ArrowPresser::~ArrowPresser() {
  loadReturned = 1;
  WaitForSingleObject(thread, 15000);
  CloseHandle(thread);
  keybd_event(VK_DOWN, 0, KEYEVENTF_KEYUP, 0);
  if (viewer) CloseHandle(viewer);
}

}  // namespace pxt
