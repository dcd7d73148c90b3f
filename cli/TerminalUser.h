// The user of kvmailctl: messages on standard error, questions at the
// terminal when there is one.
#pragma once

#include <cstdint>
#include <string>

#include "mailstore/UserInteraction.h"

namespace cli {

class TerminalUser : public mailstore::UserInteraction {
 public:
  // `assumeYes`: without a terminal, answer Yes (the retry question of a
  // busy mailbox for about ten seconds at most, then No) instead of No.
  // `raw`: print stored texts as they are instead of converting them.
  TerminalUser(bool assumeYes, bool raw);

  void ShowAlert(const std::string& title, const std::string& text) override;
  bool AskUser(const std::string& title, const std::string& text) override;
  bool AskRetry(const std::string& text) override;
  void ShowNotice(const std::string& title, const std::string& text) override;
  void ShowErrorText(const std::string& text) override;
  void WarningBeep() override {}
  void PauseMs(int ms) override;
  void ShowSending(const std::string&) override {}
  void ClearSending() override {}
  void HideSending() override {}

  // How a stored text reaches standard output: as platform::ForTerminal
  // shows a text, or with raw only CR LF and lone CRs made line ends and
  // the bytes otherwise as stored, for scripts.
  std::string ForTerminal(const std::string& stored) const;

  // How many messages were shown (alerts, errors, notices).
  int messagesShown() const { return messagesShown_; }

 private:
  void Print(const std::string& text);
  std::string Question(const std::string& title, const std::string& text) const;
  bool AskAtTerminal(const std::string& question);
  // Without a terminal: the question and the answer given for the user.
  void TellAnswer(const std::string& question, bool yes);
  // Since the first pause or retry question of this run.
  uint32_t RetryElapsedMs();

  bool assumeYes_;
  bool raw_;
  bool terminal_;
  int messagesShown_ = 0;
  bool retrying_ = false;
  uint32_t retryingSinceMs_ = 0;
  bool retryTold_ = false;
};

}  // namespace cli
