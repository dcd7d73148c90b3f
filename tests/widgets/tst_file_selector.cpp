// The file selector as a user works it: locations, OK, a search with Stop,
// and what it keeps for the next time.
#include <QSettings>
#include <QtTest>
#include <sys/stat.h>

#include "support/Accessible.h"
#include "support/MailFixture.h"
#include "support/Modal.h"
#include "support/TempDir.h"
#include "widgets/FileCommands.h"
#include "widgets/FileSelectorDialog.h"
#include "widgets/MessageDialogs.h"

using testing_support::TempDir;
using testing_support::WhenModal;
using testing_support::WriteFile;
using widgets::TFileSelectorDialog;

class TestFileSelector : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDir> tree, config;
  testing_support::ScriptedUi ui;

  QString Path(const char* name) const { return QString::fromStdString(tree->File(name)); }
  QStringList Files(const TFileSelectorDialog& dialog) const {
    QStringList out;
    for (int i = 0; i < dialog.FileList->count(); ++i)
      if (dialog.FileList->TypeOf(i) == 'F') out << dialog.FileList->NameOf(i);
    return out;
  }
  // Types `text` into the location box and leaves it with Tab.
  void EnterLocation(TFileSelectorDialog& dialog, const QString& text) {
    dialog.LocationBox->setFocus();
    dialog.LocationBox->selectAll();
    QTest::keyClicks(dialog.LocationBox, text);
    QTest::keyClick(dialog.LocationBox, Qt::Key_Tab);
  }

 private slots:
  void init() {
    tree = std::make_unique<TempDir>();
    config = std::make_unique<TempDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config->path()));
    mkdir(tree->File("docs").c_str(), 0755);
    mkdir(tree->File("docs/old").c_str(), 0755);
    WriteFile(tree->File("letter.txt"), "Dear Bob,\r\n");
    WriteFile(tree->File("notes.doc"), "notes");
    WriteFile(tree->File("docs/plan.txt"), "plan");
    WriteFile(tree->File("docs/old/memo.txt"), "memo");
    widgets::CreateAlertWindow();
  }

  void everyControlHasAName() {
    TFileSelectorDialog dialog(ui);
    dialog.Open("Load File", Path(""), "*.*", "");
    dialog.show();
    QVERIFY2(testing_support::ControlsWithoutNames(&dialog).isEmpty(), qPrintable(testing_support::ControlsWithoutNames(&dialog).join(", ")));
  }

  // The preview's font is fixed, so that tabs and columns line up, also
  // where the stored font is one this machine only substitutes.
  void thePreviewsFontIsFixed() {
    TFileSelectorDialog dialog(ui);
    dialog.Open("Load File", Path(""), "*.*", "");
    QVERIFY(QFontInfo(dialog.FileViewer->font()).fixedPitch());
  }

  // The column header stands alone over the list: Size, Date and Time
  // aligned as their values are; the order button lies beside the
  // location, so no strip is left when the details are off.
  void theHeaderAndTheOrderButtonKeepTheirPlaces() {
    TFileSelectorDialog dialog(ui);
    dialog.Open("Load File", Path(""), "*.*", "");
    dialog.show();
    for (const int column : {1, 2, 3})
      QCOMPARE(dialog.Header->model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
               int(Qt::AlignRight));
    if (dialog.ShowDetail->isChecked()) dialog.ShowDetail->click();
    QVERIFY(!dialog.Header->isVisible());
    QVERIFY(dialog.Invert->isVisible());
    QVERIFY(!dialog.FileListPanel->isAncestorOf(dialog.Invert));
    QCOMPARE(dialog.FileList->geometry().top(), 0);  // no empty strip above the list
  }

  void aLocationWithAWildcardSetsTheDirectoryAndTheMask() {
    TFileSelectorDialog dialog(ui);
    dialog.Open("Load File", Path(""), "*.*", "");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.FileList->Directory(), QString::fromStdString(tree->path()));
    EnterLocation(dialog, Path("docs") + "/*.txt");
    QCOMPARE(dialog.FileList->Directory(), Path("docs"));
    QCOMPARE(dialog.FileList->FileMask(), QString("*.txt"));
    QCOMPARE(dialog.FilterBox->text(), QString("*.txt"));
    QCOMPARE(dialog.LocationBox->text(), Path("docs"));
    QCOMPARE(Files(dialog), QStringList{"plan.txt"});
    // A screen reader hears the kind and the name.
    const int last = dialog.FileList->count() - 1;
    QCOMPARE(dialog.FileList->model()->index(last, 0).data(Qt::AccessibleTextRole).toString(), QString("file plan.txt"));
  }

  void anInvalidLocationSaysSoAndKeepsTheFocus() {
    TFileSelectorDialog dialog(ui);
    dialog.Open("Load File", Path(""), "*.doc", "");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QString title, text;
    WhenModal([&](QWidget* modal) {
      auto* alert = qobject_cast<widgets::TAlertDialog*>(modal);
      QVERIFY(alert);
      title = alert->windowTitle();
      text = alert->Prompt->Caption();
      alert->OkButton->click();
    });
    EnterLocation(dialog, Path("missing") + "/*.txt");
    QCOMPARE(title, QString("Invalid Location"));
    QCOMPARE(text, Path("missing") + "/*.txt\ris not a valid location! A location must\rpoint to an existing DOS "
                                     "directory.");
    QCOMPARE(dialog.focusWidget(), dialog.LocationBox);
    // The list, its mask and the box stay as they were.
    QCOMPARE(dialog.FileList->Directory(), QString::fromStdString(tree->path()));
    QCOMPARE(dialog.FileList->FileMask(), QString("*.doc"));
    QCOMPARE(dialog.FilterBox->text(), QString("*.doc"));
    QCOMPARE(dialog.LocationBox->text(), QString::fromStdString(tree->path()));
  }

  void okWithAnEmptyNameStaysAndOkWithANameReturnsIt() {
    TFileSelectorDialog dialog(ui);
    dialog.Open("Load File", Path(""), "", "");
    dialog.show();
    QCOMPARE(dialog.FilterBox->text(), QString("*.*"));
    dialog.FName->setFocus();
    dialog.OkButton->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QTest::keyClicks(dialog.FName, "letter.txt");
    QTest::keyClick(dialog.FName, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.ChosenFile(), Path("letter.txt"));
  }

  void choosingFoldersKeepsTheNameAndGoingUpSelectsTheFolderLeft() {
    TFileSelectorDialog dialog(ui);
    dialog.Open("Save File", Path(""), "*.*", "draft.txt");
    dialog.show();
    int docs = -1;
    for (int i = 0; i < dialog.FileList->count(); ++i)
      if (dialog.FileList->NameOf(i) == "docs") docs = i;
    QVERIFY(docs >= 0);
    dialog.FileList->setCurrentRow(docs);
    dialog.FileList->setFocus();
    QTest::keyClick(dialog.FileList, Qt::Key_Return);
    QCOMPARE(dialog.FileList->Directory(), Path("docs"));
    QCOMPARE(dialog.FName->text(), Path("docs") + "/draft.txt");
    int up = -1;
    for (int i = 0; i < dialog.FileList->count(); ++i)
      if (dialog.FileList->TypeOf(i) == 'D') up = i;
    dialog.FileList->setCurrentRow(up);
    QTest::keyClick(dialog.FileList, Qt::Key_Return);
    QCOMPARE(dialog.FileList->Directory(), QString::fromStdString(tree->path()));
    QCOMPARE(dialog.FileList->NameOf(dialog.FileList->currentRow()), QString("docs"));
    // A file chosen in the list closes the dialog with its path.
    QTest::keyClick(dialog.FileList, Qt::Key_L);
    QCOMPARE(dialog.FileList->NameOf(dialog.FileList->currentRow()), QString("letter.txt"));
    QTest::keyClick(dialog.FileList, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.ChosenFile(), Path("letter.txt"));
  }

  void aSearchCountsTheFilesOfTheDrive() {
    TFileSelectorDialog dialog(ui);
    dialog.volumeRootOf = [this](const std::string&) { return tree->path(); };
    dialog.Open("Load File", Path("docs"), "*.txt", "");
    dialog.show();
    int shown = 0;
    QTimer::singleShot(0, [&] { shown = dialog.SearchProgress() ? dialog.SearchProgress()->Found() : -1; });
    dialog.SearchAll->click();
    QVERIFY(shown >= 0);
    QVERIFY(!dialog.SearchProgress());
    QCOMPARE(dialog.FileList->Directory(), QString::fromStdString(tree->path()));
    QCOMPARE(Files(dialog), (QStringList{Path("docs/old/memo.txt"), Path("docs/plan.txt"), Path("letter.txt")}));
    QCOMPARE(dialog.FileList->LastError(), 0);
    // Back to the plain list of the same place.
    dialog.SearchAll->click();
    QCOMPARE(Files(dialog), QStringList{"letter.txt"});
  }

  void stopEndsASearchAfterTheQuestion() {
    for (int d = 0; d < 20; ++d) {
      const std::string sub = tree->File("many" + std::to_string(d));
      mkdir(sub.c_str(), 0755);
      for (int f = 0; f < 20; ++f) WriteFile(sub + "/f" + std::to_string(f) + ".txt", "x");
    }
    TFileSelectorDialog dialog(ui);
    dialog.volumeRootOf = [this](const std::string&) { return tree->path(); };
    dialog.Open("Load File", Path(""), "*.txt", "");
    dialog.show();
    QString question;
    QTimer::singleShot(0, [&] {
      QVERIFY(dialog.SearchProgress());
      WhenModal([&](QWidget* modal) {
        auto* ask = qobject_cast<widgets::TAskUserDialog*>(modal);
        question = ask->windowTitle() + ": " + ask->Prompt->Caption();
        ask->YesButton->click();
      });
      dialog.SearchProgress()->StopButton->click();
    });
    dialog.SearchAll->click();
    QCOMPARE(question, QString("File Search: Do you want to stop the search?"));
    QCOMPARE(dialog.FileList->LastError(), shell::kListingStopped);
    QVERIFY(Files(dialog).size() < 400);
    QVERIFY(dialog.OkButton->isEnabled());
  }

  void theStateIsKeptForTheNextTime() {
    {
      TFileSelectorDialog dialog(ui);
      dialog.Open("Load File", Path(""), "*.*", "");
      dialog.show();
      dialog.ShowDetail->click();
      dialog.Preview->click();
      dialog.SplitHButton->click();
      dialog.Invert->click();
      dialog.Header->resizeSection(1, 111);
      dialog.resize(600, 450);
      dialog.SaveSettings();
    }
    TFileSelectorDialog dialog(ui);
    dialog.Open("Load File", Path(""), "*.*", "");
    dialog.show();
    QVERIFY(dialog.ShowDetail->isChecked());
    QVERIFY(dialog.Header->isVisible());
    QVERIFY(dialog.Preview->isChecked());
    QVERIFY(dialog.ViewerPanel->isVisible());
    QVERIFY(dialog.SplitHButton->isChecked());
    QCOMPARE(dialog.SplitterPanel->orientation(), Qt::Vertical);
    QCOMPARE(dialog.FileList->ListOrder(), shell::flInverted);
    QCOMPARE(dialog.FileList->ColumnWidth(1), 111);
    QCOMPARE(dialog.size(), QSize(600, 450));
    QCOMPARE(dialog.FileList->TypeOf(0), 'F');
    QVERIFY(ui.shown.empty());
  }

  void choosingAFileToOpenStartsWhereTheLastOneWasFound() {
    shell::Preferences prefs;
    prefs.windowsFileSelector = false;
    prefs.loadDir = tree->File("docs");
    prefs.loadMask = "*.txt";
    QString startedIn;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<TFileSelectorDialog*>(modal);
      QVERIFY(dialog);
      startedIn = dialog->FileList->Directory();
      QCOMPARE(dialog->windowTitle(), QString("Select a File"));
      dialog->FileList->SetDirectory("old");
      dialog->FName->setText("memo.txt");
      dialog->OkButton->click();
    });
    QString file;
    QVERIFY(widgets::ChooseFileToOpen(file, prefs, ui));
    QCOMPARE(startedIn, Path("docs"));
    QCOMPARE(file, Path("docs/old/memo.txt"));
    QCOMPARE(prefs.loadDir, tree->File("docs/old"));
    QCOMPARE(prefs.loadMask, std::string("*.txt"));
  }

  void theEntryPointReturnsTheFileAndWhereItEnded() {
    QString directory = Path("docs"), mask = "*.txt", file;
    WhenModal([](QWidget* modal) {
      auto* dialog = qobject_cast<TFileSelectorDialog*>(modal);
      QVERIFY(dialog);
      dialog->FName->setText("plan.txt");
      dialog->OkButton->click();
    });
    QVERIFY(widgets::ChooseFile("Load File", directory, mask, file, ui));
    QCOMPARE(file, Path("docs/plan.txt"));
    QCOMPARE(directory, Path("docs"));
    QCOMPARE(mask, QString("*.txt"));

    WhenModal([](QWidget* modal) { qobject_cast<TFileSelectorDialog*>(modal)->CancelButton->click(); });
    QString unchanged = "kept";
    QVERIFY(!widgets::ChooseFile("Load File", directory, mask, unchanged, ui));
    QCOMPARE(unchanged, QString("kept"));
  }
};

QTEST_MAIN(TestFileSelector)
#include "tst_file_selector.moc"
