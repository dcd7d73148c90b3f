#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "platform/Terminal.h"

namespace platform {

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool ReadHiddenLine(const std::string& prompt, std::string& line) {
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  termios saved {};
  const bool terminal = tcgetattr(STDIN_FILENO, &saved) == 0;
  if (terminal) {
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  const bool ok = static_cast<bool>(std::getline(std::cin, line));
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputs("\n", stderr);
  }
  return ok;
}

}  // namespace platform
