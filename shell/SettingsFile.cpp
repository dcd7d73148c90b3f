#include "shell/SettingsFile.h"

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "platform/ProfileFile.h"
#include "shell/SettingsKeys.h"

namespace shell {

std::string SettingsFilePath() {
  std::string base = platform::GetEnv("XDG_CONFIG_HOME");
  if (base.empty() || base.front() != '/') base = platform::JoinPath(platform::GetEnv("HOME"), ".config");
  return platform::JoinPath(platform::JoinPath(base, keys::kOrganization), std::string(keys::kApplication) + ".conf");
}

std::string UnescapeStoredValue(std::string_view written) {
  std::string value;
  bool quoted = false;
  for (size_t i = 0; i < written.size(); ++i) {
    const char c = written[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '\\' && i + 1 < written.size()) {
      const char e = written[++i];
      switch (e) {
        case 'a': value += '\a'; break;
        case 'b': value += '\b'; break;
        case 'f': value += '\f'; break;
        case 'n': value += '\n'; break;
        case 'r': value += '\r'; break;
        case 't': value += '\t'; break;
        case 'v': value += '\v'; break;
        case '0': value += '\0'; break;
        default: value += e; break;  // \\, \", \', \? and any other
      }
    } else {
      value += c;
    }
  }
  if (value.rfind("@@", 0) == 0) value.erase(0, 1);
  return value;
}

std::optional<std::string> ReadStoredMailDir() {
  std::string bytes;
  if (platform::ReadWholeFile(SettingsFilePath(), bytes) != 0) return std::nullopt;
  // The file's own quoting is undone here, not by the profile reader.
  const std::optional<std::string> raw = platform::Profile::Parse(bytes).RawValue(keys::kMail, keys::kMailDir);
  if (!raw) return std::nullopt;
  return UnescapeStoredValue(*raw);
}

std::string StartingMailDir() {
  if (std::optional<std::string> stored = ReadStoredMailDir()) return *std::move(stored);
  return DefaultPreferences().mailDir;
}

void StoredMailDirOnly::Load(Preferences& prefs, MainWindowLayout&, mailstore::UserInteraction&) {
  if (const std::optional<std::string> mailDir = ReadStoredMailDir()) prefs.mailDir = *mailDir;
}

}  // namespace shell
