// The administrator's .INF files are written by hand on any system: any
// bytes must apply without a crash, and leave the passwords within their
// room.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "shell/ConfigFiles.h"
#include "shell/Login.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/kvmail-fuzz-" + std::to_string(getpid()) + ".INF";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  shell::Preferences prefs;
  shell::ApplyConfigFile(path, prefs);
  if (prefs.supervisorPassword.size() > shell::kPasswordRoom) std::abort();
  return 0;
}
