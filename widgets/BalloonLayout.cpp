#include "widgets/BalloonLayout.h"

#include <algorithm>

namespace widgets {

BalloonLayout ComputeBalloonLayout(QSize text, QSize picture, bool question) {
  BalloonLayout l;
  l.balloon = QRect(kBalloonAt, QSize(text.width() + 2 * kBalloonTextOffset + kBalloonStemSize,
                                      text.height() + 2 * kBalloonTextOffset));
  l.picture = QRect(kPictureAt, picture);
  if (l.balloon.height() < picture.height()) {
    l.balloon.setHeight(picture.height());
  } else {
    l.picture.moveTop(l.balloon.height() / 2 - picture.height() / 2 + 16);
  }
  const int buttonRow = question ? 2 * kButtonSize.width() + 40 : kButtonSize.width() + 32;
  const int width = std::max(buttonRow, picture.width() + l.balloon.width() + 40);
  const int height = std::max(l.picture.bottom() + 1, l.balloon.bottom() + 1) + kButtonSize.height() + 32;
  l.client = QSize(width, height);
  const int top = height - kButtonSize.height() - 16;
  l.ok = QRect(QPoint(width / 2 - kButtonSize.width() / 2, top), kButtonSize);
  l.yes = QRect(QPoint(width / 2 - kButtonSize.width() - 4, top), kButtonSize);
  l.no = QRect(QPoint(width / 2 + 4, top), kButtonSize);
  return l;
}

}  // namespace widgets
