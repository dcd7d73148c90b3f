// TMail: every access to the mailbox files of the Mail Directory.
//
// Several copies of the program, on several machines, open the same mailbox
// files.  They never talk to each other; the file system separates them:
//
//  - A mailbox file is opened only for the length of one operation, in read
//    mode (others may read, not write) or update mode (others may read, not
//    write; we may write), and closed before the operation returns, so that
//    between operations no file of ours is open.  See SharedFile.h for how
//    those modes map to locks here.
//  - An update that finds the file busy retries: six attempts, a pause of a
//    second after each "access denied", none after "sharing violation", then
//    the user is asked whether to try again.  The question is asked with
//    nothing open.  A read does not retry: the caller skips the record until
//    its next look.
//  - Counting takes the file's size from the directory and never opens the
//    file, so a poll never waits for a sender nor holds one off; a record
//    being appended counts once it is whole, since the count rounds down.
//  - Appending writes at the end of the last whole record, so a torn record
//    left by a crashed writer is overwritten, and a failed append cuts the
//    file back, so no copy ever sees half a record of ours.  Every write is
//    flushed before the operation reports success.
//  - A deletion moves the later records down and cuts the file, all under
//    the update lock, so appends that wait for it lose nothing.  Cut short
//    between the two, it leaves a record twice: a later record naming a
//    text an earlier one names is dropped by the next look, its text left.
//  - Message text file names are reserved by exclusive creation, so two
//    senders never write the same text file.
//  - Byte-range locks and exclusive creation do not hold through every
//    share client, so every change also takes a lock directory that holds
//    everywhere (LockDirectory.h): "<mailbox>.LCK" beside the mailbox for
//    the length of an update-mode open (taken once the file's lock is,
//    removed after its close), and "MSGNAMES.LCK" while a sender picks a
//    text name.  A lock whose holder ended is broken: at once when the
//    holder ran on this host, after a minute by the share's clock
//    otherwise.  Copies that know nothing of the directories lose nothing
//    by them: no byte of theirs changes.  On a disk of this machine, where
//    the byte-range lock and exclusive creation hold for every copy, the
//    directories are left out (LockDirectory.h).
//  - Sizes read under a lock come from the server, never from a client's
//    cache: a cached size would put a record over one another machine has
//    just appended.
//
// A record names its text file with the sending copy's path.  Only the file
// name counts (after the last "\", "/" or ":"), joined with our own Mail
// Directory; a name that is not a message text file's (8 hex digits and
// ".MSG") resolves to nothing, so a record can never make us read or delete
// any other file.
//
// The object talks to its user only through UserInteraction: AskUser for the
// retry question and PauseMs for the pauses.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mailstore/MessageRecord.h"
#include "mailstore/UserInteraction.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/LockDirectory.h"
#include "platform/SharedFile.h"

namespace mailstore {

class TMail {
 public:
  enum class Mode { kRead, kUpdate };

  explicit TMail(UserInteraction& ui, const platform::Clock& clock = platform::SystemClock());

  // The Mail Directory in force; empty at first.
  const std::string& MailDir() const { return mailDir_; }
  void SetMailDir(std::string mailDir) {
    if (mailDir == mailDir_) return;
    mailDir_ = std::move(mailDir);
    nextAttempt_ = 0;
    lastFirstName_.clear();
    // A reading of another directory answers nothing here.
    if (index_) index_.emplace(mailDir_);
  }

  // One operation on the Mail Directory (a scan, a delivery to all, a
  // login): while one lasts, names missing in their exact spelling are
  // looked up in one reading of the directory.  Operations may nest; the
  // outermost one owns the reading.
  //
  // kListDirectory reads the directory at once and checks the text files
  // of records against it, confirming with a look of their own only the
  // names it lacks: for a scan of many records that costs one reading
  // instead of a look per record.
  class Operation {
   public:
    enum Kind { kLookUpMisses, kListDirectory };
    explicit Operation(TMail& mail, Kind kind = kLookUpMisses) : mail_(mail), outer_(!mail.index_) {
      if (outer_) {
        mail_.BeginIndex();
        mail_.indexFirst_ = kind == kListDirectory;
      }
    }
    ~Operation() {
      if (outer_) {
        mail_.index_.reset();
        mail_.indexFirst_ = false;
      }
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

   private:
    TMail& mail_;
    bool outer_;
  };

  // A reading of the Mail Directory begun while the program starts: the
  // next outermost Operation takes it when it is on that directory (and
  // lets it go otherwise), so that its first look does not wait for a
  // reading of its own.
  void SetReadingAhead(std::unique_ptr<platform::DirectoryReadingAhead> ahead) { ahead_ = std::move(ahead); }

  // Finds a name of the Mail Directory whatever its case (see FindName).
  platform::FoundName FindName(std::string_view name) const;

  // The current user's name (at most 15 characters); the user's mailbox key
  // is derived from it whenever it is needed.
  const std::string& UserName() const { return userName_; }
  void SetUserName(std::string userName) { userName_ = std::move(userName); }

  // The directory of the program file, where a MASTER.INI may also lie.
  const std::string& ProgramDir() const { return programDir_; }
  void SetProgramDir(std::string programDir) { programDir_ = std::move(programDir); }

  UserInteraction& Ui() const { return ui_; }
  const platform::Clock& Clock() const { return clock_; }

  // The path of the mailbox file of `key` (its first 8 characters and
  // ".LST"), spelt as the directory holds it when it exists in any case;
  // empty for a key that is no file name of the Mail Directory.
  std::string MailboxPath(std::string_view key) const;

  // Opens the mailbox file of `key`, creating it when it does not exist; in
  // update mode with the retries and the question described above.  Returns
  // 0 with the file open, or the code that ended the attempts with nothing
  // open.
  int OpenMailbox(std::string_view key, Mode mode);

  // Closes the mailbox file.  Returns 0 or the code of the close.
  int CloseMailbox();

  // The number of whole records in the current user's mailbox file; creates
  // the file empty when it does not exist.  Never fails: 0 when the file
  // cannot be found or created, and then CountCode() says why.
  int CountMessages();
  // 0 after a count that saw the mailbox (or created it), else what kept
  // it from being counted (a link or a folder in its place, a failing look).
  int CountCode() const { return countCode_; }

  // Appends a record to the mailbox file of `key`.  Returns 0 or the first
  // failing code; on failure the file holds what it held before.
  int AppendMessage(std::string_view key, const RecordBytes& record);

  // Reads record `index` (from 0) of the current user's mailbox file.  The
  // record's text file becomes the path of that file in our Mail Directory,
  // or empty when the record names no message text file.  Returns 0, 100 for
  // an index past the end, or the first failing code.
  int ReadMessage(int index, MessageRecord& record);

  // Reads every whole record from `first` on under one read-mode open, each
  // as ReadMessage would.  Returns 0, or the code of the failure with
  // `records` empty.
  int ReadMessages(int first, std::vector<MessageRecord>& records);

  // Adds the read mark to record `index` of the current user's mailbox file
  // when its date text has 1 to 19 characters and no mark yet.  Returns 0 or
  // the first failing code.
  int MarkAsRead(int index);

  // Deletes the message text file of record `index` and the record; later
  // records move down by one.  A text another record of the mailbox names
  // as well stays (see RepeatedRecords).  Returns 0 or the first failing
  // code; when the text file cannot be deleted the record stays.
  // `messageGone`, when given, tells whether the message is gone for good
  // (its text deleted, or gone before), even when removing the record then
  // failed: the record then names nothing, and the next look drops it.
  int DeleteMessage(int index, bool* messageGone = nullptr);

  // MarkAsRead and DeleteMessage for the message a reader shows, named by
  // its text file (a path ReadMessage gave) rather than by a position that
  // a removal may have moved.  Record `index` is looked at first; when it
  // names another file, every record is searched under the same lock, and
  // `index` becomes where the message stands.  Returns 0, 2 when no record
  // names that file any more, or the first failing code.
  int MarkAsRead(const std::string& textFile, int& index);
  int DeleteMessage(const std::string& textFile, int& index, bool* messageGone = nullptr);

  // Reads the bytes of every whole record of the current user's mailbox
  // under one read-mode open.  Returns 0, or the code of the failure with
  // `bytes` empty.
  int ReadRecordBytes(std::vector<unsigned char>& bytes);

  // Whether the text file a record's field names exists in our Mail
  // Directory: 0, 2 (no such file: the record is dangling) or the code of a
  // look that failed.
  int TextFileState(std::string_view stored) const;
  // TextFileState of many records' fields at once (`states[i]` for
  // `stored[i]`): during an Operation of kListDirectory the reading of the
  // directory answers for all of them in one pass.
  void TextFileStates(const std::vector<std::string_view>& stored, std::vector<int>& states) const;

  // Removes the leftover records at `indexes` (ascending) of the current
  // user's mailbox: each still byte for byte the record it was in `seen`
  // (the bytes ReadRecordBytes gave), and still dangling (its text
  // missing) or still repeating the text of an earlier record
  // (RepeatedRecords), in one pass under one update lock with one flush;
  // the file is left as removing them one by one would leave it, and no
  // text is touched.  Records that changed meanwhile stay.  Returns 0 or
  // the first failing code.  `removed`, when given, counts the records
  // removed.
  int RemoveLeftoverRecords(const std::vector<int>& indexes, const std::vector<unsigned char>& seen,
                            int* removed = nullptr);

  // Cuts the torn tail of the current user's mailbox (the bytes after its
  // last whole record, left by a writer that died) under the update lock,
  // so that no append is under way: first `keep` is given the tail to save
  // elsewhere, and only when it returns 0 is the file cut and flushed.
  // Returns 0 (nothing to cut included), what `keep` returned, or the first
  // failing code; `cut` is the number of bytes cut.
  int CutTornTail(const std::function<int(std::string_view tail)>& keep, int64_t& cut);

  // Creates a new, empty message text file under a name no other file has
  // and sets `path` to it.  Returns false when no file could be created.
  bool CreateMessageFile(std::string& path);

  // Shows the message of a code as an error with the program's title.
  void ShowIoError(int code);

 private:
  // Opens the current user's mailbox in update mode and counts its whole
  // records; on failure nothing stays open.
  int OpenOwnMailbox(int64_t& records);
  // Opens the current user's mailbox in update mode, counts its records and
  // reads record `index` (100 when there is none); on failure nothing stays
  // open.
  int OpenOwnRecord(int index, int64_t& records, RecordBytes& bytes);
  // The same for the record that names `textFile`, looked for at `index`
  // first; `index` becomes its position.
  int OpenNamedRecord(const std::string& textFile, int& index, int64_t& records, RecordBytes& bytes);
  // With the mailbox open in update mode and record `index` in `bytes`:
  // marks it, or deletes it and its text file; then closes.
  int MarkOpenRecord(int index, RecordBytes& bytes);
  int DeleteOpenRecord(int index, int64_t records, const RecordBytes& bytes, bool* messageGone);
  static int64_t RecordOffset(int index) { return static_cast<int64_t>(index) * static_cast<int64_t>(kRecordSize); }
  // Closes, keeping the first failing code.
  int Finish(int code);
  // Starts the outermost Operation's index: the reading ahead when there
  // is one of this directory, else one made when first needed.
  void BeginIndex();
  // Decodes a record and resolves its text file in our Mail Directory.
  MessageRecord ResolveRecord(const RecordBytes& bytes) const;
  // Takes the lock under which text names are picked, waiting a while for
  // another sender to let it go.  Returns false when it stays busy or
  // cannot be made.
  bool TakeNamesLock(platform::LockDirectory& lock, const std::string& directory);
  // Whether a message text file name is held in other letters.
  bool TakenInOtherLetters(const std::string& name) const;
  // The state of a text file named `name` (TextFileState), `listed` when
  // the operation's reading of the directory holds it.
  int TextNameState(std::string_view name, bool listed) const;
  // The message text file a record's field names, in our Mail Directory; a
  // name that is not a message text file's is never found (code 2).
  platform::FoundName ResolveTextFile(std::string_view stored) const;

  UserInteraction& ui_;
  const platform::Clock& clock_;
  std::string mailDir_;
  std::string userName_;
  std::string programDir_;
  platform::SharedFile mailbox_;
  platform::LockDirectory mailboxLock_;  // held with mailbox_ in update mode
  mutable std::optional<platform::DirectoryIndex> index_;  // during an Operation
  std::unique_ptr<platform::DirectoryReadingAhead> ahead_;
  int countCode_ = 0;
  bool indexFirst_ = false;  // during an Operation of kListDirectory
  // Where the last CreateMessageFile left off: its first name and the next
  // attempt after the one that succeeded.
  std::string lastFirstName_;
  uint32_t nextAttempt_ = 0;
};

// The name a message text file tries first when created by the user whose
// mailbox key is `key` at the local moment `time`, moved on by `attempt`.
std::string MessageFileName(std::string_view key, const platform::LocalTime& time, uint32_t attempt);

}  // namespace mailstore
