// The errors the program raises instead of returning a code, and the texts
// the user is shown for them.
#pragma once

#include <stdexcept>
#include <string>

namespace mailstore {

class MailError : public std::runtime_error {
 public:
  enum class Kind {
    kInOut,          // a file operation failed; code() tells how
    kOutOfMemory,
    kInvalidRelease, // memory released that was never allocated
    kOther,          // anything else; what() is the text for the user
  };

  static MailError InOut(int code);
  static MailError OutOfMemory();
  static MailError InvalidRelease();
  static MailError Other(const std::string& message);

  // Converts the exception being handled (call it inside a catch block) into
  // a MailError: std::bad_alloc is out of memory, any other exception keeps
  // its message.
  static MailError FromCurrentException();

  Kind kind() const { return kind_; }
  int code() const { return code_; }

 private:
  MailError(Kind kind, int code, const std::string& message);
  Kind kind_;
  int code_;
};

// Returns the text shown for an error: IoErrorText of its code for an
// input/output error (empty for code 0), the program's texts for running out
// of memory and for an invalid release, and the error's own message for
// anything else.
std::string ErrorText(const MailError& error);

}  // namespace mailstore
