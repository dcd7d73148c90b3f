// The send window on its own: subjects of replies, when Send is enabled,
// the tab size, the close question, its size, the switch E and the
// second keys of the editing commands.
#include <QClipboard>
#include <QSettings>
#include <QtTest>

#include "support/Accessible.h"
#include "compose/SendForm.h"
#include "prefs/PrintDialog.h"
#include "mailstore/MessageText.h"
#include "prefs/SystemPrinters.h"
#include "shell/StoredSettings.h"
#include "support/MailFixture.h"
#include "support/Modal.h"
#include "support/RecordingDevice.h"
#include "support/TempDir.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Progress.h"

using compose::TSendForm;
using testing_support::TempDir;
using testing_support::WhenModal;

namespace {

// ALICE logged in on a Mail Directory of her own.
struct Fixture {
  explicit Fixture(std::vector<std::string> arguments = {"ALICE"}) {
    testing_support::WriteFile(dir.File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config.path()));
    session.SetMailDir(dir.path());
    session.ReadCommandLine(arguments);
    session.Mail().SetUserName("ALICE");
  }
  TempDir dir, config;
  testing_support::ScriptedUi ui;
  shell::StoredSettings settings;
  shell::MailSession session{ui, settings};
  testing_support::FakePrinters printers;
  widgets::TProgressReport progress;
  compose::SendContext context{session, printers, progress, QFont("Courier New"), QFont("Courier New"), nullptr, {}};
};

QString AlertText(QWidget* modal) {
  auto* alert = qobject_cast<widgets::TAlertDialog*>(modal);
  return alert ? alert->Prompt->Caption() : QString("(no alert)");
}

}  // namespace

class TestSendForm : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { widgets::CreateAlertWindow(); }

  void everyControlHasAName() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "", "", false, "");
    form.show();
    QVERIFY2(testing_support::ControlsWithoutNames(&form).isEmpty(), qPrintable(testing_support::ControlsWithoutNames(&form).join(", ")));
  }

  void replySubjects_data() {
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("reply");
    QTest::newRow("plain") << "Lunch" << "REPLY: Lunch";
    QTest::newRow("prefix first") << "REPLY: Lunch" << "REPLY: Lunch";
    QTest::newRow("prefix further on") << "Re your REPLY: Lunch" << "Re your REPLY: Lunch";
    QTest::newRow("prefix in lower case") << "reply: Lunch" << "REPLY: reply: Lunch";
    QTest::newRow("forty characters") << QString(40, u'x') << "REPLY: " + QString(33, u'x');
  }
  void replySubjects() {
    QFETCH(QString, subject);
    QFETCH(QString, reply);
    QCOMPARE(compose::ReplySubject(subject), reply);
  }

  void sendIsEnabledByTextAndRecipients() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "", "", false, "");
    form.show();
    QVERIFY(!form.SendButton->isEnabled());
    form.ToBox->setText("bob");
    QVERIFY(!form.SendButton->isEnabled());  // the editor is empty
    QTest::keyClicks(form.Editor, "x");
    QVERIFY(form.SendButton->isEnabled());
    form.ToBox->clear();
    QVERIFY(!form.SendButton->isEnabled());
    form.SendToAll->click();
    QVERIFY(form.SendButton->isEnabled());
    QVERIFY(!form.ToBox->isEnabled());
    // In text-file mode the file name counts, not the editor.
    form.SendTextFile->click();
    QVERIFY(!form.SendButton->isEnabled());
    QVERIFY(!form.EncryptMail->isEnabled());
    form.FNameBox->setText(QString::fromStdString(f.dir.File("MASTER.INI")));
    QVERIFY(form.SendButton->isEnabled());
    form.UseMailEditor->click();
    QVERIFY(form.EncryptMail->isEnabled());
  }

  void tabSizesFromOneToEighty() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "", "", false, "");
    const std::vector<std::pair<QString, QString>> cases = {{"80", ""}, {"81", "Valid tab sizes are 1 to 80."},
                                                            {"0", "Valid tab sizes are 1 to 80."}};
    for (const auto& [typed, alert] : cases) {
      QString shown;
      WhenModal([&, typed](QWidget* modal) {
        auto* input = qobject_cast<widgets::TGetInputDialog*>(modal);
        QVERIFY(input);
        input->EditBox->clear();
        QTest::keyClicks(input->EditBox, "x" + typed + "y");  // letters cannot be typed
        if (!alert.isEmpty()) WhenModal([&](QWidget* next) {
            shown = AlertText(next);
            next->close();
          });
        input->OkButton->click();
      });
      form.TabSize1->trigger();
      QCOMPARE(shown, alert);
      QCOMPARE(form.Editor->TabSize(), 80);
    }
  }

  void closingAsksOnlyWhenSomethingWouldBeLost() {
    Fixture f;
    {
      TSendForm form(f.context);
      form.Open("Send Mail", "bob", "Lunch", false, "");
      form.show();
      QVERIFY(form.close());  // nothing written
    }
    TSendForm form(f.context);
    form.Open("Send Mail", "", "", false, "");
    form.show();
    QTest::keyClicks(form.Editor, "a");
    QString question;
    WhenModal([&](QWidget* modal) {
      auto* ask = qobject_cast<widgets::TAskUserDialog*>(modal);
      question = ask->Prompt->Caption();
      ask->NoButton->click();
    });
    QVERIFY(!form.close());
    QCOMPARE(question, QString("Close without sending mail?"));
    QVERIFY(form.isVisible());
    QCOMPARE(form.Editor->toPlainText(), QString("a"));
    // Escape and Cancel ask the same.
    for (const bool escape : {true, false}) {
      question.clear();
      WhenModal([&](QWidget* modal) {
        auto* ask = qobject_cast<widgets::TAskUserDialog*>(modal);
        question = ask->Prompt->Caption();
        ask->NoButton->click();
      });
      if (escape) QTest::keyClick(form.Editor, Qt::Key_Escape);
      else form.CancelButton->click();
      QCOMPARE(question, QString("Close without sending mail?"));
      QVERIFY(form.isVisible());
    }
  }

  void theWindowKeepsItsSmallestSize() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "", "", false, "");
    form.resize(100, 100);
    QCOMPARE(form.size(), QSize(539, 350));
  }

  void switchEHidesEncryptionAndScramblesNothing() {
    Fixture f({"ALICE", "/E"});
    {
      QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Brenlow", "Dashdeck");
      s.setValue("Mail Editor/EncryptMail", "1");
    }
    TSendForm form(f.context);
    form.Open("Send Mail", "bob", "Plain", false, "");
    QVERIFY(form.EncryptMail->isHidden());
    QVERIFY(!form.EncryptMail->isEnabled());
    QVERIFY(!form.EncryptMail->isChecked());
    form.SendTextFile->click();
    form.UseMailEditor->click();
    QVERIFY(!form.EncryptMail->isEnabled());
    QTest::keyClicks(form.Editor, "Open text");
    form.SendButton->click();
    QVERIFY(form.Sent());
    mailstore::TMail reader(f.ui);
    reader.SetMailDir(f.dir.path());
    reader.SetUserName("BOB");
    mailstore::MessageRecord record;
    QCOMPARE(reader.ReadMessage(0, record), 0);
    QCOMPARE(testing_support::ReadFile(record.textFile), std::string("Open text\r\n"));
  }

  void sendToAllReachesEveryUserTheSenderToo() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "", "To everybody", false, "");
    form.SendToAll->click();
    QTest::keyClicks(form.Editor, "Office closed on Friday.");
    form.EncryptMail->setChecked(true);
    form.SendButton->click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    for (const char* user : {"ALICE", "BOB"}) {
      mailstore::TMail reader(f.ui);
      reader.SetMailDir(f.dir.path());
      reader.SetUserName(user);
      mailstore::MessageRecord record;
      QCOMPARE(reader.ReadMessage(0, record), 0);
      QCOMPARE(record.subject, std::string("To everybody"));
      const std::string stored = testing_support::ReadFile(record.textFile);
      QVERIFY(stored.rfind("KVWMB0100", 0) == 0);  // scrambled on disk
      QCOMPARE(mailstore::PlainMessageText(stored), std::string("Office closed on Friday.\r\n"));
    }
  }

  void secondKeysActOnlyWhenTheirCommandMay() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "", "", false, "");
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QGuiApplication::clipboard()->setText("before");
    QTest::keyClicks(form.Editor, "hello");
    QTest::keyClick(form.Editor, Qt::Key_Insert, Qt::ControlModifier);  // nothing selected: no copy
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));
    form.Editor->selectAll();
    QTest::keyClick(form.Editor, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("hello"));
    form.Editor->moveCursor(QTextCursor::End);
    QTest::keyClick(form.Editor, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(form.Editor->toPlainText(), QString("hellohello"));
    QCOMPARE(form.CursorPosPanel->text(), QString("1:11"));
    // Delete acts on a selection; with none, Ctrl+Del deletes nothing.
    form.Editor->moveCursor(QTextCursor::Start);
    QTest::keyClick(form.Editor, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(form.Editor->toPlainText(), QString("hellohello"));
    form.SendTextFile->click();
    form.FNameBox->setFocus();
    QVERIFY(!form.Paste2->isEnabled());
  }

  // Alt with the letter of a menu opens the menu, though a control
  // underlines the same letter.
  void altAndAMenusLetterOpensTheMenu() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "", "", false, "");
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (const QString title : {"&File", "&Edit", "&Help", "&File"}) {
      QMenu* menu = nullptr;
      for (QAction* a : form.MainMenu1->actions())
        if (a->text() == title) menu = a->menu();
      QVERIFY(menu);
      QTest::keyClick(&form, QKeySequence::mnemonic(title)[0].key(), Qt::AltModifier);
      QTRY_VERIFY2(menu->isVisible(), qPrintable(title));
      menu->close();
      QTRY_VERIFY(QTest::qWaitForWindowActive(&form));
    }
    QVERIFY(form.UseMailEditor->isChecked());
    QVERIFY(!form.SendTextFile->isChecked());
  }

  // The text file is shown without its control characters (a tab stays),
  // with both scroll bars; what is sent is the file as it is.
  void theTextFileIsShownWithoutControlCharacters() {
    Fixture f;
    const std::string file = f.dir.File("NOTE.TXT");
    testing_support::WriteFile(file, "\x07ring\x1b[1m\tbold\x7f\r\nnext\r\n");
    TSendForm form(f.context);
    form.Open("Send Mail", "BOB", "Note", false, QString::fromStdString(file));
    QCOMPARE(form.FileViewer->Line(0), QString("ring[1m\tbold"));
    QCOMPARE(form.FileViewer->Line(1), QString("next"));
    QCOMPARE(form.FileViewer->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.FileViewer->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    form.SendButton->click();
    mailstore::TMail reader(f.ui);
    reader.SetMailDir(f.dir.path());
    reader.SetUserName("BOB");
    mailstore::MessageRecord record;
    QCOMPARE(reader.ReadMessage(0, record), 0);
    QCOMPARE(testing_support::ReadFile(record.textFile), testing_support::ReadFile(file));
  }

  // A file name is typed a key at a time: no alert breaks into the typing.
  // What is wrong with the name is told when the mail is sent, and a
  // folder is called a folder.
  void aFileNameIsTypedFreelyAndCheckedAtSend() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "BOB", "Report", false, "");
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.SendTextFile->click();
    form.FNameBox->setFocus();
    QStringList alerts;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
      if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != &form) {
        alerts << AlertText(modal);
        modal->close();
      }
    });
    closer.start(20);
    const QString folder = QString::fromStdString(f.dir.path());
    QTest::keyClicks(form.FNameBox, folder);
    QCOMPARE(form.FNameBox->text(), folder);
    QCOMPARE(alerts, QStringList());
    form.SendButton->click();
    QTRY_COMPARE(alerts, QStringList{"That is a folder or a device, not a text file."});
    QVERIFY(form.result() != QDialog::Accepted);
    QVERIFY(!QFileInfo::exists(QString::fromStdString(f.dir.File("BOB.LST"))));
    // Named by a command, not typed, the problem is told at once.
    alerts.clear();
    form.FNameBox->clearFocus();
    form.FNameBox->setText(folder + "/no-such-file");
    QTRY_COMPARE(alerts, QStringList{"File not found!"});
  }

  void printingNamesTheRecipients() {
    Fixture f;
    TSendForm form(f.context);
    form.Open("Send Mail", "bob carol", "Plans", false, "");
    QTest::keyClicks(form.Editor, "Line one");
    QString prompt;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<prefs::TPrintDialog*>(modal);
      QVERIFY(dialog);
      prompt = dialog->Prompt->text();
      dialog->OkButton->click();
    });
    form.Print1->trigger();
    QCOMPARE(prompt, QString("\"Mail To bob...\" to Office Laser"));
    QStringList body;
    for (const auto& e : f.printers.device.Body()) body << e.text;
    QCOMPARE(body.value(0), QString("To:      bob carol"));
    QCOMPARE(body.value(2), QString("Subject: Plans"));
    QCOMPARE(body.value(3), QString("Line one"));
  }
};

QTEST_MAIN(TestSendForm)
#include "tst_send_form.moc"
