#include "widgets/ProgramStyle.h"

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

}  // namespace widgets
