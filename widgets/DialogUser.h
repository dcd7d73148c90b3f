// The program's side of the mail store's user interaction: its own dialogs.
#pragma once

#include <functional>

#include "mailstore/UserInteraction.h"
#include "widgets/DesktopNotifications.h"
#include "widgets/Progress.h"

namespace widgets {

class DialogUser : public mailstore::UserInteraction {
 public:
  // `sending`: the "Sending Mail To:" window made at start-up.
  explicit DialogUser(TMailProgressReport& sending) : sending_(sending) {}

  void ShowAlert(const std::string& title, const std::string& text) override;
  bool AskUser(const std::string& title, const std::string& text) override;
  void ShowNotice(const std::string& title, const std::string& text) override;
  // The notice, and a notification of the desktop beside it.
  void AnnounceNewMail(const std::string& title, const std::string& text) override;
  void ShowErrorText(const std::string& text) override;
  void WarningBeep() override;
  void PauseMs(int ms) override;
  void ShowSending(const std::string& name) override;
  void ClearSending() override;
  void HideSending() override;

  // Runs before each dialog from now on (nothing: none).
  void SetBeforeDialog(std::function<void()> before) { beforeDialog_ = std::move(before); }

 private:
  void BeforeDialog() const {
    if (beforeDialog_) beforeDialog_();
  }
  TMailProgressReport& sending_;
  DesktopNotifications desktop_;
  std::function<void()> beforeDialog_;
};

}  // namespace widgets
