#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "platform/ErrorCode.h"
#include "platform/FaultInjection.h"
#include "platform/ProfileFile.h"
#include "support/Subprocess.h"
#include "support/TempDir.h"

namespace {

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
        LookupCase{"otherSection", "[USERS]\r\n[MORE]\r\nBOB=1\r\n", "USERS", "BOB", std::nullopt}),
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

class ProfileFileTest : public ::testing::Test {
 protected:
  ProfileFileTest() { platform::faults::Clear(); }
  ~ProfileFileTest() override { platform::faults::Clear(); }
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
  platform::faults::Arm("write", 1, ENOSPC);
  EXPECT_EQ(platform::WriteProfileString(path, "USERS", "BOB", "2"), 101);
  platform::faults::Arm("rename", 1, EACCES);
  EXPECT_EQ(platform::WriteProfileString(path, "USERS", "BOB", "2"), 5);
  EXPECT_EQ(ReadFile(path), "[USERS]\r\nBOB=1\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
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
