#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/ErrorCode.h"
#include "platform/FaultInjection.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "support/TempDir.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFile;

class FilesTest : public ::testing::Test {
 protected:
  FilesTest() { platform::faults::Clear(); }
  ~FilesTest() override { platform::faults::Clear(); }
  TempDir dir;
};

struct PatternCase {
  const char* name;
  const char* file;
  const char* pattern;
  bool matches;
};

class DosPattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(DosPattern, Matches) {
  EXPECT_EQ(platform::MatchesDosPattern(GetParam().file, GetParam().pattern), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DosPattern,
    ::testing::Values(PatternCase{"extension", "BOB.LST", "*.LST", true},
                      PatternCase{"lowerCase", "bob.lst", "*.LST", true},
                      PatternCase{"mixedCase", "Bob.Lst", "*.lst", true},
                      PatternCase{"otherExtension", "BOB.MSG", "*.LST", false},
                      PatternCase{"longerExtension", "BOB.LST.tmp", "*.LST", false},
                      PatternCase{"dotsInside", "A.B.LST", "*.LST", true},
                      PatternCase{"question", "BOB.LST", "B?B.LST", true},
                      PatternCase{"questionNeedsOne", "BB.LST", "B?B.LST", false},
                      PatternCase{"starDotStarNoDot", "README", "*.*", true},
                      PatternCase{"starMiddle", "99223FC2.MSG", "9*2.MSG", true},
                      PatternCase{"backtracking", "aXbXc", "a*b*c", true}),
    [](const auto& info) { return info.param.name; });

TEST_F(FilesTest, ASmallFileIsReadOnlyWhenItIsAPlainFileWithinItsLimit) {
  // What someone who can write to the share may put where a registry, an
  // .INF file or a lexicon should be; none of it may block or fill memory.
  WriteFile(dir.File("plain"), "[USERS]\r\nBOB=\r\n");
  WriteFile(dir.File("large"), std::string(1001, 'x'));
  ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", dir.File("zero").c_str()), 0);
  ASSERT_EQ(symlink(dir.File("plain").c_str(), dir.File("link").c_str()), 0);
  struct Case {
    const char* name;
    int code;
    size_t size;
  };
  for (const Case& c : {Case{"plain", 0, 15}, Case{"large", platform::kFileTooLarge, 0},
                        Case{"fifo", platform::kNotARegularFile, 0}, Case{"zero", platform::kNotARegularFile, 0},
                        Case{"link", platform::kNotARegularFile, 0}, Case{".", platform::kNotARegularFile, 0},
                        Case{"missing", platform::kFileNotFound, 0}}) {
    std::string bytes = "old";
    EXPECT_EQ(platform::ReadSmallFile(dir.File(c.name), bytes, 1000), c.code) << c.name;
    EXPECT_EQ(bytes.size(), c.size) << c.name;
  }
  std::string bytes;
  EXPECT_EQ(platform::ReadSmallFile(dir.File("large"), bytes, 1001), 0);  // the limit itself is allowed
  EXPECT_EQ(bytes.size(), 1001u);
}

TEST(ErrorCode, SystemErrorsBecomeTheProgramsCodes) {
  using platform::IoOp;
  EXPECT_EQ(platform::CodeFromErrno(ENOENT, IoOp::kOpen), 2);
  EXPECT_EQ(platform::CodeFromErrno(ENOTDIR, IoOp::kOpen), 3);
  EXPECT_EQ(platform::CodeFromErrno(EMFILE, IoOp::kOpen), 4);
  EXPECT_EQ(platform::CodeFromErrno(EACCES, IoOp::kOpen), 5);
  EXPECT_EQ(platform::CodeFromErrno(EPERM, IoOp::kWrite), 5);
  // A lock refused is another copy holding it, whichever errno says so.
  EXPECT_EQ(platform::CodeFromErrno(EACCES, IoOp::kLock), 32);
  EXPECT_EQ(platform::CodeFromErrno(EAGAIN, IoOp::kLock), 32);
  EXPECT_EQ(platform::CodeFromErrno(ENOLCK, IoOp::kLock), platform::kSystemErrorBase + ENOLCK);
  EXPECT_EQ(platform::CodeFromErrno(ENOMEM, IoOp::kOther), 8);
  EXPECT_EQ(platform::CodeFromErrno(EROFS, IoOp::kOpen), 19);
  EXPECT_EQ(platform::CodeFromErrno(EAGAIN, IoOp::kOpen), 32);
  EXPECT_EQ(platform::CodeFromErrno(ENOSPC, IoOp::kWrite), 101);
  EXPECT_EQ(platform::CodeFromErrno(ENOSPC, IoOp::kOpen), 112);
  EXPECT_EQ(platform::CodeFromErrno(EIO, IoOp::kRead), 100);
  EXPECT_EQ(platform::CodeFromErrno(EIO, IoOp::kWrite), 160);  // a device fault, not a full disk
}

TEST(ErrorCode, ErrorsWithoutATwinStillSayWhatHappened) {
  const int code = platform::CodeFromErrno(ENOLCK, platform::IoOp::kOpen);
  EXPECT_GE(code, platform::kSystemErrorBase);
  EXPECT_NE(platform::SystemErrorText(code).find("No locks available"), std::string::npos);
  EXPECT_EQ(platform::SystemErrorText(5), "");
}

TEST(Path, JoinAndFileName) {
  EXPECT_EQ(platform::JoinPath("", "A.MSG"), "A.MSG");
  EXPECT_EQ(platform::JoinPath("/mail/", "A.MSG"), "/mail/A.MSG");
  EXPECT_EQ(platform::JoinPath("/mail", "A.MSG"), "/mail/A.MSG");
  EXPECT_EQ(platform::FileNamePart("E:\\MAIL\\0001ABCD.MSG"), "0001ABCD.MSG");
  EXPECT_EQ(platform::FileNamePart("/srv/mail/0001ABCD.MSG"), "0001ABCD.MSG");
  EXPECT_EQ(platform::FileNamePart("E:0001ABCD.MSG"), "0001ABCD.MSG");
  EXPECT_EQ(platform::FileNamePart("MAIL\\"), "");
}

TEST_F(FilesTest, NamesAreFoundWhateverTheirCase) {
  WriteFile(dir.File("bob.lst"), "x");
  EXPECT_EQ(platform::ResolveName(dir.path(), "BOB.LST"), dir.File("bob.lst"));
  EXPECT_EQ(platform::ResolveName(dir.path(), "ALICE.LST"), dir.File("ALICE.LST"));
  WriteFile(dir.File("BOB.LST"), "y");
  EXPECT_EQ(platform::ResolveName(dir.path(), "BOB.LST"), dir.File("BOB.LST"));  // the exact spelling first
}

// One reading of the directory answers every look, one by one or many at
// once, whatever the letter case, and a directory that cannot be read
// answers nothing.
TEST_F(FilesTest, ADirectoryIndexFindsNamesWhateverTheirCase) {
  WriteFile(dir.File("0000abcd.msg"), "");
  WriteFile(dir.File("BOB.LST"), "");
  WriteFile(dir.File("Caf\xC3\xA9.txt"), "");  // UTF-8 on disk, Windows-1252 asked
  for (int i = 0; i < 100; ++i) WriteFile(dir.File("other" + std::to_string(i)), "");
  platform::DirectoryIndex index(dir.path());
  int code = -1;
  const std::vector<std::string_view> names = {"0000ABCD.MSG", "bob.lst", "CAF\xC9.TXT", "0000ABCE.MSG", "BOB"};
  const std::vector<char> expected = {1, 1, 1, 0, 0};
  std::vector<char> present;
  index.ContainsEach(names, present, code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(present, expected);
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(index.Contains(names[i], code), expected[i] != 0) << names[i];
    EXPECT_EQ(index.Find(names[i], code).has_value(), expected[i] != 0) << names[i];
  }
  EXPECT_EQ(index.Find("0000ABCD.MSG", code).value(), "0000abcd.msg");  // as the directory spells it

  platform::DirectoryIndex missing(dir.File("nowhere"));
  missing.ContainsEach(names, present, code);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(present, std::vector<char>(names.size(), 0));
}


TEST_F(FilesTest, ReadingADirectoryLeavesItsAccessTimeAlone) {
  // A changed access time is one more write of the directory at the next
  // flush of a file in it: a burst of senders would pay it once a message.
  WriteFile(dir.File("BOB.LST"), "");
  struct stat before {};
  ASSERT_EQ(stat(dir.path().c_str(), &before), 0);
  const timespec times[2] = {{before.st_mtim.tv_sec - 3600, 0}, {0, UTIME_OMIT}};  // older than the last change
  ASSERT_EQ(utimensat(AT_FDCWD, dir.path().c_str(), times, 0), 0);
  platform::DirectoryIndex index(dir.path());
  int code = -1;
  ASSERT_TRUE(index.Contains("bob.lst", code));
  std::vector<platform::FileInfo> entries;
  ASSERT_EQ(platform::FindFiles(dir.path(), "*.LST", entries), 0);
  struct stat after {};
  ASSERT_EQ(stat(dir.path().c_str(), &after), 0);
  EXPECT_EQ(after.st_atim.tv_sec, before.st_mtim.tv_sec - 3600);
}
TEST_F(FilesTest, FindFilesListsMatchesAndTellsWhatIsMissing) {
  WriteFile(dir.File("BOB.LST"), "");
  WriteFile(dir.File("alice.lst"), std::string(302, 'x'));
  WriteFile(dir.File("MASTER.INI"), "");
  std::vector<platform::FileInfo> found;
  ASSERT_EQ(platform::FindFiles(dir.path(), "*.LST", found), 0);
  ASSERT_EQ(found.size(), 2u);
  for (const auto& entry : found)
    if (entry.name == "alice.lst") {
      EXPECT_EQ(entry.size, 302);
    }

  found.clear();
  EXPECT_EQ(platform::FindFiles(dir.path(), "*.MSG", found), 2);
  EXPECT_EQ(platform::FindFiles(dir.File("nowhere"), "*.LST", found), 3);
}

TEST_F(FilesTest, StatTellsAMissingFileFromAMissingDirectory) {
  platform::FileInfo info;
  EXPECT_EQ(platform::StatFile(dir.File("none.lst"), info), 2);
  EXPECT_EQ(platform::StatFile(dir.File("nowhere/none.lst"), info), 3);
}

TEST_F(FilesTest, ExclusiveCreationRefusesATakenName) {
  EXPECT_EQ(platform::CreateExclusive(dir.File("0001ABCD.MSG")), 0);
  EXPECT_EQ(platform::CreateExclusive(dir.File("0001ABCD.MSG")), platform::kFileExists);
  EXPECT_EQ(platform::CreateExclusive(dir.File("nowhere/0001ABCD.MSG")), 3);
}

TEST_F(FilesTest, DeleteClearsAttributesOnlyWhenAsked) {
  WriteFile(dir.File("A.MSG"), "x");
  platform::faults::Arm("unlink", 1, EACCES);
  EXPECT_EQ(platform::DeleteFile(dir.File("A.MSG"), false), 5);
  EXPECT_TRUE(platform::FileExists(dir.File("A.MSG")));
  platform::faults::Arm("unlink", 1, EACCES);
  EXPECT_EQ(platform::DeleteFile(dir.File("A.MSG"), true), 0);
  EXPECT_EQ(platform::faults::CallCount("chmod"), 1);
  EXPECT_FALSE(platform::FileExists(dir.File("A.MSG")));
}

TEST_F(FilesTest, AFailedWriteIsReported) {
  platform::faults::Arm("write", 1, ENOSPC);
  EXPECT_EQ(platform::WriteWholeFile(dir.File("A.MSG"), "text"), 101);
  platform::faults::Arm("fsync", 1, EIO);
  EXPECT_EQ(platform::WriteWholeFile(dir.File("A.MSG"), "text"), 160);  // told as a write fault
  platform::faults::Arm("create", 1, EROFS);
  EXPECT_EQ(platform::WriteWholeFile(dir.File("A.MSG"), "text"), 19);
}

TEST_F(FilesTest, ReadWholeFileStopsAtItsLimit) {
  WriteFile(dir.File("A.MSG"), "0123456789");
  std::string bytes;
  ASSERT_EQ(platform::ReadWholeFile(dir.File("A.MSG"), bytes, 4), 0);
  EXPECT_EQ(bytes, "0123");
  ASSERT_EQ(platform::ReadWholeFile(dir.File("A.MSG"), bytes), 0);
  EXPECT_EQ(bytes, "0123456789");
}

TEST(FaultSeam, ArmsTheNthCallOrEveryCallFromIt) {
  platform::faults::Clear();
  TempDir dir;
  ASSERT_TRUE(platform::faults::ArmFromText("create:2+:EACCES"));
  EXPECT_EQ(platform::CreateExclusive(dir.File("1")), 0);
  EXPECT_EQ(platform::CreateExclusive(dir.File("2")), 5);
  EXPECT_EQ(platform::CreateExclusive(dir.File("3")), 5);
  platform::faults::Clear();
  EXPECT_EQ(platform::CreateExclusive(dir.File("3")), 0);
}

TEST(FaultSeam, RejectsMalformedListsWhole) {
  platform::faults::Clear();
  for (const char* bad : {"write", "write:0:ENOSPC", "write:x:ENOSPC", "nosuchcall:1:EIO", "write:1:EWHAT",
                          "write:1:ENOSPC,read"})
    EXPECT_FALSE(platform::faults::ArmFromText(bad)) << bad;
  EXPECT_TRUE(platform::faults::ArmFromText("write:3:ENOSPC,open:1+:13"));
  platform::faults::Clear();
}

}  // namespace
