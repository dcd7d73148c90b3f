// Where the parts of a balloon dialog (alert, question, notice) go, sized to
// the text.
#pragma once

#include <QRect>
#include <QSize>

namespace widgets {

struct BalloonLayout {
  QRect picture;
  QRect balloon;
  QSize client;
  QRect ok;   // the alert's and the notice's button
  QRect yes;  // the question's buttons
  QRect no;
};

inline constexpr QPoint kPictureAt{16, 16};
inline constexpr QPoint kBalloonAt{80, 16};
inline constexpr QSize kButtonSize{81, 28};
inline constexpr int kBalloonTextOffset = 8;
inline constexpr int kBalloonStemSize = 12;

// `text`: the measured size of the text; `picture`: the picture's size;
// `question`: Yes and No instead of OK.
BalloonLayout ComputeBalloonLayout(QSize text, QSize picture, bool question);

}  // namespace widgets
