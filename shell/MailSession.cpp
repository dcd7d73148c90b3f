#include "shell/MailSession.h"

#include "mailstore/UserRegistry.h"


#include "mailstore/IoErrorText.h"
#include "platform/ErrorCode.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "shell/ConfigFiles.h"

namespace shell {
namespace {

constexpr const char* kTextDeletedText = "The text associated with this message has been deleted.";

// Two paths name the same message when their file names agree in any case.
bool SameMessage(std::string_view a, std::string_view b) {
  return !a.empty() && platform::EqualsIgnoreCase(platform::FileNamePart(a), platform::FileNamePart(b));
}

}  // namespace

MailSession::MailSession(mailstore::UserInteraction& ui, SettingsAccess& settings, const platform::Clock& clock)
    : settings_(settings), mail_(ui, clock), scanner_(mail_, *this), prefs_(DefaultPreferences()) {
  mail_.SetProgramDir(prefs_.programDir);
  mail_.SetMailDir(prefs_.mailDir);
}

std::string MailSession::MailboxFile() const {
  if (UserName().empty()) return {};
  return mail_.MailboxPath(mailstore::MailboxKey(UserName()));
}

std::string MailSession::SupervisorPassword() const { return prefs_.supervisorPassword; }

// --- start-up ---------------------------------------------------------------

void MailSession::LoadSettings(MainWindowLayout* window) {
  settings_.Load(prefs_, window ? *window : noWindow_, Ui());
  mail_.SetMailDir(prefs_.mailDir);
  ApplyPollSettings();
}

void MailSession::ReadCommandLine(const std::vector<std::string>& arguments) {
  commandLine_ = shell::ReadCommandLine(arguments);
}

void MailSession::SetCommandLine(const CommandLine& commandLine) { commandLine_ = commandLine; }

bool MailSession::LogIn(UserNameForm& form) {
  std::string name = ProposedUserName(commandLine_);
  std::string password;
  if (!IdentifyUser(mail_, form, name, password)) return false;
  SetUser(name, password);
  return true;
}

void MailSession::ApplyConfigFiles() {
  shell::ApplyConfigFiles(UserName(), prefs_);
  mail_.SetMailDir(prefs_.mailDir);
  ApplyPollSettings();
}

void MailSession::StartPolling(mailstore::PollTimer& timer) {
  SetCaption(scanner_.MailboxCaption());
  RearmPolling(timer);
}

void MailSession::SetMailDir(const std::string& mailDir) {
  prefs_.mailDir = mailDir;
  mail_.SetMailDir(mailDir);
}

// --- running ------------------------------------------------------------------

void MailSession::SetUser(const std::string& name, const std::string& password) {
  mail_.SetUserName(name.substr(0, kUserNameRoom));
  password_ = password.substr(0, kPasswordRoom);
}

void MailSession::LogOut(mailstore::PollTimer& timer) {
  timer.StopTimer();
  scanner_.ResetKnownCount();
  SetUser("", "");
  ClearShown();
  SetInboxRecords({});
  SetCaption(scanner_.MailboxCaption());
}

bool MailSession::ChangeUser(UserNameForm& form, mailstore::PollTimer& timer) {
  LogOut(timer);
  std::string name, password;
  if (!IdentifyUser(mail_, form, name, password)) return false;
  SetUser(name, password);
  StartPolling(timer);
  return true;
}

void MailSession::ApplyPollSettings() {
  scanner_.settings = {prefs_.mailCheckInterval, prefs_.checkMailContinuously, prefs_.notifyWhenMailArrives};
}

void MailSession::RearmPolling(mailstore::PollTimer& timer) {
  ApplyPollSettings();
  scanner_.RearmPolling(timer);
}

void MailSession::ApplyPreferences(mailstore::PollTimer& timer) {
  if (mail_.MailDir() != prefs_.mailDir) {
    mail_.SetMailDir(prefs_.mailDir);
    scanner_.ResetKnownCount();
    // Nothing of the old directory stays on show, whatever the new one
    // holds: the next scan builds the In Box and the caption anew, even for
    // a mailbox as empty as the count it starts from.
    scanner_.RequestRebuild();
    ClearShown();
    SetInboxRecords(mailstore::InboxRecords{});
    // A directory the user has just chosen is the Mail Directory even while
    // it holds nothing: the user's mailbox is made in it at once, so that it
    // is not taken for a share that is not mounted.  A directory that is
    // not there is left alone.
    if (!mail_.UserName().empty() &&
        mail_.OpenMailbox(mailstore::MailboxKey(mail_.UserName()), mailstore::TMail::Mode::kRead) == platform::kOk)
      mail_.CloseMailbox();
  }
  RearmPolling(timer);
}

int MailSession::ChangePassword(const std::string& password) {
  // Into the Mail Directory the preferences name: changed together with the
  // password, it is the one the user logs in to next.
  mailstore::TMail target(mail_.Ui(), mail_.Clock());
  target.SetMailDir(prefs_.mailDir);
  target.SetUserName(mail_.UserName());
  const int code = mailstore::WriteUserPassword(target, password);
  if (code == platform::kOk) password_ = password.substr(0, kPasswordRoom);
  return code;
}

// --- the In Box, between the scan and the view ---------------------------------

void MailSession::SetInboxRecords(const mailstore::InboxRecords& records) {
  lines_ = records;
  if (!view_) return;
  view_->SetInboxRecords(records);
  view_->SelectInboxLine(ShownLine());
}

void MailSession::SetMailboxState(bool full) {
  if (view_) view_->SetMailboxState(full);
}

void MailSession::SetCaption(const std::string& caption) {
  if (view_) view_->SetCaption(caption);
}

void MailSession::SetMailDirectoryReachable(bool reachable) {
  if (view_) view_->SetMailDirectoryReachable(reachable);
}

// --- the message shown --------------------------------------------------------------

int MailSession::ShownLine() const {
  if (!shown_) return -1;
  for (int i = 0; i < lines_.size(); ++i)
    if (SameMessage(lines_.TextFileName(i), shown_->textFile)) return i;
  return -1;
}

void MailSession::ClearShown() {
  shown_.reset();
  if (view_) view_->ClearReadingPane();
}

MailSession::OpenedMessage MailSession::OpenMessage(int line, const mailstore::UnscrambleStep& step) {
  OpenedMessage opened;
  if (line < 0 || line >= LineCount()) return opened;
  mailstore::MessageRecord record;
  if (mail_.ReadMessage(line, record) != platform::kOk) return opened;
  if (const std::string_view listed = lines_.TextFileName(line); !SameMessage(record.textFile, listed) && !listed.empty()) {
    // The mailbox changed since the list was built: build it again rather
    // than show another message than the line says.
    scanner_.RequestRebuild();
    scanner_.ScanMailbox();
    return opened;
  }
  if (shown_ && SameMessage(record.textFile, shown_->textFile)) {
    opened.outcome = Opened::kAlreadyShown;
    return opened;
  }

  // Only "no such file" makes the record dangling; any other failure to
  // read the text is reported and the message stays.
  std::string bytes;
  int code = record.textFileCode;
  if (code == platform::kOk) code = platform::ReadWholeFile(record.textFile, bytes, SIZE_MAX, platform::Links::kRefuse);
  if (code == platform::kFileNotFound) {
    Ui().ShowAlert(mailstore::kProgramTitle, kTextDeletedText);
    ClearShown();
    int index = line;
    code = record.textFile.empty() ? mail_.DeleteMessage(line) : mail_.DeleteMessage(record.textFile, index);
    scanner_.ScanMailbox();
    if (code != platform::kOk && code != platform::kFileNotFound) mail_.ShowIoError(code);
    return opened;
  }
  if (code != platform::kOk) {
    mail_.ShowIoError(code);
    return opened;
  }

  shown_ = record;
  opened.text = mailstore::PlainMessageText(bytes, step);
  opened.asStored = opened.text == bytes;
  // Unscrambling lets the program breathe, and a scan may have rebuilt the
  // list meanwhile: the message is marked wherever its record now is.
  if (!record.date.empty() && !mailstore::IsRead(record)) {
    int index = std::max(ShownLine(), 0);
    opened.markCode = mail_.MarkAsRead(record.textFile, index);
    if (opened.markCode == platform::kOk) {
      shown_->date += '.';
      const int shownLine = ShownLine();
      if (view_ && shownLine >= 0) {
        view_->SetInboxLine(shownLine, mailstore::InboxLine(*shown_));
        view_->SelectInboxLine(shownLine);
      }
    }
  }
  opened.outcome = Opened::kShown;
  opened.record = record;
  if (mailstore::IsRead(opened.record)) opened.record.date.pop_back();
  return opened;
}

int MailSession::DeleteShown(int& next) {
  next = -1;
  if (!shown_) return platform::kOk;
  const std::string textFile = shown_->textFile;
  int position = ShownLine();
  ClearShown();
  int index = std::max(position, 0);
  int code = mail_.DeleteMessage(textFile, index);
  if (code == platform::kFileNotFound) code = platform::kOk;  // gone already: what the user wanted
  if (position < 0) position = index;
  scanner_.ScanMailbox();
  next = std::min(position, LineCount() - 1);
  return code;
}

// --- settings ---------------------------------------------------------------------

void MailSession::SaveSettings(const MainWindowLayout* window) { settings_.Save(prefs_, window ? *window : noWindow_, Ui()); }

}  // namespace shell
