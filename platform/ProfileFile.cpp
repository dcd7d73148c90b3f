#include "platform/ProfileFile.h"

#include <unordered_set>

#include "platform/ErrorCode.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace platform {
namespace {

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The section name of a header line, or nothing for any other line (a line
// that opens with "[" and has no "]" included).
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  const size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

// The key and value of a key line, or nothing for a comment, a blank line or
// a line without "=".
std::optional<KeyValue> ParseKeyLine(std::string_view line, bool stripQuotes = true) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view key = Trim(trimmed.substr(0, equals));
  if (key.empty()) return std::nullopt;
  std::string_view value = Trim(trimmed.substr(equals + 1));
  if (stripQuotes && value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return KeyValue{key, value};
}

}  // namespace

Profile Profile::Parse(std::string_view bytes) {
  Profile profile;
  profile.original_ = bytes;
  std::string decoded;  // a Unicode file's text as UTF-8
  if (bytes.substr(0, 3) == kUtf8Mark) {
    profile.encoding_ = Encoding::kUtf8;
    decoded = bytes.substr(3);
  } else if (bytes.substr(0, 2) == kUtf16LeMark || bytes.substr(0, 2) == kUtf16BeMark) {
    const bool bigEndian = bytes.substr(0, 2) == kUtf16BeMark;
    profile.encoding_ = bigEndian ? Encoding::kUtf16Be : Encoding::kUtf16Le;
    decoded = Utf16ToUtf8(bytes.substr(2), bigEndian);
  }
  std::string_view rest = profile.encoding_ == Encoding::kAnsi ? bytes : std::string_view(decoded);
  while (!rest.empty()) {
    Line line;
    std::string_view ending;
    const std::string_view text = TakeLine(rest, &ending);
    line.ending = ending;
    if (profile.encoding_ == Encoding::kAnsi) {
      line.text = text;
    } else {
      line.text = Utf8ToCp1252BestFit(text);
      line.utf8 = text;
    }
    profile.lines_.push_back(std::move(line));
  }
  return profile;
}

std::optional<Profile::Range> Profile::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i].text);
    if (!name || !EqualsIgnoreCase(*name, section)) continue;
    size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end].text)) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::string> Profile::Value(std::string_view section, std::string_view key) const {
  return Lookup(section, key, true);
}

std::optional<std::string> Profile::RawValue(std::string_view section, std::string_view key) const {
  return Lookup(section, key, false);
}

std::optional<std::string> Profile::Lookup(std::string_view section, std::string_view key, bool stripQuotes) const {
  const auto range = FindSection(section);
  if (!range) return std::nullopt;
  for (size_t i = range->header + 1; i < range->end; ++i) {
    const auto kv = ParseKeyLine(lines_[i].text, stripQuotes);
    if (kv && EqualsIgnoreCase(kv->key, key)) return std::string(kv->value);
  }
  return std::nullopt;
}

std::vector<std::string> Profile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const auto range = FindSection(section);
  if (!range) return keys;
  std::unordered_set<std::string> seen;  // upper-cased: a user list of thousands stays linear
  for (size_t i = range->header + 1; i < range->end; ++i) {
    const auto kv = ParseKeyLine(lines_[i].text);
    if (kv && seen.insert(UpperAnsi(kv->key)).second) keys.emplace_back(kv->key);
  }
  return keys;
}

void Profile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  changed_ = true;
  std::string newLine = std::string(key) + "=" + std::string(value);
  auto range = FindSection(section);
  if (!range) {
    if (!lines_.empty() && lines_.back().ending.empty()) lines_.back().ending = "\r\n";
    if (!lines_.empty() && !Trim(lines_.back().text).empty()) lines_.push_back({"", "\r\n", ""});
    lines_.push_back({"[" + std::string(section) + "]", "\r\n", ""});
    lines_.push_back({std::move(newLine), "\r\n", ""});
    return;
  }
  size_t insertAt = range->header + 1;
  for (size_t i = range->header + 1; i < range->end; ++i) {
    const auto kv = ParseKeyLine(lines_[i].text);
    if (kv && EqualsIgnoreCase(kv->key, key)) {
      lines_[i].text = std::move(newLine);
      lines_[i].utf8.clear();
      return;
    }
    if (!Trim(lines_[i].text).empty()) insertAt = i + 1;  // after the section's last non-blank line
  }
  if (lines_[insertAt - 1].ending.empty()) lines_[insertAt - 1].ending = "\r\n";
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), Line{std::move(newLine), "\r\n", ""});
}

std::string Profile::Serialize() const {
  if (!changed_) return original_;
  std::string text;
  for (const Line& line : lines_) {
    // A Unicode file keeps each line it had as it was; what was written
    // goes in from Windows-1252.
    if (encoding_ == Encoding::kAnsi) text += line.text;
    else text += line.utf8.empty() && !line.text.empty() ? Cp1252ToUtf8(line.text) : line.utf8;
    text += line.ending;
  }
  switch (encoding_) {
    case Encoding::kAnsi: return text;
    case Encoding::kUtf8: return std::string(kUtf8Mark) + text;
    case Encoding::kUtf16Le: return std::string(kUtf16LeMark) + Utf8ToUtf16(text, false);
    case Encoding::kUtf16Be: return std::string(kUtf16BeMark) + Utf8ToUtf16(text, true);
  }
  return text;
}

namespace {

// The profile file at `path`, read as ReadSmallFile reads; nothing when it
// cannot be read, and `code` (when given) says why.
std::optional<Profile> ReadProfile(const std::string& path, int* code) {
  std::string bytes;
  const int read = ReadSmallFile(path, bytes, kProfileSizeLimit);
  if (code) *code = read;
  if (read != kOk) return std::nullopt;
  return Profile::Parse(bytes);
}

}  // namespace

std::string ReadProfileString(const std::string& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue, int* code) {
  const std::optional<Profile> profile = ReadProfile(path, code);
  if (!profile) return std::string(defaultValue);
  return profile->Value(section, key).value_or(std::string(defaultValue));
}

std::vector<std::string> ReadProfileKeys(const std::string& path, std::string_view section, int* code) {
  const std::optional<Profile> profile = ReadProfile(path, code);
  return profile ? profile->Keys(section) : std::vector<std::string>();
}

}  // namespace platform
