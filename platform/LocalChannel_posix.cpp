#include "platform/LocalChannel.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/Environment.h"
#include "platform/ErrorCode.h"
#include "platform/Path.h"

namespace platform {

namespace {

std::string TemporaryDirectory() {
  std::string dir = GetEnv("TMPDIR");
  if (dir.empty() || dir.front() != '/') dir = "/tmp";
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

// The address of `path`; false when it is too long for one.
bool AddressOf(const std::string& path, sockaddr_un& address) {
  memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

}  // namespace

std::string LocalChannelPath(const std::string& name) { return JoinPath(TemporaryDirectory(), name); }

bool KnockAt(const std::string& name) {
  sockaddr_un address;
  if (!AddressOf(LocalChannelPath(name), address)) return false;
  // Never waits: a copy that listens takes the knock from its queue later.
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  int result;
  do result = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  while (result != 0 && errno == EINTR);
  close(fd);
  return result == 0;
}

LocalListener::~LocalListener() {
  if (fd_ < 0) return;
  close(fd_);
  // The name goes only while it is still this copy's socket.
  struct stat now;
  if (!path_.empty() && lstat(path_.c_str(), &now) == 0 && S_ISSOCK(now.st_mode) && now.st_ino == inode_)
    unlink(path_.c_str());
}

int LocalListener::Listen(const std::string& name) {
  const std::string path = LocalChannelPath(name);
  // Made in a folder only this user may enter, then moved into place under
  // its name in one step: nobody else can reach it in between, and a
  // socket a copy that ended left there is replaced.
  std::string folder = JoinPath(TemporaryDirectory(), ".kvmail-listen-XXXXXX");
  sockaddr_un address, madeAddress;
  if (!AddressOf(path, address) || !AddressOf(folder + "/s", madeAddress))
    return CodeFromErrno(ENAMETOOLONG, IoOp::kOpen);
  if (mkdtemp(folder.data()) == nullptr) return CodeFromErrno(errno, IoOp::kOpen);
  const std::string placedFrom = folder + "/s";
  AddressOf(placedFrom, madeAddress);
  int err = 0;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&madeAddress), sizeof madeAddress) != 0 ||
      listen(fd, 50) != 0 || chmod(placedFrom.c_str(), 0600) != 0 || rename(placedFrom.c_str(), path.c_str()) != 0)
    err = errno;
  struct stat placed;
  if (err == 0 && lstat(path.c_str(), &placed) != 0) err = errno;
  if (err != 0) {
    unlink(placedFrom.c_str());
    if (fd >= 0) close(fd);
  }
  rmdir(folder.c_str());
  if (err != 0) return CodeFromErrno(err, IoOp::kOpen);
  if (fd_ >= 0) close(fd_);
  fd_ = fd;
  path_ = path;
  inode_ = placed.st_ino;
  return kOk;
}

int LocalListener::TakeKnocks() {
  int knocks = 0;
  while (fd_ >= 0) {
    const int knock = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (knock >= 0) {
      close(knock);
      ++knocks;
    } else if (errno != EINTR) {
      break;
    }
  }
  return knocks;
}

}  // namespace platform
