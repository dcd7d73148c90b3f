// Checks a user's mailbox after a stress run, as an outsider reads it.
//
//   store_check MAILDIR KEY EXPECTED UNKNOWN
//
// EXPECTED lists the subjects that must be in the mailbox (delivered and not
// deleted), one a line; UNKNOWN the subjects whose fate is open (a sender or
// a deletion killed on the way): present or not, both are fine.  Prints one
// line of figures and exits 1 when a record is lost, torn, duplicated,
// shares its text with another, is without its text, shows another
// message's text, or is not accounted for.  The harness's texts read
// "text of SUBJECT": a record whose text reads so for another subject shows
// someone else's message (a text of one user readable by another).
//
//   store_check --seed MAILDIR KEY COUNT PREFIX
//
// Delivers COUNT messages to KEY's mailbox as the store does, subjects
// PREFIX1 to PREFIXn with texts "text of SUBJECT", and prints the subjects,
// one a line: a long mailbox made in one process.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mailstore/MessageRecord.h"
#include "mailstore/MessageText.h"
#include "mailstore/TMail.h"
#include "mailstore/UserInteraction.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace {

std::set<std::string> ReadLines(const std::string& path) {
  std::set<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.insert(line);
  return lines;
}

struct Quiet : mailstore::UserInteraction {
  void ShowAlert(const std::string&, const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  bool AskUser(const std::string&, const std::string&) override { return false; }
  void ShowNotice(const std::string&, const std::string&) override {}
  void ShowErrorText(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void WarningBeep() override {}
  void PauseMs(int) override {}
  void ShowSending(const std::string&) override {}
  void ClearSending() override {}
  void HideSending() override {}
};

int Seed(const std::string& mailDir, const std::string& key, int count, const std::string& prefix) {
  Quiet ui;
  mailstore::TMail mail(ui);
  mail.SetMailDir(mailDir);
  mail.SetUserName("SEED");
  for (int i = 1; i <= count; ++i) {
    const std::string subject = prefix + std::to_string(i);
    std::string path;
    if (!mail.CreateMessageFile(path) ||
        mailstore::WriteMessageText(path, {"text of " + subject}, key, false, uint32_t{0}) != 0 ||
        mail.AppendMessage(key, mailstore::EncodeMessageRecord(subject, "SEED", "12/7/2026 2:15p", path)) != 0) {
      std::fprintf(stderr, "store_check: seeding failed at %s\n", subject.c_str());
      return 1;
    }
    std::printf("%s\n", subject.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::string(argv[1]) == "--seed") return Seed(argv[2], argv[3], std::atoi(argv[4]), argv[5]);
  if (argc != 5) {
    std::fprintf(stderr, "usage: store_check MAILDIR KEY EXPECTED UNKNOWN\n"
                         "       store_check --seed MAILDIR KEY COUNT PREFIX\n");
    return 2;
  }
  const std::string mailDir = argv[1];
  const std::set<std::string> expected = ReadLines(argv[3]);
  const std::set<std::string> unknown = ReadLines(argv[4]);

  std::string bytes;
  const std::string mailbox = platform::ResolveName(mailDir, std::string(argv[2]) + ".LST");
  if (platform::FileExists(mailbox) && platform::ReadWholeFile(mailbox, bytes) != 0) {
    std::fprintf(stderr, "store_check: cannot read %s\n", mailbox.c_str());
    return 1;
  }
  const size_t torn = bytes.size() % mailstore::kRecordSize != 0 ? 1 : 0;
  std::map<std::string, int> subjects;
  std::set<std::string> textsNamed;
  size_t duplicated = 0, sharing = 0, withoutText = 0, strangers = 0, disclosed = 0;
  for (size_t at = 0; at + mailstore::kRecordSize <= bytes.size(); at += mailstore::kRecordSize) {
    const mailstore::MessageRecord record =
        mailstore::DecodeMessageRecord(reinterpret_cast<const unsigned char*>(bytes.data() + at));
    const std::string name = platform::UpperAnsi(platform::FileNamePart(record.textFile));
    if (++subjects[record.subject] > 1) ++duplicated;
    if (!textsNamed.insert(name).second) ++sharing;
    platform::FileInfo info;
    const std::string path = platform::JoinPath(mailDir, name);
    if (!mailstore::IsMessageFileName(name) || platform::StatFile(path, info, platform::Links::kRefuse) != 0) {
      ++withoutText;
    } else {
      std::string text;
      platform::ReadWholeFile(path, text, 4096, platform::Links::kRefuse);
      if (text.rfind("text of ", 0) == 0 && text != "text of " + record.subject + "\r\n") ++disclosed;
    }
    if (!expected.count(record.subject) && !unknown.count(record.subject)) ++strangers;
  }
  size_t lost = 0;
  for (const std::string& subject : expected)
    if (!subjects.count(subject)) ++lost;
  // Texts that no record of any mailbox names (a sender killed between the
  // text and the record leaves one; they are counted, not failed).
  std::set<std::string> namedAnywhere = textsNamed;
  for (const auto& entry : std::filesystem::directory_iterator(mailDir)) {
    const std::string file = entry.path().filename().string();
    if (entry.is_symlink() || !entry.is_regular_file() || platform::UpperAnsi(file).size() < 4 ||
        platform::UpperAnsi(file).substr(platform::UpperAnsi(file).size() - 4) != ".LST")
      continue;
    std::string records;
    platform::ReadWholeFile(entry.path().string(), records, SIZE_MAX, platform::Links::kRefuse);
    for (size_t at = 0; at + mailstore::kRecordSize <= records.size(); at += mailstore::kRecordSize)
      namedAnywhere.insert(platform::UpperAnsi(platform::FileNamePart(
          mailstore::ViewMessageRecord(reinterpret_cast<const unsigned char*>(records.data() + at)).textFile)));
  }
  size_t orphans = 0;
  for (const auto& entry : std::filesystem::directory_iterator(mailDir)) {
    if (entry.is_symlink()) continue;  // planted by the harness, never ours
    const std::string name = platform::UpperAnsi(entry.path().filename().string());
    if (mailstore::IsMessageFileName(name) && !namedAnywhere.count(name)) ++orphans;
  }
  std::printf("%zu records, %zu lost, %zu torn, %zu duplicated, %zu sharing a text, %zu without text, "
              "%zu showing another's text, %zu unaccounted, %zu orphan texts\n",
              bytes.size() / mailstore::kRecordSize, lost, torn, duplicated, sharing, withoutText, disclosed,
              strangers, orphans);
  return lost + torn + duplicated + sharing + withoutText + disclosed + strangers == 0 ? 0 : 1;
}
