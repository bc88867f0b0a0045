// Bad input: the host's own settings file (COMMANDER_INI) missing, misplaced, too long,
// or holding colours and fonts of every odd kind.
#include "bad_input.h"

namespace {

using namespace bad_input;

TEST_F(BadInput, HostSettingsOfEveryOddKind) {
  LoadW(image);
  std::wstring hostDir = root + L"host\\";
  CreateDirectoryW(hostDir.c_str(), nullptr);
  std::wstring hostIni = hostDir + L"wincmd.ini";
  std::string digits259(259, '9');
  std::string face300(300, 'F');
  struct Case {
    std::string input;
    std::wstring variable;  // COMMANDER_INI; empty: unset
    std::string contents;   // written to hostIni first, when non-empty
  };
  const std::wstring longName = hostDir + Units(300 - hostDir.size() - 4) + L".ini";
  const std::vector<Case> cases = {
      {"COMMANDER_INI unset", L"", ""},
      {"COMMANDER_INI naming a missing file", hostDir + L"missing.ini", ""},
      {"COMMANDER_INI naming a folder", hostDir, ""},
      {"COMMANDER_INI of 300 units", longName, ""},
      {"DarkMode=1, colours -1, 2^70, letters, ' 12'", hostIni,
       "[Configuration]\r\nDarkMode=1\r\n[Colors]\r\nActiveTitle=-1\r\nActiveTitleText=99999999999999999999999\r\n"
       "InactiveTitle=abc\r\nInactiveTitleText= 12\r\n[Lister]\r\nMaximized=1\r\n"},
      {"DarkMode=2, empty colours, size 0, weight -1, face of 31", hostIni,
       "[Configuration]\r\nDarkMode=2\r\n[ColorsDark]\r\nActiveTitle=\r\n[AllResolutions]\r\nFontSizeWindow=0\r\n"
       "FontWeightWindow=-1\r\nFontNameWindow=" +
           std::string(31, 'f') + "\r\n"},
      {"DarkMode=3, size 2^31-1, weight 10^8, face of 32", hostIni,
       "[Configuration]\r\nDarkMode=3\r\nUseNewDefFont=1\r\n[AllResolutions]\r\nFontSizeWindow=2147483647\r\n"
       "FontWeightWindow=100000000\r\nFontNameWindow=" +
           std::string(32, 'f') + "\r\n"},
      {"size -2^31, colours of 259 digits, face of 300", hostIni,
       "[Colors]\r\nActiveTitle=" + digits259 + "\r\nInactiveTitle=-" + digits259 +
           "\r\n[AllResolutions]\r\nFontSizeWindow=-2147483648\r\nFontNameWindow=" + face300 + "\r\n"},
      {"RedirectSection: missing file, a folder", hostIni,
       "[Colors]\r\nRedirectSection=" + Utf8(hostDir) +
           "none.ini\r\n[AllResolutions]\r\nRedirectSection=" + Utf8(hostDir) + "\r\n"},
      {"RedirectSection: undefined %NAME%, 300 units", hostIni,
       "[Colors]\r\nRedirectSection=%PX_UNDEFINED%\\x.ini\r\n[AllResolutions]\r\nRedirectSection=" + Utf8(longName) +
           "\r\n"},
      {"RedirectSection back to the settings file itself", hostIni,
       "[Colors]\r\nRedirectSection=" + Utf8(hostIni) +
           "\r\nActiveTitle=255\r\n[AllResolutions]\r\n"
           "RedirectSection=" +
           Utf8(hostIni) + "\r\n"},
      {"host settings of binary garbage", hostIni, std::string("\xFF\xFE[\0C\0o\0", 8) + std::string(3000, '\x81')},
  };
  for (const Case& c : cases) {
    if (!c.contents.empty()) {
      ASSERT_TRUE(WriteFileBytes(hostIni, c.contents));
    }
    SetEnvironmentVariableW(L"COMMANDER_INI", c.variable.empty() ? nullptr : c.variable.c_str());
    Snapshot();
    std::string lister = LoadW(image, false);
    SetWindowTextW(host.header, L"");
    std::string quick = LoadW(image, true);
    EXPECT_EQ(kWindow, lister) << c.input;
    EXPECT_EQ(kWindow, quick) << c.input;
    // The header was written and painted in this process (the container's caption calls).
    EXPECT_EQ(0u, openHeader.find(L"red.bmp - pixmorant")) << c.input;
    EXPECT_EQ("", Unexpected()) << c.input;  // the host's files are only read
    Row(c.input, "Lister: " + lister + "; Quick View: " + quick);
  }
  PrintTable("host settings", rows);
}

}  // namespace
