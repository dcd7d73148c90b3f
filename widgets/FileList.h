// The program's file list: a directory's drives, folders and files (or the
// files a search found), one line each with its icon, and with details the
// columns Name, Size, Date, Time and Attr.  What is listed, and in what
// order, is shell::FileListing's; this control draws it and takes the
// user's keys and clicks.
#pragma once

#include <QHeaderView>
#include <array>

#include "shell/FileListing.h"
#include "widgets/VelListBox.h"

namespace widgets {

class TFileList : public TVelListBox {
  Q_OBJECT
 public:
  explicit TFileList(QWidget* parent = nullptr);

  // Lists `directory` (relative to the one listed); LastError tells how it
  // went.
  void SetDirectory(const QString& directory);
  QString Directory() const { return QString::fromStdString(listing_.Directory()); }
  // Lists again only when the mask changed.
  void SetFileMask(const QString& mask);
  QString FileMask() const { return QString::fromStdString(listing_.fileMask); }
  // These list again when the value changes.
  void SetListOrder(shell::TFileListOrder order);
  shell::TFileListOrder ListOrder() const { return listing_.listOrder; }
  void SetShowSystemFiles(bool show);
  bool ShowSystemFiles() const { return listing_.showSystemFiles; }
  void SetTextCase(shell::TTextCase textCase);
  void SetListDetails(int details);
  void SetSearchMode(shell::TSearchModeTypes mode);
  shell::TSearchModeTypes SearchMode() const { return listing_.searchMode; }
  // Sorts again without listing.
  void SetSortBy(shell::TFileListSortTypes sortBy);
  // The columns shown: a set of shell::TFileDetailItems.
  void SetFileDetails(int details);
  int FileDetails() const { return fileDetails_; }

  int ListCount() const { return listing_.ListCount(); }
  qint64 ListSize() const { return listing_.ListSize(); }
  int LastError() const { return listing_.LastError(); }
  // Lists again, keeping the first row shown and the selected one.
  void Refresh();
  // See shell::FileListing::TryLocation.
  int TryLocation(const QString& mask, const QString& directory);

  // Entry `i`: its kind (A to F), shown name, path, icon.
  char TypeOf(int i) const { return listing_.TypeOf(i); }
  QString NameOf(int i) const;
  QString PathOf(int i) const { return QString::fromStdString(listing_.PathOf(i)); }
  const shell::FileListing& Listing() const { return listing_; }

  // Column widths: Name, Size, Date, Time, Attr.  Below 0 is 0; Name is at
  // least 30.
  int ColumnWidth(int column) const { return widths_[static_cast<size_t>(column)]; }
  void SetColumnWidth(int column, int width);
  // A header kept in step with sideways scrolling.
  void SetHeader(QHeaderView* header);

  // Called for each entry found while listing (see shell::FileListing).
  void SetAddFileHook(std::function<void(const shell::FileListEntry&, int&, bool&, const std::string&)> hook);

 signals:
  // After every listing and every change of the selection.
  void Changed();
  // A double click, or Enter, on entry `index`.
  void Chosen(int index);
  void SearchBegin();
  void SearchEnd();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyboardSearch(const QString& search) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // Lists `target` and shows the result.
  void List(const std::string& target);
  void ShowEntries(int selected);
  void UpdateExtent();
  void DrawEntry(QPainter& painter, int index, const QRect& rect, bool selected);
  // Sets a setting of the listing and lists again when it changed.
  template <typename T>
  void Relist(T& setting, T value) {
    if (setting == value) return;
    setting = value;
    Refresh();
  }

  shell::FileListing listing_;
  std::function<void(const shell::FileListEntry&, int&, bool&, const std::string&)> addFile_;
  int fileDetails_ = shell::fdName;
  std::array<int, 5> widths_{150, 75, 70, 90, 45};
  QHeaderView* header_ = nullptr;
  std::string dateFormat_;
};

// An integer with "," between each group of three digits.
QString Thousands(qint64 value);

}  // namespace widgets
