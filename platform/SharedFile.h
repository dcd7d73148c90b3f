// A file opened with sharing rules: the mailbox files.
//
// Copies of the program on several machines open the same mailbox file.  A
// Windows copy opens it denying write access to others; here the same
// exclusion comes from an open-file-description lock over the whole file:
//
//   read mode    read access, a shared lock: others may read, not write
//   update mode  read and write access, an exclusive lock
//   create       like update mode, creating the file when it is missing
//
// Locks are taken without waiting: a lock held by someone else gives code 32
// at once, and the caller decides whether to retry (the mail store pauses
// and asks its user).  Open-file-description locks belong to the open file,
// not to the process, so two opens within one process exclude each other as
// two copies do, and closing any other descriptor of the same file does not
// drop the lock.  They cross machines where the share supports byte-range
// locks (NFSv4, SMB).
//
// "Create" never empties an existing file: between one copy's "file not
// found" and its creation another copy may have created the file and
// appended a record, and emptying it would lose that record.
//
// The lock lives from Open() to Close(); the destructor closes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

enum class ShareMode { kRead, kUpdate, kCreate };

class SharedFile {
 public:
  SharedFile() = default;
  SharedFile(const SharedFile&) = delete;
  SharedFile& operator=(const SharedFile&) = delete;
  ~SharedFile();

  // Opens and locks.  Returns 0; 2 or 3 when the file or its directory is
  // missing (never in create mode for a missing file); 32 when another open
  // holds a lock that excludes this one; 5 when access is refused; or the
  // code of another failure.  Nothing stays open on failure.
  int Open(const std::string& path, ShareMode mode);

  // Closes and unlocks.  Returns 0 or the code of the close; 0 when not open.
  int Close();

  bool IsOpen() const { return fd_ >= 0; }

  // Returns 0 and the size of the open file in bytes, or a code.  The size
  // is the server's, never a client's cached one: taken under the lock, it
  // includes what another machine appended just before.
  int Size(int64_t& size) const;

  // Reads exactly `count` bytes at `offset`.  Returns 0, or 100 when the
  // file ends first, or the code of the failure.
  int ReadAt(int64_t offset, void* buffer, size_t count) const;

  // Writes all `count` bytes at `offset`.  Returns 0 or the failure's code.
  int WriteAt(int64_t offset, const void* buffer, size_t count);

  // Cuts or extends the file to `size` bytes.  Returns 0 or a code.
  int Truncate(int64_t size);

  // Flushes what was written to the disk.  Returns 0 or a code.
  int Flush();

 private:
  int fd_ = -1;
};

}  // namespace platform
