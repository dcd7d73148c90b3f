#include "cli/TerminalUser.h"

#include <algorithm>
#include <cstdio>

#include "platform/Clock.h"
#include "platform/Terminal.h"
#include "platform/Text.h"

namespace cli {
namespace {

// With --yes and no one to ask, a busy mailbox is retried this long.
constexpr uint32_t kRetryForMs = 10000;
constexpr int kRetryPauseMs = 200;

}  // namespace

TerminalUser::TerminalUser(bool assumeYes, bool raw)
    : assumeYes_(assumeYes), raw_(raw), terminal_(platform::StdinIsTerminal()) {}

std::string TerminalUser::ForTerminal(const std::string& stored) const {
  if (!raw_) return platform::ForTerminal(stored, platform::TerminalForm::kText);
  std::string text;
  text.reserve(stored.size());
  for (size_t i = 0; i < stored.size(); ++i) {
    if (stored[i] == '\r') {
      if (i + 1 < stored.size() && stored[i + 1] == '\n') ++i;
      text += '\n';
    } else {
      text += stored[i];
    }
  }
  return text;
}

void TerminalUser::Print(const std::string& text) {
  ++messagesShown_;
  // Messages are for a person, --raw or not: nothing in them reaches the
  // terminal as a command.
  std::string shown = platform::ForTerminal(text, platform::TerminalForm::kText);
  if (shown.empty() || shown.back() != '\n') shown += '\n';
  std::fputs(shown.c_str(), stderr);
}

void TerminalUser::ShowAlert(const std::string& title, const std::string& text) {
  Print(title == mailstore::kProgramTitle ? text : title + ": " + text);
}

void TerminalUser::ShowErrorText(const std::string& text) { Print(text); }

void TerminalUser::ShowNotice(const std::string& title, const std::string& text) { ShowAlert(title, text); }

std::string TerminalUser::Question(const std::string& title, const std::string& text) const {
  return platform::ForTerminal(title == mailstore::kProgramTitle ? text : title + ": " + text,
                               platform::TerminalForm::kText);
}

bool TerminalUser::AskAtTerminal(const std::string& question) {
  std::fprintf(stderr, "%s [y/N] ", question.c_str());
  std::fflush(stderr);
  std::string answer;
  if (!platform::ReadStdinLine(answer)) return false;
  return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

void TerminalUser::TellAnswer(const std::string& question, bool yes) {
  std::fprintf(stderr, "%s [%s]\n", question.c_str(), yes ? "yes" : "no");
  ++messagesShown_;
}

bool TerminalUser::AskUser(const std::string& title, const std::string& text) {
  const std::string question = Question(title, text);
  if (terminal_) return AskAtTerminal(question);
  TellAnswer(question, assumeYes_);
  return assumeYes_;
}

uint32_t TerminalUser::RetryElapsedMs() {
  const uint32_t now = platform::SystemClock().TickMs();
  if (!retrying_) {
    retrying_ = true;
    retryingSinceMs_ = now;
  }
  return now - retryingSinceMs_;
}

bool TerminalUser::AskRetry(const std::string& text) {
  const std::string question = Question(mailstore::kProgramTitle, text);
  if (terminal_) return AskAtTerminal(question);
  bool yes = assumeYes_;
  if (yes) {
    yes = RetryElapsedMs() < kRetryForMs;
    if (yes) platform::SleepMs(kRetryPauseMs);  // a sharing violation is retried without a pause
  }
  // A retry answered Yes is told once, not at every attempt.
  if (!yes || !retryTold_) TellAnswer(question, yes);
  retryTold_ = true;
  return yes;
}

void TerminalUser::PauseMs(int ms) {
  // The pauses between attempts count against the retrying time of --yes,
  // so that it stays about ten seconds in all, however the attempts go.
  if (!terminal_ && assumeYes_ && ms > 0) {
    const uint32_t elapsed = RetryElapsedMs();
    ms = elapsed >= kRetryForMs ? 0 : std::min<int>(ms, static_cast<int>(kRetryForMs - elapsed));
  }
  platform::SleepMs(ms);
}

}  // namespace cli
