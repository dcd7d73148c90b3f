// The main window: the In Box, the reading pane, the menus and the button
// bar of the current user's mailbox.
//
// It wires controls to the layers below: the mail store reads, marks and
// deletes the messages and scans the mailbox (this window is the scan's
// InboxView and its PollTimer); the settings layer loads and saves the
// preferences (this window is their MainWindowState).
#pragma once

#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "mailstore/Inbox.h"
#include "mailstore/TMail.h"
#include "mainwindow/PendingCommands.h"
#include "shell/Login.h"
#include "shell/Preferences.h"
#include "widgets/DialogUser.h"
#include "widgets/Progress.h"
#include "widgets/TextViewer.h"
#include "widgets/VelForm.h"
#include "widgets/VelListBox.h"

namespace mainwindow {

class SplitterBar;

class TMainForm : public widgets::TVelForm,
                  public mailstore::InboxView,
                  public mailstore::PollTimer,
                  public shell::MainWindowState {
  Q_OBJECT
 public:
  // `arguments`: the command line without the program's name.
  TMainForm(std::vector<std::string> arguments, widgets::TProgressReport& progress,
            widgets::TMailProgressReport& sending, QWidget* parent = nullptr);
  ~TMainForm() override;

  // The first-show step: settings, command line, login, configuration files,
  // caption, polling.  False when the user gave up the login; the program
  // then ends.
  bool FirstShow();

  // The system is ending the session: the next close asks nothing.
  void SessionEnding() { shutdownFlag_ = true; }

  bool ScanMailbox() { return scanner_.ScanMailbox(); }

  // Handlers.
  void InBoxClick();
  void Delete1Click();
  void CheckMailboxNow1Click();
  void ShowButtonBar1Click();
  void ChangeUserName1Click();
  void MailViewer1ShowStatus();
  void HeaderSized();
  void FilesDropped(const QStringList& files);

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
  QAction *Exit1, *Copy1, *CopyHidden, *SelectAll1, *ShowClipboard1, *SendMail1, *Reply1, *Forward1, *SavetoFile1,
      *Print1, *Delete1, *CheckMailboxNow1, *ShowButtonBar1, *ChangeUserDivider, *ChangeUserName1,
      *PreferencesDivider, *Preferences1, *Contents1, *SearchForHelp1, *HowToUseHelp1, *UsingTheMailBox1, *About1;

  mailstore::TMail& Mail() { return mail_; }
  shell::Preferences& Prefs() { return prefs_; }
  const shell::LoginState& Login() const { return login_; }

  // InboxView
  void BeginInboxUpdate() override;
  void AddInboxLine(const std::string& line) override;
  void EndInboxUpdate() override;
  void SetMailboxState(bool full) override;
  void SetCaption(const std::string& caption) override;
  // PollTimer
  void StopTimer() override { MailTimer->stop(); }
  void SetTimerInterval(int ms) override { MailTimer->setInterval(ms); }
  void StartTimer() override { MailTimer->start(); }
  // MainWindowState
  shell::Placement WindowPlacement() const override;
  void SetWindowPlacement(const shell::Placement& placement) override;
  shell::Placement ScreenSize() const override;
  int InBoxPaneHeight() const override;
  void SetInBoxPaneHeight(int height) override;
  std::array<int, 3> ColumnWidths() const override;
  void SetColumnWidths(const std::array<int, 3>& widths) override;
  bool ButtonBarVisible() const override;
  void SetButtonBarVisible(bool visible) override;
  shell::FontSetting Font(FontRole role) const override;
  void SetFont(FontRole role, const shell::FontSetting& font) override;

 signals:
  // The user gave up a login: the program ends without asking anything.
  void LoginGivenUp();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildButtonBar();
  void BuildPanes();
  void ApplyColours();
  void ClearReadingPane();
  void InBoxDrawItem(QPainter& painter, int index, const QRect& rect, bool selected);
  void InBoxMouseMove(const QPoint& at);
  void SelectLine(int index);
  void Unscramble(uint32_t seed);
  void NotAvailable(Command command);
  bool IdentifyWithForm(std::string& name, std::string& password);

  std::vector<std::string> arguments_;
  widgets::TProgressReport& progress_;
  widgets::DialogUser user_;
  mailstore::TMail mail_;
  mailstore::InboxScanner scanner_;
  shell::Preferences prefs_;
  shell::LoginState login_;
  shell::CommandLine commandLine_;
  QPoint dragStart_;
  bool dragArmed_ = false;
  bool shutdownFlag_ = false;
};

}  // namespace mainwindow
