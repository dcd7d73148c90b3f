// Profile (INI) files: MASTER.INI, MAILBOX.INI and the .INF files.
//
// Copies on Windows read these with the system's profile functions, so ours
// must read any such file exactly as they do:
//   - CR, LF and CR LF all end a line;
//   - a file that starts with a UTF-8 or a UTF-16 (LE or BE) byte-order
//     mark is decoded, its text taken as Windows-1252 with the nearest plain
//     letter for a letter that has no form there ("Ł" is "L"); a write keeps
//     the file's encoding and every line it does not change;
//   - a line that opens with "[" but has no "]" is no section header: it is
//     a line of the section before it;
//   - blanks and tabs around section names, keys and values are trimmed;
//   - a line whose first non-blank character is ";" is a comment;
//   - a line without "=" is no key; lines before the first section belong
//     to none;
//   - sections and keys are compared without regard to case; only the first
//     section of a name counts, and of two equal keys the first answers;
//   - a value enclosed in matching double or single quotes loses them;
//   - values are raw 8-bit bytes.
//
// A write replaces the value of the key (or adds the key, its section or the
// file), writes CR LF after what it adds, and keeps every other line as it
// was.  It replaces the file as a whole: a temporary file in the same
// directory, flushed, then renamed over the old one, so a reader never sees
// half a file.  Writers take a lock on the file first and re-read it under
// the lock, so two copies writing at once lose neither change.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace platform {

// The parsed text of a profile file, kept line by line so that a change
// leaves the other lines as they were.
class Profile {
 public:
  static Profile Parse(std::string_view bytes);

  // The value of `key` in `section`, or nothing when either is absent.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  // The same with the value as written, quotes included (for files of
  // other writers with quoting rules of their own).
  std::optional<std::string> RawValue(std::string_view section, std::string_view key) const;
  // The keys of `section` in file order, each once; empty when absent.
  std::vector<std::string> Keys(std::string_view section) const;

  // Sets the value of a key, adding the key and the section when absent.
  void SetValue(std::string_view section, std::string_view key, std::string_view value);

  // The file's bytes.
  std::string Serialize() const;

 private:
  enum class Encoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };
  struct Line {
    std::string text;    // without its line end, as Windows-1252
    std::string ending;  // "\r\n", "\n", "\r" or "" for an unterminated last line
    std::string utf8;    // in a Unicode file, the line as it was read, while unchanged
  };
  // Where the first section of a name starts and ends (line indexes).
  struct Range {
    size_t header;
    size_t end;
  };
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<std::string> Lookup(std::string_view section, std::string_view key, bool stripQuotes) const;

  Encoding encoding_ = Encoding::kAnsi;
  std::vector<Line> lines_;
  std::string original_;  // the bytes parsed, given back while nothing changed
  bool changed_ = false;
};

// The most a profile file may hold: far more than a registry of thousands
// of users, far less than memory.
inline constexpr size_t kProfileSizeLimit = 16u << 20;

// Returns the value of `key` in `section` of the file at `path`, or
// `defaultValue` when the file, the section or the key is absent or the file
// cannot be read.  The file is read as ReadSmallFile reads (no link, no
// pipe, at most kProfileSizeLimit bytes); `code`, when given, is 0 or what
// kept it from being read (2 for a missing file).
std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, int* code = nullptr);

// Returns the keys of `section` in file order; empty when the file or the
// section is absent or cannot be read (`code` as above).
std::vector<std::string> ReadProfileKeys(const std::string& path, std::string_view section, int* code = nullptr);

// Writes the value of `key` in `section`, creating the file, the section or
// the key as needed.  Waits at most about ten seconds for another writer.
// Returns 0 or the code of the failure (32 when the lock stayed taken); the
// file is unchanged on failure.
// A file created here gets kSharedFileMode; the file keeps its mode.
int WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                       std::string_view value, Links links = Links::kFollow);

}  // namespace platform
