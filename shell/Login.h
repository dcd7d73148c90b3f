// Who the current user is: the command line, the login name, and the login
// sequence at start-up, with the user-name form behind an interface so that
// the rules are tested without windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mailstore/TMail.h"

namespace shell {

inline constexpr size_t kUserNameRoom = 15;
inline constexpr size_t kPasswordRoom = 12;

// What the command line says: a user name (the last one given) and the
// switches A, E, P and U after "-" or "/", in either case.
struct CommandLine {
  std::string userName;       // upper-cased, cut to 15; empty when none was given
  bool askForName = false;    // A: ask instead of taking the login name
  bool noEncryption = false;  // E
  bool hidePreferences = false;  // P
  bool showChangeUser = false;   // U
};

// Reads the arguments (without the program's name).  Texts are Windows-1252.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments);

// A user name typed or given on a command line: upper-cased, cut to 15.
std::string GivenUserName(std::string_view text);

// The login name of the user running the program, cut to 15, not
// upper-cased; empty when it cannot be had.
std::string NetworkUserName();

// The user-name form, as the login drives it.
class UserNameForm {
 public:
  virtual ~UserNameForm() = default;
  // Opens on the Password page for `name`, whose stored password is `stored`.
  virtual void OpenOnPasswordPage(const std::string& name, const std::string& stored) = 0;
  // Opens on an empty Name page.
  virtual void OpenOnNamePage() = 0;
  // Shows the form modally.  True for OK, with the name and the password
  // typed (empty when the Password page was never used).
  virtual bool Execute(std::string& name, std::string& password) = 0;
};

// The step every login takes with a name, given or typed: refused when it
// is not in the user list (the program's alert has then been shown);
// otherwise `stored` is the user's stored password, and a user with one
// must type it.
enum class NameCheck { kRefused, kNeedsPassword, kAccepted };
NameCheck CheckUserName(mailstore::TMail& mail, const std::string& name, std::string& stored);

// Has the user identified, proposing `name` (may be empty): a refused name
// goes and the Name page opens; a user with a password gets the Password
// page; a user without one is accepted without showing anything.  Returns
// true with the accepted name and the password typed (empty when none was
// asked); false when the user gave up (or an error, which is reported), and
// `name` and `password` are then of no use.
bool IdentifyUser(mailstore::TMail& mail, UserNameForm& form, std::string& name, std::string& password);

// The name the start-up proposes: the command line's, else (unless A) the
// login name, else none.
std::string ProposedUserName(const CommandLine& commandLine);

// Whether a password typed on the Password page opens the mailbox: the
// user's own, or a (non-empty) supervisor password.
bool PasswordAccepted(const std::string& typed, const std::string& stored, const std::string& supervisor);

// The alert texts of the login.
std::string NotAValidUserText(const std::string& name);
inline constexpr const char* kWrongPasswordText = "That's not the correct password!";

}  // namespace shell
