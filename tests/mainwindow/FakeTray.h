// A notification area for window tests: it takes or refuses what it is
// asked, counts it, and lets the test click the icon.
#pragma once

#include "mainwindow/VelTrayIcon.h"

namespace testing_support {

struct FakeTray : mainwindow::TrayHost {
  bool available = true;
  int adds = 0, modifies = 0, removes = 0;
  QString tip;
  QIcon icon;
  bool Available() const override { return available; }
  bool Add(const QIcon& i, const QString& t) override {
    ++adds;
    if (!available) return false;
    icon = i;
    tip = t;
    return true;
  }
  bool Modify(const QIcon& i, const QString& t) override {
    ++modifies;
    icon = i;
    tip = t;
    return true;
  }
  int* removedOutside = nullptr;  // counts removals beyond the tray's own life
  bool Remove() override {
    ++removes;
    if (removedOutside) ++*removedOutside;
    return true;
  }
};

}  // namespace testing_support
