// Windows kernel services (kernel32): module, environment, settings files, files,
// processes and character conversion. Text is UTF-16 as char16_t.
#pragma once
#include "platform/types.h"

namespace win {

std::uint32_t GetModuleFileNameW(HINSTANCE module, char16_t* path, std::uint32_t capacity);

std::uint32_t GetEnvironmentVariableW(const char16_t* name, char16_t* value, std::uint32_t capacity);
bool SetEnvironmentVariableW(const char16_t* name, const char16_t* value);  // null value removes it
bool SetEnvironmentVariableA(const char* name, const char* value);
std::uint32_t ExpandEnvironmentStringsW(const char16_t* text, char16_t* expanded, std::uint32_t capacity);

std::uint32_t GetPrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* fallback,
                                       char16_t* value, std::uint32_t capacity, const char16_t* file);
bool WritePrivateProfileStringW(const char16_t* section, const char16_t* key, const char16_t* value,
                                const char16_t* file);
bool WritePrivateProfileSectionW(const char16_t* section, const char16_t* keys, const char16_t* file);

std::uint32_t GetFileAttributesW(const char16_t* path);
// CreateFileW(path, GENERIC_WRITE, 0, null, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, null), closed at
// once: true when a new empty file was made; an existing file is never touched.
bool CreateNewEmptyFile(const char16_t* path);
bool GetBinaryTypeW(const char16_t* path, std::uint32_t* type);

int MultiByteToWideChar(unsigned codePage, std::uint32_t flags, const char* text, int length, char16_t* wide,
                        int capacity);

// A started process: the handles and ids CreateProcessW reports.
struct ProcessInfo {
  HANDLE process;
  HANDLE thread;
  std::uint32_t processId;
  std::uint32_t threadId;
};
// CreateProcessW(application, commandLine, null, null, FALSE, 0, null, null, startup, info),
// with the startup record asking for the first window at (0, 0), size 0 x 0, shown without
// activation (SW_SHOWNOACTIVATE), and no start-up feedback cursor.
bool CreateViewerProcess(const char16_t* application, char16_t* commandLine, ProcessInfo* info);
// WaitForSingleObject(process, 0) == WAIT_OBJECT_0: the process has ended (never waits).
bool HasProcessEnded(HANDLE process);
bool TerminateProcess(HANDLE process, unsigned exitCode);
HANDLE OpenProcess(std::uint32_t access, bool inheritHandle, std::uint32_t processId);
// WAIT_OBJECT_0 (0) when the object was signalled within the time.
std::uint32_t WaitForSingleObject(HANDLE object, std::uint32_t milliseconds);
std::uint32_t GetCurrentProcessId();
std::uint32_t GetCurrentThreadId();
// Milliseconds since the system started, wrapping round every 49.7 days.
std::uint32_t GetTickCount();
bool CloseHandle(HANDLE handle);

// The names of the sections of a settings file, each terminated, the list by an empty name.
std::uint32_t GetPrivateProfileSectionNamesW(char16_t* names, std::uint32_t capacity, const char16_t* file);

}  // namespace win
