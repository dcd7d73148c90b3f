// A small window that shows the text on the clipboard as it changes.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

namespace widgets {

class TClipboardViewer : public QWidget {
  Q_OBJECT
 public:
  explicit TClipboardViewer(QWidget* owner = nullptr);
  QPlainTextEdit* Contents;

 private:
  void Update();
};

// Shows the clipboard viewer owned by `owner` (one for the program: a
// second request brings it forward).  When it cannot be shown the user is
// told so.
void ShowClipboardViewer(QWidget* owner);

// The alert when the viewer cannot be shown; `result` says why.
QString ClipboardViewerFailureText(int result);

}  // namespace widgets
