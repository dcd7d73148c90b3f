#include "widgets/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "mailstore/UserInteraction.h"

namespace widgets {

namespace {
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr int kExpireDefault = -1;  // as the server decides
}  // namespace

DesktopNotifications::DesktopNotifications(QString service) : service_(std::move(service)) {}

void DesktopNotifications::Notify(const QString& summary, const QString& body) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(service_, kPath, kInterface, QStringLiteral("Notify"));
  // Only a server that is running: the bus is not to launch one for us.
  // Without one the call just fails.
  call.setAutoStartService(false);
  call << QString::fromLatin1(mailstore::kProgramTitle) << lastId_ << QStringLiteral("mail-unread") << summary
       << body << QStringList() << QVariantMap{{QStringLiteral("category"), QStringLiteral("email.arrived")}}
       << kExpireDefault;
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
    const QDBusPendingReply<uint> reply = *finished;
    if (!reply.isError()) lastId_ = reply.value();
    finished->deleteLater();
    emit Answered();
  });
}

}  // namespace widgets
