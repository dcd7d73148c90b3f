// How the layers below the windows reach the user.
//
// The mail store and the settings store never show anything themselves: they
// call this interface, which the program implements with its own dialogs,
// the command-line front end with a terminal, and tests with a script.
#pragma once

#include <string>

#include "mailstore/MailError.h"

namespace mailstore {

inline constexpr const char* kProgramTitle = "KV Mailbox";

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;

  // A message with an OK button.
  virtual void ShowAlert(const std::string& title, const std::string& text) = 0;
  // A Yes/No question; true for Yes.  No, Escape and closing all give false.
  virtual bool AskUser(const std::string& title, const std::string& text) = 0;
  // The question after a mailbox stayed busy or failed through every
  // attempt: true to try the whole cycle again.  `text` says which mailbox
  // and why.  By default the same Yes/No question, titled with the
  // program's title; a front end without a person may answer it otherwise.
  virtual bool AskRetry(const std::string& text) { return AskUser(kProgramTitle, text); }
  // A notification, such as the announcement of new mail.
  virtual void ShowNotice(const std::string& title, const std::string& text) = 0;
  // The announcement of new mail: by default the notice alone; the program
  // also tells the desktop.
  virtual void AnnounceNewMail(const std::string& title, const std::string& text) { ShowNotice(title, text); }
  // An alert titled with the program's title.
  virtual void ShowErrorText(const std::string& text) = 0;
  // The system's exclamation sound.
  virtual void WarningBeep() = 0;
  // Waits `ms` milliseconds without handling any user input; 0 or less
  // returns at once.
  virtual void PauseMs(int ms) = 0;
  // The "Sending Mail To:" window: shows a recipient (a non-empty name
  // replaces the one shown), empties the name, hides the window.
  virtual void ShowSending(const std::string& name) = 0;
  virtual void ClearSending() = 0;
  virtual void HideSending() = 0;

  // Shows an error that no one else handled: ShowErrorText of its text,
  // nothing when the text is empty.
  void ReportException(const MailError& error);
};

}  // namespace mailstore
