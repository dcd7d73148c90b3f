#include "mailstore/Delivery.h"

#include <algorithm>
#include <memory>
#include <new>

#include "mailstore/IoErrorText.h"
#include "mailstore/MessageText.h"
#include "mailstore/UserRegistry.h"
#include "platform/ErrorCode.h"
#include "platform/Files.h"

namespace mailstore {
namespace {

constexpr size_t kMaxNameLength = 255;
constexpr size_t kCopyBufferLimit = 65528;

std::string NotSentText(const std::string& reason, const std::string& name) {
  return reason + "\r\r" + "Mail to " + name + " was not sent.";
}

}  // namespace

Delivery::Delivery(TMail& mail, const SendRequest& request) : mail_(mail), request_(request) {}

void Delivery::DeliverToUser(const std::string& name) {
  UserInteraction& ui = mail_.Ui();
  if (!request_.sendToAll && !CheckRecipient(name)) return;
  ui.ShowSending(name);

  std::string path;
  if (!mail_.CreateMessageFile(path)) {
    continueFlag = false;
    ui.ShowAlert(kProgramTitle, NotSentText("Unable to create file in " + mail_.MailDir() + "!", name));
    return;
  }
  int code = request_.source == SendRequest::Source::kEditor
                 ? WriteMessageText(path, request_.lines, name, request_.scramble,
                                    request_.scramble ? NextSeed() : 0)
                 : CopyFileExact(request_.textFile, path);
  if (code == 0) {
    const RecordBytes record =
        EncodeMessageRecord(request_.subject, MailboxKey(mail_.UserName()),
                            FormatMessageDate(mail_.Clock().LocalNow(), request_.shortDateFormat), path);
    code = mail_.AppendMessage(MailboxKey(name), record);
  }
  if (code != 0) {
    ui.ShowAlert(kProgramTitle, NotSentText(IoErrorText(code), name));
    platform::DeleteFile(path, /*clearAttributes=*/false);
    continueFlag = false;
    return;
  }
  ui.PauseMs(request_.pauseAfterCopyMs);
  sentFlag = true;
}

uint32_t Delivery::NextSeed() {
  constexpr uint32_t kMillisecondsPerDay = 86400000;
  uint32_t seed = mail_.Clock().UtcMillisecondsSinceMidnight();
  if (seeded_ && seed == lastSeed_) seed = (seed + 1) % kMillisecondsPerDay;
  seeded_ = true;
  lastSeed_ = seed;
  return seed;
}

void Delivery::DeliverToAllUsers() {
  try {
    int code = platform::kOk;
    const std::vector<std::string> names = ReadUserNames(mail_, &code);
    if (code != platform::kOk) {
      mail_.Ui().ShowAlert(kProgramTitle, "Error loading user list.\r\r" + RegistryProblemText(code));
      return;
    }
    for (const std::string& name : names) DeliverToUser(name);
  } catch (const std::exception&) {
    mail_.Ui().ShowAlert(kProgramTitle, "Error loading user list.\r\rMASTER.INI does not contain any user names!");
  }
}

bool Delivery::CheckRecipient(const std::string& name) {
  UserInteraction& ui = mail_.Ui();
  const std::string quoted = "\"" + name + "\"";
  if (hasUserRegistry || !IsMailboxUserName(name)) {
    // A name with a path in it never has a mailbox here.
    int code = platform::kOk;
    if (IsMailboxUserName(name) && IsKnownUser(mail_, name, &code)) return true;
    if (code != platform::kOk) {
      ui.ShowAlert("Send Mail", "Cannot send mail to " + quoted + ".\r\r" + RegistryProblemText(code));
      return false;
    }
    ui.ShowAlert("Send Mail", quoted + " is NOT in my list of users! You\rcannot send mail to " + quoted + ".");
    return false;
  }
  if (platform::FileExists(mail_.MailboxPath(MailboxKey(name)))) return true;
  return ui.AskUser("Send Mail", quoted + " is NOT in my list of users!\rDo you want to send mail anyway?");
}

std::vector<std::string> SplitRecipients(std::string_view toBox) {
  std::vector<std::string> names;
  std::string current;
  bool quoting = false;
  auto finish = [&] {
    if (!current.empty()) names.push_back(std::move(current));
    current.clear();
  };
  for (char c : toBox) {
    if (!quoting && (c == ' ' || c == ',')) {
      finish();
    } else if (c == '"') {
      if (quoting) finish();
      quoting = !quoting;
    } else if (current.size() < kMaxNameLength) {
      current += c;
    }
  }
  finish();  // the end mark, or the end of the text while quoting
  return names;
}

bool SendMessage(Delivery& delivery, std::string_view toBox) {
  delivery.continueFlag = true;
  TMail& mail = delivery.Mail();
  const TMail::Operation operation(mail);
  UserInteraction& ui = mail.Ui();
  ui.ClearSending();
  delivery.hasUserRegistry = HasUserRegistry(mail);
  if (delivery.Request().sendToAll) {
    if (delivery.hasUserRegistry) {
      delivery.DeliverToAllUsers();
    } else {
      int code = 0;
      const std::string ownKey = MailboxKey(mail.UserName());
      for (const std::string& name : ListMailboxNames(mail, code)) {
        if (!delivery.continueFlag) break;
        if (name != ownKey) delivery.DeliverToUser(name);
      }
    }
  } else {
    const std::vector<std::string> names = SplitRecipients(toBox);
    if (toBox.empty()) {
      ui.WarningBeep();
      delivery.continueFlag = false;
    }
    for (const std::string& name : names) {
      if (!delivery.continueFlag) break;
      delivery.DeliverToUser(name);
    }
  }
  ui.HideSending();
  return delivery.continueFlag && delivery.sentFlag;
}

int CopyFileExact(const std::string& source, const std::string& target) {
  platform::FileInfo info;
  if (int code = platform::StatFile(source, info)) return code;
  // A device or a pipe has no end to copy.
  if (!info.isRegular) return platform::kNotARegularFile;
  if (source == target) return kCopyOntoItself;

  const size_t bufferSize = static_cast<size_t>(std::clamp<int64_t>(info.size, 1, kCopyBufferLimit));
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[bufferSize]);
  if (!buffer) return platform::kNotEnoughMemory;

  platform::PlainFile in, out;
  if (int code = in.OpenForReading(source)) return code;
  if (int code = out.Create(target, platform::Links::kRefuse)) return code;
  int code = 0;
  int64_t copied = 0;
  for (;;) {
    size_t got = 0;
    code = in.Read(buffer.get(), bufferSize, got);
    if (code != 0 || got == 0) break;
    code = out.Write(buffer.get(), got);
    if (code != 0) break;
    copied += static_cast<int64_t>(got);
  }
  if (code == 0) code = out.Flush();
  if (code == 0) {
    if (copied == info.size) platform::SetModifiedTime(target, info.modifiedNs);
    else code = kCopySizeMismatch;
  }
  const int closeCode = out.Close();
  if (code == 0) code = closeCode;
  if (code != 0) platform::DeleteFile(target, /*clearAttributes=*/false);
  else if (info.readOnly) platform::SetReadOnly(target, true);
  in.Close();
  return code;
}

}  // namespace mailstore
