// The viewer's command line as the started viewer receives it, from real bar settings.
#include <gtest/gtest.h>

#include "config_support.h"

namespace {

using namespace pxt;
using cfgt::Load;

struct Bars {
  const wchar_t* toolbar;
  const wchar_t* statusBar;
  const char* option;
};
const Bars kRows[] = {{L"1", L"1", ""}, {L"", L"1", "/hide=1"}, {L"1", L"", "/hide=2"}, {L"", L"", "/hide=3"}};

// A plug-in folder with the probe as its viewer and the four bar keys as given.
struct BarFolder {
  BarFolder() { cfgt::InstallDefaultViewer(folder.dir); }
  void Set(const wchar_t* key, const wchar_t* value) {
    cfgt::WriteSetting(folder.Path(L"pixmorant.ini"), L"Pixmorant", key, value);
  }
  PluginFolder folder{false};
};

TEST(CommandLine, EachModeTakesItsOwnBarsAndIgnoresTheOthers) {
  for (bool quickView : {false, true}) {
    for (const Bars& row : kRows) {
      BarFolder setup;
      // The other mode's keys say the opposite of this mode's.
      setup.Set(quickView ? L"toolbarq" : L"toolbarl", row.toolbar);
      setup.Set(quickView ? L"statusbarq" : L"statusbarl", row.statusBar);
      setup.Set(quickView ? L"toolbarl" : L"toolbarq", row.toolbar[0] ? L"" : L"1");
      setup.Set(quickView ? L"statusbarl" : L"statusbarq", row.statusBar[0] ? L"" : L"1");
      Load load(setup.folder.dir, quickView);
      EXPECT_EQ(std::string(" \"C:\\pics\\a b.jpg\" ") + row.option, load.Probed("cmdline"))
          << (quickView ? "Quick View " : "Lister ") << row.option;
    }
  }
}

TEST(CommandLine, WithoutBarKeysBothBarsAreHiddenInBothModes) {
  for (bool quickView : {false, true}) {
    BarFolder setup;
    Load load(setup.folder.dir, quickView);
    EXPECT_EQ(" \"C:\\pics\\a b.jpg\" /hide=3", load.Probed("cmdline"));
  }
}

TEST(CommandLine, ABarIsOnWhenItsValueHoldsAOne) {
  for (const wchar_t* value : {L"10", L"21", L"-1", L"a1b", L"0", L"2", L"yes", L"on", L"true"}) {
    BarFolder setup;
    setup.Set(L"toolbarl", value);
    setup.Set(L"statusbarl", value);
    Load load(setup.folder.dir);
    bool on = wcschr(value, L'1') != nullptr;
    EXPECT_EQ(on ? " \"C:\\pics\\a b.jpg\" " : " \"C:\\pics\\a b.jpg\" /hide=3", load.Probed("cmdline")) << Utf8(value);
  }
}

TEST(CommandLine, ANameTooLongForTheLineEndsTheLoadBeforeAnythingStarts) {
  struct Case {
    size_t units;
    bool barsShown;
    bool fits;
  };
  for (const Case& c :
       {Case{500, false, true}, Case{501, false, false}, Case{507, true, true}, Case{508, true, false}}) {
    BarFolder setup;
    if (c.barsShown) {
      setup.Set(L"toolbarl", L"1");
      setup.Set(L"statusbarl", L"1");
    }
    std::wstring name = L"C:\\" + std::wstring(c.units - 3, L'n');
    Load load(setup.folder.dir, false, name);
    EXPECT_EQ(nullptr, load.result);
    EXPECT_EQ(0, load.messages);
    std::string expected = " \"" + Utf8(name) + "\" " + (c.barsShown ? "" : "/hide=3");
    EXPECT_EQ(c.fits ? expected : "(not started)", load.Probed("cmdline")) << c.units;
    if (!c.fits) {
      EXPECT_FALSE(load.containerLeft);
    }
  }
}

TEST(CommandLine, TheStandInViewerLogsItAsGiven) {
  PluginFolder folder(true);  // the stand-in viewer, told to end right after its first lines
  cfgt::WriteSetting(folder.Path(L"pixmorant.ini"), L"Pixmorant", L"toolbarq", L"1");
  UseViewerLog();
  SetEnvironmentVariableW(L"PX_VIEWER_EXIT", L"1");
  {
    Load load(folder.dir, true);
    EXPECT_EQ(nullptr, load.result);
  }
  SetEnvironmentVariableW(L"PX_VIEWER_EXIT", nullptr);
  EXPECT_TRUE(ViewerLogHas("cmdline= \"C:\\pics\\a b.jpg\" /hide=2")) << ViewerLog();
}

}  // namespace
