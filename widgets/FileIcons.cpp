#include "widgets/FileIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

#include "shell/FileListing.h"

namespace widgets {
namespace {

constexpr int kWidth = 16, kHeight = 14;
const QColor kOutline(40, 40, 40);

// A sheet of paper with its top right corner folded, 11 x 14 at (2, 0).
void Page(QPainter& p, const QColor& paper = Qt::white, const QColor& edge = kOutline) {
  const QPolygon sheet({QPoint(2, 0), QPoint(9, 0), QPoint(12, 3), QPoint(12, 13), QPoint(2, 13)});
  p.setPen(edge);
  p.setBrush(paper);
  p.drawPolygon(sheet);
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygon({QPoint(9, 0), QPoint(9, 3), QPoint(12, 3)}));
}

// A folder, its tab at the top left.
void Folder(QPainter& p, const QColor& body, const QColor& edge = QColor(120, 90, 0)) {
  p.setPen(edge);
  p.setBrush(body.darker(115));
  p.drawPolygon(QPolygon({QPoint(0, 2), QPoint(5, 2), QPoint(6, 3), QPoint(14, 3), QPoint(14, 12), QPoint(0, 12)}));
  p.setBrush(body);
  p.drawRect(0, 5, 14, 7);
}

void UpArrow(QPainter& p, int x, int y, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + 4, y + 4), QPoint(x + 2, y + 4), QPoint(x + 2, y + 7),
                          QPoint(x - 2, y + 7), QPoint(x - 2, y + 4), QPoint(x - 4, y + 4)}));
}

// A drive's box with its light.
void DriveBox(QPainter& p, int y, const QColor& body) {
  p.setPen(kOutline);
  p.setBrush(body);
  p.drawRect(0, y, 15, 6);
  p.setPen(QColor(90, 90, 90));
  p.drawLine(3, y + 3, 9, y + 3);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 200, 0));
  p.drawRect(12, y + 2, 2, 2);
}

// Ruled lines on a page.
void Lines(QPainter& p, const QColor& colour, int count = 4) {
  p.setPen(colour);
  for (int i = 0; i < count; ++i) p.drawLine(4, 4 + 2 * i + (i > 0 ? 1 : 0), i % 2 ? 8 : 10, 4 + 2 * i + (i > 0 ? 1 : 0));
}

void Letters(QPainter& p, const QString& text, const QColor& colour, int size, const QRect& box, bool bold = true) {
  QFont font("DejaVu Sans");
  font.setPixelSize(size);
  font.setBold(bold);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, text);
}

// A program's window: a frame with a blue title bar.
void Window(QPainter& p, const QColor& bar, const QColor& frame) {
  p.setPen(frame);
  p.setBrush(Qt::white);
  p.drawRect(0, 1, 15, 12);
  p.setPen(Qt::NoPen);
  p.setBrush(bar);
  p.drawRect(1, 2, 14, 3);
}

void Draw(QPainter& p, int number) {
  switch (number) {
    case shell::kIconRemovable:  // a memory stick
      p.setPen(kOutline);
      p.setBrush(QColor(40, 90, 200));
      p.drawRect(0, 4, 10, 6);
      p.setBrush(QColor(200, 200, 200));
      p.drawRect(10, 5, 5, 4);
      break;
    case shell::kIconFixed: DriveBox(p, 4, QColor(190, 190, 190)); break;
    case shell::kIconNetwork:
      DriveBox(p, 1, QColor(190, 190, 190));
      p.setPen(QColor(0, 0, 160));
      p.drawLine(7, 8, 7, 11);
      p.drawLine(1, 11, 14, 11);
      p.setBrush(QColor(0, 0, 160));
      p.drawRect(0, 10, 2, 2);
      p.drawRect(13, 10, 2, 2);
      break;
    case shell::kIconCdRom:
      p.setPen(QColor(120, 120, 140));
      p.setBrush(QColor(210, 215, 230));
      p.drawEllipse(1, 0, 13, 13);
      p.setBrush(QColor(160, 200, 255));
      p.drawEllipse(4, 3, 7, 7);
      p.setBrush(Qt::white);
      p.drawEllipse(6, 5, 3, 3);
      break;
    case shell::kIconRamDisk:  // a memory chip
      p.setPen(QColor(0, 90, 0));
      p.setBrush(QColor(40, 150, 60));
      p.drawRect(0, 3, 15, 7);
      p.setPen(QColor(210, 170, 0));
      for (int x = 2; x < 15; x += 3) {
        p.drawLine(x, 11, x, 13);
        p.drawLine(x, 0, x, 2);
      }
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::black);
      p.drawRect(4, 5, 7, 3);
      break;
    case shell::kIconRoot:  // the folder of all folders: a "/" on it
      Folder(p, QColor(250, 210, 60));
      p.setPen(QPen(QColor(0, 90, 0), 2));
      p.drawLine(4, 11, 10, 5);
      break;
    case shell::kIconParent:
      Folder(p, QColor(250, 210, 60));
      UpArrow(p, 7, 4, QColor(0, 110, 0));
      break;
    case shell::kIconDirectory: Folder(p, QColor(250, 210, 60)); break;
    case shell::kIconHiddenDirectory: Folder(p, QColor(245, 235, 200), QColor(170, 150, 100)); break;
    case shell::kIconProgram: Window(p, QColor(0, 0, 170), kOutline); break;
    case shell::kIconHiddenProgram: Window(p, QColor(150, 150, 210), QColor(150, 150, 150)); break;
    case shell::kIconHiddenFile: Page(p, QColor(240, 240, 240), QColor(160, 160, 160)); break;
    case shell::kIconDatabase:  // a cylinder
      p.setPen(kOutline);
      p.setBrush(QColor(230, 140, 40));
      p.drawRect(2, 3, 11, 8);
      p.drawEllipse(2, 9, 11, 4);
      p.setPen(Qt::NoPen);
      p.drawRect(3, 4, 10, 7);
      p.setPen(kOutline);
      p.setBrush(QColor(250, 190, 110));
      p.drawEllipse(2, 0, 11, 5);
      break;
    case shell::kIconSound:  // a note
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(120, 0, 140));
      p.drawEllipse(1, 9, 5, 4);
      p.drawEllipse(9, 7, 5, 4);
      p.drawRect(5, 1, 1, 10);
      p.drawRect(13, 0, 1, 9);
      p.drawPolygon(QPolygon({QPoint(5, 1), QPoint(14, 0), QPoint(14, 3), QPoint(5, 4)}));
      break;
    case shell::kIconVideo:  // a film strip
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(30, 30, 30));
      p.drawRect(0, 1, 16, 12);
      p.setBrush(Qt::white);
      for (int x = 1; x < 16; x += 3) {
        p.drawRect(x, 2, 1, 1);
        p.drawRect(x, 11, 1, 1);
      }
      p.setBrush(QColor(120, 180, 255));
      p.drawRect(2, 4, 5, 6);
      p.drawRect(9, 4, 5, 6);
      break;
    default: {
      Page(p);
      switch (number) {
        case shell::kIconText: Lines(p, QColor(0, 0, 0)); break;
        case shell::kIconBackup: Letters(p, "~", QColor(110, 110, 110), 11, QRect(2, 1, 11, 12)); break;
        case shell::kIconHelp: Letters(p, "?", QColor(0, 0, 200), 11, QRect(2, 1, 11, 13)); break;
        case shell::kIconFont: Letters(p, "A", QColor(0, 0, 0), 10, QRect(2, 2, 11, 12), false); break;
        case shell::kIconSource: Letters(p, "{}", QColor(0, 120, 0), 9, QRect(2, 2, 11, 12)); break;
        case shell::kIconPicture:
          p.setPen(Qt::NoPen);
          p.setBrush(QColor(120, 190, 255));
          p.drawRect(3, 4, 9, 8);
          p.setBrush(QColor(0, 140, 0));
          p.drawPolygon(QPolygon({QPoint(3, 12), QPoint(6, 7), QPoint(9, 10), QPoint(10, 9), QPoint(12, 12)}));
          p.setBrush(QColor(255, 210, 0));
          p.drawRect(9, 5, 2, 2);
          break;
        case shell::kIconDrawing:
          p.setPen(Qt::NoPen);
          p.setBrush(QColor(220, 0, 0));
          p.drawPolygon(QPolygon({QPoint(4, 11), QPoint(7, 5), QPoint(10, 11)}));
          p.setBrush(QColor(0, 0, 220));
          p.drawEllipse(7, 3, 4, 4);
          break;
        case shell::kIconArchive:  // a zip down the middle
          for (int y = 1; y < 13; y += 2) {
            p.fillRect(6, y, 2, 1, QColor(30, 30, 30));
            p.fillRect(6, y + 1, 2, 1, QColor(240, 200, 0));
          }
          p.fillRect(5, 9, 4, 3, QColor(110, 110, 110));
          break;
        case shell::kIconChart:  // a pie
          p.setPen(kOutline);
          p.setBrush(QColor(40, 120, 230));
          p.drawEllipse(3, 4, 8, 8);
          p.setBrush(QColor(230, 60, 40));
          p.drawPie(3, 4, 8, 8, 0, 120 * 16);
          break;
        case shell::kIconSpreadsheet:
          p.setPen(QColor(0, 130, 0));
          for (int y = 4; y <= 12; y += 2) p.drawLine(3, y, 11, y);
          for (int x = 3; x <= 11; x += 4) p.drawLine(x, 4, x, 12);
          break;
        case shell::kIconPublication:  // two columns of text
          p.setPen(QColor(60, 60, 60));
          for (int y = 4; y <= 11; y += 2) {
            p.drawLine(3, y, 6, y);
            p.drawLine(8, y, 11, y);
          }
          p.fillRect(3, 2, 4, 1, QColor(200, 0, 0));
          break;
        case shell::kIconSystem:  // a cog
          p.setPen(Qt::NoPen);
          p.setBrush(QColor(100, 100, 110));
          p.drawEllipse(4, 5, 7, 7);
          for (const QRect& tooth : {QRect(6, 3, 3, 11), QRect(2, 7, 11, 3)}) p.drawRect(tooth);
          p.setBrush(Qt::white);
          p.drawEllipse(6, 7, 3, 3);
          break;
        default: break;  // a plain file
      }
    }
  }
}

QPixmap MakeIcon(int number) {
  QPixmap pixmap(kWidth, kHeight);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  Draw(painter, number);
  return pixmap;
}

}  // namespace

const QPixmap& FileIconPixmap(int number) {
  static const std::array<QPixmap, shell::kIconCount + 1> icons = [] {
    std::array<QPixmap, shell::kIconCount + 1> made;
    for (int n = 1; n <= shell::kIconCount; ++n) made[static_cast<size_t>(n)] = MakeIcon(n);
    return made;
  }();
  return icons[static_cast<size_t>(number >= 1 && number <= shell::kIconCount ? number : shell::kIconFile)];
}

}  // namespace widgets
