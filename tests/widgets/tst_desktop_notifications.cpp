// Desktop notifications against a notification server of the test's own, on
// a session bus of its own (the test runs under dbus-run-session).
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTest>

#include "widgets/DesktopNotifications.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");

// Answers Notify as a server does: a new number, or the one to replace.
class FakeServer : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Call {
    QString app;
    uint replaces;
    QString summary, body;
    QVariantMap hints;
  };
  QList<Call> calls;

 public slots:
  uint Notify(const QString& app, uint replaces, const QString&, const QString& summary, const QString& body,
              const QStringList&, const QVariantMap& hints, int) {
    calls.append({app, replaces, summary, body, hints});
    return replaces != 0 ? replaces : 41 + static_cast<uint>(calls.size());
  }
};

}  // namespace

class TestDesktopNotifications : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    if (!QDBusConnection::sessionBus().isConnected()) QSKIP("no session bus (run under dbus-run-session)");
  }

  void aNotificationAccompaniesNewMailAndReplacesTheLastOne() {
    FakeServer server;
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(kService));

    widgets::DesktopNotifications desktop;
    QSignalSpy answered(&desktop, &widgets::DesktopNotifications::Answered);
    desktop.Notify("KV Mailbox", "You have 1 new message in your mailbox.");
    QVERIFY(answered.wait(5000));
    desktop.Notify("KV Mailbox", "You have 2 new messages in your mailbox.");
    QVERIFY(answered.wait(5000));

    QCOMPARE(server.calls.size(), 2);
    QCOMPARE(server.calls[0].app, QString("KV Mailbox"));
    QCOMPARE(server.calls[0].replaces, 0u);
    QCOMPARE(server.calls[0].body, QString("You have 1 new message in your mailbox."));
    QCOMPARE(server.calls[0].hints.value("category").toString(), QString("email.arrived"));
    QCOMPARE(server.calls[1].replaces, 42u);  // one notification, not a pile
    QCOMPARE(desktop.LastId(), 42u);

    bus.unregisterService(kService);
    bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
  }

  void withoutAServerNothingIsSaidAndNothingWaits() {
    widgets::DesktopNotifications desktop(QStringLiteral("org.example.NobodyHere"));
    QSignalSpy answered(&desktop, &widgets::DesktopNotifications::Answered);
    desktop.Notify("KV Mailbox", "You have 1 new message in your mailbox.");
    QVERIFY(answered.wait(5000));  // the failed call comes back; nothing was launched
    QCOMPARE(desktop.LastId(), 0u);
  }
};

QTEST_MAIN(TestDesktopNotifications)
#include "tst_desktop_notifications.moc"
