// An embossed label: the caption in white, in black and in its own colour,
// offset from each other.  As a button it looks pressed while the mouse
// button is held down on it.
#pragma once

#include <QLabel>

namespace widgets {

enum class TLabelStyle { lsRaised, lsLowered };

class TLabel3D : public QLabel {
  Q_OBJECT
 public:
  explicit TLabel3D(const QString& text = {}, QWidget* parent = nullptr);

  int Offset() const { return offset_; }
  TLabelStyle LabelStyle() const { return style_; }
  // Changing the style turns the offset round: lowered swaps light and dark.
  void SetLabelStyle(TLabelStyle style);
  bool AsButton() const { return asButton_; }
  void SetAsButton(bool on);

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int offset_ = 1;
  TLabelStyle style_ = TLabelStyle::lsRaised;
  bool asButton_ = false;
  bool pressed_ = false;
};

}  // namespace widgets
