#include "mailstore/TMail.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "mailstore/IoErrorText.h"
#include "mailstore/UserRegistry.h"
#include "platform/ErrorCode.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace mailstore {
namespace {

constexpr int kOpenAttempts = 6;
constexpr int kAccessDeniedPauseMs = 1000;
constexpr uint32_t kMaxCreateAttempts = 2147483647u;
// The lock under which message text names are picked, and how long a
// sender waits for it (it is held for a creation or two).
constexpr std::string_view kNamesLockName = "MSGNAMES.LCK";
constexpr int kNamesLockPauseMs = 5;
constexpr int kNamesLockMaxPauseMs = 80;
constexpr int kNamesLockWaitMs = 10000;

std::string RetryQuestion(std::string_view key, const std::string& reason) {
  return "Cannot send mail to " + std::string(key) + "." + "\r\r" + reason + "\r\r" +
         "Do you want to attempt to send the message again?";
}

// The weight of a mailbox key: the sum of its character codes plus
// 256 * (2^(n-1) - 1) for a key of n characters.
uint32_t KeyWeight(std::string_view key) {
  uint32_t w = 0, sum = 0;
  for (char c : key) {
    sum += static_cast<unsigned char>(c) + w;
    w = w > 0 ? 2 * w : 256;
  }
  return sum;
}

// The local moment packed as a file date and time: the date in the upper 16
// bits, the time (to two seconds) in the lower; 0 outside 1980 to 2099.
uint32_t PackedDateTime(const platform::LocalTime& t) {
  if (t.year < 1980 || t.year > 2099) return 0;
  const uint32_t date = static_cast<uint32_t>((t.year - 1980) * 512 + t.month * 32 + t.day);
  const uint32_t time = static_cast<uint32_t>(t.hour * 2048 + t.minute * 32 + t.second / 2);
  return (date << 16) | time;
}

}  // namespace

std::string MessageFileName(std::string_view key, const platform::LocalTime& time, uint32_t attempt) {
  const uint32_t value = PackedDateTime(time) + 1000000000u + KeyWeight(key) + attempt;  // modulo 2^32
  char name[16];
  std::snprintf(name, sizeof name, "%04X%04X.MSG", value >> 16, value & 0xFFFFu);
  return name;
}

TMail::TMail(UserInteraction& ui, const platform::Clock& clock) : ui_(ui), clock_(clock) {}

platform::FoundName TMail::FindName(std::string_view name) const {
  return platform::FindName(mailDir_, name, index_ ? &*index_ : nullptr);
}

std::string TMail::MailboxPath(std::string_view key) const {
  key = key.substr(0, 8);
  if (!IsMailboxKey(key)) return {};
  return FindName(std::string(key) + kMailboxExtension).path;
}

platform::FoundName TMail::ResolveTextFile(std::string_view stored) const {
  const std::string_view name = platform::FileNamePart(stored);
  if (!IsMessageFileName(name)) return {{}, platform::kFileNotFound, {}};
  if (indexFirst_ && index_) {
    int code = platform::kOk;
    if (const std::optional<std::string_view> spelled = index_->Find(name, code))
      return {platform::JoinPath(mailDir_, *spelled), platform::kOk, {}};
    // Not listed (or no listing): a look of its own decides, as always.
  }
  return FindName(name);
}

int TMail::OpenMailbox(std::string_view key, Mode mode) {
  key = key.substr(0, 8);
  const std::string path = MailboxPath(key);
  if (path.empty()) return platform::kPathNotFound;  // a key with a path in it
  int code = platform::kOk;
  if (mode == Mode::kRead) {
    code = mailbox_.Open(path, platform::ShareMode::kRead);
  } else {
    for (;;) {
      for (int attempt = 1;; ++attempt) {
        // Opening with creation finds an existing file as it is and creates a
        // missing one, so a mailbox that another copy creates at the same
        // moment is retried like any busy one instead of failing.
        code = mailbox_.Open(path, platform::ShareMode::kCreate);
        if (code == platform::kOk) code = mailboxLock_.Take(platform::LockDirectory::For(path));
        if (code != platform::kOk) CloseMailbox();
        if (code == platform::kAccessDenied) ui_.PauseMs(kAccessDeniedPauseMs);
        if ((code != platform::kAccessDenied && code != platform::kSharingViolation) || attempt >= kOpenAttempts)
          break;
      }
      if (code == platform::kOk || code == platform::kFileNotFound || code == platform::kPathNotFound ||
          code == platform::kInvalidDrive)
        break;
      const std::string reason = (code == platform::kAccessDenied || code == platform::kSharingViolation)
                                     ? "The mailbox may have been locked by another user\ror write protected."
                                     : IoErrorText(code);
      if (!ui_.AskRetry(RetryQuestion(key, reason))) break;
    }
  }
  if (code == platform::kFileNotFound && mode == Mode::kRead) code = mailbox_.Open(path, platform::ShareMode::kCreate);
  if (code != platform::kOk) CloseMailbox();
  return code;
}

int TMail::CloseMailbox() {
  const int code = mailbox_.Close();
  // What was written is in the file whatever becomes of the lock: a lock
  // left behind is broken as stale, never reported as a failed operation.
  mailboxLock_.Release();
  return code;
}

int TMail::Finish(int code) {
  const int closeCode = CloseMailbox();
  return code != platform::kOk ? code : closeCode;
}

int TMail::CountMessages() {
  const std::string key = MailboxKey(userName_);
  countCode_ = platform::kPathNotFound;
  if (!IsMailboxKey(key)) return 0;
  const platform::FoundName found = FindName(key.substr(0, 8) + kMailboxExtension);
  if (found.code == platform::kFileNotFound) {
    // A directory that holds nothing at all is taken for a share that is
    // not there: no mailbox is made in it.
    std::vector<platform::FileInfo> entries;
    if (!HasUserRegistry(*this) && platform::FindFiles(mailDir_, "*", entries) == platform::kFileNotFound) {
      countCode_ = kMailDirectoryEmpty;
      return 0;
    }
    countCode_ = OpenMailbox(key, Mode::kRead);
    if (countCode_ == platform::kOk) CloseMailbox();
    return 0;
  }
  // A link or a folder in the mailbox's place holds no records of ours.
  countCode_ = found.code != platform::kOk ? found.code : found.info.isRegular ? platform::kOk : platform::kNotARegularFile;
  if (countCode_ != platform::kOk) return 0;
  return static_cast<int>(found.info.size / static_cast<int64_t>(kRecordSize));
}

int TMail::AppendMessage(std::string_view key, const RecordBytes& record) {
  int code = OpenMailbox(key, Mode::kUpdate);
  if (code != platform::kOk) return code;
  int64_t size = 0;
  code = mailbox_.Size(size);
  if (code != platform::kOk) return Finish(code);
  const int64_t end = size / static_cast<int64_t>(kRecordSize) * static_cast<int64_t>(kRecordSize);
  code = mailbox_.WriteAt(end, record.data(), record.size());
  if (code == platform::kOk) code = mailbox_.Flush();
  if (code != platform::kOk) mailbox_.Truncate(size);  // leave no half-written record
  return Finish(code);
}

int TMail::ReadMessage(int index, MessageRecord& record) {
  int code = OpenMailbox(MailboxKey(userName_), Mode::kRead);
  if (code != platform::kOk) return code;
  RecordBytes bytes{};
  if (index < 0) return Finish(platform::kReadError);
  code = mailbox_.ReadAt(RecordOffset(index), bytes.data(), bytes.size());
  if (code == platform::kOk) record = ResolveRecord(bytes);
  return Finish(code);
}

int TMail::ReadMessages(int first, std::vector<MessageRecord>& records) {
  records.clear();
  int code = OpenMailbox(MailboxKey(userName_), Mode::kRead);
  if (code != platform::kOk) return code;
  int64_t size = 0;
  code = mailbox_.Size(size);
  const int64_t start = static_cast<int64_t>(std::max(first, 0)) * static_cast<int64_t>(kRecordSize);
  const int64_t whole = size / static_cast<int64_t>(kRecordSize) * static_cast<int64_t>(kRecordSize);
  if (code == platform::kOk && whole > start) {
    std::vector<unsigned char> bytes(static_cast<size_t>(whole - start));
    code = mailbox_.ReadAt(start, bytes.data(), bytes.size());
    code = Finish(code);  // the lock is not needed while the names are resolved
    if (code != platform::kOk) return code;
    records.reserve(bytes.size() / kRecordSize);
    RecordBytes one{};
    for (size_t at = 0; at < bytes.size(); at += kRecordSize) {
      std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), kRecordSize, one.begin());
      records.push_back(ResolveRecord(one));
    }
    return platform::kOk;
  }
  return Finish(code);
}

int TMail::ReadRecordBytes(std::vector<unsigned char>& bytes) {
  bytes.clear();
  int code = OpenMailbox(MailboxKey(userName_), Mode::kRead);
  if (code != platform::kOk) return code;
  int64_t size = 0;
  code = mailbox_.Size(size);
  const int64_t whole = size / static_cast<int64_t>(kRecordSize) * static_cast<int64_t>(kRecordSize);
  if (code == platform::kOk && whole > 0) {
    bytes.resize(static_cast<size_t>(whole));
    code = mailbox_.ReadAt(0, bytes.data(), bytes.size());
    if (code != platform::kOk) bytes.clear();
  }
  return Finish(code);
}

int TMail::TextFileState(std::string_view stored) const {
  const std::string_view name = platform::FileNamePart(stored);
  int code = platform::kOk;
  return TextNameState(name, IsMessageFileName(name) && indexFirst_ && index_ && index_->Contains(name, code));
}

int TMail::TextNameState(std::string_view name, bool listed) const {
  if (!IsMessageFileName(name)) return platform::kFileNotFound;
  // Not listed (or no listing): a look of its own decides.
  return listed ? platform::kOk : FindName(name).code;
}

void TMail::TextFileStates(const std::vector<std::string_view>& stored, std::vector<int>& states) const {
  std::vector<std::string_view> names(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) names[i] = platform::FileNamePart(stored[i]);
  std::vector<char> listed;
  int code = platform::kOk;
  if (indexFirst_ && index_) index_->ContainsEach(names, listed, code);
  states.resize(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) states[i] = TextNameState(names[i], i < listed.size() && listed[i]);
}

MessageRecord TMail::ResolveRecord(const RecordBytes& bytes) const {
  MessageRecord record = DecodeMessageRecord(bytes);
  platform::FoundName found = ResolveTextFile(record.textFile);
  record.textFileCode = found.code;
  record.textFile = std::move(found.path);
  return record;
}

int TMail::MarkAsRead(int index) {
  int64_t records = 0;
  RecordBytes bytes{};
  const int code = OpenOwnRecord(index, records, bytes);
  return code != platform::kOk ? code : MarkOpenRecord(index, bytes);
}

int TMail::MarkAsRead(const std::string& textFile, int& index) {
  int64_t records = 0;
  RecordBytes bytes{};
  const int code = OpenNamedRecord(textFile, index, records, bytes);
  return code != platform::kOk ? code : MarkOpenRecord(index, bytes);
}

int TMail::MarkOpenRecord(int index, RecordBytes& bytes) {
  int code = platform::kOk;
  if (AddReadMark(bytes)) {
    code = mailbox_.WriteAt(RecordOffset(index), bytes.data(), bytes.size());
    if (code == platform::kOk) code = mailbox_.Flush();
  }
  return Finish(code);
}

int TMail::DeleteMessage(int index, bool* messageGone) {
  if (messageGone) *messageGone = false;
  int64_t records = 0;
  RecordBytes bytes{};
  const int code = OpenOwnRecord(index, records, bytes);
  return code != platform::kOk ? code : DeleteOpenRecord(index, records, bytes, messageGone);
}

int TMail::DeleteMessage(const std::string& textFile, int& index, bool* messageGone) {
  if (messageGone) *messageGone = false;
  int64_t records = 0;
  RecordBytes bytes{};
  const int code = OpenNamedRecord(textFile, index, records, bytes);
  return code != platform::kOk ? code : DeleteOpenRecord(index, records, bytes, messageGone);
}

int TMail::DeleteOpenRecord(int index, int64_t records, const RecordBytes& bytes, bool* messageGone) {
  const int64_t offset = RecordOffset(index);
  // Every record, read once under the lock: the later ones move down, and
  // the others tell whether the text is named twice.
  std::vector<unsigned char> all(static_cast<size_t>(records) * kRecordSize);
  int code = all.empty() ? platform::kOk : mailbox_.ReadAt(0, all.data(), all.size());
  if (code != platform::kOk) return Finish(code);

  // A text that another record of the mailbox names too stays: that record
  // is the one left by a deletion cut short (or this one is), and both name
  // one message.  Otherwise the text goes first; only a text that does not
  // exist lets the record go without it.  A link in its place is removed
  // itself, never its target.
  const std::string stored = DecodeMessageRecord(bytes).textFile;
  const uint64_t key = TextKey(stored);
  bool namedTwice = false;
  for (int64_t i = 0; key != 0 && !namedTwice && i < records; ++i)
    namedTwice = i != index && TextKey(ViewMessageRecord(all.data() + static_cast<size_t>(i) * kRecordSize).textFile) == key;
  const platform::FoundName text =
      namedTwice ? platform::FoundName{{}, platform::kFileNotFound, {}} : ResolveTextFile(stored);
  code = text.code == platform::kFileNotFound ? platform::kOk : text.code;
  if (code != platform::kOk) return Finish(code);
  if (!text.path.empty() && text.code == platform::kOk) {
    // The record stops naming its text before the text goes.  A removal cut
    // short after that leaves a record that names nothing, which the next
    // look drops; a record left naming a deleted text would come back to
    // life with the text of the next message given the same name (by any
    // sender, for any user).  When the text cannot be deleted, the record
    // is put back as it was.
    RecordBytes unnamed = bytes;
    ForgetTextFile(unnamed);
    code = mailbox_.WriteAt(offset, unnamed.data(), unnamed.size());
    if (code == platform::kOk) code = platform::DeleteFile(text.path, /*clearAttributes=*/true);
    if (code == platform::kFileNotFound) code = platform::kOk;  // gone meanwhile
    if (code != platform::kOk) {
      mailbox_.WriteAt(offset, bytes.data(), bytes.size());
      return Finish(code);
    }
  }
  // From here on the message is gone: a record left behind names nothing
  // or repeats another, and the next look drops it.
  if (messageGone) *messageGone = true;

  // Move the later records down by one in a single write, then cut the
  // file.  Cut short between the two, the last record stands twice; the
  // next look drops the second one (RepeatedRecords).
  const int64_t tailStart = offset + static_cast<int64_t>(kRecordSize);
  const int64_t tailSize = records * static_cast<int64_t>(kRecordSize) - tailStart;
  if (tailSize > 0) code = mailbox_.WriteAt(offset, all.data() + tailStart, static_cast<size_t>(tailSize));
  if (code == platform::kOk) code = mailbox_.Truncate((records - 1) * static_cast<int64_t>(kRecordSize));
  if (code == platform::kOk) code = mailbox_.Flush();
  return Finish(code);
}

int TMail::OpenOwnMailbox(int64_t& records) {
  int code = OpenMailbox(MailboxKey(userName_), Mode::kUpdate);
  if (code != platform::kOk) return code;
  int64_t size = 0;
  code = mailbox_.Size(size);
  if (code != platform::kOk) return Finish(code);
  records = size / static_cast<int64_t>(kRecordSize);
  return platform::kOk;
}

int TMail::OpenOwnRecord(int index, int64_t& records, RecordBytes& bytes) {
  int code = OpenOwnMailbox(records);
  if (code != platform::kOk) return code;
  if (index < 0 || index >= records) return Finish(platform::kReadError);
  code = mailbox_.ReadAt(RecordOffset(index), bytes.data(), bytes.size());
  return code == platform::kOk ? code : Finish(code);
}

int TMail::RemoveLeftoverRecords(const std::vector<int>& indexes, const std::vector<unsigned char>& seen,
                                 int* removed) {
  if (removed) *removed = 0;
  if (indexes.empty()) return platform::kOk;
  int64_t records = 0;
  int code = OpenOwnMailbox(records);
  if (code != platform::kOk) return code;
  const size_t first = static_cast<size_t>(indexes.front());
  if (static_cast<int64_t>(first) >= records) return Finish(platform::kOk);
  // The records from the first one named on; the ones before only when a
  // record has its text, and whether it repeats an earlier one's text must
  // be decided on what the whole file holds now.
  const size_t wholeSize = static_cast<size_t>(records) * kRecordSize;
  std::unique_ptr<unsigned char[]> all(new unsigned char[wholeSize]);
  code = mailbox_.ReadAt(RecordOffset(static_cast<int>(first)), all.get() + first * kRecordSize,
                         wholeSize - first * kRecordSize);
  if (code != platform::kOk) return Finish(code);
  std::optional<std::vector<int>> repeated;
  auto repeats = [&](size_t i) {
    if (!repeated) {
      if (first > 0 && mailbox_.ReadAt(0, all.get(), first * kRecordSize) != platform::kOk) return false;
      repeated = RepeatedRecords(all.get(), static_cast<size_t>(records));
    }
    return std::binary_search(repeated->begin(), repeated->end(), static_cast<int>(i));
  };

  // Keep every record from the first removed one on, except those that are
  // still what the scan saw and still without their text or still naming a
  // text an earlier record names.
  std::vector<unsigned char> kept;
  kept.reserve(wholeSize - first * kRecordSize);
  size_t next = 0;
  for (size_t i = first; i < static_cast<size_t>(records); ++i) {
    const unsigned char* bytes = all.get() + i * kRecordSize;
    bool remove = false;
    if (next < indexes.size() && static_cast<size_t>(indexes[next]) == i) {
      ++next;
      const size_t at = i * kRecordSize;
      remove = at + kRecordSize <= seen.size() &&
               std::equal(bytes, bytes + kRecordSize, seen.begin() + static_cast<std::ptrdiff_t>(at)) &&
               (TextFileState(ViewMessageRecord(bytes).textFile) == platform::kFileNotFound || repeats(i));
    }
    if (!remove) kept.insert(kept.end(), bytes, bytes + kRecordSize);
  }
  const size_t tailSize = wholeSize - first * kRecordSize;
  if (kept.size() == tailSize) return Finish(platform::kOk);
  if (!kept.empty()) code = mailbox_.WriteAt(RecordOffset(static_cast<int>(first)), kept.data(), kept.size());
  if (code == platform::kOk)
    code = mailbox_.Truncate(static_cast<int64_t>(first * kRecordSize + kept.size()));
  if (code == platform::kOk) code = mailbox_.Flush();
  if (code == platform::kOk && removed) *removed = static_cast<int>((tailSize - kept.size()) / kRecordSize);
  return Finish(code);
}

int TMail::CutTornTail(const std::function<int(std::string_view tail)>& keep, int64_t& cut) {
  cut = 0;
  int64_t records = 0;
  int code = OpenOwnMailbox(records);
  if (code != platform::kOk) return code;
  int64_t size = 0;
  code = mailbox_.Size(size);
  const int64_t whole = RecordOffset(static_cast<int>(records));
  if (code != platform::kOk || size == whole) return Finish(code);
  std::string tail(static_cast<size_t>(size - whole), '\0');
  code = mailbox_.ReadAt(whole, tail.data(), tail.size());
  if (code == platform::kOk) code = keep(tail);
  if (code == platform::kOk) code = mailbox_.Truncate(whole);
  if (code == platform::kOk) code = mailbox_.Flush();
  if (code == platform::kOk) cut = size - whole;
  return Finish(code);
}

int TMail::OpenNamedRecord(const std::string& textFile, int& index, int64_t& records, RecordBytes& bytes) {
  const std::string wanted = platform::UpperAnsi(platform::FileNamePart(textFile));
  if (!IsMessageFileName(wanted)) return platform::kFileNotFound;
  auto names = [&wanted](const unsigned char* record) {
    return platform::UpperAnsi(platform::FileNamePart(DecodeMessageRecord(record).textFile)) == wanted;
  };
  int code = OpenOwnMailbox(records);
  if (code != platform::kOk) return code;
  if (index >= 0 && index < records) {
    code = mailbox_.ReadAt(RecordOffset(index), bytes.data(), bytes.size());
    if (code != platform::kOk) return Finish(code);
    if (names(bytes.data())) return platform::kOk;
  }
  std::vector<unsigned char> all(static_cast<size_t>(records) * kRecordSize);
  if (!all.empty()) code = mailbox_.ReadAt(0, all.data(), all.size());
  if (code != platform::kOk) return Finish(code);
  for (int64_t i = 0; i < records; ++i) {
    const unsigned char* record = all.data() + static_cast<size_t>(i) * kRecordSize;
    if (!names(record)) continue;
    std::copy_n(record, kRecordSize, bytes.begin());
    index = static_cast<int>(i);
    return platform::kOk;
  }
  return Finish(platform::kFileNotFound);
}

bool TMail::TakenInOtherLetters(const std::string& name) const {
  // On a share that ignores case a name in other letters is the same file,
  // and another copy's "992501be.msg" or "992501be.MSG" must not get a twin
  // "992501BE.MSG".  An operation's reading of the directory, when it has
  // been made, answers for every spelling it lists: a run of senders in
  // the same seconds leaves a run of taken names that each sender walks,
  // and one look on disk for each of them would cost more than the
  // delivery.  Without it, and for a name the reading lacks (it may have
  // come since), the spellings writers give a name get a look each: all
  // in lower case (a share or a tool that turns names to it), and digits
  // and extension each in the other case ("99260a6f.MSG" from a peer that
  // writes its digits in lower case).  Reading the directory for every
  // send instead would cost a share of 100,000 files more than the
  // delivery itself.
  // A look that fails says nothing; the exclusive creation then decides.
  int code = platform::kOk;
  if (index_ && index_->IsLoaded() && index_->Contains(name, code)) return true;
  const std::string lower = platform::LowerAscii(name);
  for (const std::string& spelling : {lower, lower.substr(0, 8) + name.substr(8), name.substr(0, 8) + lower.substr(8)})
    if (platform::EntryExists(platform::JoinPath(mailDir_, spelling))) return true;
  return false;
}

void TMail::BeginIndex() {
  if (ahead_ && ahead_->Directory() == mailDir_) index_.emplace(ahead_->Take());
  else index_.emplace(mailDir_);
  ahead_.reset();
}

bool TMail::TakeNamesLock(platform::LockDirectory& lock, const std::string& directory) {
  const std::string path = platform::JoinPath(directory, kNamesLockName);
  // The pause grows while the lock stays busy, so that waiting senders do
  // not flood a slow share with looks.
  for (int waited = 0, pause = kNamesLockPauseMs;; waited += pause, pause = std::min(2 * pause, kNamesLockMaxPauseMs)) {
    const int code = lock.Take(path);
    if (code == platform::kOk) return true;
    if (code != platform::kSharingViolation || waited >= kNamesLockWaitMs) return false;
    ui_.PauseMs(pause);
  }
}

bool TMail::CreateMessageFile(std::string& path) {
  const std::string key = MailboxKey(userName_);
  const platform::LocalTime now = clock_.LocalNow();
  // Every name before the last one this object created in the same two
  // seconds for the same key is taken already (or was, and may be again):
  // start after it instead of trying them all once more.
  const std::string first = MessageFileName(key, now, 0);
  uint32_t attempt = first == lastFirstName_ ? nextAttempt_ : 0;
  // The record names the text file with its full path, whatever the Mail
  // Directory was given as.
  const std::string directory = platform::AbsolutePath(mailDir_);
  // Once a name turns out taken (other copies sent in the same two
  // seconds), the names are checked against one reading of the directory
  // rather than by one failing creation each.
  std::optional<Operation> listing;
  // One copy at a time picks a name: an exclusive creation is not atomic
  // through every share client, and two copies that both "created" one
  // name would write one text for two records.
  platform::LockDirectory namesLock;
  if (!TakeNamesLock(namesLock, directory)) return false;
  for (; attempt < kMaxCreateAttempts; ++attempt) {
    const std::string name = MessageFileName(key, now, attempt);
    if (TakenInOtherLetters(name)) continue;
    const std::string candidate = platform::JoinPath(directory, name);
    const int code = platform::CreateExclusive(candidate);
    if (code == platform::kOk) {
      path = candidate;
      lastFirstName_ = first;
      nextAttempt_ = attempt + 1;
      return true;
    }
    // Only a taken name is worth another try; any other failure (a missing
    // or write-protected directory) would fail for every name.  Some
    // clients answer a creation that lost its race with "access denied":
    // the name is taken when it is there now.
    if (code == platform::kAccessDenied && platform::EntryExists(candidate)) continue;
    if (code != platform::kFileExists) return false;
    if (!listing) {
      listing.emplace(*this);
      int listed = platform::kOk;
      index_->Find(name, listed);  // reads the directory now
    }
  }
  return false;
}

void TMail::ShowIoError(int code) { ui_.ShowErrorText(IoErrorText(code)); }

}  // namespace mailstore
