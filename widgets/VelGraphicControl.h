// Windowless controls that draw themselves: the base of TVelImage.  It draws
// nothing itself.
#pragma once

#include <QWidget>

namespace widgets {

class TVelGraphicControl : public QWidget {
  Q_OBJECT
 public:
  explicit TVelGraphicControl(QWidget* parent = nullptr) : QWidget(parent) {}
};

}  // namespace widgets
