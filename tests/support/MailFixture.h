// What the mail store's tests share: a Mail Directory of their own, a clock
// they set, a user whose answers they script, and a clean fault seam.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <stdlib.h>
#include <string>
#include <vector>

#include "mailstore/TMail.h"
#include "mailstore/UserInteraction.h"
#include "platform/Clock.h"
#include "platform/FaultInjection.h"
#include "support/TempDir.h"

namespace testing_support {

class FakeClock : public platform::Clock {
 public:
  platform::LocalTime now{2026, 12, 7, 14, 15, 30, 0};
  // Moves on by `utcStep` milliseconds at every reading.
  mutable uint32_t utcMs = 51330000;
  uint32_t utcStep = 1;
  uint32_t tick = 0;
  platform::LocalTime LocalNow() const override { return now; }
  uint32_t UtcMillisecondsSinceMidnight() const override {
    const uint32_t now = utcMs;
    utcMs += utcStep;
    return now;
  }
  uint32_t TickMs() const override { return tick; }
};

// Records what the store says to its user and answers its questions from a
// script (No once the script runs out).
class ScriptedUi : public mailstore::UserInteraction {
 public:
  struct Shown {
    std::string kind;  // alert, ask, notice, error
    std::string title;
    std::string text;
  };
  std::vector<Shown> shown;
  std::deque<bool> answers;
  std::vector<int> pauses;
  std::vector<std::string> sending;
  int beeps = 0;

  void ShowAlert(const std::string& title, const std::string& text) override {
    shown.push_back({"alert", title, text});
  }
  bool AskUser(const std::string& title, const std::string& text) override {
    shown.push_back({"ask", title, text});
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowNotice(const std::string& title, const std::string& text) override {
    shown.push_back({"notice", title, text});
  }
  void ShowErrorText(const std::string& text) override { shown.push_back({"error", mailstore::kProgramTitle, text}); }
  void WarningBeep() override { ++beeps; }
  void PauseMs(int ms) override { pauses.push_back(ms); }
  void ShowSending(const std::string& name) override { sending.push_back(name); }
  void ClearSending() override { sending.push_back(""); }
  void HideSending() override { sending.push_back("<hidden>"); }

  int CountOf(const std::string& kind) const {
    int n = 0;
    for (const Shown& s : shown) n += s.kind == kind;
    return n;
  }
};

class MailFixture : public ::testing::Test {
 protected:
  MailFixture() : mail(ui, clock) {
    // The lock directories are taken on this disk too, so that the tests
    // see them (the program leaves them out on a local disk).
    ::setenv("KVMAIL_LOCK_DIRECTORIES", "always", 1);
    platform::faults::Clear();
    mail.SetMailDir(dir.path());
    mail.SetProgramDir(programDir.path());
    mail.SetUserName("BOB");
  }
  ~MailFixture() override { platform::faults::Clear(); }

  std::string MailFile(const std::string& name) const { return dir.File(name); }

  TempDir dir;
  TempDir programDir;
  FakeClock clock;
  ScriptedUi ui;
  mailstore::TMail mail;
};

}  // namespace testing_support
