// Mailbox records come from other copies' writes: any 151 bytes must decode
// within the record, and a decoded record must encode to the same fields.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "mailstore/MessageRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  mailstore::RecordBytes bytes{};
  std::memcpy(bytes.data(), data, size < bytes.size() ? size : bytes.size());
  const mailstore::MessageRecord record = mailstore::DecodeMessageRecord(bytes);
  if (record.subject.size() > mailstore::kSubjectRoom || record.sender.size() > mailstore::kSenderRoom ||
      record.date.size() > mailstore::kDateRoom || record.textFile.size() > mailstore::kTextFileRoom)
    std::abort();

  const mailstore::MessageRecord again = mailstore::DecodeMessageRecord(mailstore::EncodeMessageRecord(record));
  std::string storedPath = record.textFile;
  for (char& c : storedPath)
    if (c == '/') c = '\\';
  if (again.subject != record.subject || again.sender != record.sender || again.date != record.date ||
      again.textFile != storedPath)
    std::abort();

  mailstore::RecordBytes marked = bytes;
  if (mailstore::AddReadMark(marked) && !mailstore::IsRead(mailstore::DecodeMessageRecord(marked))) std::abort();
  (void)mailstore::IsMessageFileName(record.textFile);
  return 0;
}
