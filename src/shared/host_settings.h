// The host's settings file, named by COMMANDER_INI, and every value the plug-in reads from
// it: [Lister] Maximized for the load, the dark mode, the title colours and the window font
// for the Quick View header. The file is only read, afresh on each call, so a change the
// user makes in the host takes effect at the next call. Which section and which defaults
// apply is the caller's decision; the reads here follow it.
#pragma once
#include "shared/text16.h"

namespace host {

// The settings file's path: empty when COMMANDER_INI is unset or longer than the buffer,
// so every read from it yields its default.
void ReadSettingsPath(char16_t (&path)[text16::kUnits]);

// [Lister] Maximized, as written (empty when absent).
void ReadListerMaximized(char16_t (&value)[text16::kUnits]);

// [Configuration] DarkMode and UseNewDefFont, as written (empty when absent).
void ReadDarkMode(const char16_t* settings, char16_t (&value)[text16::kUnits]);
void ReadUseNewDefFont(const char16_t* settings, char16_t (&value)[text16::kUnits]);

// The four title colour keys of a colour section, as written. The section's
// RedirectSection, read from the settings file, names the file they are read from
// instead, under the same section name.
struct TitleColorValues {
  char16_t activeTitle[text16::kUnits];
  char16_t activeTitleText[text16::kUnits];
  char16_t inactiveTitle[text16::kUnits];
  char16_t inactiveTitleText[text16::kUnits];
};
void ReadTitleColors(const char16_t* settings, const char16_t* section, TitleColorValues* values);

// The window font of [AllResolutions], each key with its default; the section's own
// RedirectSection names the file they are read from instead.
struct WindowFontValues {
  char16_t size[text16::kUnits];
  char16_t weight[text16::kUnits];
  char16_t face[text16::kUnits];
};
struct WindowFontDefaults {
  const char16_t* size;
  const char16_t* weight;
  const char16_t* face;
};
void ReadWindowFont(const char16_t* settings, const WindowFontDefaults& defaults, WindowFontValues* values);

}  // namespace host
