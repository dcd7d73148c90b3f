// The progress window (unscrambling, printing) and the "Sending Mail To:"
// window of delivery.  Both are made at start-up, shown and hidden, never
// modal; their controls are made when first needed, so that the start does
// not wait for windows it may never show.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "widgets/VelForm.h"

namespace widgets {

class TProgressReport : public TVelForm {
  Q_OBJECT
 public:
  explicit TProgressReport(QWidget* parent = nullptr);

  // Prepares for `total` steps; the gauge shows only when total > 1.
  void StartProgress(int total);
  // Shows the window; a non-empty caption or prompt replaces the old one;
  // with steps >= 0 the gauge advances, never past its maximum.
  void StepProgress(const QString& caption, const QString& prompt, int steps);
  void EndProgress();

  // Set when the user stopped the operation with the Stop button.
  bool Cancelled = false;

  // Made by the first StartProgress or StepProgress.
  QLabel* Prompt = nullptr;
  QFrame* ProgressPanel = nullptr;
  QProgressBar* ProgressBar = nullptr;
  QPushButton* CancelButton = nullptr;

 private:
  void Build();
  int position_ = 0;
  int maximum_ = 0;
};

class TMailProgressReport : public QWidget {
  Q_OBJECT
 public:
  explicit TMailProgressReport(QWidget* parent = nullptr);

  void ShowSending(const QString& name);
  void ClearSending();
  void HideSending();

  // Made by the first ShowSending.
  QLabel* UserName = nullptr;

 private:
  void Build();
};

}  // namespace widgets
