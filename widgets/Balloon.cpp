#include "widgets/Balloon.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace widgets {
namespace {

constexpr int kTextFlags = Qt::TextWordWrap | Qt::TextExpandTabs;

}  // namespace

QString WithLineBreaks(const QString& text) {
  QString out = text;
  out.replace("\r\n", "\n");
  out.replace('\r', '\n');
  return out;
}

QString ShownCaption(const QString& text) {
  constexpr qsizetype kLongWord = 24;
  const QString lines = WithLineBreaks(text);
  QString out;
  out.reserve(lines.size());
  qsizetype run = 0;
  for (const QChar c : lines) {
    if (c.isSpace()) {
      run = 0;
    } else if (++run > kLongWord) {
      out += QChar(0x200B);  // zero-width space: a place to break
      run = 1;
    }
    out += c;
  }
  return out;
}

TBalloon::TBalloon(QWidget* parent) : QWidget(parent) { resize(65, 17); }

void TBalloon::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void TBalloon::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange) update();
  QWidget::changeEvent(event);
}

QRect TBalloon::BoxRect() const {
  QRect box = rect();
  switch (stemPos) {
    case TBalloonStemPos::spLeft: box.setLeft(box.left() + stemSize); break;
    case TBalloonStemPos::spTop: box.setTop(box.top() + stemSize); break;
    case TBalloonStemPos::spRight: box.setRight(box.right() - stemSize); break;
    case TBalloonStemPos::spBottom: box.setBottom(box.bottom() - stemSize); break;
  }
  return box;
}

QRect TBalloon::TextRect() const { return BoxRect().adjusted(xOffset, yOffset, -xOffset, -yOffset); }

QRect TBalloon::CaptionRect() const {
  const QRect area = TextRect();
  const QRect needed = fontMetrics().boundingRect(QRect(0, 0, area.width(), 100000), kTextFlags,
                                                  ShownCaption(caption_));
  if (needed.height() >= area.height()) return area;
  return QRect(area.left(), area.top() + (area.height() - needed.height()) / 2, area.width(), needed.height());
}

void TBalloon::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect box = BoxRect();
  // The stem: tip on the control's edge at the middle plus the offset, its
  // base on the box's edge.
  QPolygon stem;
  const int midY = height() / 2 + stemOffset, midX = width() / 2 + stemOffset;
  switch (stemPos) {
    case TBalloonStemPos::spLeft:
      stem << QPoint(0, midY) << QPoint(box.left(), midY - stemWidth) << QPoint(box.left(), midY + stemWidth);
      break;
    case TBalloonStemPos::spTop:
      stem << QPoint(midX, 0) << QPoint(midX - stemWidth, box.top()) << QPoint(midX + stemWidth, box.top());
      break;
    case TBalloonStemPos::spRight:
      stem << QPoint(width() - 1, midY) << QPoint(box.right() - 1, midY - stemWidth)
           << QPoint(box.right() - 1, midY + stemWidth);
      break;
    case TBalloonStemPos::spBottom:
      stem << QPoint(midX, height() - 1) << QPoint(midX - stemWidth, box.bottom() - 1)
           << QPoint(midX + stemWidth, box.bottom() - 1);
      break;
  }
  const QColor background = backgroundColor.isValid() ? backgroundColor : palette().color(QPalette::Base);
  painter.setPen(palette().color(QPalette::Text));
  painter.setBrush(background);
  painter.drawRoundedRect(box.adjusted(0, 0, -1, -1), cornerSize / 2.0, cornerSize / 2.0);
  painter.drawPolygon(stem);
  // The base line drawn over, so that the stem opens into the box.
  painter.setPen(QPen(background, 1));
  painter.drawLine(stem[1], stem[2]);

  // A disabled balloon writes in the disabled-text colour.
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
  painter.setFont(font());
  painter.setClipRect(TextRect());
  painter.drawText(CaptionRect(), kTextFlags | static_cast<int>(alignment), ShownCaption(caption_));
}

}  // namespace widgets
