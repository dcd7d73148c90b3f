// A settings store of the test's own, and a main window that only remembers.
#pragma once

#include <QSettings>

#include "shell/Preferences.h"
#include "shell/SettingsKeys.h"
#include "support/MailFixture.h"

namespace testing_support {

struct FakeMainWindow : shell::MainWindowState {
  shell::Placement placement{100, 50, 600, 400};
  shell::Placement screen{0, 0, 1024, 768};
  int paneHeight = 125;
  std::array<int, 3> widths{110, 90, 300};
  bool buttonBar = true;
  std::array<shell::FontSetting, 3> fonts{shell::FontSetting{"Arial", 10, 0}, shell::FontSetting{"Courier New", 10, 0},
                                          shell::FontSetting{"Courier New", 10, 0}};

  shell::Placement WindowPlacement() const override { return placement; }
  void SetWindowPlacement(const shell::Placement& p) override { placement = p; }
  shell::Placement ScreenSize() const override { return screen; }
  int InBoxPaneHeight() const override { return paneHeight; }
  void SetInBoxPaneHeight(int h) override { paneHeight = h; }
  std::array<int, 3> ColumnWidths() const override { return widths; }
  void SetColumnWidths(const std::array<int, 3>& w) override { widths = w; }
  bool ButtonBarVisible() const override { return buttonBar; }
  void SetButtonBarVisible(bool v) override { buttonBar = v; }
  shell::FontSetting Font(FontRole role) const override { return fonts[static_cast<int>(role)]; }
  void SetFont(FontRole role, const shell::FontSetting& f) override { fonts[static_cast<int>(role)] = f; }
};

class SettingsFixture : public ::testing::Test {
 protected:
  SettingsFixture() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config.path())); }

  // The text stored under a key, as another program would read it.
  QString Stored(const char* section, const char* key) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, shell::keys::kOrganization, shell::keys::kApplication);
    return s.value(QString(section) + "/" + key).toString();
  }
  void Store(const char* section, const char* key, const QString& text) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, shell::keys::kOrganization, shell::keys::kApplication);
    s.setValue(QString(section) + "/" + key, text);
  }
  std::string SettingsFile() const { return config.path() + "/Brenlow/Dashdeck.conf"; }

  TempDir config;
  ScriptedUi ui;
  FakeMainWindow window;
};

}  // namespace testing_support
