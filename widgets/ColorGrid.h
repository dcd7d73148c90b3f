// A grid of the 16 standard colours, 8 by 2, numbered row by row: a left
// click chooses the text colour (marked "FG"), a right click the background
// (marked "BG").  Both marks are always shown.
#pragma once

#include <QWidget>
#include <cstdint>

namespace widgets {

// Cell `index` (0 to 15) as a stored colour, 0x00BBGGRR.
int32_t GridColour(int index);

class TColorGrid : public QWidget {
  Q_OBJECT
 public:
  explicit TColorGrid(QWidget* parent = nullptr);

  int ForegroundIndex() const { return foreground_; }
  int BackgroundIndex() const { return background_; }
  // Setting a cell says nothing (Changed is for the user's clicks).
  void SetForegroundIndex(int index);
  void SetBackgroundIndex(int index);
  int32_t ForegroundColour() const { return GridColour(foreground_); }
  int32_t BackgroundColour() const { return GridColour(background_); }
  // The cell under a point, or -1.
  int CellAt(const QPoint& at) const;
  QRect CellRect(int index) const;

 signals:
  void Changed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int foreground_ = 0;
  int background_ = 15;
};

}  // namespace widgets
