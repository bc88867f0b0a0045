/* A viewer program for the configuration tests: logs the command line it was given and
   the GS_LIB it inherited to the file named by PX_PROBE_LOG, then exits at once. Built
   64-bit to be started, and 32-bit as a file for the binary-type query only. */
#include <windows.h>

static void LogLine(const wchar_t* log, const wchar_t* name, const wchar_t* value) {
  static wchar_t line[8192];
  static char utf8[3 * 8192];
  int n = lstrlenW(name) + lstrlenW(value) + 2;
  if (n >= 8192) return;
  lstrcpyW(line, name);
  lstrcatW(line, L"=");
  lstrcatW(line, value);
  lstrcatW(line, L"\n");
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof utf8, NULL, NULL) - 1;
  HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written;
  WriteFile(file, utf8, (DWORD)bytes, &written, NULL);
  CloseHandle(file);
}

int wmain(void) {
  static wchar_t log[1024];
  static wchar_t gsLib[4096];
  DWORD n = GetEnvironmentVariableW(L"PX_PROBE_LOG", log, 1024);
  if (n == 0 || n >= 1024) return 1;
  LogLine(log, L"cmdline", GetCommandLineW());
  n = GetEnvironmentVariableW(L"GS_LIB", gsLib, 4096);
  LogLine(log, L"GS_LIB", n == 0 ? L"(unset)" : (n < 4096 ? gsLib : L"(too long)"));
  return 0;
}
