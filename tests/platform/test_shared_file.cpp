#include <gtest/gtest.h>

#include <cerrno>

#include "platform/ErrorCode.h"
#include "platform/FaultInjection.h"
#include "platform/SharedFile.h"
#include "support/TempDir.h"

namespace {

using platform::ShareMode;
using platform::SharedFile;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

class SharedFileTest : public ::testing::Test {
 protected:
  SharedFileTest() {
    platform::faults::Clear();
    WriteFile(path, "abcdef");
  }
  ~SharedFileTest() override { platform::faults::Clear(); }
  TempDir dir;
  std::string path = dir.File("BOB.LST");
};

struct ShareCase {
  const char* name;
  ShareMode first;
  ShareMode second;
  int code;
};

class SharingRules : public SharedFileTest, public ::testing::WithParamInterface<ShareCase> {};

// Two opens within one process exclude each other as two copies do.
TEST_P(SharingRules, SecondOpenMeetsTheFirst) {
  SharedFile a, b;
  ASSERT_EQ(a.Open(path, GetParam().first), 0);
  EXPECT_EQ(b.Open(path, GetParam().second), GetParam().code);
  EXPECT_EQ(b.IsOpen(), GetParam().code == 0);
  a.Close();
  EXPECT_EQ(b.Open(path, GetParam().second), 0);  // the lock went with the close
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SharingRules,
    ::testing::Values(ShareCase{"readersShare", ShareMode::kRead, ShareMode::kRead, 0},
                      ShareCase{"readerHoldsOffWriter", ShareMode::kRead, ShareMode::kUpdate, 32},
                      ShareCase{"writerHoldsOffReader", ShareMode::kUpdate, ShareMode::kRead, 32},
                      ShareCase{"writerHoldsOffWriter", ShareMode::kUpdate, ShareMode::kUpdate, 32},
                      ShareCase{"writerHoldsOffCreator", ShareMode::kUpdate, ShareMode::kCreate, 32}),
    [](const auto& info) { return info.param.name; });

TEST_F(SharedFileTest, CreateNeverEmptiesAnExistingFile) {
  SharedFile f;
  ASSERT_EQ(f.Open(path, ShareMode::kCreate), 0);
  f.Close();
  EXPECT_EQ(ReadFile(path), "abcdef");
}

TEST_F(SharedFileTest, MissingFileAndMissingDirectoryAreToldApart) {
  SharedFile f;
  EXPECT_EQ(f.Open(dir.File("NONE.LST"), ShareMode::kUpdate), 2);
  EXPECT_EQ(f.Open(dir.File("nowhere/NONE.LST"), ShareMode::kRead), 3);
  EXPECT_EQ(f.Open(dir.File("nowhere/NONE.LST"), ShareMode::kCreate), 3);
  EXPECT_FALSE(f.IsOpen());
}

TEST_F(SharedFileTest, ReadsAndWritesAtPositions) {
  SharedFile f;
  ASSERT_EQ(f.Open(path, ShareMode::kUpdate), 0);
  char buffer[3];
  ASSERT_EQ(f.ReadAt(2, buffer, 3), 0);
  EXPECT_EQ(std::string(buffer, 3), "cde");
  EXPECT_EQ(f.ReadAt(4, buffer, 3), platform::kReadError);  // past the end
  ASSERT_EQ(f.WriteAt(6, "gh", 2), 0);
  ASSERT_EQ(f.Truncate(7), 0);
  int64_t size = 0;
  ASSERT_EQ(f.Size(size), 0);
  EXPECT_EQ(size, 7);
  f.Close();
  EXPECT_EQ(ReadFile(path), "abcdefg");
}

TEST_F(SharedFileTest, FailuresComeBackAsCodes) {
  SharedFile f;
  platform::faults::Arm("open", 1, EACCES);
  EXPECT_EQ(f.Open(path, ShareMode::kUpdate), 5);
  platform::faults::Arm("lock", 1, ENOLCK);
  EXPECT_EQ(f.Open(path, ShareMode::kUpdate), platform::kSystemErrorBase + ENOLCK);
  EXPECT_FALSE(f.IsOpen());
  ASSERT_EQ(f.Open(path, ShareMode::kUpdate), 0);
  platform::faults::Arm("write", 1, ENOSPC);
  EXPECT_EQ(f.WriteAt(0, "x", 1), 101);
  platform::faults::Arm("fsync", 1, EIO);
  EXPECT_EQ(f.Flush(), 160);  // a device fault, not a full disk
  platform::faults::Arm("stat", 1, ESTALE);  // the size is asked of the server, through the seam
  int64_t size = 0;
  EXPECT_EQ(f.Size(size), platform::CodeFromErrno(ESTALE, platform::IoOp::kRead));
}

}  // namespace
