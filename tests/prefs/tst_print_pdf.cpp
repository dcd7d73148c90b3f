// A message printed to a PDF file, the way a user without a printer gets
// one, and read back as text.
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QSpinBox>
#include <QProcess>
#include <QtTest>

#include "prefs/PrintAdapters.h"
#include "prefs/PrintMessage.h"
#include "prefs/SystemPrinters.h"
#include "support/MailFixture.h"
#include "support/RecordingDevice.h"
#include "support/Modal.h"
#include "support/TempDir.h"

class TestPrintPdf : public QObject {
  Q_OBJECT

  // The pages of a PDF file as pdftotext lays them out.
  static QStringList Pages(const QString& pdf) {
    QProcess process;
    process.start("pdftotext", {"-layout", pdf, "-"});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) pages.removeLast();
    return pages;
  }
  static QStringList NonEmptyLines(const QString& page) {
    QStringList out;
    for (const QString& line : page.split(u'\n'))
      if (!line.trimmed().isEmpty()) out << line;
    return out;
  }

 private slots:
  void initTestCase() {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) QSKIP("pdftotext (poppler-utils) is not installed");
  }

  void aMessagePrintedToAFileReadsBack() {
    prefs::SystemPrinters printers;
    if (printers.CurrentPrinterName() != prefs::kPdfFileName)
      QSKIP("this machine has a printer, so printing goes to it and not to a file");
    testing_support::TempDir dir;
    const QString file = QString::fromStdString(dir.File("message.pdf"));
    QString suggested;
    printers.SetPdfFileChooser([&](QWidget*, const QString& name) {
      suggested = name;
      return file;
    });

    QPlainTextEdit viewer;
    viewer.setFont(QFont("Liberation Mono", 10));
    viewer.setPlainText("Dear Bob,\n\n\tthe meeting moves to Friday.\n\nAnn");
    shell::TPrinterOptions options;
    options.name = "Mail From ANN";
    options.header = "&F";
    options.copies = 2;
    testing_support::FakeClock clock;
    testing_support::ScriptedUi ui;
    testing_support::NoProgress progress;

    auto device = printers.OpenPrinter(QString::fromStdString(options.name), nullptr);
    QVERIFY(device);
    QVERIFY(suggested.endsWith("/Mail From ANN.pdf"));
    prefs::PrintMessageText(prefs::TextSnapshot(viewer), {"", "Meeting", "12/7/2026 2:15p", "ANN"}, options, *device,
                            progress, clock, ui);
    device.reset();
    QVERIFY2(ui.shown.empty(), ui.shown.empty() ? "" : ui.shown[0].text.c_str());

    const QStringList pages = Pages(file);
    QCOMPARE(pages.size(), 2);  // two copies, each one page
    for (const QString& page : pages) {
      const QStringList lines = NonEmptyLines(page);
      QVERIFY2(lines.size() == 8, qPrintable(page));
      QCOMPARE(lines.first().trimmed(), QString("Mail From ANN"));  // the header, centred
      QVERIFY(lines.first().startsWith("   "));
      QCOMPARE(lines[1].trimmed(), QString("From:    ANN"));
      QCOMPARE(lines[2].trimmed(), QString("Date:    12/7/2026 2:15p"));
      QCOMPARE(lines[3].trimmed(), QString("Subject: Meeting"));
      QCOMPARE(lines[4].trimmed(), QString("Dear Bob,"));
      QCOMPARE(lines[5].trimmed(), QString("the meeting moves to Friday."));
      QCOMPARE(lines[6].trimmed(), QString("Ann"));
      QCOMPARE(lines.last().trimmed(), QString("Page 1"));  // the footer of each copy
    }
  }

  // The setup chooses the printer and prints nothing: no copies of its
  // own, and OK where the print dialog says Print.
  void theSetupOffersNoCopiesAndNoPrintButton() {
    prefs::SystemPrinters printers;
    QString accept;
    bool copiesShown = true;
    testing_support::WhenModal([&](QWidget* modal) {
      auto* dialog = qobject_cast<QPrintDialog*>(modal);
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), QString("Print Setup"));
      auto* copies = dialog->findChild<QSpinBox*>("copies");
      copiesShown = copies != nullptr && copies->isVisibleTo(dialog);
      for (auto* box : dialog->findChildren<QDialogButtonBox*>())
        for (QAbstractButton* b : box->buttons())
          if (box->buttonRole(b) == QDialogButtonBox::AcceptRole) accept = b->text();
      dialog->reject();
    });
    printers.RunSetupDialog(nullptr);
    QCOMPARE(accept, QString("OK"));
    QVERIFY(!copiesShown);
  }

  void aFileThatCannotBeWrittenIsReported() {
    prefs::SystemPrinters printers;
    if (printers.CurrentPrinterName() != prefs::kPdfFileName) QSKIP("this machine has a printer");
    printers.SetPdfFileChooser([](QWidget*, const QString&) { return QString("/nonexistent-dir/x/out.pdf"); });
    QPlainTextEdit viewer;
    viewer.setPlainText("text");
    shell::TPrinterOptions options;
    options.name = "Mail From ANN";
    testing_support::FakeClock clock;
    testing_support::ScriptedUi ui;
    testing_support::NoProgress progress;
    auto device = printers.OpenPrinter("Mail From ANN", nullptr);
    QVERIFY(device);
    prefs::PrintMessageText(prefs::TextSnapshot(viewer), {"", "s", "d", "f"}, options, *device, progress, clock, ui);
    QCOMPARE(ui.CountOf("error"), 1);
    QVERIFY(QString::fromStdString(ui.shown[0].text).contains("/nonexistent-dir/x/out.pdf"));
  }

  void givingUpTheFileNamePrintsNothing() {
    prefs::SystemPrinters printers;
    if (printers.CurrentPrinterName() != prefs::kPdfFileName) QSKIP("this machine has a printer");
    printers.SetPdfFileChooser([](QWidget*, const QString&) { return QString(); });
    QVERIFY(!printers.OpenPrinter("Mail From ANN", nullptr));
  }
};

QTEST_MAIN(TestPrintPdf)
#include "tst_print_pdf.moc"
