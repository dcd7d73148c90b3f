#include "platform/Syscall_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/FaultInjection.h"

namespace platform {
namespace {

enum Call { kOpen, kCreate, kRead, kWrite, kFsync, kClose, kLock, kStat, kUnlink,
            kRename, kTruncate, kChmod, kOpendir, kReaddir, kClock, kMkdir, kUtime, kRmdir, kAccess, kCallCount };

constexpr std::array<std::string_view, kCallCount> kCallNames = {
    "open", "create", "read", "write", "fsync", "close", "lock", "stat", "unlink",
    "rename", "truncate", "chmod", "opendir", "readdir", "clock", "mkdir", "utime", "rmdir", "access"};

struct Fault {
  int call;
  int nth;  // counted from the moment of arming
  int err;
  bool sticky;
  int seen = 0;
};

struct Seam {
  std::mutex mutex;
  std::array<int, kCallCount> counts{};
  std::vector<Fault> faults;
};

Seam& TheSeam() {
  static Seam seam;
  return seam;
}

int CallIndex(std::string_view name) {
  for (int i = 0; i < kCallCount; ++i)
    if (kCallNames[i] == name) return i;
  return -1;
}

// Arms the faults that the environment names, once per process.
void ArmFromEnvironmentOnce() {
#ifdef KVMAIL_TEST_HOOKS
  static const bool armed = [] {
    const char* spec = std::getenv("KVMAIL_FAULTS");
    return spec != nullptr && faults::ArmFromText(spec);
  }();
  (void)armed;
#endif
}

// Counts the call; returns the errno of an armed fault, or 0 to go ahead.
// Builds without test hooks go ahead at once: the seam costs them nothing.
int Intercept(Call call) {
#ifndef KVMAIL_TEST_HOOKS
  (void)call;
  return 0;
#endif
  ArmFromEnvironmentOnce();
  Seam& seam = TheSeam();
  int err = 0;
  bool stop = false;
  {
    std::lock_guard lock(seam.mutex);
    ++seam.counts[call];
    for (Fault& fault : seam.faults) {
      if (fault.call != call) continue;
      ++fault.seen;  // every fault counts every call of its name
      if (fault.seen != fault.nth && !(fault.sticky && fault.seen > fault.nth)) continue;
      if (fault.err == faults::kStop) stop = true;
      else if (err == 0) err = fault.err;
    }
  }
  // Stopped before the call, as a process the system stops there; once
  // continued, the call is made.
  if (stop) ::raise(SIGSTOP);
  return err;
}

#define KV_FAULT_OR(call, failure)       \
  if (int err_ = Intercept(call)) {     \
    errno = err_;                       \
    return failure;                     \
  }

}  // namespace

namespace faults {

bool Arm(std::string_view call, int nth, int err, bool sticky) {
  const int index = CallIndex(call);
  if (index < 0 || nth < 1 || (err <= 0 && err != kStop)) return false;
  Seam& seam = TheSeam();
  std::lock_guard lock(seam.mutex);
  seam.faults.push_back(Fault{index, nth, err, sticky});
  return true;
}

bool ArmFromText(std::string_view spec) {
  struct Parsed { std::string call; int nth; int err; bool sticky; };
  std::vector<Parsed> parsed;
  while (!spec.empty()) {
    const size_t comma = spec.find(',');
    std::string_view item = spec.substr(0, comma);
    spec = comma == std::string_view::npos ? std::string_view{} : spec.substr(comma + 1);
    const size_t c1 = item.find(':');
    const size_t c2 = c1 == std::string_view::npos ? c1 : item.find(':', c1 + 1);
    if (c2 == std::string_view::npos) return false;
    std::string call(item.substr(0, c1));
    std::string count(item.substr(c1 + 1, c2 - c1 - 1));
    std::string errText(item.substr(c2 + 1));
    const bool sticky = !count.empty() && count.back() == '+';
    if (sticky) count.pop_back();
    char* end = nullptr;
    const long nth = std::strtol(count.c_str(), &end, 10);
    if (count.empty() || *end != '\0' || nth < 1) return false;
    int err = errText == "STOP" ? kStop : ErrnoFromName(errText);
    if (err == 0) {
      const long number = std::strtol(errText.c_str(), &end, 10);
      if (errText.empty() || *end != '\0' || number <= 0) return false;
      err = static_cast<int>(number);
    }
    if (CallIndex(call) < 0) return false;
    parsed.push_back({call, static_cast<int>(nth), err, sticky});
  }
  for (const Parsed& p : parsed) Arm(p.call, p.nth, p.err, p.sticky);
  return true;
}

void Clear() {
  ArmFromEnvironmentOnce();  // a test that clears takes over from the environment
  Seam& seam = TheSeam();
  std::lock_guard lock(seam.mutex);
  seam.faults.clear();
  seam.counts.fill(0);
}

int CallCount(std::string_view call) {
  const int index = CallIndex(call);
  if (index < 0) return 0;
  Seam& seam = TheSeam();
  std::lock_guard lock(seam.mutex);
  return seam.counts[index];
}

int ErrnoFromName(std::string_view name) {
  static constexpr struct { std::string_view name; int value; } kNames[] = {
      {"EPERM", EPERM},   {"ENOENT", ENOENT},   {"EIO", EIO},         {"EBADF", EBADF},
      {"EAGAIN", EAGAIN}, {"ENOMEM", ENOMEM},   {"EACCES", EACCES},   {"EBUSY", EBUSY},
      {"EEXIST", EEXIST}, {"ENOTDIR", ENOTDIR}, {"EISDIR", EISDIR},   {"EINVAL", EINVAL},
      {"EMFILE", EMFILE}, {"ENOSPC", ENOSPC},   {"EROFS", EROFS},     {"EDQUOT", EDQUOT},
      {"ENOLCK", ENOLCK}, {"ESTALE", ESTALE},   {"ETIMEDOUT", ETIMEDOUT},
      {"ENAMETOOLONG", ENAMETOOLONG}, {"EINTR", EINTR},
  };
  for (const auto& entry : kNames)
    if (entry.name == name) return entry.value;
  return 0;
}

}  // namespace faults

namespace sys {

int Open(const char* path, int flags, mode_t mode, bool mayCreate) {
  KV_FAULT_OR((mayCreate || (flags & O_CREAT)) ? kCreate : kOpen, -1);
  int fd;
  do fd = ::open(path, flags | O_CLOEXEC, mode);
  while (fd < 0 && errno == EINTR);
  return fd;
}

ssize_t Pread(int fd, void* buffer, size_t size, off_t offset) {
  KV_FAULT_OR(kRead, -1);
  ssize_t n;
  do n = ::pread(fd, buffer, size, offset);
  while (n < 0 && errno == EINTR);
  return n;
}

ssize_t Read(int fd, void* buffer, size_t size) {
  KV_FAULT_OR(kRead, -1);
  ssize_t n;
  do n = ::read(fd, buffer, size);
  while (n < 0 && errno == EINTR);
  return n;
}

ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset) {
  KV_FAULT_OR(kWrite, -1);
  ssize_t n;
  do n = ::pwrite(fd, buffer, size, offset);
  while (n < 0 && errno == EINTR);
  return n;
}

ssize_t Write(int fd, const void* buffer, size_t size) {
  KV_FAULT_OR(kWrite, -1);
  ssize_t n;
  do n = ::write(fd, buffer, size);
  while (n < 0 && errno == EINTR);
  return n;
}

int Fsync(int fd) {
  KV_FAULT_OR(kFsync, -1);
  return ::fsync(fd);
}

int Close(int fd) {
  if (int err = Intercept(kClose)) {
    ::close(fd);  // the descriptor is gone either way, as after a real failure
    errno = err;
    return -1;
  }
  return ::close(fd);
}

int Lock(int fd, short type) {
  KV_FAULT_OR(kLock, -1);
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // the whole file, however long it grows
  int result;
  do result = ::fcntl(fd, F_OFD_SETLK, &lock);
  while (result < 0 && errno == EINTR);
  return result;
}

int Fstat(int fd, struct stat* st) {
  KV_FAULT_OR(kStat, -1);
  return ::fstat(fd, st);
}

int Stat(const char* path, struct stat* st) {
  KV_FAULT_OR(kStat, -1);
  return ::stat(path, st);
}

int Lstat(const char* path, struct stat* st) {
  KV_FAULT_OR(kStat, -1);
  return ::lstat(path, st);
}

int Fstatat(int dirFd, const char* name, struct stat* st) {
  KV_FAULT_OR(kStat, -1);
  return ::fstatat(dirFd, name, st, 0);
}

int Mkdir(const char* path, mode_t mode) {
  KV_FAULT_OR(kMkdir, -1);
  return ::mkdir(path, mode);
}

int Access(const char* path, int mode) {
  KV_FAULT_OR(kAccess, -1);
  return ::access(path, mode);
}

int Rmdir(const char* path) {
  KV_FAULT_OR(kRmdir, -1);
  return ::rmdir(path);
}

int FstatSize(int fd, int64_t* size) {
  KV_FAULT_OR(kStat, -1);
  // Asked of the server, not of a client's cache of attributes: another
  // machine may have grown the file a moment ago.
  struct statx stx {};
  if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_FORCE_SYNC, STATX_SIZE, &stx) == 0 && (stx.stx_mask & STATX_SIZE)) {
    *size = static_cast<int64_t>(stx.stx_size);
    return 0;
  }
  if (errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP && errno != 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  *size = static_cast<int64_t>(st.st_size);
  return 0;
}

int StatSync(const char* path, struct stat* st) {
  KV_FAULT_OR(kStat, -1);
  struct statx stx {};
  if (::statx(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW | AT_STATX_FORCE_SYNC, STATX_BASIC_STATS, &stx) != 0) {
    if (errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return -1;
    return ::lstat(path, st);
  }
  *st = {};
  st->st_mode = stx.stx_mode;
  st->st_ino = stx.stx_ino;
  st->st_size = static_cast<off_t>(stx.stx_size);
  st->st_nlink = stx.stx_nlink;
  st->st_uid = stx.stx_uid;
  st->st_gid = stx.stx_gid;
  st->st_mtim.tv_sec = stx.stx_mtime.tv_sec;
  st->st_mtim.tv_nsec = stx.stx_mtime.tv_nsec;
  return 0;
}

int Utimensat(const char* path, const struct timespec times[2]) {
  KV_FAULT_OR(kUtime, -1);
  return ::utimensat(AT_FDCWD, path, times, 0);
}

int Unlink(const char* path) {
  KV_FAULT_OR(kUnlink, -1);
  return ::unlink(path);
}

int Rename(const char* from, const char* to) {
  KV_FAULT_OR(kRename, -1);
  return ::rename(from, to);
}

int Ftruncate(int fd, off_t size) {
  KV_FAULT_OR(kTruncate, -1);
  int result;
  do result = ::ftruncate(fd, size);
  while (result < 0 && errno == EINTR);
  return result;
}

int Chmod(const char* path, mode_t mode) {
  KV_FAULT_OR(kChmod, -1);
  return ::chmod(path, mode);
}

int Fchmod(int fd, mode_t mode) {
  KV_FAULT_OR(kChmod, -1);
  return ::fchmod(fd, mode);
}

DIR* Opendir(const char* path) {
  KV_FAULT_OR(kOpendir, nullptr);
  // Directories are read only to find names in them, and such a reading
  // leaves the directory's access time alone where the system allows it
  // (to the owner): otherwise every reading makes the next flush of a file
  // in the directory write the directory's inode to the disk as well.
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC;
  int fd = ::open(path, kFlags | O_NOATIME);
  if (fd < 0 && errno == EPERM) fd = ::open(path, kFlags);
  if (fd < 0) return nullptr;
  DIR* dir = ::fdopendir(fd);
  if (dir == nullptr) {
    const int err = errno;
    ::close(fd);
    errno = err;
  }
  return dir;
}

struct dirent* Readdir(DIR* dir) {
  KV_FAULT_OR(kReaddir, nullptr);
  errno = 0;
  return ::readdir(dir);
}

int Closedir(DIR* dir) { return ::closedir(dir); }

int ClockGettime(clockid_t clock, struct timespec* ts) {
  KV_FAULT_OR(kClock, -1);
  return ::clock_gettime(clock, ts);
}

}  // namespace sys
}  // namespace platform
