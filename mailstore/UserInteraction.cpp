#include "mailstore/UserInteraction.h"

namespace mailstore {

void UserInteraction::ReportException(const MailError& error) {
  const std::string text = ErrorText(error);
  if (!text.empty()) ShowErrorText(text);
}

}  // namespace mailstore
