// The terminal, for the command-line front end.
#pragma once

#include <string>

namespace platform {

// True when standard input is a terminal.
bool StdinIsTerminal();

// Prints `prompt` on standard error and reads one line from the terminal
// without echoing it.  Returns false when no line could be read.
bool ReadHiddenLine(const std::string& prompt, std::string& line);

}  // namespace platform
