#include "widgets/MailEditor.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>

#include "mailstore/MessageText.h"
#include "shell/AnsiText.h"
#include "widgets/FontSetting.h"

namespace widgets {

QString ExpandTabs(const QString& line, int tabSize) {
  if (!line.contains(u'\t')) return line;
  QString out;
  for (const QChar c : line) {
    if (c != u'\t') {
      out += c;
      continue;
    }
    do out += u' ';
    while (tabSize > 0 && out.size() % tabSize != 0);
  }
  return out;
}

TMailEditor::TMailEditor(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName("Editor");
  QFont font("Courier New");
  font.setPointSize(10);
  font.setFixedPitch(true);
  setFont(font);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabChangesFocus(false);
  // Setting the margin is a change of the document that leaves the undo
  // stack marked available: cleared, so that the first real edit tells the
  // commands that undo is there.
  document()->setDocumentMargin(8);
  document()->clearUndoRedoStacks();
  connect(this, &QPlainTextEdit::undoAvailable, this, [this](bool on) { canUndo_ = on; });
  connect(this, &QPlainTextEdit::redoAvailable, this, [this](bool on) { canRedo_ = on; });
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TMailEditor::EmitStatus);
  connect(this, &QPlainTextEdit::textChanged, this, &TMailEditor::EmitStatus);
  connect(this, &QPlainTextEdit::selectionChanged, this, &TMailEditor::EmitStatus);
  SetTabSize(8);
  ApplyWrap();
}

QString TMailEditor::Line(int n) const {
  const QTextBlock block = document()->findBlockByNumber(n - 1);
  return block.isValid() ? ExpandTabs(block.text(), tabSize_) : QString();
}

std::vector<std::string> TMailEditor::StoredLines() const {
  // The lines go as the editor shows them: with word wrap, a paragraph goes
  // as the lines it is shown in.  Each piece is laid out first, since the
  // editor lays out only what has been on screen.
  auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document()->documentLayout());
  std::vector<std::string> lines;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    const QString text = block.text();
    if (wordWrap_ && layout != nullptr) layout->ensureBlockLayout(block);
    const QTextLayout* lineLayout = block.layout();
    const int shown = wordWrap_ && lineLayout != nullptr ? lineLayout->lineCount() : 0;
    if (shown <= 1) {
      mailstore::AddMessageLine(lines, shell::ToAnsi(ExpandTabs(text, tabSize_)));
      continue;
    }
    for (int i = 0; i < shown; ++i) {
      const QTextLine line = lineLayout->lineAt(i);
      // The last line takes whatever the layout left, so nothing is lost.
      const int length = i + 1 < shown ? line.textLength() : text.size() - line.textStart();
      mailstore::AddMessageLine(lines, shell::ToAnsi(ExpandTabs(text.mid(line.textStart(), length), tabSize_)));
    }
  }
  return lines;
}

int TMailEditor::VisibleColumns() const {
  const int width = viewport()->width() - 2 * static_cast<int>(document()->documentMargin());
  return std::max(1, width / std::max(1, fontMetrics().horizontalAdvance(u'x')));
}

void TMailEditor::SetOverwrite(bool on) {
  setOverwriteMode(on);
  EmitStatus();
}

void TMailEditor::SetWordWrap(bool on) {
  wordWrap_ = on;
  ApplyWrap();
}

void TMailEditor::SetWrapColumn(int column) {
  wrapColumn_ = std::max(1, column);
  ApplyWrap();
}

void TMailEditor::ApplyWrap() {
  if (!wordWrap_) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    return;
  }
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void TMailEditor::SetTabSize(int size) {
  tabSize_ = std::clamp(size, 1, 80);
  setTabStopDistance(TabDistance(font(), tabSize_));
}

void TMailEditor::InsertTextAtCaret(const QString& text) {
  setFocus();
  insertPlainText(text);
}

void TMailEditor::MoveToStart() {
  moveCursor(QTextCursor::Start);
  verticalScrollBar()->setValue(0);
}

void TMailEditor::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) SetTabSize(tabSize_);
  QPlainTextEdit::changeEvent(event);
}

void TMailEditor::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
    SetOverwrite(!overwriteMode());
    return;
  }
  if (autoIndent_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier) {
    // The new line starts under the first character of the line before.
    const QString line = textCursor().block().text();
    qsizetype indent = 0;
    while (indent < line.size() && (line[indent] == u' ' || line[indent] == u'\t')) ++indent;
    textCursor().insertText(QStringLiteral("\n") + line.left(indent));
    return;
  }
  // Ctrl+Del is the Delete command, which acts on a selection only: it
  // never falls through to deleting a word.
  if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier && !textCursor().hasSelection())
    return;
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace widgets
