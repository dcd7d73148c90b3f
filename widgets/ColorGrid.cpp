#include "widgets/ColorGrid.h"

#include <QMouseEvent>
#include <QPainter>

namespace widgets {

namespace {

constexpr int kColumns = 8, kRows = 2;

constexpr QRgb kCells[16] = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                             qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                             qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                             qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};

}  // namespace

int32_t GridColour(int index) {
  const QRgb rgb = kCells[std::clamp(index, 0, 15)];
  return static_cast<int32_t>(qBlue(rgb) << 16 | qGreen(rgb) << 8 | qRed(rgb));
}

TColorGrid::TColorGrid(QWidget* parent) : QWidget(parent) {
  setObjectName("ColorGrid");
  setFocusPolicy(Qt::StrongFocus);
}

void TColorGrid::SetForegroundIndex(int index) {
  foreground_ = std::clamp(index, 0, 15);
  update();
}

void TColorGrid::SetBackgroundIndex(int index) {
  background_ = std::clamp(index, 0, 15);
  update();
}

QRect TColorGrid::CellRect(int index) const {
  const int w = width() / kColumns, h = height() / kRows;
  return QRect(index % kColumns * w, index / kColumns * h, w, h);
}

int TColorGrid::CellAt(const QPoint& at) const {
  if (!rect().contains(at)) return -1;
  const int column = at.x() / std::max(1, width() / kColumns), row = at.y() / std::max(1, height() / kRows);
  return column < kColumns && row < kRows ? row * kColumns + column : -1;
}

void TColorGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QFont small = font();
  small.setPixelSize(10);
  small.setBold(true);
  painter.setFont(small);
  for (int i = 0; i < 16; ++i) {
    const QRect cell = CellRect(i);
    const QColor colour(kCells[i]);
    painter.fillRect(cell.adjusted(1, 1, -1, -1), colour);
    painter.setPen(Qt::gray);
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    QString mark;
    if (i == foreground_) mark += "FG";
    if (i == background_) mark += mark.isEmpty() ? "BG" : "/BG";
    if (mark.isEmpty()) continue;
    painter.setPen(qGray(kCells[i]) < 128 ? Qt::white : Qt::black);
    painter.drawText(cell, Qt::AlignCenter, mark);
  }
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void TColorGrid::mousePressEvent(QMouseEvent* event) {
  const int cell = CellAt(event->position().toPoint());
  if (cell < 0) return;
  if (event->button() == Qt::LeftButton) foreground_ = cell;
  else if (event->button() == Qt::RightButton) background_ = cell;
  else return;
  update();
  emit Changed();
}

}  // namespace widgets
