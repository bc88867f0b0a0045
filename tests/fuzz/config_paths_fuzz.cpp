// The module path and the texts composed from it, as any texts: the plug-in folder, the
// three paths beside it, and the two messages cut to their buffer.
// Input: 2 bytes message capacity, then module path, NUL, another folder, NUL, viewer path.
#include "config/config_rules.h"
#include "fuzz_support.h"

namespace {

using fuzz::CheckBuffer;
using fuzz::Guarded;

constexpr std::size_t kMax = text16::kUnits - 1;

// Up to and including the last backslash, or the whole path and one appended; empty when
// the path or the folder exceeds 259 units.
std::u16string ReferenceFolder(const std::u16string& modulePath) {
  if (modulePath.size() > kMax) return u"";
  std::size_t last = modulePath.rfind(u'\\');
  std::u16string folder = (last == std::u16string::npos ? modulePath : modulePath.substr(0, last)) + u"\\";
  return folder.size() > kMax ? u"" : folder;
}

struct GuardedPaths {
  config::FolderPaths paths;
  Guarded<1> after;  // guard units behind the last path
};

void CheckPaths(const std::u16string& folder) {
  const fuzz::HeapText heapFolder(folder);
  GuardedPaths guarded;
  for (char16_t* buffer : {guarded.paths.settingsFile, guarded.paths.viewerSettingsFolder, guarded.paths.defaultViewer})
    for (std::size_t i = 0; i < text16::kUnits; ++i) buffer[i] = fuzz::kFill;
  const bool fits = config::ComposeFolderPaths(heapFolder.get(), &guarded.paths);
  // The longest, the default viewer, decides.
  const bool expectedFits = folder.size() + 24 <= kMax;
  FUZZ_CHECK(fits == expectedFits);
  FUZZ_CHECK(guarded.after.GuardIntact());
  const std::u16string expected[3] = {folder + u"pixmorant.ini", folder + u"Pixmorant\\",
                                      folder + u"Pixmorant64\\px_run64.exe"};
  const char16_t* buffers[3] = {guarded.paths.settingsFile, guarded.paths.viewerSettingsFolder,
                                guarded.paths.defaultViewer};
  for (int i = 0; i < 3; ++i) {
    FUZZ_CHECK(std::u16string(buffers[i]) == (fits ? expected[i] : u""));
    for (std::size_t k = std::u16string(buffers[i]).size(); k < text16::kUnits; ++k) FUZZ_CHECK(buffers[i][k] == 0);
  }
}

// A message of capacity units from the heap: the full text cut to capacity - 1 units.
template <class Compose>
void CheckMessage(std::size_t capacity, const std::u16string& full, Compose compose) {
  std::unique_ptr<char16_t[]> buffer(new char16_t[capacity]);
  for (std::size_t i = 0; i < capacity; ++i) buffer[i] = fuzz::kFill;
  compose(buffer.get(), capacity);
  const std::u16string shown = full.substr(0, capacity - 1);
  FUZZ_CHECK(buffer[shown.size()] == 0);
  FUZZ_CHECK(std::u16string(buffer.get()) == shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Messages live in buffers of at least one unit; 1 to 1024 covers cuts anywhere.
  const std::size_t capacity = 1 + fuzz::Take<std::uint16_t>(data, size) % 1024;
  const auto fields = fuzz::Fields(fuzz::Units(data, size), 3);
  const fuzz::HeapText modulePath(fields[0]), viewerPath(fields[2]);

  Guarded<text16::kUnits> folder;
  const bool found = config::PluginFolderOf(modulePath.get(), folder.text);
  const std::u16string expectedFolder = ReferenceFolder(fields[0]);
  CheckBuffer(folder, expectedFolder);
  FUZZ_CHECK(found == !expectedFolder.empty());

  CheckPaths(expectedFolder);
  CheckPaths(fields[1]);

  CheckMessage(capacity, u"I can't find the " + fields[2] + u" in the path specified in the file pixmorant.ini",
               [&](char16_t* buffer, std::size_t units) { config::NotFoundMessage(buffer, units, viewerPath.get()); });
  CheckMessage(capacity,
               u"I can't create a file pixmorant.ini. Default paths will be used  Pixmorant\\px_run32.exe, "
               u"Pixmorant64\\px_run64.exe",
               [](char16_t* buffer, std::size_t units) { config::CannotCreateMessage(buffer, units); });
  return 0;
}
