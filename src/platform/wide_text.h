// The plug-in's UTF-16 text (char16_t) handed to the Windows calls as wide characters,
// which are the same 16-bit units there. For the platform's own .cpp files only.
#pragma once

namespace win {

inline const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* W(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }

}  // namespace win
