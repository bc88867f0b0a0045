// The key test the hooks and the load's wait share: a state from GetKeyState or
// GetAsyncKeyState counts as down when bit 15 is set, the key being down now. The low bit
// (toggled, or pressed since the last query: a tap's trace) does not count.
#pragma once
#include <cstdint>

inline bool IsKeyDown(std::int16_t state) { return (static_cast<std::uint16_t>(state) & 0x8000u) != 0; }
