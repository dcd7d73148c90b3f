// A channel between copies of the program run by one user on one machine:
// the first copy listens under a name, and a later one knocks there to tell
// it that it was started again.
#pragma once

#include <string>

namespace platform {

// Where a channel named `name` lives: a socket in the temporary directory.
std::string LocalChannelPath(const std::string& name);

// Knocks at the channel `name`.  True when a copy listens there (it has
// then been told); false when none does, or the knock failed.
bool KnockAt(const std::string& name);

class LocalListener {
 public:
  LocalListener() = default;
  ~LocalListener();
  LocalListener(const LocalListener&) = delete;
  LocalListener& operator=(const LocalListener&) = delete;

  // Listens under `name`, reachable by this user alone, in place of a
  // channel a copy that ended left behind.  Returns 0 or the failure's
  // code (ErrorCode.h).
  int Listen(const std::string& name);
  // The descriptor to wait on for knocks; -1 while not listening.
  int Handle() const { return fd_; }
  // Takes every knock waiting; returns how many there were.
  int TakeKnocks();

 private:
  int fd_ = -1;
  std::string path_;
  unsigned long long inode_ = 0;  // of the socket placed under path_
};

}  // namespace platform
