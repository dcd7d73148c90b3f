// The fault seam: makes chosen system calls fail, for tests.
//
// Every system call of the platform layer that can fail in a way the program
// must handle is made through one table (Syscall_posix.cpp).  A test arms a
// fault by the call's name: the `nth` call of that name from the moment of
// arming fails with `err` (or every call from the nth on, when `sticky`).
// The names are: open (without creating), create (open that may create),
// read, write, fsync, close, lock, stat, unlink, rename, truncate, chmod,
// opendir, readdir, clock, mkdir, utime, rmdir, access.
//
// Test builds (KVMAIL_TEST_HOOKS) also arm faults from the environment
// variable KVMAIL_FAULTS when the first call is made, so that a real child
// process can be made to fail: a comma-separated list of NAME:N:ERR or
// NAME:N+:ERR, where ERR is an errno name (ENOSPC, EACCES, EROFS, EIO, ...)
// or number, or STOP: the process then stops itself (SIGSTOP) just before
// that call, and makes it when continued, so that a test can act while a
// real process stands between two steps.  Example:
// KVMAIL_FAULTS=write:3:ENOSPC makes the third write fail with "disk full";
// KVMAIL_FAULTS=lock:1:STOP stops a sender after its text, before the lock
// of its record.
#pragma once

#include <string>
#include <string_view>

namespace platform::faults {

// The `err` of a fault that stops the process instead of failing the call.
inline constexpr int kStop = -1;

// Arms one fault; returns false when the call name is unknown.
bool Arm(std::string_view call, int nth, int err, bool sticky = false);

// Parses a KVMAIL_FAULTS list and arms each entry; returns false (arming
// nothing) when the text is malformed.
bool ArmFromText(std::string_view spec);

// Disarms every fault and resets the call counters.
void Clear();

// How many calls of that name were made since the last Clear().
int CallCount(std::string_view call);

// Returns the errno value of a name such as "ENOSPC", or 0 when unknown.
int ErrnoFromName(std::string_view name);

}  // namespace platform::faults
