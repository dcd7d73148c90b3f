#include "widgets/TypedText.h"

#include "shell/AnsiText.h"
#include "widgets/MessageDialogs.h"

namespace widgets {

QValidator::State UpperCaseValidator::validate(QString& input, int& pos) const {
  (void)pos;  // upper-casing keeps every character where it was
  if (refuseBlanks_ && input.contains(u' ')) {
    WarningBeep();
    return Invalid;
  }
  input = shell::UpperTyped(input);
  return Acceptable;
}

}  // namespace widgets
