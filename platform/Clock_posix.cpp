#include <time.h>

#include "platform/Clock.h"
#include "platform/Syscall_posix.h"

namespace platform {

int64_t NowNs() {
  struct timespec ts {};
  sys::ClockGettime(CLOCK_REALTIME, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

LocalTime LocalTimeOf(int64_t ns) {
  struct tm parts {};
  const time_t seconds = static_cast<time_t>(ns >= 0 ? ns / 1000000000 : (ns - 999999999) / 1000000000);
  localtime_r(&seconds, &parts);
  const int64_t rest = ns - static_cast<int64_t>(seconds) * 1000000000;
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
                   parts.tm_min,         parts.tm_sec,     static_cast<int>(rest / 1000000)};
}

namespace {

class PosixClock final : public Clock {
 public:
  LocalTime LocalNow() const override { return LocalTimeOf(NowNs()); }

  uint32_t UtcMillisecondsSinceMidnight() const override {
    struct timespec ts {};
    sys::ClockGettime(CLOCK_REALTIME, &ts);
    const int64_t ms = static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    return static_cast<uint32_t>(((ms % 86400000) + 86400000) % 86400000);
  }

  uint32_t TickMs() const override {
    struct timespec ts {};
    sys::ClockGettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
  }
};

}  // namespace

const Clock& SystemClock() {
  static const PosixClock clock;
  return clock;
}

void SleepMs(int ms) {
  if (ms <= 0) return;
  struct timespec wait {ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0) {
  }
}

}  // namespace platform
