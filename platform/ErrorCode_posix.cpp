#include "platform/ErrorCode.h"

#include <cerrno>
#include <cstring>

namespace platform {

int CodeFromErrno(int err, IoOp op) {
  // A lock request refused with EAGAIN or EACCES: someone else holds it.
  if (op == IoOp::kLock && (err == EAGAIN || err == EACCES)) return kSharingViolation;
  switch (err) {
    case 0:
      return kOk;
    case ENOENT:
      return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
      return kPathNotFound;
    case EMFILE:
    case ENFILE:
      return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kAccessDenied;
    case EBADF:
      return kInvalidHandle;
    case ENOMEM:
      return kNotEnoughMemory;
    case ENODEV:
    case ENXIO:
      return kInvalidDrive;
    case EROFS:
      return kWriteProtected;
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
      return kSharingViolation;
    case EEXIST:
      return kFileExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return op == IoOp::kWrite ? kWriteError : kDiskFullOnCreate;
    case EIO:
      // The device failed; the disk is not full.
      if (op == IoOp::kRead) return kReadError;
      if (op == IoOp::kWrite) return kDeviceWriteFault;
      return kDeviceReadFault;
    default:
      if (err > 0 && err < kSystemErrorLimit - kSystemErrorBase) return kSystemErrorBase + err;
      return kSystemErrorLimit - 1;
  }
}

std::string SystemErrorText(int code) {
  if (code < kSystemErrorBase || code >= kSystemErrorLimit) return {};
  const int err = code - kSystemErrorBase;
  char buffer[256];
  // The GNU strerror_r returns the text; it may or may not use the buffer.
  const char* text = strerror_r(err, buffer, sizeof buffer);
  return std::string(text) + " (system error " + std::to_string(err) + ").";
}

}  // namespace platform

#include <sys/stat.h>

#include "platform/Syscall_posix.h"

namespace platform {

int PathErrorCode(int err, const std::string& path, IoOp op) {
  if (err != ENOENT) return CodeFromErrno(err, op);
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return kFileNotFound;
  struct stat st {};
  const std::string directory = path.substr(0, slash);
  if (sys::Stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kPathNotFound;
  return kFileNotFound;
}

}  // namespace platform
