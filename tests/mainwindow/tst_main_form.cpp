#include <QApplication>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <optional>
#include <filesystem>
#include <functional>

#include "support/Accessible.h"
#include "support/Modal.h"
#include "mailstore/Delivery.h"
#include "mailstore/UserRegistry.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/SingleCopy.h"
#include "mainwindow/UserNameForm.h"
#include "support/MailFixture.h"
#include "support/RecordingDevice.h"
#include "FakeTray.h"
#include "prefs/PrintDialog.h"
#include "compose/SendForm.h"
#include "mailstore/MessageText.h"
#include "widgets/AboutBox.h"
#include "widgets/ClipboardViewer.h"
#include "widgets/FileSelectorDialog.h"
#include "widgets/Help.h"
#include "shell/AnsiText.h"
#include "widgets/Colours.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

using namespace mainwindow;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

using testing_support::WhenModal;

void Answer(QWidget* modal, bool yes) {
  if (auto* ask = qobject_cast<widgets::TAskUserDialog*>(modal)) (yes ? ask->YesButton : ask->NoButton)->click();
  else if (auto* alert = qobject_cast<widgets::TAlertDialog*>(modal)) alert->OkButton->click();
  else modal->close();
}

}  // namespace

class TestMainForm : public QObject {
  Q_OBJECT
 private:
  std::unique_ptr<testing_support::TempDir> dir, config;
  std::unique_ptr<widgets::TProgressReport> progress;
  std::unique_ptr<widgets::TMailProgressReport> sending;
  std::unique_ptr<TMainForm> form;
  testing_support::ScriptedUi senderUi;

  // A message from ALICE to BOB, sent as another copy would.
  void Deliver(const std::string& subject, const std::vector<std::string>& lines, bool scramble = false) {
    mailstore::TMail sender(senderUi);
    sender.SetMailDir(dir->path());
    sender.SetUserName("ALICE");
    mailstore::SendRequest request;
    request.subject = subject;
    request.lines = lines;
    request.scramble = scramble;
    request.pauseAfterCopyMs = 0;
    mailstore::Delivery delivery(sender, request);
    delivery.hasUserRegistry = true;
    delivery.DeliverToUser("BOB");
  }

  // The program for BOB on a mailbox of `messages` messages, polling every
  // second (`interval`).
  void Start(int messages, bool notify = false, std::vector<std::string> arguments = {"BOB"}, int interval = 1) {
    Open(messages, notify, arguments, interval);
    QVERIFY(form->FirstShow());
  }
  void Open(int messages, bool notify, std::vector<std::string> arguments, int interval, bool show = true) {
    for (int i = 0; i < messages; ++i) Deliver("Message " + std::to_string(i), {"Text of message " + std::to_string(i)});
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Brenlow", "Dashdeck");
    s.setValue("Mail/MailDir", QString::fromStdString(dir->path()));
    s.setValue("Mail/NotifyWhenMailArrives", notify ? "1" : "0");
    s.setValue("Mail/MailCheckInterval", QString::number(interval));
    s.sync();
    form = std::make_unique<TMainForm>(arguments, *progress, *sending);
    if (show) form->show();
  }

  // The subjects of BOB's mailbox, as another copy reads them.
  std::vector<std::string> StoredSubjects() {
    mailstore::TMail owner(senderUi);
    owner.SetMailDir(dir->path());
    owner.SetUserName("BOB");
    std::vector<mailstore::MessageRecord> records;
    owner.ReadMessages(0, records);
    std::vector<std::string> subjects;
    for (const auto& r : records) subjects.push_back(r.subject);
    return subjects;
  }

  // Every command that acts on the message shown, on the bar and in the menu.
  bool MessageCommandsEnabled(bool enabled) {
    for (QPushButton* b : {form->ReplyButton, form->ForwardButton, form->SaveButton, form->PrintButton,
                           form->DeleteButton})
      if (b->isEnabled() != enabled) return false;
    for (QAction* a : {form->Reply1, form->Forward1, form->SavetoFile1, form->Print1, form->Delete1, form->SelectAll1})
      if (a->isEnabled() != enabled) return false;
    return true;
  }

  // Delete on the button bar, Yes to its question; returns the question.
  QString DeleteAnsweringYes() {
    QString question;
    WhenModal([&](QWidget* modal) {
      question = qobject_cast<widgets::TAskUserDialog*>(modal)->Prompt->Caption();
      Answer(modal, true);
    });
    form->DeleteButton->click();
    return question;
  }

  // Printers of the test's own in place of the system's.
  testing_support::FakePrinters& InstallPrinters() {
    auto printers = std::make_unique<testing_support::FakePrinters>();
    testing_support::FakePrinters& installed = *printers;
    form->SetPrinters(std::move(printers));
    return installed;
  }

  QImage InBoxShot() { return form->InBox->viewport()->grab().toImage(); }
  std::string ToAnsiLine(int row) { return form->InBox->Line(row); }
  QString LineText(int row) { return shell::FromAnsi(form->InBox->Line(row)); }

  // The program in tray mode on a notification area of the test's own.
  testing_support::FakeTray& InTray(bool available = true) {
    auto host = std::make_unique<testing_support::FakeTray>();
    testing_support::FakeTray& tray = *host;
    tray.available = available;
    form->SetTrayHost(std::move(host));
    form->EnterTrayMode();
    return tray;
  }

 private slots:
  void init() {
    dir = std::make_unique<testing_support::TempDir>();
    config = std::make_unique<testing_support::TempDir>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config->path()));
    WriteFile(dir->File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
    progress = std::make_unique<widgets::TProgressReport>();
    sending = std::make_unique<widgets::TMailProgressReport>();
    widgets::CreateAlertWindow();
  }
  void cleanup() {
    if (form) {
      form->SessionEnding();
      form->close();
    }
    form.reset();
  }

  void startsOnTheUsersMailbox() {
    Start(2);
    QCOMPARE(form->windowTitle(), QString("KV Mailbox (BOB: 2 messages)"));
    QCOMPARE(form->InBox->count(), 2);
    QVERIFY(form->property("mailboxFull").toBool());
    QVERIFY(form->MailTimer->isActive());
    QCOMPARE(form->MailTimer->interval(), 1000);
    QVERIFY(!form->ReplyButton->isEnabled());
  }

  void theCloseRequestSavesFirstThenAsks() {
    Start(0);
    form->Prefs().mailCheckInterval = 42;
    bool savedBeforeTheQuestion = false;
    QString title;
    WhenModal([&](QWidget* modal) {
      QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Brenlow", "Dashdeck");
      savedBeforeTheQuestion = s.value("Mail/MailCheckInterval").toString() == "42";
      title = modal->windowTitle();
      Answer(modal, false);
    });
    form->close();
    QVERIFY(savedBeforeTheQuestion);
    QCOMPARE(title, QString("Close Mailbox"));
    QVERIFY(form->isVisible());  // No keeps the program running
    WhenModal([](QWidget* modal) { Answer(modal, true); });
    form->close();
    QVERIFY(!form->isVisible());
  }

  void theEndOfTheSessionClosesWithoutTheQuestion() {
    Start(0);
    form->SessionEnding();
    form->close();
    QVERIFY(!form->isVisible());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void linesAreDrawnWithEnvelopesUnderTheColumns() {
    Deliver("read one", {"x"});
    mailstore::TMail owner(senderUi);
    owner.SetMailDir(dir->path());
    owner.SetUserName("BOB");
    QCOMPARE(owner.MarkAsRead(0), 0);
    Start(1);  // line 0 read, line 1 unread
    form->resize(700, 450);
    QApplication::processEvents();
    const int h = form->InBox->ItemHeight();
    const QImage shot = InBoxShot();
    const int stampX = 2 + 12, stampY = h / 2 - 7 + 6;  // the unread envelope's red stamp
    QCOMPARE(shot.pixelColor(stampX, h + stampY), QColor(0xc0, 0, 0));
    QVERIFY(shot.pixelColor(stampX, stampY) != QColor(0xc0, 0, 0));
    QVERIFY(shot.pixelColor(1, h + 1) != QColor(0x80, 0x80, 0));  // olive replaced by the background
    QVERIFY(LineText(0).startsWith(QString::fromStdString(mailstore::FormatMessageDate(platform::SystemClock().LocalNow(), "M/d/yyyy")).left(5)));

    // A divider line in the grey-text colour two pixels left of each
    // column's end, background beside it.
    const QColor base = form->InBox->palette().color(QPalette::Base);
    const QColor grey = widgets::ColourFromSetting(shell::SystemColour(shell::kColourGrayText), QApplication::palette());
    QVERIFY(grey != base && grey != QColor(Qt::black));
    auto dividerAt = [&](const QImage& image, int x) {
      // The second line, away from any hover shading of the first, above
      // its text (a long date may run up to the column's end).
      const int y = h + 1;
      return image.pixelColor(x, y) == grey && image.pixelColor(x + 1, y) == base && image.pixelColor(x - 1, y) == base;
    };
    const int first = form->ColumnWidths()[0];
    QVERIFY(dividerAt(shot, first - 2));
    form->Header->resizeSection(0, first + 60);  // the columns follow at once
    QCOMPARE(form->ColumnWidths()[0], first + 60);
    const QImage after = InBoxShot();
    QVERIFY(dividerAt(after, first + 58));
    QVERIFY(!dividerAt(after, first - 2));
  }

  void theSplitterNeverGivesANegativeHeight() {
    Start(0);
    QWidget* splitter = reinterpret_cast<QWidget*>(form->SplitterPanel);
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(10, 2));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(10, -1000));
    QCOMPARE(form->ListPanel->height(), 0);
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(10, 2));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(10, 104));
    QCOMPARE(form->InBoxPaneHeight(), 100);
  }

  void theWindowKeepsItsMinimumSize() {
    Start(0);
    form->resize(100, 100);
    QVERIFY(form->width() >= 537);
    QVERIFY(form->height() >= 398);
  }

  void twoDroppedFilesGiveTheAlert() {
    Start(0);
    QString text;
    WhenModal([&](QWidget* modal) {
      text = qobject_cast<widgets::TAlertDialog*>(modal)->Prompt->Caption();
      Answer(modal, true);
    });
    form->FilesDropped({"/tmp/a.txt", "/tmp/b.txt"});
    QCOMPARE(text, QString("Sorry, I can only accept one file at\ra time. Try again."));
  }

  void theButtonBarAndItsCheckMarkStayInStep() {
    Start(0);
    QVERIFY(form->ShowButtonBar1->isChecked());
    form->ShowButtonBar1->trigger();
    QVERIFY(form->ButtonBar->isHidden());
    QVERIFY(!form->ShowButtonBar1->isChecked());
    form->ShowButtonBar1->trigger();
    QVERIFY(!form->ButtonBar->isHidden());
    QVERIFY(form->ShowButtonBar1->isChecked());
  }

  void selectingALineShowsAndMarksTheMessage() {
    Start(2);
    form->InBox->setCurrentRow(1);
    QCOMPARE(form->MsgSubject->text(), QString("Message 1"));
    QCOMPARE(form->MsgFrom->text(), QString("ALICE"));
    QCOMPARE(form->MailViewer->Line(0), QString("Text of message 1"));
    QVERIFY(LineText(1).section('|', 0, 0).endsWith('.'));
    QVERIFY(!form->MsgDate->text().endsWith('.'));
    mailstore::TMail owner(senderUi);
    owner.SetMailDir(dir->path());
    owner.SetUserName("BOB");
    mailstore::MessageRecord record;
    QCOMPARE(owner.ReadMessage(1, record), 0);
    QVERIFY(mailstore::IsRead(record));
    QVERIFY(form->ReplyButton->isEnabled());
    QVERIFY(form->Delete1->isEnabled());

    // Chosen again, the message is not loaded again.
    WriteFile(record.textFile, "changed on disk\r\n");
    form->InBoxClick();
    QCOMPARE(form->MailViewer->Line(0), QString("Text of message 1"));
  }

  void aScreenReaderHearsEachLineInWords() {
    Start(1);
    const QModelIndex first = form->InBox->model()->index(0, 0);
    const QString spoken = first.data(Qt::AccessibleTextRole).toString();
    QVERIFY2(spoken.startsWith("unread, from ALICE, Message 0, "), qPrintable(spoken));
    form->InBox->setCurrentRow(0);
    QVERIFY(first.data(Qt::AccessibleTextRole).toString().startsWith("read, from ALICE"));
    QCOMPARE(form->InBox->accessibleName(), QString("In Box"));
    QCOMPARE(form->MailViewer->accessibleName(), QString("Message text"));
    const QStringList unnamed = testing_support::ControlsWithoutNames(form.get());
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
  }

  void aDarkSchemeReachesTheColourElementsAtOnce() {
    Start(1);
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(40, 80, 160));
    dark.setColor(QPalette::HighlightedText, QColor(250, 250, 250));
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    // The colour elements are system colours unless the user chose others.
    const QPalette inbox = form->InBox->palette(), viewer = form->MailViewer->palette();
    QApplication::setPalette(light);
    QCoreApplication::processEvents();
    QCOMPARE(inbox.color(QPalette::Base), QColor(30, 30, 30));
    QCOMPARE(inbox.color(QPalette::Text), QColor(230, 230, 230));
    QCOMPARE(inbox.color(QPalette::Highlight), QColor(40, 80, 160));
    QCOMPARE(viewer.color(QPalette::HighlightedText), QColor(250, 250, 250));
    QCOMPARE(form->InBox->palette().color(QPalette::Base), light.color(QPalette::Base));
  }

  void aScrambledMessageIsShownPlain() {
    Deliver("secret", {"The plans are ready.", "\tSee you."}, /*scramble=*/true);
    Start(0);
    form->InBox->setCurrentRow(0);
    QCOMPARE(progress->Prompt->text(), QString("Decyphering Message"));
    QVERIFY(!progress->isVisible());
    QCOMPARE(form->MailViewer->LineCount(), 2);
    QCOMPARE(form->MailViewer->Line(0), QString("The plans are ready."));
    QCOMPARE(form->MailViewer->Line(1), QString("\tSee you."));
    QVERIFY(form->MailViewer->isReadOnly());
  }

  void saveToFileWritesThePlainTextAndAsksBeforeReplacing() {
    Deliver("secret", {"The plans are ready.", "\tSee you."}, /*scramble=*/true);
    Start(0);
    TempDir saves;
    form->Prefs().windowsFileSelector = false;
    form->Prefs().saveDir = saves.path();
    form->InBox->setCurrentRow(0);
    // Saving with the program's selector, which starts where the last save went.
    auto saveAs = [&](const QString& name, std::optional<bool> replace) {
      QString title, startedIn;
      WhenModal([&, name, replace](QWidget* modal) {
        auto* selector = qobject_cast<widgets::TFileSelectorDialog*>(modal);
        QVERIFY(selector);
        title = selector->windowTitle();
        startedIn = selector->FileList->Directory();
        selector->FName->setText(name);
        if (replace) WhenModal([replace](QWidget* question) { Answer(question, *replace); });
        selector->OkButton->click();
      });
      form->SaveButton->click();
      QCOMPARE(title, QString("Save \"Mail From ALICE\" As"));
      QCOMPARE(startedIn, QString::fromStdString(saves.path()));
    };
    saveAs("plans.txt", std::nullopt);
    QCOMPARE(testing_support::ReadFile(saves.File("plans.txt")), std::string("The plans are ready.\r\n\tSee you.\r\n"));
    WriteFile(saves.File("plans.txt"), "mine");
    saveAs("plans.txt", false);
    QCOMPARE(testing_support::ReadFile(saves.File("plans.txt")), std::string("mine"));
    saveAs("plans.txt", true);
    QCOMPARE(testing_support::ReadFile(saves.File("plans.txt")), std::string("The plans are ready.\r\n\tSee you.\r\n"));
  }

  void savingAPlainMessageCopiesItsFile() {
    Start(1);
    TempDir saves;
    form->Prefs().windowsFileSelector = false;
    form->Prefs().saveDir = saves.path();
    form->InBox->setCurrentRow(0);
    WhenModal([](QWidget* modal) {
      auto* selector = qobject_cast<widgets::TFileSelectorDialog*>(modal);
      selector->FName->setText("copy.txt");
      selector->OkButton->click();
    });
    form->SavetoFile1->trigger();
    mailstore::TMail owner(senderUi);
    owner.SetMailDir(dir->path());
    owner.SetUserName("BOB");
    mailstore::MessageRecord record;
    QCOMPARE(owner.ReadMessage(0, record), 0);
    QCOMPARE(testing_support::ReadFile(saves.File("copy.txt")), testing_support::ReadFile(record.textFile));
  }

  void printingASelectionPrintsOnlyIt() {
    Start(1);
    auto printers = std::make_unique<prefs::SystemPrinters>();
    if (printers->CurrentPrinterName() != prefs::kPdfFileName) QSKIP("this machine has a printer");
    TempDir out;
    const QString pdf = QString::fromStdString(out.File("selection.pdf"));
    printers->SetPdfFileChooser([pdf](QWidget*, const QString&) { return pdf; });
    form->SetPrinters(std::move(printers));
    form->InBox->setCurrentRow(0);
    QTextCursor cursor = form->MailViewer->textCursor();
    cursor.setPosition(8);
    cursor.setPosition(15, QTextCursor::KeepAnchor);  // "message" of "Text of message 0"
    form->MailViewer->setTextCursor(cursor);
    WhenModal([](QWidget* modal) {
      auto* dialog = qobject_cast<prefs::TPrintDialog*>(modal);
      QVERIFY(dialog->PrintSelected->isChecked());
      dialog->OkButton->click();
    });
    form->Print1->trigger();
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    QVERIFY(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(printed.contains("From:    ALICE"), qPrintable(printed));
    QVERIFY(printed.contains("Subject: Message 0"));
    QVERIFY(printed.contains("        message"));
    QVERIFY(!printed.contains("Text of"));
  }

  // Printing to a file asks for the file with the selector the user chose.
  void printingToAFileAsksWithTheChosenSelector() {
    Start(1);
    if (prefs::SystemPrinters().CurrentPrinterName() != prefs::kPdfFileName) QSKIP("this machine has a printer");
    form->Prefs().windowsFileSelector = false;
    form->InBox->setCurrentRow(0);
    QString chooser, title;
    WhenModal([&](QWidget* print) {
      WhenModal([&](QWidget* asked) {
        chooser = asked->metaObject()->className();
        title = asked->windowTitle();
        asked->close();
      });
      qobject_cast<prefs::TPrintDialog*>(print)->OkButton->click();
    });
    form->Print1->trigger();
    QCOMPARE(chooser, QString("widgets::TFileSelectorDialog"));
    QCOMPARE(title, QString("Print to a PDF File"));
  }

  void f1AndTheHelpMenuAskForTheirTopics() {
    Start(0);
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    std::vector<std::pair<widgets::HelpRequest, int>> asked;
    widgets::SetHelpHandler([&](widgets::HelpRequest request, int context, QWidget*) { asked.push_back({request, context}); });
    QTest::keyClick(form.get(), Qt::Key_F1);
    form->Contents1->trigger();
    form->SearchForHelp1->trigger();
    form->HowToUseHelp1->trigger();
    widgets::SetHelpHandler(nullptr);
    using R = widgets::HelpRequest;
    QCOMPARE(asked, (std::vector<std::pair<R, int>>{{R::kTopic, 925}, {R::kContents, 0}, {R::kSearch, 0}, {R::kUsingHelp, 0}}));
  }

  void aboutShowsTheProgramsNameAndVersion() {
    Start(0);
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QString caption, version;
    QStringList unnamed;
    WhenModal([&](QWidget* modal) {
      auto* about = qobject_cast<widgets::TAboutBox*>(modal);
      QVERIFY(about);
      unnamed = testing_support::ControlsWithoutNames(about);
      caption = about->windowTitle();
      version = about->Version->text() + " | " + about->Copyright->text();
      about->OkButton->click();
    });
    QTest::keyClick(form.get(), Qt::Key_F2);
    QCOMPARE(caption, QString("About KV Mailbox"));
    QCOMPARE(version, QString("Windows 95/98/NT - Version 1.2b | May 12, 1999"));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
  }

  void theClipboardViewerFollowsTheClipboard() {
    Start(1);
    form->InBox->setCurrentRow(0);
    form->ShowClipboard1->trigger();
    auto* viewer = form->findChild<widgets::TClipboardViewer*>();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    form->MailViewer->SelectEverything();
    form->Copy1->trigger();
    QTRY_COMPARE(viewer->Contents->toPlainText(), QString("Text of message 0"));
    const QStringList unnamed = testing_support::ControlsWithoutNames(viewer);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    form->ShowClipboard1->trigger();
    QCOMPARE(form->findChildren<widgets::TClipboardViewer*>().size(), 1);
  }

  void aVanishedTextFileTakesItsRecord() {
    Start(2);
    mailstore::TMail owner(senderUi);
    owner.SetMailDir(dir->path());
    owner.SetUserName("BOB");
    mailstore::MessageRecord record;
    QCOMPARE(owner.ReadMessage(0, record), 0);
    QFile::remove(QString::fromStdString(record.textFile));
    QString text;
    WhenModal([&](QWidget* modal) {
      text = qobject_cast<widgets::TAlertDialog*>(modal)->Prompt->Caption();
      Answer(modal, true);
    });
    form->InBox->setCurrentRow(0);
    QCOMPARE(text, QString("The text associated with this message has been deleted."));
    QCOMPARE(owner.CountMessages(), 1);
    QCOMPARE(form->InBox->count(), 1);
    QVERIFY(!form->MailViewer->IsOpen());
  }

  void deletingMovesToTheNextMessage() {
    Start(3);
    form->InBox->setCurrentRow(2);
    QCOMPARE(DeleteAnsweringYes(), QString("Delete \"Mail From ALICE?\""));
    QCOMPARE(form->InBox->count(), 2);
    QCOMPARE(form->InBox->currentRow(), 1);  // the new last line
    QCOMPARE(form->MsgSubject->text(), QString("Message 1"));

    form->InBox->setCurrentRow(0);
    WhenModal([](QWidget* modal) { Answer(modal, false); });
    form->Delete1->trigger();
    QCOMPARE(form->InBox->count(), 2);  // No keeps it

    for (int i = 0; i < 2; ++i) {
      WhenModal([](QWidget* modal) { Answer(modal, true); });
      form->Delete1->trigger();
    }
    QCOMPARE(form->InBox->count(), 0);
    QVERIFY(!form->MailViewer->IsOpen());
    QCOMPARE(form->MsgFrom->text(), QString());
    QVERIFY(!form->DeleteButton->isEnabled());
    QVERIFY(!form->Delete1->isEnabled());
    QCOMPARE(form->windowTitle(), QString("KV Mailbox (BOB: 0 messages)"));
    QVERIFY(!form->property("mailboxFull").toBool());
  }

  void aMessageDroppedOnDeleteAsksTheDeleteQuestion() {
    Start(1);
    form->InBox->setCurrentRow(0);
    auto* data = new QMimeData;
    data->setData("application/x-kvmail-message", "0");
    const QPoint at = form->DeleteButton->rect().center();
    QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->DeleteButton, &enter);
    QVERIFY(enter.isAccepted());
    QString title;
    WhenModal([&](QWidget* modal) {
      title = modal->windowTitle();
      Answer(modal, false);
    });
    QDropEvent drop(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->DeleteButton, &drop);
    QTRY_COMPARE(title, QString("Delete Mail"));

    auto* files = new QMimeData;
    files->setText("some text");
    QDragEnterEvent foreign(at, Qt::CopyAction, files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->DeleteButton, &foreign);
    QVERIFY(!foreign.isAccepted());  // only messages from the In Box
    delete data;
    delete files;
  }

  void everyMessageCommandStartsDisabledOnTheBarAndInTheMenu() {
    Open(2, false, {"BOB"}, 1);
    QVERIFY(MessageCommandsEnabled(false));
    QVERIFY(form->FirstShow());
    QVERIFY(MessageCommandsEnabled(false));
    // With nothing shown, Delete asks nothing and deletes nothing.
    form->Delete1->trigger();
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(StoredSubjects().size(), size_t(2));
    form->InBox->setCurrentRow(0);
    QVERIFY(MessageCommandsEnabled(true));
  }

  void deleteAfterNewMailDeletesTheMessageShown() {
    Start(3, false, {"BOB"}, 0);
    form->InBox->setCurrentRow(2);
    QCOMPARE(form->MsgSubject->text(), QString("Message 2"));
    Deliver("late", {"arrived while Message 2 was shown"});
    form->ScanMailbox();
    QCOMPARE(form->InBox->count(), 4);
    QCOMPARE(form->InBox->currentRow(), 2);  // the selection stays on the message shown
    QVERIFY(form->InBox->IsSelected(2));
    QCOMPARE(DeleteAnsweringYes(), QString("Delete \"Mail From ALICE?\""));
    QCOMPARE(StoredSubjects(), (std::vector<std::string>{"Message 0", "Message 1", "late"}));
    QCOMPARE(form->MsgSubject->text(), QString("late"));  // the next message in its place
    QCOMPARE(form->InBox->currentRow(), 2);
  }

  void pressingOnTheEnvelopeNeverSweepsTheSelection() {
    Start(3, false, {"BOB"}, 0);
    form->resize(700, 450);
    form->InBox->setCurrentRow(0);
    QApplication::processEvents();
    const int h = form->InBox->ItemHeight();
    QWidget* list = form->InBox->viewport();
    // The right half of the envelope, then down over the other lines with
    // the button held: a drag of message 0 starts, nothing else is opened.
    QTest::mousePress(list, Qt::LeftButton, {}, QPoint(15, h / 2));
    QMouseEvent held(QEvent::MouseMove, QPointF(16, h / 2), list->mapToGlobal(QPointF(16, h / 2)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &held);
    QCOMPARE(list->property("programCursor").toInt(), int(widgets::kCursorHandGrab));  // the drag is armed
    QMouseEvent move(QEvent::MouseMove, QPointF(30, 2 * h + h / 2), list->mapToGlobal(QPointF(30, 2 * h + h / 2)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &move);
    QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(30, 2 * h + h / 2));
    QCOMPARE(form->InBox->currentRow(), 0);
    QCOMPARE(form->MsgSubject->text(), QString("Message 0"));
    QVERIFY(!mailstore::SplitInboxLine(ToAnsiLine(1)).read);
    QVERIFY(!mailstore::SplitInboxLine(ToAnsiLine(2)).read);
  }

  // The program runs the first showing before it shows the window: a
  // dialog of that step (the login, an alert, the announcement) has the
  // window behind it; without one the window is left to be shown with its
  // In Box built.
  void firstShowingShowsTheWindowBeforeItsFirstDialog_data() {
    QTest::addColumn<bool>("notify");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("dialogs");
    QTest::newRow("no dialog") << false << "BOB" << 0;
    QTest::newRow("new mail announced") << true << "BOB" << 1;
    QTest::newRow("unknown user: alert, then the login form") << false << "NOBODY" << 2;
    QTest::newRow("login form") << false << "/a" << 1;
  }
  void firstShowingShowsTheWindowBeforeItsFirstDialog() {
    QFETCH(bool, notify);
    QFETCH(QString, argument);
    QFETCH(int, dialogs);
    Open(1, notify, {argument.toStdString()}, 1, false);
    int seen = 0;
    bool hiddenBehindADialog = false;
    std::function<void(QWidget*)> answer = [&](QWidget* modal) {
      if (!form->isVisible()) hiddenBehindADialog = true;
      if (auto* login = qobject_cast<TUserNameForm*>(modal)) {
        QTest::keyClicks(login->NameBox, "bob");
        login->OkButton->click();
      } else {
        Answer(modal, true);
      }
      if (++seen < dialogs) WhenModal(answer);
    };
    if (dialogs > 0) WhenModal(answer);
    QVERIFY(form->FirstShow());
    QCOMPARE(seen, dialogs);
    QVERIFY(!hiddenBehindADialog);
    QCOMPARE(form->isVisible(), dialogs > 0);
    QCOMPARE(form->windowTitle(), QString("KV Mailbox (BOB: 1 message)"));
    QCOMPARE(form->InBox->count(), 1);
    // A later dialog is no longer the step's: it does not show the window.
    form->hide();
    WhenModal([](QWidget* modal) { Answer(modal, true); });
    form->Session().Mail().Ui().ShowNotice("KV Mailbox", "later");
    QVERIFY(!form->isVisible());
  }

  // Placed before it shows: where it was left, or, the first time, in the
  // middle of the screen rather than in its corner.
  void firstShowingPlacesTheWindowBeforeItShows_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("nothing stored") << QString() << true << QPoint();
    QTest::newRow("stored") << "10,20,600,450" << false << QPoint(10, 20);
  }
  void firstShowingPlacesTheWindowBeforeItShows() {
    QFETCH(QString, stored);
    QFETCH(bool, centred);
    QFETCH(QPoint, at);
    if (!stored.isEmpty()) {
      QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Brenlow", "Dashdeck");
      s.setValue("Mail/WindowPos", stored);
    }
    Open(0, false, {"BOB"}, 1, false);
    QVERIFY(form->FirstShow());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    if (centred) QVERIFY((form->geometry().center() - area.center()).manhattanLength() <= 2);
    else QCOMPARE(form->pos(), at);
  }

  void givingUpTheLoginEndsWithoutAQuestionAndWithoutSaving() {
    Open(1, false, {"/a"}, 1);
    QSignalSpy spy(form.get(), &TMainForm::LoginGivenUp);
    WhenModal([](QWidget* modal) {
      QVERIFY(qobject_cast<TUserNameForm*>(modal));
      modal->close();
    });
    QVERIFY(!form->FirstShow());
    QCOMPARE(spy.count(), 1);
    QVERIFY(!form->MailTimer->isActive());
    form->close();  // what the quit request does: no question comes
    QVERIFY(!form->isVisible());
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Brenlow", "Dashdeck");
    QVERIFY(!s.contains("Mail/WindowPos"));  // nothing was saved
  }

  void mailDeliveredNowShowsAtOnceWhateverThePolling() {
    Start(0, false, {"BOB"}, 60);
    QCOMPARE(form->InBox->count(), 0);
    Deliver("First", {"x"});  // the mailbox file is created
    QTRY_COMPARE_WITH_TIMEOUT(form->InBox->count(), 1, 1000);
    Deliver("Second", {"y"});  // and now it grows
    QTRY_COMPARE_WITH_TIMEOUT(form->InBox->count(), 2, 1000);
  }

  void aMailDirectoryThatGoesAwayIsShownAndComesBack() {
    Start(1);
    InTray();
    const std::string away = dir->path() + ".away";
    std::filesystem::rename(dir->path(), away);
    QTRY_COMPARE_WITH_TIMEOUT(form->windowTitle(), QString("KV Mailbox (BOB: Mail Directory not reachable)"), 2500);
    QCOMPARE(form->InBox->count(), 1);  // the In Box waits
    QCOMPARE(form->TrayIcon->ToolTip(), QString("Dashdeck Mailbox: Mail Directory not reachable"));
    std::filesystem::rename(away, dir->path());
    QTRY_COMPARE_WITH_TIMEOUT(form->windowTitle(), QString("KV Mailbox (BOB: 1 message)"), 2500);
    QCOMPARE(form->InBox->count(), 1);
    QCOMPARE(form->TrayIcon->ToolTip(), QString("Dashdeck Mailbox"));
  }

  void mailArrivesWithinAPollingInterval() {
    Start(1);
    Deliver("late", {"arrived while running"});
    QTRY_COMPARE_WITH_TIMEOUT(form->InBox->count(), 2, 5000);
    QCOMPARE(form->windowTitle(), QString("KV Mailbox (BOB: 2 messages)"));
    QVERIFY(form->property("mailboxFull").toBool());
  }

  // ALICE's mailbox as another copy reads it: subject and text of each.
  std::vector<std::pair<std::string, std::string>> MailOf(const std::string& user) {
    mailstore::TMail reader(senderUi);
    reader.SetMailDir(dir->path());
    reader.SetUserName(user);
    std::vector<mailstore::MessageRecord> records;
    reader.ReadMessages(0, records);
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& r : records)
      out.push_back({r.subject, mailstore::PlainMessageText(testing_support::ReadFile(r.textFile))});
    return out;
  }

  void sendMailDeliversWhatIsWritten() {
    Start(0);
    for (const bool scramble : {false, true}) {
      WhenModal([scramble](QWidget* modal) {
        auto* send = qobject_cast<compose::TSendForm*>(modal);
        QVERIFY(send);
        QCOMPARE(send->windowTitle(), QString("Send Mail"));
        QVERIFY(!send->SendButton->isEnabled());
        QTest::keyClicks(send->ToBox, "alice, bob");
        QVERIFY(!send->SendButton->isEnabled());  // nothing written yet
        send->SubjectBox->setText(scramble ? "Secret" : "Lunch");
        send->EncryptMail->setChecked(scramble);
        QTest::keyClicks(send->Editor, "At noon?");
        QVERIFY(send->SendButton->isEnabled());
        send->SendButton->click();
      });
      form->SendMail1->trigger();
    }
    for (const char* user : {"ALICE", "BOB"}) {
      const auto mail = MailOf(user);
      QCOMPARE(mail.size(), size_t(2));
      QCOMPARE(mail[0].first, std::string("Lunch"));
      QCOMPARE(mail[0].second, std::string("At noon?\r\n"));
      QCOMPARE(mail[1].first, std::string("Secret"));
      QCOMPARE(mail[1].second, std::string("At noon?\r\n"));
    }
    QCOMPARE(form->InBox->count(), 2);  // BOB's own copies, scanned after the window closed
  }

  void replyAndForwardOpenFromTheMessageShown() {
    Deliver("REPLY: lunch", {"First line", "Second line"});
    Start(0);
    form->InBox->setCurrentRow(0);
    QString caption, to, subject;
    QWidget* focus = nullptr;
    WhenModal([&](QWidget* modal) {
      auto* send = qobject_cast<compose::TSendForm*>(modal);
      caption = send->windowTitle();
      to = send->ToBox->text();
      subject = send->SubjectBox->text();
      focus = send->focusWidget();
      QVERIFY(send->Editor->IsEmpty());
      QVERIFY(send->Editor == focus);
      send->close();  // nothing written: no question
    });
    form->Reply1->trigger();
    QCOMPARE(caption, QString("Reply to: 'REPLY: lunch'"));
    QCOMPARE(to, QString("ALICE"));
    QCOMPARE(subject, QString("REPLY: lunch"));

    QStringList lines;
    QString caret;
    WhenModal([&](QWidget* modal) {
      auto* send = qobject_cast<compose::TSendForm*>(modal);
      caption = send->windowTitle();
      to = send->ToBox->text();
      subject = send->SubjectBox->text();
      for (int n = 1; n <= send->Editor->LineCount(); ++n) lines << send->Editor->Line(n);
      caret = send->CursorPosPanel->text();
      QVERIFY(send->focusWidget() == send->ToBox);
      WhenModal([](QWidget* question) { Answer(question, true); });  // close without sending
      send->CancelButton->click();
    });
    form->Forward1->trigger();
    QCOMPARE(caption, QString("Forward: 'REPLY: lunch'"));
    QCOMPARE(to, QString());
    QCOMPARE(subject, QString("REPLY: lunch"));
    QCOMPARE(lines, (QStringList{"First line", "Second line", ""}));
    QCOMPARE(caret, QString("1:1"));
  }

  void theTrayIconShowsWhetherMailIsThere() {
    Start(1);
    InTray();
    QVERIFY(form->TrayIcon->Active());
    QCOMPARE(form->TrayIcon->ToolTip(), QString("Dashdeck Mailbox"));
    form->ScanMailbox();
    form->InBox->setCurrentRow(0);
    WhenModal([](QWidget* modal) { Answer(modal, true); });
    form->DeleteButton->click();
    QCOMPARE(form->TrayIcon->IconName(), QString("MailEmptyIcon"));
    Deliver("Again", {"x"});
    QVERIFY(form->ScanMailbox());
    QCOMPARE(form->TrayIcon->IconName(), QString("MailFullIcon"));
  }

  void minimizedInTheTrayTheWindowLeavesAndAClickBringsItBack() {
    Start(0);
    InTray();
    form->showMinimized();
    QTRY_VERIFY(!form->isVisible());
    emit form->TrayIcon->Click();
    QVERIFY(form->isVisible());
    QVERIFY(!form->isMinimized());
  }

  void aDoubleClickWritesMailOrBeepsWhenAWindowIsOpen() {
    Start(0);
    InTray();
    int nested = 0;
    WhenModal([&](QWidget* modal) {
      auto* send = qobject_cast<compose::TSendForm*>(modal);
      QVERIFY(send);
      emit form->TrayIcon->DblClick();  // only restores and beeps
      nested = static_cast<int>(form->findChildren<compose::TSendForm*>().size());
      send->close();
    });
    emit form->TrayIcon->DblClick();
    QCOMPARE(nested, 1);
  }

  // A pause comes in the middle of sending: the poll, a change of the
  // mailbox and the notification area's commands leave the store alone
  // until it ends.
  void duringAPauseTheStoreIsLeftAlone() {
    Start(1);
    InTray();
    QCoreApplication::processEvents();  // the look that follows the login
    Deliver("late", {"arrived during a pause"});
    QTimer::singleShot(0, form.get(), [&] {
      emit form->TrayIcon->DblClick();
      for (QAction* a : form->TrayMenu->actions())
        if (!a->isSeparator()) a->trigger();
    });
    bool windowOpened = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        windowOpened = true;
        Answer(modal, false);
      }
    });
    closer.start(100);
    widgets::PauseMs(1500);  // past a poll and the change seen
    closer.stop();
    QCOMPARE(form->InBox->count(), 1);
    QVERIFY(!windowOpened);
    QVERIFY(form->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(form->InBox->count(), 2, 2500);
  }

  void theTrayMenuClosesWithTheQuestion() {
    Start(0);
    InTray();
    QStringList items;
    for (QAction* a : form->TrayMenu->actions())
      if (!a->isSeparator()) items << a->text();
    QCOMPARE(items, (QStringList{"Send Mail...", "Check Mailbox Now", "Close Mailbox"}));
    QString question;
    WhenModal([&](QWidget* modal) {
      question = qobject_cast<widgets::TAskUserDialog*>(modal)->windowTitle();
      Answer(modal, false);
    });
    form->TrayMenu->actions().last()->trigger();
    QCOMPARE(question, QString("Close Mailbox"));
    QVERIFY(form->TrayIcon->Active());
  }

  void theIconComesWhenTheNotificationAreaDoes() {
    Start(0);
    testing_support::FakeTray& tray = InTray(false);
    QVERIFY(!form->TrayIcon->Active());
    QVERIFY(form->isVisible());
    tray.available = true;
    QTRY_VERIFY_WITH_TIMEOUT(form->TrayIcon->Active(), 3000);
  }

  void aDroppedFileOpensTheSendWindowOnIt() {
    Start(0);
    TempDir files;
    WriteFile(files.File("note.txt"), "Dropped text\r\n");
    bool textMode = false, encryptEnabled = true;
    QString shown;
    WhenModal([&](QWidget* modal) {
      auto* send = qobject_cast<compose::TSendForm*>(modal);
      textMode = !send->EditorMode() && send->SendTextFile->isChecked();
      encryptEnabled = send->EncryptMail->isEnabled();
      shown = send->FileViewer->Line(0);
      WhenModal([](QWidget* question) { Answer(question, true); });
      send->close();
    });
    form->FilesDropped({QString::fromStdString(files.File("note.txt"))});
    QVERIFY(textMode);
    QVERIFY(!encryptEnabled);
    QCOMPARE(shown, QString("Dropped text"));
  }

  void printingKeepsTheMessageShownWhenPrintWasPressed() {
    Start(2);
    testing_support::FakePrinters& printers = InstallPrinters();
    form->InBox->setCurrentRow(0);
    form->MailViewer->MoveCaretToLine(0);
    // While the first page prints, the user picks the other message.
    printers.device.onText = [&](const QString& run) {
      if (run.startsWith("Subject:") && form->InBox->currentRow() == 0) form->InBox->setCurrentRow(1);
    };
    QString prompt;
    WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<prefs::TPrintDialog*>(modal);
      QVERIFY(dialog);
      prompt = dialog->Prompt->text();
      QVERIFY(!dialog->PrintSelected->isEnabled());
      dialog->OkButton->click();
    });
    form->PrintButton->click();
    QCOMPARE(prompt, QString("\"Mail From ALICE\" to Office Laser"));
    QCOMPARE(form->MsgSubject->text(), QString("Message 1"));
    QStringList body;
    for (const auto& e : printers.device.Body()) body << e.text;
    QCOMPARE(body.size(), 4);
    QCOMPARE(body[0], QString("From:    ALICE"));
    QVERIFY(body[1].startsWith("Date:    ") && body[1].size() > 9);
    QCOMPARE(body[2], QString("Subject: Message 0"));
    QCOMPARE(body[3], QString("Text of message 0"));
    QCOMPARE(printers.device.events.front().text, QString("MAIL FROM ALICE"));
    QVERIFY(!progress->isVisible());
  }

  void aMessageDeletedElsewhereWhileTheDialogIsOpenStillPrints() {
    Start(2);
    testing_support::FakePrinters& printers = InstallPrinters();
    form->InBox->setCurrentRow(1);
    WhenModal([&](QWidget* modal) {
      // Another copy of BOB's deletes the message; the poll notices.
      mailstore::TMail other(senderUi);
      other.SetMailDir(dir->path());
      other.SetUserName("BOB");
      std::vector<mailstore::MessageRecord> records;
      other.ReadMessages(0, records);
      int index = 1;
      QCOMPARE(other.DeleteMessage(records[1].textFile, index), 0);
      form->ScanMailbox();
      QCOMPARE(form->InBox->count(), 1);
      qobject_cast<prefs::TPrintDialog*>(modal)->OkButton->click();
    });
    form->Print1->trigger();
    QStringList body;
    for (const auto& e : printers.device.Body()) body << e.text;
    QVERIFY(body.contains("Subject: Message 1"));
    QVERIFY(body.contains("Text of message 1"));
  }

  void givingUpThePrintRunPrintsNothing() {
    Start(1);
    testing_support::FakePrinters& printers = InstallPrinters();
    printers.giveUp = true;
    form->InBox->setCurrentRow(0);
    WhenModal([](QWidget* modal) { qobject_cast<prefs::TPrintDialog*>(modal)->CancelButton->click(); });
    form->Print1->trigger();
    QCOMPARE(printers.opened, 0);
    WhenModal([](QWidget* modal) { qobject_cast<prefs::TPrintDialog*>(modal)->OkButton->click(); });
    form->Print1->trigger();
    QCOMPARE(printers.opened, 1);
    QVERIFY(printers.device.events.empty());
  }

  void changingTheUserShowsTheOtherMailbox() {
    Start(1, false, {"BOB"});
    QVERIFY(!form->ChangeUserName1->isVisible());  // only with the switch U
    form.reset();
    Start(0, false, {"BOB", "/u"});
    QVERIFY(form->ChangeUserName1->isVisible());
    QCOMPARE(form->InBox->count(), 1);
    WhenModal([](QWidget* modal) {
      auto* login = qobject_cast<TUserNameForm*>(modal);
      QVERIFY(login);
      QVERIFY(!login->OnPasswordPage());
      QTest::keyClicks(login->NameBox, "alice");
      login->OkButton->click();
    });
    form->ChangeUserName1->trigger();
    QCOMPARE(form->windowTitle(), QString("KV Mailbox (ALICE: 0 messages)"));
    QCOMPARE(form->InBox->count(), 0);
    QVERIFY(form->MailTimer->isActive());

    QSignalSpy givenUp(form.get(), &TMainForm::LoginGivenUp);
    WhenModal([](QWidget* modal) { modal->close(); });
    form->ChangeUserName1->trigger();
    QCOMPARE(givenUp.count(), 1);  // giving up ends the program
    QCOMPARE(form->windowTitle(), QString("KV Mailbox"));
  }

  void aSecondCopyBringsTheFirstForward() {
    qputenv("KVMAIL_INSTANCE", QByteArray("test-") + QByteArray::number(QCoreApplication::applicationPid()));
    SingleCopy first;
    QVERIFY(!first.AnotherCopyRuns());
    QVERIFY(first.Listen());
    QSignalSpy front(&first, &SingleCopy::BringToFront);
    SingleCopy second;
    QVERIFY(second.AnotherCopyRuns());
    QVERIFY(front.wait(3000));
  }
};

QTEST_MAIN(TestMainForm)
#include "tst_main_form.moc"
