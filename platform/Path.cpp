#include "platform/Path.h"

namespace platform {

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (!path.empty() && path.back() != kPathSeparator && path.back() != '\\')
    path += kPathSeparator;
  path += name;
  return path;
}

std::string_view FileNamePart(std::string_view path) {
  const size_t last = path.find_last_of("/\\:");
  return last == std::string_view::npos ? path : path.substr(last + 1);
}

}  // namespace platform
