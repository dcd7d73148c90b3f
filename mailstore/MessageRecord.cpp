#include "mailstore/MessageRecord.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/Path.h"
#include "platform/Text.h"

namespace mailstore {
namespace {

struct Field {
  size_t offset;
  size_t room;
};
constexpr Field kSubject{0, kSubjectRoom};
constexpr Field kSender{41, kSenderRoom};
constexpr Field kDate{50, kDateRoom};
constexpr Field kTextFile{71, kTextFileRoom};

void Put(RecordBytes& bytes, Field field, std::string_view value) {
  const size_t length = std::min(value.size(), field.room);
  bytes[field.offset] = static_cast<unsigned char>(length);
  std::memcpy(bytes.data() + field.offset + 1, value.data(), length);
}

std::string_view View(const unsigned char* bytes, Field field) {
  const size_t length = std::min<size_t>(bytes[field.offset], field.room);
  return std::string_view(reinterpret_cast<const char*>(bytes + field.offset + 1), length);
}

std::string Get(const unsigned char* bytes, Field field) { return std::string(View(bytes, field)); }

void AppendNumber(std::string& out, int value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
  out += digits;
}

}  // namespace

RecordBytes EncodeMessageRecord(std::string_view subject, std::string_view sender, std::string_view date,
                                std::string_view textFile) {
  RecordBytes bytes{};
  Put(bytes, kSubject, subject);
  Put(bytes, kSender, sender);
  Put(bytes, kDate, date);
  std::string stored(textFile.size() > kTextFileRoom ? textFile.substr(textFile.size() - kTextFileRoom) : textFile);
  std::replace(stored.begin(), stored.end(), '/', '\\');
  Put(bytes, kTextFile, stored);
  return bytes;
}

RecordBytes EncodeMessageRecord(const MessageRecord& record) {
  return EncodeMessageRecord(record.subject, record.sender, record.date, record.textFile);
}

const char* ImpossibleRecordField(const unsigned char* bytes) {
  if (bytes[kSubject.offset] > kSubject.room) return "the subject's length is beyond its room";
  if (bytes[kSender.offset] > kSender.room) return "the sender's length is beyond its room";
  if (bytes[kDate.offset] > kDate.room) return "the date's length is beyond its room";
  if (bytes[kTextFile.offset] > kTextFile.room) return "the text file's length is beyond its room";
  if (bytes[kSender.offset] == 0) return "it names no sender";
  // An empty text file field is what a removal cut short leaves: a record
  // that names nothing, dangling like one whose text is gone.
  const std::string_view textFile = View(bytes, kTextFile);
  if (!textFile.empty() && !IsMessageFileName(platform::FileNamePart(textFile))) return "it names no message text file";
  return nullptr;
}

MessageRecord DecodeMessageRecord(const unsigned char* bytes) {
  return MessageRecord{Get(bytes, kSubject), Get(bytes, kSender), Get(bytes, kDate), Get(bytes, kTextFile)};
}

RecordView ViewMessageRecord(const unsigned char* bytes) {
  return RecordView{View(bytes, kSubject), View(bytes, kSender), View(bytes, kDate), View(bytes, kTextFile)};
}

bool IsRead(const MessageRecord& record) { return !record.date.empty() && record.date.back() == '.'; }

bool AddReadMark(RecordBytes& bytes) {
  const std::string date = Get(bytes.data(), kDate);
  if (date.empty() || date.size() >= kDate.room || date.back() == '.') return false;
  bytes[kDate.offset] = static_cast<unsigned char>(date.size() + 1);
  bytes[kDate.offset + 1 + date.size()] = '.';
  return true;
}

void ForgetTextFile(RecordBytes& bytes) {
  std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(kTextFile.offset), kTextFile.room + 1, 0);
}

std::string FormatShortDate(const platform::LocalTime& time, std::string_view shortDateFormat) {
  std::string out;
  for (size_t i = 0; i < shortDateFormat.size();) {
    const char c = shortDateFormat[i];
    if (c == '\'') {
      const size_t close = shortDateFormat.find('\'', i + 1);
      out += shortDateFormat.substr(i + 1, close == std::string_view::npos ? close : close - i - 1);
      i = close == std::string_view::npos ? shortDateFormat.size() : close + 1;
      continue;
    }
    size_t run = 1;
    while (i + run < shortDateFormat.size() && shortDateFormat[i + run] == c) ++run;
    switch (c) {
      case 'd': AppendNumber(out, time.day, run >= 2 ? 2 : 1); break;
      case 'M': AppendNumber(out, time.month, run >= 2 ? 2 : 1); break;
      case 'y':
        if (run <= 2) AppendNumber(out, time.year % 100, 2);
        else AppendNumber(out, time.year, 4);
        break;
      default: out.append(run, c); break;
    }
    i += run;
  }
  return out;
}

namespace {

// The hour of the 12-hour clock and ":mm".
void AppendHourMinute(std::string& out, const platform::LocalTime& time) {
  AppendNumber(out, time.hour % 12 == 0 ? 12 : time.hour % 12, 1);
  out += ':';
  AppendNumber(out, time.minute, 2);
}

}  // namespace

std::string FormatMessageDate(const platform::LocalTime& time, std::string_view shortDateFormat) {
  std::string out = FormatShortDate(time, shortDateFormat);
  out += ' ';
  AppendHourMinute(out, time);
  out += time.hour < 12 ? 'a' : 'p';
  return out;
}

std::string FormatLongTime(const platform::LocalTime& time) {
  std::string out;
  AppendHourMinute(out, time);
  out += ':';
  AppendNumber(out, time.second, 2);
  out += time.hour < 12 ? " AM" : " PM";
  return out;
}

bool IsMessageFileName(std::string_view name) {
  if (name.size() != 12 || !platform::EqualsIgnoreCase(name.substr(8), ".MSG")) return false;
  return std::all_of(name.begin(), name.begin() + 8, [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
  });
}

std::optional<uint32_t> MessageFileNumber(std::string_view name, bool lastPart) {
  // The name after the last "\", "/" or ":": a message text file's has 12
  // characters, so only the last 12 of the path and the one before them
  // need a look.
  if (name.size() < 12) return std::nullopt;
  if (lastPart) {
    if (name.size() > 12 && name[name.size() - 13] != '\\' && name[name.size() - 13] != '/' &&
        name[name.size() - 13] != ':')
      return std::nullopt;
    name = name.substr(name.size() - 12);
  }
  if (name.size() != 12 || name[8] != '.' || (name[9] | 0x20) != 'm' || (name[10] | 0x20) != 's' ||
      (name[11] | 0x20) != 'g')
    return std::nullopt;
  uint32_t number = 0;
  for (int i = 0; i < 8; ++i) {
    const char c = name[static_cast<size_t>(i)];
    uint32_t digit;
    if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
    else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') digit = static_cast<uint32_t>((c | 0x20) - 'a' + 10);
    else return std::nullopt;
    number = number * 16 + digit;
  }
  return number;
}

uint64_t TextKey(std::string_view storedTextFile) {
  const std::optional<uint32_t> number = MessageFileNumber(storedTextFile, /*lastPart=*/true);
  return number ? uint64_t{*number} + 1 : 0;
}

std::vector<int> RepeatedTexts(const std::vector<uint64_t>& keys) {
  std::vector<int> repeated;
  // An open-addressing table of the keys seen (0 marks an empty slot),
  // placed by their low bits: the names of a mailbox mostly run in
  // sequence, so its slots are filled in sequence too.
  size_t size = 16;
  while (size < 2 * keys.size()) size *= 2;
  std::vector<uint64_t> slots(size, 0);
  for (size_t i = 0; i < keys.size(); ++i) {
    const uint64_t key = keys[i];
    if (key == 0) continue;
    size_t slot = key & (size - 1);
    while (slots[slot] != 0 && slots[slot] != key) slot = (slot + 1) & (size - 1);
    if (slots[slot] == key) repeated.push_back(static_cast<int>(i));
    else slots[slot] = key;
  }
  return repeated;
}

std::vector<int> RepeatedRecords(const unsigned char* records, size_t count) {
  std::vector<uint64_t> keys(count);
  for (size_t i = 0; i < count; ++i) keys[i] = TextKey(View(records + i * kRecordSize, kTextFile));
  return RepeatedTexts(keys);
}

}  // namespace mailstore
