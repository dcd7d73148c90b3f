// The To box is typed by the user and pasted from anywhere: any text must
// split into names of at most 255 characters, none empty, none holding a
// separator outside the quotes that made it.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "mailstore/Delivery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string& name : mailstore::SplitRecipients(text)) {
    if (name.empty() || name.size() > 255) std::abort();
    if (name.find('"') != std::string::npos) std::abort();
  }
  return 0;
}
