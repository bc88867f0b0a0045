// The viewer's command line from the bar settings of the view mode.
#include "config/command_line.h"

#include "config/config_rules.h"
#include "platform/system.h"

bool ViewerCommandLine(const char16_t* settingsFile, ViewMode mode, const char16_t* fileName,
                       char16_t (&commandLine)[kCommandLineUnits]) {
  text16::Zero(commandLine, kCommandLineUnits);
  // All four are read on every load; the other mode's two are not used. A flag only needs
  // its '1', so a value cut at the buffer is still tested as read.
  char16_t bars[4][text16::kUnits] = {};
  for (int i = 0; i < 4; ++i)
    win::GetPrivateProfileStringW(u"Pixmorant", config::kBarKeys[i], u"", bars[i], text16::kUnits, settingsFile);
  if (fileName == nullptr) return false;
  config::BarKeys keys = config::BarKeysFor(mode);
  return config::ComposeCommandLine(fileName, config::HideOption(bars[keys.toolbar], bars[keys.statusBar]),
                                    commandLine);
}
