// The terminal, for the command-line front end.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// True when standard input is a terminal.
bool StdinIsTerminal();

// Prints `prompt` on standard error and reads one line from the terminal
// without echoing it.  Returns false when no line could be read.
bool ReadHiddenLine(const std::string& prompt, std::string& line);

// Reads one line from standard input, without its line feed.  Returns false
// at the end of the input with nothing read.
bool ReadStdinLine(std::string& line);

// Reads what is left of standard input.  Returns 0 or the failure's code.
int ReadAllStdin(std::string& bytes);

// Writes `bytes` to standard output as they are.
void WriteStdout(std::string_view bytes);

}  // namespace platform
