#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "platform/Clock.h"
#include "platform/Environment.h"

namespace {

TEST(Environment, VariablesAreFoundWhateverTheCaseOfTheirName) {
  ::setenv("KvMail_Test_Var", "/srv/mail", 1);
  EXPECT_EQ(platform::GetEnv("KVMAIL_TEST_VAR"), "/srv/mail");
  EXPECT_EQ(platform::GetEnv("KvMail_Test_Var"), "/srv/mail");
  EXPECT_EQ(platform::GetEnv("KVMAIL_NO_SUCH_VAR"), "");
  ::unsetenv("KvMail_Test_Var");
}

TEST(Environment, ProgramDirIsTheDirectoryOfTheRunningProgram) {
  const std::string dir = platform::ProgramDir();
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(dir) / "test_environment"));
  EXPECT_NE(dir.back(), '/');
}

TEST(Environment, LoginNameIsTheUsersName) { EXPECT_FALSE(platform::LoginName().empty()); }

TEST(Clock, TimesAreInRange) {
  const platform::Clock& clock = platform::SystemClock();
  EXPECT_LT(clock.UtcMillisecondsSinceMidnight(), 86400000u);
  const platform::LocalTime now = clock.LocalNow();
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  const uint32_t before = clock.TickMs();
  platform::SleepMs(20);
  EXPECT_GE(clock.TickMs() - before, 20u);
}

}  // namespace
