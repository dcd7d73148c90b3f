#include "widgets/VelListBox.h"

#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <cmath>

namespace widgets {

int ListItemHeight(const QFont& font, double logicalDpi) {
  const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / logicalDpi;
  const int pixels = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(points * logicalDpi / 72.0));
  const int height = std::max(18, 2 * std::abs(pixels) - static_cast<int>(std::lround(std::abs(points))));
  return height - height % 2;
}

class VelListDelegate : public QStyledItemDelegate {
 public:
  explicit VelListDelegate(TVelListBox* list) : QStyledItemDelegate(list), list_(list) {}

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(list_->viewport()->width(), list_->itemHeight_);
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

TVelListBox::TVelListBox(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new VelListDelegate(this));
  setUniformItemSizes(true);
  viewport()->setAutoFillBackground(false);  // paintEvent erases below the last line only
  UpdateItemHeight();
}

void TVelListBox::UpdateItemHeight() {
  itemHeight_ = ListItemHeight(font(), logicalDpiY());
  doItemsLayout();
}

void TVelListBox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) UpdateItemHeight();
  QListWidget::changeEvent(event);
}

void TVelListBox::paintEvent(QPaintEvent* event) {
  const int filled = count() == 0 ? 0 : visualItemRect(item(count() - 1)).bottom() + 1;
  if (filled < viewport()->height()) {
    QPainter painter(viewport());
    painter.fillRect(QRect(0, std::max(0, filled), viewport()->width(), viewport()->height() - std::max(0, filled)),
                     palette().color(QPalette::Base));
  }
  QListWidget::paintEvent(event);
}

}  // namespace widgets
