// The store checker on a Mail Directory with one of each kind of damage.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "mailstore/Inbox.h"
#include "mailstore/StoreCheck.h"
#include "platform/Clock.h"
#include "platform/FaultInjection.h"
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
  // ALICE has one good message and a second copy of its record, left by a
  // deletion cut short.  An old text nobody names, a young one (maybe a
  // delivery under way, sent from a file with an old modification time),
  // and a link where a text should be.
  StoreCheckTest() { Build(); }

  void Build() {
    WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
    Deliver("BOB", "First", "ALICE", "0000000A.MSG", true);
    Deliver("BOB", "Gone", "ALICE", "0000000B.MSG", false);
    Deliver("BOB", "Nobody", "", "0000000C.MSG", true);
    Deliver("BOB", "Last", "ALICE", "0000000D.MSG", true);
    Deliver("ALICE", "Hers", "BOB", "0000001A.MSG", true);
    Deliver("ALICE", "Hers", "BOB", "0000001A.MSG", false);
    bobRecords_ = ReadFile(MailFile("BOB.LST"));
    WriteFile(MailFile("BOB.LST"), bobRecords_ + "xyz");
    WriteFile(MailFile("0000000E.MSG"), "lost text\r\n");
    platform::SetModifiedTime(MailFile("0000000E.MSG"), platform::NowNs() - 2 * kHourNs);
    // The young text is changed later than the old one, by more than the
    // file system's clock tells apart.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    WriteFile(MailFile("0000000F.MSG"), "being delivered\r\n");
    platform::SetModifiedTime(MailFile("0000000F.MSG"), platform::NowNs() - 2 * kHourNs);
    std::filesystem::create_symlink("/etc/passwd", MailFile("0000001B.MSG"));
    // The present is just under the grace period after the young text was
    // last changed, whatever times the files claim.
    platform::FileInfo young;
    ASSERT_EQ(platform::StatFile(MailFile("0000000F.MSG"), young), 0);
    now_ = young.changedNs + kHourNs - 1;
  }

  // Empties the Mail Directory and the folder for orphans, and builds the
  // store again.
  void Rebuild() {
    for (const std::string& folder : {dir.path(), orphans_.path()})
      for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove_all(entry.path());
    Build();
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

  int64_t now_ = 0;
  std::string bobRecords_;
  testing_support::TempDir orphans_;
};

TEST_F(StoreCheckTest, EachKindOfDamageIsFoundOnce) {
  const StoreReport report = Check();
  for (int kind = 0; kind < kDamageKinds; ++kind)
    EXPECT_EQ(report.Count(static_cast<Damage>(kind)), 1) << DamageName(static_cast<Damage>(kind));
  EXPECT_EQ(report.mailboxes, 2);
  EXPECT_EQ(report.records, 6);
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
  EXPECT_EQ(find(Damage::kSharedText).file, "ALICE.LST");
  EXPECT_EQ(find(Damage::kSharedText).record, 1);
  EXPECT_EQ(find(Damage::kSharedText).detail,
            "its text 0000001A.MSG is named by record 0 too (a deletion cut short left it twice)");
  EXPECT_EQ(ReadFile(MailFile("BOB.LST")), bobRecords_ + "xyz");  // a check only reads
}

TEST_F(StoreCheckTest, RepairLosesNothing) {
  WriteFile(orphans_.File("0000000E.MSG"), "an earlier orphan\r\n");  // never replaced
  const RepairResult result = RepairStore(mail, Check(), orphans_.path());
  EXPECT_TRUE(result.failures.empty()) << result.failures.front();
  EXPECT_EQ(result.recordsRemoved, 2);
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

  mail.SetUserName("ALICE");
  EXPECT_EQ(mail.CountMessages(), 1);  // the copy went, its text stayed with the first
  mail.SetUserName("BOB");
  const StoreReport after = Check();
  EXPECT_EQ(after.Count(Damage::kDanglingRecord) + after.Count(Damage::kOrphanText) + after.Count(Damage::kTornMailbox) +
                after.Count(Damage::kSharedText),
            0);
  EXPECT_EQ(mail.UserName(), "BOB");  // the store's user is put back
}

TEST_F(StoreCheckTest, WithoutAFolderForThemTextsAndTailsStay) {
  // Removing a record rewrites the mailbox up to its last whole record, so
  // a mailbox whose tail cannot be saved keeps its dangling records too.
  for (const std::string& folder : {std::string(), dir.path(), dir.path() + "/."}) {
    const RepairResult result = RepairStore(mail, Check(), folder);
    EXPECT_FALSE(result.failures.empty()) << folder;
    EXPECT_EQ(result.textsMoved + result.tailsCut, 0) << folder;  // ALICE's second record may go
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
    told = told || (f.file == "ALICE.LST" && f.record == 2 && f.detail == "it names no text (a deletion cut short)");
  EXPECT_TRUE(told);
  EXPECT_EQ(RepairStore(mail, report, orphans_.path()).recordsRemoved, 3);
  mail.SetUserName("ALICE");
  EXPECT_EQ(mail.CountMessages(), 1);
}

TEST_F(StoreCheckTest, ASoundStoreReportsNothing) {
  std::filesystem::remove(MailFile("0000000E.MSG"));
  std::filesystem::remove(MailFile("0000001B.MSG"));
  std::filesystem::remove(MailFile("0000000F.MSG"));
  WriteFile(MailFile("ALICE.LST"), ReadFile(MailFile("ALICE.LST")).substr(0, kRecordSize));
  WriteFile(MailFile("BOB.LST"), BobRecordsWithout(1));
  // The impossible record is BOB's record 1 now; it goes with its text.
  WriteFile(MailFile("BOB.LST"), BobRecordsWithout(1).erase(kRecordSize, kRecordSize));
  std::filesystem::remove(MailFile("0000000C.MSG"));
  const StoreReport report = Check();
  EXPECT_TRUE(report.Sound()) << report.findings.front().file << ": " << report.findings.front().detail;
}

TEST_F(StoreCheckTest, AnEntryThatCannotBeLookedAtIsReportedAndNoTextARecordNamesMoves) {
  // A share stumbles at one look of a check and its repair, at every look
  // in turn.  A mailbox the listing could not look at is as unread: no text
  // may be taken for an orphan while its records are unknown.
  const char* const named[] = {"0000000A.MSG", "0000000C.MSG", "0000000D.MSG", "0000001A.MSG"};
  platform::faults::Clear();
  RepairStore(mail, Check(), orphans_.path());
  const int looks = platform::faults::CallCount("stat");
  ASSERT_GT(looks, 10);
  for (int err : {EIO, ESTALE, EACCES}) {
    for (int nth = 1; nth <= looks; ++nth) {
      Rebuild();
      platform::faults::Clear();
      platform::faults::Arm("stat", nth, err);
      const StoreReport report = Check();
      RepairStore(mail, report, orphans_.path());
      platform::faults::Clear();
      for (const char* text : named)
        ASSERT_TRUE(std::filesystem::exists(MailFile(text))) << text << ", look " << nth << " failing with " << err;
      mail.SetUserName("BOB");
      ASSERT_GE(mail.CountMessages(), 3) << "look " << nth << " failing with " << err;
    }
  }
}

TEST_F(StoreCheckTest, AMailboxTheListingCannotLookAtIsUnreadable) {
  platform::faults::Clear();
  platform::faults::Arm("stat", 1, EIO, /*sticky=*/true);
  std::vector<platform::FileInfo> entries;
  EXPECT_EQ(platform::FindFiles(dir.path(), "*.LST", entries), 0);
  platform::faults::Clear();
  ASSERT_EQ(entries.size(), 2u);  // listed, not skipped
  for (const platform::FileInfo& entry : entries) EXPECT_NE(entry.lookCode, 0) << entry.name;
}

TEST_F(StoreCheckTest, AYoungTextIsNoOrphanWhateverItsModificationTime) {
  // Both texts claim a modification two hours old; only the one the system
  // changed more than the grace period ago is an orphan.
  const StoreReport report = Check();
  ASSERT_EQ(report.Count(Damage::kOrphanText), 1);
  for (const StoreFinding& f : report.findings)
    if (f.kind == Damage::kOrphanText) {
      EXPECT_EQ(f.file, "0000000E.MSG");
    }
  StoreCheckOptions options;
  options.nowNs = now_;
  options.graceNs = 0;  // an administrator's --orphan-age 0
  EXPECT_EQ(CheckStore(mail, options).Count(Damage::kOrphanText), 2);
}

}  // namespace
