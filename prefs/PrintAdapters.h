// What a print run needs of the program's windows: the text printed, taken
// from the viewer or the editor when the run starts, and the progress
// window with its Stop button.
#pragma once

#include <vector>

#include "prefs/PrintMessage.h"
#include "widgets/Progress.h"

class QPlainTextEdit;

namespace prefs {

// The lines, the selection and the font of a text view as they were when
// it was taken: the window may show other text while the run goes on.
class TextSnapshot : public PrintSource {
 public:
  explicit TextSnapshot(const QPlainTextEdit& view);
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  QString Line(int n) const override;
  bool HasSelection() const override { return hasSelection_; }
  Range Selection() const override { return selection_; }
  shell::FontSetting Font() const override { return font_; }

 private:
  std::vector<QString> lines_;
  bool hasSelection_ = false;
  Range selection_;
  shell::FontSetting font_;
};

class WindowPrintProgress : public PrintProgress {
 public:
  explicit WindowPrintProgress(widgets::TProgressReport& window) : window_(window) {}
  void StartProgress(int total) override { window_.StartProgress(total); }
  void StepProgress(const QString& caption, const QString& prompt, int steps) override {
    window_.StepProgress(caption, prompt, steps);
  }
  void EndProgress() override { window_.EndProgress(); }
  bool Cancelled() const override { return window_.Cancelled; }
  void ProcessPendingInput() override;

 private:
  widgets::TProgressReport& window_;
};

}  // namespace prefs
