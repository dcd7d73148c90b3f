#include "widgets/FileList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "mailstore/MessageRecord.h"
#include "platform/Environment.h"
#include "widgets/FileIcons.h"

namespace widgets {

namespace {

platform::LocalTime Unpacked(uint32_t packed) {
  platform::LocalTime t;
  t.year = static_cast<int>(packed >> 25) + 1980;
  t.month = static_cast<int>(packed >> 21 & 15);
  t.day = static_cast<int>(packed >> 16 & 31);
  t.hour = static_cast<int>(packed >> 11 & 31);
  t.minute = static_cast<int>(packed >> 5 & 63);
  t.second = static_cast<int>(packed & 31) * 2;
  return t;
}

}  // namespace

QString Thousands(qint64 value) {
  QString digits = QString::number(value < 0 ? -value : value);
  for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, u',');
  return value < 0 ? QStringLiteral("-") + digits : digits;
}

TFileList::TFileList(QWidget* parent) : TVelListBox(parent), dateFormat_(platform::ShortDateFormat()) {
  setObjectName("FileList");
  SetMinimumItemHeight(16);
  SetDrawItem([this](QPainter& painter, int index, const QRect& rect, bool selected) {
    DrawEntry(painter, index, rect, selected);
  });
  listing_.SetHooks({.searchBegin = [this] { emit SearchBegin(); },
                     .searchEnd = [this] { emit SearchEnd(); },
                     .addFile = [this](const shell::FileListEntry& entry, int& code, bool& accept,
                                       const std::string& directory) {
                       if (addFile_) addFile_(entry, code, accept, directory);
                     }});
  connect(this, &TVelListBox::itemSelectionChanged, this, &TFileList::Changed);
  SetSpokenText([this](int index) {
    static const char* const kKinds[] = {"new file", "drive", "root folder", "parent folder", "folder", "file"};
    const char kind = listing_.TypeOf(index);
    const QString what = kind >= 'A' && kind <= 'F' ? kKinds[kind - 'A'] : "";
    return what + QStringLiteral(" ") + NameOf(index);
  });
  connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) { emit Chosen(index.row()); });
}

void TFileList::SetAddFileHook(std::function<void(const shell::FileListEntry&, int&, bool&, const std::string&)> hook) {
  addFile_ = std::move(hook);
}

void TFileList::List(const std::string& target) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  setUpdatesEnabled(false);
  listing_.List(target);
  ShowEntries(listing_.LeftDirectoryIndex());
  setUpdatesEnabled(true);
  QApplication::restoreOverrideCursor();
  emit Changed();
}

void TFileList::ShowEntries(int selected) {
  std::vector<std::string> lines;
  lines.reserve(listing_.Entries().size());
  for (const shell::FileListEntry& entry : listing_.Entries()) lines.push_back(entry.text);
  SetLines(std::move(lines));
  UpdateExtent();
  if (selected >= 0) {
    setCurrentRow(selected);
    scrollTo(model()->index(selected, 0));
  }
}

void TFileList::SetDirectory(const QString& directory) { List(directory.toStdString()); }

void TFileList::SetFileMask(const QString& mask) {
  if (mask.toStdString() == listing_.fileMask) return;
  listing_.fileMask = mask.toStdString();
  if (!listing_.Directory().empty()) List(std::string());
}

void TFileList::SetListOrder(shell::TFileListOrder order) { Relist(listing_.listOrder, order); }

void TFileList::SetShowSystemFiles(bool show) { Relist(listing_.showSystemFiles, show); }

void TFileList::SetTextCase(shell::TTextCase textCase) { Relist(listing_.textCase, textCase); }

void TFileList::SetListDetails(int details) { Relist(listing_.listDetails, details); }

void TFileList::SetSearchMode(shell::TSearchModeTypes mode) {
  if (mode == listing_.searchMode) return;
  listing_.searchMode = mode;
  if (!listing_.Directory().empty()) List(std::string());
}

void TFileList::SetSortBy(shell::TFileListSortTypes sortBy) {
  listing_.SetSortBy(sortBy);
  ShowEntries(-1);
}

void TFileList::SetFileDetails(int details) {
  fileDetails_ = details | shell::fdName;
  UpdateExtent();
  viewport()->update();
}

void TFileList::Refresh() {
  // Nothing is listed before a directory is set.
  if (listing_.Directory().empty()) return;
  const int top = RowAt(QPoint(0, 0));
  const int selected = currentRow();
  List(std::string());
  if (count() == 0) return;
  if (top >= 0) scrollTo(model()->index(std::min(top, count() - 1), 0), QAbstractItemView::PositionAtTop);
  if (selected >= 0) setCurrentRow(std::min(selected, count() - 1));
}

int TFileList::TryLocation(const QString& mask, const QString& directory) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const int code = listing_.TryLocation(mask.toStdString(), directory.toStdString());
  ShowEntries(-1);
  QApplication::restoreOverrideCursor();
  emit Changed();
  return code;
}

QString TFileList::NameOf(int i) const {
  return i >= 0 && i < listing_.Count() ? QString::fromStdString(listing_.Entries()[static_cast<size_t>(i)].shown)
                                        : QString();
}

void TFileList::SetColumnWidth(int column, int width) {
  if (column < 0 || column >= 5) return;
  widths_[static_cast<size_t>(column)] = std::max(column == 0 ? 30 : 0, width);
  UpdateExtent();
  viewport()->update();
}

void TFileList::SetHeader(QHeaderView* header) { header_ = header; }

void TFileList::scrollContentsBy(int dx, int dy) {
  TVelListBox::scrollContentsBy(dx, dy);
  if (header_ != nullptr) header_->setOffset(horizontalScrollBar()->value());
}

void TFileList::UpdateExtent() {
  int extent = 0;
  if (fileDetails_ == shell::fdName) {
    const QFontMetrics metrics(font());
    for (const shell::FileListEntry& entry : listing_.Entries())
      extent = std::max(extent, metrics.horizontalAdvance(QString::fromStdString(entry.shown)));
    extent += 20;
  } else {
    for (int column = 0; column < 5; ++column)
      if (fileDetails_ & (1 << column)) extent += widths_[static_cast<size_t>(column)];
  }
  SetExtent(extent);
}

void TFileList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
    emit Chosen(currentRow());
    return;
  }
  TVelListBox::keyPressEvent(event);
}

// A letter or a digit goes to the next entry that starts with it.
void TFileList::keyboardSearch(const QString& search) {
  if (search.isEmpty()) return;
  const QChar c = search.back();
  if (!c.isLetterOrNumber() || c.unicode() > 0x7F) return;
  const int next = listing_.NextStartingWith(static_cast<char>(c.unicode()), currentRow());
  if (next < 0) return;
  setCurrentRow(next);
  scrollTo(model()->index(next, 0));
}

void TFileList::DrawEntry(QPainter& painter, int index, const QRect& rect, bool selected) {
  if (index < 0 || index >= listing_.Count()) return;
  const shell::FileListEntry& entry = listing_.Entries()[static_cast<size_t>(index)];
  const char kind = listing_.TypeOf(index);
  const int details = listing_.listDetails;
  const bool highlight =
      selected && (((kind == 'E' || kind == 'F') && (details & shell::ldFiles)) || details == shell::ldDrives);
  if (selected && !highlight) {
    painter.fillRect(rect, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
  }
  painter.drawPixmap(rect.x() + 2, rect.y() + rect.height() / 2 - 7, FileIconPixmap(entry.icon));
  const QString name = QString::fromStdString(entry.shown);
  if (fileDetails_ == shell::fdName) {
    painter.drawText(QRect(rect.x() + 20, rect.y(), rect.width() - 20, rect.height()),
                     Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, name);
    return;
  }
  const QPen textPen = painter.pen();
  const QColor separator = palette().color(QPalette::Disabled, QPalette::Text);
  const bool file = kind == 'F';
  const bool directory = kind == 'E';
  const bool unknown = shell::IsUnknownDate(entry.date);
  int x = rect.x();
  for (int column = 0; column < 5; ++column) {
    if (!(fileDetails_ & (1 << column))) continue;
    const int width = widths_[static_cast<size_t>(column)];
    const QRect cell(x, rect.y(), width, rect.height());
    const QRect inside = cell.adjusted(column == 0 ? 20 : 2, 0, -4, 0);
    QString text;
    if (column == 0) text = name;
    else if (column == 1 && file) text = Thousands(entry.size);
    else if (column == 2 && (file || directory))
      text = unknown ? QStringLiteral("?")
                     : QString::fromStdString(mailstore::FormatShortDate(Unpacked(entry.date), dateFormat_));
    else if (column == 3 && (file || directory))
      text = unknown ? QStringLiteral("?") : QString::fromStdString(mailstore::FormatLongTime(Unpacked(entry.date)));
    else if (column == 4 && (file || directory))
      text = QString::fromStdString(shell::AttributeLetters(entry.attributes));
    painter.setPen(textPen);
    painter.save();
    painter.setClipRect(inside);
    painter.drawText(inside, Qt::AlignVCenter | Qt::TextSingleLine | (column == 0 ? Qt::AlignLeft : Qt::AlignRight),
                     text);
    painter.restore();
    painter.setPen(separator);
    painter.drawLine(cell.right(), cell.top(), cell.right(), cell.bottom());
    x += width;
  }
}

}  // namespace widgets
