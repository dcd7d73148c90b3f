#include "widgets/DialogUser.h"

#include "shell/AnsiText.h"
#include "widgets/MessageDialogs.h"

namespace widgets {

using shell::FromAnsi;

void DialogUser::ShowAlert(const std::string& title, const std::string& text) {
  BeforeDialog();
  widgets::ShowAlert(FromAnsi(title), FromAnsi(text));
}
bool DialogUser::AskUser(const std::string& title, const std::string& text) {
  BeforeDialog();
  return widgets::AskUser(FromAnsi(title), FromAnsi(text));
}
void DialogUser::ShowNotice(const std::string& title, const std::string& text) {
  BeforeDialog();
  widgets::ShowNotice(FromAnsi(title), FromAnsi(text));
}
void DialogUser::AnnounceNewMail(const std::string& title, const std::string& text) {
  BeforeDialog();
  // Sent first: the notice waits for its OK.
  desktop_.Notify(FromAnsi(title), FromAnsi(text));
  widgets::ShowNotice(FromAnsi(title), FromAnsi(text));
}
void DialogUser::ShowErrorText(const std::string& text) {
  BeforeDialog();
  widgets::ShowErrorText(FromAnsi(text));
}
void DialogUser::WarningBeep() { widgets::WarningBeep(); }
void DialogUser::PauseMs(int ms) { widgets::PauseMs(ms); }
void DialogUser::ShowSending(const std::string& name) { sending_.ShowSending(FromAnsi(name)); }
void DialogUser::ClearSending() { sending_.ClearSending(); }
void DialogUser::HideSending() { sending_.HideSending(); }

}  // namespace widgets
