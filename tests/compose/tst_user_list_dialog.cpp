// The recipient picker, started from a To box as the send window starts it.
#include <QLineEdit>
#include <QtTest>

#include "support/Accessible.h"
#include "compose/UserListDialog.h"
#include "mailstore/IoErrorText.h"
#include "support/MailFixture.h"
#include "support/Modal.h"
#include "support/TempDir.h"
#include "widgets/Help.h"

using compose::TUserListDialog;
using testing_support::TempDir;
using testing_support::WhenModal;

namespace {

QStringList Names(const QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
  return out;
}

}  // namespace

class TestUserListDialog : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDir> dir;
  testing_support::ScriptedUi ui;
  std::unique_ptr<mailstore::TMail> mail;

  // Runs the picker on a To box holding `to`; `act` works the dialog.
  QString Pick(const QString& to, const std::function<void(TUserListDialog&)>& act) {
    QLineEdit box(to);
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TUserListDialog*>(modal);
      QVERIFY(dialog);
      act(*dialog);
    });
    compose::ShowRecipientDialog(box, *mail);
    return box.text();
  }

 private slots:
  void init() {
    dir = std::make_unique<TempDir>();
    ui = {};
    mail = std::make_unique<mailstore::TMail>(ui);
    mail->SetMailDir(dir->path());
    mail->SetUserName("ALICE");
    testing_support::WriteFile(dir->File("MASTER.INI"),
                               "[USERS]\r\nALICE=\r\nBOB=\r\nCAROL=\r\nDAVE=\r\nMARY ANN=\r\n");
  }

  void f1AsksForTheHelpOfThePicker() {
    int asked = 0;
    widgets::SetHelpHandler([&](widgets::HelpRequest, int context, QWidget*) { asked = context; });
    Pick("", [&](TUserListDialog& d) {
      QVERIFY(QTest::qWaitForWindowActive(&d));
      QTest::keyClick(&d, Qt::Key_F1);
      d.reject();
    });
    widgets::SetHelpHandler(nullptr);
    QCOMPARE(asked, widgets::kHelpRecipients);
  }

  void namesOfTheToBoxStartOnTheRight() {
    QStringList left, right, unnamed;
    QString count;
    const QString written = Pick("bob, carol", [&](TUserListDialog& d) {
      unnamed = testing_support::ControlsWithoutNames(&d);
      left = Names(d.UserList);
      right = Names(d.RecipientList);
      count = d.RecipientCount->text();
      d.OkButton->click();
    });
    QCOMPARE(right, (QStringList{"BOB", "CAROL"}));
    QCOMPARE(left, (QStringList{"ALICE", "DAVE", "MARY ANN"}));
    QCOMPARE(count, QString("Recipients: 2"));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    QCOMPARE(written, QString("BOB CAROL"));
  }

  void aNameThatIsNoUserIsKeptAndALongOneDropped() {
    QStringList right;
    QCOMPARE(Pick("zed bob longername", [&](TUserListDialog& d) {
               right = Names(d.RecipientList);
               d.OkButton->click();
             }),
             QString("BOB ZED"));
    QCOMPARE(right, (QStringList{"BOB", "ZED"}));
    // Cancel leaves the To box as it was.
    QCOMPARE(Pick("zed bob longername", [](TUserListDialog& d) { d.CancelButton->click(); }),
             QString("zed bob longername"));
  }

  void twoUsersMovedAtOnceLandSortedAndNamesWithABlankAreQuoted() {
    QString count;
    const QString written = Pick("", [&](TUserListDialog& d) {
      QVERIFY(!d.CopyRightButton->isEnabled());
      for (int i = 0; i < d.UserList->count(); ++i) {
        const QString name = d.UserList->item(i)->text();
        if (name == "MARY ANN" || name == "DAVE") d.UserList->item(i)->setSelected(true);
      }
      QVERIFY(d.CopyRightButton->isEnabled());
      d.CopyRightButton->click();
      count = d.RecipientCount->text();
      QCOMPARE(Names(d.RecipientList), (QStringList{"DAVE", "MARY ANN"}));
      QVERIFY(!d.CopyRightButton->isEnabled());
      // And one back by a double click.
      d.RecipientList->item(0)->setSelected(true);
      emit d.RecipientList->itemDoubleClicked(d.RecipientList->item(0));
      QCOMPARE(Names(d.RecipientList), QStringList{"MARY ANN"});
      d.OkButton->click();
    });
    QCOMPARE(count, QString("Recipients: 2"));
    QCOMPARE(written, QString("\"MARY ANN\""));
  }

  void withoutAnyUserListTheErrorIsShown() {
    TempDir empty;
    mail->SetMailDir(empty.path());
    QStringList left, right;
    Pick("", [&](TUserListDialog& d) {
      left = Names(d.UserList);
      right = Names(d.RecipientList);
      d.CancelButton->click();
    });
    QVERIFY(left.isEmpty());
    QVERIFY(right.isEmpty());
    QCOMPARE(ui.CountOf("alert"), 1);
    QCOMPARE(ui.shown[0].text, "Error loading user list.\r\r" + mailstore::IoErrorText(2));
  }
};

QTEST_MAIN(TestUserListDialog)
#include "tst_user_list_dialog.moc"
