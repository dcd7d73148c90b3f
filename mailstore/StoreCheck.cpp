#include "mailstore/StoreCheck.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "mailstore/IoErrorText.h"
#include "mailstore/UserRegistry.h"
#include "platform/ErrorCode.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace mailstore {
namespace {

// The name a mailbox or text file is known by: upper case, as records and
// keys name them whatever case the share shows.
std::string Known(std::string_view name) { return platform::UpperAnsi(name); }

constexpr int kBusyAttempts = 30;
constexpr int kBusyPauseMs = 200;

std::string Stem(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

class Checker {
 public:
  Checker(TMail& mail, const StoreCheckOptions& options) : mail_(mail), options_(options) {}
  StoreReport Run();

 private:
  void Add(Damage kind, const std::string& file, int record, std::string detail) {
    report_.findings.push_back({kind, file, record, std::move(detail)});
  }
  void CheckMailbox(const platform::FileInfo& entry);
  void CheckTexts();

  TMail& mail_;
  const StoreCheckOptions& options_;
  StoreReport report_;
  std::unordered_set<std::string> named_;  // text files some record names, upper case
};

StoreReport Checker::Run() {
  const std::string userName = mail_.UserName();
  {
    TMail::Operation operation(mail_, TMail::Operation::kListDirectory);
    std::vector<platform::FileInfo> mailboxes;
    const int code = platform::FindFiles(mail_.MailDir(), std::string("*") + kMailboxExtension, mailboxes);
    if (code != platform::kOk && code != platform::kFileNotFound) {
      // Some mailboxes may be unseen: none of their records is known.
      Add(Damage::kUnreadableFile, "", -1, "the Mail Directory could not be listed: " + IoErrorText(code));
      report_.orphansKnown = false;
    }
    for (const platform::FileInfo& entry : mailboxes) CheckMailbox(entry);
    CheckTexts();
  }
  mail_.SetUserName(userName);
  return std::move(report_);
}

void Checker::CheckMailbox(const platform::FileInfo& entry) {
  const std::string name = platform::StoredName(entry.name);
  ++report_.mailboxes;
  if (entry.lookCode != platform::kOk) {
    // There, but what it is cannot be told: its records are unknown.
    Add(Damage::kUnreadableFile, name, -1, "it could not be looked at: " + IoErrorText(entry.lookCode));
    report_.orphansKnown = false;
    return;
  }
  if (entry.isLink || !entry.isRegular) {
    Add(Damage::kUnreadableFile, name, -1, IoErrorText(platform::kNotARegularFile));
    report_.orphansKnown = false;
    return;
  }
  const std::string key = Stem(name);
  if (!IsMailboxKey(key) || MailboxKey(key) != key) {
    Add(Damage::kUnreadableFile, name, -1, "its name is no user's mailbox key, so no copy reads it");
    report_.orphansKnown = false;
    return;
  }
  if (const int64_t rest = entry.size % static_cast<int64_t>(kRecordSize))
    Add(Damage::kTornMailbox, name, -1, std::to_string(rest) + " bytes after the last whole record");

  mail_.SetUserName(key);
  std::vector<unsigned char> bytes;
  // A mailbox being written is busy, not damaged: wait for the writer a
  // few seconds, as the program's own updates wait.
  int code = mail_.ReadRecordBytes(bytes);
  for (int attempt = 0; code == platform::kSharingViolation && attempt < kBusyAttempts; ++attempt) {
    mail_.Ui().PauseMs(kBusyPauseMs);
    code = mail_.ReadRecordBytes(bytes);
  }
  if (code != platform::kOk) {
    Add(Damage::kUnreadableFile, name, -1, IoErrorText(code));
    report_.orphansKnown = false;
    return;
  }
  const int records = static_cast<int>(bytes.size() / kRecordSize);
  report_.records += records;
  std::vector<std::string_view> textFiles(static_cast<size_t>(records));
  for (int i = 0; i < records; ++i)
    textFiles[static_cast<size_t>(i)] = ViewMessageRecord(bytes.data() + static_cast<size_t>(i) * kRecordSize).textFile;
  std::vector<int> states;
  mail_.TextFileStates(textFiles, states);
  const std::vector<int> repeated = RepeatedRecords(bytes.data(), static_cast<size_t>(records));
  std::map<uint32_t, int> firstNaming;  // for the repeated ones: the record that named their text first
  for (int i = 0; i < records; ++i) {
    const unsigned char* record = bytes.data() + static_cast<size_t>(i) * kRecordSize;
    const std::string_view textName = platform::FileNamePart(textFiles[static_cast<size_t>(i)]);
    // A record names its text whatever else is wrong with it, so that text
    // is never an orphan.
    if (IsMessageFileName(textName)) named_.insert(Known(textName));
    if (!repeated.empty()) {
      const std::optional<uint32_t> number = MessageFileNumber(textName);
      if (number && std::binary_search(repeated.begin(), repeated.end(), i)) {
        Add(Damage::kSharedText, name, i,
            "its text " + std::string(textName) + " is named by record " + std::to_string(firstNaming[*number]) +
                " too (a deletion cut short left it twice)");
        continue;
      }
      if (number) firstNaming.emplace(*number, i);
    }
    if (const char* impossible = ImpossibleRecordField(record)) {
      Add(Damage::kImpossibleRecord, name, i, impossible);
      continue;
    }
    const int state = states[static_cast<size_t>(i)];
    if (state == platform::kFileNotFound)
      Add(Damage::kDanglingRecord, name, i,
          textName.empty() ? std::string("it names no text (a deletion cut short)")
                           : "its text " + std::string(textName) + " does not exist");
    else if (state != platform::kOk)
      Add(Damage::kUnreadableFile, std::string(textName), -1,
          "record " + std::to_string(i) + " of " + name + " names it; it could not be looked at: " +
              IoErrorText(state));
  }
}

void Checker::CheckTexts() {
  std::vector<platform::FileInfo> texts;
  const int code = platform::FindFiles(mail_.MailDir(), "*.MSG", texts);
  if (code != platform::kOk && code != platform::kFileNotFound) {
    Add(Damage::kUnreadableFile, "", -1, "the message texts could not all be listed: " + IoErrorText(code));
    report_.orphansKnown = false;
  }
  for (const platform::FileInfo& entry : texts) {
    const std::string name = platform::StoredName(entry.name);
    if (!IsMessageFileName(name)) continue;
    ++report_.texts;
    const std::string path = platform::JoinPath(mail_.MailDir(), entry.name);
    if (entry.lookCode != platform::kOk) {
      Add(Damage::kUnreadableFile, name, -1, "it could not be looked at: " + IoErrorText(entry.lookCode));
      continue;
    }
    if (entry.isLink || !entry.isRegular) {
      Add(Damage::kUnreadableFile, name, -1, IoErrorText(platform::kNotARegularFile));
      continue;
    }
    std::string first;
    if (const int readCode = platform::ReadWholeFile(path, first, 1, platform::Links::kRefuse)) {
      Add(Damage::kUnreadableFile, name, -1, IoErrorText(readCode));
      continue;
    }
    if (!report_.orphansKnown || named_.count(Known(name)) != 0) continue;
    // Maybe a delivery under way.  The change time, not the modification
    // time a delivery may set back to its source file's.
    if (std::max(entry.changedNs, entry.modifiedNs) > options_.nowNs - options_.graceNs) continue;
    Add(Damage::kOrphanText, name, -1, "no record names it");
  }
}

// Puts `bytes` into a new file of `folder` named `name`, or `name` with
// ".1", ".2"... when that is taken: nothing there is replaced.
int SaveInto(const std::string& folder, const std::string& name, std::string_view bytes, std::string& saved) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    saved = platform::JoinPath(folder, platform::DiskName(attempt == 0 ? name : name + "." + std::to_string(attempt)));
    const int code = platform::WriteNewFile(saved, bytes);
    if (code != platform::kFileExists) return code;
  }
  return platform::kFileExists;
}

bool SameDirectory(const std::string& a, const std::string& b) {
  platform::FileInfo first, second;
  if (platform::StatFile(a, first) != platform::kOk || platform::StatFile(b, second) != platform::kOk) return false;
  return first.device == second.device && first.inode == second.inode;
}

}  // namespace

const char* DamageName(Damage kind) {
  switch (kind) {
    case Damage::kDanglingRecord: return "dangling records";
    case Damage::kOrphanText: return "orphan texts";
    case Damage::kTornMailbox: return "torn mailboxes";
    case Damage::kImpossibleRecord: return "impossible records";
    case Damage::kUnreadableFile: return "unreadable files";
    case Damage::kSharedText: return "records sharing a text";
  }
  return "";
}

int StoreReport::Count(Damage kind) const {
  return static_cast<int>(
      std::count_if(findings.begin(), findings.end(), [kind](const StoreFinding& f) { return f.kind == kind; }));
}

StoreReport CheckStore(TMail& mail, const StoreCheckOptions& options) { return Checker(mail, options).Run(); }

RepairResult RepairStore(TMail& mail, const StoreReport& report, const std::string& orphansDir) {
  RepairResult result;
  const std::string userName = mail.UserName();
  auto fail = [&result](const std::string& file, const std::string& what, int code) {
    result.failures.push_back(file + ": " + what + ": " + IoErrorText(code));
  };
  const bool movesFiles = report.Count(Damage::kOrphanText) + report.Count(Damage::kTornMailbox) > 0;
  bool folderReady = false;
  if (movesFiles && orphansDir.empty()) {
    result.failures.push_back("orphan texts and torn tails were left as they are: no folder was named for them");
  } else if (movesFiles) {
    if (const int code = platform::MakeDirectories(orphansDir)) fail(orphansDir, "the folder cannot be made", code);
    else if (SameDirectory(orphansDir, mail.MailDir()))
      result.failures.push_back(orphansDir + ": the folder for orphans cannot be the Mail Directory itself");
    else folderReady = true;
  }

  // Torn tails first: removing a record rewrites the mailbox up to its
  // last whole record, which would drop a tail not saved yet.
  std::unordered_set<std::string> tornLeft;
  for (const StoreFinding& f : report.findings) {
    if (f.kind != Damage::kTornMailbox) continue;
    if (!folderReady) {
      tornLeft.insert(f.file);
      continue;
    }
    mail.SetUserName(Stem(f.file));
    int64_t cut = 0;
    const int code = mail.CutTornTail(
        [&](std::string_view tail) {
          std::string saved;
          return SaveInto(orphansDir, f.file + ".tail", tail, saved);
        },
        cut);
    if (code != platform::kOk) {
      fail(f.file, "its torn tail was not cut", code);
      tornLeft.insert(f.file);
    } else if (cut > 0) {
      ++result.tailsCut;
    }
  }

  // Dangling records and records sharing a text, mailbox by mailbox, each
  // record still as it was seen and still dangling or sharing.
  std::map<std::string, std::vector<int>> leftover;
  for (const StoreFinding& f : report.findings)
    if (f.kind == Damage::kDanglingRecord || f.kind == Damage::kSharedText) leftover[f.file].push_back(f.record);
  for (auto& [file, indexes] : leftover) {
    std::sort(indexes.begin(), indexes.end());
    if (tornLeft.count(file) != 0) {
      result.failures.push_back(file + ": its dangling records were left, so that its torn tail stays");
      continue;
    }
    mail.SetUserName(Stem(file));
    // The removal keeps every record that is no longer as seen now or has
    // its text again: the file may have moved on since the report.
    std::vector<unsigned char> seen;
    int code = mail.ReadRecordBytes(seen);
    if (code == platform::kOk) {
      const TMail::Operation operation(mail);  // texts missing in their spelling: one reading for all
      int removed = 0;
      code = mail.RemoveLeftoverRecords(indexes, seen, &removed);
      result.recordsRemoved += removed;
    }
    if (code != platform::kOk) fail(file, "its dangling records were not removed", code);
  }

  for (const StoreFinding& f : report.findings) {
    if (!folderReady || f.kind != Damage::kOrphanText) continue;
    // Copied, flushed, then deleted: a failure at any step leaves the text
    // where it was.
    const platform::FoundName found = mail.FindName(f.file);
    if (found.code != platform::kOk) {
      if (found.code != platform::kFileNotFound) fail(f.file, "it was not moved", found.code);
      continue;  // gone meanwhile: nothing to move
    }
    std::string bytes, saved;
    int code = platform::ReadWholeFile(found.path, bytes, SIZE_MAX, platform::Links::kRefuse);
    if (code == platform::kOk) code = SaveInto(orphansDir, f.file, bytes, saved);
    if (code == platform::kOk) {
      platform::SetModifiedTime(saved, found.info.modifiedNs);
      code = platform::DeleteFile(found.path, false);
      if (code != platform::kOk) platform::DeleteFile(saved, false);  // the text stays where it was, once
    }
    if (code != platform::kOk) fail(f.file, "it was not moved", code);
    else ++result.textsMoved;
  }
  mail.SetUserName(userName);
  return result;
}

}  // namespace mailstore
