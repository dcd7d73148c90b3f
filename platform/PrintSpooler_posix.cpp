#include "platform/PrintSpooler.h"

#include <dlfcn.h>

#include <cstdio>

namespace platform {
namespace {

// The spooler's client library as the toolkit's print support loaded it;
// never loaded here.
constexpr const char* kSpoolerClient = "libcups.so.2";
// Its answers from here on are errors; those below are successes, some
// with remarks.
constexpr int kFirstError = 0x0400;

}  // namespace

std::string LastSpoolerRefusal() {
  void* client = dlopen(kSpoolerClient, RTLD_LAZY | RTLD_NOLOAD);
  if (client == nullptr) return {};
  const auto status = reinterpret_cast<int (*)()>(dlsym(client, "cupsLastError"));
  const auto words = reinterpret_cast<const char* (*)()>(dlsym(client, "cupsLastErrorString"));
  std::string refusal;
  if (status != nullptr) {
    const int answer = status();
    if (answer >= kFirstError) {
      const char* text = words != nullptr ? words() : nullptr;
      if (text != nullptr && *text != '\0') {
        refusal = text;
      } else {
        char code[32];
        std::snprintf(code, sizeof code, "status 0x%04x", static_cast<unsigned>(answer));
        refusal = code;
      }
    }
  }
  dlclose(client);
  return refusal;
}

}  // namespace platform
