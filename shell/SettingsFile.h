// The settings store read without the toolkit, for a front end that only
// needs the stored Mail Directory (kvmailctl): the file QSettings keeps the
// store in on this system, read with the platform's profile reader.
#pragma once

#include <optional>
#include <string>

#include "shell/Preferences.h"

namespace shell {

// Where the settings store lives: $XDG_CONFIG_HOME (else ~/.config), then
// "Brenlow/Dashdeck.conf", as QSettings places it.
std::string SettingsFilePath();

// A value as QSettings writes it in that file: quotes around it dropped,
// backslash escapes undone, "@@" for a leading "@".
std::string UnescapeStoredValue(std::string_view written);

// The stored Mail Directory, or nothing when none is stored (or the file
// cannot be read).
std::optional<std::string> ReadStoredMailDir();

// The Mail Directory the program starts on, as its settings find it (the
// default, the stored one over it), found without the toolkit so that its
// reading can begin before the window is built.
std::string StartingMailDir();

// The settings store for a front end that only reads the Mail Directory;
// it never writes.
class StoredMailDirOnly : public SettingsAccess {
 public:
  void Load(Preferences& prefs, MainWindowLayout& window, mailstore::UserInteraction& ui) override;
  void Save(const Preferences&, const MainWindowLayout&, mailstore::UserInteraction&) override {}
};

}  // namespace shell
