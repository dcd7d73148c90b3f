#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ErrorCode.h"
#include "platform/FaultInjection.h"
#include "platform/LockDirectory.h"
#include "support/TempDir.h"

namespace {

using platform::LockDirectory;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

std::string ThisHost() {
  char name[256] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

// A process id that is certainly not running: a child that has ended.
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

class LockDirectoryTest : public ::testing::Test {
 protected:
  LockDirectoryTest() {
    ::setenv("KVMAIL_LOCK_DIRECTORIES", "always", 1);  // on this local disk too
    platform::faults::Clear();
  }
  ~LockDirectoryTest() override { platform::faults::Clear(); }

  std::vector<std::string> Entries() const { return dir.Names(); }

  // A lock another holder left: `owner` in its OWNER (none when null),
  // made `age` seconds ago.
  void Plant(const char* owner, int age) {
    std::filesystem::create_directory(lock);
    if (owner != nullptr) WriteFile(lock + "/OWNER", owner);
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= age;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, lock.c_str(), times, 0), 0);
  }

  TempDir dir;
  std::string lock = LockDirectory::For(dir.File("BOB.LST"));
};

TEST_F(LockDirectoryTest, OneHolderAtATimeAndNothingLeftAfter) {
  EXPECT_EQ(lock, dir.File("BOB.LST.LCK"));
  LockDirectory a, b;
  ASSERT_EQ(a.Take(lock), 0);
  EXPECT_TRUE(a.IsHeld());
  const std::string owner = ReadFile(lock + "/OWNER");
  EXPECT_EQ(owner.rfind(ThisHost() + " " + std::to_string(getpid()) + " ", 0), 0u) << owner;
  EXPECT_EQ(b.Take(lock), platform::kSharingViolation);
  EXPECT_FALSE(b.IsHeld());
  EXPECT_EQ(a.Release(), 0);
  EXPECT_TRUE(Entries().empty());
  ASSERT_EQ(b.Take(lock), 0);
  {
    LockDirectory scoped;
    EXPECT_EQ(scoped.Take(dir.File("MSGNAMES.LCK")), 0);
  }
  EXPECT_EQ(Entries(), std::vector<std::string>{"BOB.LST.LCK"});  // the scoped one went with it
}

struct FoundLock {
  const char* name;
  std::string owner;  // "-" for none
  int age;            // seconds, by the share's clock
  bool broken;
};

class FoundLocks : public LockDirectoryTest, public ::testing::WithParamInterface<FoundLock> {};

// A lock found in place is broken only when its holder has certainly ended.
TEST_P(FoundLocks, BrokenOnlyWhenItsHolderEnded) {
  const FoundLock& found = GetParam();
  Plant(found.owner == "-" ? nullptr : found.owner.c_str(), found.age);
  LockDirectory taker;
  EXPECT_EQ(taker.Take(lock), found.broken ? 0 : platform::kSharingViolation);
  if (found.broken) {
    // The new holder's own, and nothing of the old one's or of the clock's.
    EXPECT_EQ(ReadFile(lock + "/OWNER").rfind(ThisHost() + " " + std::to_string(getpid()), 0), 0u);
    taker.Release();
    EXPECT_TRUE(Entries().empty());
  } else {
    EXPECT_EQ(ReadFile(lock + "/OWNER"), found.owner == "-" ? "" : found.owner);
    EXPECT_EQ(Entries(), std::vector<std::string>{"BOB.LST.LCK"});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Holders, FoundLocks,
    ::testing::Values(
        FoundLock{"otherHostFresh", "elsewhere 123 2026-12-11T10:00:00\n", 10, false},
        FoundLock{"otherHostOld", "elsewhere 123 2026-12-11T10:00:00\n", 120, true},
        FoundLock{"endedHereFresh", ThisHost() + " " + std::to_string(EndedProcess()) + " x\n", 0, true},
        FoundLock{"runningHereFresh", ThisHost() + " " + std::to_string(getppid()) + " x\n", 10, false},
        FoundLock{"runningHereOld", ThisHost() + " " + std::to_string(getppid()) + " x\n", 120, true},
        // This very process, which holds no such lock: its release failed.
        FoundLock{"leftByThisProcess", ThisHost() + " " + std::to_string(getpid()) + " x\n", 0, true},
        FoundLock{"ownerlessJustMade", "-", 1, false},
        FoundLock{"ownerlessOld", "-", 10, true},
        FoundLock{"ownerUnwritten", "", 30, false},  // a holder whose disk was full
        FoundLock{"ownerGarbled", "\x01\x02 -5", 30, false}),
    [](const auto& info) { return info.param.name; });

// On a disk of this machine the byte-range lock is enough, and a lock
// directory would cost more than a delivery: none is made unless asked.
TEST_F(LockDirectoryTest, OnALocalDiskNoneIsMadeUnlessAsked) {
  ::unsetenv("KVMAIL_LOCK_DIRECTORIES");
  LockDirectory a, b;
  EXPECT_EQ(a.Take(lock), 0);
  EXPECT_FALSE(a.IsHeld());
  EXPECT_EQ(b.Take(lock), 0);
  EXPECT_TRUE(Entries().empty());
  ::setenv("KVMAIL_LOCK_DIRECTORIES", "always", 1);
  EXPECT_EQ(a.Take(lock), 0);
  EXPECT_TRUE(a.IsHeld());
  EXPECT_EQ(b.Take(lock), platform::kSharingViolation);
}

TEST_F(LockDirectoryTest, SomethingElseInItsPlaceIsNeverRemoved) {
  WriteFile(lock, "not a lock");
  LockDirectory taker;
  EXPECT_EQ(taker.Take(lock), platform::kNotARegularFile);
  EXPECT_EQ(ReadFile(lock), "not a lock");
  EXPECT_EQ(taker.Take(dir.File("nowhere/BOB.LST.LCK")), platform::kPathNotFound);
}

// Whatever call fails on the way in, the caller learns it and nothing is
// left behind; a lock that was taken is released whole.
TEST_F(LockDirectoryTest, AFailureAnywhereLeavesNothingBehind) {
  for (const char* call : {"mkdir", "chmod", "create", "write", "close", "unlink", "rmdir", "stat"}) {
    for (int nth = 1; nth <= 2; ++nth) {
      platform::faults::Clear();
      platform::faults::Arm(call, nth, EIO);
      LockDirectory taker;
      const int code = taker.Take(lock);
      EXPECT_EQ(taker.IsHeld(), code == 0) << call << nth;
      const int released = taker.Release();
      EXPECT_FALSE(taker.IsHeld());
      platform::faults::Clear();
      // Only a release that failed leaves its lock, to be broken later as
      // any lock of a holder gone; no name of the taker's stays otherwise.
      const std::string removal(call);
      if (released != 0 && (removal == "unlink" || removal == "rmdir")) {
        EXPECT_EQ(Entries(), std::vector<std::string>{"BOB.LST.LCK"}) << call << nth;
        std::filesystem::remove_all(lock);
      }
      EXPECT_TRUE(Entries().empty()) << call << nth;
    }
  }
  platform::faults::Arm("mkdir", 1, EACCES);
  LockDirectory taker;
  EXPECT_EQ(taker.Take(lock), platform::kAccessDenied);
  platform::faults::Arm("create", 1, ENOSPC);
  EXPECT_NE(taker.Take(lock), 0);  // no OWNER can be made: no lock
  EXPECT_TRUE(Entries().empty());
}

}  // namespace
