// The inbox scan: how a copy learns of new mail.
//
// There is no server and no message between copies: a copy looks at the size
// of its own user's mailbox file.  Counting takes the size from the
// directory and never opens the file; only when the count differs from the
// one seen last is every record read (under one read-mode open), the In Box
// rebuilt, dangling records (their text file gone) and records a deletion
// cut short left twice (see RepeatedRecords) removed, and new mail
// announced.
//
// The reader opens record k when line k of the In Box is chosen, so line k
// must always stand for record k.  When a record cannot be read (another copy
// holds the file for an append), the list stops before it and the scan
// remembers to rebuild at its next look, whatever the count then; a record
// that stays unreadable is never announced twice.
//
// Only a text file that does not exist makes its record dangling: a text
// that cannot be looked at (a share that hiccups with EIO, ESTALE or
// EACCES) leaves record and text alone, and the scan tells the user once
// that the mailbox could not be read fully.
//
// The known count is set before anything that can show a dialog, so a scan
// entered again from a timer while a question or a notice is open finds no
// change and returns at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mailstore/MessageRecord.h"
#include "mailstore/TMail.h"

namespace mailstore {

// The In Box as one scan found it: the mailbox's records as read, and which
// of them are listed, in order.  Line k is made from its record only when
// asked for, so a long In Box costs one read and no line that is never
// shown.  Copies share the records.
class InboxRecords {
 public:
  InboxRecords() = default;
  // `listed`: indexes of whole records in `bytes`, one per line.
  InboxRecords(std::shared_ptr<const std::vector<unsigned char>> bytes, std::vector<uint32_t> listed);

  int size() const { return data_ ? static_cast<int>(data_->listed.size()) : 0; }
  // The record of line `line` (0 <= line < size()), valid while a copy of
  // this list lives.
  RecordView Record(int line) const;
  std::string Line(int line) const;
  // The name of its text file, which names the message (no other record
  // names the same file).
  std::string_view TextFileName(int line) const;

 private:
  struct Data {
    std::shared_ptr<const std::vector<unsigned char>> bytes;
    std::vector<uint32_t> listed;
  };
  std::shared_ptr<const Data> data_;
};

// What the main window does for the scan.
class InboxView {
 public:
  virtual ~InboxView() = default;
  // The In Box is now `records` (none: nothing listed), in one change.
  virtual void SetInboxRecords(const InboxRecords& records) = 0;
  // Full when the mailbox holds messages: the icons follow it.
  virtual void SetMailboxState(bool full) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Whether the Mail Directory can be reached; while it cannot, the In Box
  // keeps what it showed.
  virtual void SetMailDirectoryReachable(bool) {}
};

// The caption's word for a Mail Directory that cannot be reached.
inline constexpr const char* kNotReachableText = "Mail Directory not reachable";

// Whether the Mail Directory of `mail` can be reached at all: true unless
// it is missing, not a directory, or holds nothing (a share not connected
// leaves an empty directory behind).
bool MailDirectoryReachable(const TMail& mail);
// What is said of a Mail Directory that cannot be reached, naming it.
std::string NotReachableMessage(const std::string& mailDir);

// The polling timer (the main window's MailTimer).
class PollTimer {
 public:
  virtual ~PollTimer() = default;
  virtual void StopTimer() = 0;
  virtual void SetTimerInterval(int ms) = 0;
  virtual void StartTimer() = 0;
};

struct PollSettings {
  int intervalSeconds = 25;      // MailCheckInterval
  bool continuous = true;        // CheckMailContinuously
  bool notify = true;            // NotifyWhenMailArrives
  bool reportProblems = true;    // tell when the mailbox could not be read fully
};

inline constexpr const char* kNotFullyReadText = "Your mailbox could not be read fully.";

// The In Box text of a record: date (with its read mark), "|", sender, "|",
// subject.
std::string InboxLine(const MessageRecord& record);
std::string InboxLine(const RecordView& record);

// An In Box line split at its first two "|"; a line without "|" is all
// sender.  `read` tells whether the date carried the read mark, which
// `date` no longer has.
struct InboxFields {
  std::string date, sender, subject;
  bool read = false;
};
InboxFields SplitInboxLine(std::string_view line);

// Every line of `records`, made at once.
std::vector<std::string> AllInboxLines(const InboxRecords& records);

// A view that only keeps the lines, for front ends without a window.
class InboxLines : public InboxView {
 public:
  std::vector<std::string> lines;
  void SetInboxRecords(const InboxRecords& records) override { lines = AllInboxLines(records); }
  void SetMailboxState(bool) override {}
  void SetCaption(const std::string&) override {}
};

// "s" for any number but 1.
std::string PluralSuffix(int count);

class InboxScanner {
 public:
  InboxScanner(TMail& mail, InboxView& view);

  // The scan.  Returns true exactly when new mail arrived: the mailbox grew
  // and holds unread messages (announced when the notify flag is set).
  bool ScanMailbox();

  // The main window's caption: "KV Mailbox", or with a user
  // "KV Mailbox (NAME: N messages)".
  std::string MailboxCaption() const;

  // Applies the polling settings to the timer and scans at once.
  void RearmPolling(PollTimer& timer);

  // "Check Mailbox Now": a scan, and a notice when it found nothing new.
  void CheckMailboxNow();

  // The count the last scan with a change found.
  int KnownCount() const { return knownCount_; }
  bool MailDirectoryReachable() const { return !unreachable_; }
  // Forgets the count (a new user logs in).
  void ResetKnownCount() { knownCount_ = 0; }
  // Makes the next scan rebuild the list whatever the count.
  void RequestRebuild() { rebuildPending_ = true; }
  // Why the last rebuild could not read everything: 0, or the code that was
  // told (the mailbox or a text could not be read; a busy mailbox is not a
  // problem).
  int LastProblem() const { return lastProblem_; }
  // Whether the last scan had to stop before the end of the mailbox (a
  // record could not be read) and will rebuild at its next look.
  bool RebuildPending() const { return rebuildPending_; }

  PollSettings settings;

 private:
  TMail& mail_;
  InboxView& view_;
  int knownCount_ = 0;
  bool unreachable_ = false;  // the Mail Directory is gone: the In Box stands still
  bool rebuildPending_ = false;  // a record could not be read: rebuild next time
  bool growthPending_ = false;   // ... and the mailbox had grown then
  int lastProblem_ = 0;          // told already; told again only after a clean rebuild

  void ReportProblem(int code);
};

}  // namespace mailstore
