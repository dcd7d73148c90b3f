#include "mainwindow/SingleCopy.h"

#include <QSocketNotifier>

#include "platform/Environment.h"
#include "platform/ErrorCode.h"

namespace mainwindow {

SingleCopy::SingleCopy() = default;

QString SingleCopy::InstanceName() {
  const std::string chosen = platform::GetEnv("KVMAIL_INSTANCE");
  if (!chosen.empty()) return "kvmail-" + QString::fromStdString(chosen);
  std::string session = platform::GetEnv("XDG_SESSION_ID");
  if (session.empty()) session = platform::GetEnv("DISPLAY");
  QString name = "kvmail-" + QString::fromStdString(platform::LoginName() + "-" + session);
  name.replace('/', '_');
  return name;
}

bool SingleCopy::AnotherCopyRuns() { return platform::KnockAt(InstanceName().toStdString()); }

bool SingleCopy::Listen() {
  if (listener_.Listen(InstanceName().toStdString()) != platform::kOk) return false;
  delete knocks_;
  knocks_ = new QSocketNotifier(static_cast<qintptr>(listener_.Handle()), QSocketNotifier::Read, this);
  connect(knocks_, &QSocketNotifier::activated, this, [this] {
    for (int knocks = listener_.TakeKnocks(); knocks > 0; --knocks) emit BringToFront();
  });
  return true;
}

}  // namespace mainwindow
