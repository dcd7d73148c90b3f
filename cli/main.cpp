// kvmailctl: the Mail Directory from the command line, for scripts, servers
// and tests.  It uses the same mail store as the program, so what it does
// to the files is what the program does.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "cli/TerminalUser.h"
#include "mailstore/Delivery.h"
#include "mailstore/Inbox.h"
#include "mailstore/IoErrorText.h"
#include "mailstore/MessageText.h"
#include "mailstore/StoreCheck.h"
#include "mailstore/TMail.h"
#include "mailstore/UserRegistry.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/ErrorCode.h"
#include "platform/Files.h"
#include "platform/Terminal.h"
#include "platform/Text.h"
#include "shell/ConfigFiles.h"
#include "shell/Login.h"
#include "shell/MailSession.h"
#include "shell/SettingsFile.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: kvmailctl [OPTIONS] COMMAND [ARGUMENTS]\n"
    "\n"
    "Reads and sends KV Mailbox mail in a Mail Directory, as the program does.\n"
    "\n"
    "Options:\n"
    "  --maildir DIR         the Mail Directory; without it, the one the program uses for\n"
    "                        the user: the stored setting, else $KVMAIL, else the current\n"
    "                        directory, unless the administrator's .INF files set one\n"
    "  --user NAME           act as this user (upper-cased, at most 15 characters);\n"
    "                        default: the login name\n"
    "  --password-file FILE  the user's password is the first line of FILE\n"
    "                        (otherwise it is asked for at the terminal when needed)\n"
    "  --yes                 without a terminal, answer questions with Yes (a busy\n"
    "                        mailbox is retried for about ten seconds)\n"
    "  --raw                 print stored texts as their Windows-1252 bytes\n"
    "  --help                this text\n"
    "\n"
    "Commands (messages count from 0, as the In Box lists them):\n"
    "  users                 the user list, one name a line (no login needed)\n"
    "  list                  the In Box: index, read|unread, date, sender, subject\n"
    "  read N                print message N and mark it read\n"
    "  send [--subject S] [--encrypt] [--file PATH] [--all] [NAME...]\n"
    "                        send standard input (or the file PATH, unchanged) to the\n"
    "                        names, split as the To box splits them (at blanks and\n"
    "                        commas; a name with blanks goes in double quotes), or to\n"
    "                        all users\n"
    "  delete N              delete message N\n"
    "  check                 print the number of unread messages\n"
  "  check --store [--repair [--orphans DIR]] [--orphan-age SECONDS]\n"
  "                        check the whole Mail Directory (no login needed): dangling\n"
  "                        records, orphan texts (no record names them, last changed\n"
  "                        more than SECONDS ago, by default 3600), torn mailboxes,\n"
  "                        impossible records, unreadable files, records sharing a\n"
  "                        text (left twice by a deletion cut short); one line for\n"
  "                        each finding, then a count of each kind.\n"
  "                        --repair removes dangling records and records sharing a\n"
  "                        text (the text stays with the first) and, with --orphans,\n"
  "                        moves orphan texts into DIR and cuts torn tails after\n"
  "                        saving them there; it locks as the program does, so copies\n"
  "                        may be open.  Exit status 0: sound; 1: something was found\n"
    "\n"
    "Exit status: 0 success, 1 a failure that was reported, 2 a wrong command line.\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "kvmailctl: %s\nTry 'kvmailctl --help'.\n", message.c_str());
  return kExitUsage;
}

struct Options {
  std::string mailDir;
  std::optional<std::string> user;
  std::optional<std::string> passwordFile;
  bool yes = false;
  bool raw = false;
  std::vector<std::string> command;
};

// Returns a message index, or nothing when `text` is not a whole number.
std::optional<int> ParseIndex(const std::string& text) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::atoi(text.c_str());
}

// What the In Box scan shows: the lines, for `list` and `check`.
class InboxLines : public shell::SessionView {
 public:
  std::vector<std::string> lines;
  void SetInboxRecords(const mailstore::InboxRecords& records) override { lines = mailstore::AllInboxLines(records); }
  void SetMailboxState(bool) override {}
  void SetCaption(const std::string&) override {}
  void ClearReadingPane() override {}
  void SetInboxLine(int line, const std::string& text) override { lines.at(static_cast<size_t>(line)) = text; }
  void SelectInboxLine(int) override {}
};

// The login form at a terminal: it never asks for a name (that comes from
// --user or the login name) and takes the password from --password-file or
// the terminal, checked as the form checks it.
class TerminalLoginForm : public shell::UserNameForm {
 public:
  TerminalLoginForm(const Options& options, cli::TerminalUser& user) : options_(options), user_(user) {}
  void OpenOnPasswordPage(const std::string& name, const std::string& stored) override {
    name_ = name;
    stored_ = stored;
  }
  void OpenOnNamePage() override { stored_.clear(); }
  bool Execute(std::string& name, std::string& password) override;

 private:
  const Options& options_;
  cli::TerminalUser& user_;
  std::string name_, stored_;
};

bool TerminalLoginForm::Execute(std::string& name, std::string& password) {
  if (stored_.empty()) return false;  // the name was refused, and that was said
  std::string typed;
  bool have = false;
  if (options_.passwordFile) {
    std::string bytes;
    if (int code = platform::ReadWholeFile(*options_.passwordFile, bytes)) {
      user_.ShowErrorText("The password file " + *options_.passwordFile + " cannot be read: " +
                          mailstore::IoErrorText(code));
      return false;
    }
    std::string_view rest = bytes;
    typed = platform::TakeLine(rest);
    have = true;
  } else if (platform::StdinIsTerminal()) {
    const std::string shownName = platform::ForTerminal(name_, platform::TerminalForm::kField);
    have = platform::ReadHiddenLine("Password for " + shownName + ": ", typed);
  } else {
    user_.ShowErrorText(name_ +
                        " has a password: give it with --password-file FILE, or run kvmailctl at a terminal.");
    return false;
  }
  // Typed as into the login form, which upper-cases every key; at start-up
  // no supervisor password is known yet.
  password = platform::UpperAnsi(options_.raw ? typed : platform::Utf8ToCp1252(typed));
  if (!have || !shell::PasswordAccepted(password, stored_, "")) {
    user_.ShowAlert(mailstore::kProgramTitle, shell::kWrongPasswordText);
    return false;
  }
  name = name_;
  return true;
}

class Session {
 public:
  Session(const Options& options, cli::TerminalUser& user) : options_(options), user_(user), session_(user, settings_) {
    session_.SetView(&inbox_);
  }

  // Sets up the Mail Directory and identifies the user as the program's
  // start-up does.  Returns false after telling the user why not.
  bool LogIn();
  // Sets up the Mail Directory only, for commands on the whole store.
  bool FindMailDir();

  int Users();
  int List(bool countOnly);
  int Read(int index);
  int Send(const std::vector<std::string>& args);
  int Delete(int index);
  int CheckStore(bool repair, const std::string& orphansDir, int64_t orphanAgeSeconds);

  mailstore::TMail& Mail() { return mail_; }

 private:
  // False after telling the user the Mail Directory in force is missing.
  bool MailDirExists();
  // Tells the user when there is no message `index`.
  bool Exists(int index);
  // Builds the In Box as the program shows it, without announcing anything.
  mailstore::InboxScanner& Scan();
  // What a record's texts look like on the terminal.
  std::string Shown(const std::string& stored) const { return user_.ForTerminal(stored); }
  // A field of `list`, a name of `users`, a file of `check`: control
  // characters escaped (\t, \r, \n, \\, \xNN) unless --raw asks for the
  // stored bytes.
  std::string Field(const std::string& stored) const;
  // What the terminal typed looks like stored.
  std::string Stored(const std::string& typed) const { return options_.raw ? typed : platform::Utf8ToCp1252(typed); }

  const Options& options_;
  cli::TerminalUser& user_;
  shell::StoredMailDirOnly settings_;  // only the stored Mail Directory, read without Qt
  shell::MailSession session_;
  InboxLines inbox_;
  mailstore::TMail& mail_ = session_.Mail();
};

bool Session::FindMailDir() {
  if (options_.mailDir.empty()) session_.LoadSettings(nullptr);
  else session_.SetMailDir(options_.mailDir);
  return MailDirExists();
}

bool Session::LogIn() {
  // The Mail Directory is found as the program finds it for this user: the
  // default, the stored one over it, then the configuration files (read
  // once the user is known); --maildir overrides them all.
  if (!FindMailDir()) return false;

  // A name given is taken as one on the program's command line; otherwise
  // the login name, as the program takes the network user name.
  shell::CommandLine commandLine;
  if (options_.user) commandLine.userName = shell::GivenUserName(Stored(*options_.user));
  session_.SetCommandLine(commandLine);
  if (shell::ProposedUserName(commandLine).empty()) {
    user_.ShowErrorText("No user name: give one with --user.");
    return false;
  }
  TerminalLoginForm form(options_, user_);
  if (!session_.LogIn(form)) return false;
  if (options_.mailDir.empty()) {
    const std::string before = mail_.MailDir();
    session_.ApplyConfigFiles();
    if (mail_.MailDir() != before && !MailDirExists()) return false;
  }
  return true;
}

bool Session::MailDirExists() {
  const std::string& mailDir = mail_.MailDir();
  platform::FileInfo info;
  const int code = platform::StatFile(mailDir, info);
  if (code != 0 || !info.isDirectory) {
    // A look that failed says why; only a missing folder or something else
    // in its place is "invalid".
    const bool missing = code == 0 || code == platform::kFileNotFound || code == platform::kPathNotFound;
    user_.ShowErrorText("Mail Directory " + mailDir + ": " + mailstore::IoErrorText(missing ? platform::kPathNotFound : code));
    return false;
  }
  return true;
}

mailstore::InboxScanner& Session::Scan() {
  mailstore::InboxScanner& scanner = session_.Scanner();
  scanner.settings.notify = false;
  scanner.RequestRebuild();
  scanner.ScanMailbox();
  return scanner;
}

int Session::Users() {
  std::vector<std::string> names;
  if (mailstore::HasUserRegistry(mail_)) {
    int code = platform::kOk;
    names = mailstore::ReadUserNames(mail_, &code);
    if (code != platform::kOk) {
      user_.ShowAlert(mailstore::kProgramTitle, "Error loading user list.\r\r" + mailstore::RegistryProblemText(code));
      return kExitFailure;
    }
  } else {
    int code = 0;
    names = mailstore::ListMailboxNames(mail_, code);
    if (code != 0 && code != platform::kFileNotFound) {
      user_.ShowAlert(mailstore::kProgramTitle, "Error loading user list.\r\r" + mailstore::IoErrorText(code));
      return kExitFailure;
    }
  }
  for (const std::string& name : names) platform::WriteStdout(Field(name) + '\n');
  return kExitOk;
}

int Session::List(bool countOnly) {
  const mailstore::InboxScanner& scanner = Scan();
  if (!scanner.MailDirectoryReachable()) {
    user_.ShowErrorText(mailstore::NotReachableMessage(mail_.MailDir()));
    return kExitFailure;
  }
  const std::vector<std::string>& lines = inbox_.lines;
  int unread = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const mailstore::InboxFields line = mailstore::SplitInboxLine(lines[i]);
    if (!line.read && !line.date.empty()) ++unread;
    if (!countOnly)
      platform::WriteStdout(std::to_string(i) + '\t' + (line.read ? "read" : "unread") + '\t' + Field(line.date) + '\t' +
                            Field(line.sender) + '\t' + Field(line.subject) + '\n');
  }
  // A problem other than a busy mailbox was told by the scan already.
  if (scanner.LastProblem() != 0) return kExitFailure;
  if (scanner.RebuildPending()) {
    if (scanner.LastProblem() == 0)
      user_.ShowErrorText("The mailbox is in use by another copy; not every message could be read. Try again.");
    return kExitFailure;
  }
  if (countOnly) platform::WriteStdout(std::to_string(unread) + '\n');
  return kExitOk;
}

std::string Session::Field(const std::string& stored) const {
  // One entry, one line, and nothing someone else wrote can move the
  // cursor, ring or change the terminal.
  return options_.raw ? stored : platform::ForTerminal(stored, platform::TerminalForm::kField);
}

bool Session::Exists(int index) {
  if (index < mail_.CountMessages()) return true;
  user_.ShowErrorText("There is no message " + std::to_string(index) + ".");
  return false;
}

int Session::Read(int index) {
  const mailstore::InboxScanner& scanner = Scan();
  if (index >= session_.LineCount()) {
    // A mailbox another copy holds lists nothing: that is no missing message.
    const bool busy = scanner.RebuildPending() && scanner.LastProblem() == 0;
    user_.ShowErrorText(busy ? "The mailbox is in use by another copy; message " + std::to_string(index) +
                                   " could not be read. Try again."
                             : "There is no message " + std::to_string(index) + ".");
    return kExitFailure;
  }
  const shell::MailSession::OpenedMessage opened = session_.OpenMessage(index);
  if (opened.outcome != shell::MailSession::Opened::kShown) return kExitFailure;  // what went wrong was said
  platform::WriteStdout(options_.raw ? opened.text : Shown(opened.text));
  std::fflush(stdout);
  if (opened.markCode != 0) {
    mail_.ShowIoError(opened.markCode);
    return kExitFailure;
  }
  return kExitOk;
}

int Session::Send(const std::vector<std::string>& args) {
  mailstore::SendRequest request;
  request.pauseAfterCopyMs = 0;  // no window shows the names one by one
  request.shortDateFormat = platform::ShortDateFormat();
  std::string toBox;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--subject" || arg == "--file") {
      if (i + 1 >= args.size()) return UsageError(arg + " needs a value");
      (arg == "--subject" ? request.subject : request.textFile) = args[++i];
    } else if (arg == "--encrypt") {
      request.scramble = true;
    } else if (arg == "--all") {
      request.sendToAll = true;
    } else if (arg.rfind("--", 0) == 0) {
      return UsageError("unknown option of send: " + arg);
    } else {
      toBox += (toBox.empty() ? "" : " ") + Stored(arg);
    }
  }
  if (!request.sendToAll && toBox.empty()) return UsageError("send needs a recipient or --all");
  request.subject = Stored(request.subject);
  if (!request.textFile.empty()) {
    request.source = mailstore::SendRequest::Source::kTextFile;
    platform::FileInfo info;
    if (int code = platform::StatFile(request.textFile, info)) {
      user_.ShowErrorText(request.textFile + ": " + mailstore::IoErrorText(code));
      return kExitFailure;
    }
    // A device or a pipe would never end: refused before anything is made.
    if (!info.isRegular) {
      user_.ShowErrorText(request.textFile + ": not a plain file; only a file can be sent.");
      return kExitFailure;
    }
    if (request.scramble) std::fprintf(stderr, "kvmailctl: --encrypt applies to typed text; the file is sent unchanged.\n");
  } else {
    std::string text;
    if (int code = platform::ReadAllStdin(text)) {
      user_.ShowErrorText("The text to send cannot be read: " + mailstore::IoErrorText(code));
      return kExitFailure;
    }
    // A line ends at a line feed, a carriage return before it going too; a
    // last line without one counts.  A message line carries at most 1,024
    // characters, and a longer one would lose its end: it goes as several.
    int split = 0;
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      std::string_view typed(text.data() + start, end - start);
      if (!typed.empty() && typed.back() == '\r') typed.remove_suffix(1);
      if (mailstore::AddMessageLine(request.lines, Stored(std::string(typed))) > 1) ++split;
      start = end + 1;
    }
    if (split > 0)
      std::fprintf(stderr, "kvmailctl: %d line%s longer than 1,024 characters went as several lines.\n", split,
                   split == 1 ? "" : "s");
  }
  mailstore::Delivery delivery(mail_, request);
  const int toldBefore = user_.messagesShown();
  if (mailstore::SendMessage(delivery, toBox)) return kExitOk;
  // Sending to all users when there is nobody else is silent in the store.
  if (request.sendToAll && !delivery.sentFlag && user_.messagesShown() == toldBefore)
    user_.ShowErrorText("There is nobody to send the message to: the user list names nobody else.");
  return kExitFailure;
}

int Session::Delete(int index) {
  if (!Exists(index)) return kExitFailure;
  bool gone = false;
  if (int code = mail_.DeleteMessage(index, &gone)) {
    const std::string number = std::to_string(index);
    user_.ShowErrorText(gone ? "Message " + number +
                                   " is deleted, but its record could not be taken out of the mailbox; the next "
                                   "look at the mailbox takes it out.\r\r" + mailstore::IoErrorText(code)
                             : "Message " + number + " was not deleted.\r\r" + mailstore::IoErrorText(code));
    return kExitFailure;
  }
  return kExitOk;
}

int Session::CheckStore(bool repair, const std::string& orphansDir, int64_t orphanAgeSeconds) {
  mailstore::StoreCheckOptions checkOptions;
  checkOptions.nowNs = platform::NowNs();
  checkOptions.graceNs = orphanAgeSeconds * 1000000000LL;
  const mailstore::StoreReport report = mailstore::CheckStore(mail_, checkOptions);
  for (const mailstore::StoreFinding& finding : report.findings) {
    std::string where = finding.file.empty() ? mail_.MailDir() : Field(finding.file);
    if (finding.record >= 0) where += " record " + std::to_string(finding.record);
    // One finding, one line, whatever the texts it quotes hold.
    platform::WriteStdout(where + ": " + platform::ForTerminal(finding.detail, platform::TerminalForm::kLine) + '\n');
  }
  for (int kind = 0; kind < mailstore::kDamageKinds; ++kind)
    platform::WriteStdout(std::string(mailstore::DamageName(static_cast<mailstore::Damage>(kind))) + ": " +
                          std::to_string(report.Count(static_cast<mailstore::Damage>(kind))) + '\n');
  if (!report.orphansKnown)
    platform::WriteStdout("orphan texts were not looked for: not every mailbox could be read\n");
  if (report.Sound()) return kExitOk;
  if (repair) {
    const mailstore::RepairResult result = mailstore::RepairStore(mail_, report, orphansDir);
    platform::WriteStdout("removed: " + std::to_string(result.recordsRemoved) +
                          " dangling records and records sharing a text\n" +
                          "moved: " + std::to_string(result.textsMoved) + " orphan texts\n" +
                          "cut: " + std::to_string(result.tailsCut) + " torn tails\n");
    for (const std::string& failure : result.failures) user_.ShowErrorText(failure);
  }
  return kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<std::string> args(argv + 1, argv + argc);
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return kExitOk;
    }
    if (arg == "--yes") {
      options.yes = true;
    } else if (arg == "--raw") {
      options.raw = true;
    } else if (arg == "--maildir" || arg == "--user" || arg == "--password-file") {
      if (i + 1 >= args.size()) return UsageError(arg + " needs a value");
      const std::string& value = args[++i];
      if (arg == "--maildir") options.mailDir = value;
      else if (arg == "--user") options.user = value;
      else options.passwordFile = value;
    } else if (arg.rfind("--", 0) == 0) {
      return UsageError("unknown option " + arg);
    } else {
      break;
    }
  }
  if (i >= args.size()) return UsageError("no command given");
  const std::string command = args[i];
  const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());

  static const std::vector<std::string> kCommands = {"users", "list", "read", "send", "delete", "check"};
  if (std::find(kCommands.begin(), kCommands.end(), command) == kCommands.end())
    return UsageError("unknown command " + command);
  std::optional<int> index;
  if (command == "read" || command == "delete") {
    if (rest.size() != 1 || !(index = ParseIndex(rest[0]))) return UsageError(command + " needs one message number");
  } else if (command == "check" && !rest.empty()) {
    // Any of --store, --repair and --orphans asks for the store checker.
    bool repair = false;
    std::string orphans;
    int64_t orphanAge = mailstore::kDefaultOrphanAgeSeconds;
    for (size_t k = 0; k < rest.size(); ++k) {
      if (rest[k] == "--store") continue;
      if (rest[k] == "--repair") repair = true;
      else if (rest[k] == "--orphans" && k + 1 < rest.size()) orphans = rest[++k];
      else if (rest[k] == "--orphans") return UsageError("--orphans needs a folder");
      else if (rest[k] == "--orphan-age") {
        const std::optional<int> seconds = k + 1 < rest.size() ? ParseIndex(rest[++k]) : std::nullopt;
        if (!seconds) return UsageError("--orphan-age needs a number of seconds");
        orphanAge = *seconds;
      } else return UsageError("unknown argument of check: " + rest[k]);
    }
    if (!orphans.empty() && !repair) return UsageError("--orphans goes with --repair");
    cli::TerminalUser user(options.yes, options.raw);
    Session session(options, user);
    if (!session.FindMailDir()) return kExitFailure;
    return session.CheckStore(repair, orphans, orphanAge);
  } else if (command != "send" && !rest.empty()) {
    return UsageError(command + " takes no arguments");
  }

  cli::TerminalUser user(options.yes, options.raw);
  Session session(options, user);
  if (command == "send") {
    // A send from the command line is one short operation: when the login
    // has to read the directory (a name missing in its exact spelling),
    // that reading serves the delivery too.
    const mailstore::TMail::Operation operation(session.Mail());
    if (!session.LogIn()) return kExitFailure;
    return session.Send(rest);
  }
  // The user list is what the picker shows anybody; it asks for no login,
  // so that a completion or a script can read it without a password.
  if (command == "users") return session.FindMailDir() ? session.Users() : kExitFailure;
  if (!session.LogIn()) return kExitFailure;
  if (command == "list") return session.List(false);
  if (command == "check") return session.List(true);
  if (command == "read") return session.Read(*index);
  return session.Delete(*index);
}
