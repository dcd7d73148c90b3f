#include "shell/SettingsStore.h"

#include <QStringList>

#include "mailstore/MailError.h"
#include "shell/SettingsKeys.h"

namespace shell {
namespace {

QString Path(const char* section, const char* key) { return QString::fromUtf8(section) + "/" + key; }

}  // namespace

SettingsStore::SettingsStore(Purpose purpose)
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, keys::kOrganization,
                                            keys::kApplication)) {
  if (purpose == Purpose::kLoad && settings_->status() == QSettings::FormatError)
    throw mailstore::MailError::Other("The settings in " + Location() + " cannot be read.");
}

SettingsStore::~SettingsStore() = default;

std::string SettingsStore::Location() const { return settings_->fileName().toStdString(); }

std::optional<std::string> SettingsStore::ReadOptional(const char* section, const char* key) const {
  const QVariant value = settings_->value(Path(section, key));
  if (!value.isValid()) return std::nullopt;
  // A list written by hand without quotes comes back split at its commas.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(",").toStdString();
  return value.toString().toStdString();
}

void SettingsStore::WriteText(const char* section, const char* key, const std::string& text) {
  settings_->setValue(Path(section, key), QString::fromStdString(text));
}

void SettingsStore::Commit() {
  settings_->sync();
  // A format error stays from the reading of a damaged store; the writing
  // itself has then replaced it with a sound one.
  if (settings_->status() == QSettings::AccessError)
    throw mailstore::MailError::Other("The settings cannot be saved in " + Location() + ".");
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

}  // namespace shell
