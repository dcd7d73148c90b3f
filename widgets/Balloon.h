// A speech balloon: a rounded box with a triangular stem on one side,
// holding word-wrapped text.  Outside the balloon the parent shows through.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace widgets {

enum class TBalloonStemPos { spLeft, spTop, spRight, spBottom };

class TBalloon : public QWidget {
  Q_OBJECT
 public:
  explicit TBalloon(QWidget* parent = nullptr);

  // Carriage returns start new lines; "&" is shown as it is.
  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }

  int cornerSize = 16;
  // Invalid: the palette's base colour, white in a light scheme, so that the
  // text (in the palette's text colour) reads in a dark one too.
  QColor backgroundColor;
  int xOffset = 5;
  int yOffset = 3;
  TBalloonStemPos stemPos = TBalloonStemPos::spLeft;
  int stemSize = 12;
  int stemWidth = 4;
  int stemOffset = 0;
  Qt::Alignment alignment = Qt::AlignLeft;

  // The box: the control less the stem's side.
  QRect BoxRect() const;
  // Where the text goes: the box less the offsets.
  QRect TextRect() const;
  // The rectangle the caption fills within the text area (centred
  // vertically when shorter).
  QRect CaptionRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QString caption_;
};

// Texts of the program break lines with carriage returns.
QString WithLineBreaks(const QString& text);
// `text` with its line breaks, and with a place to break inside every word
// too long for a line (a path, a long name), so that word wrap never has to
// leave a line wider than the balloon.
QString ShownCaption(const QString& text);

}  // namespace widgets
