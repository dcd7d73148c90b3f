// kvmailctl end to end: real processes on a real Mail Directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "mailstore/MessageRecord.h"
#include "mailstore/MessageText.h"
#include "mailstore/UserRegistry.h"
#include "support/Subprocess.h"
#include "support/TempDir.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

struct Result {
  int status;
  std::string out;
  std::string err;
};

class Kvmailctl : public ::testing::Test {
 protected:
  Kvmailctl() {
    ::setenv("KVMAIL_LOCK_DIRECTORIES", "always", 1);  // on this local disk too
    WriteFile(dir.File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\nCAROL=\r\nMARY ANN SMITH=\r\n");
  }

  // Runs kvmailctl in the Mail Directory with `args` (a shell fragment), the
  // text `in` on standard input and `env` before it.
  Result Run(const std::string& args, const std::string& in = "", const std::string& env = "") {
    WriteFile(work.File("in"), in);
    // Each run has a settings store of its own, empty unless a test fills it,
    // and dates in the fixed format of the C locale unless a test says.
    const std::string command = "cd '" + dir.path() + "' && LC_ALL=C XDG_CONFIG_HOME='" + work.File("config") + "' " + env +
                                " KVMAIL= '" KVMAILCTL "' " + args + " <'" +
                                work.File("in") + "' >'" + work.File("out") + "' 2>'" + work.File("err") + "'";
    const int raw = std::system(command.c_str());
    return Result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(work.File("out")), ReadFile(work.File("err"))};
  }
  std::vector<std::string> MessageFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      if (mailstore::IsMessageFileName(entry.path().filename().string())) names.push_back(entry.path().string());
    return names;
  }

  TempDir dir;   // the Mail Directory, also the current directory of each run
  TempDir work;  // standard input and output of each run
};

// The user list needs no login: neither a known name nor a password.
TEST_F(Kvmailctl, TheUserListNeedsNoLogin) {
  WriteFile(dir.File("MAILBOX.INI"), "[USERS]\r\nBOB=" + mailstore::ScramblePassword("SESAME") + "\r\n");
  for (const char* who : {"--user nobody", "--user bob"}) {
    const Result r = Run(std::string(who) + " users");
    EXPECT_EQ(r.status, 0) << who << ": " << r.err;
    EXPECT_EQ(r.out, "ALICE\nBOB\nCAROL\nMARY ANN SMITH\n") << who;
  }
}

TEST_F(Kvmailctl, TwoCopiesExchangeMail) {
  ASSERT_EQ(Run("--user alice send --subject 'Lunch' BOB", "Dear Bob,\ncaf\xC3\xA9 at noon?\n").status, 0);
  ASSERT_EQ(Run("--user alice send --encrypt --subject 'Secret' bob", "the code is 42\n").status, 0);

  Result list = Run("--user bob list");
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_EQ(list.out.substr(0, 9), "0\tunread\t");
  EXPECT_NE(list.out.find("\tALICE\tLunch\n1\tunread\t"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("\tALICE\tSecret\n"), std::string::npos) << list.out;

  Result read = Run("--user bob read 1");
  EXPECT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "the code is 42\n");
  EXPECT_EQ(Run("--user bob read 0").out, "Dear Bob,\ncaf\xC3\xA9 at noon?\n");
  EXPECT_EQ(Run("--user bob --raw read 0").out, "Dear Bob,\r\ncaf\xE9 at noon?\r\n");  // as stored
  EXPECT_EQ(Run("--user bob check").out, "0\n");
  list = Run("--user bob list");
  EXPECT_NE(list.out.find("0\tread\t"), std::string::npos);
  EXPECT_NE(list.out.find("1\tread\t"), std::string::npos);
  EXPECT_EQ(list.out.find("."), std::string::npos);  // the read mark is not shown

  ASSERT_EQ(MessageFiles().size(), 2u);
  EXPECT_EQ(Run("--user bob delete 0").status, 0);
  EXPECT_EQ(MessageFiles().size(), 1u);
  list = Run("--user bob list");
  EXPECT_EQ(list.out.substr(0, 7), "0\tread\t");
  EXPECT_NE(list.out.find("Secret"), std::string::npos);
  EXPECT_EQ(Run("--user bob read 5").status, 1);
}

TEST_F(Kvmailctl, AScrambledMessageToTwoUsersIsScrambledTwice) {
  ASSERT_EQ(Run("--user alice send --encrypt BOB '\"MARY ANN SMITH\"'", "secret\n").status, 0);
  const auto files = MessageFiles();
  ASSERT_EQ(files.size(), 2u);
  std::set<uint32_t> seeds;
  std::set<std::string> thirdLines;
  for (const std::string& file : files) {
    const std::string text = ReadFile(file);
    seeds.insert(mailstore::ParseScrambleHeader(text).seed);
    const size_t second = text.find("\r\n") + 2, third = text.find("\r\n", second) + 2;
    thirdLines.insert(text.substr(third, text.find("\r\n", third) - third));
    EXPECT_EQ(mailstore::PlainMessageText(text), "secret\r\n");
  }
  EXPECT_EQ(seeds.size(), 2u);
  EXPECT_EQ(thirdLines, (std::set<std::string>{"BOB", "MARY ANN SMITH"}));
  EXPECT_EQ(Run("--user 'mary ann smith' read 0").out, "secret\n");
}

TEST_F(Kvmailctl, RecipientsAndTheUserList) {
  Result r = Run("--user alice send EVE BOB BOB", "hi\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Send Mail: \"EVE\" is NOT in my list of users! You\ncannot send mail to \"EVE\".\n");
  EXPECT_EQ(Run("--user bob check").out, "2\n");  // a name given twice gets two copies

  EXPECT_EQ(Run("--user alice users").out, "ALICE\nBOB\nCAROL\nMARY ANN SMITH\n");
  ASSERT_EQ(Run("--user alice send --all", "to all\n").status, 0);
  EXPECT_EQ(Run("--user alice check").out, "1\n");  // the sender too
  EXPECT_EQ(Run("--user carol check").out, "1\n");
}

TEST_F(Kvmailctl, WithoutARegistry) {
  std::filesystem::remove(dir.File("MASTER.INI"));
  WriteFile(dir.File("BOB.LST"), "");
  WriteFile(dir.File("ALICE.LST"), "");
  EXPECT_EQ(Run("--user alice send NEWCOMER", "hi\n").status, 1);  // asked, and no one said yes
  EXPECT_FALSE(std::filesystem::exists(dir.File("NEWCOMER.LST")));
  EXPECT_EQ(Run("--user alice --yes send NEWCOMER", "hi\n").status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.File("NEWCOMER.LST")));

  ASSERT_EQ(Run("--user alice send --all", "to all\n").status, 0);
  EXPECT_EQ(Run("--user alice check").out, "0\n");  // the sender is skipped
  EXPECT_EQ(Run("--user bob check").out, "1\n");
  EXPECT_EQ(Run("--user newcomer check").out, "2\n");
  Result users = Run("--user alice users");
  EXPECT_NE(users.out.find("NEWCOMER\n"), std::string::npos);
}

TEST_F(Kvmailctl, TheUserIsIdentifiedAsAtStartUp) {
  Result r = Run("--user eve list");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "\"EVE\" is not a valid user name!\n");
  EXPECT_EQ(Run("--user abcdefghijklmnopq list").err, "\"ABCDEFGHIJKLMNO\" is not a valid user name!\n");

  WriteFile(dir.File("MAILBOX.INI"), "[USERS]\r\nBOB=" + mailstore::ScramblePassword("SESAME") + "\r\n");
  WriteFile(work.File("right"), "sesame\n");
  WriteFile(work.File("wrong"), "OPEN\n");
  EXPECT_EQ(Run("--user bob --password-file '" + work.File("right") + "' check").status, 0);
  r = Run("--user bob --password-file '" + work.File("wrong") + "' check");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "That's not the correct password!\n");
  // Without a terminal and without a file nothing was typed, and that is said.
  r = Run("--user bob check");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "BOB has a password: give it with --password-file FILE, or run kvmailctl at a terminal.\n");
  r = Run("--user bob --password-file '" + work.File("missing") + "' check");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("The password file " + work.File("missing") + " cannot be read: File not found!", 0), 0u) << r.err;
  EXPECT_EQ(Run("--user alice check").status, 0);  // Bob's password is not Alice's business
}

TEST_F(Kvmailctl, FailuresAreToldAndLoseNothing) {
  ASSERT_EQ(Run("--user alice send BOB", "first\n").status, 0);
  const std::string mailbox = ReadFile(dir.File("BOB.LST"));

  Result r = Run("--user alice send BOB", "x\n", "KVMAIL_FAULTS=create:1+:EROFS");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Unable to create file in " + dir.path() + "!\n\nMail to BOB was not sent.\n");

  r = Run("--user alice send BOB", "x\n", "KVMAIL_FAULTS=write:1+:ENOSPC");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "The disk is full!\n\nMail to BOB was not sent.\n");

  // A look at the Mail Directory that fails (a share client under load
  // answers EIO) says so; only a missing folder is "invalid".
  r = Run("--maildir '" + dir.path() + "' --user alice list", "", "KVMAIL_FAULTS=stat:1:EIO");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Mail Directory " + dir.path() + ": Device read fault!\n");

  r = Run("--user alice send --file '" + work.File("missing.txt") + "' BOB");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, work.File("missing.txt") + ": File not found!\n");

  r = Run("--maildir '" + dir.File("nowhere") + "' --user alice list");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Invalid filename or directory!"), std::string::npos) << r.err;

  EXPECT_EQ(ReadFile(dir.File("BOB.LST")), mailbox);
  EXPECT_EQ(MessageFiles().size(), 1u);
}

TEST_F(Kvmailctl, OddFilesAreRefusedAndNothingIsLost) {
  ASSERT_EQ(Run("--user alice send BOB", "first\n").status, 0);
  const std::string mailbox = ReadFile(dir.File("BOB.LST"));
  // Something that is not a plain file is refused before anything is made.
  ASSERT_EQ(mkfifo(work.File("fifo").c_str(), 0600), 0);
  for (const std::string& odd : {std::string("/dev/zero"), work.File("fifo"), work.path()}) {
    const Result r = Run("--user alice send --file '" + odd + "' BOB");
    EXPECT_EQ(r.status, 1) << odd;
    EXPECT_EQ(r.err, odd + ": not a plain file; only a file can be sent.\n");
  }
  EXPECT_EQ(MessageFiles().size(), 1u);

  // A folder where the text should be: told, and nothing deleted.
  const std::string text = MessageFiles()[0];
  std::filesystem::remove(text);
  std::filesystem::create_directory(text);
  Result r = Run("--user bob read 0");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("A link or a folder stands where"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(dir.File("BOB.LST")), mailbox);
  EXPECT_TRUE(std::filesystem::is_directory(text));

  // A folder where the mailbox should be: list says why.
  std::filesystem::remove(dir.File("CAROL.LST"));
  std::filesystem::create_directory(dir.File("CAROL.LST"));
  r = Run("--user carol list");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Your mailbox could not be read fully."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("A link or a folder stands where"), std::string::npos) << r.err;
}

TEST_F(Kvmailctl, AHostileRegistryIsRefusedAtOnceAndSaysWhy) {
  // A pipe would hang every command, a link to /dev/zero fill the memory,
  // a giant file too: each is refused, and the user is told why.
  std::filesystem::remove(dir.File("MASTER.INI"));
  ASSERT_EQ(mkfifo(dir.File("MASTER.INI").c_str(), 0600), 0);
  struct Case {
    const char* what;
    std::function<void()> make;
    const char* reason;
  };
  const Case cases[] = {
      {"a pipe", [] {}, "A link or a folder stands where"},
      {"a link to /dev/zero",
       [this] {
         std::filesystem::remove(dir.File("MASTER.INI"));
         std::filesystem::create_symlink("/dev/zero", dir.File("MASTER.INI"));
       },
       "A link or a folder stands where"},
      {"a file of 17 MB",
       [this] {
         std::filesystem::remove(dir.File("MASTER.INI"));
         WriteFile(dir.File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n" + std::string(17u << 20, ';'));
       },
       "larger than a file of its kind may be"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.make();
    for (const char* command : {"--user alice users", "--user alice send BOB", "--user alice list"}) {
      const Result r = Run(command, "hello\n");
      EXPECT_EQ(r.status, 1) << command;
      EXPECT_NE(r.err.find("MASTER.INI cannot be read."), std::string::npos) << command << ": " << r.err;
      EXPECT_NE(r.err.find(c.reason), std::string::npos) << command << ": " << r.err;
    }
    EXPECT_TRUE(MessageFiles().empty());
  }
}

TEST_F(Kvmailctl, ListIsOneLineOfFiveFieldsPerMessage) {
  ASSERT_EQ(Run("--user alice send --subject \"$(printf 'a\\tb\\033[2Jc\\a\\\\d')\" BOB", "x\n").status, 0);
  const Result list = Run("--user bob list");
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 1);
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\t'), 4);
  EXPECT_NE(list.out.find("a\\tb\\x1B[2Jc\\x07\\\\d\n"), std::string::npos) << list.out;
  EXPECT_NE(Run("--user bob --raw list").out.find("a\tb\033[2Jc\a\\d\n"), std::string::npos);

  // A dangling record removed on the way is no failure.
  ASSERT_EQ(Run("--user alice send --subject second BOB", "y\n").status, 0);
  std::filesystem::remove(MessageFiles()[0] == dir.File("BOB.LST") ? MessageFiles()[1] : MessageFiles()[0]);
  const Result after = Run("--user bob list");
  EXPECT_EQ(after.status, 0) << after.err;
  EXPECT_EQ(std::count(after.out.begin(), after.out.end(), '\n'), 1);
}

// Whether `out` holds a byte a terminal takes as a command: a C0 control
// other than the line feed (and the tab, where `tabs` allows it), DEL, or a
// C1 control in UTF-8.
bool HasRawControl(const std::string& out, bool tabs) {
  for (size_t i = 0; i < out.size(); ++i) {
    const auto b = static_cast<unsigned char>(out[i]);
    if (b == '\n' || (tabs && b == '\t')) continue;
    if (b < 0x20 || b == 0x7F) return true;
    if (b == 0xC2 && i + 1 < out.size() && static_cast<unsigned char>(out[i + 1]) < 0xA0) return true;
  }
  return false;
}

TEST_F(Kvmailctl, NothingSomeoneElseWroteReachesTheTerminalAsACommand) {
  // Every control character, in a message's text and subject, in a mailbox
  // file's name, in a name the sender is told about: through read, list,
  // users, check --store and the alerts.  --raw keeps a text's bytes.
  std::vector<unsigned char> controls;
  for (unsigned char b = 1; b < 0x20; ++b)
    if (b != '\n' && b != '\r') controls.push_back(b);
  for (unsigned char b : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) controls.push_back(b);
  for (const unsigned char b : controls) {
    const std::string c(1, static_cast<char>(b));
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", b);
    SCOPED_TRACE(hex);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      if (entry.path().filename() != "MASTER.INI") std::filesystem::remove(entry.path());

    ASSERT_EQ(Run("--raw --user alice send --subject 's" + c + "t' BOB", "x" + c + "y\n").status, 0);
    Result r = Run("--user bob read 0");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(HasRawControl(r.out, true)) << r.out;
    EXPECT_EQ(r.out, b == '\t' ? "x\ty\n" : "x" + std::string(hex) + "y\n");
    EXPECT_EQ(Run("--raw --user bob read 0").out, "x" + c + "y\r\n");  // the stored bytes
    r = Run("--user bob list");
    EXPECT_FALSE(HasRawControl(r.out, true)) << r.out;
    EXPECT_NE(r.out.find(b == '\t' ? "s\\tt" : "s" + std::string(hex) + "t"), std::string::npos) << r.out;

    r = Run("--user alice send 'Q" + c + "'", "x\n");  // no such user: the alert names it
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(HasRawControl(r.err, true)) << r.err;

    // A mailbox file someone else named, torn, and no registry.
    WriteFile(dir.File("Z" + c + ".LST"), "abc");
    std::filesystem::rename(dir.File("MASTER.INI"), work.File("MASTER.INI"));
    r = Run("--user bob users");
    EXPECT_FALSE(HasRawControl(r.out, false)) << r.out;
    EXPECT_FALSE(HasRawControl(r.err, true)) << r.err;
    r = Run("check --store");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(HasRawControl(r.out, false)) << r.out;
    EXPECT_NE(r.out.find(b == '\t' ? "Z\\t.LST" : "Z" + std::string(hex) + ".LST"), std::string::npos) << r.out;
    std::filesystem::rename(work.File("MASTER.INI"), dir.File("MASTER.INI"));
  }
}

TEST_F(Kvmailctl, AFailedDeletionSaysWhetherTheMessageIsGone) {
  ASSERT_EQ(Run("--user alice send --subject Kept BOB", "kept\n").status, 0);
  // The record cannot even be unnamed: nothing changed, and it says so.
  Result r = Run("--user bob delete 0", "", "KVMAIL_FAULTS=write:2:EIO");  // after the lock's OWNER
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Message 0 was not deleted.\n\n", 0), 0u) << r.err;
  EXPECT_EQ(Run("--user bob read 0").out, "kept\n");

  // The text is gone already, and the mailbox cannot be cut: the message
  // is gone all the same, and the next look tidies up.
  std::filesystem::remove(MessageFiles().front());
  r = Run("--user bob delete 0", "", "KVMAIL_FAULTS=truncate:1:EIO");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("Message 0 is deleted, but its record could not be taken out of the mailbox;", 0), 0u)
      << r.err;
  r = Run("--user bob list");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFile(dir.File("BOB.LST")), "");
}

TEST_F(Kvmailctl, SendingToAllWithNobodyElseSaysSo) {
  // No user list, and no mailbox but the sender's.
  std::filesystem::remove(dir.File("MASTER.INI"));
  const Result r = Run("--user alice send --all", "x\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "There is nobody to send the message to: the user list names nobody else.\n");
  EXPECT_TRUE(MessageFiles().empty());
}

TEST_F(Kvmailctl, AMailboxLockedForGoodFailsInBoundedTime) {
  auto holder = std::make_unique<testing_support::Subprocess>(
      KVMAIL_MAILBOX_HELPER, std::vector<std::string>{"hold", dir.path(), "BOB", "30000", work.File("ready")});
  ASSERT_TRUE(testing_support::WaitForFile(work.File("ready")));

  Result r = Run("--user alice send BOB", "x\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot send mail to BOB.\n\nThe mailbox may have been locked by another user\nor write protected."),
            std::string::npos) << r.err;
  EXPECT_NE(r.err.find("File is currently being used by the system.\n\nMail to BOB was not sent."), std::string::npos);

  const auto start = std::chrono::steady_clock::now();
  r = Run("--user alice --yes send BOB", "x\n");
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(r.status, 1);
  EXPECT_GE(seconds, 9);
  EXPECT_LE(seconds, 25);
  EXPECT_EQ(MessageFiles().size(), 0u);
}

TEST_F(Kvmailctl, ReadingABusyMailboxSaysItIsBusy) {
  ASSERT_EQ(Run("--user alice send --subject One BOB", "one\n").status, 0);
  auto holder = std::make_unique<testing_support::Subprocess>(
      KVMAIL_MAILBOX_HELPER, std::vector<std::string>{"hold", dir.path(), "BOB", "30000", work.File("ready")});
  ASSERT_TRUE(testing_support::WaitForFile(work.File("ready")));
  const Result r = Run("--user bob read 0");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "The mailbox is in use by another copy; message 0 could not be read. Try again.\n");
  holder.reset();
  EXPECT_EQ(Run("--user bob read 1").err, "There is no message 1.\n");
  EXPECT_EQ(Run("--user bob read 0").out, "one\n");
}

TEST_F(Kvmailctl, TheMailDirectoryIsFoundAsTheProgramFindsIt) {
  TempDir stored, configured, elsewhere;
  for (const TempDir* d : {&stored, &configured})
    WriteFile(d->File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");

  // Nothing stored: the current directory.
  ASSERT_EQ(Run("--user alice send BOB", "one\n").status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.File("BOB.LST")));

  // The stored setting over it.
  std::filesystem::create_directories(work.File("config/Brenlow"));
  WriteFile(work.File("config/Brenlow/Dashdeck.conf"), "[Mail]\nMailDir=" + stored.path() + "\n");
  ASSERT_EQ(Run("--user alice send BOB", "two\n").status, 0);
  EXPECT_EQ(Run("--user bob read 0").out, "two\n");

  // The administrator's file for the user over that, once the user is known.
  WriteFile(elsewhere.File("BOB.INF"), "MAILDIR=" + configured.path() + "\r\n");
  const std::string dashdeck = "DASHDECK='" + elsewhere.path() + "'";
  EXPECT_EQ(Run("--user bob check", "", dashdeck).out, "0\n");
  EXPECT_TRUE(std::filesystem::exists(configured.File("BOB.LST")));
  ASSERT_EQ(Run("--user alice send BOB", "three\n", dashdeck).status, 0);  // ALICE has no file of her own
  EXPECT_EQ(Run("--user bob --maildir '" + stored.path() + "' check", "", dashdeck).out, "1\n");

  // --maildir over everything.
  EXPECT_EQ(Run("--user bob --maildir '" + dir.path() + "' read 0", "", dashdeck).out, "one\n");
}

TEST_F(Kvmailctl, TheDateOfANewRecordFollowsTheLocalesShortFormat) {
  struct Case {
    const char* locale;
    const char* shape;  // the date with its digits as 9
  };
  // The locales are compiled into a directory of the test's own.
  const std::string locales = work.File("locales");
  std::filesystem::create_directories(locales);
  for (const char* name : {"de_DE", "en_GB"}) {
    const std::string command = "localedef -i " + std::string(name) + " -f UTF-8 '" + locales + "/" + name + ".UTF-8'";
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) GTEST_SKIP() << "localedef cannot make " << name;
  }
  for (const Case& c : {Case{"C", "9/99/9999"}, Case{"de_DE.UTF-8", "99.99.9999"}, Case{"en_GB.UTF-8", "99/99/99"}}) {
    ASSERT_EQ(Run("--user alice send BOB", "x\n", "LOCPATH='" + locales + "' LC_ALL=" + c.locale).status, 0);
    const std::string list = Run("--user bob list").out;
    const std::string last = list.substr(list.rfind('\n', list.size() - 2) + 1);
    std::string date = last.substr(last.find('\t', last.find('\t') + 1) + 1);
    date = date.substr(0, date.find(' '));
    for (char& ch : date)
      if (std::isdigit(static_cast<unsigned char>(ch))) ch = '9';
    // Without leading zeros, the C locale's month and day may have one or two digits.
    const bool numericC = std::string(c.locale) == "C" && date.size() >= 8 && date.size() <= 10;
    EXPECT_TRUE(date == c.shape || numericC) << c.locale << " " << date;
  }
}

TEST_F(Kvmailctl, StandardInputIsCutIntoLinesAtLineFeeds) {
  auto Repeated = [](const std::string& line, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += line;
    return text;
  };
  struct Case {
    std::string in, stored;
  };
  const Case cases[] = {
      {"one\ntwo\n", "one\r\ntwo\r\n"},
      {"one\r\ntwo", "one\r\ntwo\r\n"},  // a last line without its end still counts
      {"a\rb\n", "a\rb\r\n"},            // a carriage return alone ends nothing
      {"\n\n", "\r\n\r\n"},
      {"", ""},
      {std::string("x\0y\n", 4), std::string("x\0y\r\n", 5)},
      {Repeated("line of text\n", 8000), Repeated("line of text\r\n", 8000)},  // more than one read
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    ASSERT_EQ(Run("--user alice send BOB", cases[i].in).status, 0) << i;
    EXPECT_TRUE(Run("--raw --user bob read " + std::to_string(i)).out == cases[i].stored) << i;
  }
}

TEST_F(Kvmailctl, ALineLongerThanAMessageLineIsSplitNotCut) {
  const std::string longLine = std::string(1024, 'a') + std::string(1024, 'b') + "end";
  const Result sent = Run("--user alice send BOB", "first\n" + longLine + "\nlast\n");
  ASSERT_EQ(sent.status, 0) << sent.err;
  EXPECT_NE(sent.err.find("1 line longer than 1,024 characters went as several lines"), std::string::npos) << sent.err;
  EXPECT_TRUE(Run("--raw --user bob read 0").out == "first\r\n" + std::string(1024, 'a') + "\r\n" +
                                                      std::string(1024, 'b') + "\r\nend\r\nlast\r\n");
  // Exactly 1,024 is one line, and nothing is said.
  const Result exact = Run("--user alice send BOB", std::string(1024, 'c') + "\n");
  EXPECT_EQ(exact.err, "");
  EXPECT_TRUE(Run("--raw --user bob read 1").out == std::string(1024, 'c') + "\r\n");
}

TEST_F(Kvmailctl, WrongCommandLinesExitWithTwo) {
  for (const char* args : {"", "frob", "--user", "--bogus list", "read", "read x", "read 1 2", "list extra",
                           "--user alice send", "--user alice send --subject"})
    EXPECT_EQ(Run(args).status, 2) << args;
  Result help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: kvmailctl"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(Kvmailctl, AMailDirectoryThatIsNotThereIsSaidSoAndLeftAlone) {
  TempDir empty;
  const Result r = Run("--maildir '" + empty.path() + "' --user bob list");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Mail Directory not reachable"), std::string::npos) << r.err;
  EXPECT_EQ(Run("--maildir '" + empty.File("missing") + "' --user bob list").status, 1);
  EXPECT_TRUE(std::filesystem::is_empty(empty.path()));  // no mailbox made there
}

}  // namespace

namespace {

TEST_F(Kvmailctl, TheStoreCheckerReportsRepairsAndKeepsItsCommandLine) {
  ASSERT_EQ(Run("--user alice send --subject One BOB", "one\n").status, 0);
  ASSERT_EQ(Run("--user alice send --subject Two BOB", "two\n").status, 0);
  Result r = Run("check --store");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "dangling records: 0\norphan texts: 0\ntorn mailboxes: 0\nimpossible records: 0\nunreadable files: 0\n"
            "records sharing a text: 0\n");
  EXPECT_EQ(Run("--user bob check").out, "2\n");  // plain check still counts unread mail

  std::filesystem::remove(MessageFiles().front());
  r = Run("check --store");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("BOB.LST record "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("dangling records: 1\n"), std::string::npos) << r.out;
  r = Run("check --repair --orphans '" + work.File("orphans") + "'");
  EXPECT_EQ(r.status, 1);  // something was found
  EXPECT_NE(r.out.find("removed: 1 dangling records and records sharing a text\n"), std::string::npos) << r.out;
  EXPECT_EQ(Run("check --store").status, 0);
  EXPECT_EQ(Run("--user bob check").out, "1\n");

  for (const char* args : {"check --orphans", "check --orphans x", "check --store extra"})
    EXPECT_EQ(Run(args).status, 2) << args;
}

// The checker takes the mailbox locks as the program does: run again and
// again while another process delivers, it never removes or moves a
// message being delivered.
TEST_F(Kvmailctl, TheStoreCheckerRunsBesideDeliveries) {
  // A mailbox the checker is reading is busy for a sender, as it is while
  // any copy scans: --yes retries as a user saying Yes would.
  WriteFile(work.File("send.sh"),
            "for i in $(seq 1 40); do echo \"m $i\" | \"$1\" --maildir \"$2\" --user alice --yes send BOB || exit 1; done\n");
  testing_support::Subprocess sender("/bin/sh", {work.File("send.sh"), KVMAILCTL, dir.path()});
  int checks = 0;
  while (!sender.Exited()) {
    const Result r = Run("check --repair --orphans '" + work.File("orphans") + "'");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    ++checks;
  }
  EXPECT_EQ(sender.Wait(), 0);
  EXPECT_GT(checks, 0);
  EXPECT_EQ(Run("--user bob check").out, "40\n");
  EXPECT_EQ(MessageFiles().size(), 40u);
  EXPECT_FALSE(std::filesystem::exists(work.File("orphans")));
}

}  // namespace
