// Copies of the program in real processes sharing one Mail Directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <memory>

#include "mailstore/Inbox.h"
#include "mailstore/UserRegistry.h"
#include "support/MailFixture.h"
#include "support/Subprocess.h"

namespace {

using namespace mailstore;
using testing_support::ReadFile;
using testing_support::Subprocess;
using testing_support::WaitForFile;
using testing_support::WriteFile;

class MailboxProcesses : public testing_support::MailFixture {
 protected:
  std::unique_ptr<Subprocess> Helper(std::vector<std::string> args, std::vector<std::string> env = {}) {
    args.insert(args.begin() + 1, dir.path());
    return std::make_unique<Subprocess>(KVMAIL_MAILBOX_HELPER, args, env);
  }

  // Every record of BOB's mailbox, checked whole: its subject by count.
  std::map<std::string, int> SubjectCounts() {
    std::map<std::string, int> counts;
    const std::string bytes = ReadFile(MailFile("BOB.LST"));
    EXPECT_EQ(bytes.size() % kRecordSize, 0u);
    for (size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
      const MessageRecord record = DecodeMessageRecord(reinterpret_cast<const unsigned char*>(bytes.data() + at));
      EXPECT_EQ(record.date, "12/7/2026 2:15p") << "torn record at " << at;
      ++counts[record.subject];
    }
    return counts;
  }
};

TEST_F(MailboxProcesses, AnUpdateMeetsAnotherCopysLock) {
  const std::string ready = dir.File("ready");
  auto holder = Helper({"hold", "BOB", "4000", ready});
  ASSERT_TRUE(WaitForFile(ready));

  ui.answers = {true, false};
  const RecordBytes record = EncodeMessageRecord("s", "ALICE", "d", "00000001.MSG");
  EXPECT_EQ(mail.AppendMessage("BOB", record), 32);
  EXPECT_EQ(platform::faults::CallCount("lock"), 12);  // two cycles of six attempts
  EXPECT_EQ(ui.CountOf("ask"), 2);
  EXPECT_TRUE(ui.pauses.empty());
  MessageRecord read;
  EXPECT_EQ(mail.ReadMessage(0, read), 32);  // a reader is held off too, without a question
  EXPECT_EQ(mail.CountMessages(), 0);        // counting never opens the file

  EXPECT_EQ(holder->Wait(), 0);
  EXPECT_EQ(mail.AppendMessage("BOB", record), 0);
  EXPECT_EQ(mail.CountMessages(), 1);
}

TEST_F(MailboxProcesses, ConcurrentAppendsLoseAndTearNothing) {
  constexpr int kSenders = 4, kEach = 40;
  std::vector<std::unique_ptr<Subprocess>> senders;
  for (int s = 0; s < kSenders; ++s) senders.push_back(Helper({"append", "BOB", std::to_string(kEach), "S" + std::to_string(s)}));
  for (auto& sender : senders) EXPECT_EQ(sender->Wait(), 0);

  const auto counts = SubjectCounts();
  EXPECT_EQ(counts.size(), static_cast<size_t>(kSenders * kEach));
  for (int s = 0; s < kSenders; ++s)
    for (int i = 0; i < kEach; ++i) EXPECT_EQ(counts.count("S" + std::to_string(s) + "-" + std::to_string(i)), 1u);
  // Every record has its own text file.
  int messages = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    messages += IsMessageFileName(entry.path().filename().string());
  EXPECT_EQ(messages, kSenders * kEach);
}

TEST_F(MailboxProcesses, DeletingWhileOthersAppendLosesNoneOfTheirRecords) {
  constexpr int kOld = 60, kDeleted = 40, kSenders = 3, kEach = 30;
  for (int i = 0; i < kOld; ++i) {
    const std::string name = "0000" + std::to_string(1000 + i) + ".MSG";
    WriteFile(MailFile(name), "old\r\n");
    ASSERT_EQ(mail.AppendMessage("BOB", EncodeMessageRecord("old-" + std::to_string(i), "A", "12/7/2026 2:15p",
                                                            MailFile(name))), 0);
  }
  ui.answers = std::deque<bool>(100000, true);
  std::vector<std::unique_ptr<Subprocess>> senders;
  for (int s = 0; s < kSenders; ++s) senders.push_back(Helper({"append", "BOB", std::to_string(kEach), "S" + std::to_string(s)}));
  for (int d = 0; d < kDeleted; ++d) ASSERT_EQ(mail.DeleteMessage(0), 0);
  for (auto& sender : senders) EXPECT_EQ(sender->Wait(), 0);

  const auto counts = SubjectCounts();
  EXPECT_EQ(counts.size(), static_cast<size_t>(kOld - kDeleted + kSenders * kEach));
  for (int i = 0; i < kOld; ++i) EXPECT_EQ(counts.count("old-" + std::to_string(i)), i < kDeleted ? 0u : 1u);
  for (int s = 0; s < kSenders; ++s)
    for (int i = 0; i < kEach; ++i) EXPECT_EQ(counts.count("S" + std::to_string(s) + "-" + std::to_string(i)), 1u);
}

TEST_F(MailboxProcesses, TheOwnerReadsAndDeletesWhileOthersSend) {
  constexpr int kSenders = 3, kEach = 40;
  ui.answers = std::deque<bool>(100000, true);
  InboxLines view;
  InboxScanner scanner(mail, view);
  scanner.settings.notify = false;
  std::vector<std::unique_ptr<Subprocess>> senders;
  for (int s = 0; s < kSenders; ++s) senders.push_back(Helper({"append", "BOB", std::to_string(kEach), "S" + std::to_string(s)}));

  // The owner's copy at work meanwhile: scan, open the first message, mark
  // it read, delete every other one it opened.
  std::set<std::string> deleted;
  for (int round = 0; round < 60; ++round) {
    scanner.RequestRebuild();
    scanner.ScanMailbox();
    if (view.lines.empty()) continue;
    MessageRecord record;
    if (mail.ReadMessage(0, record) != 0) continue;
    EXPECT_EQ(record.textFileCode, 0) << record.subject;
    EXPECT_EQ(mail.MarkAsRead(0), 0);
    if (round % 2 == 0 && mail.DeleteMessage(0) == 0) deleted.insert(record.subject);
  }
  for (auto& sender : senders) EXPECT_EQ(sender->Wait(), 0);

  scanner.RequestRebuild();
  scanner.ScanMailbox();
  std::vector<MessageRecord> records;
  ASSERT_EQ(mail.ReadMessages(0, records), 0);
  EXPECT_EQ(view.lines.size(), records.size());
  std::set<std::string> listed, files;
  for (const MessageRecord& record : records) {
    EXPECT_EQ(record.textFileCode, 0) << record.subject;
    EXPECT_TRUE(listed.insert(record.subject).second) << "listed twice: " << record.subject;
    files.insert(std::filesystem::path(record.textFile).filename().string());
  }
  for (int s = 0; s < kSenders; ++s)
    for (int i = 0; i < kEach; ++i) {
      const std::string subject = "S" + std::to_string(s) + "-" + std::to_string(i);
      EXPECT_EQ(listed.count(subject) + deleted.count(subject), 1u) << subject;
    }
  // No text file is left without its record.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    const std::string name = entry.path().filename().string();
    if (IsMessageFileName(name)) {
      EXPECT_EQ(files.count(name), 1u) << name;
    }
  }
}

TEST_F(MailboxProcesses, TheEnvironmentArmsFaultsInAnotherProcess) {
  // Its writes: the names lock's OWNER, the text, the mailbox lock's OWNER,
  // the record.
  auto sender = Helper({"append", "BOB", "1", "S"}, {"KVMAIL_FAULTS=write:4:ENOSPC"});
  EXPECT_EQ(sender->Wait(), 1);
  EXPECT_EQ(std::filesystem::file_size(MailFile("BOB.LST")), 0u);
  auto healthy = Helper({"append", "BOB", "1", "S"});
  EXPECT_EQ(healthy->Wait(), 0);
  EXPECT_EQ(mail.CountMessages(), 1);
}

}  // namespace
