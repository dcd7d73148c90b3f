// kill_at MICROSECONDS COMMAND [ARGUMENT...]
//
// Runs the command and kills it (SIGKILL) once MICROSECONDS have passed,
// unless it ended before.  Exits with the command's status, or 137 when it
// was killed.  The stress harness gives it random moments within the life
// of a process, which a shell's own sleep is too coarse to reach.
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: kill_at MICROSECONDS COMMAND [ARGUMENT...]\n", stderr);
    return 2;
  }
  const long micros = std::strtol(argv[1], nullptr, 10);
  const pid_t pid = fork();
  if (pid < 0) return 2;
  if (pid == 0) {
    execvp(argv[2], argv + 2);
    _exit(127);
  }
  timespec wait{micros / 1000000, (micros % 1000000) * 1000};
  while (nanosleep(&wait, &wait) != 0) {
  }
  kill(pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WEXITSTATUS(status);
}
