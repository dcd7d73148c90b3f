// A picture on a form.
#pragma once

#include <QPixmap>

#include "widgets/VelGraphicControl.h"

namespace widgets {

class TVelImage : public TVelGraphicControl {
  Q_OBJECT
 public:
  explicit TVelImage(QWidget* parent = nullptr);

  const QPixmap& Picture() const { return picture_; }
  // With AutoSize, the control takes the picture's size when both sides are
  // positive.
  void SetPicture(const QPixmap& picture);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  // In order of precedence: Tile repeats the picture from the top-left
  // corner (and clears AutoSize), Stretch scales it to the control, Center
  // centres it; otherwise it sits at the top-left corner.
  void SetTile(bool on);
  void SetStretch(bool on);
  void SetCenter(bool on);
  // The colour of the picture's top-left pixel shows the parent's background.
  void SetTransparent(bool on);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap Drawn() const;

  QPixmap picture_;
  bool autoSize_ = false, tile_ = false, stretch_ = false, center_ = false, transparent_ = false;
};

}  // namespace widgets
