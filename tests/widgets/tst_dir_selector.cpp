// The directory selector: creating a missing directory, refusing a wrong
// one, OK on an empty box, and the inversion it shares with the file
// selector.
#include <QSettings>
#include <QtTest>
#include <sys/stat.h>

#include "support/Accessible.h"
#include "platform/Files.h"
#include "support/MailFixture.h"
#include "support/Modal.h"
#include "support/TempDir.h"
#include "widgets/DirSelectorDialog.h"
#include "widgets/FileSelectorDialog.h"
#include "widgets/MessageDialogs.h"

using testing_support::TempDir;
using testing_support::WhenModal;
using widgets::TDirSelectorDialog;

class TestDirSelector : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDir> tree, config;

  QString Path(const std::string& name) const { return QString::fromStdString(tree->File(name)); }
  // Types a location and leaves the box with Enter (OK moves to the list).
  static void EnterLocation(TDirSelectorDialog& dialog, const QString& text) {
    dialog.LocationBox->setFocus();
    dialog.LocationBox->setText(text);
    QTest::keyClick(dialog.LocationBox, Qt::Key_Return);
  }
  static QString AlertText(QWidget* modal) {
    auto* alert = qobject_cast<widgets::TAlertDialog*>(modal);
    return alert ? alert->Prompt->Caption() : QString("(no alert)");
  }

  // The alert after a missing directory is typed into the box; `answer`
  // is given to the question whether to create it (when it comes).
  QString AlertForMissing(bool allowCreate, bool answer, testing_support::ScriptedUi& ui, TDirSelectorDialog*& out) {
    ui.answers = {answer};
    out = new TDirSelectorDialog(allowCreate, ui);
    out->Open("Select a Mail Directory", Path("mail"));
    out->show();
    if (!QTest::qWaitForWindowActive(out)) return "(not active)";
    QString text;
    WhenModal([&](QWidget* modal) {
      text = AlertText(modal);
      modal->close();
    });
    EnterLocation(*out, Path("missing"));
    return text;
  }

 private slots:
  void init() {
    tree = std::make_unique<TempDir>();
    config = std::make_unique<TempDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config->path()));
    mkdir(tree->File("mail").c_str(), 0755);
    widgets::CreateAlertWindow();
  }

  void everyControlHasAName() {
    testing_support::ScriptedUi ui;
    TDirSelectorDialog dialog(true, ui);
    dialog.Open("Select a Mail Directory", Path("mail"));
    dialog.show();
    QVERIFY2(testing_support::ControlsWithoutNames(&dialog).isEmpty(), qPrintable(testing_support::ControlsWithoutNames(&dialog).join(", ")));
  }

  void aMissingDirectoryIsCreatedWithItsParentsAfterYes() {
    testing_support::ScriptedUi ui;
    ui.answers = {true};
    TDirSelectorDialog dialog(true, ui);
    dialog.Open("Select a Mail Directory", Path("mail"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    EnterLocation(dialog, Path("new/office/mail"));
    QCOMPARE(ui.CountOf("ask"), 1);
    QCOMPARE(QString::fromStdString(ui.shown[0].text),
             Path("new/office/mail") + "\rdoes not exist! Do you want to create it?");
    QVERIFY(platform::FileExists(tree->File("new/office/mail")));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.FileList->Directory(), Path("new/office/mail"));
  }

  // A relative name is taken against the directory listed, for the check,
  // the creation and the result alike; what is made is the group's, with
  // the setgid bit of its parent, so that every account can deliver.
  void aRelativeNameIsMadeInTheListedDirectoryForTheGroup() {
    chmod(tree->File("mail").c_str(), 02770);
    testing_support::ScriptedUi ui;
    ui.answers = {true};
    TDirSelectorDialog dialog(true, ui);
    dialog.Open("Select a Mail Directory", Path("mail"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    const mode_t umaskWas = umask(022);
    EnterLocation(dialog, "office/new");
    umask(umaskWas);
    QCOMPARE(QString::fromStdString(ui.shown.at(0).text), Path("mail/office/new") + "\rdoes not exist! Do you want to create it?");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.FileList->Directory(), Path("mail/office/new"));
    struct stat st {};
    QCOMPARE(stat(tree->File("mail/office/new").c_str(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t{02770});
  }

  void noGivesTheInvalidLocationMessage() {
    testing_support::ScriptedUi ui;
    TDirSelectorDialog* raw = nullptr;
    const QString text = AlertForMissing(true, false, ui, raw);
    std::unique_ptr<TDirSelectorDialog> dialog(raw);
    QCOMPARE(ui.CountOf("ask"), 1);
    QCOMPARE(text, widgets::InvalidLocationText(Path("missing")));
    QVERIFY(!platform::FileExists(tree->File("missing")));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->focusWidget(), dialog->LocationBox);
    QCOMPARE(dialog->FileList->Directory(), Path("mail"));
  }

  void withoutCreationTheMessageComesAtOnce() {
    testing_support::ScriptedUi ui;
    TDirSelectorDialog* raw = nullptr;
    const QString text = AlertForMissing(false, true, ui, raw);
    std::unique_ptr<TDirSelectorDialog> dialog(raw);
    QCOMPARE(ui.CountOf("ask"), 0);
    QCOMPARE(text, widgets::InvalidLocationText(Path("missing")));
  }

  void okOnAnEmptyBoxStaysAndOkOnADirectoryReturnsIt() {
    testing_support::ScriptedUi ui;
    TDirSelectorDialog dialog(false, ui);
    dialog.Open("Select a Directory", Path("mail"));
    dialog.show();
    dialog.CancelButton->setFocus();
    dialog.LocationBox->clear();
    dialog.OkButton->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    QString directory = Path("mail");
    WhenModal([](QWidget* modal) {
      auto* selector = qobject_cast<TDirSelectorDialog*>(modal);
      QVERIFY(selector);
      int up = -1;
      for (int i = 0; i < selector->FileList->count(); ++i)
        if (selector->FileList->TypeOf(i) == 'D') up = i;
      selector->FileListChosen(up);  // nothing closes the dialog but OK
      selector->CancelButton->setFocus();
      selector->OkButton->click();
    });
    QVERIFY(widgets::ChooseDirectory("Select a Directory", directory, false, ui));
    QCOMPARE(directory, QString::fromStdString(tree->path()));
  }

  void invertingHereInvertsTheFileSelectorNextTime() {
    testing_support::ScriptedUi ui;
    {
      TDirSelectorDialog dialog(false, ui);
      dialog.Open("Select a Directory", Path("mail"));
      dialog.InvertButton->click();
      QCOMPARE(dialog.FileList->ListOrder(), shell::flInverted);
      dialog.SaveSettings();
    }
    widgets::TFileSelectorDialog selector(ui);
    selector.Open("Load File", Path("mail"), "*.*", "");
    QCOMPARE(selector.FileList->ListOrder(), shell::flInverted);
    QVERIFY(selector.Invert->isChecked());
  }
};

QTEST_MAIN(TestDirSelector)
#include "tst_dir_selector.moc"
