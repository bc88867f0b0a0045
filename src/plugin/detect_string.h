// The detect string: for which files the host offers the plug-in, in the host's own
// syntax, and the bounded copy into the host's buffer.
#pragma once
#include <cstdint>

namespace detect {

#define PX_EXT(e) "EXT=\"" e "\""
constexpr char kDetectString[] =
    "MULTIMEDIA & ("
    PX_EXT("ACR") "|" PX_EXT("ANI") "|" PX_EXT("AVIF") "|" PX_EXT("ARW") "|" PX_EXT("AWD") "|"
    PX_EXT("B3D") "|" PX_EXT("BMP") "|" PX_EXT("CAM") "|" PX_EXT("CDR") "|" PX_EXT("CIN") "|"
    PX_EXT("CLP") "|" PX_EXT("CR2") "|" PX_EXT("CR3") "|" PX_EXT("CRW") "|" PX_EXT("CUR") "|"
    PX_EXT("DCM") "|" PX_EXT("DDS") "|" PX_EXT("DCR") "|" PX_EXT("DCX") "|" PX_EXT("DIB") "|"
    PX_EXT("DJVU") "|" PX_EXT("DNG") "|" PX_EXT("DPX") "|" PX_EXT("ECW") "|" PX_EXT("EMF") "|"
    PX_EXT("ERF") "|" PX_EXT("EXR") "|" PX_EXT("FIT") "|" PX_EXT("FITS") "|" PX_EXT("FPX") "|"
    PX_EXT("G3") "|" PX_EXT("GIF") "|" PX_EXT("HDP") "|" PX_EXT("HEIC") "|" PX_EXT("ICO") "|"
    PX_EXT("ICS") "|" PX_EXT("IFF") "|" PX_EXT("IMA") "|" PX_EXT("IMG") "|" PX_EXT("IW44") "|"
    PX_EXT("J2K") "|" PX_EXT("JFIF") "|" PX_EXT("JP2") "|" PX_EXT("JPC") "|" PX_EXT("JPE") "|"
    PX_EXT("JPEG") "|" PX_EXT("JPF") "|" PX_EXT("JPG") "|" PX_EXT("JPM") "|" PX_EXT("JLS") "|"
    PX_EXT("JNG") "|" PX_EXT("JXL") "|" PX_EXT("JXR") "|" PX_EXT("KDC") "|" PX_EXT("LBM") "|"
    PX_EXT("MNG") "|" PX_EXT("MOS") "|" PX_EXT("MPO") "|" PX_EXT("MRC") "|" PX_EXT("MRW") "|"
    PX_EXT("MSK") "|" PX_EXT("NEF") "|" PX_EXT("NRW") "|" PX_EXT("OFR") "|" PX_EXT("QOI") "|"
    PX_EXT("PBM") "|" PX_EXT("PCD") "|" PX_EXT("PCX") "|" PX_EXT("PDN") "|" PX_EXT("PEF") "|"
    PX_EXT("PGM") "|" PX_EXT("PNG") "|" PX_EXT("PPM") "|" PX_EXT("PSB") "|" PX_EXT("PSD") "|"
    PX_EXT("PSP") "|" PX_EXT("RAF") "|" PX_EXT("RAS") "|" PX_EXT("RAW") "|" PX_EXT("RGB") "|"
    PX_EXT("RLE") "|" PX_EXT("RW2") "|" PX_EXT("RWL") "|" PX_EXT("SFF") "|" PX_EXT("SFW") "|"
    PX_EXT("SGI") "|" PX_EXT("SID") "|" PX_EXT("SRF") "|" PX_EXT("SRW") "|" PX_EXT("SUN") "|"
    PX_EXT("SVG") "|" PX_EXT("SWF") "|" PX_EXT("TGA") "|" PX_EXT("TIF") "|" PX_EXT("TIFF") "|"
    PX_EXT("WAD") "|" PX_EXT("WAL") "|" PX_EXT("WB1") "|" PX_EXT("WBC") "|" PX_EXT("WBZ") "|"
    PX_EXT("WBMP") "|" PX_EXT("WDP") "|" PX_EXT("WEBP") "|" PX_EXT("WMF") "|" PX_EXT("WPG") "|"
    PX_EXT("WSQ") "|" PX_EXT("X3F") "|" PX_EXT("XBM") "|" PX_EXT("XCF") "|" PX_EXT("XPM") "|"
    PX_EXT("XR") "|" PX_EXT("EPS") "|" PX_EXT("PFB") "|" PX_EXT("PRN") "|" PX_EXT("PS")
    ")";
#undef PX_EXT

// Copies the detect string with its terminator while fewer than size bytes have been
// written; when the size runs out first the host receives the empty string. A null buffer
// or a size below 1 is left untouched.
inline void CopyDetectString(char* buffer, std::int32_t size) {
  if (buffer == nullptr || size <= 0) return;
  std::int64_t limit = size;  // widened before use
  std::int64_t written = 0;
  while (written < limit) {
    buffer[written] = kDetectString[written];
    if (kDetectString[written] == 0) return;  // complete
    ++written;
  }
  buffer[0] = 0;
}

}  // namespace detect
