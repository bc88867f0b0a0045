// The viewer's INI_Folder value, as any text: the redirected viewer settings file of
// either viewer kind.
// Input: 1 byte viewer kind, then the INI_Folder value.
#include "config/config_rules.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ViewerKind kind = fuzz::Take<std::uint8_t>(data, size) % 2 ? ViewerKind::Bits64 : ViewerKind::Bits32;
  const std::u16string iniFolder = fuzz::Terminated(fuzz::Units(data, size));
  const fuzz::HeapText heapFolder(iniFolder);

  const config::GhostscriptChoice choice = config::GhostscriptChoiceFor(kind);
  const bool bits64 = kind == ViewerKind::Bits64;
  FUZZ_CHECK(std::u16string(choice.key) == (bits64 ? u"path64" : u"path"));
  FUZZ_CHECK(std::u16string(choice.settingsName) == (bits64 ? u"px_run64.ini" : u"px_run32.ini"));

  // One backslash always, even after one the folder ends with; the whole path or nothing.
  fuzz::Guarded<text16::kUnits> target;
  const bool fits = config::ComposeRedirectedTarget(heapFolder.get(), choice.settingsName, target.text);
  const std::u16string whole = iniFolder + u"\\" + choice.settingsName;
  FUZZ_CHECK(fits == (whole.size() <= text16::kUnits - 1));
  FUZZ_CHECK(fits == (iniFolder.size() <= 246));
  fuzz::CheckBuffer(target, fits ? whole : u"");
  return 0;
}
