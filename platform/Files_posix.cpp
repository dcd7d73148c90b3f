#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/Files.h"
#include "platform/Path.h"
#include "platform/Syscall_posix.h"
#include "platform/Text.h"

namespace platform {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask

void FillInfo(const struct stat& st, std::string_view name, FileInfo& info) {
  info.name = std::string(name);
  info.size = static_cast<int64_t>(st.st_size);
  info.isDirectory = S_ISDIR(st.st_mode);
  info.readOnly = (st.st_mode & S_IWUSR) == 0;
  info.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Writes all of `bytes`, resuming after short writes.  Returns 0 or a code.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = sys::Write(fd, bytes.data(), bytes.size());
    if (n < 0) return CodeFromErrno(errno, IoOp::kWrite);
    if (n == 0) return kWriteError;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return kOk;
}

}  // namespace

int StatFile(const std::string& path, FileInfo& info) {
  struct stat st {};
  if (sys::Stat(path.c_str(), &st) != 0) return PathErrorCode(errno, path, IoOp::kOther);
  FillInfo(st, FileNamePart(path), info);
  return kOk;
}

bool FileExists(const std::string& path) {
  FileInfo info;
  return !path.empty() && StatFile(path, info) == kOk;
}

int FindFiles(const std::string& directory, std::string_view pattern, std::vector<FileInfo>& entries) {
  const std::string dirPath = directory.empty() ? "." : directory;
  DIR* dir = sys::Opendir(dirPath.c_str());
  if (dir == nullptr) {
    const int err = errno;
    return err == ENOENT ? kPathNotFound : CodeFromErrno(err, IoOp::kOpen);
  }
  int code = kOk;
  bool matched = false;
  for (;;) {
    struct dirent* entry = sys::Readdir(dir);
    if (entry == nullptr) {
      if (errno != 0) code = CodeFromErrno(errno, IoOp::kRead);
      break;
    }
    const std::string_view name = entry->d_name;
    if (name == "." || name == ".." || !MatchesDosPattern(name, pattern)) continue;
    FileInfo info;
    struct stat st {};
    // An entry that vanished between the listing and the stat is skipped.
    if (sys::Fstatat(dirfd(dir), entry->d_name, &st) != 0) continue;
    FillInfo(st, name, info);
    entries.push_back(std::move(info));
    matched = true;
  }
  sys::Closedir(dir);
  if (code == kOk && !matched) return kFileNotFound;
  return code;
}

std::string ResolveName(const std::string& directory, std::string_view name, bool* exists) {
  std::string exact = JoinPath(directory, name);
  if (exists != nullptr) *exists = false;
  struct stat st {};
  if (sys::Stat(exact.c_str(), &st) == 0) {
    if (exists != nullptr) *exists = true;
    return exact;
  }
  if (errno != ENOENT) return exact;
  DIR* dir = sys::Opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return exact;
  std::string found;
  while (struct dirent* entry = sys::Readdir(dir)) {
    if (EqualsIgnoreCase(entry->d_name, name)) {
      found = JoinPath(directory, entry->d_name);
      break;
    }
  }
  sys::Closedir(dir);
  if (found.empty()) return exact;
  if (exists != nullptr) *exists = true;
  return found;
}

int CreateExclusive(const std::string& path) {
  const int fd = sys::Open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_SYNC, kNewFileMode);
  if (fd < 0) return PathErrorCode(errno, path, IoOp::kOpen);
  if (sys::Close(fd) != 0) return CodeFromErrno(errno, IoOp::kWrite);
  return kOk;
}

int WriteWholeFile(const std::string& path, std::string_view bytes) {
  const int fd = sys::Open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, kNewFileMode);
  if (fd < 0) return PathErrorCode(errno, path, IoOp::kOpen);
  int code = WriteAll(fd, bytes);
  if (code == kOk && sys::Fsync(fd) != 0) code = CodeFromErrno(errno, IoOp::kWrite);
  if (sys::Close(fd) != 0 && code == kOk) code = CodeFromErrno(errno, IoOp::kWrite);
  return code;
}

int ReadWholeFile(const std::string& path, std::string& bytes, size_t limit) {
  bytes.clear();
  const int fd = sys::Open(path.c_str(), O_RDONLY);
  if (fd < 0) return PathErrorCode(errno, path, IoOp::kOpen);
  int code = kOk;
  char buffer[65536];
  while (bytes.size() < limit) {
    const ssize_t n = sys::Read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()));
    if (n < 0) {
      code = CodeFromErrno(errno, IoOp::kRead);
      break;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  sys::Close(fd);
  return code;
}

int DeleteFile(const std::string& path, bool clearAttributes) {
  if (sys::Unlink(path.c_str()) == 0) return kOk;
  int code = PathErrorCode(errno, path, IoOp::kOther);
  if (code == kAccessDenied && clearAttributes) {
    SetReadOnly(path, false);
    code = sys::Unlink(path.c_str()) == 0 ? kOk : PathErrorCode(errno, path, IoOp::kOther);
  }
  return code;
}

int SetReadOnly(const std::string& path, bool readOnly) {
  struct stat st {};
  if (sys::Stat(path.c_str(), &st) != 0) return PathErrorCode(errno, path, IoOp::kOther);
  const mode_t mode = readOnly ? (st.st_mode & ~mode_t{S_IWUSR | S_IWGRP | S_IWOTH}) : (st.st_mode | S_IWUSR);
  if (sys::Chmod(path.c_str(), mode & 07777) != 0) return CodeFromErrno(errno, IoOp::kOther);
  return kOk;
}

int SetModifiedTime(const std::string& path, int64_t modifiedNs) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(modifiedNs / 1000000000);
  times[1].tv_nsec = static_cast<long>(modifiedNs % 1000000000);
  if (sys::Utimensat(path.c_str(), times) != 0) return CodeFromErrno(errno, IoOp::kOther);
  return kOk;
}

PlainFile::~PlainFile() { Close(); }

int PlainFile::OpenForReading(const std::string& path) {
  Close();
  fd_ = sys::Open(path.c_str(), O_RDONLY);
  return fd_ < 0 ? PathErrorCode(errno, path, IoOp::kOpen) : kOk;
}

int PlainFile::Create(const std::string& path) {
  Close();
  fd_ = sys::Open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, kNewFileMode);
  return fd_ < 0 ? PathErrorCode(errno, path, IoOp::kOpen) : kOk;
}

int PlainFile::Read(void* buffer, size_t capacity, size_t& got) {
  got = 0;
  const ssize_t n = sys::Read(fd_, buffer, capacity);
  if (n < 0) return CodeFromErrno(errno, IoOp::kRead);
  got = static_cast<size_t>(n);
  return kOk;
}

int PlainFile::Write(const void* buffer, size_t count) {
  return WriteAll(fd_, std::string_view(static_cast<const char*>(buffer), count));
}

int PlainFile::Flush() { return sys::Fsync(fd_) == 0 ? kOk : CodeFromErrno(errno, IoOp::kWrite); }

int PlainFile::Close() {
  if (fd_ < 0) return kOk;
  const int fd = fd_;
  fd_ = -1;
  return sys::Close(fd) == 0 ? kOk : CodeFromErrno(errno, IoOp::kWrite);
}

int MakeDirectories(const std::string& path) {
  if (path.empty()) return kOk;
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (sys::Mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      struct stat st {};
      if (sys::Stat(part.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return CodeFromErrno(errno, IoOp::kOther);
    }
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  return sys::Stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kOk : kPathNotFound;
}

}  // namespace platform
