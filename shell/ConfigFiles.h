// The administrator's configuration files beside the program.
//
// Lines of KEY=value impose a few settings at every start, after the store
// was read and the user logged in: first the user's own file, then
// "MASTER$.INF", whose keys therefore win.  A file that is missing or cannot
// be read is skipped without a word.
#pragma once

#include <string>

#include "shell/Preferences.h"

namespace shell {

inline constexpr const char* kMasterConfigName = "MASTER$.INF";
inline constexpr const char* kNoUserConfigName = "KV.INF";

// The user's configuration file: in $DASHDECK when that is set and not
// empty, else in the program's directory; named after the user name
// (Windows-1252, as stored) without blanks, cut to 8, plus ".INF" ("KV.INF"
// without a user).  Empty when no such file exists.
std::string UserConfigFilePath(const std::string& userName, const std::string& programDir);

// Applies one file's lines to `prefs`: PSPR= sets the supervisor password
// (unscrambled, cut to 12), MAILDIR= the Mail Directory (as written),
// CHECKMAIL= and BEEP= polling and notification ("YES" is true).
void ApplyConfigFile(const std::string& path, Preferences& prefs);

// Both files, in order, for `userName` (Windows-1252).
void ApplyConfigFiles(const std::string& userName, Preferences& prefs);

}  // namespace shell
