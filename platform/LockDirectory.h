// A lock that holds on every share: a directory beside the file it guards.
//
// Byte-range locks cross machines only where the share passes them on: the
// kernel's SMB and NFSv4 clients do, many clients in user space (smbnetfs,
// sshfs) hold them only within one mount, and an exclusive creation of a
// file is not atomic through every client either.  Making a directory is:
// of many copies making one name at once, exactly one succeeds, on every
// client tried.  So every copy that changes a shared file first makes
//
//   <file>.LCK/          the lock; made with mkdir, exactly one holder
//   <file>.LCK/OWNER     "host pid time", written right after the mkdir
//
// and removes both when it is done, on every path out.  The byte-range lock
// stays as well: copies that know nothing of the directory still see it, and
// they never look at the directory (its name matches none of their patterns).
//
// A holder that ended without removing the lock is found out in two ways:
//  - its OWNER names this host and a process that no longer runs: the lock
//    is broken at once;
//  - the directory is older than kStaleAfterSeconds (kOwnerlessAfterSeconds
//    while it holds no OWNER yet, as right after its mkdir) by the share's
//    own clock: a directory made in the same folder now gives the share's
//    "now", so a machine whose clock is off never breaks a live lock.
// Breaking renames the lock aside to a name of the breaker's own, so that
// two breakers cannot both win; a breaker that finds it moved a lock other
// than the one it judged (taken anew meanwhile) moves it back.
//
// On a disk of this machine (ext4, xfs, btrfs, tmpfs and the like) every
// copy goes through one kernel, whose byte-range locks hold, and making and
// removing two directories would cost more than the delivery itself: there
// Take() makes nothing and succeeds, unless the environment variable
// KVMAIL_LOCK_DIRECTORIES is "always" (for a copy on the file server's own
// disk while other machines reach it through such clients, and for tests).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

class LockDirectory {
 public:
  static constexpr int64_t kStaleAfterSeconds = 60;
  static constexpr int64_t kOwnerlessAfterSeconds = 5;

  LockDirectory() = default;
  LockDirectory(const LockDirectory&) = delete;
  LockDirectory& operator=(const LockDirectory&) = delete;
  ~LockDirectory() { Release(); }

  // The lock directory that guards `file`.
  static std::string For(const std::string& file) { return file + ".LCK"; }

  // Takes the lock `path` without waiting.  Returns 0 when taken (or not
  // needed where `path` lies); 32 when another holder has it; or the code
  // of the failure, with nothing made.
  int Take(const std::string& path);

  // Removes the lock; 0 when not held.  Returns 0 or the first failing code
  // (the directory may then stay, and is broken as stale later).
  int Release();

  // Whether a lock directory of ours stands now.
  bool IsHeld() const { return !path_.empty(); }

 private:
  std::string path_;
};

}  // namespace platform
