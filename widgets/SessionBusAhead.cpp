#include "widgets/SessionBusAhead.h"

#include <QDBusConnection>
#include <mutex>
#include <thread>

namespace widgets {
namespace {

std::mutex& Guard() {
  static std::mutex guard;
  return guard;
}

std::thread& Connecting() {
  static std::thread connecting;
  return connecting;
}

}  // namespace

void ConnectSessionBusAhead() {
  const std::lock_guard<std::mutex> lock(Guard());
  static bool begun = false;
  if (begun) return;
  begun = true;
  Connecting() = std::thread([] { QDBusConnection::sessionBus(); });
}

void WaitForSessionBusAhead() {
  const std::lock_guard<std::mutex> lock(Guard());
  if (Connecting().joinable()) Connecting().join();
}

}  // namespace widgets
