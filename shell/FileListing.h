// What the program's file list shows: the entries of one directory (or of a
// search through a directory and all below it), each an entry whose text is
// also its place in the sorted list.
//
// The entry text: a type letter, an 11-character sort key, the name shown,
// "|", the icon number as one character, the attributes (6 digits), the
// packed date (11 digits) and the size (11 digits).  Sorting the texts
// sorts by kind, then by the sort key, then by name:
//
//   A  "NEW", a new file            D  "..", the parent directory
//   B  a drive (a mounted volume)   E  a subdirectory
//   C  "/", the root                F  a file
//
// An inverted list exchanges B and F, so files come first and drives last.
// Names are found as the file system spells them; only the shown name
// follows the text case.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace shell {

enum TFileListOrder { flNormal, flInverted };
enum TFileListSortTypes { sbName, sbType, sbSize, sbDate };
enum TTextCase { tcLowerCase, tcUpperCase, tcAuto, tcNone };
enum TSearchModeTypes { smNormal, smSubDirectories };
// Sets of bits.
enum TFileDetailItems { fdName = 1, fdSize = 2, fdDate = 4, fdTime = 8, fdAttr = 16 };
enum TListDetailItems { ldDrives = 1, ldSystemDirectories = 2, ldDirectories = 4, ldFiles = 8, ldNewFile = 16 };
inline constexpr int kAllFileDetails = fdName | fdSize | fdDate | fdTime | fdAttr;

enum FileAttribute { kAttrReadOnly = 1, kAttrHidden = 2, kAttrSystem = 4, kAttrDirectory = 16, kAttrArchive = 32 };

// Icon numbers, 1 to 28.
enum FileIcon {
  kIconRemovable = 1, kIconFixed, kIconNetwork, kIconCdRom, kIconRamDisk, kIconRoot, kIconParent, kIconDirectory,
  kIconFile, kIconProgram, kIconDrawing, kIconArchive, kIconChart, kIconSpreadsheet, kIconPublication, kIconDatabase,
  kIconBackup, kIconPicture, kIconText, kIconHiddenFile, kIconSound, kIconHelp, kIconSystem, kIconFont, kIconVideo,
  kIconSource, kIconHiddenDirectory, kIconHiddenProgram, kIconCount = kIconHiddenProgram
};

struct Volume {
  std::string root;   // where it is mounted
  std::string label;  // its name; may be empty
  FileIcon kind = kIconFixed;  // kIconRemovable to kIconRamDisk
};

// Whether a volume mounted at `root` with the file system `type` is one a
// user would pick in a file selector: "/", a removable disk, a network
// share, one under /mnt or under `home`; not the system's own mounts
// (/boot, /var, /snap, /tmp, containers' binds...).
bool IsUsersVolume(const std::string& root, const std::string& type, const std::string& home);
// The mounted volumes a user would pick, "/" first.
std::vector<Volume> MountedVolumes();
// Where the volume that holds `path` is mounted: the root of its drive.
std::string VolumeRootOf(const std::string& path);

struct FileListEntry {
  char type = 'F';  // as sorted: B and F exchanged in an inverted list
  std::string sortKey;  // 11 characters
  std::string shown;    // the name shown; a found file's full path
  std::string name;     // the name on disk; a found file's full path; a drive's root
  int icon = kIconFile;
  int attributes = 0;
  uint32_t date = 0;  // packed: see PackedDate
  int64_t size = 0;
  std::string text;  // the entry text, made by MakeText
  void MakeText();
};

// Codes of a listing besides the file system's.
inline constexpr int kListingPathNotFound = 3;
inline constexpr int kListingStopped = -1000;

// The patterns of a mask: separated by blanks or commas, a pattern in double
// quotes may hold blanks.  An empty mask is "*.*".
std::vector<std::string> SplitMask(const std::string& mask);
// A name as `textCase` shows it (letters A-Z and a-z only).
std::string ShownName(const std::string& name, TTextCase textCase);
// The icon of a file by its extension's group.
int FileIconOf(const std::string& name, bool hidden);
// A file time (nanoseconds since 1970) packed as the date and time of old
// file systems: bits 25-31 the year since 1980, then month, day, hour,
// minute and seconds / 2.  A time before 1980 packs to 0.
uint32_t PackedDate(int64_t ns);
// Whether a packed date lies before 1 January 1980 (shown as "?").
inline bool IsUnknownDate(uint32_t packed) { return packed <= 0x20FFFF; }
// The attribute letters R, H, S, A of the bits set.
std::string AttributeLetters(int attributes);

class FileListing {
 public:
  struct Hooks {
    std::function<void()> searchBegin = nullptr;
    std::function<void()> searchEnd = nullptr;
    // For each directory entry found: `accept` false drops it; a non-zero
    // `code` ends the listing with that code.
    std::function<void(const FileListEntry& entry, int& code, bool& accept, const std::string& directory)> addFile =
        nullptr;
    // The drives; MountedVolumes when not set.
    std::function<std::vector<Volume>()> volumes = nullptr;
  };

  FileListing() = default;
  explicit FileListing(Hooks hooks) : hooks_(std::move(hooks)) {}
  void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }

  std::string fileMask = "*.*";
  TFileListOrder listOrder = flNormal;
  bool showSystemFiles = false;
  TTextCase textCase = tcLowerCase;
  int listDetails = ldDrives | ldSystemDirectories | ldDirectories | ldFiles;
  TSearchModeTypes searchMode = smNormal;

  // Lists `target`: an absolute path, one relative to the directory listed,
  // ".." or "/"; empty lists the directory again (the current directory at
  // first).  A target that cannot be entered leaves the listing on the
  // directory before.  Returns LastError: 0, the code of entering the
  // target, else that of the listing.
  int List(const std::string& target);
  // Sets a mask and a directory that differ (in any case) from the
  // current ones and lists; when that fails, lists the old ones again and
  // returns the code.  0 on success.
  int TryLocation(const std::string& mask, const std::string& directory);
  // Remakes every entry's sort key and sorts again.
  void SetSortBy(TFileListSortTypes sortBy);
  TFileListSortTypes SortBy() const { return sortBy_; }

  const std::string& Directory() const { return directory_; }
  const std::vector<FileListEntry>& Entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }
  // The kind of entry `i` as A to F, whatever the order.
  char TypeOf(int i) const;
  // The path entry `i` stands for: a file or directory joined to the
  // directory (a found file's own path), the root, the parent, a drive's
  // root; empty for "NEW".
  std::string PathOf(int i) const;
  // The first entry after `from`, wrapping round to the top, whose shown
  // name starts with `c` in any case; -1 when there is none.
  int NextStartingWith(char c, int from) const;
  // After going up (to "..", "/" or any directory above): the entry of the
  // directory left, else -1.
  int LeftDirectoryIndex() const { return leftIndex_; }
  int ListCount() const { return listCount_; }
  int64_t ListSize() const { return listSize_; }
  int LastError() const { return lastError_; }

 private:
  int Enter(const std::string& target, std::string& entered);
  int AddDirectory(const std::string& directory);
  int Search(const std::string& root);
  // Offers an entry to the hook and adds it when accepted; returns the
  // hook's code.
  int Add(FileListEntry entry, const std::string& directory);
  FileListEntry MakeEntry(char type, const std::string& name, const std::string& shown, int icon, int attributes,
                          uint32_t date, int64_t size) const;
  std::string SortKey(const FileListEntry& entry) const;
  // The letter of a kind as sorted, and back: B and F exchange places in
  // an inverted list.
  char Kind(char type) const;
  void Sort();

  Hooks hooks_;
  TFileListSortTypes sortBy_ = sbName;
  std::string directory_;
  std::vector<FileListEntry> entries_;
  int leftIndex_ = -1;
  int listCount_ = 0;
  int64_t listSize_ = 0;
  int lastError_ = 0;
};

}  // namespace shell
