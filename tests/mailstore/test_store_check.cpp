// The store checker on a Mail Directory with one of each kind of damage.
#include <gtest/gtest.h>

#include <filesystem>

#include "mailstore/StoreCheck.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "support/MailFixture.h"

namespace {

using namespace mailstore;
using testing_support::ReadFile;
using testing_support::WriteFile;

constexpr int64_t kHourNs = 3600LL * 1000000000LL;

class StoreCheckTest : public testing_support::MailFixture {
 protected:
  // BOB's mailbox: a good message, a dangling record, an impossible record
  // (no sender) whose text exists, another good message, then a torn tail.
  // ALICE has one good message.  An old text nobody names, a young one
  // (maybe a delivery under way), and a link where a text should be.
  StoreCheckTest() {
    WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
    Deliver("BOB", "First", "ALICE", "0000000A.MSG", true);
    Deliver("BOB", "Gone", "ALICE", "0000000B.MSG", false);
    Deliver("BOB", "Nobody", "", "0000000C.MSG", true);
    Deliver("BOB", "Last", "ALICE", "0000000D.MSG", true);
    Deliver("ALICE", "Hers", "BOB", "0000001A.MSG", true);
    bobRecords_ = ReadFile(MailFile("BOB.LST"));
    WriteFile(MailFile("BOB.LST"), bobRecords_ + "xyz");
    WriteFile(MailFile("0000000E.MSG"), "lost text\r\n");
    platform::SetModifiedTime(MailFile("0000000E.MSG"), now_ - 2 * kHourNs);
    WriteFile(MailFile("0000000F.MSG"), "being delivered\r\n");
    std::filesystem::create_symlink("/etc/passwd", MailFile("0000001B.MSG"));
  }

  void Deliver(const std::string& key, const std::string& subject, const std::string& sender,
               const std::string& text, bool withText) {
    if (withText) WriteFile(MailFile(text), subject + " text\r\n");
    ASSERT_EQ(mail.AppendMessage(key, EncodeMessageRecord(subject, sender, "12/7/2026 2:15p", "F:\\MAIL\\" + text)), 0);
  }

  StoreReport Check() {
    StoreCheckOptions options;
    options.nowNs = now_;
    return CheckStore(mail, options);
  }

  // The records of BOB's mailbox other than record `gone`.
  std::string BobRecordsWithout(int gone) const {
    std::string kept = bobRecords_;
    kept.erase(static_cast<size_t>(gone) * kRecordSize, kRecordSize);
    return kept;
  }

  const int64_t now_ = platform::NowNs();
  std::string bobRecords_;
  testing_support::TempDir orphans_;
};

TEST_F(StoreCheckTest, EachKindOfDamageIsFoundOnce) {
  const StoreReport report = Check();
  for (int kind = 0; kind < kDamageKinds; ++kind)
    EXPECT_EQ(report.Count(static_cast<Damage>(kind)), 1) << DamageName(static_cast<Damage>(kind));
  EXPECT_EQ(report.mailboxes, 2);
  EXPECT_EQ(report.records, 5);
  EXPECT_TRUE(report.orphansKnown);

  auto find = [&report](Damage kind) {
    for (const StoreFinding& f : report.findings)
      if (f.kind == kind) return f;
    return StoreFinding{kind, "", -2, ""};
  };
  EXPECT_EQ(find(Damage::kDanglingRecord).file, "BOB.LST");
  EXPECT_EQ(find(Damage::kDanglingRecord).record, 1);
  EXPECT_EQ(find(Damage::kImpossibleRecord).record, 2);
  EXPECT_EQ(find(Damage::kTornMailbox).detail, "3 bytes after the last whole record");
  EXPECT_EQ(find(Damage::kOrphanText).file, "0000000E.MSG");
  EXPECT_EQ(find(Damage::kUnreadableFile).file, "0000001B.MSG");
  EXPECT_EQ(ReadFile(MailFile("BOB.LST")), bobRecords_ + "xyz");  // a check only reads
}

TEST_F(StoreCheckTest, RepairLosesNothing) {
  WriteFile(orphans_.File("0000000E.MSG"), "an earlier orphan\r\n");  // never replaced
  const RepairResult result = RepairStore(mail, Check(), orphans_.path());
  EXPECT_TRUE(result.failures.empty()) << result.failures.front();
  EXPECT_EQ(result.recordsRemoved, 1);
  EXPECT_EQ(result.textsMoved, 1);
  EXPECT_EQ(result.tailsCut, 1);

  // Every good record stays byte for byte and in its order; so does the
  // impossible one, which is reported only.
  EXPECT_EQ(ReadFile(MailFile("BOB.LST")), BobRecordsWithout(1));
  for (const char* text : {"0000000A.MSG", "0000000C.MSG", "0000000D.MSG", "0000001A.MSG", "0000000F.MSG"})
    EXPECT_TRUE(std::filesystem::exists(MailFile(text))) << text;
  EXPECT_TRUE(std::filesystem::is_symlink(MailFile("0000001B.MSG")));

  EXPECT_FALSE(std::filesystem::exists(MailFile("0000000E.MSG")));
  EXPECT_EQ(ReadFile(orphans_.File("0000000E.MSG")), "an earlier orphan\r\n");
  EXPECT_EQ(ReadFile(orphans_.File("0000000E.MSG.1")), "lost text\r\n");
  EXPECT_EQ(ReadFile(orphans_.File("BOB.LST.tail")), "xyz");

  const StoreReport after = Check();
  EXPECT_EQ(after.Count(Damage::kDanglingRecord) + after.Count(Damage::kOrphanText) + after.Count(Damage::kTornMailbox),
            0);
  EXPECT_EQ(mail.UserName(), "BOB");  // the store's user is put back
}

TEST_F(StoreCheckTest, WithoutAFolderForThemTextsAndTailsStay) {
  // Removing a record rewrites the mailbox up to its last whole record, so
  // a mailbox whose tail cannot be saved keeps its dangling records too.
  for (const std::string& folder : {std::string(), dir.path(), dir.path() + "/."}) {
    const RepairResult result = RepairStore(mail, Check(), folder);
    EXPECT_FALSE(result.failures.empty()) << folder;
    EXPECT_EQ(result.recordsRemoved + result.textsMoved + result.tailsCut, 0) << folder;
    EXPECT_EQ(ReadFile(MailFile("BOB.LST")), bobRecords_ + "xyz") << folder;
    EXPECT_EQ(ReadFile(MailFile("0000000E.MSG")), "lost text\r\n") << folder;
  }
}

TEST_F(StoreCheckTest, AMailboxThatCannotBeReadLeavesNoTextAnOrphan) {
  std::filesystem::create_directory(MailFile("CAROL.LST"));
  const StoreReport report = Check();
  EXPECT_FALSE(report.orphansKnown);
  EXPECT_EQ(report.Count(Damage::kOrphanText), 0);
  EXPECT_EQ(report.Count(Damage::kUnreadableFile), 2);
  EXPECT_EQ(RepairStore(mail, report, orphans_.path()).textsMoved, 0);
  EXPECT_TRUE(std::filesystem::exists(MailFile("0000000E.MSG")));
}

TEST_F(StoreCheckTest, ARecordNamingAnExistingTextInOtherLettersKeepsIt) {
  // Another copy's share may show names in lower case.
  std::filesystem::rename(MailFile("0000000A.MSG"), MailFile("0000000a.msg"));
  const StoreReport report = Check();
  EXPECT_EQ(report.Count(Damage::kDanglingRecord), 1);
  EXPECT_EQ(report.Count(Damage::kOrphanText), 1);
}

TEST_F(StoreCheckTest, ARecordADeletionCutShortLeftNamingNothingIsDanglingAndGoes) {
  RecordBytes forgotten = EncodeMessageRecord("Hers too", "BOB", "12/7/2026 2:15p", "F:\\MAIL\\0000001C.MSG");
  ForgetTextFile(forgotten);
  ASSERT_EQ(mail.AppendMessage("ALICE", forgotten), 0);
  const StoreReport report = Check();
  EXPECT_EQ(report.Count(Damage::kDanglingRecord), 2);
  EXPECT_EQ(report.Count(Damage::kImpossibleRecord), 1);
  bool told = false;
  for (const StoreFinding& f : report.findings)
    told = told || (f.file == "ALICE.LST" && f.record == 1 && f.detail == "it names no text (a deletion cut short)");
  EXPECT_TRUE(told);
  EXPECT_EQ(RepairStore(mail, report, orphans_.path()).recordsRemoved, 2);
  mail.SetUserName("ALICE");
  EXPECT_EQ(mail.CountMessages(), 1);
}

TEST_F(StoreCheckTest, ASoundStoreReportsNothing) {
  std::filesystem::remove(MailFile("0000000E.MSG"));
  std::filesystem::remove(MailFile("0000001B.MSG"));
  std::filesystem::remove(MailFile("0000000F.MSG"));
  WriteFile(MailFile("BOB.LST"), BobRecordsWithout(1));
  // The impossible record is BOB's record 1 now.
  WriteFile(MailFile("BOB.LST"), BobRecordsWithout(1).erase(kRecordSize, kRecordSize));
  EXPECT_TRUE(Check().Sound());
}

}  // namespace
