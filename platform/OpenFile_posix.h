// Opening files for the platform layer's own functions (POSIX).
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/Files.h"

namespace platform {

// Opens `path` with `flags` (the access mode, O_TRUNC, O_SYNC).  With
// `create`, a missing file is created with kSharedFileMode whatever the
// umask; a file is never created by a plain O_CREAT, so a new file is known
// to be new.  With Links::kRefuse a final symbolic link, and anything but a
// plain file, is refused with kNotARegularFile (a FIFO or a device is never
// waited on).  Returns the descriptor, or -1 with `code` set.
int OpenFile(const std::string& path, int flags, bool create, Links links, int& code);

// Removes the file (or the empty directory) at `path`; a removal refused as
// busy, not empty or denied is tried again for about half a second: on a
// share, a file another process still holds open stays until it is closed.
// Returns 0 (gone, or not there) or the errno of the last attempt.
inline constexpr int kRemoveAttempts = 50;
inline constexpr int kRemovePauseMs = 10;
int RemovePatiently(const std::string& path, bool directory);

// Writes all of `bytes`, resuming after short writes.  Returns 0 or a code.
int WriteAll(int fd, std::string_view bytes);

// Creates the new file `temporary` (exclusively, never through a link),
// writes `bytes`, gives it `mode` and flushes it to the disk.  On any
// failure the file is removed again.  Returns 0 or the first failing code.
int WriteTemporary(const std::string& temporary, std::string_view bytes, mode_t mode);

}  // namespace platform
