#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "support/Accessible.h"
#include "support/Modal.h"
#include "mailstore/MailError.h"
#include "widgets/DialogUser.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Progress.h"

using namespace widgets;

namespace {

using testing_support::WhenModal;

void Press(QWidget* w, Qt::Key key) { QTest::keyClick(w, key); }

}  // namespace

class TestDialogs : public QObject {
  Q_OBJECT
 private slots:
  void init() { SetProgramTitle("KV Mailbox"); }

  void everyControlHasAName() {
    TAlertDialog alert;
    alert.SetMessage("KV Mailbox", "Hi");
    TAskUserDialog ask;
    ask.SetMessage("KV Mailbox", "Delete?");
    TGetInputDialog input;
    for (QWidget* dialog : std::initializer_list<QWidget*>{&alert, &ask, &input}) {
      const QStringList unnamed = testing_support::ControlsWithoutNames(dialog);
      QVERIFY2(unnamed.isEmpty(), qPrintable(dialog->metaObject()->className() + QString(": ") + unnamed.join(", ")));
    }
  }

  void layoutOfAOneWordAlert() {
    TAlertDialog alert;
    alert.SetMessage("KV Mailbox", "Hi");
    const BalloonLayout& l = alert.Layout();
    QVERIFY(l.client.width() >= 81 + 32);
    QCOMPARE(l.client.width(), std::max(81 + 32, l.picture.width() + l.balloon.width() + 40));
    QCOMPARE(l.balloon.height(), l.picture.height());  // lower than the picture: as high as it
    QCOMPARE(l.picture.topLeft(), QPoint(16, 16));
    QCOMPARE(alert.OkButton->geometry(), QRect(l.client.width() / 2 - 40, l.client.height() - 28 - 16, 81, 28));
    QCOMPARE(alert.size(), l.client);
    QCOMPARE(alert.Prompt->geometry(), l.balloon);
    QCOMPARE(l.balloon.width(), alert.Test->fontMetrics().horizontalAdvance("Hi") + 16 + 12);
  }

  void layoutOfFiveLines() {
    TAlertDialog alert;
    alert.SetMessage("KV Mailbox", "one\rtwo\rthree\rfour\rfive");
    const BalloonLayout& l = alert.Layout();
    QVERIFY(l.balloon.height() > l.picture.height());
    QCOMPARE(l.picture.top(), l.balloon.height() / 2 - l.picture.height() / 2 + 16);
    QCOMPARE(alert.Image1->pos(), l.picture.topLeft());
    QCOMPARE(l.client.height(), std::max(l.picture.bottom(), l.balloon.bottom()) + 1 + 28 + 32);
    // Each carriage return starts a line of its own.
    QCOMPARE(l.balloon.height(), 5 * alert.Test->fontMetrics().height() + 16);
  }

  void yesAndNoSitEitherSideOfTheCentre() {
    TAskUserDialog ask;
    ask.SetMessage("KV Mailbox", "Do you want to cancel this function?");
    const int centre = ask.width() / 2;
    QCOMPARE(ask.YesButton->geometry().right() + 1, centre - 4);
    QCOMPARE(ask.NoButton->x(), centre + 4);
    QVERIFY(ask.YesButton->isDefault());
  }

  void askUserAnswers_data() {
    QTest::addColumn<int>("how");
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes button") << 0 << true;
    QTest::newRow("enter") << 1 << true;
    QTest::newRow("no button") << 2 << false;
    QTest::newRow("escape") << 3 << false;
    QTest::newRow("close box") << 4 << false;
  }
  void askUserAnswers() {
    QFETCH(int, how);
    QFETCH(bool, answer);
    WhenModal([how](QWidget* w) {
      auto* ask = qobject_cast<TAskUserDialog*>(w);
      QVERIFY(ask);
      switch (how) {
        case 0: ask->YesButton->click(); break;
        case 1: Press(ask, Qt::Key_Return); break;
        case 2: ask->NoButton->click(); break;
        case 3: Press(ask, Qt::Key_Escape); break;
        default: ask->close(); break;
      }
    });
    QCOMPARE(AskUser("Send Mail", "Do you want to send mail anyway?"), answer);
  }

  void anAlertFromInsideAnAlertFallsBackToThePlainBox() {
    CreateAlertWindow();
    QStringList seen;
    WhenModal([&seen](QWidget* outer) {
      seen << outer->objectName();
      WhenModal([&seen](QWidget* inner) {
        seen << inner->objectName();
        inner->close();
      });
      ShowAlert("KV Mailbox", "from a timer");  // while the first is on screen
      qobject_cast<TAlertDialog*>(outer)->OkButton->click();
    });
    ShowAlert("KV Mailbox", "first");
    QCOMPARE(seen, (QStringList{"AlertDialog", "PlainMessageBox"}));

    // One after the other, both use the dialog.
    for (int i = 0; i < 2; ++i) {
      WhenModal([&seen](QWidget* w) {
        seen << w->objectName();
        qobject_cast<TAlertDialog*>(w)->OkButton->click();
      });
      ShowAlert("KV Mailbox", "again");
    }
    QCOMPARE(seen.mid(2), (QStringList{"AlertDialog", "AlertDialog"}));
  }

  void aSecondNoticeUpdatesTheFirst() {
    int shown = 0;
    WhenModal([&shown](QWidget* w) {
      ++shown;
      ShowNotice("KV Mailbox", "You have 2 new messages in your mailbox.");  // returns at once
      QCOMPARE(NoticeOnScreen(), w);
      QCOMPARE(NoticeOnScreen()->Prompt->Caption(), QString("You have 2 new messages in your mailbox."));
      qobject_cast<TNotifyDialog*>(w)->OkButton->click();
    });
    ShowNotice("KV Mailbox", "You have 1 new message in your mailbox.");
    QCOMPARE(shown, 1);
    QVERIFY(NoticeOnScreen() == nullptr);
  }

  void getInputTakesDigitsOnly() {
    WhenModal([](QWidget* w) {
      auto* input = qobject_cast<TGetInputDialog*>(w);
      QVERIFY(input);
      input->EditBox->clear();
      QTest::keyClicks(input->EditBox, "a1b2");
      QCOMPARE(input->EditBox->text(), QString("12"));
      input->OkButton->click();
    });
    QString size = "8";
    QVERIFY(GetInput("Set Tab Size", "Tab size:", size, 0, true));
    QCOMPARE(size, QString("12"));

    WhenModal([](QWidget* w) {
      auto* input = qobject_cast<TGetInputDialog*>(w);
      input->EditBox->clear();
      input->OkButton->click();
    });
    QVERIFY(!GetInput("Set Tab Size", "Tab size:", size, 0, true));

    // What is typed replaces what was shown.
    WhenModal([](QWidget* w) {
      auto* input = qobject_cast<TGetInputDialog*>(w);
      QTest::keyClicks(input->EditBox, "4");
      input->OkButton->click();
    });
    size = "8";
    QVERIFY(GetInput("Set Tab Size", "Tab size:", size, 0, true));
    QCOMPARE(size, QString("4"));

    WhenModal([](QWidget* w) { qobject_cast<TGetInputDialog*>(w)->CancelButton->click(); });
    size = "4";
    QVERIFY(!GetInput("Set Tab Size", "Tab size:", size, 0, true));
    QCOMPARE(size, QString("4"));
  }

  void theProgressWindow() {
    TProgressReport progress;
    progress.StartProgress(1);
    QVERIFY(progress.ProgressPanel->isHidden());
    QCOMPARE(progress.size(), QSize(313, 80));
    QCOMPARE(progress.CancelButton->y(), 44);
    progress.StartProgress(5);
    QVERIFY(!progress.ProgressPanel->isHidden());
    QCOMPARE(progress.size(), QSize(313, 133));
    QCOMPARE(progress.CancelButton->y(), 96);
    progress.StepProgress("Decyphering Message", "Line 1", 3);
    progress.StepProgress("", "", 4);
    QCOMPARE(progress.ProgressBar->value(), 5);  // full, not past
    QCOMPARE(progress.windowTitle(), QString("Decyphering Message"));
    QCOMPARE(progress.Prompt->text(), QString("Line 1"));
    QVERIFY(progress.isVisible());

    WhenModal([](QWidget* w) { qobject_cast<TAskUserDialog*>(w)->YesButton->click(); });
    progress.CancelButton->click();
    QVERIFY(progress.Cancelled);
    progress.EndProgress();
    QVERIFY(!progress.Cancelled);
    QVERIFY(!progress.isVisible());
  }

  void theStoresMessagesReachTheDialogs() {
    CreateAlertWindow();
    TMailProgressReport sending;
    DialogUser user(sending);
    QString title, text;
    WhenModal([&](QWidget* w) {
      auto* alert = qobject_cast<TAlertDialog*>(w);
      title = alert->windowTitle();
      text = alert->Prompt->Caption();
      alert->OkButton->click();
    });
    user.ReportException(mailstore::MailError::InOut(2));
    QCOMPARE(title, QString("KV Mailbox"));
    QCOMPARE(text, QString("File not found!"));

    WhenModal([&](QWidget* w) {
      text = qobject_cast<TAlertDialog*>(w)->Prompt->Caption();
      qobject_cast<TAlertDialog*>(w)->OkButton->click();
    });
    user.ShowAlert("Send Mail", "\"REN\xC9\" is NOT in my list of users!");
    QCOMPARE(text, QString::fromUtf8("\"RENÉ\" is NOT in my list of users!"));

    user.ShowSending("BOB");
    QCOMPARE(sending.UserName->text(), QString("BOB"));
    user.ShowSending("");
    QCOMPARE(sending.UserName->text(), QString("BOB"));
    user.ClearSending();
    QCOMPARE(sending.UserName->text(), QString());
    user.HideSending();
    QVERIFY(!sending.isVisible());
  }

  // A long word (a name, a path) wraps: the alert and its button fit on
  // the screen, and the text is kept as it was given.
  void aLongWordWrapsInsideTheScreen() {
    TAlertDialog alert;
    const QString text = "\"" + QString(300, u'A') + "\" is NOT in my list of users!";
    alert.SetMessage("Send Mail", text);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(alert.width() <= screen.width() * 3 / 4, qPrintable(QString::number(alert.width())));
    QVERIFY(alert.rect().contains(alert.OkButton->geometry()));
    QVERIFY(alert.rect().contains(alert.Prompt->geometry()));
    QVERIFY(alert.Prompt->height() > 3 * alert.fontMetrics().height());  // several lines
    QCOMPARE(alert.Prompt->Caption(), text);
  }

  // A dialog of fixed size offers neither minimise nor maximise.
  void fixedDialogsOfferNeitherMinimiseNorMaximise() {
    TAlertDialog alert;
    TAskUserDialog question;
    TGetInputDialog input;
    for (const QWidget* dialog : std::initializer_list<const QWidget*>{&alert, &question, &input}) {
      const Qt::WindowFlags flags = dialog->windowFlags();
      QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
      QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
      QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    }
  }

  void pauseMsWaits() {
    QElapsedTimer timer;
    timer.start();
    PauseMs(50);
    QVERIFY(timer.elapsed() >= 49);  // the counter ticks in whole milliseconds
    PauseMs(0);  // return at once rather than wait for a wrapped counter
    PauseMs(-5);
  }

  // A window shown for a pause (sending, unscrambling) is painted during
  // it, and what a timer starts meanwhile can tell it is in a pause.
  void aPausePaintsTheWindows() {
    QWidget window;
    window.resize(120, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int paints = 0;
    struct Counter : QObject {
      int& paints;
      explicit Counter(int& count) : paints(count) {}
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
      }
    } counter(paints);
    window.installEventFilter(&counter);
    bool pausingSeen = false;
    QTimer::singleShot(5, [&] { pausingSeen = Pausing(); });
    window.update();
    PauseMs(60);
    QVERIFY(paints > 0);
    QVERIFY(pausingSeen);
    QVERIFY(!Pausing());
  }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
