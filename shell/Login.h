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

// The current user, with the cuts made on assignment.
class LoginState {
 public:
  const std::string& UserName() const { return userName_; }
  const std::string& Password() const { return password_; }
  const std::string& SupervisorPassword() const { return supervisor_; }
  void SetUserName(std::string_view name) { userName_ = name.substr(0, kUserNameRoom); }
  void SetPassword(std::string_view password) { password_ = password.substr(0, kPasswordRoom); }
  void SetSupervisorPassword(std::string_view password) { supervisor_ = password.substr(0, kPasswordRoom); }

 private:
  std::string userName_, password_, supervisor_;
};

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

// Has the user identified.  In: a name to propose (may be empty) and that
// user's stored password.  A name that is not in the user list is refused
// with an alert and the Name page opens; a known name with a password opens
// the Password page; a known name without one is accepted without showing
// anything.  Returns false when the user gave up (or an error, which is
// reported); `name` and `password` are then of no use.
bool IdentifyUser(mailstore::TMail& mail, UserNameForm& form, std::string& name, std::string& password);

// The login at start-up: the name of the command line, else (unless A) the
// login name, else the Name page.  On success `state` holds the user and the
// password; false when the user gave up.
bool StartupLogin(const CommandLine& commandLine, mailstore::TMail& mail, UserNameForm& form, LoginState& state);

// Whether a password typed on the Password page opens the mailbox: the
// user's own, or a (non-empty) supervisor password.
bool PasswordAccepted(const std::string& typed, const std::string& stored, const std::string& supervisor);

// The alert texts of the login.
std::string NotAValidUserText(const std::string& name);
inline constexpr const char* kWrongPasswordText = "That's not the correct password!";

}  // namespace shell
