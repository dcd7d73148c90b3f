#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "mailstore/Inbox.h"
#include "platform/FaultInjection.h"
#include "support/MailFixture.h"

namespace {

using namespace mailstore;
using testing_support::WriteFile;

struct RecordingView : InboxView {
  std::vector<std::string> lines;
  InboxRecords records;  // as the scan gave them
  int rebuilds = 0;
  bool full = false;
  std::string caption;
  void SetInboxRecords(const InboxRecords& records) override {
    ++rebuilds;
    this->records = records;
    lines = AllInboxLines(records);
  }
  void SetMailboxState(bool isFull) override { full = isFull; }
  void SetCaption(const std::string& text) override { caption = text; }
};

struct RecordingTimer : PollTimer {
  bool running = false;
  int interval = -1;
  void StopTimer() override { running = false; }
  void SetTimerInterval(int ms) override { interval = ms; }
  void StartTimer() override { running = true; }
};

// A user who does something while a notice is on screen.
struct ReenteringUi : testing_support::ScriptedUi {
  std::function<void()> duringNotice;
  void ShowNotice(const std::string& title, const std::string& text) override {
    ScriptedUi::ShowNotice(title, text);
    if (duringNotice) duringNotice();
  }
};

TEST(InboxLineTest, SplitsAtTheFirstTwoBars) {
  struct Case {
    const char* line;
    const char* date;
    const char* sender;
    const char* subject;
    bool read;
  };
  for (const Case& c : {Case{"12/7/2026 2:15p|ALICE|Lunch", "12/7/2026 2:15p", "ALICE", "Lunch", false},
                        Case{"12/7/2026 2:15p.|ALICE|Re: a|b", "12/7/2026 2:15p", "ALICE", "Re: a|b", true},
                        Case{"no bars at all", "", "no bars at all", "", false},
                        Case{"|ALICE|undated", "", "ALICE", "undated", false},
                        Case{".|X|", "", "X", "", true}}) {
    const InboxFields f = SplitInboxLine(c.line);
    EXPECT_EQ(f.date, c.date) << c.line;
    EXPECT_EQ(f.sender, c.sender) << c.line;
    EXPECT_EQ(f.subject, c.subject) << c.line;
    EXPECT_EQ(f.read, c.read) << c.line;
  }
  EXPECT_EQ(InboxLine(MessageRecord{"Lunch", "ALICE", "12/7/2026 2:15p.", ""}), "12/7/2026 2:15p.|ALICE|Lunch");
}

class InboxTest : public testing_support::MailFixture {
 protected:
  void Arrive(const std::string& subject, bool read = false, bool withText = true) {
    const std::string name = std::to_string(10000000 + next_++) + ".MSG";
    if (withText) WriteFile(MailFile(name), subject);
    ASSERT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord(subject, "ALICE", read ? "12/7/2026 2:15p." : "12/7/2026 2:15p",
                                                            "E:\\MAIL\\" + name)), 0);
  }
  std::vector<std::string> Notices() {
    std::vector<std::string> texts;
    for (const auto& s : ui.shown)
      if (s.kind == "notice") texts.push_back(s.text);
    return texts;
  }

  RecordingView view;
  InboxScanner scanner{mail, view};
  int next_ = 0;
};

TEST_F(InboxTest, TheFirstScanAnnouncesAllUnreadMessages) {
  for (int i = 0; i < 3; ++i) Arrive("new" + std::to_string(i));
  Arrive("old0", true);
  Arrive("old1", true);
  EXPECT_TRUE(scanner.ScanMailbox());
  EXPECT_EQ(Notices(), std::vector<std::string>{"You have 3 new messages in your mailbox."});
  EXPECT_EQ(ui.shown[0].title, "KV Mailbox");
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 5 messages)");
  EXPECT_TRUE(view.full);
  ASSERT_EQ(view.lines.size(), 5u);
  EXPECT_EQ(view.lines[0], "12/7/2026 2:15p|ALICE|new0");
  EXPECT_EQ(view.lines[3], "12/7/2026 2:15p.|ALICE|old0");
}

TEST_F(InboxTest, OneMessageIsSingular) {
  EXPECT_FALSE(scanner.ScanMailbox());
  Arrive("hello");
  EXPECT_TRUE(scanner.ScanMailbox());
  EXPECT_EQ(Notices(), std::vector<std::string>{"You have 1 new message in your mailbox."});
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 1 message)");
}

TEST_F(InboxTest, AnUnchangedCountLeavesTheInBoxAlone) {
  Arrive("hello");
  scanner.ScanMailbox();
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_EQ(view.rebuilds, 1);
  EXPECT_EQ(Notices().size(), 1u);
}

TEST_F(InboxTest, DeletionsRebuildWithoutAnAnnouncement) {
  Arrive("a");
  Arrive("b");
  scanner.ScanMailbox();
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines, std::vector<std::string>{"12/7/2026 2:15p|ALICE|b"});
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 0 messages)");
  EXPECT_FALSE(view.full);
  EXPECT_EQ(Notices().size(), 1u);
}

TEST_F(InboxTest, MailReadElsewhereBeforeTheScanIsNotNew) {
  Arrive("a", /*read=*/true);
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines.size(), 1u);
  EXPECT_TRUE(Notices().empty());
}

TEST_F(InboxTest, ARecordWithoutADateIsNeitherReadNorNew) {
  ASSERT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("undated", "ALICE", "", "E:\\MAIL\\10000099.MSG")), 0);
  WriteFile(MailFile("10000099.MSG"), "x");
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines, std::vector<std::string>{"|ALICE|undated"});
}

TEST_F(InboxTest, DanglingRecordsAreRemovedAndTheRestListedInOrder) {
  Arrive("keep0");
  Arrive("gone1", false, /*withText=*/false);
  Arrive("gone2", false, /*withText=*/false);
  Arrive("keep3");
  Arrive("gone4", false, /*withText=*/false);
  EXPECT_TRUE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines, (std::vector<std::string>{"12/7/2026 2:15p|ALICE|keep0", "12/7/2026 2:15p|ALICE|keep3"}));
  EXPECT_EQ(mail.CountMessages(), 2);
  EXPECT_EQ(scanner.KnownCount(), 2);
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 2 messages)");
  EXPECT_EQ(Notices(), std::vector<std::string>{"You have 2 new messages in your mailbox."});
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_EQ(view.rebuilds, 1);
  // Each line stands for its record, whose text file names the message.
  const InboxRecords first = view.records;
  ASSERT_EQ(first.size(), 2);
  EXPECT_EQ(first.TextFileName(0), "10000000.MSG");
  EXPECT_EQ(first.TextFileName(1), "10000003.MSG");

  // As many new messages as went: the count is back where it was, and they
  // are still listed and announced.
  for (int i = 0; i < 3; ++i) Arrive("new" + std::to_string(i));
  EXPECT_TRUE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines.size(), 5u);
  EXPECT_EQ(Notices().back(), "You have 5 new messages in your mailbox.");
  // A list kept from an earlier scan still reads as it was.
  EXPECT_EQ(first.Line(1), "12/7/2026 2:15p|ALICE|keep3");
  EXPECT_EQ(view.records.TextFileName(4), "10000007.MSG");
}

TEST_F(InboxTest, DanglingRecordsCostOneReadingOfTheDirectoryAndOneWrite) {
  // 400 records, every fourth without its text.
  for (int i = 0; i < 400; ++i) Arrive("m" + std::to_string(i), false, /*withText=*/i % 4 != 1);
  const std::string before = testing_support::ReadFile(MailFile("BOB.LST"));
  platform::faults::Clear();
  EXPECT_TRUE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines.size(), 300u);
  // Each record's text is looked up in one reading of the directory; only
  // the missing ones get a look of their own (and one more under the lock).
  EXPECT_EQ(platform::faults::CallCount("opendir"), 1);
  EXPECT_LE(platform::faults::CallCount("stat"), 2 * 100 + 10);
  EXPECT_EQ(platform::faults::CallCount("fsync"), 1);

  // The file is what removing the records one by one leaves.
  std::string expected;
  for (int i = 0; i < 400; ++i)
    if (i % 4 != 1) expected += before.substr(static_cast<size_t>(i) * kRecordSize, kRecordSize);
  EXPECT_EQ(testing_support::ReadFile(MailFile("BOB.LST")), expected);
}

TEST_F(InboxTest, AReadingAheadAnswersTheFirstScanOfItsDirectoryAndNoOther) {
  Arrive("kept");
  Arrive("late", false, /*withText=*/false);
  Arrive("gone", false, /*withText=*/false);
  auto ahead = std::make_unique<platform::DirectoryReadingAhead>(mail.MailDir());
  ahead->Wait();
  // Delivered after the reading, which lacks it: a look of its own finds it.
  WriteFile(MailFile("10000001.MSG"), "late");
  mail.SetReadingAhead(std::move(ahead));
  platform::faults::Clear();
  EXPECT_TRUE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines, (std::vector<std::string>{"12/7/2026 2:15p|ALICE|kept", "12/7/2026 2:15p|ALICE|late"}));
  EXPECT_EQ(mail.CountMessages(), 2);
  EXPECT_EQ(platform::faults::CallCount("opendir"), 0);

  // Taken once: the next scan reads the directory itself.
  Arrive("next");
  EXPECT_TRUE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines.size(), 3u);
  EXPECT_EQ(platform::faults::CallCount("opendir"), 1);
}

TEST_F(InboxTest, AReadingAheadOfAnotherDirectoryIsNotTaken) {
  Arrive("kept");
  const std::string other = mail.MailDir() + "-other";
  std::filesystem::create_directory(other);
  WriteFile(other + "/10000000.MSG", "a text of the same name elsewhere");
  std::filesystem::remove(MailFile("10000000.MSG"));
  auto ahead = std::make_unique<platform::DirectoryReadingAhead>(other);
  ahead->Wait();
  mail.SetReadingAhead(std::move(ahead));
  platform::faults::Clear();
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(mail.CountMessages(), 0);
  EXPECT_EQ(platform::faults::CallCount("opendir"), 1);
  std::filesystem::remove_all(other);
}

TEST_F(InboxTest, ARecordThatChangedSinceTheScanIsNotRemoved) {
  Arrive("keep");
  Arrive("gone", false, /*withText=*/false);
  std::vector<unsigned char> seen;
  ASSERT_EQ(mail.ReadRecordBytes(seen), 0);
  // Its text came back meanwhile: it is no longer dangling.
  WriteFile(MailFile("10000001.MSG"), "back");
  EXPECT_EQ(mail.RemoveLeftoverRecords({1}, seen), 0);
  EXPECT_EQ(mail.CountMessages(), 2);
  std::filesystem::remove(MailFile("10000001.MSG"));
  EXPECT_EQ(mail.RemoveLeftoverRecords({1}, seen), 0);
  EXPECT_EQ(mail.CountMessages(), 1);
}

TEST_F(InboxTest, ARecordADeletionCutShortLeftTwiceIsDroppedAndItsTextKept) {
  // A deletion of record 0 moves the later records down, then cuts the
  // file.  Cut short, it leaves the last record twice (the cut not made)
  // or a middle one twice (the move stopped after one record).
  struct Case {
    const char* what;
    std::function<void(const std::string& before)> cutShort;
  };
  const Case cases[] = {
      {"the file not cut",
       [this](const std::string&) {
         platform::faults::Arm("truncate", 1, EIO);
         EXPECT_NE(mail.DeleteMessage(0), 0);
         platform::faults::Clear();
       }},
      {"the move stopped after one record",
       [this](const std::string& before) {
         ASSERT_EQ(mail.DeleteMessage(0), 0);
         WriteFile(MailFile("BOB.LST"), before.substr(kRecordSize, kRecordSize) + before.substr(kRecordSize));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(MailFile("BOB.LST"));
    next_ = 0;
    for (const char* subject : {"a", "b", "c", "d"}) Arrive(subject);
    c.cutShort(testing_support::ReadFile(MailFile("BOB.LST")));
    ASSERT_EQ(testing_support::ReadFile(MailFile("BOB.LST")).size(), 4 * kRecordSize);

    RecordingView fresh;
    InboxScanner scanner(mail, fresh);
    scanner.ScanMailbox();
    EXPECT_EQ(fresh.lines, (std::vector<std::string>{"12/7/2026 2:15p|ALICE|b", "12/7/2026 2:15p|ALICE|c",
                                                     "12/7/2026 2:15p|ALICE|d"}));
    EXPECT_EQ(mail.CountMessages(), 3);
    EXPECT_EQ(fresh.caption, "KV Mailbox (BOB: 3 messages)");
    for (const char* text : {"10000001.MSG", "10000002.MSG", "10000003.MSG"})
      EXPECT_TRUE(std::filesystem::exists(MailFile(text))) << text;
  }
}

TEST_F(InboxTest, DeletingOneOfTwoRecordsOfOneTextKeepsTheText) {
  for (const char* subject : {"a", "b"}) Arrive(subject);
  const std::string records = testing_support::ReadFile(MailFile("BOB.LST"));
  WriteFile(MailFile("BOB.LST"), records + records.substr(kRecordSize));  // b twice, as a cut deletion leaves it
  // Either copy goes alone; the text goes with the last record naming it.
  for (int index : {1, 2}) {
    WriteFile(MailFile("BOB.LST"), records + records.substr(kRecordSize));
    ASSERT_EQ(mail.DeleteMessage(index), 0);
    EXPECT_TRUE(std::filesystem::exists(MailFile("10000001.MSG"))) << index;
    EXPECT_EQ(testing_support::ReadFile(MailFile("BOB.LST")), records) << index;
  }
  ASSERT_EQ(mail.DeleteMessage(1), 0);
  EXPECT_FALSE(std::filesystem::exists(MailFile("10000001.MSG")));
  EXPECT_TRUE(std::filesystem::exists(MailFile("10000000.MSG")));
}

TEST_F(InboxTest, AnUnreadableMailboxKeepsLinesAndRecordsInStep) {
  Arrive("a");
  scanner.ScanMailbox();
  Arrive("b");
  testing_support::ScriptedUi otherUi;
  TMail other(otherUi, clock);  // another copy busy appending
  other.SetMailDir(dir.path());
  ASSERT_EQ(other.OpenMailbox("BOB", TMail::Mode::kUpdate), 0);
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_TRUE(view.lines.empty());  // nothing listed that could stand for the wrong record
  EXPECT_EQ(Notices().size(), 1u);
  other.CloseMailbox();
  EXPECT_TRUE(scanner.ScanMailbox());  // the same count, but rebuilt, and the arrival announced now
  EXPECT_EQ(view.lines.size(), 2u);
  EXPECT_EQ(Notices().size(), 2u);
  EXPECT_FALSE(scanner.ScanMailbox());
}

TEST_F(InboxTest, AScanDuringItsOwnNoticeReturnsAtOnce) {
  ReenteringUi reentering;
  TMail own(reentering, clock);
  own.SetMailDir(dir.path());
  own.SetUserName("BOB");
  InboxScanner inner(own, view);
  int innerScans = 0;
  bool innerResult = true;
  reentering.duringNotice = [&] {
    if (innerScans++ > 0) return;  // a timer tick while the notice is open
    innerResult = inner.ScanMailbox();
  };
  Arrive("a");
  EXPECT_TRUE(inner.ScanMailbox());
  EXPECT_EQ(innerScans, 1);
  EXPECT_FALSE(innerResult);
  EXPECT_EQ(reentering.CountOf("notice"), 1);
}

TEST_F(InboxTest, CheckMailboxNowSaysWhenThereIsNothingNew) {
  Arrive("a");
  scanner.ScanMailbox();
  scanner.CheckMailboxNow();
  EXPECT_EQ(Notices().back(), "Sorry, you do not have any new mail.");
}

TEST_F(InboxTest, NoNoticeWhenNotificationIsOff) {
  scanner.settings.notify = false;
  Arrive("a");
  EXPECT_TRUE(scanner.ScanMailbox());
  EXPECT_TRUE(Notices().empty());
}

TEST_F(InboxTest, WithoutAUserNothingIsScanned) {
  mail.SetUserName("");
  Arrive("a");
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_EQ(view.rebuilds, 0);
  EXPECT_EQ(scanner.MailboxCaption(), "KV Mailbox");
}

TEST_F(InboxTest, AMailDirectoryThatIsGoneKeepsTheInBoxAndSaysSo) {
  Arrive("kept", true);
  scanner.ScanMailbox();
  ASSERT_EQ(view.lines.size(), 1u);
  const std::string moved = dir.path() + ".away";
  std::filesystem::rename(dir.path(), moved);
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_EQ(view.lines.size(), 1u);  // the In Box stands still
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: Mail Directory not reachable)");
  EXPECT_FALSE(scanner.MailDirectoryReachable());
  EXPECT_TRUE(ui.shown.empty());  // no error box at every poll
  scanner.ScanMailbox();
  EXPECT_TRUE(ui.shown.empty());
  std::filesystem::rename(moved, dir.path());
  scanner.ScanMailbox();
  EXPECT_TRUE(scanner.MailDirectoryReachable());
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 1 message)");
  EXPECT_EQ(view.lines.size(), 1u);
}

TEST_F(InboxTest, NoMailboxIsMadeInAnEmptyDirectory) {
  // A share that is not mounted leaves its empty mount point behind.
  testing_support::TempDir empty;
  mail.SetMailDir(empty.path());
  EXPECT_FALSE(scanner.ScanMailbox());
  EXPECT_TRUE(std::filesystem::is_empty(empty.path()));
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: Mail Directory not reachable)");
  // With the user list there, it is a Mail Directory: the mailbox is made.
  WriteFile(empty.File("MASTER.INI"), "[USERS]\r\nBOB=\r\n");
  scanner.ScanMailbox();
  EXPECT_TRUE(std::filesystem::exists(empty.File("BOB.LST")));
  EXPECT_EQ(view.caption, "KV Mailbox (BOB: 0 messages)");
}

TEST_F(InboxTest, RearmingAppliesThePollingSettingsAndScans) {
  struct Case {
    int interval;
    bool continuous;
    bool runs;
  };
  WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
  for (const Case& c : {Case{25, true, true}, Case{5, true, true}, Case{0, true, false}, Case{25, false, false}}) {
    RecordingTimer timer;
    timer.running = true;
    scanner.settings.intervalSeconds = c.interval;
    scanner.settings.continuous = c.continuous;
    scanner.RearmPolling(timer);
    EXPECT_EQ(timer.interval, c.interval * 1000);
    EXPECT_EQ(timer.running, c.runs) << c.interval << " " << c.continuous;
  }
  EXPECT_TRUE(std::filesystem::exists(MailFile("BOB.LST")));  // the scan ran and made the mailbox
}

}  // namespace
