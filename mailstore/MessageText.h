// Message text files: one per delivered copy of a message, named by 8
// hexadecimal digits and ".MSG", lines ended by CR LF.  A scrambled one
// carries the three header lines of Scramble.h before its text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"

namespace mailstore {

inline constexpr size_t kMaxLineLength = 1024;

// Adds `line` to the lines of a message: a line longer than a message line
// may be goes as several, so that none of it is lost.  Returns how many
// lines were added (1 for an empty line).
size_t AddMessageLine(std::vector<std::string>& lines, std::string_view line);

// Creates or empties the file at `path` and writes `lines`, each cut to 1,024
// characters and ended by CR LF; scrambled under a new seed taken from the
// clock, after the header naming `recipient`, when `scramble` is set.  The
// text reaches the disk before this returns.  Returns 0 or the code of the
// first failure; the file is closed in every case.
int WriteMessageText(const std::string& path, const std::vector<std::string>& lines, std::string_view recipient,
                     bool scramble, const platform::Clock& clock);

// The same with the seed given (0 to 86,399,999), for a writer that must not
// use one seed twice.
int WriteMessageText(const std::string& path, const std::vector<std::string>& lines, std::string_view recipient,
                     bool scramble, uint32_t seed);

struct ScrambleHeader {
  bool scrambled = false;
  uint32_t seed = 0;
};

// Reads the header test from the start of a file's bytes: scrambled when the
// first line, upper-cased, is "KVWMB0100" and a whole number follows
// (blanks and line ends before it skipped).
ScrambleHeader ParseScrambleHeader(std::string_view bytes);

// The header test of the file at `path`; a file that cannot be read is not
// scrambled.
ScrambleHeader ReadScrambleHeader(const std::string& path);

// The text of a message as its reader sees it: a plain file unchanged; a
// scrambled one without its three header lines and with every later line
// cut to 1,024 characters and unscrambled, its line ends kept.  `step`,
// when given, is called after each line with the lines done and their
// (approximate) total; when it returns false the rest stays scrambled.
using UnscrambleStep = std::function<bool(int done, int total)>;
std::string PlainMessageText(std::string_view fileBytes, const UnscrambleStep& step = nullptr);

}  // namespace mailstore
