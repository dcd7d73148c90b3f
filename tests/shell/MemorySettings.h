// A settings store that keeps what it is given in memory, for the logic
// tests of the session.
#pragma once

#include "shell/Preferences.h"

namespace testing_support {

struct MemorySettings : shell::SettingsAccess {
  shell::Preferences stored = shell::DefaultPreferences();
  bool loaded = false;
  int saves = 0;
  void Load(shell::Preferences& prefs, shell::MainWindowLayout&, mailstore::UserInteraction&) override {
    if (loaded) prefs = stored;
  }
  void Save(const shell::Preferences& prefs, const shell::MainWindowLayout&, mailstore::UserInteraction&) override {
    stored = prefs;
    loaded = true;
    ++saves;
  }
};

}  // namespace testing_support
