#include "widgets/Help.h"

#include "widgets/HelpWindow.h"

namespace widgets {
namespace {

HelpHandler& Handler() {
  static HelpHandler handler;
  return handler;
}

void Request(HelpRequest request, int context, QWidget* parent) {
  if (Handler()) Handler()(request, context, parent);
  else THelpWindow::Answer(request, context);
}

}  // namespace

void SetHelpHandler(HelpHandler handler) { Handler() = std::move(handler); }

void ShowHelpTopic(int context, QWidget* parent) { Request(HelpRequest::kTopic, context, parent); }

void ShowHelp(HelpRequest request, QWidget* parent) { Request(request, 0, parent); }

}  // namespace widgets
