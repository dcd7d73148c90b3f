// Notifications of the desktop (the freedesktop.org notification service on
// the session bus), beside the program's own notices: where the window is
// hidden or on another desktop, the user still hears of new mail.
//
// Nothing waits for the service: the calls go out without waiting for
// their answer, and where no session bus or no notification server is
// there, nothing is sent and nothing is said.
#pragma once

#include <QObject>
#include <QString>

namespace widgets {

class DesktopNotifications : public QObject {
  Q_OBJECT

 public:
  // `service`: the bus name of the notification server (tests give their own).
  explicit DesktopNotifications(QString service = QStringLiteral("org.freedesktop.Notifications"));

  // Shows `summary` and `body` on the desktop, replacing the notification
  // this object showed last, so that new mail arriving again and again
  // leaves one notification, not a pile.
  void Notify(const QString& summary, const QString& body);

  // The server's number of the notification shown last; 0 before any.
  uint LastId() const { return lastId_; }

 signals:
  // The server has answered a notification (for tests).
  void Answered();

 private:
  QString service_;
  uint lastId_ = 0;
};

}  // namespace widgets
