#include <termios.h>
#include <unistd.h>

#include <csignal>

#include <cstdio>
#include <iostream>
#include <iterator>
#include <vector>

#include "platform/Terminal.h"

namespace platform {

bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

namespace {

// The terminal as it was before the echo went off, for a signal that ends
// the program while a password is typed.
termios savedTerminal {};

extern "C" void RestoreTerminalAndDie(int signal) {
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace

bool ReadHiddenLine(const std::string& prompt, std::string& line) {
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  const bool terminal = tcgetattr(STDIN_FILENO, &savedTerminal) == 0;
  constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};
  struct sigaction previous[std::size(kSignals)] {};
  if (terminal) {
    // Ctrl-C (or any end) at the prompt must not leave the echo off.
    struct sigaction restore {};
    restore.sa_handler = RestoreTerminalAndDie;
    sigemptyset(&restore.sa_mask);
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &restore, &previous[i]);
    termios quiet = savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  const bool ok = static_cast<bool>(std::getline(std::cin, line));
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
    std::fputs("\n", stderr);
  }
  return ok;
}

}  // namespace platform
