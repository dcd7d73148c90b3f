#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "mailstore/Delivery.h"
#include "mailstore/UserRegistry.h"
#include "support/MailFixture.h"

namespace {

using namespace mailstore;
using testing_support::ReadFile;
using testing_support::WriteFile;

struct KeyCase {
  const char* name;
  const char* user;
  const char* key;
};

class MailboxKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(MailboxKeyTest, Derives) { EXPECT_EQ(MailboxKey(GetParam().user), GetParam().key); }

INSTANTIATE_TEST_SUITE_P(Cases, MailboxKeyTest,
                         ::testing::Values(KeyCase{"short", "BOB", "BOB"}, KeyCase{"blanks", "MARY ANN SMITH", "MARYANNS"},
                                           KeyCase{"trailingBlank", "AL ", "AL"},
                                           KeyCase{"sharedKeyA", "JOHN SMITHSON", "JOHNSMIT"},
                                           KeyCase{"sharedKeyB", "JOHNSMITHERS", "JOHNSMIT"},
                                           KeyCase{"caseKept", "Bob Lee", "BobLee"},
                                           KeyCase{"eight", "ABCDEFGH", "ABCDEFGH"},
                                           KeyCase{"nine", "ABCDEFGHI", "ABCDEFGH"},
                                           KeyCase{"otherCharactersKept", "O'HARA-J.", "O'HARA-J"}),
                         [](const auto& info) { return info.param.name; });

TEST(Passwords, ScrambleAsStored) {
  EXPECT_EQ(ScramblePassword("abc"), "\xC3\xC6\xC9");
  EXPECT_EQ(UnscramblePassword("\xC3\xC6\xC9"), "abc");
  const std::string twenty = "ABCDEFGHIJKLMNOPQRST";
  EXPECT_EQ(UnscramblePassword(ScramblePassword(twenty)), twenty);
  EXPECT_EQ(UnscramblePassword(ScramblePassword("\xC8")), "H");  // 200 comes back as 200 - 128
  EXPECT_EQ(ScramblePassword(""), "");
}

class RegistryTest : public testing_support::MailFixture {};

TEST_F(RegistryTest, WithoutMasterIniAnyNameIsKnown) {
  EXPECT_FALSE(HasUserRegistry(mail));
  EXPECT_TRUE(IsKnownUser(mail, "NOBODY AT ALL"));
  EXPECT_TRUE(ReadUserNames(mail).empty());
}

TEST_F(RegistryTest, TheMailDirectorysMasterIniWinsOverTheProgramsOwn) {
  WriteFile(programDir.File("MASTER.INI"), "[USERS]\r\nPROG=\r\n");
  EXPECT_EQ(MasterIniPath(mail), programDir.File("MASTER.INI"));
  EXPECT_TRUE(IsKnownUser(mail, "PROG"));
  EXPECT_FALSE(IsKnownUser(mail, "BOB"));

  WriteFile(dir.File("master.ini"), "[Users]\r\nBOB=\r\nAlice=x\r\n");  // spelt by another system
  EXPECT_EQ(MasterIniPath(mail), dir.File("master.ini"));
  EXPECT_FALSE(IsKnownUser(mail, "PROG"));
  EXPECT_EQ(ReadUserNames(mail), (std::vector<std::string>{"BOB", "Alice"}));
}

TEST_F(RegistryTest, AKeyIsKnownWhateverItsValueUnlessItIsTheSentinel) {
  WriteFile(dir.File("MASTER.INI"), "[USERS]\r\nBOB=\r\nALICE=1\r\nEVE=@#$!$%%@*&#\r\n");
  EXPECT_TRUE(IsKnownUser(mail, "BOB"));
  EXPECT_TRUE(IsKnownUser(mail, "bob"));
  EXPECT_TRUE(IsKnownUser(mail, "ALICE"));
  EXPECT_FALSE(IsKnownUser(mail, "EVE"));
  EXPECT_FALSE(IsKnownUser(mail, "MALLORY"));
}

TEST_F(RegistryTest, AMasterIniThatCannotBeReadKnowsNoOne) {
  std::filesystem::create_directory(dir.File("MASTER.INI"));  // exists, but no file can be read there
  EXPECT_TRUE(HasUserRegistry(mail));
  EXPECT_FALSE(IsKnownUser(mail, "BOB"));
  EXPECT_TRUE(ReadUserNames(mail).empty());
}

TEST_F(RegistryTest, MailboxNamesComeFromTheListFiles) {
  int code = -1;
  EXPECT_TRUE(ListMailboxNames(mail, code).empty());
  EXPECT_EQ(code, 2);
  WriteFile(dir.File("BOB.LST"), "");
  WriteFile(dir.File("alice.lst"), "");
  WriteFile(dir.File("0001ABCD.MSG"), "");
  auto names = ListMailboxNames(mail, code);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(code, 0);
  EXPECT_EQ(names, (std::vector<std::string>{"BOB", "alice"}));
  mail.SetMailDir(dir.File("nowhere"));
  ListMailboxNames(mail, code);
  EXPECT_EQ(code, 3);
}

TEST_F(RegistryTest, PasswordsAreStoredScrambledUnderTheCurrentUser) {
  EXPECT_EQ(ReadUserPassword(mail, "BOB"), "");
  ASSERT_EQ(WriteUserPassword(mail, "SECRET"), 0);
  EXPECT_EQ(ReadFile(dir.File("MAILBOX.INI")), "[USERS]\r\nBOB=" + ScramblePassword("SECRET") + "\r\n");
  EXPECT_EQ(ReadUserPassword(mail, "BOB"), "SECRET");
  EXPECT_EQ(ReadUserPassword(mail, "ALICE"), "");

  ASSERT_EQ(WriteUserPassword(mail, ""), 0);  // no password any more; the key stays
  EXPECT_EQ(ReadFile(dir.File("MAILBOX.INI")), "[USERS]\r\nBOB=\r\n");
  EXPECT_EQ(ReadUserPassword(mail, "BOB"), "");
}

TEST_F(RegistryTest, MailboxIniIsFoundWhateverItsCase) {
  WriteFile(dir.File("mailbox.ini"), "[users]\r\nbob=" + ScramblePassword("PW") + "\r\n");
  EXPECT_EQ(ReadUserPassword(mail, "BOB"), "PW");
  ASSERT_EQ(WriteUserPassword(mail, "NEW"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.File("MAILBOX.INI")));
  EXPECT_EQ(ReadUserPassword(mail, "BOB"), "NEW");
}

}  // namespace

namespace {

// A reply goes to the user whose mailbox key the record carries, by the
// name the registry knows (quoted when it holds a blank), so that the To
// box's check finds the user; a key no user has stays as it is.
TEST_F(RegistryTest, AReplyGoesToTheUserTheSendersKeyBelongsTo) {
  testing_support::WriteFile(MailFile("MASTER.INI"),
                             "[USERS]\r\nALICE=\r\nMARY ANN SMITH=\r\nJOHNATHANSON=\r\nBOB=\r\n");
  const std::pair<const char*, const char*> cases[] = {
      {"ALICE", "ALICE"},
      {"MARYANNS", "\"MARY ANN SMITH\""},
      {"JOHNATHA", "JOHNATHANSON"},
      {"bob", "BOB"},
      {"EVE", "EVE"},
  };
  for (const auto& [key, address] : cases) EXPECT_EQ(ReplyAddress(mail, key), address) << key;
  // The address goes through the To box whole, and to the right mailbox.
  EXPECT_EQ(SplitRecipients(ReplyAddress(mail, "MARYANNS")), std::vector<std::string>{"MARY ANN SMITH"});
  EXPECT_EQ(MailboxKey("MARY ANN SMITH"), "MARYANNS");
}

}  // namespace
