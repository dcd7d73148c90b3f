#include <langinfo.h>
#include <locale.h>
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

std::string ShortDateFormat() {
  constexpr const char* kNumericDefault = "M/d/yyyy";
  // The C locale, asked for or left as it is, needs no locale files read.
  std::string name;
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    name = GetEnv(variable);
    if (!name.empty()) break;
  }
  if (name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) return kNumericDefault;
  // The environment's LC_TIME, read without changing the program's locale.
  const locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return kNumericDefault;
  const std::string format = nl_langinfo_l(D_FMT, user);
  freelocale(user);
  if (format == "%m/%d/%y") return kNumericDefault;  // the C locale's
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%') {
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return kNumericDefault;
      out += c;
      continue;
    }
    if (++i >= format.size()) return kNumericDefault;
    char spec = format[i];
    if (spec == 'E' || spec == 'O') {  // alternative forms: the plain one
      if (++i >= format.size()) return kNumericDefault;
      spec = format[i];
    }
    switch (spec) {
      case 'd': out += "dd"; break;
      case 'e': out += "d"; break;
      case 'm': out += "MM"; break;
      case 'y': out += "yy"; break;
      case 'Y': out += "yyyy"; break;
      case 'D': out += "MM/dd/yy"; break;
      case 'F': out += "yyyy-MM-dd"; break;
      case '%': out += '%'; break;
      default: return kNumericDefault;  // names of months or days, or eras
    }
  }
  return out.empty() ? kNumericDefault : out;
}

}  // namespace platform
