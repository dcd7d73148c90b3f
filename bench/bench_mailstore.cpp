// Measures the mail store against a floor in the same run: the floor makes
// only the system calls that the job cannot do without, with the same
// flushes, so the ratio shows what the mail store adds.  Where the case is
// about scale, the floor is the same job on the small case.  Project and
// floor alternate, round after round; each line gives the median of each,
// the ratio of the medians and the spread of the per-round ratios.
//
// A run ends by removing its directories (over 200,000 files), and
// bench_window removes over 100,000.  On ext4 without a journal a new
// file's inode is then looked for past the ones freed in the last minute
// (six while their inode table is not yet written), one at a time: a run
// started within six minutes of another can spend most of its creations in
// the kernel, and unevenly between the two sides of a case.  Leave runs
// that far apart, this one after bench_window too (or give each a directory
// of its own on a disk that has not just lost one).
//
//   bench_mailstore [DIRECTORY]   (default: a new directory under /tmp)
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "mailstore/Delivery.h"
#include "mailstore/Inbox.h"
#include "mailstore/MessageRecord.h"
#include "mailstore/TMail.h"
#include "mailstore/UserRegistry.h"

namespace {

using bench::Clock;
using bench::Compare;
using bench::Seconds;


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
  void SetInboxRecords(const mailstore::InboxRecords& records) override { lines = static_cast<size_t>(records.size()); }
  void SetMailboxState(bool) override {}
  void SetCaption(const std::string&) override {}
};

// Fills `dir` with `count` files that are nobody's mail, as a large share
// holds them.
void Crowd(const std::string& dir, int count) {
  std::filesystem::create_directories(dir);
  for (int i = 0; i < count; ++i) close(open((dir + "/other" + std::to_string(i) + ".dat").c_str(), O_CREAT | O_WRONLY, 0666));
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
  // Written through the descriptor of the reservation: a true minimum.
  int fd = open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_SYNC, 0666);
  (void)!write(fd, text.data(), text.size());
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
    bench::WriteText(dir + "/MASTER.INI", "[USERS]\r\nALICE=\r\nBOB=\r\n");
    mail.SetMailDir(dir);
  };
  Compare("delivery, 1,000 x 1 KB into one mailbox (per copy)", 5, kCopies, prepare, [&] {
    mailstore::Delivery delivery(mail, request);
    delivery.hasUserRegistry = true;
    for (int i = 0; i < kCopies; ++i) delivery.DeliverToUser("BOB");
  }, prepare, [&] {
    for (int i = 0; i < kCopies; ++i) BaselineCopy(dir, dir + "/BOB.LST", i, text + "\r\n");
  });
}

// One message to all of 200 users, sent with `mail` into `dir`.
struct SendToAll {
  static constexpr int kUsers = 200;
  std::string dir;
  QuietUser user;
  mailstore::TMail mail{user};
  mailstore::SendRequest request;
  explicit SendToAll(std::string directory) : dir(std::move(directory)) {
    mail.SetUserName("U0");
    request.subject = "to everyone";
    request.lines = {std::string(1022, 'y')};
    request.pauseAfterCopyMs = 0;
    request.sendToAll = true;
  }
  // The users' mailboxes there and empty, as in an office where everybody
  // has had mail before; no texts (the crowd of other files stays).
  void Prepare() {
    std::filesystem::create_directories(dir);
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      if (entry.path().extension() == ".MSG") std::filesystem::remove(entry.path());
    for (int u = 0; u < kUsers; ++u) bench::WriteText(dir + "/U" + std::to_string(u) + ".LST", "");
    std::string ini = "[USERS]\r\n";
    for (int u = 0; u < kUsers; ++u) ini += "U" + std::to_string(u) + "=\r\n";
    bench::WriteText(dir + "/MASTER.INI", ini);
    mail.SetMailDir(dir);
  }
  void Send() {
    mailstore::Delivery delivery(mail, request);
    mailstore::SendMessage(delivery, "");
  }
};

void BenchSendToAll(const std::string& root) {
  SendToAll all(root + "/all");
  Compare("one message to all of 200 users (per copy)", 5, SendToAll::kUsers, [&] { all.Prepare(); },
          [&] { all.Send(); }, [&] { all.Prepare(); }, [&] {
            for (int u = 0; u < SendToAll::kUsers; ++u)
              BaselineCopy(all.dir, all.dir + "/U" + std::to_string(u) + ".LST", u, std::string(1022, 'y') + "\r\n");
          });

  // The same in a directory of 100,000 files, against 1,000.
  SendToAll large(root + "/all-large"), small(root + "/all-small");
  Crowd(large.dir, 100000);
  Crowd(small.dir, 1000);
  Compare("send to all 200 in 100,000 files vs in 1,000 (per copy)", 5, SendToAll::kUsers,
          [&] { large.Prepare(); }, [&] { large.Send(); }, [&] { small.Prepare(); }, [&] { small.Send(); });
}

// A mailbox of `records` records whose texts exist, but for every
// `danglingEvery`-th (0: none).  Returns the mailbox's bytes.
std::string MakeMailbox(const std::string& dir, int records, int danglingEvery) {
  Fresh(dir);
  std::string mailbox;
  for (int i = 0; i < records; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%08X.MSG", i);
    const std::string path = dir + "/" + name;
    if (danglingEvery == 0 || i % danglingEvery != 1) close(open(path.c_str(), O_CREAT | O_WRONLY, 0666));
    const auto record = mailstore::EncodeMessageRecord("subject " + std::to_string(i), "ALICE",
                                                       i % 2 ? "12/7/2026 2:15p." : "12/7/2026 2:15p", path);
    mailbox.append(reinterpret_cast<const char*>(record.data()), record.size());
  }
  bench::WriteText(dir + "/BOB.LST", mailbox);
  return mailbox;
}

// A scan of BOB's mailbox in `dir`.
struct Scan {
  QuietUser user;
  mailstore::TMail mail{user};
  NullView view;
  mailstore::InboxScanner scanner{mail, view};
  explicit Scan(const std::string& dir) {
    mail.SetUserName("BOB");
    mail.SetMailDir(dir);
    scanner.settings.notify = false;
  }
  void Run() {
    scanner.RequestRebuild();
    scanner.ScanMailbox();
  }
};

void BenchScan(const std::string& root, int records) {
  const std::string dir = root + "/scan" + std::to_string(records);
  MakeMailbox(dir, records, 0);
  Scan scan(dir);
  // The floor: one reading of the directory and of the records, which any
  // reader that checks the texts must make.
  char label[96];
  std::snprintf(label, sizeof label, "full scan of %d records vs a reading of dir + records", records);
  Compare(label, 7, 1, [] {}, [&] { scan.Run(); }, [] {}, [&] {
    DIR* d = opendir(dir.c_str());
    size_t names = 0;
    while (readdir(d) != nullptr) ++names;
    closedir(d);
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
    if (names == 0) std::abort();
  });
  if (scan.view.lines != static_cast<size_t>(records)) std::fprintf(stderr, "scan listed %zu of %d\n", scan.view.lines, records);
}

void BenchDangling(const std::string& root) {
  constexpr int kRecords = 10000;
  const std::string dirty = root + "/dangling", clean = root + "/clean";
  const std::string dirtyBox = MakeMailbox(dirty, kRecords, 100);  // 1 %
  MakeMailbox(clean, kRecords, 0);
  Scan withDangling(dirty), without(clean);
  Compare("scan of 10,000 records with 100 dangling vs clean", 7, 1,
          [&] { bench::WriteText(dirty + "/BOB.LST", dirtyBox); }, [&] { withDangling.Run(); }, [] {},
          [&] { without.Run(); });
}

void BenchMissingMailboxIni(const std::string& root) {
  // A login asks for the user's password; nobody has one, so MAILBOX.INI
  // is missing, in a directory of 100,000 files.
  const std::string dir = root + "/login";
  Crowd(dir, 100000);
  bench::WriteText(dir + "/MASTER.INI", "[USERS]\r\nALICE=\r\nBOB=\r\n");
  QuietUser user;
  mailstore::TMail mail(user);
  mail.SetMailDir(dir);
  auto login = [&] {
    const mailstore::TMail::Operation operation(mail);
    for (int i = 0; i < 100; ++i) {
      if (!mailstore::IsKnownUser(mail, "BOB")) std::abort();
      (void)mailstore::ReadUserPassword(mail, "BOB");
    }
  };
  Compare("100 logins, MAILBOX.INI missing vs present (100,000 files)", 5, 100,
          [&] { std::filesystem::remove(dir + "/MAILBOX.INI"); }, login,
          [&] { bench::WriteText(dir + "/MAILBOX.INI", "[USERS]\r\n"); }, login);
}

// Runs `args` with `input` on standard input; returns its exit status.
int Spawn(const std::vector<std::string>& args, const std::string& input) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return -1;  // the child keeps only its standard input
  const pid_t pid = bench::Start(args, {}, pipeFds[0]);
  close(pipeFds[0]);
  (void)!write(pipeFds[1], input.data(), input.size());
  close(pipeFds[1]);
  return bench::Wait(pid);
}

void BenchProcessPerMessage(const std::string& root) {
  constexpr int kMessages = 200;
  const std::string kvmailctl = bench::Sibling("kvmailctl"), floor = bench::Sibling("floor_send"),
                    sameCalls = bench::Sibling("floor_kvmailctl");
  const std::string dir = root + "/process", maildir = root + "/maildir";
  const std::string text(1022, 'z');
  auto prepare = [&] {
    Fresh(dir);
    bench::WriteText(dir + "/MASTER.INI", "[USERS]\r\nALICE=\r\nBOB=\r\n");
  };
  int failures = 0;
  auto ours = [&] {
    for (int i = 0; i < kMessages; ++i)
      failures += Spawn({kvmailctl, "--maildir", dir, "--user", "ALICE", "send", "--subject", "s", "BOB"}, text) != 0;
  };
  // The target: the system calls the send must make (the registry, the
  // look for MAILBOX.INI and the reading of the directory its absence
  // costs, the time zone, the walk past names taken in the same seconds).
  Compare("kvmailctl send, a process per message vs the same calls in C", 5, kMessages, prepare, ours, prepare, [&] {
    for (int i = 0; i < kMessages; ++i) failures += Spawn({sameCalls, dir, "ALICE", "BOB"}, text) != 0;
  });
  // Beside it, the least any delivery needs: a text of a name given, one
  // record, two flushes.
  Compare("kvmailctl send, a process per message vs a C floor", 5, kMessages, prepare, ours, prepare, [&] {
    for (int i = 0; i < kMessages; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "%08X.MSG", i);
      failures += Spawn({floor, dir, "BOB.LST", name}, text) != 0;
    }
  });
  if (access("/usr/bin/safecat", X_OK) == 0) {
    Compare("kvmailctl send, a process per message vs safecat into a Maildir", 5, kMessages, prepare, ours,
            [&] {
              Fresh(maildir);
              for (const char* sub : {"/tmp", "/new", "/cur"}) std::filesystem::create_directories(maildir + sub);
            },
            [&] {
              for (int i = 0; i < kMessages; ++i)
                failures += Spawn({"/usr/bin/safecat", maildir + "/tmp", maildir + "/new"}, text) != 0;
            });
  } else {
    std::printf("%-58s skipped: safecat is not installed\n", "kvmailctl send vs safecat");
  }
  if (failures) std::fprintf(stderr, "%d deliveries failed\n", failures);
}

void BenchBurst(const std::string& root) {
  // 2,000 processes within moments of each other: the names a text file
  // tries first are taken by the others.
  constexpr int kMessages = 2000, kAtOnce = 16;
  const std::string kvmailctl = bench::Sibling("kvmailctl"), floor = bench::Sibling("floor_send");
  const std::string dir = root + "/burst";
  const std::string text(200, 'b');
  auto prepare = [&] {
    Fresh(dir);
    bench::WriteText(dir + "/MASTER.INI", "[USERS]\r\nALICE=\r\nBOB=\r\n");
  };
  auto run = [&](const std::function<std::vector<std::string>(int)>& command) {
    std::vector<pid_t> running;
    for (int i = 0; i < kMessages; ++i) {
      if (running.size() >= kAtOnce) {
        waitpid(running.front(), nullptr, 0);
        running.erase(running.begin());
      }
      running.push_back(bench::Start(command(i)));
    }
    for (pid_t pid : running) waitpid(pid, nullptr, 0);
  };
  Compare("a burst of 2,000 kvmailctl sends, 16 at once, vs a C floor", 3, kMessages, prepare,
          [&] {
            run([&](int) {
              return std::vector<std::string>{kvmailctl, "--maildir", dir, "--user", "ALICE", "send", "BOB"};
            });
          },
          prepare,
          [&] {
            run([&](int i) {
              char name[16];
              std::snprintf(name, sizeof name, "%08X.MSG", i);
              return std::vector<std::string>{floor, dir, "BOB.LST", name};
            });
          });
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = bench::WorkDirectory(argc, argv);
  std::printf("in %s; times per unit named, medians of alternating rounds, ratio (lowest-highest round)\n",
              root.c_str());
  // KVMAIL_BENCH=scan (or delivery, all, dangling, ini, process, burst)
  // runs that group alone.
  const char* only = std::getenv("KVMAIL_BENCH");
  auto wanted = [only](const char* group) { return only == nullptr || std::strcmp(only, group) == 0; };
  if (wanted("delivery")) BenchDelivery(root);
  if (wanted("all")) BenchSendToAll(root);
  if (wanted("scan"))
    for (int records : {1000, 10000, 100000}) BenchScan(root, records);
  if (wanted("dangling")) BenchDangling(root);
  if (wanted("ini")) BenchMissingMailboxIni(root);
  if (wanted("process")) BenchProcessPerMessage(root);
  if (wanted("burst")) BenchBurst(root);
  if (argc <= 1) std::filesystem::remove_all(root);
  return 0;
}
