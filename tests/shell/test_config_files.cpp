#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>

#include "mailstore/UserRegistry.h"
#include "shell/ConfigFiles.h"
#include "support/TempDir.h"

namespace {

using namespace shell;
using testing_support::TempDir;
using testing_support::WriteFile;

class ConfigFilesTest : public ::testing::Test {
 protected:
  ConfigFilesTest() {
    ::unsetenv("DASHDECK");
    prefs.programDir = programDir.path();
    prefs.mailDir = "/default/mail";
  }
  ~ConfigFilesTest() override { ::unsetenv("DASHDECK"); }
  std::string Apply(const std::string& text) {
    WriteFile(programDir.File("TEST.INF"), text);
    ApplyConfigFile(programDir.File("TEST.INF"), prefs);
    return prefs.mailDir;
  }

  TempDir programDir;
  TempDir dashdeck;
  Preferences prefs;
};

TEST_F(ConfigFilesTest, TheUsersFileIsNamedAfterTheUser) {
  EXPECT_EQ(UserConfigFilePath("JOHN SMITH JUNIOR", prefs.programDir), "");  // none there yet
  WriteFile(programDir.File("JOHNSMIT.INF"), "");
  WriteFile(programDir.File("KV.INF"), "");
  EXPECT_EQ(UserConfigFilePath("JOHN SMITH JUNIOR", prefs.programDir), programDir.File("JOHNSMIT.INF"));
  EXPECT_EQ(UserConfigFilePath("", prefs.programDir), programDir.File("KV.INF"));

  ::setenv("DASHDECK", dashdeck.path().c_str(), 1);
  EXPECT_EQ(UserConfigFilePath("JOHN SMITH JUNIOR", prefs.programDir), "");
  WriteFile(dashdeck.File("johnsmit.inf"), "");
  EXPECT_EQ(UserConfigFilePath("JOHN SMITH JUNIOR", prefs.programDir), dashdeck.File("johnsmit.inf"));
  ::setenv("DASHDECK", "", 1);  // set but empty: the program's directory
  EXPECT_EQ(UserConfigFilePath("JOHN SMITH JUNIOR", prefs.programDir), programDir.File("JOHNSMIT.INF"));
}

TEST_F(ConfigFilesTest, ANameOutsideAsciiIsCutAfterEightCharacters) {
  // "AAAAAAAÉZ": eight characters are "AAAAAAAÉ", whatever its bytes on disk.
  const std::string name = "AAAAAAA\xC9Z";  // as stored
  WriteFile(programDir.File("AAAAAAA\xC3\x89.INF"), "");
  EXPECT_EQ(UserConfigFilePath(name, prefs.programDir), programDir.File("AAAAAAA\xC3\x89.INF"));
  // Written by a copy on another system in other letters.
  std::filesystem::rename(programDir.File("AAAAAAA\xC3\x89.INF"), programDir.File("aaaaaaa\xC3\xA9.inf"));
  EXPECT_EQ(UserConfigFilePath(name, prefs.programDir), programDir.File("aaaaaaa\xC3\xA9.inf"));
}

TEST_F(ConfigFilesTest, LinesSetTheirSettings) {
  prefs.checkMailContinuously = false;
  prefs.notifyWhenMailArrives = true;
  Apply("checkmail=yes\r\nBEEP=NO\r\n");
  EXPECT_TRUE(prefs.checkMailContinuously);
  EXPECT_FALSE(prefs.notifyWhenMailArrives);
  Apply("CHECKMAIL=Y\n");
  EXPECT_FALSE(prefs.checkMailContinuously);
  Apply("Beep=Yes");
  EXPECT_TRUE(prefs.notifyWhenMailArrives);
}

TEST_F(ConfigFilesTest, MailDirIsTakenAsWritten) {
  EXPECT_EQ(Apply("maildir=/srv/Shared Mail\n"), "/srv/Shared Mail");
  EXPECT_EQ(Apply("MAILDIR=\n"), "/srv/Shared Mail");  // an empty value changes nothing
  EXPECT_EQ(Apply(" MAILDIR=/elsewhere\n"), "/srv/Shared Mail");  // no leading blanks are skipped
  EXPECT_EQ(Apply("PMAIL=x\nSHOWMAILDIR=YES\nNETREFRESHRATE=5\nMASTER$INF=x\n# MAILDIR=/no\n"), "/srv/Shared Mail");
}

TEST_F(ConfigFilesTest, TheSupervisorPasswordIsUnscrambledAndCut) {
  Apply("PSPR=" + mailstore::ScramblePassword("BOSS") + "\r\n");
  EXPECT_EQ(prefs.supervisorPassword, "BOSS");
  Apply("PSPR=" + mailstore::ScramblePassword("ABCDEFGHIJKLMNOP") + "\r\n");
  EXPECT_EQ(prefs.supervisorPassword, "ABCDEFGHIJKL");
  Apply("PSPR=\r\n");
  EXPECT_EQ(prefs.supervisorPassword, "ABCDEFGHIJKL");
}

TEST_F(ConfigFilesTest, TheMasterFileWinsOverTheUsersFile) {
  WriteFile(programDir.File("BOB.INF"), "BEEP=YES\r\nMAILDIR=/from/user\r\n");
  WriteFile(programDir.File("MASTER$.INF"), "BEEP=NO\r\n");
  ApplyConfigFiles("BOB", prefs);
  EXPECT_FALSE(prefs.notifyWhenMailArrives);
  EXPECT_EQ(prefs.mailDir, "/from/user");
}

TEST_F(ConfigFilesTest, AFileThatCannotBeReadIsSkippedSilently) {
  std::filesystem::create_directory(programDir.File("BOB.INF"));  // exists, but is no file
  ApplyConfigFiles("BOB", prefs);
  ApplyConfigFile(programDir.File("NONE.INF"), prefs);
  EXPECT_EQ(prefs.mailDir, "/default/mail");
}

}  // namespace
