#include <pwd.h>
#include <unistd.h>

#include <vector>

#include "platform/Environment.h"
#include "platform/Text.h"

extern char** environ;

namespace platform {

std::string GetEnv(std::string_view name) {
  if (const char* exact = ::getenv(std::string(name).c_str())) return exact;
  for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
    const std::string_view pair = *entry;
    const size_t equals = pair.find('=');
    if (equals != std::string_view::npos && EqualsIgnoreCase(pair.substr(0, equals), name))
      return std::string(pair.substr(equals + 1));
  }
  return {};
}

std::string LoginName() {
  std::vector<char> buffer(16384);
  struct passwd entry {};
  struct passwd* result = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result != nullptr &&
      result->pw_name != nullptr)
    return result->pw_name;
  return {};
}

std::string ProgramDir() {
  std::vector<char> buffer(4096);
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  std::string path(buffer.data(), static_cast<size_t>(n));
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return {};
  return buffer.data();
}

}  // namespace platform
