// The per-user settings store: sections of named text values, on QSettings.
//
// Every value is stored as text, whatever it means: integers in decimal,
// flags as "1" and "0", lists as items joined by ",", margins as "%2.2f".
// The store is opened for one load or one save and closed again; nothing is
// held between them.  A store that cannot be read or written raises a
// mailstore::MailError, which the caller passes to ReportException.
// Texts in and out are UTF-8.
#pragma once

#include <QSettings>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "mailstore/UserInteraction.h"

namespace shell {

class SettingsStore {
 public:
  enum class Purpose { kLoad, kSave };

  // Opens the store (it is created at the first write).  For a load, throws
  // MailError when the store exists but cannot be read; a save goes ahead
  // and writes a sound store over it.
  explicit SettingsStore(Purpose purpose);
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // The stored text, or nothing when the section or the value is absent.
  std::optional<std::string> ReadOptional(const char* section, const char* key) const;
  void WriteText(const char* section, const char* key, const std::string& text);

  // Writes what was written to the disk.  Throws MailError when that fails.
  void Commit();

  // Where the store lives.
  std::string Location() const;

 private:
  std::unique_ptr<QSettings> settings_;
};

// Runs `work` on the store opened for `purpose` and commits a save.  An
// error is reported through `ui` and ends the work, keeping what was done;
// returns false then.
bool WithSettings(SettingsStore::Purpose purpose, mailstore::UserInteraction& ui,
                  const std::function<void(SettingsStore&)>& work);

}  // namespace shell
