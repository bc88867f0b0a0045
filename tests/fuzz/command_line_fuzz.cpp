// The bar settings and the file name, as any texts: the flag test, the option it selects,
// and the viewer's command line; the Maximized flag and the last show's target.
// Input: toolbar value, NUL, status-bar value, NUL, file name.
#include "config/config_rules.h"
#include "embed/embed_rules.h"
#include "fuzz_support.h"

namespace {

bool ReferenceFlag(const std::u16string& value) { return value.find(u'1') != std::u16string::npos; }

std::u16string ReferenceOption(bool toolbar, bool statusBar) {
  if (toolbar && statusBar) return u"";
  if (statusBar) return u"/hide=1";
  if (toolbar) return u"/hide=2";
  return u"/hide=3";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = fuzz::Fields(fuzz::Units(data, size), 3);
  const fuzz::HeapText toolbar(fields[0]), statusBar(fields[1]), fileName(fields[2]);

  const bool toolbarOn = ReferenceFlag(fields[0]);
  const bool statusBarOn = ReferenceFlag(fields[1]);
  FUZZ_CHECK(IsFlagOn(toolbar.get()) == toolbarOn);
  FUZZ_CHECK(IsFlagOn(statusBar.get()) == statusBarOn);

  const std::u16string option = config::HideOption(toolbar.get(), statusBar.get());
  FUZZ_CHECK(option == ReferenceOption(toolbarOn, statusBarOn));

  // The toolbar value stands in for [Lister] Maximized.
  for (ViewMode mode : {ViewMode::Lister, ViewMode::QuickView}) {
    auto expected =
        toolbarOn && mode == ViewMode::Lister ? embed::ShowTarget::ViewerWindow : embed::ShowTarget::ListerWindow;
    FUZZ_CHECK(embed::ChooseShowTarget(toolbar.get(), mode) == expected);
  }

  // The command line with the chosen option and with none: the whole line or nothing.
  for (const std::u16string& withOption : {option, std::u16string()}) {
    const fuzz::HeapText heapOption(withOption);
    fuzz::Guarded<kCommandLineUnits> line;
    bool fits = config::ComposeCommandLine(fileName.get(), heapOption.get(), line.text);
    std::u16string whole = u" \"" + fields[2] + u"\" " + withOption;
    bool wholeFits = whole.size() <= kCommandLineUnits - 1;
    FUZZ_CHECK(fits == wholeFits);
    fuzz::CheckBuffer(line, wholeFits ? whole : u"");
  }
  return 0;
}
