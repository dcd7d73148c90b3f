#include "widgets/TextViewer.h"

#include <QTextBlock>
#include <algorithm>

#include "platform/Files.h"
#include "shell/AnsiText.h"
#include "widgets/FontSetting.h"

namespace widgets {

TTextViewer::TTextViewer(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &TTextViewer::StatusChanged);
  connect(this, &QPlainTextEdit::selectionChanged, this, &TTextViewer::StatusChanged);
  SetTabSize(tabSize_);
}

void TTextViewer::ViewTextFiles() {
  textFiles_ = true;
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TTextViewer::SetTabSize(int size) {
  tabSize_ = std::max(1, size);
  setTabStopDistance(TabDistance(font(), tabSize_));
}

void TTextViewer::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) SetTabSize(tabSize_);
  QPlainTextEdit::changeEvent(event);
}

int TTextViewer::OpenFile(const QString& path, size_t limit) {
  std::string bytes;
  const int code = platform::ReadWholeFile(path.toStdString(), bytes, limit);
  if (code != 0) {
    CloseFile();
    return code;
  }
  ShowText(path, shell::FromAnsi(bytes), true);
  return 0;
}

void TTextViewer::ShowText(const QString& path, QString text, bool asStored) {
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  if (textFiles_)
    text.removeIf([](QChar c) { return (c < u' ' && c != u'\t' && c != u'\n') || c == u'\x7f'; });
  if (text.endsWith('\n')) text.chop(1);  // the last line's end starts no new line
  setPlainText(text);
  open_ = true;
  asStored_ = asStored;
  fileName_ = path;
  emit StatusChanged();
}

void TTextViewer::CloseFile() {
  clear();
  open_ = false;
  fileName_.clear();
  emit StatusChanged();
}

int TTextViewer::LineCount() const { return open_ ? document()->blockCount() : 0; }

QString TTextViewer::Line(int n) const {
  const QTextBlock block = document()->findBlockByNumber(n);
  return block.isValid() && open_ ? block.text() : QString();
}

void TTextViewer::SetLine(int n, const QString& text) {
  const QTextBlock block = document()->findBlockByNumber(n);
  if (!block.isValid()) return;
  QTextCursor cursor(block);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  cursor.insertText(text);
  emit StatusChanged();
}

void TTextViewer::RemoveFirstLines(int count) {
  if (count <= 0) return;
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::Start);
  cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, count);
  if (cursor.blockNumber() < count) cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  emit StatusChanged();
}

QString TTextViewer::SelectedText() const {
  return textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n');
}

void TTextViewer::CopySelection() { copy(); }

void TTextViewer::SelectEverything() { selectAll(); }

void TTextViewer::MoveCaretToLine(int n) {
  const QTextBlock block = document()->findBlockByNumber(n);
  if (block.isValid()) setTextCursor(QTextCursor(block));
}

}  // namespace widgets
