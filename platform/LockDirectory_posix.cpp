#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>

#include "platform/Clock.h"
#include "platform/ErrorCode.h"
#include "platform/Files.h"
#include "platform/LockDirectory.h"
#include "platform/OpenFile_posix.h"
#include "platform/Syscall_posix.h"

namespace platform {
namespace {

constexpr mode_t kLockMode = 0770;  // others of the group may break it
constexpr int kTakeAttempts = 3;    // a lock released or broken meanwhile is tried again
constexpr size_t kOwnerLimit = 512;
constexpr int64_t kNsPerSecond = 1000000000;

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "unknown";
  for (char& c : name)
    if (c == ' ' || c == '\n' || c == '\r') c = '_';
  return name;
}

// The locks this process holds: an OWNER naming this process for a lock
// that is not among them was left by a release that failed.
std::mutex heldMutex;
std::set<std::string>& Held() {
  static std::set<std::string> held;
  return held;
}

bool HeldHere(const std::string& path) {
  std::lock_guard lock(heldMutex);
  return Held().count(path) != 0;
}

// A name for this process's own entries beside a lock: host and process,
// and a counter so that two locks of one process never share one.
std::string OwnTag() {
  static std::atomic<unsigned> counter{0};
  return HostName() + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

std::string OwnerText() {
  char when[32] = "";
  const std::time_t now = std::time(nullptr);
  struct tm local {};
  if (::localtime_r(&now, &local) != nullptr) std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &local);
  return HostName() + " " + std::to_string(::getpid()) + " " + when + "\n";
}

int64_t ChangedNs(const struct stat& st) {
  return static_cast<int64_t>(st.st_mtim.tv_sec) * kNsPerSecond + st.st_mtim.tv_nsec;
}

// The share's "now": the time it gives a directory made now beside the
// lock.  Returns 0 or a code.
int ShareNowNs(const std::string& lock, int64_t& now) {
  const std::string probe = lock + "." + OwnTag() + ".NOW";
  if (sys::Mkdir(probe.c_str(), kLockMode) != 0) return CodeFromErrno(errno, IoOp::kOpen);
  struct stat st {};
  const int statCode = sys::StatSync(probe.c_str(), &st) == 0 ? kOk : CodeFromErrno(errno, IoOp::kRead);
  sys::Rmdir(probe.c_str());
  if (statCode == kOk) now = ChangedNs(st);
  return statCode;
}

// Whether the OWNER text of the lock `path` names a process of this host
// that has ended, or this process when it does not hold that lock.
bool OwnerEndedHere(const std::string& path, const std::string& owner) {
  const size_t space = owner.find(' ');
  if (space == std::string::npos || owner.substr(0, space) != HostName()) return false;
  char* end = nullptr;
  const long pid = std::strtol(owner.c_str() + space + 1, &end, 10);
  if (end == owner.c_str() + space + 1 || (*end != ' ' && *end != '\n') || pid <= 0) return false;
  if (pid == ::getpid()) return !HeldHere(path);
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Removes a lock directory and its OWNER; leaves anything else alone.  On
// a share the OWNER stays while another copy reads it to judge the lock, so
// both removals are patient.
int RemoveLock(const std::string& path) {
  int err = RemovePatiently(path + "/OWNER", /*directory=*/false);
  if (err == 0) err = RemovePatiently(path, /*directory=*/true);
  return err == 0 ? kOk : CodeFromErrno(err, IoOp::kWrite);
}

// Decides whether the lock at `path`, found there, is stale, and breaks it
// when it is.  Returns 0 when it is gone now (broken, or released
// meanwhile), 32 when it holds, or the code of a failure.
int BreakWhenStale(const std::string& path) {
  struct stat st {};
  if (sys::StatSync(path.c_str(), &st) != 0) return errno == ENOENT ? kOk : CodeFromErrno(errno, IoOp::kRead);
  if (!S_ISDIR(st.st_mode)) return kNotARegularFile;  // something else in its place: never removed
  std::string owner;
  const int ownerCode = ReadSmallFile(path + "/OWNER", owner, kOwnerLimit);
  if (ownerCode == kPathNotFound) return kOk;  // released since the look
  // An OWNER that cannot be read is no evidence of anything: on a share it
  // is often one being removed.  The lock holds.
  if (ownerCode != kOk && ownerCode != kFileNotFound) return kSharingViolation;
  bool stale = ownerCode == kOk && OwnerEndedHere(path, owner);
  if (!stale) {
    int64_t now = 0;
    if (const int code = ShareNowNs(path, now)) return code;
    const int64_t limit = (ownerCode == kOk ? LockDirectory::kStaleAfterSeconds : LockDirectory::kOwnerlessAfterSeconds) *
                          kNsPerSecond;
    stale = now - ChangedNs(st) > limit;
  }
  if (!stale) return kSharingViolation;

  const std::string aside = path + "." + OwnTag() + ".OLD";
  if (sys::Rename(path.c_str(), aside.c_str()) != 0) return errno == ENOENT ? kOk : CodeFromErrno(errno, IoOp::kWrite);
  std::string moved;
  const int movedCode = ReadSmallFile(aside + "/OWNER", moved, kOwnerLimit);
  if (movedCode != ownerCode || moved != owner) {
    // Taken anew between the judging and the move: that holder keeps it.
    if (sys::Rename(aside.c_str(), path.c_str()) == 0) return kSharingViolation;
  }
  return RemoveLock(aside);
}

// Whether the folder holding `path` is on a disk of this machine, by the
// kind of file system: every copy that changes files there reaches them
// through this machine's kernel, whose byte-range locks and exclusive
// creation they all see.  Anything else (FUSE, SMB, NFS, a kind unknown
// here) may be a share reached by other machines.
bool OnLocalDisk(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  struct statfs fs {};
  if (::statfs(folder.c_str(), &fs) != 0) return false;
  static constexpr unsigned long kLocalKinds[] = {
      0xEF53,      // ext2, ext3, ext4
      0x58465342,  // xfs
      0x9123683E,  // btrfs
      0x01021994,  // tmpfs
      0xF2F52010,  // f2fs
      0x2FC12FC1,  // zfs
      0x3153464A,  // jfs
      0x794C7630,  // overlayfs
      0xCA451A4E,  // bcachefs
      0x4D44,      // vfat
      0x2011BAB0,  // exfat
      0x7366746E,  // ntfs3
  };
  for (unsigned long kind : kLocalKinds)
    if (static_cast<unsigned long>(fs.f_type) == kind) return true;
  return false;
}

// Whether this copy takes lock directories for `path`.
bool Wanted(const std::string& path) {
  const char* policy = std::getenv("KVMAIL_LOCK_DIRECTORIES");
  if (policy != nullptr && std::strcmp(policy, "always") == 0) return true;
  return !OnLocalDisk(path);
}

}  // namespace

int LockDirectory::Take(const std::string& path) {
  Release();
  if (!Wanted(path)) return kOk;  // the byte-range lock is enough
  for (int attempt = 1;; ++attempt) {
    if (sys::Mkdir(path.c_str(), kLockMode) == 0) break;
    const int err = errno;
    if (err != EEXIST) return err == ENOENT ? kPathNotFound : CodeFromErrno(err, IoOp::kOpen);
    const int code = BreakWhenStale(path);
    if (code != kOk) return code;
    if (attempt >= kTakeAttempts) return kSharingViolation;
  }
  // The group may break a lock of a holder that ended, whatever the umask.
  sys::Chmod(path.c_str(), kLockMode);
  // The OWNER is a hint for breaking: written, not flushed.  Once it is
  // there the lock counts as owned, even when its text could not be written
  // (a full disk): it is then broken only by its age.
  const std::string ownerPath = path + "/OWNER";
  const int fd = sys::Open(ownerPath.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW, kSharedFileMode);
  if (fd < 0) {
    const int code = CodeFromErrno(errno, IoOp::kOpen);
    RemoveLock(path);
    return code;
  }
  WriteAll(fd, OwnerText());
  sys::Close(fd);
  path_ = path;
  std::lock_guard lock(heldMutex);
  Held().insert(path_);
  return kOk;
}

int LockDirectory::Release() {
  if (path_.empty()) return kOk;
  const std::string path = std::move(path_);
  path_.clear();
  {
    std::lock_guard lock(heldMutex);
    Held().erase(path);
  }
  return RemoveLock(path);
}

}  // namespace platform
