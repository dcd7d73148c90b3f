// MASTER.INI, MAILBOX.INI and the .INF files are written by hand and by
// other systems: any bytes must parse, give back exactly the same bytes, and
// take a new key that then reads back.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  platform::Profile profile = platform::Profile::Parse(bytes);
  if (profile.Serialize() != bytes) std::abort();

  for (const std::string& key : profile.Keys("USERS"))
    if (!profile.Value("USERS", key)) std::abort();
  (void)profile.Value("Mail", "MailDir");

  profile.SetValue("USERS", "FUZZKEY", "value");
  const platform::Profile reread = platform::Profile::Parse(profile.Serialize());
  if (reread.Value("USERS", "FUZZKEY") != "value") std::abort();
  return 0;
}
