#include "platform/Path.h"

#include <vector>

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
  // Read from the end: a scan asks this of every record.
  for (size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (c == '/' || c == '\\' || c == ':') return path.substr(i);
  }
  return path;
}

std::string AbsolutePath(std::string_view path) {
  if (!path.empty() && path.front() == kPathSeparator) return std::string(path);
  const std::string current = CurrentDirectory();
  if (current.empty()) return std::string(path);
  if (path.empty() || path == ".") return current;
  if (path.substr(0, 2) == "./") path.remove_prefix(2);
  return JoinPath(current, path);
}

std::string CleanPath(std::string_view absolute) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= absolute.size()) {
    size_t end = absolute.find(kPathSeparator, start);
    if (end == std::string_view::npos) end = absolute.size();
    const std::string_view part = absolute.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out;
  for (std::string_view part : parts) {
    out += kPathSeparator;
    out += part;
  }
  return out.empty() ? std::string(1, kPathSeparator) : out;
}

std::string DirectoryPart(std::string_view path) {
  const size_t last = path.find_last_of(kPathSeparator);
  if (last == std::string_view::npos) return {};
  return last == 0 ? std::string(1, kPathSeparator) : std::string(path.substr(0, last));
}

std::string LowerAscii(std::string_view name) {
  std::string out(name);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace platform
