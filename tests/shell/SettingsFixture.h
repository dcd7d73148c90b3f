// A settings store of the test's own, and a main window that only remembers.
#pragma once

#include <QSettings>

#include "shell/Preferences.h"
#include "shell/StoredSettings.h"
#include "shell/SettingsKeys.h"
#include "support/MailFixture.h"

namespace testing_support {

// A main window's layout as a window of the form's design size holds it.
inline shell::MainWindowLayout DesignLayout() {
  shell::MainWindowLayout w;
  w.placement = {100, 50, 600, 400};
  w.screen = {0, 0, 1024, 768};
  w.paneHeight = 125;
  w.widths = {110, 90, 300};
  w.buttonBar = true;
  w.fonts = {shell::FontSetting{"Arial", 10, 0}, shell::FontSetting{"Courier New", 10, 0},
             shell::FontSetting{"Courier New", 10, 0}};
  return w;
}

class SettingsFixture : public ::testing::Test {
 protected:
  SettingsFixture() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config.path())); }

  // The text stored under a key, as another program would read it.
  std::string Stored(const char* section, const char* key) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, shell::keys::kOrganization, shell::keys::kApplication);
    return s.value(QString(section) + "/" + key).toString().toStdString();
  }
  void Store(const char* section, const char* key, const std::string& text) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, shell::keys::kOrganization, shell::keys::kApplication);
    s.setValue(QString(section) + "/" + key, QString::fromStdString(text));
  }
  std::string SettingsFile() const { return config.path() + "/Brenlow/Dashdeck.conf"; }

  TempDir config;
  ScriptedUi ui;
  shell::MainWindowLayout window = DesignLayout();
};

}  // namespace testing_support
