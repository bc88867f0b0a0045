#include "plugin/detect_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kExtensions[] = {
    "ACR",  "ANI", "AVIF", "ARW",  "AWD",  "B3D",  "BMP", "CAM", "CDR", "CIN",  "CLP",  "CR2",  "CR3",  "CRW",  "CUR",
    "DCM",  "DDS", "DCR",  "DCX",  "DIB",  "DJVU", "DNG", "DPX", "ECW", "EMF",  "ERF",  "EXR",  "FIT",  "FITS", "FPX",
    "G3",   "GIF", "HDP",  "HEIC", "ICO",  "ICS",  "IFF", "IMA", "IMG", "IW44", "J2K",  "JFIF", "JP2",  "JPC",  "JPE",
    "JPEG", "JPF", "JPG",  "JPM",  "JLS",  "JNG",  "JXL", "JXR", "KDC", "LBM",  "MNG",  "MOS",  "MPO",  "MRC",  "MRW",
    "MSK",  "NEF", "NRW",  "OFR",  "QOI",  "PBM",  "PCD", "PCX", "PDN", "PEF",  "PGM",  "PNG",  "PPM",  "PSB",  "PSD",
    "PSP",  "RAF", "RAS",  "RAW",  "RGB",  "RLE",  "RW2", "RWL", "SFF", "SFW",  "SGI",  "SID",  "SRF",  "SRW",  "SUN",
    "SVG",  "SWF", "TGA",  "TIF",  "TIFF", "WAD",  "WAL", "WB1", "WBC", "WBZ",  "WBMP", "WDP",  "WEBP", "WMF",  "WPG",
    "WSQ",  "X3F", "XBM",  "XCF",  "XPM",  "XR",   "EPS", "PFB", "PRN", "PS"};

TEST(DetectString, IsTheListedItemsInOrder) {
  std::string expected = "MULTIMEDIA & (";
  for (size_t i = 0; i < sizeof kExtensions / sizeof *kExtensions; ++i)
    expected += std::string(i ? "|" : "") + "EXT=\"" + kExtensions[i] + "\"";
  expected += ")";
  EXPECT_EQ(115u, sizeof kExtensions / sizeof *kExtensions);
  EXPECT_EQ(expected, detect::kDetectString);
  EXPECT_EQ(1171u, std::strlen(detect::kDetectString));
}

TEST(DetectString, HasTwoBlanksBothInThePrefix) {
  std::string text = detect::kDetectString;
  std::vector<size_t> blanks;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == ' ') blanks.push_back(i);
  EXPECT_EQ((std::vector<size_t>{10, 12}), blanks);
}

TEST(DetectString, BufferOfExactSizeReceivesItWhole) {
  std::vector<char> buffer(1172, 'x');
  detect::CopyDetectString(buffer.data(), 1172);
  EXPECT_STREQ(detect::kDetectString, buffer.data());
}

TEST(DetectString, BufferOneByteShortReceivesTheEmptyStringAndNoMore) {
  std::vector<char> buffer(1172, 'x');
  detect::CopyDetectString(buffer.data(), 1171);
  EXPECT_EQ('\0', buffer[0]);
  EXPECT_EQ('x', buffer[1171]);  // nothing written past the given size
  detect::CopyDetectString(buffer.data(), 1);
  EXPECT_EQ('\0', buffer[0]);
}

TEST(DetectString, NullBufferOrNoSizeIsLeftAlone) {
  detect::CopyDetectString(nullptr, 2000);
  char buffer[4] = {'a', 'b', 'c', 0};
  detect::CopyDetectString(buffer, 0);
  detect::CopyDetectString(buffer, -5);
  EXPECT_STREQ("abc", buffer);
}

}  // namespace
