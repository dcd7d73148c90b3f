// The mail store on a real share: links where files should be, looks that
// fail, names in other letters and other encodings, several accounts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "mailstore/Delivery.h"
#include "mailstore/Inbox.h"
#include "mailstore/IoErrorText.h"
#include "mailstore/MessageText.h"
#include "mailstore/UserRegistry.h"
#include "platform/ErrorCode.h"
#include "platform/FaultInjection.h"
#include "platform/Files.h"
#include "support/MailFixture.h"

namespace {

using namespace mailstore;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;
namespace fs = std::filesystem;

class SharedDirectoryTest : public testing_support::MailFixture {
 protected:
  SharedDirectoryTest() {
    scanner.settings.notify = false;
    WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
  }

  // A message from ALICE to `to`, delivered as any copy delivers it.
  void Send(const std::string& to, const std::string& subject, std::vector<std::string> lines = {"text"},
            bool scramble = false) {
    TMail sender(ui, clock);
    sender.SetMailDir(mail.MailDir());
    sender.SetUserName("ALICE");
    SendRequest request;
    request.subject = subject;
    request.lines = std::move(lines);
    request.scramble = scramble;
    request.pauseAfterCopyMs = 0;
    Delivery delivery(sender, request);
    SendMessage(delivery, to);
  }
  std::string TextOf(int index) {
    MessageRecord record;
    EXPECT_EQ(mail.ReadMessage(index, record), 0);
    return record.textFile;
  }

  TempDir outside;
  InboxLines view;
  InboxScanner scanner{mail, view};
};

TEST_F(SharedDirectoryTest, AMailboxThatIsALinkIsNeitherReadNorEmptiedNorAppendedTo) {
  // A file outside the Mail Directory that happens to hold record-sized junk.
  const std::string target = outside.File("precious.dat");
  WriteFile(target, std::string(kRecordSize * 2, 'x'));
  fs::create_symlink(target, MailFile("BOB.LST"));

  EXPECT_EQ(mail.CountMessages(), 0);
  scanner.RequestRebuild();
  scanner.ScanMailbox();
  EXPECT_TRUE(view.lines.empty());
  EXPECT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("s", "ALICE", "d", MailFile("00000001.MSG"))),
            platform::kNotARegularFile);
  EXPECT_EQ(mail.DeleteMessage(0), platform::kNotARegularFile);
  EXPECT_EQ(ReadFile(target), std::string(kRecordSize * 2, 'x'));
  EXPECT_TRUE(fs::is_symlink(MailFile("BOB.LST")));
  // A folder in its place is refused the same way.
  fs::remove(MailFile("BOB.LST"));
  fs::create_directory(MailFile("BOB.LST"));
  EXPECT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("s", "ALICE", "d", MailFile("00000001.MSG"))),
            platform::kNotARegularFile);
}

TEST_F(SharedDirectoryTest, AMessageTextThatIsALinkIsNeverReadAndOnlyTheLinkIsDeleted) {
  Send("BOB", "linked");
  const std::string text = TextOf(0);
  const std::string target = outside.File("secret.txt");
  WriteFile(target, "not for the mail program\r\n");
  fs::remove(text);
  fs::create_symlink(target, text);

  std::string bytes;
  EXPECT_EQ(platform::ReadWholeFile(text, bytes, SIZE_MAX, platform::Links::kRefuse), platform::kNotARegularFile);
  EXPECT_FALSE(ReadScrambleHeader(text).scrambled);
  EXPECT_EQ(platform::SetReadOnly(text, true, platform::Links::kRefuse), platform::kNotARegularFile);
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IWUSR, 0u);  // the target's mode is untouched

  EXPECT_EQ(mail.DeleteMessage(0), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(text)));
  EXPECT_EQ(ReadFile(target), "not for the mail program\r\n");
}

TEST_F(SharedDirectoryTest, OnlyAMissingTextMakesARecordDangling) {
  Send("BOB", "one");
  Send("BOB", "two");
  // The share hiccups on the second text: the record and its text stay, and
  // the user is told once however often the scan looks.
  for (int err : {EIO, ESTALE, EACCES}) {
    platform::faults::Clear();
    scanner.RequestRebuild();
    scanner.ScanMailbox();
    ASSERT_EQ(scanner.LastProblem(), 0);
    ui.shown.clear();
    for (int look = 0; look < 2; ++look) {
      platform::faults::Clear();
      scanner.RequestRebuild();
      // The directory cannot be listed either, so each text is looked at by
      // itself: the stats of the scan are the mailbox's name, its name again
      // and the open file when it is read, then each text.
      platform::faults::Arm("opendir", 1, EIO, /*sticky=*/true);
      platform::faults::Arm("stat", 5, err);
      scanner.ScanMailbox();
    }
    platform::faults::Clear();
    EXPECT_EQ(mail.CountMessages(), 2) << err;
    EXPECT_TRUE(fs::exists(TextOf(1))) << err;
    EXPECT_EQ(view.lines.size(), 2u) << err;
    ASSERT_EQ(ui.CountOf("error"), 1) << err;
    EXPECT_EQ(ui.shown[0].text.rfind(kNotFullyReadText, 0), 0u) << err;
  }
  scanner.RequestRebuild();
  scanner.ScanMailbox();
  EXPECT_EQ(scanner.LastProblem(), 0);
  // Gone for real: now it is dangling.
  fs::remove(TextOf(1));
  scanner.RequestRebuild();
  scanner.ScanMailbox();
  EXPECT_EQ(mail.CountMessages(), 1);
}

TEST_F(SharedDirectoryTest, AMessageNameTakenInOtherLettersIsTaken) {
  std::string first;
  ASSERT_TRUE(mail.CreateMessageFile(first));
  fs::remove(first);
  const std::string name = fs::path(first).filename().string();
  std::string lower = name;
  for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  WriteFile(MailFile(lower), "another copy's private message\r\n");

  mail.SetMailDir(dir.path());  // starts again from the first name
  std::string path;
  ASSERT_TRUE(mail.CreateMessageFile(path));
  EXPECT_NE(fs::path(path).filename().string(), name);
  EXPECT_EQ(ReadFile(MailFile(lower)), "another copy's private message\r\n");
}

TEST_F(SharedDirectoryTest, AReservationWhoseCloseFailsLeavesNoText) {
  platform::faults::Arm("close", 2, EIO);  // the first closes the names lock's OWNER
  std::string path;
  EXPECT_FALSE(mail.CreateMessageFile(path));
  platform::faults::Clear();
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_FALSE(IsMessageFileName(entry.path().filename().string())) << entry.path();
  EXPECT_FALSE(fs::exists(MailFile("MSGNAMES.LCK")));
}

TEST_F(SharedDirectoryTest, ANameWithAPathInItHasNoMailbox) {
  fs::remove(MailFile("MASTER.INI"));  // without a registry every other name would be asked about
  for (const char* name : {"../X", "A/B", "C:\\D", "..\\E"}) {
    EXPECT_FALSE(IsMailboxUserName(name)) << name;
    EXPECT_EQ(mail.MailboxPath(MailboxKey(name)), "") << name;
    ui.shown.clear();
    Send(name, "escape");
    EXPECT_EQ(ui.CountOf("alert"), 1) << name;
    EXPECT_EQ(ui.CountOf("ask"), 0) << name;
  }
  EXPECT_FALSE(fs::exists(fs::path(dir.path()).parent_path() / "X.LST"));
  for (const auto& entry : fs::directory_iterator(dir.path()))
    EXPECT_NE(entry.path().extension(), ".MSG") << "no text was left behind";
  EXPECT_TRUE(IsMailboxUserName("MARY ANN"));
}

TEST_F(SharedDirectoryTest, NewFilesAreSharedWithTheGroupWhateverTheUmask) {
  const mode_t old = umask(077);
  Send("BOB", "for the group");
  mail.SetUserName("BOB");
  EXPECT_EQ(WriteUserPassword(mail, "SECRET"), 0);
  umask(old);
  for (const std::string& path : {MailFile("BOB.LST"), TextOf(0), MailFile("MAILBOX.INI")}) {
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0) << path;
    EXPECT_EQ(st.st_mode & 0777, 0660u) << path;
  }
}

TEST_F(SharedDirectoryTest, NamesOutsideAsciiAreTheSameFilesForEveryCopy) {
  // A Windows copy wrote JOSÉ's mailbox; the share shows its name in UTF-8.
  WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nALICE=\r\nJOS\xC9=\r\n");
  Send("JOS\xC9", "hola");
  EXPECT_TRUE(fs::exists(MailFile("JOS\xC3\x89.LST")));
  mail.SetUserName("JOS\xC9");
  EXPECT_EQ(mail.CountMessages(), 1);
  int code = 0;
  const std::vector<std::string> names = ListMailboxNames(mail, code);
  EXPECT_EQ(names, std::vector<std::string>{"JOS\xC9"});
  // In other letters, as another system may have written it.
  fs::rename(MailFile("JOS\xC3\x89.LST"), MailFile("jos\xC3\xA9.lst"));
  EXPECT_EQ(mail.CountMessages(), 1);
}

TEST_F(SharedDirectoryTest, ScrambledLinesNeverHoldAZeroByte) {
  Send("BOB", "zero", {std::string("a\0b", 3)}, /*scramble=*/true);
  const std::string bytes = ReadFile(TextOf(0));
  EXPECT_EQ(bytes.find('\0'), std::string::npos);
  EXPECT_EQ(PlainMessageText(bytes), "a b\r\n");
}

TEST_F(SharedDirectoryTest, TheTextFileFieldHoldsTheFullPathOfARelativeMailDirectory) {
  const fs::path before = fs::current_path();
  fs::current_path(fs::path(dir.path()).parent_path());
  mail.SetMailDir(fs::path(dir.path()).filename().string());
  Send("BOB", "relative");
  MessageRecord record;
  ASSERT_EQ(mail.ReadMessage(0, record), 0);
  fs::current_path(before);
  RecordBytes bytes{};
  {
    std::string raw = ReadFile(MailFile("BOB.LST"));
    std::copy_n(raw.begin(), kRecordSize, bytes.begin());
  }
  const std::string field = DecodeMessageRecord(bytes).textFile;
  EXPECT_EQ(field.front(), '\\') << field;  // "/" written as "\": an absolute path
}

}  // namespace
