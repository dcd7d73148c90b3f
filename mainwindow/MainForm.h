// The main window: the In Box, the reading pane, the menus and the button
// bar of the current user's mailbox.
//
// It keeps the user's mail session (the mail store, the scan, the
// preferences, the login) and wires controls to it: this window is the
// session's view of the In Box and the reading pane and its polling timer,
// and hands the session (or the part of it they need) to the windows it
// opens.
#pragma once

#include <QHeaderView>
#include <QLineEdit>
#include <QFileSystemWatcher>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "mainwindow/VelTrayIcon.h"
#include "prefs/SystemPrinters.h"
#include "shell/MailSession.h"
#include "shell/StoredSettings.h"
#include "widgets/DialogUser.h"
#include "widgets/Progress.h"
#include "widgets/TextViewer.h"
#include "widgets/VelForm.h"
#include "widgets/VelListBox.h"

namespace mainwindow {

class SplitterBar;

// How a screen reader says an In Box line: "unread, from ALICE, Lunch,
// 12/10/2026 6:05a".
QString SpokenInboxLine(const std::string& line);

class TMainForm : public widgets::TVelForm, public shell::SessionView, public mailstore::PollTimer {
  Q_OBJECT
 public:
  // `arguments`: the command line without the program's name.
  TMainForm(std::vector<std::string> arguments, widgets::TProgressReport& progress,
            widgets::TMailProgressReport& sending, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The first-show step: settings, command line, login, configuration files,
  // caption, polling.  False when the user gave up the login; the program
  // then ends without a question and without saving.  Called before the
  // window is shown, it shows the window before its first dialog.
  bool FirstShow();

  // The system is ending the session: the next close asks nothing.
  void SessionEnding() { shutdownFlag_ = true; }

  bool ScanMailbox() { return session_.ScanMailbox(); }

  // Handlers.
  void InBoxClick();
  void Delete1Click();
  void CheckMailboxNow1Click();
  void ShowButtonBar1Click();
  void ChangeUserName1Click();
  void MailViewer1ShowStatus();
  void HeaderSized();
  void FilesDropped(const QStringList& files);
  void Print1Click();
  void SavetoFile1Click();
  // The notification area.  In tray mode the icon is shown (as soon as the
  // desktop has a notification area) and the window, minimized, leaves the
  // task bar.  True when the icon is shown now.
  bool EnterTrayMode();
  void MinimizeToTray();
  void TrayIconClick();
  void TrayIconDblClick();
  void TrayIconRightClick(const QPoint& screen);
  // Replaces the system's notification area (tests use their own).
  void SetTrayHost(std::unique_ptr<TrayHost> host);
  void SendMail1Click();
  void Reply1Click();
  void Forward1Click();
  // Opens a send window unless one is open; true when its message was sent.
  bool OpenSendWindow(const QString& caption, const QString& to, const QString& subject, bool forward,
                      const QString& fileName);
  void Preferences1Click();
  void ShowClipboard1Click();

  // Replaces the system's printers (tests print on their own).
  void SetPrinters(std::unique_ptr<prefs::PrinterAccess> printers);

  // Controls, by their names.
  QMenuBar* MainMenu1;
  QWidget* ButtonBar;
  QPushButton *SendButton, *ReplyButton, *ForwardButton, *SaveButton, *PrintButton, *DeleteButton;
  QWidget* ListPanel;
  QHeaderView* Header;
  widgets::TVelListBox* InBox;
  SplitterBar* SplitterPanel;
  QLabel *FromLabel, *DateLabel, *SubjectLabel;
  QLineEdit *MsgFrom, *MsgDate, *MsgSubject;
  widgets::TTextViewer* MailViewer;
  QWidget* EditorPanel;  // carries the editor font of the send windows
  QTimer* MailTimer;
  TVelTrayIcon* TrayIcon = nullptr;
  QMenu* TrayMenu = nullptr;
  QAction *Exit1, *Copy1, *CopyHidden, *SelectAll1, *ShowClipboard1, *SendMail1, *Reply1, *Forward1, *SavetoFile1,
      *Print1, *Delete1, *CheckMailboxNow1, *ShowButtonBar1, *ChangeUserDivider, *ChangeUserName1,
      *PreferencesDivider, *Preferences1, *Contents1, *SearchForHelp1, *HowToUseHelp1, *UsingTheMailBox1, *About1;

  shell::MailSession& Session() { return session_; }
  shell::Preferences& Prefs() { return session_.Prefs(); }

  // SessionView
  void SetInboxRecords(const mailstore::InboxRecords& records) override;
  void SetMailboxState(bool full) override;
  void SetCaption(const std::string& caption) override;
  void SetMailDirectoryReachable(bool reachable) override;
  void ClearReadingPane() override;
  void SetInboxLine(int line, const std::string& text) override;
  void SelectInboxLine(int line) override;
  // PollTimer
  void StopTimer() override { MailTimer->stop(); }
  void SetTimerInterval(int ms) override { MailTimer->setInterval(ms); }
  void StartTimer() override { MailTimer->start(); }
  // The window's stored state: what it shows now, and taking a loaded one.
  shell::MainWindowLayout Layout() const;
  void ApplyLayout(const shell::MainWindowLayout& layout);
  int InBoxPaneHeight() const { return ListPanel->height(); }
  void SetInBoxPaneHeight(int height);
  std::array<int, 3> ColumnWidths() const;
  void SetButtonBarVisible(bool visible);

 signals:
  // The user gave up a login: the program ends without asking anything.
  void LoginGivenUp();
  // The mailbox was closed: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildTrayMenu();
  // Watches the Mail Directory and the user's mailbox file for changes.
  void WatchMailbox();
  void BuildButtonBar();
  void BuildPanes();
  void ApplyColours();
  void InBoxDrawItem(QPainter& painter, int index, const QRect& rect, bool selected);
  void InBoxMouseMove(const QPoint& at);
  // Whether `at` lies on the envelope of the selected line.
  bool OnSelectedEnvelope(const QPoint& at) const;
  void StartMessageDrag();
  void SelectLine(int index);
  // Shows the reading pane's fields and text of a message just opened.
  void ShowMessage(const shell::MailSession::OpenedMessage& opened);
  // One step of unscrambling: the progress window, and whether to go on.
  bool UnscrambleStep(int done, int total);
  void SetMessageCommandsEnabled(bool enabled);
  void GiveUp();

  std::vector<std::string> arguments_;
  widgets::TProgressReport& progress_;
  widgets::DialogUser user_;
  shell::StoredSettings settings_;
  shell::MailSession session_;
  QPoint dragStart_;
  bool dragPressed_ = false;   // the button went down on the selected envelope
  std::unique_ptr<prefs::PrinterAccess> printers_;
  bool unscrambling_ = false;
  bool printing_ = false;
  bool sendWindowOpen_ = false;
  QFileSystemWatcher* watcher_ = nullptr;
  QTimer* watchDelay_ = nullptr;
  QTimer* trayWait_ = nullptr;
  bool shutdownFlag_ = false;
  bool givenUp_ = false;       // the login was given up: end without a word
};

}  // namespace mainwindow
