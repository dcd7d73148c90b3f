// Measures delivery and the inbox scan against a baseline program in the same
// run: the baseline makes only the system calls that the job cannot do
// without, with the same flushes, so the ratio shows what the mail store adds.
//
//   bench_mailstore [DIRECTORY]   (default: a new directory under /tmp)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "mailstore/Delivery.h"
#include "mailstore/Inbox.h"
#include "mailstore/MessageRecord.h"
#include "mailstore/TMail.h"

namespace {

using Clock = std::chrono::steady_clock;

class QuietUser : public mailstore::UserInteraction {
 public:
  void ShowAlert(const std::string&, const std::string& text) override { std::fprintf(stderr, "alert: %s\n", text.c_str()); }
  bool AskUser(const std::string&, const std::string&) override { return true; }
  void ShowNotice(const std::string&, const std::string&) override {}
  void ShowErrorText(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
  void WarningBeep() override {}
  void PauseMs(int) override {}
  void ShowSending(const std::string&) override {}
  void ClearSending() override {}
  void HideSending() override {}
};

struct NullView : mailstore::InboxView {
  size_t lines = 0;
  void BeginInboxUpdate() override { lines = 0; }
  void AddInboxLine(const std::string&, const mailstore::MessageRecord&) override { ++lines; }
  void EndInboxUpdate() override {}
  void SetMailboxState(bool) override {}
  void SetCaption(const std::string&) override {}
};

double Seconds(const std::function<void()>& job) {
  const auto start = Clock::now();
  job();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The best of `rounds` runs, each after `prepare`.
double Best(int rounds, const std::function<void()>& prepare, const std::function<void()>& job) {
  double best = 1e100;
  for (int i = 0; i < rounds; ++i) {
    prepare();
    best = std::min(best, Seconds(job));
  }
  return best;
}

void Report(const char* name, int copies, double ours, double baseline) {
  std::printf("%-44s %9.3f ms  baseline %9.3f ms  ratio %.2f\n", name, ours * 1000 / copies,
              baseline * 1000 / copies, ours / baseline);
}

void Fresh(const std::string& dir) {
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
}

// What any program must do to deliver one copy: reserve the text file by an
// exclusive, written-through creation, write and flush it, then append the
// record under a lock and flush.
void BaselineCopy(const std::string& dir, const std::string& mailbox, int n, const std::string& text) {
  char name[32];
  std::snprintf(name, sizeof name, "/%08X.MSG", n);
  const std::string path = dir + name;
  int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_SYNC, 0666);
  close(fd);
  fd = open(path.c_str(), O_WRONLY | O_TRUNC);
  (void)!write(fd, text.data(), text.size());
  fsync(fd);
  close(fd);
  const mailstore::RecordBytes record = mailstore::EncodeMessageRecord("subject", "ALICE", "12/7/2026 2:15p", path);
  fd = open(mailbox.c_str(), O_RDWR | O_CREAT, 0666);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  fcntl(fd, F_OFD_SETLK, &lock);
  struct stat st {};
  fstat(fd, &st);
  (void)!pwrite(fd, record.data(), record.size(), st.st_size);
  fsync(fd);
  close(fd);
}

void BenchDelivery(const std::string& root) {
  constexpr int kCopies = 1000;
  const std::string dir = root + "/deliver";
  const std::string text(1022, 'x');
  QuietUser user;
  mailstore::TMail mail(user);
  mail.SetUserName("ALICE");
  mail.SetMailDir(dir);
  mailstore::SendRequest request;
  request.subject = "subject";
  request.lines = {text};  // 1,024 bytes with its line end
  request.pauseAfterCopyMs = 0;

  auto prepare = [&] {
    Fresh(dir);
    std::FILE* f = std::fopen((dir + "/MASTER.INI").c_str(), "wb");
    std::fputs("[USERS]\r\nALICE=\r\nBOB=\r\n", f);
    std::fclose(f);
  };
  const double ours = Best(3, prepare, [&] {
    mailstore::Delivery delivery(mail, request);
    delivery.hasUserRegistry = true;
    for (int i = 0; i < kCopies; ++i) delivery.DeliverToUser("BOB");
  });
  const double baseline = Best(3, prepare, [&] {
    for (int i = 0; i < kCopies; ++i) BaselineCopy(dir, dir + "/BOB.LST", i, text + "\r\n");
  });
  Report("delivery, 1,000 x 1 KB into one mailbox", kCopies, ours, baseline);
}

void BenchSendToAll(const std::string& root) {
  constexpr int kUsers = 200;
  const std::string dir = root + "/all";
  QuietUser user;
  mailstore::TMail mail(user);
  mail.SetUserName("U0");
  mail.SetMailDir(dir);
  mailstore::SendRequest request;
  request.subject = "to everyone";
  request.lines = {std::string(1022, 'y')};
  request.pauseAfterCopyMs = 0;
  request.sendToAll = true;

  auto prepare = [&] {
    Fresh(dir);
    std::string ini = "[USERS]\r\n";
    for (int u = 0; u < kUsers; ++u) ini += "U" + std::to_string(u) + "=\r\n";
    std::FILE* f = std::fopen((dir + "/MASTER.INI").c_str(), "wb");
    std::fputs(ini.c_str(), f);
    std::fclose(f);
  };
  const double ours = Best(3, prepare, [&] {
    mailstore::Delivery delivery(mail, request);
    mailstore::SendMessage(delivery, "");
  });
  const double baseline = Best(3, prepare, [&] {
    for (int u = 0; u < kUsers; ++u)
      BaselineCopy(dir, dir + "/U" + std::to_string(u) + ".LST", u, std::string(1022, 'y') + "\r\n");
  });
  Report("one message to all of 200 users", kUsers, ours, baseline);
}

void BenchScan(const std::string& root, int records) {
  const std::string dir = root + "/scan" + std::to_string(records);
  Fresh(dir);
  {
    std::string mailbox;
    for (int i = 0; i < records; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "%08X.MSG", i);
      const std::string path = dir + "/" + name;
      close(open(path.c_str(), O_CREAT | O_WRONLY, 0666));
      const auto record = mailstore::EncodeMessageRecord("subject " + std::to_string(i), "ALICE",
                                                         i % 2 ? "12/7/2026 2:15p." : "12/7/2026 2:15p", path);
      mailbox.append(reinterpret_cast<const char*>(record.data()), record.size());
    }
    std::FILE* f = std::fopen((dir + "/BOB.LST").c_str(), "wb");
    std::fwrite(mailbox.data(), 1, mailbox.size(), f);
    std::fclose(f);
  }
  QuietUser user;
  mailstore::TMail mail(user);
  mail.SetUserName("BOB");
  mail.SetMailDir(dir);
  NullView view;
  mailstore::InboxScanner scanner(mail, view);
  scanner.settings.notify = false;

  const double ours = Best(5, [&] { scanner.RequestRebuild(); }, [&] { scanner.ScanMailbox(); });
  if (view.lines != static_cast<size_t>(records)) std::fprintf(stderr, "scan listed %zu of %d\n", view.lines, records);
  const double baseline = Best(5, [] {}, [&] {
    const std::string path = dir + "/BOB.LST";
    struct stat st {};
    stat(path.c_str(), &st);
    std::vector<unsigned char> bytes(static_cast<size_t>(st.st_size));
    const int fd = open(path.c_str(), O_RDONLY);
    struct flock lock {};
    lock.l_type = F_RDLCK;
    fcntl(fd, F_OFD_SETLK, &lock);
    (void)!pread(fd, bytes.data(), bytes.size(), 0);
    close(fd);
    char name[32];
    for (size_t at = 0; at < bytes.size(); at += mailstore::kRecordSize) {
      // The name is the last 12 characters of the stored path.
      const unsigned char* field = bytes.data() + at + 71;
      std::snprintf(name, sizeof name, "%s/%.12s", "", reinterpret_cast<const char*>(field + 1 + field[0] - 12));
      stat((dir + name).c_str(), &st);
    }
  });
  char label[64];
  std::snprintf(label, sizeof label, "full scan of %d records", records);
  Report(label, 1, ours, baseline);
}

}  // namespace

int main(int argc, char** argv) {
  std::string root;
  if (argc > 1) {
    root = argv[1];
  } else {
    char pattern[] = "/tmp/kvb-XXXXXX";
    root = mkdtemp(pattern);
  }
  std::printf("in %s (per copy for delivery, per scan for scans)\n", root.c_str());
  BenchDelivery(root);
  BenchSendToAll(root);
  for (int records : {1000, 10000, 100000}) BenchScan(root, records);
  if (argc <= 1) std::filesystem::remove_all(root);
  return 0;
}
