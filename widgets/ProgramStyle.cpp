#include "widgets/ProgramStyle.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QWidget>

namespace widgets {
namespace {

// "»": the menu bar's button for menus that do not fit.
QIcon Chevron(const QPalette& palette) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(palette.color(QPalette::ButtonText), 1.5));
  for (int x : {4, 9}) painter.drawPolyline(QPolygonF({QPointF(x, 4), QPointF(x + 3.5, 8), QPointF(x, 12)}));
  return QIcon(pixmap);
}

}  // namespace

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option, const QWidget* widget) const {
  if (icon == SP_ToolBarHorizontalExtensionButton)
    return Chevron(option ? option->palette : widget ? widget->palette() : QPalette());
  return QProxyStyle::standardIcon(icon, option, widget);
}

QPixmap ProgramStyle::generatedIconPixmap(QIcon::Mode mode, const QPixmap& pixmap, const QStyleOption* option) const {
  if (mode != QIcon::Disabled) return QProxyStyle::generatedIconPixmap(mode, pixmap, option);
  constexpr int kFaintPercent = 35;
  QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = 96 + qGray(line[x]) * 5 / 8;  // dark parts lighter, light parts kept light
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * kFaintPercent / 100);
    }
  }
  QPixmap faint = QPixmap::fromImage(image);
  faint.setDevicePixelRatio(pixmap.devicePixelRatio());
  return faint;
}

}  // namespace widgets
