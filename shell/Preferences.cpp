#include "shell/Preferences.h"

#include <charconv>

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "shell/SettingsKeys.h"

namespace shell {
namespace {

// A directory named by an environment variable, when it exists.
std::string ExistingDirectoryFromEnvironment(const char* name) {
  const std::string dir = platform::GetEnv(name);
  platform::FileInfo info;
  return !dir.empty() && platform::StatFile(dir, info) == 0 && info.isDirectory ? dir : std::string();
}

// The folder of the user dictionary by default: beside the program where
// this user may write there, else the user's data folder for the program
// (made when missing), so that an installed copy can still add words.
std::string DefaultUserDictionaryFolder(const std::string& programDir) {
  if (platform::CanWriteInto(programDir)) return programDir;
  std::string base = platform::GetEnv("XDG_DATA_HOME");
  if (base.empty() || base.front() != '/') base = platform::JoinPath(platform::GetEnv("HOME"), ".local/share");
  const std::string folder = platform::JoinPath(platform::JoinPath(base, keys::kOrganization), keys::kApplication);
  platform::MakeDirectories(folder);
  return folder;
}

ColourElement Element(const char* name, bool selected) {
  ColourElement e;
  e.name = name;
  if (selected) {
    e.textColour = kSystemHighlightText;
    e.backgroundColour = kSystemHighlight;
    e.textGridPosition = 15;
    e.backgroundGridPosition = 6;
  }
  return e;
}

int ListNumber(std::string_view list, int n, int current) {
  return ToIntOrZero(ListItem(list, n, std::to_string(current)));
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The whole text as an integer in `base` (a sign allowed in base 10).
bool WholeNumber(std::string_view text, int base, int& value) {
  if (text.empty()) return false;
  if (base == 10) {
    const char* first = text.data() + (text.front() == '+' ? 1 : 0);
    int number = 0;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), number, 10);
    if (error != std::errc{} || end != text.data() + text.size() || first == end) return false;
    value = number;
    return true;
  }
  unsigned number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
  if (error != std::errc{} || end != text.data() + text.size()) return false;
  value = static_cast<int>(number);
  return true;
}

}  // namespace

Preferences DefaultPreferences() {
  Preferences prefs;
  prefs.programDir = platform::ProgramDir();
  // KVMAIL, else the current directory.  A KVMAIL that names no directory
  // (mistyped, or a share not mounted) stays the Mail Directory, so that it
  // is shown as not reachable, and nothing is put into whatever directory
  // the program happened to start in.
  prefs.mailDir = platform::GetEnv("KVMAIL");
  if (prefs.mailDir.empty()) prefs.mailDir = platform::CurrentDirectory();
  prefs.userDictionaryPath = ExistingDirectoryFromEnvironment("DASHDECK");
  if (prefs.userDictionaryPath.empty()) prefs.userDictionaryPath = DefaultUserDictionaryFolder(prefs.programDir);
  prefs.colours = {Element("In Box Normal Text", false),  Element("In Box Selected Text", true),
                   Element("Viewer Normal Text", false),  Element("Viewer Selected Text", true),
                   Element("Editor Normal Text", false),  Element("Editor Selected Text", true)};
  return prefs;
}

std::string ColourElementKey(const ColourElement& element) {
  std::string key;
  for (char c : element.name)
    if (c != ' ') key += c;
  return key;
}

Placement ReadPlacement(std::string_view stored, Placement p, const Placement& screen) {
  p.left = ListNumber(stored, 1, p.left);
  p.top = ListNumber(stored, 2, p.top);
  p.width = ListNumber(stored, 3, p.width);
  p.height = ListNumber(stored, 4, p.height);
  if (p.left > screen.width - 30) p.left = 0;
  if (p.top > screen.height - 30) p.top = 0;
  // The window opens on the screen: never larger than it, its title bar
  // never above it, never all but 30 pixels to its left.
  if (screen.width > 0 && p.width > screen.width) p.width = screen.width;
  if (screen.height > 0 && p.height > screen.height) p.height = screen.height;
  if (p.top < 0) p.top = 0;
  if (p.left + p.width < 30) p.left = 0;
  return p;
}

std::string PlacementText(const Placement& p) {
  const int values[] = {p.left, p.top, p.width, p.height};
  return JoinNumbers(values, 4);
}

std::string JoinNumbers(const int* values, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i) text += ',';
    text += std::to_string(values[i]);
  }
  return text;
}

std::string ListItem(std::string_view list, int n, std::string_view defaultValue) {
  std::string result;
  int counter = 0;
  bool inQuotes = false, inItem = false;
  for (const char c : list) {
    if (counter > n) break;
    if (c == '"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes && (c == ' ' || c == ',')) {
      inItem = false;
    } else {
      if (!inItem) ++counter;
      inItem = true;
      if (counter == n) result += c;
    }
  }
  return result.empty() ? std::string(defaultValue) : result;
}

int ToIntOrZero(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (c != ' ') digits += c;
  int value = 0;
  return WholeNumber(digits, 10, value) ? value : 0;
}

bool ParseStoredNumber(std::string_view text, int& value) {
  const std::string_view trimmed = Trimmed(text);
  if (trimmed.size() > 2 && trimmed[0] == '0' && (trimmed[1] == 'x' || trimmed[1] == 'X'))
    return WholeNumber(trimmed.substr(2), 16, value);
  return WholeNumber(trimmed, 10, value);
}

}  // namespace shell
