// A second copy of the program, reduced to what the tests of concurrent
// access need.  Commands:
//   hold MAILDIR KEY MS READYFILE      open KEY's mailbox for update, create
//                                      READYFILE, keep it MS milliseconds
//   append MAILDIR KEY COUNT TAG       deliver COUNT messages "TAG-i" to KEY,
//                                      each with its own text file
// It answers Yes to every retry question (for at most about a minute) and
// exits 0 on success, 1 after printing the failing code.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "mailstore/MessageText.h"
#include "mailstore/TMail.h"
#include "platform/Clock.h"

namespace {

class PatientUser : public mailstore::UserInteraction {
 public:
  void ShowAlert(const std::string&, const std::string& text) override { std::fprintf(stderr, "alert: %s\n", text.c_str()); }
  bool AskUser(const std::string&, const std::string&) override {
    platform::SleepMs(1);
    return ++questions_ < 60000;
  }
  void ShowNotice(const std::string&, const std::string&) override {}
  void ShowErrorText(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
  void WarningBeep() override {}
  void PauseMs(int ms) override { platform::SleepMs(ms); }
  void ShowSending(const std::string&) override {}
  void ClearSending() override {}
  void HideSending() override {}

 private:
  int questions_ = 0;
};

int Fail(const char* what, int code) {
  std::fprintf(stderr, "%s failed with code %d\n", what, code);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) return 2;
  const std::string command = argv[1], mailDir = argv[2], key = argv[3];
  PatientUser user;
  mailstore::TMail mail(user);
  mail.SetMailDir(mailDir);
  mail.SetUserName(key);

  if (command == "hold") {
    if (int code = mail.OpenMailbox(key, mailstore::TMail::Mode::kUpdate)) return Fail("open", code);
    std::ofstream(argv[5]).put('1');
    platform::SleepMs(std::atoi(argv[4]));
    return mail.CloseMailbox() == 0 ? 0 : 1;
  }
  if (command == "append") {
    const int count = std::atoi(argv[4]);
    const std::string tag = argv[5];
    for (int i = 0; i < count; ++i) {
      const std::string subject = tag + "-" + std::to_string(i);
      std::string path;
      if (!mail.CreateMessageFile(path)) return Fail("create", -1);
      if (int code = mailstore::WriteMessageText(path, {subject}, key, false, platform::SystemClock()))
        return Fail("write", code);
      const auto record = mailstore::EncodeMessageRecord(subject, tag, "12/7/2026 2:15p", path);
      if (int code = mail.AppendMessage(key, record)) return Fail("append", code);
    }
    return 0;
  }
  return 2;
}
