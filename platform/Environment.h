// The process's environment: variables, the user's login name, the program's
// directory.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Returns the value of an environment variable, the name compared without
// regard to case; empty when it is absent.
std::string GetEnv(std::string_view name);

// Returns the login name of the user running the program; empty when it
// cannot be had.
std::string LoginName();

// Returns the directory of the program file, symbolic links resolved, without
// a trailing "/" (except for the root).  Empty when it cannot be had.
std::string ProgramDir();

// The current working directory; empty when it cannot be had.
std::string CurrentDirectory();

// The user's short date format (the locale's of LC_TIME), as the mail
// store's date formatter reads it: d, dd, M, MM, yy, yyyy and other
// characters as they are.  A format that names months or weekdays in words,
// and the C locale's, give "M/d/yyyy".
std::string ShortDateFormat();

}  // namespace platform
