#include "widgets/VelImage.h"

#include <QPainter>

namespace widgets {

TVelImage::TVelImage(QWidget* parent) : TVelGraphicControl(parent) { resize(105, 105); }

void TVelImage::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  if (autoSize_ && picture_.width() > 0 && picture_.height() > 0) resize(picture_.size());
  update();
}

void TVelImage::SetAutoSize(bool on) {
  autoSize_ = on;
  if (on) SetPicture(picture_);
}

void TVelImage::SetTile(bool on) {
  tile_ = on;
  if (on) autoSize_ = false;
  update();
}

void TVelImage::SetStretch(bool on) {
  stretch_ = on;
  update();
}

void TVelImage::SetCenter(bool on) {
  center_ = on;
  update();
}

void TVelImage::SetTransparent(bool on) {
  transparent_ = on;
  update();
}

QPixmap TVelImage::Drawn() const {
  if (!transparent_ || picture_.isNull()) return picture_;
  // The picture copied onto the parent's background, its key colour left out.
  QImage image = picture_.toImage().convertToFormat(QImage::Format_ARGB32);
  const QRgb key = image.pixel(0, 0);
  const QRgb background = (parentWidget() ? parentWidget()->palette() : palette()).color(backgroundRole()).rgb();
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (line[x] == key) line[x] = background;
  }
  return QPixmap::fromImage(image);
}

void TVelImage::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  const QPixmap pixmap = Drawn();
  if (tile_) {
    painter.drawTiledPixmap(rect(), pixmap);
  } else if (stretch_) {
    painter.drawPixmap(rect(), pixmap);
  } else if (center_) {
    painter.drawPixmap((width() - pixmap.width()) / 2, (height() - pixmap.height()) / 2, pixmap);
  } else {
    painter.drawPixmap(0, 0, pixmap);
  }
}

}  // namespace widgets
