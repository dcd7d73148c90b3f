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
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct FileInfo {
  std::string name;  // as the directory holds it
  int64_t size = 0;
  bool isDirectory = false;
  bool isRegular = false;  // a plain file
  bool isLink = false;     // a symbolic link (StatFile: only when links are not followed)
  bool readOnly = false;
  bool hidden = false;     // a name the system hides from listings: one starting with "."
  int64_t modifiedNs = 0;  // last change, in nanoseconds since 1970
  // When the entry itself last changed (its contents, its times, its name),
  // in nanoseconds since 1970: unlike `modifiedNs`, nobody can set it back.
  int64_t changedNs = 0;
  uint64_t device = 0;     // the volume it lies on
  uint64_t inode = 0;      // with `device`, which entry it is, whatever the path
  // FindFiles: 0, or the failure of the look at this entry (EIO, ESTALE,
  // EACCES...); then only `name` is known, and the entry is there all the
  // same.
  int lookCode = 0;
};

// Whether a function may follow a symbolic link at the end of a path.  The
// files of the Mail Directory are opened with kRefuse: a link there (and
// anything but a plain file) is refused with kNotARegularFile, so that
// nothing outside the Mail Directory is read, written or changed because of
// what lies inside it.  Files the user chooses are opened with kFollow.
enum class Links { kFollow, kRefuse };

// Returns 0 and fills `info` when an entry exists at `path`; otherwise 2 (no
// such entry), 3 (the directory part is missing) or the code of the failure.
// With kRefuse a final link is described itself (isLink), not followed.
int StatFile(const std::string& path, FileInfo& info, Links links = Links::kFollow);

// Returns true when a file or directory exists at `path`.
bool FileExists(const std::string& path);

// Returns true when anything (a link included) has the name `path`; one
// look, no more.
bool EntryExists(const std::string& path);

// Returns true when `name` matches a DOS pattern ("*" any run, "?" any one
// character) without regard to letter case.
bool MatchesDosPattern(std::string_view name, std::string_view pattern);

// Lists the entries of `directory` whose names match `pattern`, in the order
// the directory gives them ("." and ".." left out), links followed (isLink
// still says that the entry is one).  An entry that vanished before it
// could be looked at is left out; one whose look failed otherwise is
// listed with its `lookCode`, never silently skipped.  Returns 0 when the
// listing ran to its end and something matched, 2 when nothing matched, 3
// when the directory is missing, or the code of the failure that stopped it
// (`entries` then holds what was found before).
int FindFiles(const std::string& directory, std::string_view pattern, std::vector<FileInfo>& entries);

// The names of one directory, read at most once, found whatever their case.
// An operation that looks up many names (a scan, a delivery to all, a
// login) keeps one, so that names missing in their exact spelling cost one
// reading of the directory in all, not one each.
class DirectoryIndex {
 public:
  explicit DirectoryIndex(std::string directory) : directory_(std::move(directory)) {}
  const std::string& Directory() const { return directory_; }

  // The entry named `name` (Windows-1252) in any case, as the directory
  // spells it (in the system's encoding), or nullptr.  The directory is
  // read at the first question; `code` is 0, or the failure of that reading
  // (then nothing is found, and nothing may be concluded from that).
  std::optional<std::string_view> Find(std::string_view name, int& code);
  // Whether an entry named `name` in any case is there, by a comparison of
  // 64-bit hashes of the upper-cased names alone: one look into the table,
  // without the names.  Two names of one hash (about one chance in 10^14
  // for a directory of 100,000 names) would make a missing name count as
  // there, never the other way round.
  bool Contains(std::string_view name, int& code);
  // Contains for many names at once (`present[i]` for `names[i]`), the
  // table read ahead of the looks, so that a scan of 100,000 records does
  // not wait for memory at each.
  void ContainsEach(const std::vector<std::string_view>& names, std::vector<char>& present, int& code);
  // Whether the directory has been read already.
  bool IsLoaded() const { return loaded_; }
  // Reads the directory now, unless it has been read.
  void Read() {
    if (!loaded_) Load();
  }

 private:
  void Load();
  void Insert(uint32_t entry, uint64_t hash);
  // Whether a name of that hash is in the table (which is not empty).
  bool HasHash(uint64_t hash) const;

  std::string directory_;
  bool loaded_ = false;
  int loadCode_ = 0;
  // The names on disk, and an open-addressing table of the 64-bit hashes
  // of the upper-cased stored names (0: an empty slot) beside their
  // positions: a directory of 100,000 names costs one allocation per name
  // at most, and a look compares hashes in one array before any name.
  std::string_view Name(uint32_t entry) const {
    return std::string_view(names_).substr(starts_[entry], starts_[entry + 1] - starts_[entry]);
  }
  std::string names_;              // every name, one after another
  std::vector<uint32_t> starts_;   // where each begins, and where the last ends
  std::vector<uint64_t> hashes_;
  std::vector<uint32_t> slots_;
};

// A DirectoryIndex read on a thread of its own, begun at once: a program
// builds its window meanwhile, and its first operation on the directory
// takes this reading instead of making one.
class DirectoryReadingAhead {
 public:
  explicit DirectoryReadingAhead(std::string directory);
  const std::string& Directory() const { return directory_; }
  // Waits for the reading to end.
  void Wait() const { reading_.wait(); }
  // Waits for the reading and gives it; once.
  DirectoryIndex Take() { return reading_.get(); }

 private:
  std::string directory_;
  std::future<DirectoryIndex> reading_;
};

// A name looked for in a directory.
struct FoundName {
  // The entry's path as the directory spells it; the exact spelling (in the
  // system's encoding) when there is no such entry, for creating it.
  std::string path;
  // 0 found; 2 no entry of that name in any case; 3 the directory itself is
  // missing; any other code: the look failed and tells nothing.
  int code = 0;
  // When found: the entry itself, a link described and not followed.
  FileInfo info;
};

// Finds `name` (Windows-1252) in `directory` whatever its case: the exact
// spelling first, then, only when that is missing, `index` (a temporary
// one when none is given).  Only "no such file" counts as missing.
FoundName FindName(const std::string& directory, std::string_view name, DirectoryIndex* index = nullptr);

// The path of FindName, for a caller that only needs where the name is or
// would be; `exists`, when given, tells whether an entry was found.
std::string ResolveName(const std::string& directory, std::string_view name, bool* exists = nullptr);

// Files created in the Mail Directory can be read and written by their
// owner and the owner's group, whatever the umask, so that every account of
// an office group can send to every mailbox.
inline constexpr unsigned kSharedFileMode = 0660;
// The mode of a folder this program makes: the owner's and the group's.
inline constexpr unsigned kSharedDirectoryMode = 0770;

// Creates a new empty file (kSharedFileMode), failing with 80 when the name
// exists in this spelling (a link of that name included); the file is
// created with writes going straight to the disk and closed at once.  When
// the close fails the file is removed again.
int CreateExclusive(const std::string& path);

// Creates a new file (kSharedFileMode) at `path`, never through a link nor
// over an existing entry (80 then), writes `bytes`, flushes them to the disk
// and closes it.  On any failure after the creation the file is removed
// again.  Returns 0 or the first failing code.
int WriteNewFile(const std::string& path, std::string_view bytes);

// Creates or empties the file at `path`, writes `bytes`, flushes them to the
// disk and closes it.  Returns the first failing code.
int WriteWholeFile(const std::string& path, std::string_view bytes, Links links = Links::kFollow);

// Replaces the file at `path` (the file a link there names) with one that
// holds `bytes`, in one move: a new file beside it, written and flushed,
// then renamed over it, keeping its mode.  A reader never sees half a
// file, and a failure (a full disk) leaves the old file whole.  Returns 0
// or the first failing code.
int ReplaceWholeFile(const std::string& path, std::string_view bytes);

// Reads a whole file, or its first `limit` bytes, into `bytes`.  Returns 0
// or the code of the failure.
int ReadWholeFile(const std::string& path, std::string& bytes, size_t limit = SIZE_MAX,
                  Links links = Links::kFollow);

// Reads a whole file of the program's own kinds (the user registry and
// other profile files, the administrator's .INF files, lexicons), which
// anyone who can write to the share may have put there: never through a
// link, never anything but a plain file (kNotARegularFile: a pipe or a
// device is refused without waiting for it), and never more than
// `maxSize` bytes (kFileTooLarge, with nothing read).  Returns 0 or the
// code of the failure.
int ReadSmallFile(const std::string& path, std::string& bytes, size_t maxSize);

// Deletes a file (a link itself, never what it points to).  When that is
// refused with 5 and `clearAttributes` is set, makes the file writable for
// its owner and tries once more (never through a link).  Returns the code
// of the last attempt.
int DeleteFile(const std::string& path, bool clearAttributes);

// Makes a file read-only or writable.  Returns 0 or the failure's code;
// with kRefuse, kNotARegularFile for a link or anything but a plain file.
int SetReadOnly(const std::string& path, bool readOnly, Links links = Links::kFollow);

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
  // Creates a file, or empties an existing one, for writing (with kRefuse
  // never through a link, and a new file gets kSharedFileMode).  Returns 0
  // or a code.
  int Create(const std::string& path, Links links = Links::kFollow);
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

// Whether this process may make files in the folder at `path`.
bool CanWriteInto(const std::string& path);

// Creates a directory and its missing parents, each made kSharedDirectoryMode
// whatever the umask (with the setgid bit its parent passes on).  Returns 0
// when it exists afterwards.
int MakeDirectories(const std::string& path);

}  // namespace platform
