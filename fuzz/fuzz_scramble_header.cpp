// The start of any message text file must be tested without harm, and a file
// taken for scrambled must start with the signature.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mailstore/MessageText.h"
#include "mailstore/Scramble.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const mailstore::ScrambleHeader header = mailstore::ParseScrambleHeader(bytes);
  if (header.scrambled) {
    if (!platform::EqualsIgnoreCase(bytes.substr(0, 9), mailstore::kScrambleSignature)) std::abort();
    const mailstore::ScrambleTable table = mailstore::BuildScrambleTable(header.seed);
    std::string line(bytes.substr(0, 64));
    for (char& c : line)
      if (c == '\0') c = ' ';
    const std::string original = line;
    mailstore::ScrambleLine(table, line);
    mailstore::UnscrambleLine(table, line);
    if (line != original) std::abort();
  }
  return 0;
}
