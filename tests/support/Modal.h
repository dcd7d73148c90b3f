// For window tests: acts on the next modal window once it is on screen, and
// fails the test rather than hanging when none comes.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace testing_support {

inline void WhenModal(std::function<void(QWidget*)> step, int triesLeft = 300) {
  QTimer::singleShot(10, [step, triesLeft] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && triesLeft > 0) return WhenModal(step, triesLeft - 1);
    if (modal == nullptr) qFatal("no modal window appeared");
    step(modal);
  });
}

}  // namespace testing_support
