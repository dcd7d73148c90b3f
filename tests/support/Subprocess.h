// Starts real helper processes, for the tests of what copies of the program
// do to each other through shared files.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

class Subprocess {
 public:
  // Starts `program` with `args`; `extraEnv` entries ("NAME=value") are
  // added to this process's environment.
  Subprocess(const std::string& program, const std::vector<std::string>& args,
             const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> argStore{program};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> envStore(extraEnv);
    for (char** e = environ; *e; ++e) envStore.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
  }
  ~Subprocess() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  Subprocess(const Subprocess&) = delete;
  Subprocess& operator=(const Subprocess&) = delete;

  bool started() const { return pid_ > 0; }

  // Whether it has ended (then Wait returns at once).
  bool Exited() { return pid_ <= 0 || waited_ || Reap(WNOHANG); }

  // Waits for the end; returns the exit status, or -1 when it did not exit.
  int Wait() {
    if (pid_ <= 0) return -1;
    while (!waited_ && !Reap(0)) {
    }
    return status_;
  }

 private:
  // Collects the end with waitpid(`flags`); false when it has not come.
  bool Reap(int flags) {
    int status = 0;
    if (waitpid(pid_, &status, flags) != pid_) return false;
    waited_ = true;
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
  }

  pid_t pid_ = -1;
  bool waited_ = false;
  int status_ = -1;
};

// Waits until a file exists (a helper's signal that it is ready); false
// after `timeoutMs`.
inline bool WaitForFile(const std::string& path, int timeoutMs = 10000) {
  for (int waited = 0; waited < timeoutMs; waited += 5) {
    if (access(path.c_str(), F_OK) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace testing_support
