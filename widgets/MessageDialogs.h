// The program's message dialogs: a picture, the text in a speech balloon,
// the buttons centred below, the dialog sized to the text.
//
//   ShowAlert   a message with OK; the alert window made at start-up is
//               reused; a call while it is on screen (a timer during an
//               alert) falls back to the plain message box
//   AskUser     Yes (the default) or No; Escape and the close box say No
//   ShowNotice  a notification that brings the program forward; a second
//               notice while one is shown only updates it
//   GetInput    a one-line input box
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>

#include "widgets/Balloon.h"
#include "widgets/BalloonLayout.h"
#include "widgets/VelForm.h"
#include "widgets/VelImage.h"

class QLineEdit;

namespace widgets {

// The title of error alerts; the main window sets "KV Mailbox".
const QString& ProgramTitle();
void SetProgramTitle(const QString& title);

// A balloon dialog with its picture, balloon and measuring label.
class TBalloonDialog : public TVelForm {
  Q_OBJECT
 public:
  explicit TBalloonDialog(QWidget* parent = nullptr);

  // Sets the caption and the text and lays the dialog out to fit.
  void SetMessage(const QString& title, const QString& text);
  const BalloonLayout& Layout() const { return layout_; }

  TVelImage* Image1;
  TBalloon* Prompt;
  QLabel* Test;

 protected:
  virtual bool IsQuestion() const { return false; }
  virtual void PlaceButtons(const BalloonLayout& layout) = 0;
  void showEvent(QShowEvent* event) override;
  // Whether showing sounds the warning.
  bool beepOnShow_ = true;

 private:
  BalloonLayout layout_;
};

class TAlertDialog : public TBalloonDialog {
  Q_OBJECT
 public:
  explicit TAlertDialog(QWidget* parent = nullptr);
  QPushButton* OkButton;

 protected:
  void PlaceButtons(const BalloonLayout& layout) override;
};

class TNotifyDialog : public TAlertDialog {
  Q_OBJECT
 public:
  explicit TNotifyDialog(QWidget* parent = nullptr) : TAlertDialog(parent) { setObjectName("NotifyDialog"); }
};

class TAskUserDialog : public TBalloonDialog {
  Q_OBJECT
 public:
  explicit TAskUserDialog(QWidget* parent = nullptr);
  QPushButton* YesButton;
  QPushButton* NoButton;

 protected:
  bool IsQuestion() const override { return true; }
  void PlaceButtons(const BalloonLayout& layout) override;
};

class TGetInputDialog : public TVelForm {
  Q_OBJECT
 public:
  explicit TGetInputDialog(QWidget* parent = nullptr);
  QLabel* PromptStr;
  QLineEdit* EditBox;
  QPushButton* OkButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;
  int helpContext = 0;
  bool digitsOnly = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Creates the alert window that every ShowAlert reuses (at start-up).
void CreateAlertWindow();
// The reused alert window, or null before start-up made it.
TAlertDialog* AlertWindow();
// The notice on screen, or null.
TNotifyDialog* NoticeOnScreen();

void ShowAlert(const QString& title, const QString& text);
bool AskUser(const QString& title, const QString& text);
void ShowNotice(const QString& title, const QString& text);
// True when OK closed the box with text in it; `text` is then that text,
// otherwise it stays as it was.
bool GetInput(const QString& title, const QString& prompt, QString& text, int helpContext, bool digitsOnly);
void ShowErrorText(const QString& text);
void WarningBeep();
// Waits `ms` milliseconds with the windows painted and the desktop
// answered; the user's input waits until the pause ends.  A pause may come
// in the middle of a store operation: what timers and the notification
// area start must ask Pausing() and leave the store alone meanwhile.
void PauseMs(int ms);
bool Pausing();

}  // namespace widgets
