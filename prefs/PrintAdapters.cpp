#include "prefs/PrintAdapters.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "widgets/FontSetting.h"

namespace prefs {

TextSnapshot::TextSnapshot(const QPlainTextEdit& view) : font_(widgets::FontSettingOf(view.font())) {
  const QTextDocument* document = view.document();
  lines_.reserve(static_cast<size_t>(document->blockCount()));
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) lines_.push_back(block.text());
  const QTextCursor cursor = view.textCursor();
  hasSelection_ = cursor.hasSelection();
  if (hasSelection_) {
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    selection_ = {first.blockNumber(), cursor.selectionStart() - first.position(), last.blockNumber(),
                  cursor.selectionEnd() - last.position()};
  }
}

QString TextSnapshot::Line(int n) const {
  return n >= 0 && n < LineCount() ? lines_[static_cast<size_t>(n)] : QString();
}

void WindowPrintProgress::ProcessPendingInput() { QCoreApplication::processEvents(); }

}  // namespace prefs
