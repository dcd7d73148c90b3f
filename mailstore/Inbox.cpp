#include "mailstore/Inbox.h"

#include "mailstore/UserRegistry.h"

#include <algorithm>
#include <vector>

#include "mailstore/IoErrorText.h"
#include "platform/ErrorCode.h"
#include "platform/Path.h"

namespace mailstore {

std::string InboxLine(const MessageRecord& record) {
  return InboxLine(RecordView{record.subject, record.sender, record.date, record.textFile});
}

std::string InboxLine(const RecordView& record) {
  std::string line;
  line.reserve(record.date.size() + record.sender.size() + record.subject.size() + 2);
  line.append(record.date).append(1, '|').append(record.sender).append(1, '|').append(record.subject);
  return line;
}

InboxRecords::InboxRecords(std::shared_ptr<const std::vector<unsigned char>> bytes, std::vector<uint32_t> listed)
    : data_(std::make_shared<const Data>(Data{std::move(bytes), std::move(listed)})) {}

RecordView InboxRecords::Record(int line) const {
  return ViewMessageRecord(data_->bytes->data() + size_t{data_->listed[static_cast<size_t>(line)]} * kRecordSize);
}

std::string InboxRecords::Line(int line) const { return InboxLine(Record(line)); }

std::string_view InboxRecords::TextFileName(int line) const { return platform::FileNamePart(Record(line).textFile); }

std::vector<std::string> AllInboxLines(const InboxRecords& records) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(records.size()));
  for (int i = 0; i < records.size(); ++i) lines.push_back(records.Line(i));
  return lines;
}

InboxFields SplitInboxLine(std::string_view line) {
  InboxFields fields;
  const size_t first = line.find('|');
  if (first == std::string_view::npos) {
    fields.sender = line;
    return fields;
  }
  const size_t second = line.find('|', first + 1);
  fields.date = line.substr(0, first);
  fields.sender = line.substr(first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
  if (second != std::string_view::npos) fields.subject = line.substr(second + 1);
  fields.read = !fields.date.empty() && fields.date.back() == '.';
  if (fields.read) fields.date.pop_back();
  return fields;
}

std::string PluralSuffix(int count) { return count == 1 ? "" : "s"; }

InboxScanner::InboxScanner(TMail& mail, InboxView& view) : mail_(mail), view_(view) {}

namespace {

// Whether a failure to count the mailbox says that the Mail Directory
// itself is not there: gone, unreadable, not a directory, or empty.  Looked
// at only after a failure.
bool MailDirectoryGone(const TMail& mail, int countCode) {
  // Looking the mailbox up fails with "access denied" only when the
  // directory may not be searched.
  if (countCode == kMailDirectoryEmpty || countCode == platform::kAccessDenied) return true;
  if (countCode == platform::kOk || countCode == platform::kSharingViolation) return false;
  platform::FileInfo info;
  return mail.MailDir().empty() || platform::StatFile(mail.MailDir(), info) != platform::kOk || !info.isDirectory;
}

}  // namespace

bool MailDirectoryReachable(const TMail& mail) {
  platform::FileInfo info;
  if (mail.MailDir().empty() || platform::StatFile(mail.MailDir(), info) != platform::kOk || !info.isDirectory)
    return false;
  std::vector<platform::FileInfo> entries;
  return platform::FindFiles(mail.MailDir(), "*", entries) != platform::kFileNotFound;
}

std::string NotReachableMessage(const std::string& mailDir) {
  return "Mail Directory " + mailDir + ": " + kNotReachableText +
         " (missing, not readable, or empty: a share that is not connected).";
}

bool InboxScanner::ScanMailbox() {
  if (mail_.UserName().empty()) return false;
  const TMail::Operation operation(mail_, TMail::Operation::kListDirectory);
  int n = mail_.CountMessages();
  if (MailDirectoryGone(mail_, mail_.CountCode())) {
    // Nothing is rebuilt, nothing is told again and again: the caption says
    // it, and the In Box waits for the directory to come back.
    if (!unreachable_) {
      unreachable_ = true;
      view_.SetMailDirectoryReachable(false);
      view_.SetCaption(MailboxCaption());
    }
    return false;
  }
  if (unreachable_) {
    unreachable_ = false;
    rebuildPending_ = true;
    view_.SetMailDirectoryReachable(true);
  }
  // A mailbox that cannot be counted (a link or a folder in its place, a
  // share that fails) is told once, like any mailbox that cannot be read.
  const int countProblem = mail_.CountCode() == platform::kSharingViolation ? platform::kOk : mail_.CountCode();
  if (n == knownCount_ && !rebuildPending_) {
    if (countProblem != platform::kOk) ReportProblem(countProblem);
    return false;
  }
  const bool grew = knownCount_ < n || growthPending_;
  knownCount_ = n;
  rebuildPending_ = false;
  growthPending_ = false;
  int unread = 0;
  int problem = countProblem;

  // Every record under one read-mode open; each text file checked against
  // one reading of the directory.  The lines are the records as read: a
  // line's text is made only when it is shown.
  auto bytes = std::make_shared<std::vector<unsigned char>>();
  std::vector<uint32_t> listed;
  std::vector<int> leftover;  // dangling, or repeating an earlier record's text
  const int code = n > 0 ? mail_.ReadRecordBytes(*bytes) : platform::kOk;
  if (code != platform::kOk || (n > 0 && bytes->empty())) {
    // Line k must stay record k: nothing is listed, and the next look
    // rebuilds and announces any growth seen now with the whole list.  A
    // busy mailbox is the normal case of another copy appending; anything
    // else is told.
    rebuildPending_ = true;
    growthPending_ = grew;
    if (code != platform::kSharingViolation) problem = code != platform::kOk ? code : platform::kReadError;
  } else {
    // Lines follow the records that stay: the dangling ones and those a
    // deletion cut short left twice go below.
    const size_t records = std::min(bytes->size() / kRecordSize, static_cast<size_t>(n));
    std::vector<std::string_view> textFiles(records);
    std::vector<uint64_t> textKeys(records);
    for (size_t i = 0; i < records; ++i) {
      textFiles[i] = ViewMessageRecord(bytes->data() + i * kRecordSize).textFile;
      textKeys[i] = TextKey(textFiles[i]);
    }
    std::vector<int> states;
    mail_.TextFileStates(textFiles, states);
    const std::vector<int> repeated = RepeatedTexts(textKeys);
    auto nextRepeated = repeated.begin();
    listed.reserve(records);
    for (size_t i = 0; i < records; ++i) {
      const int state = states[i];
      const bool repeats = nextRepeated != repeated.end() && *nextRepeated == static_cast<int>(i);
      if (repeats) ++nextRepeated;
      if (repeats || state == platform::kFileNotFound) {
        leftover.push_back(static_cast<int>(i));
        continue;
      }
      // A text that could not be looked at stays with its record.
      if (state != platform::kOk && problem == platform::kOk) problem = state;
      listed.push_back(static_cast<uint32_t>(i));
      const std::string_view date = ViewMessageRecord(bytes->data() + i * kRecordSize).date;
      if (!date.empty() && date.back() != '.') ++unread;
    }
  }
  view_.SetInboxRecords(InboxRecords(bytes, std::move(listed)));
  // Leftover records go in one pass under one lock, as one removal each
  // would leave the file, and the count follows: mail that arrives before
  // the next look, as many messages as were removed, is still new mail.
  // A failure is not reported here, nor is a record that changed meanwhile
  // and stayed; the list then no longer matches the file, and the next look
  // builds it again.
  if (!leftover.empty()) {
    int removed = 0;
    if (mail_.RemoveLeftoverRecords(leftover, *bytes, &removed) != platform::kOk ||
        removed != static_cast<int>(leftover.size()))
      rebuildPending_ = true;
    knownCount_ -= removed;
  }

  view_.SetMailboxState(knownCount_ > 0);
  view_.SetCaption(MailboxCaption());
  ReportProblem(problem);
  if (!grew || unread == 0 || growthPending_) return false;
  if (settings.notify)
    mail_.Ui().AnnounceNewMail(kProgramTitle, "You have " + std::to_string(unread) + " new message" +
                                             PluralSuffix(unread) + " in your mailbox.");
  return true;
}

void InboxScanner::ReportProblem(int code) {
  // Told once, not at every look while it lasts.
  const int last = lastProblem_;
  lastProblem_ = code;
  if (code == platform::kOk || code == last || !settings.reportProblems) return;
  mail_.Ui().ShowErrorText(std::string(kNotFullyReadText) + "\r\r" + IoErrorText(code));
}

std::string InboxScanner::MailboxCaption() const {
  if (mail_.UserName().empty()) return kProgramTitle;
  if (unreachable_) return std::string(kProgramTitle) + " (" + mail_.UserName() + ": " + kNotReachableText + ")";
  return std::string(kProgramTitle) + " (" + mail_.UserName() + ": " + std::to_string(knownCount_) + " message" +
         PluralSuffix(knownCount_) + ")";
}

void InboxScanner::RearmPolling(PollTimer& timer) {
  timer.StopTimer();
  timer.SetTimerInterval(settings.intervalSeconds * 1000);
  if (settings.intervalSeconds != 0 && settings.continuous) timer.StartTimer();
  ScanMailbox();
}

void InboxScanner::CheckMailboxNow() {
  if (!ScanMailbox()) mail_.Ui().ShowNotice(kProgramTitle, "Sorry, you do not have any new mail.");
}

}  // namespace mailstore
