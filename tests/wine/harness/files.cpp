// Files and folders: the build's paths as Wine sees them, whole-file reads and writes,
// folders of a test's own and of a given length.
#include "harness.h"

#include <cstdio>
#include <cstdlib>

namespace pxt {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return L"";
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), &out[0], n);
  return out;
}
std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &out[0], n, nullptr, nullptr);
  return out;
}

std::wstring WinePath(const std::string& unixPath) {
  std::wstring path = L"Z:" + Wide(unixPath);
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path;
}
std::wstring BuildDir() { return WinePath(Env("PX_BUILD_DIR")); }
std::wstring SourceDir() { return WinePath(Env("PX_SOURCE_DIR")); }
std::wstring BuiltPlugin() { return BuildDir() + L"\\Pixmorant.wlx64"; }
std::wstring BuiltViewer() { return BuildDir() + L"\\standin\\viewer\\px_run64.exe"; }

// A name taken already (a folder left by an earlier process of the same id) is passed
// over; a folder that cannot be made at all ends the test program with the reason.
std::wstring TempDir() {
  static int counter = 0;
  std::wstring root = BuildDir() + L"\\test-area";
  CreateDirectoryW(root.c_str(), nullptr);
  DWORD error = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t name[64];
    swprintf(name, 64, L"\\t%lu-%d-%lu", GetCurrentProcessId(), ++counter, GetTickCount());
    std::wstring dir = root + name;
    if (CreateDirectoryW(dir.c_str(), nullptr)) return dir + L"\\";
    error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) break;
  }
  fprintf(stderr, "harness: no folder of the test's own under %ls (error %lu)\n", root.c_str(), error);
  std::exit(2);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}
std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string out;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) out.append(chunk, got);
  CloseHandle(file);
  return out;
}
bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring MakeFolderOfLength(const std::wstring& base, size_t units) {
  if (base.size() >= units) return L"";
  CreateDirectoryW(base.c_str(), nullptr);
  std::wstring dir = base;
  // Steps of at most 100 units of name and a backslash, the last one taking what is left.
  while (dir.size() < units) {
    size_t left = units - dir.size();  // name units plus the backslash
    size_t name = left - 1;
    if (name > 100) name = left - 1 > 200 ? 100 : (left - 1) / 2;
    if (name == 0) return L"";  // cannot happen: a step never leaves exactly 1
    dir += std::wstring(name, L'd') + L"\\";
    if (!CreateDirectoryW(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return L"";
  }
  return dir;
}

// Walked by hand: SHFileOperation's double-null-terminated names are fiddly under Wine.
void RemoveFolderTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((dir + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = dir + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(path + L"\\");
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(dir.c_str());
}

}  // namespace pxt
