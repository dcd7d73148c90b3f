// What the system's print spooler answered to the last job this thread
// handed it.  The toolkit's printing hands a job over without telling
// whether it was taken; the spooler's client library keeps the answer.
#pragma once

#include <string>

namespace platform {

// Empty when the spooler took the job, or when no spooler client is loaded
// in this process (nothing went through one); otherwise the spooler's
// words for the refusal.
std::string LastSpoolerRefusal();

}  // namespace platform
