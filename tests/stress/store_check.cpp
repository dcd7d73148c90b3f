// Checks a user's mailbox after a stress run, as an outsider reads it.
//
//   store_check MAILDIR KEY EXPECTED UNKNOWN
//
// EXPECTED lists the subjects that must be in the mailbox (delivered and not
// deleted), one a line; UNKNOWN the subjects whose fate is open (a sender or
// a deletion killed on the way): present or not, both are fine.  Prints one
// line of figures and exits 1 when a record is lost, torn, duplicated,
// without its text or not accounted for.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mailstore/MessageRecord.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: store_check MAILDIR KEY EXPECTED UNKNOWN\n");
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
  size_t duplicated = 0, withoutText = 0, strangers = 0;
  for (size_t at = 0; at + mailstore::kRecordSize <= bytes.size(); at += mailstore::kRecordSize) {
    const mailstore::MessageRecord record =
        mailstore::DecodeMessageRecord(reinterpret_cast<const unsigned char*>(bytes.data() + at));
    const std::string name = platform::UpperAnsi(platform::FileNamePart(record.textFile));
    if (++subjects[record.subject] > 1 || !textsNamed.insert(name).second) ++duplicated;
    platform::FileInfo info;
    if (!mailstore::IsMessageFileName(name) ||
        platform::StatFile(platform::JoinPath(mailDir, name), info, platform::Links::kRefuse) != 0)
      ++withoutText;
    if (!expected.count(record.subject) && !unknown.count(record.subject)) ++strangers;
  }
  size_t lost = 0;
  for (const std::string& subject : expected)
    if (!subjects.count(subject)) ++lost;
  // Texts that no record of this mailbox names (a sender killed between the
  // text and the record leaves one; they are counted, not failed).
  size_t stray = 0;
  for (const auto& entry : std::filesystem::directory_iterator(mailDir)) {
    if (entry.is_symlink()) continue;  // planted by the harness, never ours
    const std::string name = platform::UpperAnsi(entry.path().filename().string());
    if (mailstore::IsMessageFileName(name) && !textsNamed.count(name)) ++stray;
  }
  std::printf("%zu records, %zu lost, %zu torn, %zu duplicated, %zu without text, %zu unaccounted, %zu stray texts\n",
              bytes.size() / mailstore::kRecordSize, lost, torn, duplicated, withoutText, strangers, stray);
  return lost + torn + duplicated + withoutText + strangers == 0 ? 0 : 1;
}
