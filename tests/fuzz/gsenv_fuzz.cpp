// A Ghostscript library path, as any text: the GS_LIB search path built from it.
#include "config/config_rules.h"
#include "fuzz_support.h"

namespace {

std::u16string CutAtLastBackslash(const std::u16string& text) {
  std::size_t last = text.rfind(u'\\');
  return last == std::u16string::npos ? text : text.substr(0, last);
}

// The folder, then fonts and lib beside it; empty when a part exceeds 259 units.
std::u16string ReferenceGsLib(const std::u16string& path) {
  if (path.size() > text16::kUnits - 1) return u"";
  std::u16string folder = CutAtLastBackslash(path);
  std::u16string fonts = CutAtLastBackslash(folder) + u"\\fonts\\;";
  std::u16string lib = CutAtLastBackslash(folder) + u"\\lib\\";
  if (fonts.size() > text16::kUnits - 1 || lib.size() > text16::kUnits - 1) return u"";
  return folder + u"\\;" + fonts + lib;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string path = fuzz::Terminated(fuzz::Units(data, size));
  const fuzz::HeapText heapPath(path);

  fuzz::Guarded<config::kGsLibUnits> gsLib;
  bool fits = config::GsLibOf(heapPath.get(), gsLib.text);
  const std::u16string expected = ReferenceGsLib(path);
  fuzz::CheckBuffer(gsLib, expected);
  FUZZ_CHECK(fits == !expected.empty());

  fuzz::Guarded<text16::kUnits> part;
  FUZZ_CHECK(config::CutAtLastBackslash(heapPath.get(), part.text) == (path.size() < text16::kUnits));
  fuzz::CheckBuffer(part, path.size() < text16::kUnits ? CutAtLastBackslash(path) : u"");
  return 0;
}
