// The kernel32 calls behind platform/system.h.
#include <windows.h>

#include "platform/system.h"
#include "platform/wide_text.h"

namespace win {

std::uint32_t GetModuleFileNameW(HINSTANCE module, char16_t* path, std::uint32_t capacity) {
  return ::GetModuleFileNameW(module, W(path), capacity);
}

std::uint32_t GetEnvironmentVariableW(const char16_t* name, char16_t* value, std::uint32_t capacity) {
  return ::GetEnvironmentVariableW(W(name), W(value), capacity);
}
bool SetEnvironmentVariableW(const char16_t* name, const char16_t* value) {
  return ::SetEnvironmentVariableW(W(name), W(value)) != FALSE;
}
bool SetEnvironmentVariableA(const char* name, const char* value) {
  return ::SetEnvironmentVariableA(name, value) != FALSE;
}
std::uint32_t ExpandEnvironmentStringsW(const char16_t* text, char16_t* expanded, std::uint32_t capacity) {
  return ::ExpandEnvironmentStringsW(W(text), W(expanded), capacity);
}

std::uint32_t GetPrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* fallback,
                                       char16_t* value, std::uint32_t capacity, const char16_t* file) {
  return ::GetPrivateProfileStringW(W(section), W(key), W(fallback), W(value), capacity, W(file));
}
bool WritePrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* value,
                                const char16_t* file) {
  return ::WritePrivateProfileStringW(W(section), W(key), W(value), W(file)) != FALSE;
}
bool WritePrivateProfileSectionW(const char16_t* section, const char16_t* keys, const char16_t* file) {
  return ::WritePrivateProfileSectionW(W(section), W(keys), W(file)) != FALSE;
}

std::uint32_t GetFileAttributesW(const char16_t* path) { return ::GetFileAttributesW(W(path)); }
bool CreateNewEmptyFile(const char16_t* path) {
  HANDLE file = ::CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  return true;
}
bool GetBinaryTypeW(const char16_t* path, std::uint32_t* type) {
  DWORD value = *type;
  BOOL ok = ::GetBinaryTypeW(W(path), &value);
  *type = value;
  return ok != FALSE;
}

int MultiByteToWideChar(unsigned codePage, std::uint32_t flags, const char* text, int length, char16_t* wide,
                        int capacity) {
  return ::MultiByteToWideChar(codePage, flags, text, length, W(wide), capacity);
}

bool CreateViewerProcess(const char16_t* application, char16_t* commandLine, ProcessInfo* info) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(STARTUPINFOW);  // 104
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION | STARTF_FORCEOFFFEEDBACK;
  // Shown, but not activated: a viewer window that took the activation while it is still a
  // window of its own would take the keys the user types into the host during the load.
  startup.wShowWindow = SW_SHOWNOACTIVATE;
  PROCESS_INFORMATION process = {};
  BOOL ok = ::CreateProcessW(W(application), W(commandLine), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process);
  info->process = process.hProcess;
  info->thread = process.hThread;
  info->processId = process.dwProcessId;
  info->threadId = process.dwThreadId;
  return ok != FALSE;
}
bool HasProcessEnded(HANDLE process) { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }
bool TerminateProcess(HANDLE process, unsigned exitCode) { return ::TerminateProcess(process, exitCode) != FALSE; }
HANDLE OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t processId) {
  return ::OpenProcess(access, inheritHandle ? TRUE : FALSE, processId);
}
std::uint32_t WaitForSingleObject(HANDLE object, std::uint32_t milliseconds) {
  return ::WaitForSingleObject(object, milliseconds);
}
std::uint32_t GetCurrentProcessId() { return ::GetCurrentProcessId(); }
std::uint32_t GetCurrentThreadId() { return ::GetCurrentThreadId(); }
std::uint32_t GetTickCount() { return ::GetTickCount(); }
bool CloseHandle(HANDLE handle) { return ::CloseHandle(handle) != FALSE; }

std::uint32_t GetPrivateProfileSectionNamesW(char16_t* names, std::uint32_t capacity, const char16_t* file) {
  return ::GetPrivateProfileSectionNamesW(W(names), capacity, W(file));
}

}  // namespace win
