#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <iterator>

#include "platform/ErrorCode.h"
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
  const bool ok = ReadStdinLine(line);
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    for (size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &previous[i], nullptr);
    std::fputs("\n", stderr);
  }
  return ok;
}

bool ReadStdinLine(std::string& line) {
  line.clear();
  int c = 0;
  while ((c = std::getc(stdin)) != EOF && c != '\n') line += static_cast<char>(c);
  return c != EOF || !line.empty();
}

int ReadAllStdin(std::string& bytes) {
  // Through the same buffer as ReadStdinLine, so that a password read
  // before the text takes nothing of it.
  bytes.clear();
  char chunk[65536];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) bytes.append(chunk, n);
  return std::ferror(stdin) ? CodeFromErrno(errno, IoOp::kRead) : kOk;
}

void WriteStdout(std::string_view bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

}  // namespace platform
