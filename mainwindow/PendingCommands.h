// Commands whose work the program does not have yet.  Each keeps its
// enabling rules and, when chosen, tells the user that it is not available;
// none pretends to work.  An entry leaves this list when its command is
// built.
#pragma once

#include <QString>
#include <set>

namespace mainwindow {

enum class Command { kSendMail, kReply, kForward, kSendDroppedFile };

inline const std::set<Command>& PendingCommands() {
  static const std::set<Command> pending = {Command::kSendMail, Command::kReply, Command::kForward,
                                            Command::kSendDroppedFile};
  return pending;
}

inline bool IsPending(Command command) { return PendingCommands().count(command) != 0; }

inline const char* kNotAvailableText = "Sorry, this command is not available in this version of KV Mailbox yet.";

}  // namespace mainwindow
