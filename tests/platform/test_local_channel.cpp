#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>

#include "platform/LocalChannel.h"
#include "support/TempDir.h"

namespace {

using platform::KnockAt;
using platform::LocalListener;

// Each test's channels live in a temporary directory of its own.
class LocalChannelTest : public ::testing::Test {
 protected:
  LocalChannelTest() { ::setenv("TMPDIR", tmp.path().c_str(), 1); }
  ~LocalChannelTest() override { ::unsetenv("TMPDIR"); }
  testing_support::TempDir tmp;
};

TEST_F(LocalChannelTest, AKnockReachesTheCopyThatListensAndNoOther) {
  EXPECT_FALSE(KnockAt("kvmail-one"));
  LocalListener listener;
  ASSERT_EQ(listener.Listen("kvmail-one"), 0);
  EXPECT_EQ(platform::LocalChannelPath("kvmail-one"), tmp.File("kvmail-one"));
  EXPECT_EQ(listener.TakeKnocks(), 0);
  EXPECT_TRUE(KnockAt("kvmail-one"));
  EXPECT_TRUE(KnockAt("kvmail-one"));
  EXPECT_FALSE(KnockAt("kvmail-two"));
  EXPECT_EQ(listener.TakeKnocks(), 2);
  EXPECT_EQ(listener.TakeKnocks(), 0);

  // Only this user may knock, and nothing is left beside the channel.
  struct stat st;
  ASSERT_EQ(::lstat(tmp.File("kvmail-one").c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 1);
}

TEST_F(LocalChannelTest, AChannelLeftByACopyThatEndedIsReplaced) {
  // A socket whose program died: its name is there, nobody listens.
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, tmp.File("kvmail-left").c_str());
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);
  EXPECT_FALSE(KnockAt("kvmail-left"));

  LocalListener listener;
  ASSERT_EQ(listener.Listen("kvmail-left"), 0);
  EXPECT_TRUE(KnockAt("kvmail-left"));
  EXPECT_EQ(listener.TakeKnocks(), 1);
}

TEST_F(LocalChannelTest, AListenerTakesAwayOnlyItsOwnChannel) {
  {
    LocalListener listener;
    ASSERT_EQ(listener.Listen("kvmail-own"), 0);
  }
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(tmp.File("kvmail-own"))));

  // A later copy took the name over: the earlier one, ending, leaves it.
  auto first = std::make_unique<LocalListener>();
  ASSERT_EQ(first->Listen("kvmail-shared"), 0);
  LocalListener second;
  ASSERT_EQ(second.Listen("kvmail-shared"), 0);
  first.reset();
  EXPECT_TRUE(KnockAt("kvmail-shared"));
  EXPECT_EQ(second.TakeKnocks(), 1);
}

TEST_F(LocalChannelTest, ANameTooLongForAChannelIsRefused) {
  LocalListener listener;
  const std::string name(200, 'k');
  EXPECT_NE(listener.Listen(name), 0);
  EXPECT_EQ(listener.Handle(), -1);
  EXPECT_FALSE(KnockAt(name));
}

}  // namespace
