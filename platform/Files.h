// Files and directories, as the mail store needs them.
//
// The Mail Directory is shared with copies on Windows, where names are found
// whatever their letter case.  Here a file system may tell case apart, so a
// name is looked up exactly first and, only when that spelling is missing,
// by a search of the directory without regard to case (ResolveName).  A new
// file gets the spelling its caller gives.
//
// Every function returns a code of ErrorCode.h: 0 for success.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct FileInfo {
  std::string name;  // as the directory holds it
  int64_t size = 0;
  bool isDirectory = false;
  bool readOnly = false;
  int64_t modifiedNs = 0;  // last change, in nanoseconds since 1970
};

// Returns 0 and fills `info` when an entry exists at `path`; otherwise 2 (no
// such entry), 3 (the directory part is missing) or the code of the failure.
int StatFile(const std::string& path, FileInfo& info);

// Returns true when a file or directory exists at `path`.
bool FileExists(const std::string& path);

// Returns true when `name` matches a DOS pattern ("*" any run, "?" any one
// character) without regard to letter case.
bool MatchesDosPattern(std::string_view name, std::string_view pattern);

// Lists the entries of `directory` whose names match `pattern`, in the order
// the directory gives them ("." and ".." left out).  Returns 0 when the
// listing ran to its end and something matched, 2 when nothing matched, 3
// when the directory is missing, or the code of the failure that stopped it
// (`entries` then holds what was found before).
int FindFiles(const std::string& directory, std::string_view pattern, std::vector<FileInfo>& entries);

// Returns the path of `name` in `directory` as it exists there, whatever its
// case: the exact spelling when that exists, else the first entry equal to
// it without regard to case, else the exact spelling (for creating it).
// `exists`, when given, tells whether an entry was found.
std::string ResolveName(const std::string& directory, std::string_view name, bool* exists = nullptr);

// Creates a new empty file, failing with 80 when the name exists; the file is
// created with writes going straight to the disk and closed at once.
int CreateExclusive(const std::string& path);

// Creates or empties the file at `path`, writes `bytes`, flushes them to the
// disk and closes it.  Returns the first failing code.
int WriteWholeFile(const std::string& path, std::string_view bytes);

// Reads a whole file, or its first `limit` bytes, into `bytes`.  Returns 0
// or the code of the failure.
int ReadWholeFile(const std::string& path, std::string& bytes, size_t limit = SIZE_MAX);

// Deletes a file.  When that is refused with 5 and `clearAttributes` is set,
// makes the file writable for its owner and tries once more.  Returns the code
// of the last attempt.
int DeleteFile(const std::string& path, bool clearAttributes);

// Makes a file read-only or writable.  Returns 0 or the failure's code.
int SetReadOnly(const std::string& path, bool readOnly);

// Sets the time of a file's last change.  Returns 0 or the failure's code.
int SetModifiedTime(const std::string& path, int64_t modifiedNs);

// A file opened without sharing rules, read from start to end or written
// from the start: the files a user chooses to send or save.  The destructor
// closes.
class PlainFile {
 public:
  PlainFile() = default;
  PlainFile(const PlainFile&) = delete;
  PlainFile& operator=(const PlainFile&) = delete;
  ~PlainFile();

  // Opens an existing file for reading.  Returns 0 or a code.
  int OpenForReading(const std::string& path);
  // Creates a file, or empties an existing one, for writing.  Returns 0 or a
  // code.
  int Create(const std::string& path);
  // Reads up to `capacity` bytes; `got` is 0 at the end.  Returns 0 or a code.
  int Read(void* buffer, size_t capacity, size_t& got);
  // Writes all `count` bytes.  Returns 0 or a code.
  int Write(const void* buffer, size_t count);
  // Flushes what was written to the disk.  Returns 0 or a code.
  int Flush();
  // Closes.  Returns 0 or the code of the close; 0 when not open.
  int Close();

 private:
  int fd_ = -1;
};

// Creates a directory and its missing parents.  Returns 0 when it exists
// afterwards.
int MakeDirectories(const std::string& path);

}  // namespace platform
