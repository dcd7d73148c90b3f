// A read-only view of a text file: the message viewer of the main window.
//
// Files are Windows-1252 text with CR LF line ends.  Every change of the
// file, the caret or the selection raises StatusChanged, which the windows
// use to enable their commands.
#pragma once

#include <QPlainTextEdit>

namespace widgets {

class TTextViewer : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TTextViewer(QWidget* parent = nullptr);

  // Opens a file, or shows its first `limit` bytes.  Returns 0 or the code
  // of the failure (the view is then closed).
  int OpenFile(const QString& path, size_t limit = SIZE_MAX);
  // Shows `text` (lines ended by CR LF, CR or LF) as the open file `path`:
  // a message whose text was read, and unscrambled, by its reader.
  // `asStored`: the text is the file's own, not changed in the reading.
  void ShowText(const QString& path, QString text, bool asStored = false);
  // Whether the text shown is the open file's as it is stored (and so a
  // copy of the file saves it).
  bool ShowsStoredFile() const { return open_ && asStored_; }
  void CloseFile();
  bool IsOpen() const { return open_; }
  const QString& FileName() const { return fileName_; }

  int LineCount() const;
  // Line `n` (from 0); empty past the end.
  QString Line(int n) const;
  // Replaces the text of line `n`.
  void SetLine(int n, const QString& text);
  // Removes the first `count` lines.
  void RemoveFirstLines(int count);

  bool HasSelection() const { return textCursor().hasSelection(); }
  QString SelectedText() const;
  void CopySelection();
  void SelectEverything();
  // Puts the caret at the start of line `n`.
  void MoveCaretToLine(int n);
  // A viewer of text files leaves out the control characters other than
  // the tab, and always shows both scroll bars; the message viewer shows
  // what a message holds.
  void ViewTextFiles();
  // Tab stops every `size` spaces of the viewer's font, whatever font it
  // is given later; 8 at first.
  void SetTabSize(int size);

 signals:
  void StatusChanged();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  int tabSize_ = 8;
  bool textFiles_ = false;
  bool open_ = false;
  bool asStored_ = false;
  QString fileName_;
};

}  // namespace widgets
