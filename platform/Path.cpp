#include "platform/Path.h"

#include "platform/Environment.h"

namespace platform {

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string path;
  path.reserve(directory.size() + 1 + name.size());
  path = directory;
  if (!path.empty() && path.back() != kPathSeparator && path.back() != '\\')
    path += kPathSeparator;
  path += name;
  return path;
}

std::string_view FileNamePart(std::string_view path) {
  const size_t last = path.find_last_of("/\\:");
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

std::string AbsolutePath(std::string_view path) {
  if (!path.empty() && path.front() == kPathSeparator) return std::string(path);
  const std::string current = CurrentDirectory();
  if (current.empty()) return std::string(path);
  if (path.empty() || path == ".") return current;
  if (path.substr(0, 2) == "./") path.remove_prefix(2);
  return JoinPath(current, path);
}

std::string LowerAscii(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace platform
