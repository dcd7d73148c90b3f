#include "widgets/Label3D.h"

#include <QMouseEvent>
#include <QPainter>

namespace widgets {

TLabel3D::TLabel3D(const QString& text, QWidget* parent) : QLabel(text, parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void TLabel3D::SetLabelStyle(TLabelStyle style) {
  if (style != style_) offset_ = -offset_;
  style_ = style;
  update();
}

void TLabel3D::SetAsButton(bool on) {
  asButton_ = on;
  if (on) SetLabelStyle(TLabelStyle::lsRaised);
}

void TLabel3D::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  const QRect r = contentsRect();
  const int flags = static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawText(r.translated(-offset_, -offset_), flags, text());
  painter.setPen(palette().color(QPalette::Shadow));
  painter.drawText(r.translated(offset_, offset_), flags, text());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(r, flags, text());
}

void TLabel3D::mousePressEvent(QMouseEvent* event) {
  if (asButton_ && isEnabled() && event->button() == Qt::LeftButton) {
    pressed_ = true;
    SetLabelStyle(TLabelStyle::lsLowered);
  }
  QLabel::mousePressEvent(event);
}

void TLabel3D::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_)
    SetLabelStyle(rect().contains(event->position().toPoint()) ? TLabelStyle::lsLowered : TLabelStyle::lsRaised);
  QLabel::mouseMoveEvent(event);
}

void TLabel3D::mouseReleaseEvent(QMouseEvent* event) {
  if (pressed_ && event->button() == Qt::LeftButton) {
    pressed_ = false;
    const bool inside = rect().contains(event->position().toPoint());
    SetLabelStyle(TLabelStyle::lsRaised);
    if (inside) emit clicked();
  }
  QLabel::mouseReleaseEvent(event);
}

}  // namespace widgets
