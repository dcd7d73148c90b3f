// What the benchmarks share: medians, files, and starting programs.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

// The directory named on the command line, else a new one under /tmp
// (removed at the end by the caller when argc is 1).
inline std::string WorkDirectory(int argc, char** argv) {
  if (argc > 1) return argv[1];
  char pattern[] = "/tmp/kvbench-XXXXXX";
  return mkdtemp(pattern);
}

// A program beside this one.
inline std::string Sibling(const char* name) {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

// Starts `args` with `env` added, standard input from `input` (-1: none),
// output to /dev/null.  Returns the process.
inline pid_t Start(const std::vector<std::string>& args, const std::vector<std::string>& env = {}, int input = -1) {
  const pid_t pid = fork();
  if (pid == 0) {
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    const int null = open("/dev/null", O_RDWR);
    dup2(input >= 0 ? input : null, 0);
    dup2(null, 1);
    dup2(null, 2);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

// Its exit status, or -1 when it did not exit.
inline int Wait(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using Clock = std::chrono::steady_clock;

inline double Seconds(const std::function<void()>& job) {
  const auto start = Clock::now();
  job();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// `rounds` rounds of the project's job and the floor's, alternating, each
// after its own preparation; prints one line: per unit (copy, scan, ...)
// the medians, their ratio and the lowest and highest ratio of one round.
inline void Compare(const char* name, int rounds, int units, const std::function<void()>& prepareOurs,
             const std::function<void()>& ours, const std::function<void()>& prepareFloor,
             const std::function<void()>& floor) {
  std::vector<double> project, base, ratios;
  // What a preparation wrote reaches the disk before the clock starts, so
  // that a timed flush does not carry it; the two sides take turns going
  // first.
  const auto ready = [](const std::function<void()>& prepare) {
    prepare();
    ::sync();
  };
  for (int i = 0; i < rounds; ++i) {
    if (i % 2 == 0) {
      ready(prepareOurs);
      project.push_back(Seconds(ours));
      ready(prepareFloor);
      base.push_back(Seconds(floor));
    } else {
      ready(prepareFloor);
      base.push_back(Seconds(floor));
      ready(prepareOurs);
      project.push_back(Seconds(ours));
    }
    ratios.push_back(project.back() / base.back());
  }
  std::printf("%-58s project %9.3f ms  floor %9.3f ms  ratio %.2f  (%.2f-%.2f)\n", name,
              bench::Median(project) * 1000 / units, bench::Median(base) * 1000 / units, bench::Median(project) / bench::Median(base),
              *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
  std::fflush(stdout);
}

}  // namespace bench
