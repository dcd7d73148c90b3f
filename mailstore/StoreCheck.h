// The store checker: finds the damage a Mail Directory collects over years
// of copies that crash, shares that drop and tools that meddle, and repairs
// what can be repaired without losing anything.
//
// What it finds, each at most once:
//  - dangling records: a record whose text file does not exist ("no such
//    file", nothing else: a failed look is reported as unreadable);
//  - orphan texts: a message text file that no record of any mailbox names
//    and that was last changed more than a grace period ago, so that a
//    delivery under way (its text written, its records not yet) is never
//    taken for one.  Its age is the time the system last changed the
//    entry, which no copy can set back (a text sent from a file keeps that
//    file's modification time).  When some mailbox could not be read, or
//    not even looked at, no text is called an orphan: the unread records
//    may name it;
//  - torn mailboxes: a mailbox file whose size is not a whole number of
//    records;
//  - impossible records: a length byte beyond its field's room, no sender,
//    or a text file field that names no message text file;
//  - unreadable files: a mailbox or text that cannot be read or looked at,
//    or a link or folder standing where one of them should be;
//  - records sharing a text: a record naming a text an earlier record of
//    its mailbox names, the leftover of a deletion cut short (see
//    RepeatedRecords).
//
// The repair removes dangling records and records sharing a text (each
// still what it was, under the mailbox's update lock, as the In Box scan
// removes them; the shared text stays with its first record), moves orphan
// texts into a folder the administrator names, and cuts a torn tail only
// after saving it into that folder.  The rest is reported only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mailstore/TMail.h"

namespace mailstore {

enum class Damage { kDanglingRecord, kOrphanText, kTornMailbox, kImpossibleRecord, kUnreadableFile, kSharedText };
inline constexpr int kDamageKinds = 6;

// How a kind of damage is counted in a report: "dangling records".
const char* DamageName(Damage kind);

struct StoreFinding {
  Damage kind;
  std::string file;     // the file's name in the Mail Directory, as stored (Windows-1252)
  int record = -1;      // the record's position in its mailbox, for record findings
  std::string detail;   // what is wrong, in words
};

struct StoreReport {
  std::vector<StoreFinding> findings;
  int mailboxes = 0;  // mailbox files looked at
  int records = 0;    // records read
  int texts = 0;      // message text files looked at
  // False when some mailbox could not be read (or not even looked at), so
  // that no text was taken for an orphan.
  bool orphansKnown = true;

  int Count(Damage kind) const;
  bool Sound() const { return findings.empty(); }
};

// How long a text no record names may be on its way to its records.
inline constexpr int64_t kDefaultOrphanAgeSeconds = 3600;

struct StoreCheckOptions {
  int64_t nowNs = 0;                          // the present moment, as file times count
  int64_t graceNs = kDefaultOrphanAgeSeconds * 1000000000LL;  // a text younger than this is never an orphan
};

// Looks at every mailbox and message text file of the Mail Directory of
// `mail`.  Reads only; the mailboxes are read as a scan reads them.  The
// current user name of `mail` is changed while it runs and put back.
StoreReport CheckStore(TMail& mail, const StoreCheckOptions& options);

struct RepairResult {
  int recordsRemoved = 0;
  int textsMoved = 0;
  int tailsCut = 0;
  // One line for every repair that could not be made, with the reason.
  std::vector<std::string> failures;
};

// Repairs what `report` found: dangling records removed, orphan texts and
// torn tails moved or copied into `orphansDir` (created when missing; never
// the Mail Directory itself; nothing there is ever replaced).  Whatever
// changed since the report is left as it now is.
RepairResult RepairStore(TMail& mail, const StoreReport& report, const std::string& orphansDir);

}  // namespace mailstore
