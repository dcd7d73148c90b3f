#include <gtest/gtest.h>

#include "mailstore/UserRegistry.h"
#include "shell/Login.h"
#include "shell/MailSession.h"
#include "support/MailFixture.h"
#include "tests/shell/MemorySettings.h"
#include "tests/shell/ScriptedForm.h"

namespace {

using namespace shell;
using testing_support::ScriptedForm;
using testing_support::WriteFile;

struct CommandLineCase {
  const char* name;
  std::vector<std::string> arguments;
  std::string user;
  bool a, e, p, u;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, Reads) {
  const CommandLineCase& c = GetParam();
  const CommandLine line = ReadCommandLine(c.arguments);
  EXPECT_EQ(line.userName, c.user);
  EXPECT_EQ(line.askForName, c.a);
  EXPECT_EQ(line.noEncryption, c.e);
  EXPECT_EQ(line.hidePreferences, c.p);
  EXPECT_EQ(line.showChangeUser, c.u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(CommandLineCase{"nothing", {}, "", false, false, false, false},
                      CommandLineCase{"slashLowerA", {"/a"}, "", true, false, false, false},
                      CommandLineCase{"switches", {"-E", "-P", "/u"}, "", false, true, true, true},
                      CommandLineCase{"unknownSwitchIgnored", {"-x"}, "", false, false, false, false},
                      CommandLineCase{"singleLetterIsAName", {"x"}, "X", false, false, false, false},
                      CommandLineCase{"singleDashIsAName", {"-"}, "-", false, false, false, false},
                      CommandLineCase{"laterNameWins", {"bob", "-A", "alice"}, "ALICE", true, false, false, false},
                      CommandLineCase{"longNameCut", {"abcdefghijklmnopq"}, "ABCDEFGHIJKLMNO", false, false, false, false},
                      CommandLineCase{"switchRestIgnored", {"-Everything"}, "", false, true, false, false},
                      CommandLineCase{"accentedName", {"ren\xE9"}, "REN\xC9", false, false, false, false}),
    [](const auto& info) { return info.param.name; });

class LoginTest : public testing_support::MailFixture {
 protected:
  LoginTest() {
    WriteFile(MailFile("MASTER.INI"), "[USERS]\r\nBOB=\r\nALICE=\r\nABCDEFGHIJKLMNO=\r\n");
    WriteFile(MailFile("MAILBOX.INI"), "[USERS]\r\nALICE=" + mailstore::ScramblePassword("SECRET") + "\r\n");
    session.SetMailDir(dir.path());
  }
  // The start-up's login, through the session as the program runs it.
  bool LogIn(const std::vector<std::string>& arguments) {
    session.ReadCommandLine(arguments);
    return session.LogIn(form);
  }
  ScriptedForm form;
  testing_support::MemorySettings settings;
  MailSession session{ui, settings, clock};
};

TEST_F(LoginTest, AKnownUserWithoutAPasswordIsLoggedInWithoutTheForm) {
  ASSERT_TRUE(LogIn({"bob"}));
  EXPECT_EQ(form.executions, 0);
  EXPECT_EQ(session.UserName(), "BOB");
  EXPECT_EQ(session.Password(), "");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(LoginTest, AnUnknownNameIsRefusedAndTheNamePageOpens) {
  form.typedName = "BOB";
  ASSERT_TRUE(LogIn({"eve"}));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "KV Mailbox");
  EXPECT_EQ(ui.shown[0].text, "\"EVE\" is not a valid user name!");
  EXPECT_EQ(form.openedOn, "name");
  EXPECT_EQ(session.UserName(), "BOB");
}

TEST_F(LoginTest, AKnownNameWithAPasswordOpensThePasswordPage) {
  form.typedPassword = "SECRET";
  ASSERT_TRUE(LogIn({"alice"}));
  EXPECT_EQ(form.openedOn, "password");
  EXPECT_EQ(form.proposedName, "ALICE");
  EXPECT_EQ(form.storedPassword, "SECRET");
  EXPECT_EQ(session.Password(), "SECRET");
}

TEST_F(LoginTest, GivingUpEndsTheLogin) {
  form.answer = false;
  EXPECT_FALSE(LogIn({"/a"}));
  EXPECT_EQ(form.openedOn, "name");
  EXPECT_EQ(session.UserName(), "");
}

TEST_F(LoginTest, TheNetworkNameIsTriedOnlyWithoutANameAndWithoutA) {
  const std::string network = NetworkUserName();
  ASSERT_FALSE(network.empty());
  EXPECT_LE(network.size(), kUserNameRoom);
  WriteFile(MailFile("MASTER.INI"), "[USERS]\r\n" + network + "=\r\nBOB=\r\n");
  ASSERT_TRUE(LogIn({}));
  EXPECT_EQ(form.executions, 0);
  EXPECT_EQ(session.UserName(), network);  // not upper-cased

  form.typedName = "BOB";
  ASSERT_TRUE(LogIn({"-A"}));
  EXPECT_EQ(form.openedOn, "name");
  EXPECT_EQ(session.UserName(), "BOB");
}

TEST_F(LoginTest, ASixteenCharacterNameIsCutBeforeItIsLookedUp) {
  ASSERT_TRUE(LogIn({"abcdefghijklmnop"}));
  EXPECT_EQ(form.executions, 0);
  EXPECT_EQ(session.UserName(), "ABCDEFGHIJKLMNO");
}

TEST_F(LoginTest, ThePasswordKeepsTwelveCharacters) {
  WriteFile(MailFile("MAILBOX.INI"), "[USERS]\r\nALICE=" + mailstore::ScramblePassword("ABCDEFGHIJKLMNOPQRST") + "\r\n");
  form.typedPassword = "ABCDEFGHIJKLMNOPQRST";
  ASSERT_TRUE(LogIn({"alice"}));
  EXPECT_EQ(session.Password(), "ABCDEFGHIJKL");
}

TEST(PasswordAcceptedTest, OwnOrSupervisor) {
  EXPECT_TRUE(PasswordAccepted("SECRET", "SECRET", ""));
  EXPECT_FALSE(PasswordAccepted("secret", "SECRET", ""));
  EXPECT_TRUE(PasswordAccepted("BOSS", "SECRET", "BOSS"));
  EXPECT_FALSE(PasswordAccepted("", "SECRET", ""));
}

}  // namespace
