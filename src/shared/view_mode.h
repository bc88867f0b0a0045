// Lister mode: the window the host hands over has no parent. Quick View mode: it sits
// inside another host window.
#pragma once

enum class ViewMode { Lister, QuickView };

inline ViewMode ViewModeOf(bool listerHasParent) { return listerHasParent ? ViewMode::QuickView : ViewMode::Lister; }
