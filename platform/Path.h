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

// An absolute path without empty, "." and ".." parts ("/a//b/../c/." is
// "/a/c"); ".." at the root stays at the root.
std::string CleanPath(std::string_view absolute);

// The directory a path lies in: "/a/b" gives "/a", "/a" and "/" give "/".
std::string DirectoryPart(std::string_view path);

// The name with A-Z turned to a-z.
std::string LowerAscii(std::string_view name);

}  // namespace platform
