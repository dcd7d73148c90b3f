// A second copy of kvmail for the same desktop session brings the first
// forward and ends; real processes on the offscreen platform.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestSecondCopy : public QObject {
  Q_OBJECT
 private slots:
  void theSecondCopyEnds() {
    QTemporaryDir mail, config;
    QFile master(mail.filePath("MASTER.INI"));
    QVERIFY(master.open(QIODevice::WriteOnly));
    master.write("[USERS]\r\nBOB=\r\n");
    master.close();
    QDir(config.path()).mkpath("Brenlow");
    QFile settings(config.filePath("Brenlow/Dashdeck.conf"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[Mail]\nNotifyWhenMailArrives=0\n");
    settings.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KVMAIL", mail.path());
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("KVMAIL_INSTANCE", "second-copy-" + QString::number(QCoreApplication::applicationPid()));

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(KVMAIL_PROGRAM, {"BOB"});
    QVERIFY(first.waitForStarted());
    // The first copy is up once it has made BOB's mailbox.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(mail.filePath("BOB.LST")), 10000);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(KVMAIL_PROGRAM, {"BOB"});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();

    // With the first gone, a new copy is the first again and stays.
    QProcess third;
    third.setProcessEnvironment(env);
    third.start(KVMAIL_PROGRAM, {"BOB"});
    QVERIFY(third.waitForStarted());
    QVERIFY(!third.waitForFinished(1500));
    third.kill();
    third.waitForFinished();
  }
};

QTEST_GUILESS_MAIN(TestSecondCopy)
#include "tst_second_copy.moc"
