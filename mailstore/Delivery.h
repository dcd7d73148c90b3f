// Delivery: one copy of a message per recipient.
//
// For each recipient a new message text file is reserved in the Mail
// Directory (exclusive creation), the text is written into it and flushed,
// and only then is a record naming it appended to the recipient's mailbox
// file.  A recipient's copy therefore never shows a record whose text is
// still being written; and a failure after the reservation deletes the text
// file again, so no text file is left without a record.  Copies already
// delivered stay delivered when a later one fails.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "mailstore/TMail.h"

namespace mailstore {

// What delivery reads from the send window for every copy.
struct SendRequest {
  enum class Source { kEditor, kTextFile };

  bool sendToAll = false;       // "Send to &All Users": no recipient check
  std::string subject;          // cut to 40 by the record
  Source source = Source::kEditor;
  std::vector<std::string> lines;  // the editor's lines, first to last
  std::string textFile;         // the file sent unchanged
  bool scramble = false;        // "En&crypt Mail"; editor text only
  std::string shortDateFormat = "M/d/yyyy";  // the system's short date format
  // The pause after each copy, so that the "Sending Mail To:" window shows
  // every name; a front end without that window may set it to 0.
  int pauseAfterCopyMs = 500;
};

class Delivery {
 public:
  // `mail` carries the Mail Directory and the sender (its current user).
  Delivery(TMail& mail, const SendRequest& request);

  // Cleared at the first failed copy of one send; the sender then stops
  // serving its own list of names.
  bool continueFlag = true;
  // Set for every copy delivered; never cleared.
  bool sentFlag = false;
  // Whether MASTER.INI exists, noted once at the start of a send.
  bool hasUserRegistry = false;

  // One copy to one recipient; reports its own failures to the user.
  void DeliverToUser(const std::string& name);

  // One copy to every user of MASTER.INI in file order, the sender included;
  // a failed copy does not stop the loop.
  void DeliverToAllUsers();

  // Whether `name` may receive mail: with a registry when it is listed there
  // (else an alert); without one when its mailbox file exists, or when the
  // user says to send anyway.
  bool CheckRecipient(const std::string& name);

  TMail& Mail() const { return mail_; }
  const SendRequest& Request() const { return request_; }

 private:
  // A new seed for a scrambled copy: the clock's millisecond, moved on when
  // the last copy had the same one, so that no two copies of one send share
  // a table (copies can be written within one millisecond).
  uint32_t NextSeed();

  TMail& mail_;
  const SendRequest& request_;
  bool seeded_ = false;
  uint32_t lastSeed_ = 0;
};

// The names of a To box, in order: separated by blanks and commas, a double
// quote switching quoting on and off (a blank or comma inside quotes belongs
// to the name); each name at most 255 characters.
std::vector<std::string> SplitRecipients(std::string_view toBox);

// What the send button does once the message is ready: deliver to the names
// of `toBox`, or to all users, while the continue flag stays set; with no
// name at all, beep and send nothing.  Returns true when the send window may
// close: nothing stopped the sending and at least one copy went out.
bool SendMessage(Delivery& delivery, std::string_view toBox);

// Copies a file byte for byte, with its time of last change and its
// read-only state.  Returns 0; 2 when the source is missing; 10003 when
// source and target are the same text; 10004 when the copy came out of
// another size; or the code of the failure (the target is then deleted).
int CopyFileExact(const std::string& source, const std::string& target);

}  // namespace mailstore
