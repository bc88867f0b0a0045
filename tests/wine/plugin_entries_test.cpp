// The exported surface of the built library, loaded as the host loads it.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using namespace pxt;

// The export names, read from the mapped image of the library.
std::set<std::string> ExportNames(HMODULE module) {
  std::set<std::string> names;
  auto base = reinterpret_cast<const BYTE*>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  auto nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) names.insert(reinterpret_cast<const char*>(base + nameRvas[i]));
  return names;
}

std::set<std::string> ImportedLibraries(HMODULE module) {
  std::set<std::string> names;
  for (const IMAGE_IMPORT_DESCRIPTOR* dll : ImportsOf(module)) {
    std::string name = reinterpret_cast<const char*>(reinterpret_cast<const BYTE*>(module) + dll->Name);
    for (auto& c : name) c = (char)tolower((unsigned char)c);
    names.insert(name);
  }
  return names;
}

bool HasExportStartingWith(const std::set<std::string>& names, const std::string& prefix) {
  for (const auto& name : names)
    if (name.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

TEST(PluginEntries, LoadsAndExportsTheHostEntriesAndItsOwnProcedures) {
  Plugin plugin(BuiltPlugin());
  ASSERT_NE(nullptr, plugin.module);
  for (const char* name : kHostEntryNames) EXPECT_NE(nullptr, plugin.Export(name)) << name;
  std::set<std::string> names = ExportNames(plugin.module);
  EXPECT_EQ(15u, names.size());
  for (int procedure : {kKbdProc, kMouseProc, kTitleProc, kWindowProc, kWindowCaption})
    EXPECT_EQ(1u, names.count(kOwnProcedureNames[procedure])) << kOwnProcedureNames[procedure];
  EXPECT_TRUE(HasExportStartingWith(names, kOwnProcedureNames[kGsenv])) << "gsenv";
  // The three constant entries are one procedure.
  EXPECT_EQ(plugin.Export("ListPrint"), plugin.Export("ListSearchDialog"));
  EXPECT_EQ(plugin.Export("ListPrint"), plugin.Export("ListSendCommand"));
}

TEST(PluginEntries, ImportsSystemLibrariesOnly) {
  Plugin plugin(BuiltPlugin());
  ASSERT_NE(nullptr, plugin.module);
  const std::set<std::string> system = {"kernel32.dll", "user32.dll", "gdi32.dll",
                                        "advapi32.dll", "msvcrt.dll", "ntdll.dll"};
  for (const auto& name : ImportedLibraries(plugin.module)) {
    bool isSystem = system.count(name) || name.compare(0, 7, "api-ms-") == 0;
    EXPECT_TRUE(isSystem) << name;
  }
  // The harness starts the viewer once more where Wine failed to start it; that needs the
  // library to take CreateProcessW from kernel32 by name.
  EXPECT_TRUE(StartsGoThroughTheHarness(plugin.module));
}

TEST(PluginEntries, DetectStringArrivesWholeOrEmpty) {
  Plugin plugin(BuiltPlugin());
  ASSERT_NE(nullptr, plugin.ListGetDetectString);
  std::string buffer(1200, 'x');
  plugin.ListGetDetectString(&buffer[0], 1172);
  EXPECT_EQ(1171u, strlen(buffer.c_str()));
  EXPECT_EQ(0, buffer.compare(0, 19, "MULTIMEDIA & (EXT=\""));
  EXPECT_EQ(0, buffer.compare(1171 - 10, 10, "|EXT=\"PS\")"));
  buffer.assign(1200, 'x');
  plugin.ListGetDetectString(&buffer[0], 1171);
  EXPECT_EQ('\0', buffer[0]);
  EXPECT_EQ('x', buffer[1171]);
  buffer.assign(8, 'x');
  plugin.ListGetDetectString(&buffer[0], 0);
  plugin.ListGetDetectString(nullptr, 1172);
  EXPECT_EQ(std::string(8, 'x'), buffer);
}

TEST(PluginEntries, PrintSearchAndCommandAnswerZero) {
  Plugin plugin(BuiltPlugin());
  RECT margins = {1, 2, 3, 4};
  char name[] = "C:\\x.jpg";
  EXPECT_EQ(0, plugin.ListPrint(nullptr, nullptr, nullptr, 0, nullptr));
  EXPECT_EQ(0, plugin.ListPrint((HWND)(LONG_PTR)0x1234, name, name, -1, &margins));
  EXPECT_EQ(0, plugin.ListSearchDialog(nullptr, 1));
  EXPECT_EQ(0, plugin.ListSendCommand((HWND)(LONG_PTR)0x99, 7, -3));
  EXPECT_EQ(1, margins.left);
  EXPECT_STREQ("C:\\x.jpg", name);
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(info.data(), key.c_str(), (void**)&value, &length) || !value) return L"";
  return value;
}

TEST(PluginEntries, CarriesAVersionResourceForItsPropertiesPage) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(BuiltPlugin().c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(BuiltPlugin().c_str(), 0, size, info.data()));
  EXPECT_NE(std::wstring::npos, VersionString(info, L"FileDescription").find(L"Lister plug-in"));
  EXPECT_EQ(L"Pixmorant Lister plug-in", VersionString(info, L"ProductName"));
  EXPECT_EQ(L"Pixmorant.wlx64", VersionString(info, L"OriginalFilename"));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", (void**)&fixed, &length));
  std::wstring version = VersionString(info, L"FileVersion");
  wchar_t fromFixed[32];
  swprintf(fromFixed, 32, L"%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
           HIWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(version, fromFixed);
}

int g_destroyCount = 0;
LRESULT CALLBACK CountDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) ++g_destroyCount;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(PluginEntries, CloseRemovesGsLibAndDestroysTheWindow) {
  Plugin plugin(BuiltPlugin());
  WNDCLASSW wc = {};
  wc.lpfnWndProc = CountDestroy;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PxCloseTarget";
  RegisterClassW(&wc);
  for (bool gsLibSet : {true, false}) {
    SetEnvironmentVariableW(L"GS_LIB", gsLibSet ? L"C:\\gs\\bin\\;C:\\gs\\fonts\\;C:\\gs\\lib\\" : nullptr);
    HWND window = CreateWindowW(L"PxCloseTarget", L"", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    g_destroyCount = 0;
    EXPECT_EQ(1, plugin.ListCloseWindow(window));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_GE(g_destroyCount, 1);
    wchar_t value[16];
    EXPECT_EQ(0u, GetEnvironmentVariableW(L"GS_LIB", value, 16));
  }
  EXPECT_EQ(0, plugin.ListCloseWindow(nullptr));  // DestroyWindow's answer for no window
}

TEST(PluginEntries, EightBitNameTooLongForItsConversionStartsNothing) {
  PluginFolder folder;
  Plugin plugin(folder.Path(L"Pixmorant.wlx64"));
  Host host;
  HWND lister = host.NewLister(false);
  std::string name = "C:\\" + std::string(300, 'a') + ".jpg";
  EXPECT_EQ(nullptr, plugin.ListLoad(lister, &name[0], 0));
  EXPECT_EQ(nullptr, FindWindowExW(lister, nullptr, L"Pixmorant", nullptr));
  EXPECT_EQ(0, CountViewers());
}

}  // namespace
