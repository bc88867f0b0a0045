#include "config/config_rules.h"
#include "shared/environment.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using std::u16string;

u16string Units(std::size_t n, char16_t unit = u'a') { return u16string(n, unit); }

// A folder of exactly n units, ending with its backslash.
u16string FolderOf(std::size_t n) { return u"C:\\" + Units(n - 4) + u"\\"; }

TEST(PluginFolder, IsTheModulePathUpToItsLastBackslash) {
  char16_t folder[text16::kUnits];
  ASSERT_TRUE(config::PluginFolderOf(u"D:\\Apps\\plugins\\img\\plugin.wlx64", folder));
  EXPECT_EQ(u"D:\\Apps\\plugins\\img\\", u16string(folder));
  ASSERT_TRUE(config::PluginFolderOf(u"plugin.wlx64", folder));
  EXPECT_EQ(u"plugin.wlx64\\", u16string(folder));

  u16string longest = u"C:\\" + Units(256);  // 259 units, the most the module path holds
  EXPECT_TRUE(config::PluginFolderOf(longest.c_str(), folder));
  EXPECT_EQ(u"C:\\", u16string(folder));
  // Without a backslash the appended one would not fit; a path of 260 units was cut.
  EXPECT_FALSE(config::PluginFolderOf(Units(259).c_str(), folder));
  EXPECT_EQ(0, folder[0]);
  EXPECT_TRUE(config::PluginFolderOf(Units(258).c_str(), folder));
  EXPECT_FALSE(config::PluginFolderOf((u"C:\\" + Units(257)).c_str(), folder));
}

TEST(FolderPaths, AreTheFolderAndTheirLiteral) {
  config::FolderPaths paths;
  ASSERT_TRUE(config::ComposeFolderPaths(u"D:\\Apps\\plugins\\img\\", &paths));
  EXPECT_EQ(u"D:\\Apps\\plugins\\img\\pixmorant.ini", u16string(paths.settingsFile));
  EXPECT_EQ(u"D:\\Apps\\plugins\\img\\Pixmorant\\", u16string(paths.viewerSettingsFolder));
  EXPECT_EQ(u"D:\\Apps\\plugins\\img\\Pixmorant64\\px_run64.exe", u16string(paths.defaultViewer));
}

TEST(FolderPaths, FitWhileTheFolderHasAtMost235Units) {
  config::FolderPaths paths;
  ASSERT_TRUE(config::ComposeFolderPaths(FolderOf(235).c_str(), &paths));
  EXPECT_EQ(259u, text16::Length(paths.defaultViewer));
  EXPECT_FALSE(config::ComposeFolderPaths(FolderOf(236).c_str(), &paths));
  EXPECT_EQ(0, paths.settingsFile[0]);
  EXPECT_EQ(0, paths.viewerSettingsFolder[0]);
  EXPECT_EQ(0, paths.defaultViewer[0]);
}

TEST(NameList, FindsAWholeNameOnlyAndStopsAtTheEndOrTheCapacity) {
  const char16_t list[] = u"Pixmorant\0Ghostscript\0\0Hidden\0";
  EXPECT_TRUE(config::NameListHolds(list, 30, u"Pixmorant"));
  EXPECT_TRUE(config::NameListHolds(list, 30, u"Ghostscript"));
  EXPECT_FALSE(config::NameListHolds(list, 30, u"Ghost"));
  EXPECT_FALSE(config::NameListHolds(list, 30, u"Pixmorant64"));
  EXPECT_FALSE(config::NameListHolds(list, 30, u"Hidden"));
  EXPECT_FALSE(config::NameListHolds(list, 15, u"Ghostscript"));  // cut by the capacity
  const char16_t full[4] = {u'a', u'b', u'c', u'd'};              // no terminator at all
  EXPECT_FALSE(config::NameListHolds(full, 4, u"abcd"));
  EXPECT_FALSE(config::NameListHolds(u"", 1, u""));
}

TEST(Messages, NameTheBareFilesExactly) {
  char16_t text[text16::kUnits];
  config::CannotCreateMessage(text, text16::kUnits);
  EXPECT_EQ(
      u"I can't create a file pixmorant.ini. Default paths will be used  Pixmorant\\px_run32.exe, "
      u"Pixmorant64\\px_run64.exe",
      u16string(text));
  config::NotFoundMessage(text, text16::kUnits, u"C:\\v\\px_run64.exe");
  EXPECT_EQ(u"I can't find the C:\\v\\px_run64.exe in the path specified in the file pixmorant.ini", u16string(text));
  config::NotFoundMessage(text, text16::kUnits, u"");
  EXPECT_EQ(u"I can't find the  in the path specified in the file pixmorant.ini", u16string(text));
}

TEST(Messages, NotFoundHoldsAPathOf194UnitsWholeAndCutsALongerOne) {
  char16_t text[text16::kUnits + 8];
  for (auto& unit : text) unit = u'#';
  config::NotFoundMessage(text, text16::kUnits, Units(194, u'p').c_str());
  EXPECT_EQ(259u, text16::Length(text));
  EXPECT_EQ(u16string(u"pixmorant.ini"), u16string(text + 246));

  config::NotFoundMessage(text, text16::kUnits, Units(400, u'p').c_str());
  EXPECT_EQ(259u, text16::Length(text));
  EXPECT_EQ(u'#', text[text16::kUnits]);  // nothing past the buffer
}

TEST(ViewerKind, IsThirtyTwoBitOnlyForTypeZero) {
  EXPECT_EQ(ViewerKind::Bits32, config::KindOfBinaryType(0));
  for (std::uint32_t type : {1u, 2u, 3u, 4u, 5u, 6u}) EXPECT_EQ(ViewerKind::Bits64, config::KindOfBinaryType(type));
}

TEST(ReadLimits, AValueOrExpansionFillingItsBufferDoesNotFit) {
  EXPECT_TRUE(config::ValueFits(259));
  EXPECT_FALSE(config::ValueFits(260));
  EXPECT_TRUE(env::ExpansionFits(1, 260));  // the empty text
  EXPECT_TRUE(env::ExpansionFits(260, 260));
  EXPECT_FALSE(env::ExpansionFits(261, 260));
  EXPECT_FALSE(env::ExpansionFits(0, 260));
}

TEST(Ghostscript, KeyAndSettingsFileFollowTheKind) {
  EXPECT_EQ(u"path", u16string(config::GhostscriptChoiceFor(ViewerKind::Bits32).key));
  EXPECT_EQ(u"px_run32.ini", u16string(config::GhostscriptChoiceFor(ViewerKind::Bits32).settingsName));
  EXPECT_EQ(u"path64", u16string(config::GhostscriptChoiceFor(ViewerKind::Bits64).key));
  EXPECT_EQ(u"px_run64.ini", u16string(config::GhostscriptChoiceFor(ViewerKind::Bits64).settingsName));
}

TEST(Ghostscript, RedirectionAppendsOneBackslashAlwaysAndFitsUpTo246Units) {
  char16_t target[text16::kUnits];
  ASSERT_TRUE(config::ComposeRedirectedTarget(u"%APPDATA%\\Viewer", u"px_run32.ini", target));
  EXPECT_EQ(u"%APPDATA%\\Viewer\\px_run32.ini", u16string(target));
  ASSERT_TRUE(config::ComposeRedirectedTarget(u"D:\\cfg\\", u"px_run64.ini", target));
  EXPECT_EQ(u"D:\\cfg\\\\px_run64.ini", u16string(target));
  EXPECT_TRUE(config::ComposeRedirectedTarget(Units(246).c_str(), u"px_run64.ini", target));
  EXPECT_FALSE(config::ComposeRedirectedTarget(Units(247).c_str(), u"px_run64.ini", target));
  EXPECT_EQ(0, target[0]);
}

u16string GsLibText(const u16string& path, bool* fits = nullptr) {
  static char16_t text[config::kGsLibUnits];
  bool ok = config::GsLibOf(path.c_str(), text);
  if (fits) *fits = ok;
  return text;
}

TEST(GsLib, WorkedExamples) {
  EXPECT_EQ(u"C:\\gs\\gs10.02\\bin\\;C:\\gs\\gs10.02\\fonts\\;C:\\gs\\gs10.02\\lib\\",
            GsLibText(u"C:\\gs\\gs10.02\\bin\\gsdll64.dll"));
  EXPECT_EQ(u"C:\\;C:\\fonts\\;C:\\lib\\", GsLibText(u"C:\\gsdll64.dll"));
  EXPECT_EQ(u"gsdll64.dll\\;gsdll64.dll\\fonts\\;gsdll64.dll\\lib\\", GsLibText(u"gsdll64.dll"));
  EXPECT_EQ(u"C:\\gs\\bin\\;C:\\gs\\fonts\\;C:\\gs\\lib\\", GsLibText(u"C:\\gs\\bin\\"));
  EXPECT_EQ(u"%GS%\\bin\\;%GS%\\fonts\\;%GS%\\lib\\", GsLibText(u"%GS%\\bin\\gs.dll"));
}

TEST(GsLib, FitsWhileTheFolderParentHasAtMost251Units) {
  bool fits = false;
  u16string parent = u"C:\\" + Units(248);  // 251 units
  u16string result = GsLibText(parent + u"\\b\\g", &fits);
  EXPECT_TRUE(fits);
  EXPECT_EQ(parent + u"\\b\\;" + parent + u"\\fonts\\;" + parent + u"\\lib\\", result);
  EXPECT_EQ(u"", GsLibText(parent + u"a\\b\\g", &fits));
  EXPECT_FALSE(fits);
  // A path of 259 units is taken, a longer one (it could only be a cut one) is not.
  GsLibText(u"C:\\" + Units(256), &fits);
  EXPECT_TRUE(fits);
  EXPECT_EQ(u"", GsLibText(u"C:\\" + Units(257), &fits));
  EXPECT_FALSE(fits);
}

TEST(HideOption, OneOptionPerRowOfBars) {
  EXPECT_EQ(u"", u16string(config::HideOption(u"1", u"1")));
  EXPECT_EQ(u"/hide=1", u16string(config::HideOption(u"", u"1")));
  EXPECT_EQ(u"/hide=2", u16string(config::HideOption(u"1", u"")));
  EXPECT_EQ(u"/hide=3", u16string(config::HideOption(u"", u"")));
}

TEST(HideOption, ABarIsOnWhenItsValueHoldsAOneAnywhere) {
  for (const char16_t* on : {u"1", u"10", u"21", u"-1", u"a1b"}) {
    EXPECT_EQ(u"", u16string(config::HideOption(on, on))) << u16string(on).size();
    EXPECT_EQ(u"/hide=1", u16string(config::HideOption(u"0", on)));
  }
  for (const char16_t* off : {u"", u"0", u"2", u"yes", u"on", u"true"})
    EXPECT_EQ(u"/hide=3", u16string(config::HideOption(off, off)));
}

TEST(BarKeys, EachModeUsesItsOwnPair) {
  config::BarKeys lister = config::BarKeysFor(ViewMode::Lister);
  EXPECT_EQ(u"toolbarl", u16string(config::kBarKeys[lister.toolbar]));
  EXPECT_EQ(u"statusbarl", u16string(config::kBarKeys[lister.statusBar]));
  config::BarKeys quick = config::BarKeysFor(ViewMode::QuickView);
  EXPECT_EQ(u"toolbarq", u16string(config::kBarKeys[quick.toolbar]));
  EXPECT_EQ(u"statusbarq", u16string(config::kBarKeys[quick.statusBar]));
}

TEST(CommandLine, QuotesTheNameBetweenBlanks) {
  char16_t line[kCommandLineUnits];
  ASSERT_TRUE(config::ComposeCommandLine(u"C:\\pics\\a b.jpg", u"/hide=3", line));
  EXPECT_EQ(u" \"C:\\pics\\a b.jpg\" /hide=3", u16string(line));
  ASSERT_TRUE(config::ComposeCommandLine(u"C:\\pics\\a b.jpg", u"", line));
  EXPECT_EQ(u" \"C:\\pics\\a b.jpg\" ", u16string(line));
}

TEST(CommandLine, HoldsANameOf500UnitsWithAnOptionAnd507Without) {
  char16_t line[kCommandLineUnits];
  EXPECT_TRUE(config::ComposeCommandLine(Units(500).c_str(), u"/hide=3", line));
  EXPECT_EQ(511u, text16::Length(line));
  EXPECT_FALSE(config::ComposeCommandLine(Units(501).c_str(), u"/hide=3", line));
  EXPECT_EQ(0, line[0]);
  EXPECT_TRUE(config::ComposeCommandLine(Units(507).c_str(), u"", line));
  EXPECT_FALSE(config::ComposeCommandLine(Units(508).c_str(), u"", line));
}

}  // namespace
