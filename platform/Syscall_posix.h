// The system calls of the platform layer, made through one replaceable table.
// Private to platform/: nothing above this layer includes a POSIX header.
//
// Each wrapper behaves like the call it names (-1 or nullptr with errno set
// on failure), except that an armed fault (FaultInjection.h) makes it fail
// without calling the system.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <time.h>

namespace platform::sys {

// `mayCreate`: the open is one step of opening a file that is created when
// missing, and counts as "create" for the fault seam even without O_CREAT.
int Open(const char* path, int flags, mode_t mode = 0, bool mayCreate = false);
ssize_t Pread(int fd, void* buffer, size_t size, off_t offset);
ssize_t Read(int fd, void* buffer, size_t size);
ssize_t Pwrite(int fd, const void* buffer, size_t size, off_t offset);
ssize_t Write(int fd, const void* buffer, size_t size);
int Fsync(int fd);
int Close(int fd);
int Lock(int fd, short type);  // F_OFD_SETLK on the whole file, never waits
int Fstat(int fd, struct stat* st);
int Stat(const char* path, struct stat* st);
int Lstat(const char* path, struct stat* st);
int Fstatat(int dirFd, const char* name, struct stat* st);  // follows links, as stat does
int Mkdir(const char* path, mode_t mode);
int Rmdir(const char* path);
int Access(const char* path, int mode);
// The size of the open file, asked of the server (a client in user space
// answers fstat from a cache for a while).  Counts as "stat".
int FstatSize(int fd, int64_t* size);
// lstat, asked of the server; fills mode, inode, size, links, owner and
// the time of the last change.  Counts as "stat".
int StatSync(const char* path, struct stat* st);
int Utimensat(const char* path, const struct timespec times[2]);
int Unlink(const char* path);
int Rename(const char* from, const char* to);
int Ftruncate(int fd, off_t size);
int Chmod(const char* path, mode_t mode);
int Fchmod(int fd, mode_t mode);
DIR* Opendir(const char* path);
// Returns the next entry, or nullptr at the end (errno 0) or on failure.
struct dirent* Readdir(DIR* dir);
int Closedir(DIR* dir);
int ClockGettime(clockid_t clock, struct timespec* ts);

}  // namespace platform::sys

#include <string>

#include "platform/ErrorCode.h"

namespace platform {

// The code for a failure `err` of a call on `path`: like CodeFromErrno, but
// a missing entry whose directory is missing too gives 3 (path not found),
// as Windows tells the two apart.
int PathErrorCode(int err, const std::string& path, IoOp op);

}  // namespace platform
