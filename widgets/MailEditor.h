// The editor of the send window: plain text with undo and redo, word wrap
// at a column, automatic indent, tab stops, insert and overwrite, and a
// status signal with the caret's line and column on every caret or text
// change.
#pragma once

#include <QPlainTextEdit>
#include <string>
#include <vector>

namespace widgets {

// A line with its tabs expanded to stops every `tabSize` columns.
QString ExpandTabs(const QString& line, int tabSize);

class TMailEditor : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TMailEditor(QWidget* parent = nullptr);

  bool IsEmpty() const { return document()->characterCount() <= 1; }
  int LineCount() const { return document()->blockCount(); }
  // Line `n` from 1, tabs expanded.
  QString Line(int n) const;
  // Every line as shown (with word wrap, a paragraph gives the lines it is
  // shown in), tabs expanded, as the program stores text (Windows-1252); a
  // line longer than a message line goes as several.
  std::vector<std::string> StoredLines() const;
  bool HasSelection() const { return textCursor().hasSelection(); }
  bool CanUndo() const { return canUndo_; }
  bool CanRedo() const { return canRedo_; }
  // How many average characters fit in the width shown.
  int VisibleColumns() const;

  bool Overwrite() const { return overwriteMode(); }
  void SetOverwrite(bool on);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);
  void SetWrapColumn(int column);
  bool AutoIndent() const { return autoIndent_; }
  void SetAutoIndent(bool on) { autoIndent_ = on; }
  int TabSize() const { return tabSize_; }
  void SetTabSize(int size);

  // Gives the editor the focus and inserts `text` at the caret.
  void InsertTextAtCaret(const QString& text);
  // Caret to line 1, column 1, line 1 at the top.
  void MoveToStart();
  void DeleteSelection() { textCursor().removeSelectedText(); }

  // The caret's line and column, both from 1.
  int CaretLine() const { return textCursor().blockNumber() + 1; }
  int CaretColumn() const { return textCursor().positionInBlock() + 1; }

 signals:
  void StatusChanged(int line, int column);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void EmitStatus() { emit StatusChanged(CaretLine(), CaretColumn()); }
  void ApplyWrap();

  bool canUndo_ = false, canRedo_ = false;
  bool wordWrap_ = true;
  bool autoIndent_ = false;
  int wrapColumn_ = 78;
  int tabSize_ = 8;
};

}  // namespace widgets
