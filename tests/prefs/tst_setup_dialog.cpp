// The Preferences dialog: what it shows, what OK writes back and what
// Cancel leaves alone.
#include <QClipboard>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGuiApplication>
#include <QSettings>
#include <QtTest>

#include "support/Accessible.h"
#include "mailstore/UserRegistry.h"
#include "prefs/SetupDialog.h"
#include "shell/StoredSettings.h"
#include "support/MailFixture.h"
#include "support/Modal.h"
#include "support/TempDir.h"
#include "widgets/Resources.h"

using prefs::TSetupDialog;
using testing_support::TempDir;
using testing_support::WhenModal;

namespace {

// BOB logged in on a Mail Directory of his own, with a password.
struct Session {
  Session() {
    testing_support::WriteFile(dir.File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config.path()));
    session.SetMailDir(dir.path());
    session.Mail().SetUserName("BOB");
    if (session.ChangePassword("OLD") != 0) qFatal("cannot store the password");
  }
  std::string StoredPassword() {
    mailstore::TMail other(ui);
    other.SetMailDir(dir.path());
    return mailstore::ReadUserPassword(other, "BOB");
  }
  TempDir dir, config;
  testing_support::ScriptedUi ui;
  shell::StoredSettings settings;
  shell::MailSession session{ui, settings};
};

}  // namespace

class TestSetupDialog : public QObject {
  Q_OBJECT

 private slots:
  // Typed, pasted or inserted, a password goes in upper case and without
  // blanks, as the login takes it: otherwise it could never be typed there.
  void everyWayIntoThePasswordBoxFollowsItsRules() {
    testing_support::ScriptedUi ui;
    TSetupDialog dialog(ui);
    QLineEdit* box = dialog.PasswordBox;
    QTest::keyClicks(box, "ab c");
    QCOMPARE(box->text(), QString("ABC"));
    box->clear();
    QGuiApplication::clipboard()->setText(QString::fromUtf8("s\xC3\xA9" "cret"));
    box->paste();
    QCOMPARE(box->text(), QString::fromUtf8("S\xC3\x89" "CRET"));
    QGuiApplication::clipboard()->setText("with blank");
    box->paste();
    QCOMPARE(box->text(), QString::fromUtf8("S\xC3\x89" "CRET"));  // refused whole
    box->insert("x");
    QCOMPARE(box->text(), QString::fromUtf8("S\xC3\x89" "CRETX"));
  }

  void cancelEscapeAndTheCloseBoxChangeNothing() {
    for (const char* how : {"cancel", "escape", "close"}) {
      Session s;
      shell::Preferences before = s.session.Prefs();
      std::array<QFont, 3> fonts{QFont("Arial"), QFont("Courier New"), QFont("Courier New")};
      QStringList unnamed;
      WhenModal([how, &unnamed](QWidget* modal) {
        auto* dialog = qobject_cast<TSetupDialog*>(modal);
        QVERIFY(dialog);
        unnamed = testing_support::ControlsWithoutNames(dialog);
        QTest::mouseClick(dialog->ColorGrid, Qt::LeftButton, {}, dialog->ColorGrid->CellRect(9).center());
        dialog->InBoxPreview->setFont(QFont("Courier New"));
        dialog->PasswordBox->setText("NEW");
        dialog->MailDirBox->setText("/elsewhere");
        dialog->MailInterval->setValue(50);
        if (std::string(how) == "cancel") dialog->CancelButton->click();
        else if (std::string(how) == "escape") QTest::keyClick(dialog, Qt::Key_Escape);
        else dialog->close();
      });
      QVERIFY(!prefs::ExecutePreferences(s.session, fonts, nullptr));
      QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
      QCOMPARE(s.session.Prefs().colours[0].textColour, before.colours[0].textColour);
      QCOMPARE(s.session.Prefs().mailDir, before.mailDir);
      QCOMPARE(s.session.Prefs().mailCheckInterval, before.mailCheckInterval);
      QCOMPARE(fonts[0].family(), QString("Arial"));
      QCOMPARE(s.StoredPassword(), std::string("OLD"));
      QCOMPARE(s.session.Password(), std::string("OLD"));
    }
  }

  // The font dialog shows a family the machine only substitutes as the one
  // it stands for: OK there changes only what was changed there.
  void theFontDialogChangesOnlyWhatWasChanged_data() {
    QTest::addColumn<int>("change");  // 0 nothing, 1 the size, 2 the family
    QTest::newRow("nothing") << 0;
    QTest::newRow("the size") << 1;
    QTest::newRow("the family") << 2;
  }
  void theFontDialogChangesOnlyWhatWasChanged() {
    QFETCH(int, change);
    Session s;
    QFont inBox("MS Sans Serif", 8);
    inBox.setBold(true);
    const QFont viewer("Courier New", 10);
    std::array<QFont, 3> fonts{inBox, viewer, viewer};
    QString otherFamily;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TSetupDialog*>(modal);
      for (const int element : {0, 2}) {
        dialog->ElementList->setCurrentRow(element);
        WhenModal([&](QWidget* fontModal) {
          auto* font = qobject_cast<QFontDialog*>(fontModal);
          QVERIFY(font);
          QFont picked = font->currentFont();
          if (change == 1) picked.setPointSize(14);
          if (change == 2) {
            const QStringList families = QFontDatabase::families();
            otherFamily = *std::find_if(families.begin(), families.end(),
                                        [&](const QString& f) { return f != picked.family(); });
            picked = QFont(otherFamily, picked.pointSize());
          }
          if (change != 0) font->setCurrentFont(picked);
          font->accept();
        });
        dialog->FontButton->click();
      }
      dialog->OkButton->click();
    });
    QVERIFY(prefs::ExecutePreferences(s.session, fonts, nullptr));
    if (change == 2) {
      QCOMPARE(fonts[0].family(), otherFamily);
      return;
    }
    // The In Box and the viewer went through the dialog, the editor did not.
    for (const size_t k : {0, 1, 2}) {
      const QFont& before = k == 0 ? inBox : viewer;
      QCOMPARE(fonts[k].family(), before.family());
      QCOMPARE(fonts[k].pointSize(), change == 1 && k < 2 ? 14 : before.pointSize());
      QCOMPARE(fonts[k].bold(), before.bold());
      QCOMPARE(fonts[k].italic(), false);
    }
  }

  // The envelopes of the In Box preview have no olive square behind them.
  void theInBoxPreviewDrawsEnvelopesWithoutTheirBackground() {
    testing_support::ScriptedUi ui;
    TSetupDialog dialog(ui);
    dialog.resize(dialog.size());
    const QImage shot = dialog.InBoxPreview->grab().toImage();
    int olive = 0;
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x)
        if (shot.pixel(x, y) == qRgb(0x80, 0x80, 0x00)) ++olive;
    QCOMPARE(olive, 0);
  }

  void okWritesBackAndLeavesAnUnchangedPasswordAlone() {
    Session s;
    s.session.Prefs().mailCheckInterval = 100;
    std::array<QFont, 3> fonts{QFont("Arial"), QFont("Courier New"), QFont("Courier New")};
    int shownInterval = 0;
    QString label;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TSetupDialog*>(modal);
      shownInterval = dialog->MailInterval->value();
      label = dialog->PasswordLabel->text();
      dialog->ElementList->setCurrentRow(2);
      QTest::mouseClick(dialog->ColorGrid, Qt::LeftButton, {}, dialog->ColorGrid->CellRect(12).center());
      QTest::mouseClick(dialog->ColorGrid, Qt::RightButton, {}, dialog->ColorGrid->CellRect(11).center());
      dialog->WinFSelector->setChecked(false);
      dialog->VelFSelector->setChecked(true);
      dialog->UserDictBox->setText("/home/bob/dict");
      dialog->OkButton->click();
    });
    QVERIFY(prefs::ExecutePreferences(s.session, fonts, nullptr));
    QCOMPARE(shownInterval, 60);
    QCOMPARE(s.session.Prefs().mailCheckInterval, 60);
    QCOMPARE(label, QString("&Password for BOB:"));
    const shell::ColourElement& viewer = s.session.Prefs().colours[shell::kViewerNormalText];
    QCOMPARE(viewer.textColour, widgets::GridColour(12));
    QCOMPARE(viewer.textGridPosition, 12);
    QCOMPARE(viewer.backgroundColour, widgets::GridColour(11));
    QCOMPARE(viewer.backgroundGridPosition, 11);
    // Elements only looked at keep the system's colours.
    QCOMPARE(s.session.Prefs().colours[0].textColour, shell::kSystemWindowText);
    QVERIFY(!s.session.Prefs().windowsFileSelector);
    QCOMPARE(s.session.Prefs().userDictionaryPath, std::string("/home/bob/dict"));
    QCOMPARE(s.StoredPassword(), std::string("OLD"));
    QCOMPARE(s.ui.shown.size(), size_t(0));
  }

  void thePasswordBoxTakesCapitalsRefusesBlanksAndAClearedBoxStoresNone() {
    Session s;
    std::array<QFont, 3> fonts;
    bool closedLock = false, openLock = false;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TSetupDialog*>(modal);
      const QImage closed = dialog->LockImage->pixmap().toImage();
      dialog->PasswordBox->clear();
      openLock = dialog->LockImage->pixmap().toImage() != closed;
      QTest::keyClicks(dialog->PasswordBox, "se cret");
      QCOMPARE(dialog->PasswordBox->text(), QString("SECRET"));
      closedLock = dialog->LockImage->pixmap().toImage() == closed;
      dialog->PasswordBox->clear();
      dialog->OkButton->click();
    });
    QVERIFY(prefs::ExecutePreferences(s.session, fonts, nullptr));
    QVERIFY(openLock);
    QVERIFY(closedLock);
    QCOMPARE(s.StoredPassword(), std::string());
    QCOMPARE(s.session.Password(), std::string());

    WhenModal([](QWidget* modal) {
      auto* dialog = qobject_cast<TSetupDialog*>(modal);
      QTest::keyClicks(dialog->PasswordBox, "new1");
      dialog->OkButton->click();
    });
    QVERIFY(prefs::ExecutePreferences(s.session, fonts, nullptr));
    QCOMPARE(s.StoredPassword(), std::string("NEW1"));
  }

  void withoutAUserTheLabelIsPlainAndPagesHaveTheirHelp() {
    testing_support::ScriptedUi ui;
    TSetupDialog dialog(ui);
    prefs::PreferencesEdit edit;
    dialog.Load(edit);
    QCOMPARE(dialog.PasswordLabel->text(), QString("&Password:"));
    QCOMPARE(dialog.HelpContext(), 208);
    dialog.TabSet->setCurrentIndex(1);
    QCOMPARE(dialog.HelpContext(), 212);
    dialog.TabSet->setCurrentIndex(2);
    QCOMPARE(dialog.HelpContext(), 209);
    QCOMPARE(dialog.size(), QSize(464, 265));
  }

  void wordsWrapGreedily() {
    auto chars = [](const QString& s) { return static_cast<int>(s.size()); };
    QCOMPARE(prefs::WrapWords("The quick brown fox jumpes over the lazy dog.", 15, chars),
             (QStringList{"The quick brown", "fox jumpes over", "the lazy dog."}));
    QCOMPARE(prefs::WrapWords("Extraordinarily long", 5, chars), (QStringList{"Extraordinarily", "long"}));
  }
};

QTEST_MAIN(TestSetupDialog)
#include "tst_setup_dialog.moc"
