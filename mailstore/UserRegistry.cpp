#include "mailstore/UserRegistry.h"

#include "mailstore/IoErrorText.h"
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

// MASTER.INI: in the Mail Directory, else beside the program; code 2 when
// in neither, another code when a look failed (a registry that may exist).
platform::FoundName FindMasterIni(const TMail& mail) {
  platform::FoundName inMailDir = mail.FindName(kMasterIniName);
  if (inMailDir.code != platform::kFileNotFound) return inMailDir;
  platform::FoundName besideProgram = platform::FindName(mail.ProgramDir(), kMasterIniName);
  if (besideProgram.code == platform::kPathNotFound) besideProgram.code = platform::kFileNotFound;
  return besideProgram;
}

}  // namespace

std::string MasterIniPath(const TMail& mail) { return FindMasterIni(mail).path; }

bool HasUserRegistry(const TMail& mail) { return FindMasterIni(mail).code != platform::kFileNotFound; }

bool IsKnownUser(const TMail& mail, std::string_view name, int* code) {
  // Without a registry every name is a user; a registry that cannot be
  // read knows nobody.
  if (code) *code = platform::kOk;
  const platform::FoundName master = FindMasterIni(mail);
  if (master.code == platform::kFileNotFound) return true;
  return platform::ReadProfileString(master.path, kUsersSection, name, kAbsentUser, code) != kAbsentUser;
}

std::vector<std::string> ReadUserNames(const TMail& mail, int* code) {
  return platform::ReadProfileKeys(MasterIniPath(mail), kUsersSection, code);
}

std::string RegistryProblemText(int code) {
  return std::string(kMasterIniName) + " cannot be read.\r\r" + IoErrorText(code);
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

std::string ReplyAddress(const TMail& mail, std::string_view key) {
  for (const std::string& name : ReadUserNames(mail)) {
    if (!platform::EqualsIgnoreCase(MailboxKey(name), key)) continue;
    if (name.find_first_of(" ,") == std::string::npos) return name;
    return "\"" + name + "\"";
  }
  return std::string(key);
}

bool IsMailboxKey(std::string_view key) {
  if (key.empty()) return false;
  for (char c : key)
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 32) return false;
  return true;
}

std::string ReadUserPassword(const TMail& mail, std::string_view name) {
  const platform::FoundName ini = mail.FindName(kMailboxIniName);
  if (ini.code != platform::kOk) return {};  // nobody has a password
  return UnscramblePassword(platform::ReadProfileString(ini.path, kUsersSection, name, ""));
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
