// What a print run needs of the program's windows: the message viewer as
// the text printed, the progress window with its Stop button.
#pragma once

#include "prefs/PrintMessage.h"
#include "widgets/Progress.h"
#include "widgets/TextViewer.h"

namespace prefs {

class ViewerPrintSource : public PrintSource {
 public:
  explicit ViewerPrintSource(const widgets::TTextViewer& viewer) : viewer_(viewer) {}
  int LineCount() const override { return viewer_.LineCount(); }
  QString Line(int n) const override { return viewer_.Line(n); }
  bool HasSelection() const override { return viewer_.HasSelection(); }
  Range Selection() const override;
  shell::FontSetting Font() const override;

 private:
  const widgets::TTextViewer& viewer_;
};

class WindowPrintProgress : public PrintProgress {
 public:
  explicit WindowPrintProgress(widgets::TProgressReport& window) : window_(window) {}
  void StartProgress(int total) override;
  void StepProgress(const QString& caption, const QString& prompt, int steps) override;
  void EndProgress() override { window_.EndProgress(); }
  bool Cancelled() const override { return window_.Cancelled; }
  void ProcessPendingInput() override;

 private:
  widgets::TProgressReport& window_;
};

}  // namespace prefs
