// An owner-drawn list of fixed-height lines: the In Box and the user lists.
//
// The owner draws each line; before it is called the painter carries the
// list's font and, for a selected line (with ShowSelection), the selection
// colours, its background already filled.  The list erases only the area
// below its last line, so that it does not flicker.
#pragma once

#include <QListWidget>
#include <functional>

namespace widgets {

class TVelListBox : public QListWidget {
  Q_OBJECT
 public:
  // Draws line `index` into `rect`; the painter's pen is the text colour and
  // its brush the background.
  using DrawItem = std::function<void(QPainter& painter, int index, const QRect& rect, bool selected)>;

  explicit TVelListBox(QWidget* parent = nullptr);

  void SetDrawItem(DrawItem draw) { draw_ = std::move(draw); }
  bool ShowSelection() const { return showSelection_; }
  void SetShowSelection(bool on) { showSelection_ = on; viewport()->update(); }

  // max(18, 2 x |font height| - |font size|), rounded down to even; the font
  // height in pixels and its size in points.
  int ItemHeight() const { return itemHeight_; }

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  friend class VelListDelegate;
  void UpdateItemHeight();

  DrawItem draw_;
  bool showSelection_ = true;
  int itemHeight_ = 18;
};

// The line height of a font, by the rule above.
int ListItemHeight(const QFont& font, double logicalDpi);

}  // namespace widgets
