// The users of the Mail Directory.
//
//   MASTER.INI   section USERS, one key per user, in the order of the user
//                list; maintained outside the program.  It may lie in the
//                Mail Directory or beside the program; the first one wins.
//                Without it there is no registry: any name is accepted and
//                the users are the mailbox files that exist.
//   MAILBOX.INI  section USERS: user name = scrambled password.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mailstore {

class TMail;

inline constexpr const char* kMasterIniName = "MASTER.INI";
inline constexpr const char* kMailboxIniName = "MAILBOX.INI";
inline constexpr const char* kUsersSection = "USERS";
inline constexpr const char* kMailboxExtension = ".LST";

// The path of the MASTER.INI in force: the Mail Directory's when it exists,
// else the one beside the program, whether it exists or not.
std::string MasterIniPath(const TMail& mail);

// True when a file exists at MasterIniPath().
bool HasUserRegistry(const TMail& mail);

// True when `name` may be used: always without a registry; with one, when it
// has a key (of any value, empty included) in its USERS section.  A registry
// that cannot be read (a link, a pipe, a file too large, a failing share)
// knows no one; `code`, when given, is 0 or what kept it from being read.
bool IsKnownUser(const TMail& mail, std::string_view name, int* code = nullptr);

// The keys of the registry's USERS section in file order; empty when it
// cannot be read (`code`, when given, as for IsKnownUser; 2 when there is
// no registry).
std::vector<std::string> ReadUserNames(const TMail& mail, int* code = nullptr);

// What is said of a registry that cannot be read: its name and why.
std::string RegistryProblemText(int code);

// The names of the mailbox files of the Mail Directory (*.LST without the
// extension, in any case), in the order of the directory listing.  `code` is
// 0 when the listing ran to its end, 2 when nothing matched, or the code that
// stopped it.
// Names are read back from the system's encoding.
std::vector<std::string> ListMailboxNames(const TMail& mail, int& code);

// The mailbox key of a user name: the name itself when it has at most 8
// characters and no blank; otherwise the name without blanks, cut to 8.
std::string MailboxKey(std::string_view name);

// Whom a reply to a record from `key` (its sender's mailbox key) goes to:
// the user of the registry whose key it is (the first, where several share
// one mailbox), quoted when the name holds a blank or a comma, so that the
// To box takes it as one name; the key itself where no user of the
// registry has it or there is no registry to read.
std::string ReplyAddress(const TMail& mail, std::string_view key);

// Whether a mailbox key can name a file of the Mail Directory: not empty,
// no path separator ("/", "\\", ":") and no control character, so that a
// user name can never put a mailbox anywhere else.
bool IsMailboxKey(std::string_view key);

// Whether a user name may have a mailbox at all (its key is one).
inline bool IsMailboxUserName(std::string_view name) { return IsMailboxKey(MailboxKey(name)); }

// The stored password of a user, unscrambled; empty when there is none.
std::string ReadUserPassword(const TMail& mail, std::string_view name);

// Stores the current user's password, scrambled; an empty one means that
// the user has no password.  Returns 0 or the code of the failure.
int WriteUserPassword(const TMail& mail, std::string_view password);

// The reversible scrambling of stored passwords: position i (from 1) of
// byte c becomes (2c + i) mod 256, and back.
std::string ScramblePassword(std::string_view text);
std::string UnscramblePassword(std::string_view text);

}  // namespace mailstore
