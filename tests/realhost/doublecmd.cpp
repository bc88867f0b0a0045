// The driver of Double Commander: its portable configuration, its process, synthetic
// input, and what its windows show.
#include "doublecmd.h"

#include <psapi.h>

#include <cstdlib>

namespace realhost {

namespace {

std::wstring PathFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value ? WinePath(value) + L"\\" : L"";
}

std::string UnixPath(const std::wstring& winePath) {
  std::string path = Utf8(winePath.substr(2));  // Z:\... is / on the Linux side
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

// What a user's registration of the plug-in holds: its name, its library under the
// program's plugins folder, and its own detect string (XML-escaped).
std::string PluginRegistration(const std::wstring& library) {
  char detect[2048] = {};
  Plugin plugin{library};
  if (plugin.ListGetDetectString) plugin.ListGetDetectString(detect, sizeof detect);
  std::string escaped;
  for (const char* c = detect; *c; ++c) {
    if (*c == '&')
      escaped += "&amp;";
    else if (*c == '"')
      escaped += "&quot;";
    else
      escaped += *c;
  }
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<doublecmd DCVersion=\"1.1.32 gamma\" ConfigVersion=\"15\">\n"
         "  <Plugins>\n"
         "    <WlxPlugins>\n"
         "      <WlxPlugin Enabled=\"True\">\n"
         "        <Name>Pixmorant</Name>\n"
         "        <Path>%commander_path%\\plugins\\wlx\\Pixmorant\\Pixmorant.wlx64</Path>\n"
         "        <DetectString>" +
         escaped +
         "</DetectString>\n"
         "      </WlxPlugin>\n"
         "    </WlxPlugins>\n"
         "  </Plugins>\n"
         "</doublecmd>\n";
}

// Wine's visual theme, read by each program when it starts.
void SetWineTheme(bool active) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  const wchar_t* value = active ? L"1" : L"0";
  RegSetValueExW(key, L"ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), 4);
  RegCloseKey(key);
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* locked = static_cast<const wchar_t*>(GlobalLock(data))) text = locked;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void EmptyTheClipboard() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

// The host lists a folder in the background, and a key that comes before the list finds no
// file under the cursor. Its command that copies the full name of the file under the
// cursor to the clipboard (Ctrl+Shift+C) tells when the file is there.
bool WaitCursorOn(const std::wstring& file) {
  return WaitFor(
      [&] {
        EmptyTheClipboard();
        Press('C', VK_CONTROL, VK_SHIFT);
        return WaitFor([&] { return ClipboardText().rfind(file, 0) == 0; }, 300);
      },
      15000);
}

// Where a failed step leaves what it saw, and Double Commander's output goes.
std::wstring EvidenceFolder() { return RealHostPath(L"evidence\\"); }

HWND MainWindowOf(DWORD processId) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"TTOTAL_CMD", nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

}  // namespace

std::wstring FileIn(const std::wstring& name) { return PathFromEnvironment("PX_REALHOST_FILES") + name; }
std::wstring RealHostPath(const std::wstring& name) { return PathFromEnvironment("PX_REALHOST_DIR") + name; }

DoubleCommander::DoubleCommander(const std::string& flowName)
    : flow(flowName), folder(PathFromEnvironment("PX_DOUBLECMD_DIR")) {}

DoubleCommander::~DoubleCommander() { Quit(); }

bool DoubleCommander::Start(const StartOptions& options, const std::wstring& file) {
  std::wstring evidence = EvidenceFolder();
  CreateDirectoryW(evidence.c_str(), nullptr);
  output = evidence + Wide(flow) + L"-doublecmd-output.txt";
  // Viewers started from here on inherit these: their log, and where they draw a picture
  // of themselves for a screenshot.
  UseViewerLog();
  SetEnvironmentVariableW(L"PX_VIEWER_SNAPSHOT", (evidence + Wide(flow) + L"-viewer-picture.bmp").c_str());
  const std::wstring late = std::to_wstring(options.viewerTitleLateMs);
  SetEnvironmentVariableW(L"PX_VIEWER_TITLE_LATE_MS", options.viewerTitleLateMs > 0 ? late.c_str() : nullptr);
  const std::wstring delay = std::to_wstring(options.viewerDelayMs);
  SetEnvironmentVariableW(L"PX_VIEWER_DELAY_MS", options.viewerDelayMs > 0 ? delay.c_str() : nullptr);
  SetEnvironmentVariableW(L"PX_VIEWER_NO_WINDOW", options.viewerNoWindow ? L"1" : nullptr);

  std::wstring settings = folder + L"settings\\";
  std::wstring plugins = folder + L"plugins\\wlx\\Pixmorant\\";
  RemoveFolderTree(settings);
  RemoveFolderTree(plugins);
  for (const wchar_t* made : {L"settings", L"plugins", L"plugins\\wlx", L"plugins\\wlx\\Pixmorant"})
    CreateDirectoryW((folder + made).c_str(), nullptr);
  if (!InstallPluginIn(plugins, options.withViewer) || !WriteFileBytes(settings + L"doublecmd.inf", "") ||
      !WriteFileBytes(settings + L"doublecmd.xml", PluginRegistration(plugins + L"Pixmorant.wlx64")))
    return false;
  SetWineTheme(options.themed);

  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE out = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, CREATE_ALWAYS,
                           0, nullptr);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = out;
  const std::wstring files = file.substr(0, file.rfind(L'\\'));  // the folder, no trailing backslash
  std::wstring program = folder + L"doublecmd.exe";
  std::wstring command = L"\"" + program + L"\" --no-splash -L \"" + file + L"\" -R \"" + files + L"\" -P L";
  bool started = CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                                &startup, &process) != 0;
  CloseHandle(out);
  if (!started) return false;

  if (!WaitFor([&] { return (main = MainWindowOf(process.dwProcessId)) != nullptr && Answers(); }, 30000)) return false;
  // Once shown, the host gives its file list the keyboard focus, from its queue: a window
  // of its own opened before that (a viewer) would lose the foreground to the main window.
  SetForegroundWindow(main);
  if (!WaitFor([&] { return GetForegroundWindow() == main && IsChild(main, FocusOf(main)); }, 10000)) return false;
  return WaitCursorOn(file) && Answers();
}

void DoubleCommander::Quit() {
  if (!process.hProcess) return;
  if (IsWindow(main) && SetForegroundWindow(main)) Press('X', VK_MENU);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  process = {};
  main = nullptr;
  EndViewers();
}

bool DoubleCommander::Answers() const {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0;
}

bool DoubleCommander::Runs() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }

std::string DoubleCommander::ErrorReport() const { return ReadFileBytes(folder + L"settings\\doublecmd.err"); }

// After an embedding the foreground and the focus pass between the host and the viewer's
// first activation for about a tenth of a second before they settle.
bool DoubleCommander::WaitKeyboard(HWND window) const {
  return WaitSteady(
      [&] {
        DWORD owner = 0;
        GetWindowThreadProcessId(FocusOf(main), &owner);
        return GetForegroundWindow() == window && owner == process.dwProcessId;
      },
      250, 5000);
}

HWND DoubleCommander::Container() const {
  for (HWND window : WindowsOfProcess(process.dwProcessId))
    if (ClassOf(window) == L"Pixmorant") return window;
  return nullptr;
}

bool DoubleCommander::WaitEmbedded(const std::wstring& file) const {
  const std::wstring title = file + L" - Pixmorant";
  return WaitFor([&] { return Container() && TitleOf(Viewer()) == title && CountViewers() == 1; }, 10000);
}

std::wstring DoubleCommander::FileUnderCursor(DWORD timeoutMilliseconds) const {
  EmptyTheClipboard();
  Press('C', VK_CONTROL, VK_SHIFT);
  std::wstring file;
  WaitFor([&] { return !(file = ClipboardText()).empty(); }, timeoutMilliseconds);
  return file;
}

bool DoubleCommander::WaitNoViewer() const {
  return WaitFor([&] { return !Container() && CountViewers() == 0; }, 10000);
}

bool DoubleCommander::ViewerFillsContainer() const {
  RECT viewer = {}, client = {};
  GetWindowRect(Viewer(), &viewer);
  GetClientRect(Container(), &client);
  MapWindowPoints(Container(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client.right > client.left && EqualRect(&viewer, &client);
}

std::string DoubleCommander::Evidence(const std::string& step) {
  static int count = 0;
  std::string name = flow + "-" + std::to_string(++count) + "-";
  for (char c : step) name += isalnum((unsigned char)c) ? c : '-';
  std::wstring base = EvidenceFolder() + Wide(name);
  SaveScreenshot(GetDesktopWindow(), Viewer(), (base + L".bmp").c_str());
  WriteFileBytes(base + L"-windows.txt", WindowTree());
  CopyFileW(output.c_str(), (base + L"-doublecmd-output.txt").c_str(), FALSE);
  WriteFileBytes(base + L"-viewer.log", ViewerLog());
  return "evidence of \"" + step + "\": " + UnixPath(base) + "{.bmp,-windows.txt,-doublecmd-output.txt,-viewer.log}";
}

SIZE_T PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, &counters, sizeof counters);
  return counters.PagefileUsage;  // the memory committed to the process alone
}

}  // namespace realhost
