// The send window: a message written in the editor, or a text file chosen,
// addressed to users or to everybody, perhaps scrambled, and handed to
// delivery.  Its opener hands it what it needs of the rest of the program.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <functional>

#include "prefs/SystemPrinters.h"
#include "shell/MailSession.h"
#include "widgets/MailEditor.h"
#include "widgets/Progress.h"
#include "widgets/TextViewer.h"
#include "widgets/VelForm.h"

namespace compose {

// What the send window takes from its opener.
struct SendContext {
  shell::MailSession& session;
  prefs::PrinterAccess& printers;
  widgets::TProgressReport& progress;
  QFont editorFont;  // the preferences' fonts
  QFont viewerFont;
  // The main window's Preferences command; the send window shows it when set.
  std::function<void()> preferences;
  // The text of the message shown, for forwarding: its lines.
  QStringList forwardText;
};

// The subject of a reply: "REPLY: " in front unless the subject holds it
// anywhere already, then cut to 40 characters.
QString ReplySubject(const QString& subject);

class TSendForm : public widgets::TVelForm {
  Q_OBJECT
 public:
  explicit TSendForm(SendContext& context, QWidget* parent = nullptr);

  // Fills the window as ShowSendWindow opens it.
  void Open(const QString& caption, const QString& to, const QString& subject, bool forward, const QString& fileName);
  bool Sent() const { return sent_; }
  bool EditorMode() const { return Notebook->currentIndex() == 0; }
  // Cancel and Escape: closes unless the user keeps what would be lost.
  void reject() override;

  // Handlers.
  void SendButtonClick();
  void UpdateSendButton();
  void EditorShowStatus(int line, int column);
  void UseMailEditorClick();
  void SendTextFileClick();
  void SendToAllClick();
  void FNameBoxChange();
  void ShowFileProblem();
  void BrowseButtonClick();
  void TabSize1Click();
  void ImportText1Click();
  void SavetoFile1Click();
  void Print1Click();
  void ApplyEditorColours();
  // The update handlers of the menus, run whenever what they look at may
  // have changed, so that a disabled command also ignores its key.
  void File1Click();
  void Edit1Click();
  void Options1Click();

  QMenuBar* MainMenu1;
  QLabel *ToLabel, *Label2;
  QLineEdit *ToBox, *SubjectBox;
  QToolButton* PickUser;
  QRadioButton *UseMailEditor, *SendTextFile;
  QCheckBox *SendToAll, *EncryptMail;
  QStackedWidget* Notebook;
  QWidget *ButtonBar, *StatusBar;
  QToolButton *ImportButton, *SaveButton, *PrintButton, *UndoButton, *RedoButton, *CutButton, *CopyButton,
      *PasteButton, *DeleteButton, *SpellChkButton;
  widgets::TMailEditor* Editor;
  QLabel *CursorPosPanel, *ModePanel;
  QLineEdit* FNameBox;
  QToolButton* BrowseButton;
  widgets::TTextViewer* FileViewer;
  QPushButton *SendButton, *CancelButton, *HelpButton;
  QAction *SavetoFile1, *ImportText1, *Print1, *Close1, *Undo1, *Undo2, *Redo1, *Redo2, *Cut1, *Cut2, *Copy1,
      *Copy2, *Paste1, *Paste2, *Delete1, *SelectAll1, *ShowClipboard1, *ShowButtonBar1, *ShowStatusBar1,
      *AutoIndent1, *WordWrap1, *TabSize1, *CheckSpelling1, *Divider2, *Preferences1, *Contents1, *TopicSearch1,
      *HowtoUseHelp1, *UsingtheMailEditor1, *About1;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Whether the window may close: nothing would be lost, or the user says so.
  bool MayClose();
  void BuildMenus();
  void BuildAddressPanel(QWidget* panel);
  void BuildPages();
  void ForwardCopy(const QStringList& lines);
  void SetModeEnabled();
  bool ClipboardHasText() const;
  QPlainTextEdit& SelectionSource() const;

  SendContext& context_;
  bool sent_ = false;
  bool sending_ = false;
  // What opening the named text file last gave: 0 when it opened.
  int fileCode_ = 0;
};

// Opens a send window and waits until it closes.  True when it closed
// because the message was sent.
bool ShowSendWindow(SendContext& context, const QString& caption, const QString& to, const QString& subject,
                    bool forward, const QString& fileName, QWidget* parent = nullptr);

}  // namespace compose
