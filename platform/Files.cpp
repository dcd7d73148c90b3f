#include "platform/Files.h"

#include <utility>

#include "platform/Text.h"

namespace platform {

bool MatchesDosPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") return true;
  // Greedy matching with one backtrack point for the last "*".
  size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || UpperAnsi(pattern[p]) == UpperAnsi(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

DirectoryReadingAhead::DirectoryReadingAhead(std::string directory)
    : directory_(std::move(directory)),
      reading_(std::async(std::launch::async, [directory = directory_] {
        DirectoryIndex index(directory);
        index.Read();
        return index;
      })) {}

}  // namespace platform
