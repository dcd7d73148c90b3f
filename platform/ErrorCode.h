// Error codes of file operations.
//
// The mail store reports every file failure as one integer code, the codes
// that the program's message table knows (see mailstore::IoErrorText).  They
// are the codes a copy on Windows would meet, so that every copy tells its
// user the same thing about the same failure.  The operating system's own
// error numbers are turned into these codes in exactly one place,
// CodeFromErrno() in ErrorCode_posix.cpp.
#pragma once

#include <string>

namespace platform {

enum ErrorCode : int {
  kOk = 0,
  kFileNotFound = 2,
  kPathNotFound = 3,
  kTooManyOpenFiles = 4,
  kAccessDenied = 5,
  kInvalidHandle = 6,
  kNotEnoughMemory = 8,
  kInvalidData = 13,
  kInvalidDrive = 15,
  kWriteProtected = 19,
  kSharingViolation = 32,
  kFileExists = 80,
  kDiskFullOnCreate = 112,
  kReadError = 100,   // a read that failed or ran past the end
  kWriteError = 101,  // a write that failed, typically a full disk
  kDeviceWriteFault = 160,
  kDeviceReadFault = 161,
  // A link, a folder or a device stands where a file of the Mail Directory
  // should be; it is neither read nor written.
  kNotARegularFile = 10005,
  // A file of the program's own kinds (a profile or .INF file, a lexicon)
  // larger than such a file may be; it is not read.
  kFileTooLarge = 10007,
  // A failure with no twin among the codes above is reported as this base
  // plus the system's own error number; SystemErrorText() describes it.
  kSystemErrorBase = 20000,
  kSystemErrorLimit = 21000,
};

// What the failing call was doing; the same errno can mean different things
// (ENOSPC while creating a file is not a failed write of data; EACCES from
// a lock request means another process holds the lock).
enum class IoOp { kOpen, kRead, kWrite, kLock, kOther };

// Returns the program's code for the system error `err` met during `op`.
int CodeFromErrno(int err, IoOp op);

// Returns a text for a code in [kSystemErrorBase, kSystemErrorLimit), empty
// for any other code.
std::string SystemErrorText(int code);

}  // namespace platform
