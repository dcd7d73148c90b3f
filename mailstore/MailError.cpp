#include "mailstore/MailError.h"

#include <exception>
#include <new>

#include "mailstore/IoErrorText.h"

namespace mailstore {

MailError::MailError(Kind kind, int code, const std::string& message)
    : std::runtime_error(message), kind_(kind), code_(code) {}

MailError MailError::InOut(int code) { return MailError(Kind::kInOut, code, IoErrorText(code)); }

MailError MailError::OutOfMemory() { return MailError(Kind::kOutOfMemory, 0, "out of memory"); }

MailError MailError::InvalidRelease() { return MailError(Kind::kInvalidRelease, 0, "invalid release"); }

MailError MailError::Other(const std::string& message) { return MailError(Kind::kOther, 0, message); }

MailError MailError::FromCurrentException() {
  try {
    throw;
  } catch (const MailError& error) {
    return error;
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  } catch (const std::exception& error) {
    return Other(error.what());
  } catch (...) {
    return Other("An unexpected error occurred.");
  }
}

std::string ErrorText(const MailError& error) {
  switch (error.kind()) {
    case MailError::Kind::kInOut:
      return IoErrorText(error.code());
    case MailError::Kind::kOutOfMemory:
      return "There is not enough memory to complete\rthe requested operation! Try closing\r"
             "unused applications or reconfiguring\rWindows to free additional memory.";
    case MailError::Kind::kInvalidRelease:
      return "Unable to release allocated memory! Memory\rmay have been corrupted by another application.";
    case MailError::Kind::kOther:
      break;
  }
  return error.what();
}

}  // namespace mailstore
