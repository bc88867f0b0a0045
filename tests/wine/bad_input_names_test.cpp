// Bad input: file names over-long in both of the host's entries, and names with
// characters outside the Basic Multilingual Plane.
#include "bad_input.h"

namespace {

using namespace bad_input;

// A file of exactly the given length in units, in nested folders below base.
std::wstring FileOfLength(const std::wstring& base, size_t units) {
  std::wstring dir = MakeFolderOfLength(base, units - 9);
  std::wstring path = dir + L"image.bmp";
  if (dir.empty() || !WriteSampleBmp(path, 8, 8, RGB(1, 2, 3))) return L"";
  return path;
}

TEST_F(BadInput, LongFileNamesLoadWholeOrNotAtAll) {
  LoadW(image);  // the first load creates pixmorant.ini; from here on nothing is written
  const std::vector<size_t> lengths = {259, 260, 300, 600, 2000};
  std::vector<std::wstring> names;
  for (size_t units : lengths) {
    names.push_back(FileOfLength(root + L"w" + std::to_wstring(units) + L"\\", units));
    ASSERT_EQ(units, names.back().size());
  }
  Snapshot();
  for (size_t n = 0; n < lengths.size(); ++n) {
    size_t units = lengths[n];
    const std::wstring& name = names[n];
    std::string result = LoadW(name);
    // A name that fits the command line reaches the viewer whole; a longer one is refused.
    EXPECT_EQ(units <= 500 ? kWindow : kNull, result) << units;
    if (units <= 500) {
      EXPECT_TRUE(ViewerLogHas("file=" + Utf8(name))) << units;
    }
    Row("ListLoadW, name of " + std::to_string(units) + " units", result);

    std::string narrow = Utf8(name);  // ASCII: as many bytes as units
    result = Load([&](Plugin& p, HWND lister) { return p.ListLoad(lister, &narrow[0], 0); });
    EXPECT_EQ(units <= 259 ? kWindow : kNull, result) << units;
    Row("ListLoad, 8-bit name of " + std::to_string(units) + " bytes", result);
  }
  EXPECT_EQ("", Unexpected());
  PrintTable("file names", rows);
}

TEST_F(BadInput, NamesOutsideTheBasicPlaneReachTheViewerAndTheCaption) {
  std::wstring name = root + L"\U0001F600 smile \U0001D11E.bmp";
  ASSERT_TRUE(WriteSampleBmp(name, 16, 16, RGB(9, 9, 9)));
  Snapshot();
  Plugin plugin(pluginDir + L"Pixmorant.wlx64");
  HWND lister = host.NewLister(false);
  HWND container = plugin.ListLoadW(lister, name.c_str(), 0);
  ASSERT_NE(nullptr, container);
  MoveWindow(container, 0, 0, 300, 200, TRUE);  // as the host sizes it: the caption follows
  EXPECT_TRUE(WaitViewerLog("file=" + Utf8(name), 3000)) << ViewerLog();
  EXPECT_TRUE(WaitFor([&] { return TitleOf(lister) == L"Lister (pixmorant) - [" + name + L"]"; }, 3000))
      << Utf8(TitleOf(lister));
  plugin.ListCloseWindow(container);
  DestroyWindow(lister);
  Row("ListLoadW, name with U+1F600 and U+1D11E, Lister", kWindow);
  Row("ListLoadW, same name, Quick View", LoadW(name, true));
  EXPECT_EQ(kWindow, rows.back().result);
  EXPECT_EQ(0u, openHeader.find(L"\U0001F600 smile \U0001D11E.bmp - pixmorant")) << Utf8(openHeader);
  EXPECT_EQ("", Unexpected({L"plugin\\pixmorant.ini"}));
  PrintTable("names outside the BMP", rows);
}

}  // namespace
