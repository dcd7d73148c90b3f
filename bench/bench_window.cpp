// Measures the start of the program's window and the rebuild of a large
// In Box, on an X server (DISPLAY must name one, with a window manager or
// without).
//
// The start is timed on the X server itself: from the moment the program is
// started until the server holds a window whose name carries the caption
// the program sets once its In Box is built; nothing polls.  Rounds of a
// bare Qt window, the program on an empty mailbox and the program on 10,000
// messages alternate; the lines give medians and ratios.
//
// The rebuild is timed in this process: the main window on a mailbox of
// 100,000 messages, a full rebuild of its In Box (scan, list and repaint)
// during which the window takes no input.
//
//   bench_window [DIRECTORY]
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QApplication>
#include <QSettings>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "mailstore/MessageRecord.h"
#include "mainwindow/MainForm.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Progress.h"
#include "widgets/Resources.h"

namespace {

using Clock = std::chrono::steady_clock;

using bench::Median;
using bench::WriteText;

// A Mail Directory whose BOB has `messages` messages.
void MakeMailDir(const std::string& dir, int messages) {
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  WriteText(dir + "/MASTER.INI", "[USERS]\r\nALICE=\r\nBOB=\r\n");
  std::string mailbox;
  for (int i = 0; i < messages; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%08X.MSG", i);
    const std::string path = dir + "/" + name;
    WriteText(path, "text\r\n");
    const auto record = mailstore::EncodeMessageRecord("subject " + std::to_string(i), "ALICE", "12/7/2026 2:15p.", path);
    mailbox.append(reinterpret_cast<const char*>(record.data()), record.size());
  }
  WriteText(dir + "/BOB.LST", mailbox);
}

// The X server's view of new top-level windows and their names.
class Watcher {
 public:
  Watcher() : connection_(xcb_connect(nullptr, nullptr)) {
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
  }
  ~Watcher() { xcb_disconnect(connection_); }
  bool Ok() const { return xcb_connection_has_error(connection_) == 0; }

  // Waits until a window's name contains `caption`; false after 30 s.
  bool WaitForName(const std::string& caption) {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < deadline) {
      xcb_generic_event_t* event = xcb_wait_for_event(connection_);
      if (event == nullptr) return false;
      const uint8_t type = event->response_type & 0x7F;
      xcb_window_t window = 0;
      if (type == XCB_CREATE_NOTIFY) {
        window = reinterpret_cast<xcb_create_notify_event_t*>(event)->window;
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
      } else if (type == XCB_PROPERTY_NOTIFY) {
        window = reinterpret_cast<xcb_property_notify_event_t*>(event)->window;
      }
      std::free(event);
      if (window != 0 && NameOf(window).find(caption) != std::string::npos) return true;
    }
    return false;
  }

 private:
  std::string NameOf(xcb_window_t window) {
    std::string name;
    for (xcb_atom_t atom : {static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME), NetWmName()}) {
      xcb_get_property_reply_t* reply = xcb_get_property_reply(
          connection_, xcb_get_property(connection_, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
      if (reply == nullptr) continue;
      name.append(static_cast<const char*>(xcb_get_property_value(reply)),
                  static_cast<size_t>(xcb_get_property_value_length(reply)));
      std::free(reply);
    }
    return name;
  }
  xcb_atom_t NetWmName() {
    if (netWmName_ == 0) {
      xcb_intern_atom_reply_t* reply =
          xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, 12, "_NET_WM_NAME"), nullptr);
      if (reply) netWmName_ = reply->atom;
      std::free(reply);
    }
    return netWmName_;
  }
  xcb_connection_t* connection_;
  xcb_window_t root_ = 0;
  xcb_atom_t netWmName_ = 0;
};

// Starts `args` with `env` added, waits for `caption`, ends the program.
// Returns the milliseconds until the caption, or -1.
double TimeStart(Watcher& watcher, const std::vector<std::string>& args, const std::vector<std::string>& env,
                 const std::string& caption) {
  const auto start = Clock::now();
  const pid_t pid = bench::Start(args, env);
  const bool seen = watcher.WaitForName(caption);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return seen ? ms : -1;
}

void Report(const char* name, double project, double floor) {
  std::printf("%-58s project %9.3f ms  floor %9.3f ms  ratio %.2f\n", name, project, floor, project / floor);
  std::fflush(stdout);
}

void BenchStart(const std::string& root) {
  Watcher watcher;
  if (!watcher.Ok()) {
    std::printf("window start: skipped (no X server in DISPLAY)\n");
    return;
  }
  const std::string empty = root + "/empty", full = root + "/full", config = root + "/config";
  MakeMailDir(empty, 0);
  MakeMailDir(full, 10000);
  std::filesystem::create_directories(config);
  const std::string kvmail = bench::Sibling("kvmail"), bare = bench::Sibling("bare_window");
  std::vector<double> bareTimes, emptyTimes, fullTimes;
  for (int round = 0; round < 11; ++round) {
    // Each start on a settings store of its own, with no stored Mail
    // Directory, so that KVMAIL picks it.
    std::filesystem::remove_all(config);
    bareTimes.push_back(TimeStart(watcher, {bare}, {}, "Bare Qt Window"));
    const std::string instance = "KVMAIL_INSTANCE=bench-window-" + std::to_string(round);
    emptyTimes.push_back(TimeStart(watcher, {kvmail, "BOB"},
                                   {"XDG_CONFIG_HOME=" + config, "KVMAIL=" + empty, instance + "-empty"},
                                   "(BOB: 0 messages)"));
    std::filesystem::remove_all(config);
    fullTimes.push_back(TimeStart(watcher, {kvmail, "BOB"},
                                  {"XDG_CONFIG_HOME=" + config, "KVMAIL=" + full, instance + "-full"},
                                  "(BOB: 10000 messages)"));
  }
  Report("window start, 10,000 messages vs an empty mailbox", Median(fullTimes), Median(emptyTimes));
  Report("window start, 10,000 messages vs a bare Qt window", Median(fullTimes), Median(bareTimes));
}

void BenchRebuild(const std::string& root, int argc, char** argv) {
  const std::string dir = root + "/rebuild";
  MakeMailDir(dir, 100000);
  QApplication app(argc, argv);
  widgets::InitResources();
  widgets::CreateAlertWindow();
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(root + "/config-rebuild"));
  {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Brenlow", "Dashdeck");
    s.setValue("Mail/MailDir", QString::fromStdString(dir));
    s.setValue("Mail/NotifyWhenMailArrives", "0");
  }
  widgets::TProgressReport progress;
  widgets::TMailProgressReport sending;
  mainwindow::TMainForm form({"BOB"}, progress, sending);
  form.show();
  if (!form.FirstShow()) return;
  std::vector<double> times;
  for (int round = 0; round < 7; ++round) {
    QApplication::processEvents();
    const auto start = Clock::now();
    form.Session().Scanner().RequestRebuild();
    form.ScanMailbox();
    form.repaint();  // the window shows the new list before it takes input again
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::printf("%-58s %9.3f ms (target: under 100 ms)\n", "In Box rebuild at 100,000 messages, window blocked",
              Median(times));
  form.SessionEnding();
  form.close();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = bench::WorkDirectory(argc, argv);
  // KVMAIL_BENCH=start (or rebuild) runs one of the two.
  const char* only = std::getenv("KVMAIL_BENCH");
  const auto wanted = [only](const char* name) { return only == nullptr || std::strcmp(only, name) == 0; };
  if (wanted("start")) BenchStart(root);
  if (wanted("rebuild")) BenchRebuild(root, argc, argv);
  if (argc <= 1) std::filesystem::remove_all(root);
  return 0;
}
