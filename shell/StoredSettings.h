// How the preferences, the main window's layout and the send window's state
// are loaded from and saved to the settings store (QSettings), each section
// through one table of its keys.
#pragma once

#include <string>

#include "mailstore/UserInteraction.h"
#include "shell/Preferences.h"

namespace shell {

// Reads section "Mail" and "Spell Checker" into `prefs` and `window`, in the
// order the store has always been read; every value absent keeps what the
// record holds (the defaults, the window's design).  An error is reported
// through `ui` and ends the load; what was read until then stays.
void LoadSettings(Preferences& prefs, MainWindowLayout& window, mailstore::UserInteraction& ui);

// Writes them back; an error is reported through `ui` and ends the save.
void SaveSettings(const Preferences& prefs, const MainWindowLayout& window, mailstore::UserInteraction& ui);

// Section "Mail Editor".
void LoadEditorSettings(EditorSettings& editor, mailstore::UserInteraction& ui);
void SaveEditorSettings(const EditorSettings& editor, mailstore::UserInteraction& ui);

// A margin as it is stored ("%2.2f", the user's decimal separator), and read
// back; false when the text is not a number.
std::string MarginText(double margin);
bool ParseMargin(const std::string& text, double& margin);

// The settings store, for the program's session.
class StoredSettings : public SettingsAccess {
 public:
  void Load(Preferences& prefs, MainWindowLayout& window, mailstore::UserInteraction& ui) override;
  void Save(const Preferences& prefs, const MainWindowLayout& window, mailstore::UserInteraction& ui) override;
};

}  // namespace shell
