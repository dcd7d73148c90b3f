#include "shell/ConfigFiles.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "mailstore/UserRegistry.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"
#include "shell/Login.h"

namespace shell {
namespace {

enum class Key { kPmail, kPspr, kMailDir, kCheckMail, kBeep, kShowMailDir, kNetRefreshRate, kMasterInf };

struct KeyName {
  Key key;
  std::string_view text;
};
// Matched in this order, at the very start of the upper-cased line.
constexpr KeyName kKeys[] = {
    {Key::kPmail, "PMAIL="},       {Key::kPspr, "PSPR="},
    {Key::kMailDir, "MAILDIR="},   {Key::kCheckMail, "CHECKMAIL="},
    {Key::kBeep, "BEEP="},         {Key::kShowMailDir, "SHOWMAILDIR="},
    {Key::kNetRefreshRate, "NETREFRESHRATE="}, {Key::kMasterInf, "MASTER$INF="},
};

// Paths are local bytes (UTF-8); texts of these files are Windows-1252,
// though a file written here may hold a path in UTF-8 already.
std::string PathFromFile(const std::string& value) {
  return platform::IsUtf8(value) ? value : platform::Cp1252ToUtf8(value);
}

}  // namespace

std::string UserConfigFilePath(const std::string& userName, const std::string& programDir) {
  std::string dir = platform::GetEnv("DASHDECK");
  if (dir.empty()) dir = programDir;
  // Cut after 8 characters of the stored name, never inside a character.
  std::string name = userName;
  name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
  name = name.empty() ? kNoUserConfigName : name.substr(0, 8) + ".INF";
  const std::string path = platform::ResolveName(dir, name);
  return platform::FileExists(path) ? path : std::string();
}

void ApplyConfigFile(const std::string& path, Preferences& prefs) {
  if (path.empty()) return;
  std::string bytes;
  // An .INF file lies where others may write: no link, no pipe, no giant.
  if (platform::ReadSmallFile(path, bytes, platform::kProfileSizeLimit) != 0) return;
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const std::string_view line = platform::TakeLine(rest);

    const std::string upper = platform::UpperAnsi(line);
    for (const KeyName& k : kKeys) {
      if (upper.rfind(k.text, 0) != 0) continue;
      const std::string asWritten(line.substr(k.text.size()));
      const std::string upperValue = upper.substr(k.text.size());
      switch (k.key) {
        case Key::kPspr:
          if (!asWritten.empty())
            prefs.supervisorPassword = mailstore::UnscramblePassword(asWritten).substr(0, kPasswordRoom);
          break;
        case Key::kMailDir:
          // Taken as written: on a file system that tells case apart the
          // upper-cased path would name another directory.
          if (!asWritten.empty()) prefs.mailDir = PathFromFile(asWritten);
          break;
        case Key::kCheckMail: prefs.checkMailContinuously = upperValue == "YES"; break;
        case Key::kBeep: prefs.notifyWhenMailArrives = upperValue == "YES"; break;
        default: break;
      }
      break;
    }
  }
}

void ApplyConfigFiles(const std::string& userName, Preferences& prefs) {
  ApplyConfigFile(UserConfigFilePath(userName, prefs.programDir), prefs);
  const std::string master = platform::ResolveName(prefs.programDir, kMasterConfigName);
  if (platform::FileExists(master)) ApplyConfigFile(master, prefs);
}

}  // namespace shell
