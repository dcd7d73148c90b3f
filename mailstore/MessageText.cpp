#include "mailstore/MessageText.h"

#include <algorithm>
#include <charconv>

#include "mailstore/Scramble.h"
#include "platform/ErrorCode.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace mailstore {
namespace {

// Enough for the header of any scrambled file this program writes.
constexpr size_t kHeaderReadLimit = 64 * 1024;

}  // namespace

size_t AddMessageLine(std::vector<std::string>& lines, std::string_view line) {
  size_t added = 0;
  for (size_t at = 0; at == 0 || at < line.size(); at += kMaxLineLength, ++added)
    lines.emplace_back(line.substr(at, kMaxLineLength));
  return added;
}

int WriteMessageText(const std::string& path, const std::vector<std::string>& lines, std::string_view recipient,
                     bool scramble, const platform::Clock& clock) {
  return WriteMessageText(path, lines, recipient, scramble, scramble ? clock.UtcMillisecondsSinceMidnight() : 0);
}

int WriteMessageText(const std::string& path, const std::vector<std::string>& lines, std::string_view recipient,
                     bool scramble, uint32_t seed) {
  std::string text;
  ScrambleTable table{};
  if (scramble) {
    table = BuildScrambleTable(seed);
    text += kScrambleSignature;
    text += "\r\n" + std::to_string(seed) + "\r\n";
    text += recipient;
    text += "\r\n";
  }
  for (const std::string& full : lines) {
    std::string line = full.substr(0, kMaxLineLength);
    if (scramble) {
      // Other copies end a scrambled line at a zero byte: it goes as a blank.
      std::replace(line.begin(), line.end(), '\0', ' ');
      ScrambleLine(table, line);
    }
    text += line;
    text += "\r\n";
  }
  return platform::WriteWholeFile(path, text, platform::Links::kRefuse);
}

ScrambleHeader ParseScrambleHeader(std::string_view bytes) {
  const size_t lineEnd = bytes.find_first_of("\r\n");
  if (lineEnd == std::string_view::npos) return {};  // no second line to hold the seed
  if (!platform::EqualsIgnoreCase(bytes.substr(0, lineEnd), kScrambleSignature)) return {};
  const size_t start = bytes.find_first_not_of(" \t\r\n", lineEnd);
  if (start == std::string_view::npos) return {};
  const size_t end = std::min(bytes.find_first_of(" \t\r\n\x1A", start), bytes.size());
  const std::string_view token = bytes.substr(start, end - start);
  int32_t seed = 0;
  const char* first = token.data() + (token.front() == '+' ? 1 : 0);
  const auto [last, error] = std::from_chars(first, token.data() + token.size(), seed);
  if (error != std::errc{} || last != token.data() + token.size() || first == last) return {};
  return ScrambleHeader{true, static_cast<uint32_t>(seed)};
}

std::string PlainMessageText(std::string_view fileBytes, const UnscrambleStep& step) {
  const ScrambleHeader header = ParseScrambleHeader(fileBytes);
  if (!header.scrambled) return std::string(fileBytes);
  // Skip the signature, the seed and the recipient: three lines.
  std::string_view rest = fileBytes;
  for (int line = 0; line < 3; ++line) platform::TakeLine(rest);
  // Line by line, each cut to the longest line a reader shows; a stop
  // leaves the rest as it is stored.
  const ScrambleTable table = BuildScrambleTable(header.seed);
  const int total = static_cast<int>(std::count(rest.begin(), rest.end(), '\n')) + 1;
  std::string text;
  text.reserve(rest.size());
  for (int done = 0; !rest.empty();) {
    std::string_view ending;
    std::string line(platform::TakeLine(rest, &ending).substr(0, kMaxLineLength));
    UnscrambleLine(table, line);
    text += line;
    text += ending;
    if (step && !step(++done, total)) {
      text += rest;
      break;
    }
  }
  return text;
}

ScrambleHeader ReadScrambleHeader(const std::string& path) {
  std::string bytes;
  if (platform::ReadWholeFile(path, bytes, kHeaderReadLimit, platform::Links::kRefuse) != 0) return {};
  return ParseScrambleHeader(bytes);
}

}  // namespace mailstore
