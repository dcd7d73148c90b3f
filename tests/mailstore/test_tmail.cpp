#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <new>

#include "mailstore/IoErrorText.h"
#include "mailstore/MailError.h"
#include "mailstore/UserRegistry.h"
#include "platform/ErrorCode.h"
#include "platform/Files.h"
#include "platform/LockDirectory.h"
#include "support/MailFixture.h"

namespace {

using namespace mailstore;
using testing_support::ReadFile;
using testing_support::WriteFile;

class TMailTest : public testing_support::MailFixture {
 protected:
  // Appends a record whose text file exists, named by `fileName`.
  void Deliver(const std::string& subject, const std::string& fileName, const std::string& key = "BOB") {
    WriteFile(MailFile(fileName), subject + "\r\n");
    ASSERT_EQ(mail.AppendMessage(key, EncodeMessageRecord(subject, "ALICE", "12/7/2026 2:15p", MailFile(fileName))), 0);
  }
  std::vector<std::string> Subjects() {
    std::vector<std::string> subjects;
    for (int i = 0, n = mail.CountMessages(); i < n; ++i) {
      MessageRecord record;
      EXPECT_EQ(mail.ReadMessage(i, record), 0);
      subjects.push_back(record.subject);
    }
    return subjects;
  }
};

TEST_F(TMailTest, MailboxPathCutsTheKeyAndFindsAnyCase) {
  EXPECT_EQ(mail.MailboxPath("JOHNSMITHSON"), MailFile("JOHNSMIT.LST"));
  WriteFile(MailFile("bob.lst"), "");
  EXPECT_EQ(mail.MailboxPath("BOB"), MailFile("bob.lst"));
}

TEST_F(TMailTest, CountMessagesFromTheFileSize) {
  struct Case {
    size_t size;
    int count;
  };
  for (const Case& c : {Case{0, 0}, Case{150, 0}, Case{151, 1}, Case{302, 2}, Case{151 * 3 + 100, 3}}) {
    WriteFile(MailFile("BOB.LST"), std::string(c.size, 'x'));
    EXPECT_EQ(mail.CountMessages(), c.count) << c.size;
  }
}

TEST_F(TMailTest, AMissingMailboxIsCreatedEmptyInEitherMode) {
  WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nBOB=\r\n");  // a Mail Directory, not an empty mount point
  EXPECT_EQ(mail.CountMessages(), 0);
  EXPECT_TRUE(std::filesystem::exists(MailFile("BOB.LST")));
  EXPECT_EQ(mail.OpenMailbox("CAROL", TMail::Mode::kRead), 0);
  EXPECT_EQ(mail.CloseMailbox(), 0);
  EXPECT_EQ(mail.OpenMailbox("DAVE", TMail::Mode::kUpdate), 0);
  EXPECT_EQ(mail.CloseMailbox(), 0);
  EXPECT_EQ(std::filesystem::file_size(MailFile("CAROL.LST")), 0u);
  EXPECT_EQ(std::filesystem::file_size(MailFile("DAVE.LST")), 0u);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(TMailTest, AppendedRecordsReadBackInOrder) {
  Deliver("first", "00000001.MSG");
  Deliver("second", "00000002.MSG");
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(std::filesystem::file_size(MailFile("BOB.LST")), 2 * kRecordSize);
  MessageRecord record;
  EXPECT_EQ(mail.ReadMessage(2, record), platform::kReadError);
  EXPECT_EQ(mail.ReadMessage(-1, record), platform::kReadError);
}

TEST_F(TMailTest, AppendOverwritesATornRecordAtTheEnd) {
  Deliver("first", "00000001.MSG");
  std::filesystem::resize_file(MailFile("BOB.LST"), kRecordSize + 40);  // a writer died half way
  Deliver("second", "00000002.MSG");
  EXPECT_EQ(std::filesystem::file_size(MailFile("BOB.LST")), 2 * kRecordSize);
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"first", "second"}));
}

TEST_F(TMailTest, AFailedAppendLeavesTheMailboxAsItWas) {
  Deliver("first", "00000001.MSG");
  const std::string before = ReadFile(MailFile("BOB.LST"));
  const RecordBytes record = EncodeMessageRecord("second", "ALICE", "d", MailFile("00000002.MSG"));
  platform::faults::Arm("write", 2, ENOSPC);  // the record, after the lock's OWNER
  EXPECT_EQ(mail.AppendMessage("BOB", record), 101);
  platform::faults::Arm("fsync", 1, EIO);
  EXPECT_EQ(mail.AppendMessage("BOB", record), 160);  // a write fault, not a full disk
  EXPECT_EQ(ReadFile(MailFile("BOB.LST")), before);
}

TEST_F(TMailTest, ReadingResolvesTheTextFileInOurMailDirectory) {
  struct Case {
    const char* stored;
    bool resolves;
  };
  WriteFile(MailFile("99223FC2.MSG"), "x");
  for (const Case& c : {Case{"E:\\MAIL\\99223FC2.MSG", true}, Case{"F:\\SHARED\\MAIL\\99223fc2.msg", true},
                        Case{"/srv/mail/99223FC2.MSG", true}, Case{"E:99223FC2.MSG", true},
                        Case{"E:\\MAIL\\..", false}, Case{"..\\..\\etc\\passwd", false},
                        Case{"E:\\MAIL\\MASTER.INI", false}, Case{"E:\\MAIL\\MAILBOX.INI", false},
                        Case{"E:\\MAIL\\BOB.LST", false}, Case{"", false}, Case{"E:\\MAIL\\", false}}) {
    std::filesystem::remove(MailFile("BOB.LST"));
    ASSERT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("s", "ALICE", "d", c.stored)), 0);
    MessageRecord record;
    ASSERT_EQ(mail.ReadMessage(0, record), 0);
    EXPECT_EQ(record.textFile, c.resolves ? MailFile("99223FC2.MSG") : "") << c.stored;
  }
}

TEST_F(TMailTest, MarkAsReadAddsTheMarkOnce) {
  Deliver("first", "00000001.MSG");
  ASSERT_EQ(mail.MarkAsRead(0), 0);
  const std::string marked = ReadFile(MailFile("BOB.LST"));
  MessageRecord record;
  ASSERT_EQ(mail.ReadMessage(0, record), 0);
  EXPECT_EQ(record.date, "12/7/2026 2:15p.");
  EXPECT_TRUE(IsRead(record));
  ASSERT_EQ(mail.MarkAsRead(0), 0);
  EXPECT_EQ(ReadFile(MailFile("BOB.LST")), marked);
  EXPECT_EQ(mail.MarkAsRead(1), platform::kReadError);
}

TEST_F(TMailTest, DeletingMovesLaterRecordsDown) {
  Deliver("r0", "00000000.MSG");
  Deliver("r1", "00000001.MSG");
  Deliver("r2", "00000002.MSG");
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"r1", "r2"}));
  EXPECT_FALSE(std::filesystem::exists(MailFile("00000000.MSG")));
  ASSERT_EQ(mail.DeleteMessage(1), 0);  // the last: nothing moves
  EXPECT_EQ(Subjects(), (std::vector<std::string>{"r1"}));
  EXPECT_EQ(std::filesystem::file_size(MailFile("BOB.LST")), kRecordSize);
  EXPECT_EQ(mail.DeleteMessage(1), platform::kReadError);
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_EQ(std::filesystem::file_size(MailFile("BOB.LST")), 0u);
}

TEST_F(TMailTest, DeletingADanglingOrForeignRecordTouchesNoOtherFile) {
  WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nBOB=\r\n");
  ASSERT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("evil", "X", "d", "E:\\MAIL\\MASTER.INI")), 0);
  ASSERT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("gone", "X", "d", "E:\\MAIL\\0000FFFF.MSG")), 0);
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_EQ(mail.CountMessages(), 0);
  EXPECT_TRUE(std::filesystem::exists(MailFile("MASTER.INI")));
}

TEST_F(TMailTest, ATextFileThatCannotBeDeletedKeepsItsRecord) {
  Deliver("r0", "00000000.MSG");
  const std::string before = ReadFile(MailFile("BOB.LST"));
  platform::faults::Arm("unlink", 1, EIO, /*sticky=*/true);
  EXPECT_NE(mail.DeleteMessage(0), 0);
  platform::faults::Clear();
  EXPECT_EQ(ReadFile(MailFile("BOB.LST")), before);  // byte for byte
  EXPECT_TRUE(std::filesystem::exists(MailFile("00000000.MSG")));
}

TEST_F(TMailTest, ARemovalCutShortNeverLendsItsRecordTheTextOfALaterMessage) {
  Deliver("old", "00000000.MSG");
  Deliver("other", "00000001.MSG");
  // The text went, then the records could not be moved: the process might
  // as well have been killed there.  (The first write is the lock's OWNER,
  // the second the record that stops naming its text.)
  platform::faults::Arm("write", 3, EIO);
  EXPECT_NE(mail.DeleteMessage(0), 0);
  platform::faults::Clear();
  ASSERT_FALSE(std::filesystem::exists(MailFile("00000000.MSG")));

  // The next message of the same moment gets the name that is free again.
  Deliver("new", "00000000.MSG");
  MessageRecord left;
  ASSERT_EQ(mail.ReadMessage(0, left), 0);
  EXPECT_EQ(left.subject, "old");
  // It names nothing (the next look drops it), not the new message's text.
  EXPECT_EQ(left.textFile, "");
  EXPECT_EQ(left.textFileCode, platform::kFileNotFound);
}

TEST_F(TMailTest, AReadOnlyTextFileIsStillDeleted) {
  Deliver("r0", "00000000.MSG");
  ASSERT_EQ(platform::SetReadOnly(MailFile("00000000.MSG"), true), 0);
  platform::faults::Arm("unlink", 1, EACCES);  // as a system that refuses read-only files would
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_FALSE(std::filesystem::exists(MailFile("00000000.MSG")));
  EXPECT_EQ(mail.CountMessages(), 0);
}

TEST_F(TMailTest, MessageFileNamesFollowTheKeyAndTheMoment) {
  std::string path;
  ASSERT_TRUE(mail.CreateMessageFile(path));
  EXPECT_EQ(path, MailFile("99223FC2.MSG"));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  ASSERT_TRUE(mail.CreateMessageFile(path));  // the same second: the next value
  EXPECT_EQ(path, MailFile("99223FC3.MSG"));
  ASSERT_TRUE(mail.CreateMessageFile(path));
  EXPECT_EQ(path, MailFile("99223FC4.MSG"));
}

TEST_F(TMailTest, ARunOfNamesOtherCopiesTookCostsOneReadingNotALookEach) {
  // Other copies sent 40 messages in the same seconds, one of them from a
  // share that writes names in lower case.
  for (uint32_t value = 0x99223FC2u; value < 0x99223FC2u + 40; ++value) {
    char name[16];
    std::snprintf(name, sizeof name, value == 0x99223FD0u ? "%08x.msg" : "%08X.MSG", value);
    WriteFile(MailFile(name), "theirs\r\n");
  }
  platform::faults::Clear();
  std::string path;
  ASSERT_TRUE(mail.CreateMessageFile(path));
  EXPECT_EQ(path, MailFile("99223FEA.MSG"));  // the first free name, as ever
  EXPECT_EQ(ReadFile(MailFile("99223fd0.msg")), "theirs\r\n");
  EXPECT_EQ(platform::faults::CallCount("opendir"), 1);
  // The first name and the free one are looked at in the spellings
  // writers give; the names between are answered by the reading.
  EXPECT_LE(platform::faults::CallCount("stat"), 6);
  EXPECT_EQ(platform::faults::CallCount("create"), 3);  // the names lock's OWNER, then two names
}

TEST_F(TMailTest, ANameTakenInAnySpellingGetsNoTwin) {
  // Other copies' texts in the spellings shares and peers give them, with
  // MAILBOX.INI in place so that no login has read the directory.
  WriteFile(MailFile("MAILBOX.INI"), "[USERS]\r\n");
  const char* const spellings[] = {"99223fc2.MSG", "99223FC3.msg", "99223fc4.msg"};
  for (const char* name : spellings) WriteFile(MailFile(name), "theirs\r\n");
  std::string path;
  ASSERT_TRUE(mail.CreateMessageFile(path));
  EXPECT_EQ(path, MailFile("99223FC5.MSG"));
  for (const char* name : spellings) EXPECT_EQ(ReadFile(MailFile(name)), "theirs\r\n") << name;

  // Within an operation whose reading of the directory has been made, a
  // name in any mix of cases is taken too.
  WriteFile(MailFile("99223Fc6.Msg"), "theirs\r\n");
  const TMail::Operation operation(mail, TMail::Operation::kListDirectory);
  EXPECT_EQ(mail.TextFileState("99223FC6.MSG"), 0);  // the look that reads the directory
  ASSERT_TRUE(mail.CreateMessageFile(path));
  EXPECT_EQ(path, MailFile("99223FC7.MSG"));
}

TEST(MessageFileName, WeightsOfKeys) {
  const platform::LocalTime t{2026, 12, 7, 14, 15, 30};
  const uint32_t base = 0x5D8771EFu + 1000000000u;
  auto value = [&](std::string_view key) { return std::stoul(MessageFileName(key, t, 0).substr(0, 8), nullptr, 16); };
  EXPECT_EQ(value("B"), base + 'B');
  EXPECT_EQ(value("BOB"), base + 979);
  EXPECT_EQ(value("ABCDEFGH"), base + 32512 + (65 + 66 + 67 + 68 + 69 + 70 + 71 + 72));
  EXPECT_EQ(MessageFileName("", platform::LocalTime{1979, 1, 1, 0, 0, 0}, 5), "3B9ACA05.MSG");  // no date outside 1980-2099
  EXPECT_EQ(MessageFileName("BOB", t, 1), "99223FC3.MSG");
}

TEST_F(TMailTest, ACreationRefusedAsAccessDeniedGoesOnWhenTheNameIsTaken) {
  // Some clients (sshfs) answer an exclusive creation that lost its race
  // with EPERM or EACCES instead of EEXIST.  Each case is a copy of its own,
  // which starts at the first name.
  auto copy = [this] {
    auto other = std::make_unique<TMail>(ui, clock);
    other->SetMailDir(dir.path());
    other->SetUserName("BOB");
    return other;
  };
  for (int err : {EPERM, EACCES}) {
    WriteFile(MailFile("99223FC2.MSG"), "theirs\r\n");
    platform::faults::Clear();
    platform::faults::Arm("create", 2, err);  // the first is the names lock's OWNER
    std::string path;
    ASSERT_TRUE(copy()->CreateMessageFile(path)) << err;
    EXPECT_EQ(path, MailFile("99223FC3.MSG")) << err;
    EXPECT_EQ(ReadFile(MailFile("99223FC2.MSG")), "theirs\r\n");
    // Refused for a name that is not there: the directory refuses, and no
    // other name would do better.
    std::filesystem::remove(MailFile("99223FC2.MSG"));
    std::filesystem::remove(MailFile("99223FC3.MSG"));
    platform::faults::Clear();
    platform::faults::Arm("create", 2, err, /*sticky=*/true);
    EXPECT_FALSE(copy()->CreateMessageFile(path)) << err;
    EXPECT_EQ(platform::faults::CallCount("create"), 2) << err;
  }
}

TEST_F(TMailTest, CreatingGivesUpAtOnceWhenTheDirectoryRefuses) {
  std::string path;
  mail.SetMailDir(dir.File("nowhere"));
  EXPECT_FALSE(mail.CreateMessageFile(path));
  EXPECT_EQ(platform::faults::CallCount("mkdir"), 1);  // the names lock, and no more
  EXPECT_EQ(platform::faults::CallCount("create"), 0);
  mail.SetMailDir(dir.path());
  platform::faults::Arm("create", 2, EROFS, /*sticky=*/true);  // after the lock's OWNER
  EXPECT_FALSE(mail.CreateMessageFile(path));
  EXPECT_EQ(platform::faults::CallCount("create"), 2);
  EXPECT_FALSE(std::filesystem::exists(MailFile("MSGNAMES.LCK")));
}

TEST_F(TMailTest, ADeepMailDirectoryStillWorks) {
  std::string deep = dir.path();
  for (int i = 0; i < 8; ++i) deep += "/a-rather-long-directory-name-" + std::to_string(i);
  ASSERT_EQ(platform::MakeDirectories(deep), 0);
  mail.SetMailDir(deep);
  std::string path;
  ASSERT_TRUE(mail.CreateMessageFile(path));
  ASSERT_GT(path.size(), kTextFileRoom);
  ASSERT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("deep", "ALICE", "d", path)), 0);
  MessageRecord record;
  ASSERT_EQ(mail.ReadMessage(0, record), 0);
  EXPECT_EQ(record.textFile, path);  // resolved in full, never cut
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

// --- the retries of an update --------------------------------------------

const std::string kLockedQuestion =
    "Cannot send mail to BOB.\r\rThe mailbox may have been locked by another user\ror write protected.\r\r"
    "Do you want to attempt to send the message again?";

TEST_F(TMailTest, AccessDeniedPausesAfterEachOfSixAttemptsThenAsks) {
  WriteFile(MailFile("BOB.LST"), "");
  platform::faults::Arm("create", 1, EACCES, /*sticky=*/true);
  EXPECT_EQ(mail.OpenMailbox("BOB", TMail::Mode::kUpdate), 5);
  EXPECT_EQ(platform::faults::CallCount("create"), 6);
  EXPECT_EQ(ui.pauses, std::vector<int>(6, 1000));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].kind, "ask");
  EXPECT_EQ(ui.shown[0].title, "KV Mailbox");
  EXPECT_EQ(ui.shown[0].text, kLockedQuestion);
}

TEST_F(TMailTest, YesStartsAnotherCycleOfSixAttempts) {
  WriteFile(MailFile("BOB.LST"), "");
  platform::faults::Arm("lock", 1, EAGAIN, /*sticky=*/true);
  ui.answers = {true, true, false};
  EXPECT_EQ(mail.OpenMailbox("BOB", TMail::Mode::kUpdate), 32);
  EXPECT_EQ(platform::faults::CallCount("lock"), 18);
  EXPECT_EQ(ui.CountOf("ask"), 3);
  EXPECT_TRUE(ui.pauses.empty());  // no pause after a sharing violation
}

TEST_F(TMailTest, TheMailboxIsFreeAgainOnTheSecondCycle) {
  WriteFile(MailFile("BOB.LST"), "");
  for (int n = 1; n <= 6; ++n) platform::faults::Arm("lock", n, EAGAIN);
  ui.answers = {true};
  EXPECT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("s", "A", "d", "00000001.MSG")), 0);
  EXPECT_EQ(ui.CountOf("ask"), 1);
  EXPECT_EQ(mail.CountMessages(), 1);
}

TEST_F(TMailTest, OtherFailuresAskWithTheirOwnText) {
  WriteFile(MailFile("BOB.LST"), "");
  platform::faults::Arm("create", 1, EIO, /*sticky=*/true);
  EXPECT_EQ(mail.OpenMailbox("BOB", TMail::Mode::kUpdate), 161);
  EXPECT_EQ(platform::faults::CallCount("create"), 1);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Cannot send mail to BOB.\r\rDevice read fault!\r\rDo you want to attempt to send the message again?");
}

TEST_F(TMailTest, AMissingDirectoryIsReturnedWithoutAQuestion) {
  mail.SetMailDir(dir.File("nowhere"));
  EXPECT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("s", "A", "d", "00000001.MSG")), 3);
  EXPECT_EQ(mail.MarkAsRead(0), 3);
  EXPECT_EQ(mail.CountMessages(), 0);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(TMailTest, ASecondTMailInTheSameProcessIsExcluded) {
  testing_support::ScriptedUi otherUi;
  TMail other(otherUi, clock);
  other.SetMailDir(dir.path());
  ASSERT_EQ(other.OpenMailbox("BOB", TMail::Mode::kUpdate), 0);
  EXPECT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("s", "A", "d", "00000001.MSG")), 32);
  EXPECT_EQ(ui.CountOf("ask"), 1);
  MessageRecord record;
  EXPECT_EQ(mail.ReadMessage(0, record), 32);  // a read does not retry
  EXPECT_EQ(ui.CountOf("ask"), 1);
  other.CloseMailbox();
  EXPECT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("s", "A", "d", "00000001.MSG")), 0);
}

// --- error texts -----------------------------------------------------------

TEST(IoErrorTextTest, TextsOfCodes) {
  EXPECT_EQ(IoErrorText(0), "");
  EXPECT_EQ(IoErrorText(2), "File not found!");
  EXPECT_EQ(IoErrorText(7), "Unknown Error #7");
  EXPECT_EQ(IoErrorText(101), "The disk is full!");
  EXPECT_EQ(IoErrorText(112), "The disk is full!");
  EXPECT_EQ(IoErrorText(10003), "Unknown Error #10003");
  EXPECT_EQ(IoErrorText(10004), "Unknown Error #10004");
  EXPECT_EQ(IoErrorText(10001),
            "Unable to create temporary file! Check\rdirectory settings under Preferences in\rthe Options menu.");
  EXPECT_EQ(IoErrorText(-1), "Unknown Error #-1");
}

TEST_F(TMailTest, ErrorsReachTheUserWithTheirTexts) {
  mail.ShowIoError(2);
  ui.ReportException(MailError::InOut(2));
  ui.ReportException(MailError::InOut(0));  // says nothing
  ui.ReportException(MailError::Other("Something broke."));
  try {
    throw std::bad_alloc();
  } catch (...) {
    ui.ReportException(MailError::FromCurrentException());
  }
  ui.ReportException(MailError::InvalidRelease());
  ASSERT_EQ(ui.shown.size(), 5u);
  for (const auto& s : ui.shown) {
    EXPECT_EQ(s.kind, "error");
    EXPECT_EQ(s.title, "KV Mailbox");
  }
  EXPECT_EQ(ui.shown[0].text, "File not found!");
  EXPECT_EQ(ui.shown[1].text, "File not found!");
  EXPECT_EQ(ui.shown[2].text, "Something broke.");
  EXPECT_EQ(ui.shown[3].text.rfind("There is not enough memory to complete\r", 0), 0u);
  EXPECT_EQ(ui.shown[4].text, "Unable to release allocated memory! Memory\rmay have been corrupted by another application.");
}

}  // namespace

namespace {

// A copy on a client that passes no byte-range lock on holds the mailbox
// only by its lock directory: updates wait for it as for a busy file, and
// reads and counts go on.  A lock its holder left behind on this host
// holds nothing up.
TEST_F(TMailTest, AMailboxLockDirectoryHeldElsewhereHoldsOffUpdatesOnly) {
  Deliver("first", "00000001.MSG");
  const RecordBytes record = EncodeMessageRecord("second", "ALICE", "d", MailFile("00000002.MSG"));
  {
    platform::LockDirectory other;
    ASSERT_EQ(other.Take(MailFile("BOB.LST.LCK")), 0);
    ui.answers = {false};
    EXPECT_EQ(mail.AppendMessage("BOB", record), platform::kSharingViolation);
    EXPECT_EQ(ui.CountOf("ask"), 1);
    EXPECT_NE(mail.DeleteMessage(0), 0);
    EXPECT_EQ(Subjects(), std::vector<std::string>{"first"});  // read all the same
  }
  EXPECT_EQ(mail.AppendMessage("BOB", record), 0);
  EXPECT_FALSE(std::filesystem::exists(MailFile("BOB.LST.LCK")));

  std::filesystem::create_directory(MailFile("BOB.LST.LCK"));
  char host[256] = {};
  gethostname(host, sizeof host - 1);
  WriteFile(MailFile("BOB.LST.LCK/OWNER"), std::string(host) + " 999999999 2026-12-11T10:00:00\n");
  ASSERT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_EQ(Subjects(), std::vector<std::string>{"second"});
  EXPECT_FALSE(std::filesystem::exists(MailFile("BOB.LST.LCK")));
}

}  // namespace
