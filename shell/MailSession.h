// One user's mail session, below the windows: the mail store, the inbox
// scan, the preferences, the command line and who is logged in, with what
// every front end does with them (the start-up, Change User Name, opening
// and deleting the message shown, saving the settings).
//
// The main window keeps one and is the In Box view of it; every other window
// is handed the session, or the part of it it needs, by its opener.
// kvmailctl runs the same start-up without a window, and without the
// toolkit: nothing here needs Qt.
//
// The message shown is named by its record (the text file the record names,
// which no other record names), never by a line number alone: a rebuild of
// the In Box after new mail or a removed dangling record moves the lines,
// and the session finds the shown message's line again after each rebuild.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mailstore/Inbox.h"
#include "mailstore/MessageText.h"
#include "mailstore/TMail.h"
#include "platform/Clock.h"
#include "shell/Login.h"
#include "shell/Preferences.h"

namespace shell {

// What a session's front end shows of the In Box and the reading pane.
class SessionView : public mailstore::InboxView {
 public:
  // The reading pane shows nothing any more.
  virtual void ClearReadingPane() = 0;
  // Line `line` has a new text (a message was marked as read).
  virtual void SetInboxLine(int line, const std::string& text) = 0;
  // The line of the message shown after a rebuild: -1 when it is gone from
  // the list (the pane still shows it).
  virtual void SelectInboxLine(int line) = 0;
};

class MailSession : private mailstore::InboxView {
 public:
  // `settings`: where the per-user settings are kept.
  MailSession(mailstore::UserInteraction& ui, SettingsAccess& settings,
              const platform::Clock& clock = platform::SystemClock());
  MailSession(const MailSession&) = delete;
  MailSession& operator=(const MailSession&) = delete;

  mailstore::TMail& Mail() { return mail_; }
  mailstore::InboxScanner& Scanner() { return scanner_; }
  Preferences& Prefs() { return prefs_; }
  const Preferences& Prefs() const { return prefs_; }
  const CommandLine& Command() const { return commandLine_; }
  mailstore::UserInteraction& Ui() const { return mail_.Ui(); }

  // Who is logged in: empty when nobody is.  The name is held by the mail
  // store, which derives the mailbox from it.
  const std::string& UserName() const { return mail_.UserName(); }
  const std::string& Password() const { return password_; }
  // The current user's mailbox file as it is (or would be) spelled on
  // disk; empty when nobody is logged in.
  std::string MailboxFile() const;
  // The supervisor password of the .INF files (Windows-1252), or empty.
  std::string SupervisorPassword() const;

  // Where the In Box goes; nothing is shown until one is set.
  void SetView(SessionView* view) { view_ = view; }

  // --- Start-up, in the order the program runs it -----------------------

  // The stored settings over the defaults; `window`, when given, takes the
  // main window's stored layout.  The Mail Directory follows the settings.
  void LoadSettings(MainWindowLayout* window);
  // The command line, as Windows-1252 texts without the program's name;
  // or, for a front end with a command line of its own, what it says.
  void ReadCommandLine(const std::vector<std::string>& arguments);
  void SetCommandLine(const CommandLine& commandLine);
  // The login at start-up (the command line's name, else the login name,
  // else the Name page).  False when the user gave up: nobody is logged in.
  bool LogIn(UserNameForm& form);
  // The administrator's files for the user just logged in: they may set the
  // Mail Directory, the supervisor password, polling and notification.
  void ApplyConfigFiles();
  // The caption, then the polling timer armed from the preferences and a
  // scan at once.
  void StartPolling(mailstore::PollTimer& timer);

  // Puts another Mail Directory in force (a front end's own choice).
  void SetMailDir(const std::string& mailDir);

  // --- Running -----------------------------------------------------------

  // Change User Name: polling stops, the user is logged out (pane and In
  // Box empty, caption without a user), then the Name page.  False when the
  // user gave up; the program then ends.
  bool ChangeUser(UserNameForm& form, mailstore::PollTimer& timer);

  // The polling settings changed: rearms the timer and scans.
  void RearmPolling(mailstore::PollTimer& timer);
  // After the preferences changed: the store follows the Mail Directory
  // (the In Box is built anew from the mailbox there) and polling is
  // rearmed, with one scan at once.
  void ApplyPreferences(mailstore::PollTimer& timer);
  // Stores `password` (Windows-1252; empty: none) as the current user's in
  // the Mail Directory and makes it the current one.  Returns 0 or the
  // code of the failure (the current password then stays).
  int ChangePassword(const std::string& password);

  // The scan; true when new mail arrived (see InboxScanner).
  bool ScanMailbox() { return scanner_.ScanMailbox(); }

  // --- The message shown ---------------------------------------------------

  int LineCount() const { return lines_.size(); }
  // The record of the message shown, or nothing.
  const std::optional<mailstore::MessageRecord>& Shown() const { return shown_; }
  // Its line in the In Box as last built, or -1.
  int ShownLine() const;

  enum class Opened { kNothing, kAlreadyShown, kShown };
  struct OpenedMessage {
    Opened outcome = Opened::kNothing;
    mailstore::MessageRecord record;  // its date without the read mark
    std::string text;                 // as the reader sees it (unscrambled)
    bool asStored = false;            // the text is the file's, byte for byte (it was not scrambled)
    int markCode = 0;                 // the failure to mark it as read, if any
  };
  // Shows the message of line `line`: reads its record (nothing happens
  // when that fails), and when it is not the one shown already reads its
  // text, unscrambling a scrambled one (`step` as for PlainMessageText),
  // marks it as read and updates its line through the view.  A message
  // whose text file is gone is told, removed and the In Box rebuilt; a text
  // file that cannot be read is reported and nothing is removed.
  OpenedMessage OpenMessage(int line, const mailstore::UnscrambleStep& step = nullptr);

  // Deletes the message shown (after the user agreed): the pane is
  // cleared, the message deleted wherever its record now stands, the In
  // Box rebuilt.  Returns 0 or the deletion's code (not yet reported), and
  // in `next` the line to show now (the same position, or the new last
  // line; -1 when none).  Without a message shown it does nothing.
  int DeleteShown(int& next);

  // --- Settings ---------------------------------------------------------------

  // Writes the settings back, with the main window's layout when given.
  void SaveSettings(const MainWindowLayout* window);

 private:
  // InboxView, between the scan and the front end's view: it keeps which
  // record each line stands for.
  void SetInboxRecords(const mailstore::InboxRecords& records) override;
  void SetMailboxState(bool full) override;
  void SetCaption(const std::string& caption) override;
  void SetMailDirectoryReachable(bool reachable) override;

  void SetUser(const std::string& name, const std::string& password);
  void LogOut(mailstore::PollTimer& timer);
  void ApplyPollSettings();
  void ClearShown();

  SettingsAccess& settings_;
  mailstore::TMail mail_;
  mailstore::InboxScanner scanner_;
  Preferences prefs_;
  CommandLine commandLine_;
  std::string password_;  // at most 12 characters
  SessionView* view_ = nullptr;
  mailstore::InboxRecords lines_;  // the record each In Box line stands for
  std::optional<mailstore::MessageRecord> shown_;
  MainWindowLayout noWindow_;  // what the settings keep for a front end without a window
};

}  // namespace shell
