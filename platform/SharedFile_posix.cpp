#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/OpenFile_posix.h"
#include "platform/SharedFile.h"
#include "platform/Syscall_posix.h"

namespace platform {

SharedFile::~SharedFile() { Close(); }

int SharedFile::Open(const std::string& path, ShareMode mode) {
  Close();
  // A mailbox is only ever a plain file of the Mail Directory: a link in
  // its place is refused, never read, emptied or appended to.
  int code = kOk;
  const int fd = OpenFile(path, mode == ShareMode::kRead ? O_RDONLY : O_RDWR, mode == ShareMode::kCreate,
                          Links::kRefuse, code);
  if (fd < 0) return code;
  if (sys::Lock(fd, mode == ShareMode::kRead ? F_RDLCK : F_WRLCK) != 0) {
    const int err = errno;
    sys::Close(fd);
    return CodeFromErrno(err, IoOp::kLock);
  }
  fd_ = fd;
  return kOk;
}

int SharedFile::Close() {
  if (fd_ < 0) return kOk;
  const int fd = fd_;
  fd_ = -1;
  return sys::Close(fd) == 0 ? kOk : CodeFromErrno(errno, IoOp::kWrite);
}

int SharedFile::Size(int64_t& size) const {
  if (sys::FstatSize(fd_, &size) != 0) return CodeFromErrno(errno, IoOp::kRead);
  return kOk;
}

int SharedFile::ReadAt(int64_t offset, void* buffer, size_t count) const {
  auto* out = static_cast<char*>(buffer);
  while (count > 0) {
    const ssize_t n = sys::Pread(fd_, out, count, static_cast<off_t>(offset));
    if (n < 0) return CodeFromErrno(errno, IoOp::kRead);
    if (n == 0) return kReadError;  // read past the end
    out += n;
    offset += n;
    count -= static_cast<size_t>(n);
  }
  return kOk;
}

int SharedFile::WriteAt(int64_t offset, const void* buffer, size_t count) {
  const auto* in = static_cast<const char*>(buffer);
  while (count > 0) {
    const ssize_t n = sys::Pwrite(fd_, in, count, static_cast<off_t>(offset));
    if (n < 0) return CodeFromErrno(errno, IoOp::kWrite);
    if (n == 0) return kWriteError;
    in += n;
    offset += n;
    count -= static_cast<size_t>(n);
  }
  return kOk;
}

int SharedFile::Truncate(int64_t size) {
  return sys::Ftruncate(fd_, static_cast<off_t>(size)) == 0 ? kOk : CodeFromErrno(errno, IoOp::kWrite);
}

int SharedFile::Flush() {
  return sys::Fsync(fd_) == 0 ? kOk : CodeFromErrno(errno, IoOp::kWrite);
}

}  // namespace platform
