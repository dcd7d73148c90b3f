#include <gtest/gtest.h>

#include <cerrno>
#include <stdlib.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/ErrorCode.h"
#include "platform/FaultInjection.h"
#include "platform/ProfileFile.h"
#include "support/Subprocess.h"
#include "support/TempDir.h"

namespace {

// The bytes of a literal, zero bytes included.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

using platform::Profile;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

struct LookupCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::optional<std::string> value;
};

class ProfileLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ProfileLookup, ReadsAsWindowsDoes) {
  const LookupCase& c = GetParam();
  EXPECT_EQ(Profile::Parse(c.file).Value(c.section, c.key), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileLookup,
    ::testing::Values(
        LookupCase{"crlf", "[USERS]\r\nBOB=1\r\n", "USERS", "BOB", "1"},
        LookupCase{"lf", "[USERS]\nBOB=1\n", "USERS", "BOB", "1"},
        LookupCase{"crOnly", "[USERS]\rBOB=1\rALICE=2", "USERS", "ALICE", "2"},
        LookupCase{"byteOrderMark", "\xEF\xBB\xBF[USERS]\r\nBOB=1\r\n", "USERS", "BOB", "1"},
        LookupCase{"caseOfSectionAndKey", "[Users]\r\nbob=1\r\n", "USERS", "BOB", "1"},
        LookupCase{"blanksTrimmed", "  [ USERS ]  \r\n\t BOB \t=\t 1 2 \r\n", "USERS", "BOB", "1 2"},
        LookupCase{"emptyValue", "[USERS]\r\nBOB=\r\n", "USERS", "BOB", ""},
        LookupCase{"semicolonComment", "[USERS]\r\n;BOB=1\r\n", "USERS", "BOB", std::nullopt},
        LookupCase{"hashIsNoComment", "[USERS]\r\n#BOB=1\r\n", "USERS", "#BOB", "1"},
        LookupCase{"lineWithoutEquals", "[USERS]\r\nBOB\r\n", "USERS", "BOB", std::nullopt},
        LookupCase{"beforeFirstSection", "BOB=1\r\n[USERS]\r\n", "USERS", "BOB", std::nullopt},
        LookupCase{"firstSectionCounts", "[USERS]\r\nA=1\r\n[users]\r\nB=2\r\n", "USERS", "B", std::nullopt},
        LookupCase{"firstKeyAnswers", "[USERS]\r\nBOB=1\r\nbob=2\r\n", "USERS", "BOB", "1"},
        LookupCase{"doubleQuotes", "[USERS]\r\nBOB=\" x \"\r\n", "USERS", "BOB", " x "},
        LookupCase{"singleQuotes", "[USERS]\r\nBOB='x'\r\n", "USERS", "BOB", "x"},
        LookupCase{"unmatchedQuotes", "[USERS]\r\nBOB=\"x'\r\n", "USERS", "BOB", "\"x'"},
        LookupCase{"highBytesKept", "[USERS]\r\nBOB=\xC3\xC6\xC9\r\n", "USERS", "BOB", "\xC3\xC6\xC9"},
        LookupCase{"equalsInValue", "[USERS]\r\nBOB=a=b\r\n", "USERS", "BOB", "a=b"},
        LookupCase{"otherSection", "[USERS]\r\n[MORE]\r\nBOB=1\r\n", "USERS", "BOB", std::nullopt},
        // "[" without "]" opens no section: the line belongs to the one before.
        LookupCase{"unclosedHeaderIsNoSection", "[USERS]\r\n[MORE\r\nBOB=1\r\n", "USERS", "BOB", "1"},
        // Unicode files are decoded and their text taken as Windows-1252.
        LookupCase{"utf8MarkDecoded", "\xEF\xBB\xBF[USERS]\r\nJOS\xC3\x89=1\r\n", "USERS", "JOS\xC9", "1"},
        LookupCase{"utf8NearestLetter", "\xEF\xBB\xBF[USERS]\r\nBOB=\xC5\x81\xC3\xB3" "d\xC5\xBA\r\n", "USERS", "BOB",
                   "L\xF3" "dz"},
        LookupCase{"utf16Le", Bytes("\xFF\xFE[\0U\0S\0E\0R\0S\0]\0\r\0\n\0B\0O\0B\0=\0\x05\x01\r\0\n\0"),
                   "USERS", "BOB", "a"},
        LookupCase{"utf16Be", Bytes("\xFE\xFF\0[\0U\0S\0E\0R\0S\0]\0\n\0B\0O\0B\0=\0\xC9"), "USERS",
                   "BOB", "\xC9"},
        LookupCase{"utf16WithoutMarkIsNotUtf16", Bytes("[\0U\0S\0E\0R\0S\0]\0\n\0B\0O\0B\0=\0\x31\0"),
                   "USERS", "BOB", std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(ProfileKeys, InFileOrderEachOnce) {
  const Profile p = Profile::Parse("[USERS]\r\nZOE=\r\n;OLD=\r\nAL=x\r\nMARY ANN SMITH=1\r\nzoe=2\r\nNOKEY\r\n");
  EXPECT_EQ(p.Keys("users"), (std::vector<std::string>{"ZOE", "AL", "MARY ANN SMITH"}));
  EXPECT_TRUE(p.Keys("OTHER").empty());
}

struct EditCase {
  const char* name;
  std::string before;
  std::string after;
};

class ProfileEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(ProfileEdit, ChangesOnlyWhatItMust) {
  Profile p = Profile::Parse(GetParam().before);
  p.SetValue("USERS", "BOB", "\xC3\xC6");
  EXPECT_EQ(p.Serialize(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileEdit,
    ::testing::Values(
        EditCase{"newFile", "", "[USERS]\r\nBOB=\xC3\xC6\r\n"},
        EditCase{"replaceKeepsOtherLines", "; users\n[Users]\nalice = 1\nbob = old\n[X]\nbob=2\n",
                 "; users\n[Users]\nalice = 1\nBOB=\xC3\xC6\n[X]\nbob=2\n"},
        EditCase{"addToSection", "[USERS]\r\nALICE=1\r\n\r\n[X]\r\n", "[USERS]\r\nALICE=1\r\nBOB=\xC3\xC6\r\n\r\n[X]\r\n"},
        EditCase{"addSection", "[X]\r\nA=1", "[X]\r\nA=1\r\n\r\n[USERS]\r\nBOB=\xC3\xC6\r\n"},
        EditCase{"unterminatedLastKey", "[USERS]\nA=1", "[USERS]\nA=1\r\nBOB=\xC3\xC6\r\n"}),
    [](const auto& info) { return info.param.name; });

TEST(ProfileUnicode, AWriteKeepsTheEncodingAndTheOtherLines) {
  // UTF-16 LE: "[USERS]", "\u0141ADA=1" (a name with no Windows-1252 form).
  const std::string before("\xFF\xFE[\0U\0S\0E\0R\0S\0]\0\r\0\n\0\x41\x01\x41\0\x44\0\x41\0=\0\x31\0\r\0\n\0", 36);
  Profile p = Profile::Parse(before);
  EXPECT_EQ(p.Keys("USERS"), std::vector<std::string>{"LADA"});
  p.SetValue("USERS", "BOB", "\xC9");
  const std::string after = p.Serialize();
  EXPECT_EQ(after.substr(0, before.size()), before);  // the untouched line keeps its letter
  EXPECT_EQ(after.substr(before.size()), Bytes("B\0O\0B\0=\0\xC9\0\r\0\n\0"));
  EXPECT_EQ(Profile::Parse(after).Value("USERS", "BOB"), "\xC9");
}

class ProfileFileTest : public ::testing::Test {
 protected:
  ProfileFileTest() {
    ::setenv("KVMAIL_LOCK_DIRECTORIES", "always", 1);  // on this local disk too
    platform::faults::Clear();
  }
  ~ProfileFileTest() override { platform::faults::Clear(); }
  std::vector<std::string> Entries() const { return dir.Names(); }
  TempDir dir;
};

TEST_F(ProfileFileTest, AFileThatCannotBeReadGivesTheDefault) {
  EXPECT_EQ(platform::ReadProfileString(dir.File("MASTER.INI"), "USERS", "BOB", "dflt"), "dflt");
  EXPECT_TRUE(platform::ReadProfileKeys(dir.File("MASTER.INI"), "USERS").empty());
}

TEST_F(ProfileFileTest, WriteCreatesAndReplaces) {
  const std::string path = dir.File("MAILBOX.INI");
  ASSERT_EQ(platform::WriteProfileString(path, "USERS", "BOB", "1"), 0);
  ASSERT_EQ(platform::WriteProfileString(path, "USERS", "ALICE", "2"), 0);
  ASSERT_EQ(platform::WriteProfileString(path, "USERS", "bob", ""), 0);
  EXPECT_EQ(ReadFile(path), "[USERS]\r\nbob=\r\nALICE=2\r\n");
}

TEST_F(ProfileFileTest, AFailedWriteLeavesTheFileAsItWas) {
  const std::string path = dir.File("MAILBOX.INI");
  WriteFile(path, "[USERS]\r\nBOB=1\r\n");
  platform::faults::Arm("write", 2, ENOSPC);  // the first is the lock directory's OWNER
  EXPECT_EQ(platform::WriteProfileString(path, "USERS", "BOB", "2"), 101);
  platform::faults::Arm("rename", 1, EIO);
  EXPECT_EQ(platform::WriteProfileString(path, "USERS", "BOB", "2"), platform::CodeFromErrno(EIO, platform::IoOp::kWrite));
  EXPECT_EQ(ReadFile(path), "[USERS]\r\nBOB=1\r\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"MAILBOX.INI"});  // no temporary, no lock left
}

// A share client that will not replace a file while it is open (smbnetfs
// answers EBUSY) loses no change: the move is made again with the file
// closed, and where that is refused as well, the file is written in place.
TEST_F(ProfileFileTest, AClientRefusingToReplaceAnOpenFileLosesNoChange) {
  const std::string path = dir.File("MAILBOX.INI");
  WriteFile(path, "[USERS]\r\nBOB=1\r\nALICE=a rather longer value\r\n");
  for (int err : {EBUSY, EACCES, EPERM}) {
    for (bool always : {false, true}) {
      platform::faults::Clear();
      platform::faults::Arm("rename", 1, err, /*sticky=*/always);
      const std::string value = std::to_string(err) + (always ? "in place" : "closed");
      ASSERT_EQ(platform::WriteProfileString(path, "USERS", "ALICE", value), 0) << value;
      EXPECT_EQ(ReadFile(path), "[USERS]\r\nBOB=1\r\nALICE=" + value + "\r\n");  // cut to its length
      EXPECT_EQ(Entries(), std::vector<std::string>{"MAILBOX.INI"}) << value;
    }
  }
}

TEST_F(ProfileFileTest, ALineEndInAValueIsRefused) {
  const std::string path = dir.File("MAILBOX.INI");
  EXPECT_EQ(platform::WriteProfileString(path, "USERS", "BOB", "a\nEVE=1"), platform::kInvalidData);
  EXPECT_EQ(platform::ReadProfileString(path, "USERS", "EVE", "none"), "none");
}

TEST_F(ProfileFileTest, ConcurrentWritersLoseNoChange) {
  const std::string path = dir.File("MAILBOX.INI");
  constexpr int kWriters = 4, kKeysEach = 25;
  std::vector<std::unique_ptr<testing_support::Subprocess>> writers;
  for (int w = 0; w < kWriters; ++w)
    writers.push_back(std::make_unique<testing_support::Subprocess>(
        KVMAIL_PROFILE_HELPER, std::vector<std::string>{path, "W" + std::to_string(w), std::to_string(kKeysEach)}));
  for (auto& writer : writers) EXPECT_EQ(writer->Wait(), 0);
  const auto keys = platform::ReadProfileKeys(path, "USERS");
  EXPECT_EQ(keys.size(), static_cast<size_t>(kWriters * kKeysEach));
  for (int w = 0; w < kWriters; ++w)
    for (int k = 0; k < kKeysEach; ++k) {
      const std::string key = "W" + std::to_string(w) + "_" + std::to_string(k);
      EXPECT_EQ(platform::ReadProfileString(path, "USERS", key, "missing"), std::to_string(k)) << key;
    }
}

}  // namespace
