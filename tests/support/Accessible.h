// What a screen reader hears of a window: the controls it would announce
// without a name.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

namespace testing_support {

// The controls of `window` the user can reach (shown with it, or shown on a
// page of it) whose accessible name is empty, by object name and class.
inline QStringList ControlsWithoutNames(QWidget* window) {
  QStringList unnamed;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->isHidden() && !w->parentWidget()->isHidden()) continue;  // hidden on purpose
    if (qobject_cast<QScrollBar*>(w) != nullptr) continue;           // part of its view
    const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                         qobject_cast<QAbstractItemView*>(w) || qobject_cast<QComboBox*>(w) ||
                         qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QTextEdit*>(w) ||
                         qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTabBar*>(w) ||
                         (w->focusPolicy() != Qt::NoFocus && w->metaObject()->className() != QByteArray("QWidget"));
    if (!control) continue;
    // A line edit inside a combo box or a spin box speaks through it.
    if (qobject_cast<QLineEdit*>(w) && (qobject_cast<QComboBox*>(w->parentWidget()) ||
                                        qobject_cast<QAbstractSpinBox*>(w->parentWidget())))
      continue;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    if (face == nullptr || face->text(QAccessible::Name).trimmed().isEmpty())
      unnamed << w->objectName() + "(" + w->metaObject()->className() + ")";
  }
  return unnamed;
}

}  // namespace testing_support
