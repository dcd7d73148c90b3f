#include "widgets/VelListBox.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <unordered_map>

#include "shell/AnsiText.h"

namespace widgets {

int ListItemHeight(const QFont& font, double logicalDpi, int minimum) {
  const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / logicalDpi;
  const int pixels = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(points * logicalDpi / 72.0));
  const int height = std::max(minimum, 2 * std::abs(pixels) - static_cast<int>(std::lround(std::abs(points))));
  return height - height % 2;
}

// The lines, made and converted for the view only when it asks for one.
class VelListModel : public QAbstractListModel {
 public:
  explicit VelListModel(TVelListBox* list) : QAbstractListModel(list), list_(list) {}
  int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : count_; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::AccessibleTextRole && list_ != nullptr && list_->spoken_) return list_->spoken_(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return shell::FromAnsi(Line(index.row()));
    return {};
  }
  std::string Line(int row) const {
    if (const auto changed = changed_.find(row); changed != changed_.end()) return changed->second;
    return source_(row);
  }
  void SetLines(int count, TVelListBox::LineSource source) {
    beginResetModel();
    count_ = std::max(0, count);
    source_ = std::move(source);
    changed_.clear();
    endResetModel();
  }
  void SetLine(int row, std::string line) {
    changed_[row] = std::move(line);
    emit dataChanged(index(row), index(row));
  }

 private:
  TVelListBox* list_;
  int count_ = 0;
  TVelListBox::LineSource source_;
  std::unordered_map<int, std::string> changed_;  // lines set one by one since the last SetLines
};

class VelListDelegate : public QStyledItemDelegate {
 public:
  explicit VelListDelegate(TVelListBox* list) : QStyledItemDelegate(list), list_(list) {}

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(std::max(list_->viewport()->width(), list_->extent_), list_->itemHeight_);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = list_->showSelection_ && (option.state & QStyle::State_Selected);
    const QPalette& palette = list_->palette();
    painter->save();
    painter->setFont(list_->font());
    painter->setBrush(selected ? palette.color(QPalette::Highlight) : palette.color(QPalette::Base));
    painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
    painter->fillRect(option.rect, painter->brush());
    if (list_->draw_) {
      list_->draw_(*painter, index.row(), option.rect, selected);
    } else {
      painter->drawText(option.rect.adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft,
                        index.data(Qt::DisplayRole).toString());
    }
    painter->restore();
    if (list_->showSelection_ && (option.state & QStyle::State_HasFocus) && list_->hasFocus()) {
      QStyleOptionFocusRect focus;
      focus.rect = option.rect;
      focus.palette = palette;
      list_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, list_);
    }
  }

 private:
  TVelListBox* list_;
};

TVelListBox::TVelListBox(QWidget* parent) : QListView(parent), model_(new VelListModel(this)) {
  setModel(model_);
  setItemDelegate(new VelListDelegate(this));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  viewport()->setAutoFillBackground(false);  // paintEvent erases below the last line only
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &TVelListBox::itemSelectionChanged);
  UpdateItemHeight();
}

int TVelListBox::count() const { return model_->rowCount(); }

std::string TVelListBox::Line(int row) const {
  if (row < 0 || row >= count()) throw std::out_of_range("no such line in the list");
  return model_->Line(row);
}

void TVelListBox::SetLines(std::vector<std::string> lines) {
  auto shared = std::make_shared<const std::vector<std::string>>(std::move(lines));
  const int count = static_cast<int>(shared->size());
  SetLines(count, [shared](int row) { return (*shared)[static_cast<size_t>(row)]; });
}

void TVelListBox::SetLines(int count, LineSource line) { model_->SetLines(count, std::move(line)); }

void TVelListBox::SetLine(int row, std::string line) {
  if (row >= 0 && row < count()) model_->SetLine(row, std::move(line));
}

int TVelListBox::currentRow() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void TVelListBox::setCurrentRow(int row) {
  if (row < 0 || row >= count()) {
    selectionModel()->clear();
    return;
  }
  selectionModel()->setCurrentIndex(model_->index(row), QItemSelectionModel::ClearAndSelect);
}

bool TVelListBox::IsSelected(int row) const { return selectionModel()->isRowSelected(row, QModelIndex()); }

int TVelListBox::RowAt(const QPoint& at) const {
  const QModelIndex index = indexAt(at);
  return index.isValid() ? index.row() : -1;
}

QRect TVelListBox::RowRect(int row) const { return visualRect(model_->index(row)); }

void TVelListBox::UpdateItemHeight() {
  itemHeight_ = ListItemHeight(font(), logicalDpiY(), minimumItemHeight_);
  doItemsLayout();
}

void TVelListBox::SetMinimumItemHeight(int minimum) {
  minimumItemHeight_ = minimum;
  UpdateItemHeight();
}

void TVelListBox::SetExtent(int width) {
  if (width == extent_) return;
  extent_ = width;
  doItemsLayout();
  viewport()->update();
}

void TVelListBox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) UpdateItemHeight();
  QListView::changeEvent(event);
}

void TVelListBox::paintEvent(QPaintEvent* event) {
  const int filled = count() == 0 ? 0 : RowRect(count() - 1).bottom() + 1;
  if (filled < viewport()->height()) {
    QPainter painter(viewport());
    painter.fillRect(QRect(0, std::max(0, filled), viewport()->width(), viewport()->height() - std::max(0, filled)),
                     palette().color(QPalette::Base));
  }
  QListView::paintEvent(event);
}

}  // namespace widgets
