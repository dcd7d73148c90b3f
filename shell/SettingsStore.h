// The per-user settings store: sections of named text values.
//
// Every value is stored as text, whatever it means: integers in decimal,
// flags as "1" and "0", lists as items joined by ",", margins as "%2.2f".
// The store is opened for one load or one save and closed again; nothing is
// held between them.  A store that cannot be read or written raises a
// mailstore::MailError, which the caller passes to ReportException.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

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

  // The default when the section or the value is absent.
  QString ReadText(const char* section, const char* key, const QString& defaultValue) const;
  // The stored text, or nothing when the section or the value is absent.
  std::optional<QString> ReadOptional(const char* section, const char* key) const;
  // A decimal integer ("0x" and more: hexadecimal); the default when absent
  // or not a number.
  int ReadNumber(const char* section, const char* key, int defaultValue) const;
  // ReadNumber with 1 or 0 as the default, compared with 0.
  bool ReadFlag(const char* section, const char* key, bool defaultValue) const;

  void WriteText(const char* section, const char* key, const QString& text);
  void WriteNumber(const char* section, const char* key, int value);
  void WriteFlag(const char* section, const char* key, bool value);

  // Writes what was written to the disk.  Throws MailError when that fails.
  void Commit();

  // Where the store lives.
  QString Location() const;

 private:
  std::unique_ptr<QSettings> settings_;
};

// Opens the store for one load or save.
inline std::unique_ptr<SettingsStore> OpenSettings(SettingsStore::Purpose purpose) {
  return std::make_unique<SettingsStore>(purpose);
}

// Item `n` (from 1) of a list value, or `defaultValue` when it is missing or
// empty.  Blanks and commas separate items, runs of them count as one, and
// double quotes group (and are dropped).
QString ListItem(const QString& list, int n, const QString& defaultValue);

// The text without its blanks as a decimal integer; 0 when not a number.
int ToIntOrZero(const QString& text);

// A stored number as ReadNumber reads it, or nothing.
bool ParseStoredNumber(const QString& text, int& value);

}  // namespace shell
