// The tray icon's rules: what reaches the notification area, and when.
#include <QSignalSpy>
#include <QtTest>

#include "FakeTray.h"
#include "mainwindow/VelTrayIcon.h"

using mainwindow::TVelTrayIcon;
using testing_support::FakeTray;

class TestTrayIcon : public QObject {
  Q_OBJECT

 private slots:
  void aRefusedAddLeavesItInactive() {
    auto host = std::make_unique<FakeTray>();
    FakeTray& tray = *host;
    tray.available = false;
    TVelTrayIcon icon(std::move(host));
    icon.SetActive(true);
    QVERIFY(!icon.Active());
    tray.available = true;
    icon.SetActive(true);
    QVERIFY(icon.Active());
    icon.SetActive(true);
    QCOMPARE(tray.adds, 2);
  }

  void unchangedValuesTouchNothing() {
    auto host = std::make_unique<FakeTray>();
    FakeTray& tray = *host;
    TVelTrayIcon icon(std::move(host));
    icon.SetToolTip("Dashdeck Mailbox");
    icon.SetActive(true);
    QCOMPARE(tray.tip, QString("Dashdeck Mailbox"));
    icon.SetToolTip("Dashdeck Mailbox");
    icon.SetIcon(QIcon(), "MailFullIcon");
    icon.SetIcon(QIcon(), "MailFullIcon");
    icon.SetTaskIconID(0);
    QCOMPARE(tray.modifies, 1);
    icon.SetToolTip(QString(80, u't'));
    QCOMPARE(icon.ToolTip().size(), 63);
    QCOMPARE(tray.tip.size(), 63);
    icon.SetToolTip(QString(70, u't'));  // the same once cut
    QCOMPARE(tray.modifies, 2);
  }

  void clicksBecomeItsEvents() {
    auto host = std::make_unique<FakeTray>();
    FakeTray& tray = *host;
    TVelTrayIcon icon(std::move(host));
    QSignalSpy click(&icon, &TVelTrayIcon::Click), dbl(&icon, &TVelTrayIcon::DblClick),
        right(&icon, &TVelTrayIcon::RightClick);
    tray.clicked();
    tray.doubleClicked();
    tray.rightClicked(QPoint(10, 20));
    QCOMPARE(click.size(), 1);
    QCOMPARE(dbl.size(), 1);
    QCOMPARE(right.size(), 1);
    QCOMPARE(right.front().front().toPoint(), QPoint(10, 20));
  }

  void anActiveIconIsRemovedWithIt() {
    auto host = std::make_unique<FakeTray>();
    int removes = 0;
    host->removedOutside = &removes;
    {
      TVelTrayIcon icon(std::move(host));
      icon.SetActive(true);
      icon.SetActive(false);
      icon.SetActive(true);
      QCOMPARE(removes, 1);
    }
    QCOMPARE(removes, 2);
  }
};

QTEST_MAIN(TestTrayIcon)
#include "tst_tray_icon.moc"
