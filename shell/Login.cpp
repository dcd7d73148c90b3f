#include "shell/Login.h"

#include "mailstore/Inbox.h"

#include "mailstore/MailError.h"
#include "mailstore/UserRegistry.h"
#include "platform/Environment.h"
#include "platform/ErrorCode.h"
#include "platform/Text.h"

namespace shell {

CommandLine ReadCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (const std::string& argument : arguments) {
    if (argument.size() >= 2 && (argument[0] == '-' || argument[0] == '/')) {
      switch (platform::UpperAnsi(argument[1])) {
        case 'A': line.askForName = true; break;
        case 'E': line.noEncryption = true; break;
        case 'P': line.hidePreferences = true; break;
        case 'U': line.showChangeUser = true; break;
        default: break;  // other switches are ignored
      }
    } else {
      line.userName = GivenUserName(argument);
    }
  }
  return line;
}

std::string GivenUserName(std::string_view text) { return platform::UpperAnsi(text.substr(0, kUserNameRoom)); }

std::string NetworkUserName() { return platform::LoginName().substr(0, kUserNameRoom); }

std::string NotAValidUserText(const std::string& name) { return "\"" + name + "\" is not a valid user name!"; }

bool PasswordAccepted(const std::string& typed, const std::string& stored, const std::string& supervisor) {
  return typed == stored || (!supervisor.empty() && typed == supervisor);
}

NameCheck CheckUserName(mailstore::TMail& mail, const std::string& name, std::string& stored) {
  const mailstore::TMail::Operation operation(mail);
  // A name with a path in it can have no mailbox, registry or not.
  int registryCode = platform::kOk;
  if (!mailstore::IsMailboxUserName(name) || !mailstore::IsKnownUser(mail, name, &registryCode)) {
    // Where the Mail Directory cannot be reached, or its registry read, no
    // name is known: that is what the user needs to hear.
    mail.Ui().ShowAlert(mailstore::kProgramTitle,
                        !mailstore::MailDirectoryReachable(mail) ? mailstore::NotReachableMessage(mail.MailDir())
                        : registryCode != platform::kOk        ? mailstore::RegistryProblemText(registryCode)
                                                               : NotAValidUserText(name));
    return NameCheck::kRefused;
  }
  stored = mailstore::ReadUserPassword(mail, name);
  return stored.empty() ? NameCheck::kAccepted : NameCheck::kNeedsPassword;
}

bool IdentifyUser(mailstore::TMail& mail, UserNameForm& form, std::string& name, std::string& password) {
  try {
    std::string stored;
    const NameCheck check = name.empty() ? NameCheck::kRefused : CheckUserName(mail, name, stored);
    if (check == NameCheck::kAccepted) {
      password.clear();
      return true;  // a known user without a password is not asked
    }
    if (check == NameCheck::kNeedsPassword) {
      form.OpenOnPasswordPage(name, stored);
    } else {
      name.clear();
      form.OpenOnNamePage();
    }
    return form.Execute(name, password);
  } catch (...) {
    mail.Ui().ReportException(mailstore::MailError::FromCurrentException());
    return false;
  }
}

std::string ProposedUserName(const CommandLine& commandLine) {
  if (!commandLine.userName.empty() || commandLine.askForName) return commandLine.userName;
  return NetworkUserName();
}

}  // namespace shell
