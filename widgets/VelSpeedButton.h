// A flat button with a glyph, for button bars.  It repaints when the system
// colours change, as any Qt button does.
#pragma once

#include <QToolButton>

namespace widgets {

class TVelSpeedButton : public QToolButton {
  Q_OBJECT
 public:
  explicit TVelSpeedButton(QWidget* parent = nullptr) : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
  }
};

}  // namespace widgets
