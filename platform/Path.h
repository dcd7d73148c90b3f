// Paths of local files.  "/" separates the parts of a local path.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr char kPathSeparator = '/';

// Joins a directory and a file name: an empty directory gives the name
// alone, a directory that ends in a separator gets the name appended, any
// other directory gets a separator and then the name.
std::string JoinPath(std::string_view directory, std::string_view name);

// Returns the part of a path after its last "/", "\" or ":": the file name,
// whichever system wrote the path.
std::string_view FileNamePart(std::string_view path);

// The path made absolute against the current directory; an absolute path,
// and one that cannot be made so, is returned as it is.
std::string AbsolutePath(std::string_view path);

// The name with A-Z turned to a-z.
std::string LowerAscii(std::string_view name);

}  // namespace platform
