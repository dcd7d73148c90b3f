#include "prefs/PrintAdapters.h"

#include <QCoreApplication>
#include <QTextBlock>

#include "widgets/FontSetting.h"

namespace prefs {

PrintSource::Range ViewerPrintSource::Selection() const {
  const QTextCursor cursor = viewer_.textCursor();
  const QTextDocument* document = viewer_.document();
  const QTextBlock first = document->findBlock(cursor.selectionStart());
  const QTextBlock last = document->findBlock(cursor.selectionEnd());
  return {first.blockNumber(), cursor.selectionStart() - first.position(), last.blockNumber(),
          cursor.selectionEnd() - last.position()};
}

shell::FontSetting ViewerPrintSource::Font() const { return widgets::FontSettingOf(viewer_.font()); }

void WindowPrintProgress::StartProgress(int total) {
  window_.Cancelled = false;
  window_.StartProgress(total);
}

void WindowPrintProgress::StepProgress(const QString& caption, const QString& prompt, int steps) {
  window_.StepProgress(caption, prompt, steps);
}

void WindowPrintProgress::ProcessPendingInput() { QCoreApplication::processEvents(); }

}  // namespace prefs
