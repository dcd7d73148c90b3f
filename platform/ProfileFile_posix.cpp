#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Clock.h"
#include "platform/LockDirectory.h"
#include "platform/OpenFile_posix.h"
#include "platform/ProfileFile.h"
#include "platform/Syscall_posix.h"

namespace platform {
namespace {

constexpr int kLockWaitMs = 10000;
constexpr int kLockRetryMs = 20;

// Opens the file at `path` (creating it empty when missing) and takes the
// writers' lock on it.  The lock sits on the file that the name denotes at
// that moment; a writer that replaced the file meanwhile has made the lock
// worthless, so the name is checked again under the lock.  Returns the
// descriptor or -1 with `code` set.
int LockForWriting(const std::string& path, Links links, int& code) {
  for (int waited = 0;;) {
    const int fd = OpenFile(path, O_RDWR, /*create=*/true, links, code);
    if (fd < 0) return -1;
    if (sys::Lock(fd, F_WRLCK) == 0) {
      struct stat held {}, named {};
      const int namedCode = links == Links::kRefuse ? sys::Lstat(path.c_str(), &named) : sys::Stat(path.c_str(), &named);
      if (sys::Fstat(fd, &held) == 0 && namedCode == 0 && held.st_ino == named.st_ino &&
          held.st_dev == named.st_dev)
        return fd;
      sys::Close(fd);  // replaced under us: lock the new file
      continue;
    }
    const int lockCode = CodeFromErrno(errno, IoOp::kLock);
    sys::Close(fd);
    if (lockCode != kSharingViolation) {
      code = lockCode;
      return -1;
    }
    if (waited >= kLockWaitMs) {
      code = kSharingViolation;
      return -1;
    }
    SleepMs(kLockRetryMs);
    waited += kLockRetryMs;
  }
}

int ReadAll(int fd, std::string& bytes) {
  char buffer[65536];
  for (;;) {
    const ssize_t n = sys::Read(fd, buffer, sizeof buffer);
    if (n < 0) return CodeFromErrno(errno, IoOp::kRead);
    if (n == 0) return kOk;
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

// Writes `bytes` over the file at `path` and cuts it to their length.
// Returns 0 or the first failing code.
int WriteInPlace(const std::string& path, Links links, std::string_view bytes) {
  int code = kOk;
  // Read and write: some share clients cut only files open for both.
  const int fd = OpenFile(path, O_RDWR, /*create=*/false, links, code);
  if (fd < 0) return code;
  for (size_t done = 0; code == kOk && done < bytes.size();) {
    const ssize_t n = sys::Pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n <= 0) code = n < 0 ? CodeFromErrno(errno, IoOp::kWrite) : kWriteError;
    else done += static_cast<size_t>(n);
  }
  if (code == kOk && sys::Ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) code = CodeFromErrno(errno, IoOp::kWrite);
  if (code == kOk && sys::Fsync(fd) != 0) code = CodeFromErrno(errno, IoOp::kWrite);
  if (sys::Close(fd) != 0 && code == kOk) code = CodeFromErrno(errno, IoOp::kWrite);
  return code;
}

}  // namespace

int WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value, Links links) {
  // A line end inside a name or a value would add lines to the file that
  // other copies read as keys of their own.
  for (std::string_view part : {section, key, value})
    if (part.find_first_of("\r\n") != std::string_view::npos) return kInvalidData;

  // Writers on clients that pass no byte-range lock on meet at the lock
  // directory first.
  int code = kOk;
  LockDirectory guard;
  for (int waited = 0;; waited += kLockRetryMs) {
    code = guard.Take(LockDirectory::For(path));
    if (code != kSharingViolation || waited >= kLockWaitMs) break;
    SleepMs(kLockRetryMs);
  }
  if (code != kOk) return code;
  int fd = LockForWriting(path, links, code);
  if (fd < 0) return code;
  std::string bytes;
  struct stat st {};
  code = ReadAll(fd, bytes);
  if (code == kOk && sys::Fstat(fd, &st) != 0) code = CodeFromErrno(errno, IoOp::kRead);
  if (code == kOk) {
    Profile profile = Profile::Parse(bytes);
    profile.SetValue(section, key, value);
    const std::string serialized = profile.Serialize();
    const std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
    code = WriteTemporary(temporary, serialized, st.st_mode);
    if (code == kOk && sys::Rename(temporary.c_str(), path.c_str()) != 0) {
      int err = errno;
      // Some share clients refuse to replace a file that is open: once more
      // with ours closed (the lock directory still keeps writers out), and
      // where even that is refused, written in place.
      if (err == EBUSY || err == ETXTBSY || err == EACCES || err == EPERM) {
        sys::Close(fd);
        fd = -1;
        err = sys::Rename(temporary.c_str(), path.c_str()) == 0 ? 0 : errno;
        if (err == EBUSY || err == ETXTBSY || err == EACCES || err == EPERM) {
          code = WriteInPlace(path, links, serialized);
          err = 0;
        }
      }
      if (err != 0) code = CodeFromErrno(err, IoOp::kWrite);
      RemovePatiently(temporary, /*directory=*/false);
    }
  }
  if (fd >= 0) sys::Close(fd);  // the byte-range lock goes with it
  return code;
}

}  // namespace platform
