// The rule for boxes whose text goes in upper case (user names and
// passwords): whatever way text enters (typed, pasted, dropped, from an
// input method), it is upper-cased as the stored texts' code page sees it,
// and, where blanks are refused, an edit that brings one is refused with a
// warning beep.
#pragma once

#include <QValidator>

namespace widgets {

class UpperCaseValidator : public QValidator {
 public:
  UpperCaseValidator(bool refuseBlanks, QObject* parent) : QValidator(parent), refuseBlanks_(refuseBlanks) {}
  State validate(QString& input, int& pos) const override;

 private:
  bool refuseBlanks_;
};

}  // namespace widgets
