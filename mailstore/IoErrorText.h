// The messages for the error codes of file operations, used wherever the
// program reports a file error.
#pragma once

#include <string>

namespace mailstore {

// Codes of the program's own, beside those of platform/ErrorCode.h.
inline constexpr int kTempFileError = 10001;  // a temporary file cannot be created
inline constexpr int kCopyOntoItself = 10003; // a file copied onto itself
inline constexpr int kCopySizeMismatch = 10004;
// The Mail Directory holds nothing at all (a share not mounted leaves such
// a directory behind): no mailbox is made there.
inline constexpr int kMailDirectoryEmpty = 10006;

// Returns the message for `code`: empty for 0, "Unknown Error #" and the code
// for a code without a message of its own.
std::string IoErrorText(int code);
// The message for `code` met on a text file the user named (to send, to
// import, to save to): as IoErrorText, but what is not a plain file is
// called what it is, not a part of the Mail Directory.
std::string TextFileErrorText(int code);

}  // namespace mailstore
