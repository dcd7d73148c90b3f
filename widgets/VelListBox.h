// An owner-drawn list of fixed-height lines: the In Box and the user lists.
//
// The lines are the owner's texts (Windows-1252, as the program keeps its
// texts), held in a model that hands the view only the lines it shows, so
// that a list of 100,000 lines costs no more to rebuild or to draw than the
// lines on screen.  The owner draws each line; before it is called the
// painter carries the list's font and, for a selected line (with
// ShowSelection), the selection colours, its background already filled.
// The list erases only the area below its last line, so that it does not
// flicker.
#pragma once

#include <QListView>
#include <functional>
#include <string>
#include <vector>

namespace widgets {

class VelListModel;

class TVelListBox : public QListView {
  Q_OBJECT
 public:
  // Draws line `index` into `rect`; the painter's pen is the text colour and
  // its brush the background.
  using DrawItem = std::function<void(QPainter& painter, int index, const QRect& rect, bool selected)>;

  explicit TVelListBox(QWidget* parent = nullptr);

  void SetDrawItem(DrawItem draw) { draw_ = std::move(draw); }
  // What a screen reader says for line `index`; the line's text without it.
  using SpokenText = std::function<QString(int index)>;
  void SetSpokenText(SpokenText spoken) { spoken_ = std::move(spoken); }
  bool ShowSelection() const { return showSelection_; }
  void SetShowSelection(bool on) {
    showSelection_ = on;
    viewport()->update();
  }

  // max(minimum, 2 x |font height| - |font size|), rounded down to even;
  // the font height in pixels and its size in points.  The minimum is 18.
  int ItemHeight() const { return itemHeight_; }
  void SetMinimumItemHeight(int minimum);
  // How wide the lines are drawn, for scrolling sideways; 0: as wide as the
  // list.
  void SetExtent(int width);

  // The lines.  Replacing them all is one change of the model, whatever
  // their number; the selection goes.  Line() throws std::out_of_range for
  // a row the list does not have.
  int count() const;
  std::string Line(int row) const;
  void SetLines(std::vector<std::string> lines);
  // `count` lines, line k made by `line(k)` only when it is drawn or asked
  // for.
  using LineSource = std::function<std::string(int row)>;
  void SetLines(int count, LineSource line);
  void SetLine(int row, std::string line);

  // The current line, selected alone; -1 for none.
  int currentRow() const;
  void setCurrentRow(int row);
  bool IsSelected(int row) const;
  // The line under a point of the viewport, or -1.
  int RowAt(const QPoint& at) const;
  QRect RowRect(int row) const;

 signals:
  // The selection changed (by the user or the program).
  void itemSelectionChanged();

 protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  friend class VelListDelegate;
  friend class VelListModel;
  void UpdateItemHeight();

  VelListModel* model_;
  DrawItem draw_;
  SpokenText spoken_;
  bool showSelection_ = true;
  int itemHeight_ = 18;
  int minimumItemHeight_ = 18;
  int extent_ = 0;
};

// The line height of a font, by the rule above.
int ListItemHeight(const QFont& font, double logicalDpi, int minimum = 18);

}  // namespace widgets
