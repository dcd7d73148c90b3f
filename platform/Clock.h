// The clock.  It is handed to whatever needs the time, never read deep inside
// the mail store, so that tests set the moment.
#pragma once

#include <cstdint>

namespace platform {

struct LocalTime {
  int year = 1980;
  int month = 1;   // 1 to 12
  int day = 1;     // 1 to 31
  int hour = 0;    // 0 to 23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The present moment in local time.
  virtual LocalTime LocalNow() const = 0;
  // Milliseconds since midnight in coordinated universal time, 0 to 86,399,999.
  virtual uint32_t UtcMillisecondsSinceMidnight() const = 0;
  // A millisecond counter that only moves forward and wraps round at 2^32.
  virtual uint32_t TickMs() const = 0;
};

// The present moment in nanoseconds since 1970, as file times count.
int64_t NowNs();

// A moment given in nanoseconds since 1970 (a file's time), in local time.
LocalTime LocalTimeOf(int64_t ns);

// The system's clock.
const Clock& SystemClock();

// Sleeps for `ms` milliseconds (0 or less returns at once).
void SleepMs(int ms);

}  // namespace platform
