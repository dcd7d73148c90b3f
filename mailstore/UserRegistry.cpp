#include "mailstore/UserRegistry.h"

#include "mailstore/TMail.h"
#include "platform/ErrorCode.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"

namespace mailstore {
namespace {

// The default that tells an absent key from one with an empty value, as the
// registry's readers have always done; a key holding exactly this text
// therefore counts as absent.
constexpr const char* kAbsentUser = "@#$!$%%@*&#";

std::string MailboxIniPath(const TMail& mail) { return mail.FindName(kMailboxIniName).path; }

}  // namespace

std::string MasterIniPath(const TMail& mail) {
  const platform::FoundName inMailDir = mail.FindName(kMasterIniName);
  if (inMailDir.code == platform::kOk) return inMailDir.path;
  return platform::ResolveName(mail.ProgramDir(), kMasterIniName);
}

bool HasUserRegistry(const TMail& mail) { return platform::FileExists(MasterIniPath(mail)); }

bool IsKnownUser(const TMail& mail, std::string_view name) {
  const std::string path = MasterIniPath(mail);
  if (!platform::FileExists(path)) return true;
  return platform::ReadProfileString(path, kUsersSection, name, kAbsentUser) != kAbsentUser;
}

std::vector<std::string> ReadUserNames(const TMail& mail) {
  return platform::ReadProfileKeys(MasterIniPath(mail), kUsersSection);
}

std::vector<std::string> ListMailboxNames(const TMail& mail, int& code) {
  std::vector<platform::FileInfo> entries;
  code = platform::FindFiles(mail.MailDir(), std::string("*") + kMailboxExtension, entries);
  std::vector<std::string> names;
  for (const platform::FileInfo& entry : entries) {
    if (entry.isDirectory) continue;
    const std::string name = platform::StoredName(entry.name);
    const size_t dot = name.find_last_of('.');
    names.push_back(dot == std::string::npos ? name : name.substr(0, dot));
  }
  return names;
}

std::string MailboxKey(std::string_view name) {
  std::string key;
  for (char c : name)
    if (c != ' ') key += c;
  if (key.size() > 8) key.resize(8);
  return key;
}

bool IsMailboxKey(std::string_view key) {
  if (key.empty()) return false;
  for (char c : key)
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32) return false;
  return true;
}

std::string ReadUserPassword(const TMail& mail, std::string_view name) {
  return UnscramblePassword(
      platform::ReadProfileString(MailboxIniPath(mail), kUsersSection, name, "", platform::Links::kRefuse));
}

int WriteUserPassword(const TMail& mail, std::string_view password) {
  return platform::WriteProfileString(MailboxIniPath(mail), kUsersSection, mail.UserName(),
                                      ScramblePassword(password), platform::Links::kRefuse);
}

std::string ScramblePassword(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const int c = static_cast<unsigned char>(out[i]);
    out[i] = static_cast<char>((2 * c + static_cast<int>(i + 1)) % 256);
  }
  return out;
}

std::string UnscramblePassword(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const int e = static_cast<unsigned char>(out[i]);
    const int c = (e - static_cast<int>(i + 1)) / 2;  // truncates toward zero
    out[i] = static_cast<char>(((c % 256) + 256) % 256);
  }
  return out;
}

}  // namespace mailstore
