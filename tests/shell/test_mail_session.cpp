#include <gtest/gtest.h>
#include <unistd.h>

#include <QSettings>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "mailstore/Delivery.h"
#include "mailstore/Inbox.h"
#include "mailstore/IoErrorText.h"
#include "mailstore/UserRegistry.h"
#include "platform/FaultInjection.h"
#include "platform/Environment.h"
#include "shell/MailSession.h"
#include "shell/StoredSettings.h"
#include "support/MailFixture.h"
#include "tests/shell/ScriptedForm.h"

namespace {

using shell::MailSession;
using testing_support::ScriptedForm;
using testing_support::TempDir;
using testing_support::WriteFile;

// What the session shows: the In Box lines and what it asks of the pane.
struct RecordingView : shell::SessionView {
  std::vector<std::string> lines;
  std::string caption;
  int selected = -2;  // -2: never told
  int paneCleared = 0;
  void SetInboxRecords(const mailstore::InboxRecords& records) override { lines = mailstore::AllInboxLines(records); }
  void SetMailboxState(bool) override {}
  void SetCaption(const std::string& text) override { caption = text; }
  void ClearReadingPane() override { ++paneCleared; }
  void SetInboxLine(int line, const std::string& text) override { lines.at(static_cast<size_t>(line)) = text; }
  void SelectInboxLine(int line) override { selected = line; }
  std::string Subject(int line) const { return mailstore::SplitInboxLine(lines.at(static_cast<size_t>(line))).subject; }
};

struct FakeTimer : mailstore::PollTimer {
  bool running = false;
  int intervalMs = -1;
  void StopTimer() override { running = false; }
  void SetTimerInterval(int ms) override { intervalMs = ms; }
  void StartTimer() override { running = true; }
};

// Sets an environment variable for the length of a test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) { setenv(name, value.c_str(), 1); }
  ~ScopedEnv() { unsetenv(name_); }

 private:
  const char* name_;
};

class MailSessionTest : public testing_support::MailFixture {
 protected:
  MailSessionTest() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config.path()));
    WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
    session.SetView(&view);
    session.SetMailDir(dir.path());
  }

  // A message from ALICE to BOB, as another copy sends it.
  void Deliver(const std::string& subject, const std::string& to = "BOB") {
    testing_support::ScriptedUi senderUi;
    mailstore::TMail sender(senderUi, clock);
    sender.SetMailDir(mail.MailDir());
    sender.SetUserName("ALICE");
    mailstore::SendRequest request;
    request.subject = subject;
    request.lines = {"Text of " + subject};
    request.pauseAfterCopyMs = 0;
    mailstore::Delivery delivery(sender, request);
    delivery.hasUserRegistry = true;
    delivery.DeliverToUser(to);
  }

  // BOB logged in, his In Box built.
  void StartAsBob() {
    session.ReadCommandLine({"bob"});
    ASSERT_TRUE(session.LogIn(form));
    session.Prefs().notifyWhenMailArrives = false;
    session.StartPolling(timer);
  }

  std::string TextFileOf(int index) {
    mailstore::MessageRecord record;
    EXPECT_EQ(mail.ReadMessage(index, record), 0);
    return record.textFile;
  }

  std::vector<std::string> StoredSubjects() {
    std::vector<mailstore::MessageRecord> records;
    EXPECT_EQ(mail.ReadMessages(0, records), 0);
    std::vector<std::string> subjects;
    for (const auto& r : records) subjects.push_back(r.subject);
    return subjects;
  }

  TempDir config;
  RecordingView view;
  FakeTimer timer;
  ScriptedForm form;
  shell::StoredSettings settings;  // the real store, in the test's own place
  MailSession session{ui, settings, clock};
};

TEST_F(MailSessionTest, TheStartUpTakesTheAdministratorsFileOfTheUserJustLoggedIn) {
  // The stored Mail Directory says one place, BOB's .INF file another.
  TempDir second, admin;
  WriteFile(second.File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
  {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Brenlow", "Dashdeck");
    s.setValue("Mail/MailDir", QString::fromStdString(dir.path()));
  }
  WriteFile(admin.File("BOB.INF"), "MAILDIR=" + second.path() + "\r\nPSPR=" + mailstore::ScramblePassword("BOSS") +
                                       "\r\nCHECKMAIL=NO\r\nBEEP=NO\r\n");
  const ScopedEnv dashdeck("DASHDECK", admin.path());
  mail.SetMailDir(second.path());
  Deliver("in the second directory");

  shell::MainWindowLayout layout;
  session.LoadSettings(&layout);
  EXPECT_EQ(session.Mail().MailDir(), dir.path());
  session.ReadCommandLine({"bob"});
  ASSERT_TRUE(session.LogIn(form));
  session.ApplyConfigFiles();
  session.StartPolling(timer);

  EXPECT_EQ(session.Mail().MailDir(), second.path());
  EXPECT_EQ(session.SupervisorPassword(), "BOSS");
  EXPECT_FALSE(timer.running);  // CHECKMAIL=NO
  EXPECT_FALSE(session.Scanner().settings.notify);
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 1 message)");
  ASSERT_EQ(view.lines.size(), 1u);
  EXPECT_EQ(view.Subject(0), "in the second directory");
}

TEST_F(MailSessionTest, AMistypedMailDirectoryIsShownAsNotReachableAndNothingIsMadeElsewhere) {
  // Started in a directory of its own with KVMAIL naming one that is not
  // there: the program does not fall back to where it was started.
  TempDir elsewhere;
  const std::string before = platform::CurrentDirectory();
  ASSERT_EQ(chdir(elsewhere.path().c_str()), 0);
  const ScopedEnv kvmail("KVMAIL", dir.File("no-such-share"));
  MailSession started{ui, settings, clock};  // its defaults read now
  started.SetView(&view);
  started.LoadSettings(nullptr);
  started.ReadCommandLine({"bob"});
  form.answer = false;  // the user gives up at the name page that follows
  const bool loggedIn = started.LogIn(form);
  ASSERT_EQ(chdir(before.c_str()), 0);

  // No name is known there: the login says why.
  EXPECT_FALSE(loggedIn);
  EXPECT_EQ(started.Mail().MailDir(), dir.File("no-such-share"));
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown.front().text, mailstore::NotReachableMessage(dir.File("no-such-share")));
  EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
  EXPECT_FALSE(std::filesystem::exists(dir.File("no-such-share")));
}

TEST_F(MailSessionTest, GivingUpTheLoginLeavesNobodyLoggedIn) {
  form.answer = false;
  session.ReadCommandLine({"/a"});
  EXPECT_FALSE(session.LogIn(form));
  EXPECT_EQ(session.UserName(), "");
  EXPECT_TRUE(view.lines.empty());
}

TEST_F(MailSessionTest, OpeningAMessageShowsItsTextAndMarksItsLine) {
  Deliver("first");
  Deliver("second");
  StartAsBob();
  const MailSession::OpenedMessage opened = session.OpenMessage(1);
  ASSERT_EQ(opened.outcome, MailSession::Opened::kShown);
  EXPECT_EQ(opened.record.subject, "second");
  EXPECT_EQ(opened.text, "Text of second\r\n");
  EXPECT_FALSE(opened.record.date.empty());
  EXPECT_NE(opened.record.date.back(), '.');  // shown without the read mark
  EXPECT_TRUE(mailstore::SplitInboxLine(view.lines[1]).read);
  EXPECT_EQ(view.selected, 1);
  EXPECT_EQ(session.ShownLine(), 1);
  EXPECT_EQ(session.OpenMessage(1).outcome, MailSession::Opened::kAlreadyShown);
}

TEST_F(MailSessionTest, TheShownMessageKeepsItsIdentityWhenTheListIsRebuilt) {
  Deliver("gone soon");
  Deliver("shown");
  Deliver("after");
  StartAsBob();
  ASSERT_EQ(session.OpenMessage(1).outcome, MailSession::Opened::kShown);

  // Another copy's work: the first message's text vanishes, new mail comes.
  std::filesystem::remove(TextFileOf(0));
  clock.now.minute += 1;  // a later moment, so the freed name is not taken again
  Deliver("new");
  session.ScanMailbox();
  ASSERT_EQ(view.lines.size(), 3u);  // the dangling record went
  EXPECT_EQ(session.ShownLine(), 0);
  EXPECT_EQ(view.selected, 0);  // the selection follows the message shown

  int next = -1;
  EXPECT_EQ(session.DeleteShown(next), 0);
  EXPECT_EQ(StoredSubjects(), (std::vector<std::string>{"after", "new"}));
  EXPECT_EQ(next, 0);
  EXPECT_GE(view.paneCleared, 1);
  EXPECT_FALSE(session.Shown());
  EXPECT_EQ(session.DeleteShown(next), 0);  // nothing shown: nothing deleted
  EXPECT_EQ(next, -1);
  EXPECT_EQ(StoredSubjects().size(), 2u);
}

TEST_F(MailSessionTest, DeletingTheLastLineShowsTheNewLastOne) {
  Deliver("one");
  Deliver("two");
  StartAsBob();
  ASSERT_EQ(session.OpenMessage(1).outcome, MailSession::Opened::kShown);
  int next = -1;
  EXPECT_EQ(session.DeleteShown(next), 0);
  EXPECT_EQ(next, 0);
  ASSERT_EQ(session.OpenMessage(next).outcome, MailSession::Opened::kShown);
  EXPECT_EQ(session.DeleteShown(next), 0);
  EXPECT_EQ(next, -1);
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 0 messages)");
}

TEST_F(MailSessionTest, AListOutOfStepWithTheMailboxIsRebuiltInsteadOfShowingAnotherMessage) {
  Deliver("one");
  Deliver("two");
  StartAsBob();
  // Another copy for the same user deletes the first message: line 1 no
  // longer has a record, line 0 stands for "two".
  int index = 0;
  ASSERT_EQ(mail.DeleteMessage(TextFileOf(0), index), 0);
  EXPECT_EQ(session.OpenMessage(0).outcome, MailSession::Opened::kNothing);
  ASSERT_EQ(view.lines.size(), 1u);
  EXPECT_EQ(view.Subject(0), "two");
  EXPECT_EQ(session.OpenMessage(0).outcome, MailSession::Opened::kShown);
}

TEST_F(MailSessionTest, OnlyAMissingTextMakesAMessageDeleted) {
  Deliver("unreadable");
  Deliver("missing");
  StartAsBob();
  // A text file that exists but cannot be read is reported and kept.
  platform::faults::Arm("open", 2, EACCES);  // the mailbox opens, then the text does not
  EXPECT_EQ(session.OpenMessage(0).outcome, MailSession::Opened::kNothing);
  platform::faults::Clear();
  ASSERT_EQ(ui.CountOf("error"), 1);
  EXPECT_EQ(ui.shown.back().text, mailstore::IoErrorText(5));
  EXPECT_EQ(StoredSubjects().size(), 2u);

  ui.shown.clear();
  std::filesystem::remove(TextFileOf(1));
  EXPECT_EQ(session.OpenMessage(1).outcome, MailSession::Opened::kNothing);
  ASSERT_EQ(ui.CountOf("alert"), 1);
  EXPECT_EQ(ui.shown[0].text, "The text associated with this message has been deleted.");
  EXPECT_EQ(StoredSubjects(), std::vector<std::string>{"unreadable"});
  EXPECT_EQ(view.lines.size(), 1u);
}

TEST_F(MailSessionTest, ChangingTheUserEmptiesTheInBoxFirst) {
  Deliver("for bob");
  StartAsBob();
  ASSERT_EQ(session.OpenMessage(0).outcome, MailSession::Opened::kShown);
  form.typedName = "ALICE";
  bool emptiedBeforeTheForm = false;
  struct Watching : ScriptedForm {
    std::function<void()> onOpen;
    void OpenOnNamePage() override {
      onOpen();
      ScriptedForm::OpenOnNamePage();
    }
  } watching;
  watching.typedName = "ALICE";
  watching.onOpen = [&] {
    emptiedBeforeTheForm = view.lines.empty() && view.caption == "KV Mailbox" && !timer.running && !session.Shown();
  };
  ASSERT_TRUE(session.ChangeUser(watching, timer));
  EXPECT_TRUE(emptiedBeforeTheForm);
  EXPECT_EQ(session.UserName(), "ALICE");
  EXPECT_EQ(view.caption, "KV Mailbox (ALICE: 0 messages)");
  EXPECT_TRUE(timer.running);

  watching.answer = false;
  EXPECT_FALSE(session.ChangeUser(watching, timer));
  EXPECT_EQ(session.UserName(), "");
  EXPECT_FALSE(timer.running);
}

}  // namespace

namespace {

TEST_F(MailSessionTest, ANewPasswordIsStoredForOtherCopiesAndAskedAtTheNextLogin) {
  StartAsBob();
  ASSERT_EQ(session.ChangePassword("SECRET12345678"), 0);
  EXPECT_EQ(session.Password(), "SECRET123456");  // the first 12 are kept in memory
  mailstore::TMail other(ui, clock);
  other.SetMailDir(dir.path());
  EXPECT_EQ(mailstore::ReadUserPassword(other, "BOB"), "SECRET12345678");

  // The next login of BOB is asked for it.
  ScriptedForm next;
  next.typedName = "BOB";
  next.typedPassword = "SECRET12345678";
  ASSERT_TRUE(session.ChangeUser(next, timer));
  EXPECT_EQ(session.UserName(), "BOB");
  EXPECT_EQ(session.Password(), "SECRET123456");
  ASSERT_EQ(session.ChangePassword(""), 0);
  EXPECT_EQ(mailstore::ReadUserPassword(other, "BOB"), "");
}

// Set in the preferences together with another Mail Directory, the
// password goes where the user logs in next, not into the old directory.
TEST_F(MailSessionTest, APasswordSetWithANewMailDirectoryGoesThere) {
  StartAsBob();
  testing_support::TempDir newDir;
  session.Prefs().mailDir = newDir.path();  // as the preferences leave it before applying
  ASSERT_EQ(session.ChangePassword("NEW"), 0);
  mailstore::TMail reader(ui, clock);
  reader.SetMailDir(newDir.path());
  EXPECT_EQ(mailstore::ReadUserPassword(reader, "BOB"), "NEW");
  reader.SetMailDir(dir.path());
  EXPECT_EQ(mailstore::ReadUserPassword(reader, "BOB"), "");
  EXPECT_FALSE(std::filesystem::exists(dir.File("MAILBOX.INI")));
}

TEST_F(MailSessionTest, APasswordThatCannotBeStoredLeavesTheOldOne) {
  StartAsBob();
  platform::faults::Arm("create", 1, ENOSPC, true);
  EXPECT_NE(session.ChangePassword("NEW"), 0);
  platform::faults::Clear();
  EXPECT_EQ(session.Password(), "");
}

// A new, empty Mail Directory chosen in the preferences is reachable at
// once, and the In Box shows it, not the old directory's messages.
TEST_F(MailSessionTest, AnEmptyMailDirectoryJustChosenIsReachableAndShownEmpty) {
  Deliver("first");
  StartAsBob();
  ASSERT_EQ(view.lines.size(), 1u);
  TempDir chosen;
  session.Prefs().mailDir = chosen.path();
  session.ApplyPreferences(timer);
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 0 messages)");  // not the old count
  EXPECT_TRUE(std::filesystem::exists(chosen.File("BOB.LST")));
  // One that is not there is left alone, and shown as not reachable.
  session.Prefs().mailDir = chosen.File("missing");
  session.ApplyPreferences(timer);
  EXPECT_TRUE(view.lines.empty());
  EXPECT_NE(view.caption.find("not reachable"), std::string::npos) << view.caption;
  EXPECT_FALSE(std::filesystem::exists(chosen.File("missing")));
}

TEST_F(MailSessionTest, AnotherMailDirectoryIsReadAtOnceWithItsOwnInBox) {
  Deliver("first");
  StartAsBob();
  ASSERT_EQ(view.lines.size(), 1u);
  TempDir other;
  WriteFile(other.File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
  mail.SetMailDir(other.path());
  Deliver("elsewhere");  // one message there too: the count alone would not tell
  session.Prefs().mailDir = other.path();
  session.Prefs().mailCheckInterval = 7;
  session.ApplyPreferences(timer);
  EXPECT_EQ(session.Mail().MailDir(), other.path());
  ASSERT_EQ(view.lines.size(), 1u);
  EXPECT_EQ(view.Subject(0), "elsewhere");
  EXPECT_EQ(timer.intervalMs, 7000);
}

}  // namespace
