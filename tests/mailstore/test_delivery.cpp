#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "mailstore/Delivery.h"
#include "mailstore/IoErrorText.h"
#include "mailstore/MessageText.h"
#include "mailstore/UserRegistry.h"
#include "platform/Files.h"
#include "support/MailFixture.h"

namespace {

using namespace mailstore;
using testing_support::ReadFile;
using testing_support::WriteFile;

struct SplitCase {
  const char* name;
  std::string toBox;
  std::vector<std::string> names;
};

class SplitRecipientsTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitRecipientsTest, Splits) { EXPECT_EQ(SplitRecipients(GetParam().toBox), GetParam().names); }

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitRecipientsTest,
    ::testing::Values(SplitCase{"blanks", "BOB ALICE", {"BOB", "ALICE"}},
                      SplitCase{"commasAndRuns", " BOB,, ALICE ,", {"BOB", "ALICE"}},
                      SplitCase{"quotedName", "\"MARY ANN SMITH\" BOB", {"MARY ANN SMITH", "BOB"}},
                      SplitCase{"commaInsideQuotes", "\"SMITH, MARY\"", {"SMITH, MARY"}},
                      SplitCase{"openingQuoteContinuesAName", "AB\"C D\"E", {"ABC D", "E"}},
                      SplitCase{"unterminatedQuote", "BOB \"MARY ANN", {"BOB", "MARY ANN"}},
                      SplitCase{"emptyQuotes", "\"\" BOB", {"BOB"}},
                      SplitCase{"onlySeparators", " , ,", {}},
                      SplitCase{"twice", "BOB BOB", {"BOB", "BOB"}},
                      SplitCase{"caseKept", "bob", {"bob"}},
                      SplitCase{"longNameCut", std::string(300, 'x'), {std::string(255, 'x')}},
                      SplitCase{"quotedBetweenCommas", "john,\"mary ann\" ,bob", {"john", "mary ann", "bob"}},
                      SplitCase{"quotedThenName", "\"mary ann\"bob", {"mary ann", "bob"}},
                      SplitCase{"nameThenQuoted", "ann\"bob\"", {"annbob"}}),
    [](const auto& info) { return info.param.name; });

class DeliveryTest : public testing_support::MailFixture {
 protected:
  DeliveryTest() {
    mail.SetUserName("ALICE");
    request.subject = "Lunch";
    request.lines = {"Dear Bob,", "see you at noon."};
  }
  void Registry(const std::string& users) { WriteFile(MailFile("MASTER.INI"), "[USERS]\r\n" + users); }
  bool Send(const std::string& toBox) { return SendMessage(delivery, toBox); }

  // The records of a mailbox, read as its owner would.
  std::vector<MessageRecord> Mailbox(const std::string& user) {
    testing_support::ScriptedUi ownerUi;
    TMail owner(ownerUi, clock);
    owner.SetMailDir(dir.path());
    owner.SetUserName(user);
    std::vector<MessageRecord> records;
    owner.ReadMessages(0, records);
    return records;
  }
  int MessageFiles() {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      n += IsMessageFileName(entry.path().filename().string());
    return n;
  }

  SendRequest request;
  Delivery delivery{mail, request};
};

TEST_F(DeliveryTest, ACopyIsATextFileAndARecord) {
  Registry("ALICE=\r\nBOB=\r\n");
  ASSERT_TRUE(Send("BOB"));
  const auto records = Mailbox("BOB");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].subject, "Lunch");
  EXPECT_EQ(records[0].sender, "ALICE");
  EXPECT_EQ(records[0].date, "12/7/2026 2:15p");
  EXPECT_EQ(ReadFile(records[0].textFile), "Dear Bob,\r\nsee you at noon.\r\n");
  EXPECT_EQ(ui.pauses, std::vector<int>{500});
  EXPECT_EQ(ui.sending, (std::vector<std::string>{"", "BOB", "<hidden>"}));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DeliveryTest, ScrambledCopiesDifferAndNameTheirRecipient) {
  Registry("ALICE=\r\nBOB=\r\nCAROL=\r\n");
  request.scramble = true;
  clock.utcStep = 0;  // both copies written within one millisecond
  ASSERT_TRUE(Send("BOB CAROL"));
  const auto bob = Mailbox("BOB"), carol = Mailbox("CAROL");
  ASSERT_EQ(bob.size(), 1u);
  ASSERT_EQ(carol.size(), 1u);
  const std::string bobText = ReadFile(bob[0].textFile), carolText = ReadFile(carol[0].textFile);
  EXPECT_NE(ReadScrambleHeader(bob[0].textFile).seed, ReadScrambleHeader(carol[0].textFile).seed);
  EXPECT_NE(bobText.find("\r\nBOB\r\n"), std::string::npos);
  EXPECT_NE(carolText.find("\r\nCAROL\r\n"), std::string::npos);
  EXPECT_EQ(PlainMessageText(bobText), "Dear Bob,\r\nsee you at noon.\r\n");
  EXPECT_EQ(PlainMessageText(carolText), "Dear Bob,\r\nsee you at noon.\r\n");
}

TEST_F(DeliveryTest, AnUnknownRecipientIsSkippedAndTheOthersServed) {
  Registry("ALICE=\r\nBOB=\r\n");
  EXPECT_TRUE(Send("EVE BOB"));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].kind, "alert");
  EXPECT_EQ(ui.shown[0].title, "Send Mail");
  EXPECT_EQ(ui.shown[0].text, "\"EVE\" is NOT in my list of users! You\rcannot send mail to \"EVE\".");
  EXPECT_EQ(Mailbox("BOB").size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(MailFile("EVE.LST")));
}

TEST_F(DeliveryTest, WithoutARegistryAnUnknownMailboxIsAskedFor) {
  WriteFile(MailFile("BOB.LST"), "");
  ui.answers = {false, true};
  EXPECT_TRUE(Send("BOB EVE DAVE"));
  ASSERT_EQ(ui.CountOf("ask"), 2);
  EXPECT_EQ(ui.shown[0].title, "Send Mail");
  EXPECT_EQ(ui.shown[0].text, "\"EVE\" is NOT in my list of users!\rDo you want to send mail anyway?");
  EXPECT_EQ(Mailbox("BOB").size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(MailFile("EVE.LST")));
  EXPECT_EQ(Mailbox("DAVE").size(), 1u);
}

TEST_F(DeliveryTest, NamesSharingAKeyAndNamesGivenTwiceEachGetACopy) {
  Registry("ALICE=\r\nJOHN SMITHSON=\r\nJOHNSMITHERS=\r\n");
  EXPECT_TRUE(Send("\"JOHN SMITHSON\" JOHNSMITHERS JOHNSMITHERS"));
  EXPECT_EQ(Mailbox("JOHNSMIT").size(), 3u);
  EXPECT_EQ(MessageFiles(), 3);
}

TEST_F(DeliveryTest, SendingToAllWithARegistryIncludesTheSender) {
  Registry("BOB=\r\nALICE=\r\nCAROL=\r\n");
  request.sendToAll = true;
  EXPECT_TRUE(Send(""));
  for (const char* user : {"BOB", "ALICE", "CAROL"}) EXPECT_EQ(Mailbox(user).size(), 1u) << user;
  EXPECT_EQ(ui.sending, (std::vector<std::string>{"", "BOB", "ALICE", "CAROL", "<hidden>"}));
}

TEST_F(DeliveryTest, SendingToAllWithAnEmptyRegistrySendsAndSaysNothing) {
  for (const std::string& file : {std::string("[USERS]\r\n"), std::string("[OTHER]\r\nBOB=\r\n")}) {
    WriteFile(MailFile("MASTER.INI"), file);
    request.sendToAll = true;
    EXPECT_FALSE(Send(""));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(MessageFiles(), 0);
  }
}

TEST_F(DeliveryTest, SendingToAllWithoutARegistryWalksTheMailboxesButTheSenders) {
  for (const char* file : {"BOB.LST", "ALICE.LST", "CAROL.LST"}) WriteFile(MailFile(file), "");
  request.sendToAll = true;
  EXPECT_TRUE(Send(""));
  EXPECT_EQ(Mailbox("BOB").size(), 1u);
  EXPECT_EQ(Mailbox("CAROL").size(), 1u);
  EXPECT_EQ(std::filesystem::file_size(MailFile("ALICE.LST")), 0u);

  // The sender's own mailbox is recognised by its exact spelling only.
  std::filesystem::rename(MailFile("ALICE.LST"), MailFile("alice.lst"));
  EXPECT_TRUE(Send(""));
  EXPECT_EQ(std::filesystem::file_size(MailFile("alice.lst")), kRecordSize);
}

TEST_F(DeliveryTest, AnEmptyToBoxBeepsAndSendsNothing) {
  EXPECT_FALSE(Send(""));
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_FALSE(delivery.continueFlag);
  EXPECT_FALSE(Send(" , "));  // only separators: nothing sent, no beep
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DeliveryTest, AFileThatCannotBeCreatedStopsTheSend) {
  Registry("ALICE=\r\nBOB=\r\nCAROL=\r\n");
  platform::faults::Arm("create", 1, EROFS, /*sticky=*/true);
  EXPECT_FALSE(Send("BOB CAROL"));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Unable to create file in " + dir.path() + "!\r\rMail to BOB was not sent.");
  EXPECT_FALSE(delivery.sentFlag);
}

TEST_F(DeliveryTest, AFailedWriteOrAppendLeavesNoTextFileBehind) {
  Registry("ALICE=\r\nBOB=\r\nCAROL=\r\n");
  platform::faults::Arm("write", 2, ENOSPC);  // the text's write, after the names lock's OWNER
  EXPECT_FALSE(Send("BOB CAROL"));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "The disk is full!\r\rMail to BOB was not sent.");
  EXPECT_EQ(MessageFiles(), 0);
  EXPECT_TRUE(Mailbox("BOB").empty());
  EXPECT_TRUE(Mailbox("CAROL").empty());  // the send stopped at the first failure

  testing_support::ScriptedUi holderUi;
  TMail holder(holderUi, clock);
  holder.SetMailDir(dir.path());
  ASSERT_EQ(holder.OpenMailbox("BOB", TMail::Mode::kUpdate), 0);
  ui.shown.clear();
  EXPECT_FALSE(Send("BOB"));
  EXPECT_EQ(ui.shown.back().text, "File is currently being used by the system.\r\rMail to BOB was not sent.");
  EXPECT_EQ(MessageFiles(), 0);
}

TEST_F(DeliveryTest, ATextFileIsSentUnchanged) {
  Registry("ALICE=\r\nBOB=\r\n");
  const std::string source = programDir.File("report.txt");
  WriteFile(source, std::string("line\n\0binary\xFF", 13));
  ASSERT_EQ(platform::SetReadOnly(source, true), 0);
  request.source = SendRequest::Source::kTextFile;
  request.textFile = source;
  request.scramble = true;  // applies to editor text only
  ASSERT_TRUE(Send("BOB"));
  const auto records = Mailbox("BOB");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(ReadFile(records[0].textFile), ReadFile(source));
  platform::FileInfo copy, original;
  ASSERT_EQ(platform::StatFile(records[0].textFile, copy), 0);
  ASSERT_EQ(platform::StatFile(source, original), 0);
  EXPECT_TRUE(copy.readOnly);
  EXPECT_EQ(copy.modifiedNs, original.modifiedNs);

  request.textFile = programDir.File("missing.txt");
  EXPECT_FALSE(Send("BOB"));
  EXPECT_EQ(ui.shown.back().text, "File not found!\r\rMail to BOB was not sent.");
  EXPECT_EQ(MessageFiles(), 1);
}

TEST_F(DeliveryTest, CopyFileExactRefusesItselfAndMissingFiles) {
  const std::string source = MailFile("a.txt");
  WriteFile(source, "abc");
  EXPECT_EQ(CopyFileExact(source, source), kCopyOntoItself);
  EXPECT_EQ(ReadFile(source), "abc");
  EXPECT_EQ(CopyFileExact(MailFile("none.txt"), MailFile("b.txt")), 2);
  EXPECT_FALSE(std::filesystem::exists(MailFile("b.txt")));
  WriteFile(MailFile("empty.txt"), "");
  EXPECT_EQ(CopyFileExact(MailFile("empty.txt"), MailFile("b.txt")), 0);
  EXPECT_EQ(ReadFile(MailFile("b.txt")), "");
  platform::faults::Arm("write", 1, ENOSPC);
  EXPECT_EQ(CopyFileExact(source, MailFile("c.txt")), 101);
  EXPECT_FALSE(std::filesystem::exists(MailFile("c.txt")));
}

}  // namespace
