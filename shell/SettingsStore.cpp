#include "shell/SettingsStore.h"

#include <QStringList>

#include "mailstore/MailError.h"
#include "shell/SettingsKeys.h"
#include "shell/SettingsTable.h"

namespace shell {
namespace {

QString Path(const char* section, const char* key) { return QString::fromUtf8(section) + "/" + key; }

}  // namespace

SettingsStore::SettingsStore(Purpose purpose)
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, keys::kOrganization,
                                            keys::kApplication)) {
  if (purpose == Purpose::kLoad && settings_->status() == QSettings::FormatError)
    throw mailstore::MailError::Other(("The settings in " + Location() + " cannot be read.").toStdString());
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::Location() const { return settings_->fileName(); }

std::optional<QString> SettingsStore::ReadOptional(const char* section, const char* key) const {
  const QVariant value = settings_->value(Path(section, key));
  if (!value.isValid()) return std::nullopt;
  // A list written by hand without quotes comes back split at its commas.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(",");
  return value.toString();
}

QString SettingsStore::ReadText(const char* section, const char* key, const QString& defaultValue) const {
  return ReadOptional(section, key).value_or(defaultValue);
}

bool ParseStoredNumber(const QString& text, int& value) {
  const QString trimmed = text.trimmed();
  bool ok = false;
  if (trimmed.size() > 2 && (trimmed.startsWith("0x") || trimmed.startsWith("0X"))) {
    const uint hex = trimmed.mid(2).toUInt(&ok, 16);
    if (ok) value = static_cast<int>(hex);
    return ok;
  }
  const int number = trimmed.toInt(&ok, 10);
  if (ok) value = number;
  return ok;
}

int SettingsStore::ReadNumber(const char* section, const char* key, int defaultValue) const {
  int value = defaultValue;
  const std::optional<QString> stored = ReadOptional(section, key);
  if (!stored || !ParseStoredNumber(*stored, value)) return defaultValue;
  return value;
}

bool SettingsStore::ReadFlag(const char* section, const char* key, bool defaultValue) const {
  return ReadNumber(section, key, defaultValue ? 1 : 0) != 0;
}

void SettingsStore::WriteText(const char* section, const char* key, const QString& text) {
  settings_->setValue(Path(section, key), text);
}

void SettingsStore::WriteNumber(const char* section, const char* key, int value) {
  WriteText(section, key, QString::number(value));
}

void SettingsStore::WriteFlag(const char* section, const char* key, bool value) {
  WriteText(section, key, value ? "1" : "0");
}

void SettingsStore::Commit() {
  settings_->sync();
  // A format error stays from the reading of a damaged store; the writing
  // itself has then replaced it with a sound one.
  if (settings_->status() == QSettings::AccessError)
    throw mailstore::MailError::Other(("The settings cannot be saved in " + Location() + ".").toStdString());
}

bool WithSettings(SettingsStore::Purpose purpose, mailstore::UserInteraction& ui,
                  const std::function<void(SettingsStore&)>& work) {
  try {
    SettingsStore store(purpose);
    work(store);
    if (purpose == SettingsStore::Purpose::kSave) store.Commit();
    return true;
  } catch (...) {
    ui.ReportException(mailstore::MailError::FromCurrentException());
    return false;
  }
}

QString ListItem(const QString& list, int n, const QString& defaultValue) {
  QString result;
  int counter = 0;
  bool inQuotes = false, inItem = false;
  for (const QChar c : list) {
    if (counter > n) break;
    if (c == '"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes && (c == ' ' || c == ',')) {
      inItem = false;
    } else {
      if (!inItem) ++counter;
      inItem = true;
      if (counter == n) result += c;
    }
  }
  return result.isEmpty() ? defaultValue : result;
}

int ToIntOrZero(const QString& text) {
  QString digits = text;
  digits.remove(' ');
  bool ok = false;
  const int value = digits.toInt(&ok, 10);
  return ok ? value : 0;
}

}  // namespace shell
