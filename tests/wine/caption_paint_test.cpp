// The Quick View header as painted: the test plays the host with a settings file of its
// own (COMMANDER_INI), calls the exported WindowCaption, and reads the header's pixels back
// straight after the call, before anything repaints the window.
#include <gtest/gtest.h>

#include <string>

#include "caption/header_rules.h"
#include "harness.h"

namespace {

using namespace pxt;

const wchar_t kPersonalize[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

std::string Num(COLORREF color) { return std::to_string(color); }

struct HeaderPaintTest : ::testing::Test {
  Plugin plugin{BuiltPlugin()};
  wchar_t* (*caption)(HWND viewer, HWND lister) = nullptr;
  Host host;
  HWND lister = nullptr;
  HWND viewer = nullptr;
  std::wstring dir = TempDir();
  COLORREF plain = 0;  // the header's own background before anything is painted

  void SetUp() override {
    ASSERT_NE(nullptr, plugin.module);
    caption = plugin.WindowCaption;
    ASSERT_NE(nullptr, caption);
    lister = host.NewLister(true);
    viewer = CreateWindowExW(0, L"STATIC", L"C:\\pics\\photo.jpg - Pixmorant", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    plain = Pixel(1, 1);
    ASSERT_NE(CLR_INVALID, plain);
    SetEnvironmentVariableW(L"COMMANDER_INI", nullptr);
  }
  void TearDown() override {
    DestroyWindow(viewer);
    SetEnvironmentVariableW(L"COMMANDER_INI", nullptr);
  }

  void UseSettings(const std::string& text, const std::wstring& name = L"wincmd.ini") {
    ASSERT_TRUE(WriteFileBytes(dir + name, text));
    SetEnvironmentVariableW(L"COMMANDER_INI", (dir + name).c_str());
  }
  void Paint() { caption(viewer, lister); }
  COLORREF Pixel(int x, int y) const {
    HDC dc = GetDC(host.header);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(host.header, dc);
    return color;
  }
  // Some pixel of the drawn name has this colour.
  bool TextShows(COLORREF color) const {
    HDC dc = GetDC(host.header);
    bool found = false;
    for (int y = 0; y < 20 && !found; ++y)
      for (int x = 0; x < 160 && !found; ++x) found = GetPixel(dc, x, y) == color;
    ReleaseDC(host.header, dc);
    return found;
  }
  // The background behind the trailing spaces, in the middle row and in the top row (the
  // top row is reached only by a font taller than the header).
  COLORREF Background() const { return Pixel(300, 10); }
  bool TallFont() const { return Pixel(300, 0) == Background(); }
};

TEST_F(HeaderPaintTest, HostColoursAndThePixelThatTellsActiveFromInactive) {
  ASSERT_NE(0xFF0000u, plain);
  UseSettings("[Colors]\r\nActiveTitle=255\r\nActiveTitleText=65280\r\nInactiveTitle=16711680\r\n");
  Paint();
  EXPECT_EQ(0x0000FFu, Background());
  EXPECT_TRUE(TextShows(0x00FF00));
  EXPECT_FALSE(TallFont());

  // The header shows the inactive background at (1, 1): the inactive pair is drawn.
  UseSettings("[Colors]\r\nActiveTitle=255\r\nActiveTitleText=65280\r\nInactiveTitle=" + Num(plain) +
              "\r\nInactiveTitleText=16711680\r\n");
  Paint();
  EXPECT_EQ(plain, Background());
  EXPECT_TRUE(TextShows(0xFF0000));
  EXPECT_FALSE(TextShows(0x00FF00));

  // An empty caption sets the text but draws nothing.
  InvalidateRect(host.header, nullptr, TRUE);
  Pump(50);
  ASSERT_EQ(plain, Background());
  SetWindowTextW(viewer, L"no suffix");
  UseSettings("[Colors]\r\nActiveTitle=255\r\nInactiveTitle=255\r\n");
  Paint();
  EXPECT_EQ(plain, Background());
}

TEST_F(HeaderPaintTest, DarkModeTwoWithEmptyKeysTakesTheDarkDefaults) {
  ASSERT_NE(0x202020u, plain);
  UseSettings("[Configuration]\r\nDarkMode=2\r\n[ColorsDark]\r\nActiveTitle=\r\n");
  Paint();
  EXPECT_EQ(0x404040u, Background());
  EXPECT_TRUE(TextShows(0xDCDCDC));
}

TEST_F(HeaderPaintTest, RedirectSectionsMoveOnlyTheirOwnReads) {
  SetEnvironmentVariableW(L"PX_CAPTION_DIR", dir.c_str());
  // Reads of the other group from each redirected file would show: a green background, or
  // a font taller than the header.
  ASSERT_TRUE(WriteFileBytes(dir + L"colors.ini",
                             "[Colors]\r\nActiveTitle=65280\r\nActiveTitleText=16711680\r\n"
                             "[AllResolutions]\r\nFontSizeWindow=30\r\n"));
  UseSettings(
      "[Colors]\r\nRedirectSection=%PX_CAPTION_DIR%colors.ini\r\nActiveTitle=255\r\n"
      "InactiveTitle=1\r\n");
  Paint();
  EXPECT_EQ(0x00FF00u, Background());
  EXPECT_TRUE(TextShows(0xFF0000));
  EXPECT_FALSE(TallFont());

  ASSERT_TRUE(
      WriteFileBytes(dir + L"fonts.ini", "[AllResolutions]\r\nFontSizeWindow=16\r\n[Colors]\r\nActiveTitle=65280\r\n"));
  UseSettings(
      "[Colors]\r\nActiveTitle=255\r\nInactiveTitle=1\r\n"
      "[AllResolutions]\r\nRedirectSection=%PX_CAPTION_DIR%fonts.ini\r\nFontSizeWindow=8\r\n");
  Paint();
  EXPECT_EQ(0x0000FFu, Background());
  EXPECT_TRUE(TallFont());
  SetEnvironmentVariableW(L"PX_CAPTION_DIR", nullptr);
}

// The system's light-theme preference, set for a test and put back as it was.
struct LightThemePreference {
  HKEY key = nullptr;
  bool created = false, existed = false;
  DWORD type = 0, size = sizeof data;
  BYTE data[64] = {};
  LightThemePreference() {
    DWORD disposition = 0;
    RegCreateKeyExW(HKEY_CURRENT_USER, kPersonalize, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition);
    created = disposition == REG_CREATED_NEW_KEY;
    existed = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type, data, &size) == ERROR_SUCCESS;
  }
  ~LightThemePreference() {
    if (existed)
      RegSetValueExW(key, L"AppsUseLightTheme", 0, type, data, size);
    else
      RegDeleteValueW(key, L"AppsUseLightTheme");
    RegCloseKey(key);
    if (created) RegDeleteKeyW(HKEY_CURRENT_USER, kPersonalize);
  }
  void Set(DWORD value) { RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_DWORD, (const BYTE*)&value, 4); }
  void SetWide() {
    ULONGLONG value = 0;
    RegSetValueExW(key, L"AppsUseLightTheme", 0, REG_QWORD, (const BYTE*)&value, 8);
  }
  void Remove() { RegDeleteValueW(key, L"AppsUseLightTheme"); }
};

TEST_F(HeaderPaintTest, DarkModeOneFollowsTheSystemsLightThemePreference) {
  LightThemePreference preference;
  ASSERT_NE(nullptr, preference.key);
  UseSettings(
      "[Configuration]\r\nDarkMode=1\r\n[Colors]\r\nActiveTitle=255\r\nInactiveTitle=1\r\n"
      "[ColorsDark]\r\nActiveTitle=65280\r\nInactiveTitle=1\r\n");
  preference.Set(1);
  Paint();
  EXPECT_EQ(0x0000FFu, Background()) << "light";
  preference.Set(0);
  Paint();
  EXPECT_EQ(0x00FF00u, Background()) << "dark";
  // Another value names no section: the system's colours, not the dark defaults.
  preference.Set(2);
  Paint();
  COLORREF system = plain == GetSysColor(COLOR_INACTIVECAPTION) ? GetSysColor(COLOR_INACTIVECAPTION)
                                                                : GetSysColor(COLOR_ACTIVECAPTION);
  EXPECT_EQ(system, Background()) << "other";
  // A preference that cannot be read as 32 bits counts as light.
  preference.Remove();
  Paint();
  EXPECT_EQ(0x0000FFu, Background()) << "missing";
  preference.SetWide();
  Paint();
  EXPECT_EQ(0x0000FFu, Background()) << "64-bit value";
}

TEST_F(HeaderPaintTest, WithoutHostSettingsTheSystemColoursAndDefaultFontAreUsed) {
  const bool inactive = plain == GetSysColor(COLOR_INACTIVECAPTION);
  Paint();
  EXPECT_EQ(GetSysColor(inactive ? COLOR_INACTIVECAPTION : COLOR_ACTIVECAPTION), Background());
  EXPECT_TRUE(TextShows(GetSysColor(inactive ? COLOR_INACTIVECAPTIONTEXT : COLOR_CAPTIONTEXT)));
  EXPECT_FALSE(TallFont());
}

}  // namespace
