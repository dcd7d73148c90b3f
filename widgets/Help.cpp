#include "widgets/Help.h"

#include "widgets/MessageDialogs.h"

namespace widgets {
namespace {

std::function<void(int, QWidget*)>& Handler() {
  static std::function<void(int, QWidget*)> handler;
  return handler;
}

}  // namespace

void SetHelpHandler(std::function<void(int, QWidget*)> handler) { Handler() = std::move(handler); }

void ShowHelpTopic(int context, QWidget* parent) {
  if (Handler()) Handler()(context, parent);
  else ShowAlert(ProgramTitle(), "Help is not available in this version of KV Mailbox yet.");
}

}  // namespace widgets
