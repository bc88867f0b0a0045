// The stand-in viewer's log: one file per test process, named in the environment that
// every viewer started afterwards inherits.
#include "harness.h"

namespace pxt {

namespace {

std::wstring g_logPath;

}  // namespace

std::wstring UseViewerLog() {
  g_logPath = TempDir() + L"viewer.log";
  SetEnvironmentVariableW(L"PX_VIEWER_LOG", g_logPath.c_str());
  return g_logPath;
}
std::string ViewerLog() { return g_logPath.empty() ? "" : ReadFileBytes(g_logPath); }
bool ViewerLogHas(const std::string& line) {
  std::string log = "\n" + ViewerLog();
  std::string want = "\n" + line;
  for (size_t at = log.find(want); at != std::string::npos; at = log.find(want, at + 1)) {
    size_t end = at + want.size();
    if (end == log.size() || log[end] == '\n' || log[end] == '\r') return true;
  }
  return false;
}
bool WaitViewerLog(const std::string& line, DWORD timeoutMilliseconds) {
  return WaitFor([&] { return ViewerLogHas(line); }, timeoutMilliseconds);
}

int CountLines(const std::string& log, const std::string& prefix) {
  int count = 0;
  std::string text = "\n" + log;
  for (size_t at = text.find("\n" + prefix); at != std::string::npos; at = text.find("\n" + prefix, at + 1)) ++count;
  return count;
}

}  // namespace pxt
