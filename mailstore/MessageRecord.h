// The message record of a mailbox file, byte for byte.
//
// A mailbox file is a plain sequence of 151-byte records, record n at byte
// 151 * n, with no header and no trailer.  Every field is a length byte and
// room for the characters, of which the first `length` count; a writer fills
// the rest with zeros.
//
//   offset size field
//        0   41 Subject    up to 40 characters
//       41    9 Sender     up to 8: the sender's mailbox key
//       50   21 Date       up to 20: the date text, then "." once read
//       71   80 Text file  up to 79: the path of the message text file
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"

namespace mailstore {

inline constexpr size_t kRecordSize = 151;
inline constexpr size_t kSubjectRoom = 40;
inline constexpr size_t kSenderRoom = 8;
inline constexpr size_t kDateRoom = 20;
inline constexpr size_t kTextFileRoom = 79;

using RecordBytes = std::array<unsigned char, kRecordSize>;

struct MessageRecord {
  std::string subject;
  std::string sender;
  std::string date;
  std::string textFile;
  // Set by TMail when it resolves the text file in its Mail Directory: 0
  // (it existed then), 2 (no such file: the record is dangling) or the code
  // of a failure that left it unknown.
  int textFileCode = 2;
};

// Builds the bytes of a record.  Subject, sender and date longer than their
// room keep their start.  The text file path is stored with "\" between its
// parts, so that copies on any system find its file name after the last
// "\"; when it is longer than its room it keeps its end, file name included.
RecordBytes EncodeMessageRecord(std::string_view subject, std::string_view sender, std::string_view date,
                                std::string_view textFile);
RecordBytes EncodeMessageRecord(const MessageRecord& record);

// Reads a record.  A length byte larger than its field's room counts as the
// room.  `bytes` must hold kRecordSize bytes.
MessageRecord DecodeMessageRecord(const unsigned char* bytes);
inline MessageRecord DecodeMessageRecord(const RecordBytes& bytes) { return DecodeMessageRecord(bytes.data()); }

// The fields of a record as they stand in its bytes, without copies (for
// reading many records at once).  `bytes` must hold kRecordSize bytes and
// outlive the view.
struct RecordView {
  std::string_view subject, sender, date, textFile;
};
RecordView ViewMessageRecord(const unsigned char* bytes);

// What makes a record impossible for any copy to have written, in words,
// or nullptr for a record that could be: a length byte beyond its field's
// room, no sender, or a text file field naming something other than a
// message text file (an empty one is a record left dangling on purpose).
// `bytes` must hold kRecordSize bytes.
const char* ImpossibleRecordField(const unsigned char* bytes);

// True when the date text is not empty and ends in the read mark ".".
bool IsRead(const MessageRecord& record);

// Adds the read mark to a record's date text when it has 1 to 19 characters
// and no mark yet; every other byte stays as it was.  Returns true when the
// record changed.
bool AddReadMark(RecordBytes& bytes);

// Empties the text file field: the record names no text any more, so that
// every copy's next look drops it.
void ForgetTextFile(RecordBytes& bytes);

// The date text of a moment: the date in `shortDateFormat` (the system's
// short date format: d, dd, M, MM, yy and yyyy stand for the parts, text in
// single quotes is taken as it is), a blank, the hour of the 12-hour clock,
// ":", two digits of minutes, and "a" or "p".  Example, with "M/d/yyyy":
// "12/7/2026 2:15p".
std::string FormatMessageDate(const platform::LocalTime& time, std::string_view shortDateFormat);
// The date part alone: "12/7/2026".
std::string FormatShortDate(const platform::LocalTime& time, std::string_view shortDateFormat);
// The time with seconds on the 12-hour clock: "2:15:07 PM".
std::string FormatLongTime(const platform::LocalTime& time);

// True when `name` is a message text file's name: 8 hexadecimal digits and
// ".MSG", in any case.  Only such a file may be read or deleted on the word
// of a record.
bool IsMessageFileName(std::string_view name);

// The number a message text file's name stands for, its 8 hexadecimal
// digits read whatever their case: names of one number are one file on a
// share that ignores case.  Nothing for a name that is no message text
// file's.  With `lastPart`, `name` is a path as a record stores it, and
// only its file name (after the last "\\", "/" or ":") counts.
std::optional<uint32_t> MessageFileNumber(std::string_view name, bool lastPart = false);

// The positions of the records among `count` whole records at `records`
// whose text an earlier one of them names already, ascending.
//
// Every delivered copy has a text of its own, created exclusively, so no
// two records of one mailbox name one text.  A later record naming a text
// that is named already is the leftover of a deletion cut short between
// moving the later records down and cutting the file: a second copy of a
// record that stays.  It goes without its text, which the first one names.
std::vector<int> RepeatedRecords(const unsigned char* records, size_t count);

// The same in two steps, for a caller that reads the records' text files
// anyway: TextKey of each (0 for one naming no message text file), then
// the positions of the keys an earlier one equals.
uint64_t TextKey(std::string_view storedTextFile);
std::vector<int> RepeatedTexts(const std::vector<uint64_t>& keys);

}  // namespace mailstore
