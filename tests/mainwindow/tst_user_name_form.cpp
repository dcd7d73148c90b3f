#include <QApplication>
#include <QClipboard>
#include <QStyle>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "support/Accessible.h"
#include "support/Modal.h"
#include "mailstore/UserRegistry.h"
#include "mainwindow/UserNameForm.h"
#include "support/MailFixture.h"
#include "widgets/MessageDialogs.h"

using namespace mainwindow;
using testing_support::WriteFile;

namespace {

// Answers the next modal window, an alert, and notes its text.
void CloseNextAlert(QString* text) {
  testing_support::WhenModal([text](QWidget* modal) {
    auto* alert = qobject_cast<widgets::TAlertDialog*>(modal);
    QVERIFY(alert);
    *text = alert->Prompt->Caption();
    alert->OkButton->click();
  });
}

}  // namespace

class TestUserNameForm : public QObject {
  Q_OBJECT
 private:
  testing_support::TempDir dir;
  testing_support::ScriptedUi ui;
  std::unique_ptr<mailstore::TMail> mail;

 private slots:
  void initTestCase() {
    mail = std::make_unique<mailstore::TMail>(ui);
    mail->SetMailDir(dir.path());
    WriteFile(dir.File("MASTER.INI"), "[USERS]\r\nBOB=\r\nALICE=\r\n");
    WriteFile(dir.File("MAILBOX.INI"), "[USERS]\r\nALICE=" + mailstore::ScramblePassword("SECRET") + "\r\n");
  }

  void everyControlHasAName() {
    TUserNameForm form(*mail, "");
    form.show();
    QVERIFY2(testing_support::ControlsWithoutNames(&form).isEmpty(), qPrintable(testing_support::ControlsWithoutNames(&form).join(", ")));
    form.OpenOnPasswordPage("ALICE", "SECRET");
    QVERIFY2(testing_support::ControlsWithoutNames(&form).isEmpty(), qPrintable(testing_support::ControlsWithoutNames(&form).join(", ")));
  }

  void typingGoesInUpperCase() {
    TUserNameForm form(*mail, "");
    form.show();
    QTest::keyClicks(form.NameBox, "bob r");
    QKeyEvent eAcute(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));
    QApplication::sendEvent(form.NameBox, &eAcute);
    QCOMPARE(form.NameBox->text(), QString::fromUtf8("BOB RÉ"));
    form.OpenOnPasswordPage("ALICE", "SECRET");
    QTest::keyClicks(form.PasswordBox, "secret");
    QCOMPARE(form.PasswordBox->text(), QString("SECRET"));
    // Pasted text too, in either box.
    form.PasswordBox->clear();
    QGuiApplication::clipboard()->setText("pasted");
    form.PasswordBox->paste();
    QCOMPARE(form.PasswordBox->text(), QString("PASTED"));
    form.NameBox->clear();
    form.NameBox->paste();
    QCOMPARE(form.NameBox->text(), QString("PASTED"));
  }

  void okNeedsTextAndEnterDoesNothingWithoutIt() {
    TUserNameForm form(*mail, "");
    form.OpenOnNamePage();
    form.show();
    QVERIFY(!form.OkButton->isEnabled());
    QTest::keyClick(form.NameBox, Qt::Key_Return);
    QVERIFY(form.isVisible());
    QTest::keyClicks(form.NameBox, "b");
    QVERIFY(form.OkButton->isEnabled());
    QTest::keyClick(form.NameBox, Qt::Key_Backspace);
    QVERIFY(!form.OkButton->isEnabled());
  }

  void aKnownUserWithoutPasswordIsAcceptedAtOnce() {
    TUserNameForm form(*mail, "");
    form.OpenOnNamePage();
    form.show();
    QTest::keyClicks(form.NameBox, "bob");
    QTest::keyClick(form.NameBox, Qt::Key_Return);
    QCOMPARE(form.result(), int(QDialog::Accepted));
  }

  void anUnknownNameIsRefused() {
    TUserNameForm form(*mail, "");
    form.OpenOnNamePage();
    form.show();
    QTest::keyClicks(form.NameBox, "eve");
    ui.shown.clear();
    form.OkButton->click();
    // Told through the program's user interaction, as at every login.
    QCOMPARE(ui.CountOf("alert"), 1);
    QCOMPARE(QString::fromStdString(ui.shown[0].text), QString("\"EVE\" is not a valid user name!"));
    QCOMPARE(form.NameBox->text(), QString());
    QVERIFY(!form.OnPasswordPage());
    QVERIFY(form.isVisible());
  }

  void aUserWithAPasswordIsAskedForIt() {
    TUserNameForm form(*mail, "");
    form.OpenOnNamePage();
    form.show();
    QTest::keyClicks(form.NameBox, "alice");
    form.OkButton->click();
    QVERIFY(form.OnPasswordPage());
    QVERIFY(form.PasswordPrompt->text().startsWith("As you know, ALICE, in order to access your mailbox you must"));
    QVERIFY(!form.OkButton->isEnabled());

    QTest::keyClicks(form.PasswordBox, "wrong");
    QString alert;
    CloseNextAlert(&alert);
    form.OkButton->click();
    QCOMPARE(alert, QString("That's not the correct password!"));
    QCOMPARE(form.PasswordBox->text(), QString());
    QVERIFY(!form.OkButton->isEnabled());
    QVERIFY(form.isVisible());

    QTest::keyClicks(form.PasswordBox, "secret");
    QTest::keyClick(form.PasswordBox, Qt::Key_Return);
    QCOMPARE(form.result(), int(QDialog::Accepted));
  }

  void cancelOnThePasswordPageGoesBackAndEscapeThenGivesUp() {
    TUserNameForm form(*mail, "");
    form.OpenOnPasswordPage("ALICE", "SECRET");
    form.show();
    QTest::keyClick(form.PasswordBox, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QVERIFY(!form.OnPasswordPage());
    QCOMPARE(form.NameBox->text(), QString());
    QVERIFY(!form.OkButton->isEnabled());
    QTest::keyClick(form.NameBox, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
  }

  void theCloseBoxGivesUpOnEitherPage() {
    for (bool passwordPage : {false, true}) {
      TUserNameForm form(*mail, "");
      if (passwordPage) form.OpenOnPasswordPage("ALICE", "SECRET");
      else form.OpenOnNamePage();
      form.show();
      form.close();
      QVERIFY(!form.isVisible());
      QCOMPARE(form.result(), int(QDialog::Rejected));
      QCOMPARE(form.OnPasswordPage(), passwordPage);
    }
  }

  void thePasswordBoxShowsAStarForEachCharacter() {
    TUserNameForm form(*mail, "");
    form.OpenOnPasswordPage("ALICE", "SECRET");
    form.show();
    QTest::keyClicks(form.PasswordBox, "abc");
    const int shown = form.PasswordBox->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, form.PasswordBox);
    QCOMPARE(QChar(shown), QChar('*'));
    QCOMPARE(form.PasswordBox->displayText(), QString("***"));
  }

  void longPasswordsCanBeTyped() {
    TUserNameForm form(*mail, "");
    form.OpenOnPasswordPage("ALICE", "ABCDEFGHIJKLMNOPQRST");
    form.show();
    QTest::keyClicks(form.PasswordBox, "abcdefghijklmnopqrstuvw");
    QCOMPARE(form.PasswordBox->text(), QString("ABCDEFGHIJKLMNOPQRST"));  // at most 20
    form.OkButton->click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
  }

  void theSupervisorPasswordOpensOnlyOnceSet() {
    {
      TUserNameForm form(*mail, "");  // at start-up it is not loaded yet
      form.OpenOnPasswordPage("ALICE", "SECRET");
      form.show();
      QTest::keyClicks(form.PasswordBox, "boss");
      QString alert;
      CloseNextAlert(&alert);
      form.OkButton->click();
      QCOMPARE(alert, QString("That's not the correct password!"));
    }
    TUserNameForm form(*mail, "BOSS");  // set by the configuration file
    form.OpenOnPasswordPage("ALICE", "SECRET");
    form.show();
    QTest::keyClicks(form.PasswordBox, "boss");
    form.OkButton->click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
  }
};

QTEST_MAIN(TestUserNameForm)
#include "tst_user_name_form.moc"
