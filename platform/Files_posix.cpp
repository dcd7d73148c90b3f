#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

#include "platform/Files.h"
#include "platform/Clock.h"
#include "platform/OpenFile_posix.h"
#include "platform/Path.h"
#include "platform/Syscall_posix.h"
#include "platform/Text.h"

namespace platform {
namespace {

constexpr mode_t kNewFileMode = 0666;  // less the umask: files the user saves

void FillInfo(const struct stat& st, std::string_view name, FileInfo& info) {
  info.name = std::string(name);
  info.size = static_cast<int64_t>(st.st_size);
  info.isDirectory = S_ISDIR(st.st_mode);
  info.isRegular = S_ISREG(st.st_mode);
  info.isLink = S_ISLNK(st.st_mode);
  info.readOnly = (st.st_mode & S_IWUSR) == 0;
  info.hidden = !name.empty() && name.front() == '.';
  info.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  info.changedNs = static_cast<int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
  info.device = static_cast<uint64_t>(st.st_dev);
  info.inode = static_cast<uint64_t>(st.st_ino);
}

int OpenErrorCode(int err, const std::string& path, Links links) {
  // O_NOFOLLOW meets a link at the end of the path; a folder cannot be
  // opened for writing.
  if (links == Links::kRefuse && (err == ELOOP || err == EISDIR)) return kNotARegularFile;
  return PathErrorCode(err, path, IoOp::kOpen);
}

}  // namespace

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = sys::Write(fd, bytes.data(), bytes.size());
    if (n < 0) return CodeFromErrno(errno, IoOp::kWrite);
    if (n == 0) return kWriteError;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return kOk;
}

int RemovePatiently(const std::string& path, bool directory) {
  int err = 0;
  for (int attempt = 1; attempt <= kRemoveAttempts; ++attempt) {
    if (attempt > 1) SleepMs(kRemovePauseMs);
    const int result = directory ? sys::Rmdir(path.c_str()) : sys::Unlink(path.c_str());
    err = result == 0 || errno == ENOENT ? 0 : errno;
    if (err != EBUSY && err != ENOTEMPTY && err != EEXIST && err != EACCES && err != EPERM) break;
  }
  return err;
}

int OpenFile(const std::string& path, int flags, bool create, Links links, int& code) {
  const int guard = links == Links::kRefuse ? O_NOFOLLOW | O_NONBLOCK : 0;
  // The file usually exists: it is opened first.  Only when it is missing
  // is it created, exclusively, so that a new file is known to be new; and
  // when another process creates it in between, it is opened again.
  for (int attempt = 0; attempt < 100; ++attempt) {
    int fd = sys::Open(path.c_str(), flags | guard, 0, create);
    if (fd < 0 && create && errno == ENOENT) {
      fd = sys::Open(path.c_str(), flags | O_CREAT | O_EXCL | guard, kSharedFileMode);
      if (fd >= 0) {
        // The umask may have taken the group's bits; a file system that
        // keeps no modes refuses, which changes nothing.
        sys::Fchmod(fd, kSharedFileMode);
        return fd;
      }
      if (errno == EEXIST) continue;
    }
    if (fd < 0) {
      code = OpenErrorCode(errno, path, links);
      return -1;
    }
    if (links == Links::kRefuse) {
      struct stat st {};
      if (sys::Fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        code = S_ISREG(st.st_mode) ? CodeFromErrno(errno, IoOp::kOpen) : kNotARegularFile;
        sys::Close(fd);
        return -1;
      }
    }
    return fd;
  }
  code = kSharingViolation;
  return -1;
}

bool EntryExists(const std::string& path) {
  struct stat st {};
  return sys::Lstat(path.c_str(), &st) == 0;
}

int StatFile(const std::string& path, FileInfo& info, Links links) {
  struct stat st {};
  const int result = links == Links::kRefuse ? sys::Lstat(path.c_str(), &st) : sys::Stat(path.c_str(), &st);
  if (result != 0) return PathErrorCode(errno, path, IoOp::kOther);
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
    // An entry that vanished between the listing and the stat is skipped;
    // one that could not be looked at is there all the same, and says so.
    if (sys::Fstatat(dirfd(dir), entry->d_name, &st) != 0) {
      if (errno == ENOENT) continue;
      info.name = std::string(name);
      info.lookCode = CodeFromErrno(errno, IoOp::kOther);
      info.hidden = name.front() == '.';
      info.isLink = entry->d_type == DT_LNK;
      entries.push_back(std::move(info));
      matched = true;
      continue;
    }
    FillInfo(st, name, info);
    info.isLink = entry->d_type == DT_LNK;
    if (entry->d_type == DT_UNKNOWN) {
      struct stat own {};
      info.isLink = sys::Lstat(JoinPath(dirPath, name).c_str(), &own) == 0 && S_ISLNK(own.st_mode);
    }
    entries.push_back(std::move(info));
    matched = true;
  }
  sys::Closedir(dir);
  if (code == kOk && !matched) return kFileNotFound;
  return code;
}

namespace {

// The hash of a stored (Windows-1252) name as UpperAnsi sees it; never 0,
// which marks an empty slot.
uint64_t UpperHash(std::string_view stored) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : stored) hash = (hash ^ static_cast<unsigned char>(UpperAnsi(c))) * 1099511628211ull;
  // The low bits pick the slot: mix the high ones in.
  hash ^= hash >> 29;
  return hash == 0 ? 1 : hash;
}

bool IsAscii(std::string_view name) {
  for (char c : name)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The stored form of a name on disk; an ASCII name is its own.
std::string_view Stored(std::string_view onDisk, std::string& buffer) {
  if (IsAscii(onDisk)) return onDisk;
  buffer = StoredName(onDisk);
  return buffer;
}

}  // namespace

void DirectoryIndex::Load() {
  loaded_ = true;
  DIR* dir = sys::Opendir(directory_.empty() ? "." : directory_.c_str());
  if (dir == nullptr) {
    loadCode_ = errno == ENOENT ? kPathNotFound : CodeFromErrno(errno, IoOp::kRead);
    return;
  }
  starts_.push_back(0);
  while (struct dirent* entry = sys::Readdir(dir)) {
    names_ += entry->d_name;
    starts_.push_back(static_cast<uint32_t>(names_.size()));
  }
  if (errno != 0) {
    loadCode_ = CodeFromErrno(errno, IoOp::kRead);
    names_.clear();
    starts_.assign(1, 0);
  }
  sys::Closedir(dir);
  const size_t count = starts_.size() - 1;
  size_t size = 16;
  while (size < 2 * count) size *= 2;
  hashes_.assign(size, 0);
  slots_.assign(size, 0);
  // The hashes first, then the inserts with the table read ahead.
  std::vector<uint64_t> hashes(count);
  std::string buffer;
  for (uint32_t i = 0; i < count; ++i) hashes[i] = UpperHash(Stored(Name(i), buffer));
  constexpr size_t kAhead = 16;
  for (uint32_t i = 0; i < count; ++i) {
    if (i + kAhead < count) __builtin_prefetch(&hashes_[hashes[i + kAhead] & (size - 1)], 1);
    Insert(i, hashes[i]);
  }
}

void DirectoryIndex::Insert(uint32_t entry, uint64_t hash) {
  std::string buffer;
  const std::string_view stored = Stored(Name(entry), buffer);
  const size_t mask = hashes_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    if (hashes_[slot] == 0) {
      hashes_[slot] = hash;
      slots_[slot] = entry + 1;
      return;
    }
    // The first of two names equal in any case wins.
    std::string other;
    if (hashes_[slot] == hash && EqualsIgnoreCase(Stored(Name(slots_[slot] - 1), other), stored)) return;
  }
}

std::optional<std::string_view> DirectoryIndex::Find(std::string_view name, int& code) {
  if (!loaded_) Load();
  code = loadCode_;
  if (loadCode_ != kOk || hashes_.empty()) return std::nullopt;
  const size_t mask = hashes_.size() - 1;
  const uint64_t hash = UpperHash(name);
  std::string buffer;
  for (size_t slot = hash & mask; hashes_[slot] != 0; slot = (slot + 1) & mask) {
    if (hashes_[slot] != hash) continue;
    const std::string_view candidate = Name(slots_[slot] - 1);
    if (EqualsIgnoreCase(Stored(candidate, buffer), name)) return candidate;
  }
  return std::nullopt;
}

void DirectoryIndex::ContainsEach(const std::vector<std::string_view>& names, std::vector<char>& present,
                                  int& code) {
  if (!loaded_) Load();
  code = loadCode_;
  present.assign(names.size(), 0);
  if (loadCode_ != kOk || hashes_.empty()) return;
  const size_t mask = hashes_.size() - 1;
  std::vector<uint64_t> wanted(names.size());
  for (size_t i = 0; i < names.size(); ++i) wanted[i] = UpperHash(names[i]);
  constexpr size_t kAhead = 16;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i + kAhead < names.size()) __builtin_prefetch(&hashes_[wanted[i + kAhead] & mask]);
    present[i] = HasHash(wanted[i]);
  }
}

bool DirectoryIndex::HasHash(uint64_t hash) const {
  const size_t mask = hashes_.size() - 1;
  for (size_t slot = hash & mask; hashes_[slot] != 0; slot = (slot + 1) & mask)
    if (hashes_[slot] == hash) return true;
  return false;
}


bool DirectoryIndex::Contains(std::string_view name, int& code) {
  if (!loaded_) Load();
  code = loadCode_;
  return loadCode_ == kOk && !hashes_.empty() && HasHash(UpperHash(name));
}

FoundName FindName(const std::string& directory, std::string_view name, DirectoryIndex* index) {
  FoundName result;
  result.path = JoinPath(directory, DiskName(name));
  struct stat st {};
  if (sys::Lstat(result.path.c_str(), &st) == 0) {
    FillInfo(st, FileNamePart(result.path), result.info);
    result.code = kOk;
    return result;
  }
  if (errno != ENOENT) {
    result.code = CodeFromErrno(errno, IoOp::kOther);  // an error is no evidence
    return result;
  }
  // Missing in this spelling; the reading of the directory tells whether it
  // is there in another, and whether the directory is there at all.
  std::optional<DirectoryIndex> own;
  if (index == nullptr || index->Directory() != directory) index = &own.emplace(directory);
  int code = kOk;
  const std::optional<std::string_view> spelled = index->Find(name, code);
  result.code = code == kOk ? kFileNotFound : code;
  if (!spelled) return result;
  const std::string path = JoinPath(directory, *spelled);
  if (sys::Lstat(path.c_str(), &st) != 0) {
    result.code = PathErrorCode(errno, path, IoOp::kOther);  // gone since the reading: still missing
    return result;
  }
  result.path = path;
  FillInfo(st, *spelled, result.info);
  result.code = kOk;
  return result;
}

std::string ResolveName(const std::string& directory, std::string_view name, bool* exists) {
  FoundName found = FindName(directory, name);
  if (exists != nullptr) *exists = found.code == kOk;
  return std::move(found.path);
}

int CreateExclusive(const std::string& path) {
  const int fd = sys::Open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_SYNC, kSharedFileMode);
  if (fd < 0) return PathErrorCode(errno, path, IoOp::kOpen);
  sys::Fchmod(fd, kSharedFileMode);
  if (sys::Close(fd) != 0) {
    // A file whose creation did not end well is no reservation.
    const int code = CodeFromErrno(errno, IoOp::kWrite);
    sys::Unlink(path.c_str());
    return code;
  }
  return kOk;
}

int WriteNewFile(const std::string& path, std::string_view bytes) {
  const int fd = sys::Open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW, kSharedFileMode);
  if (fd < 0) return PathErrorCode(errno, path, IoOp::kOpen);
  sys::Fchmod(fd, kSharedFileMode);
  int code = WriteAll(fd, bytes);
  if (code == kOk && sys::Fsync(fd) != 0) code = CodeFromErrno(errno, IoOp::kWrite);
  if (sys::Close(fd) != 0 && code == kOk) code = CodeFromErrno(errno, IoOp::kWrite);
  if (code != kOk) sys::Unlink(path.c_str());
  return code;
}

int WriteTemporary(const std::string& temporary, std::string_view bytes, mode_t mode) {
  const int fd = sys::Open(temporary.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW, 0600);
  if (fd < 0) return PathErrorCode(errno, temporary, IoOp::kOpen);
  int code = WriteAll(fd, bytes);
  if (code == kOk && sys::Fchmod(fd, mode & 07777) != 0) code = CodeFromErrno(errno, IoOp::kWrite);
  if (code == kOk && sys::Fsync(fd) != 0) code = CodeFromErrno(errno, IoOp::kWrite);
  if (sys::Close(fd) != 0 && code == kOk) code = CodeFromErrno(errno, IoOp::kWrite);
  if (code != kOk) RemovePatiently(temporary, /*directory=*/false);
  return code;
}

int ReplaceWholeFile(const std::string& path, std::string_view bytes) {
  // Through a link, the file it names is replaced, and the link stays.
  std::string target = path;
  struct stat st {};
  if (sys::Lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return PathErrorCode(errno, path, IoOp::kOpen);
    target = resolved;
    std::free(resolved);
  }
  if (sys::Stat(target.c_str(), &st) != 0) {
    // Nothing to keep: a new file is written as any other.
    if (errno == ENOENT) return WriteWholeFile(target, bytes);
    return PathErrorCode(errno, target, IoOp::kOpen);
  }
  if (!S_ISREG(st.st_mode)) return kNotARegularFile;
  const std::string temporary = target + "." + std::to_string(getpid()) + ".tmp";
  int code = WriteTemporary(temporary, bytes, st.st_mode);
  if (code == kOk && sys::Rename(temporary.c_str(), target.c_str()) != 0) {
    code = CodeFromErrno(errno, IoOp::kWrite);
    sys::Unlink(temporary.c_str());
  }
  return code;
}

int WriteWholeFile(const std::string& path, std::string_view bytes, Links links) {
  int code = kOk;
  const int fd = OpenFile(path, O_TRUNC | O_WRONLY, /*create=*/true, links, code);
  if (fd < 0) return code;
  code = WriteAll(fd, bytes);
  if (code == kOk && sys::Fsync(fd) != 0) code = CodeFromErrno(errno, IoOp::kWrite);
  if (sys::Close(fd) != 0 && code == kOk) code = CodeFromErrno(errno, IoOp::kWrite);
  return code;
}

int ReadWholeFile(const std::string& path, std::string& bytes, size_t limit, Links links) {
  bytes.clear();
  int code = kOk;
  const int fd = OpenFile(path, O_RDONLY, /*create=*/false, links, code);
  if (fd < 0) return code;
  char buffer[65536];
  while (bytes.size() < limit) {
    const ssize_t n = sys::Read(fd, buffer, std::min(sizeof buffer, limit - bytes.size()));
    if (n < 0) {
      // A folder opens for reading; it is read that it refuses.
      code = errno == EISDIR ? kNotARegularFile : CodeFromErrno(errno, IoOp::kRead);
      break;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  sys::Close(fd);
  return code;
}

int ReadSmallFile(const std::string& path, std::string& bytes, size_t maxSize) {
  bytes.clear();
  int code = kOk;
  // Refusing links opens without waiting and takes nothing but a plain file.
  const int fd = OpenFile(path, O_RDONLY, /*create=*/false, Links::kRefuse, code);
  if (fd < 0) return code;
  struct stat st {};
  if (sys::Fstat(fd, &st) != 0) code = CodeFromErrno(errno, IoOp::kRead);
  else if (static_cast<uint64_t>(st.st_size) > maxSize) code = kFileTooLarge;
  char buffer[65536];
  while (code == kOk) {
    // One byte more than allowed tells a file that grew meanwhile.
    const size_t room = maxSize + 1 - bytes.size();
    const ssize_t n = sys::Read(fd, buffer, std::min(sizeof buffer, room));
    if (n < 0) code = CodeFromErrno(errno, IoOp::kRead);
    else if (n == 0) break;
    else bytes.append(buffer, static_cast<size_t>(n));
    if (bytes.size() > maxSize) code = kFileTooLarge;
  }
  sys::Close(fd);
  if (code != kOk) bytes.clear();
  return code;
}

int DeleteFile(const std::string& path, bool clearAttributes) {
  if (sys::Unlink(path.c_str()) == 0) return kOk;
  int code = PathErrorCode(errno, path, IoOp::kOther);
  if (code == kAccessDenied && clearAttributes) {
    SetReadOnly(path, false, Links::kRefuse);
    code = sys::Unlink(path.c_str()) == 0 ? kOk : PathErrorCode(errno, path, IoOp::kOther);
  }
  return code;
}

int SetReadOnly(const std::string& path, bool readOnly, Links links) {
  struct stat st {};
  const int result = links == Links::kRefuse ? sys::Lstat(path.c_str(), &st) : sys::Stat(path.c_str(), &st);
  if (result != 0) return PathErrorCode(errno, path, IoOp::kOther);
  // chmod follows a link; with kRefuse only a plain file is changed.
  if (links == Links::kRefuse && !S_ISREG(st.st_mode)) return kNotARegularFile;
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

int PlainFile::Create(const std::string& path, Links links) {
  Close();
  if (links == Links::kRefuse) {
    int code = kOk;
    fd_ = OpenFile(path, O_TRUNC | O_WRONLY, /*create=*/true, links, code);
    return fd_ < 0 ? code : kOk;
  }
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

bool CanWriteInto(const std::string& path) { return sys::Access(path.c_str(), W_OK | X_OK) == 0; }

int MakeDirectories(const std::string& path) {
  if (path.empty()) return kOk;
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (sys::Mkdir(part.c_str(), kSharedDirectoryMode) == 0) {
      // The group's, whatever the umask, keeping the setgid bit that a
      // parent of the group passes on, so that every account of the group
      // can deliver into it.
      struct stat st {};
      if (sys::Stat(part.c_str(), &st) == 0) sys::Chmod(part.c_str(), kSharedDirectoryMode | (st.st_mode & S_ISGID));
    } else if (errno != EEXIST) {
      struct stat st {};
      if (sys::Stat(part.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return CodeFromErrno(errno, IoOp::kOther);
    }
    if (slash == std::string::npos) break;
  }
  struct stat st {};
  return sys::Stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kOk : kPathNotFound;
}

}  // namespace platform
