// The Print dialog as the user fills it in.
#include <QtTest>

#include "support/Accessible.h"
#include "prefs/PrintDialog.h"
#include "support/Modal.h"
#include "support/RecordingDevice.h"

using testing_support::FakePrinters;
using testing_support::WhenModal;

class TestPrintDialog : public QObject {
  Q_OBJECT

  shell::TPrinterOptions Options() {
    shell::TPrinterOptions options;
    options.name = "Mail From ALICE";
    options.header = "&F";
    options.copies = 2;
    return options;
  }

 private slots:
  void everyControlHasAName() {
    FakePrinters printers;
    prefs::TPrintDialog dialog(printers);
    dialog.Fill(Options());
    QVERIFY2(testing_support::ControlsWithoutNames(&dialog).isEmpty(), qPrintable(testing_support::ControlsWithoutNames(&dialog).join(", ")));
  }

  void fillsFromTheOptions() {
    FakePrinters printers;
    prefs::TPrintDialog dialog(printers);
    shell::TPrinterOptions options = Options();
    dialog.Fill(options);
    QCOMPARE(dialog.Prompt->text(), QString("\"Mail From ALICE\" to Office Laser"));
    QVERIFY(!dialog.PrintSelected->isEnabled());
    QVERIFY(!dialog.PrintSelected->isChecked());
    QCOMPARE(dialog.Copies->text(), QString("2"));
    QCOMPARE(dialog.Head->text(), QString("&F"));
    QCOMPARE(dialog.Foot->text(), QString("Page &p"));
    QCOMPARE(dialog.LMar->text(), QString("0.75"));
    QCOMPARE(dialog.TMar->text(), QString("0.50"));
    QVERIFY(dialog.Inches->isChecked());
    QVERIFY(dialog.WrapLines->isChecked());
    QCOMPARE(dialog.OkButton->text(), QString("Print"));
    QVERIFY(dialog.OkButton->isDefault());
    QCOMPARE(dialog.size(), QSize(360, 339));

    // Filled in centimetres, the boxes keep the stored numbers.
    options.unitOfMeasure = 1;
    options.printSelected = true;
    dialog.Fill(options);
    QVERIFY(dialog.Centimeters->isChecked());
    QCOMPARE(dialog.LMar->text(), QString("0.75"));
    QVERIFY(dialog.PrintSelected->isEnabled());
    QVERIFY(dialog.PrintSelected->isChecked());
  }

  void boxesTakeOnlyTheirCharacters() {
    FakePrinters printers;
    prefs::TPrintDialog dialog(printers);
    dialog.Fill(Options());
    dialog.LMar->clear();
    QTest::keyClicks(dialog.LMar, "1a,.5-");
    QCOMPARE(dialog.LMar->text(), QString("1.5"));
    QTest::keyClick(dialog.LMar, Qt::Key_Backspace);
    QCOMPARE(dialog.LMar->text(), QString("1."));
    QTest::keyClicks(dialog.LMar, "2345");
    QCOMPARE(dialog.LMar->text(), QString("1.234"));  // five characters at most
    dialog.Copies->clear();
    QTest::keyClicks(dialog.Copies, "1.5x0");
    QCOMPARE(dialog.Copies->text(), QString("150"));
  }

  void switchingTheUnitConvertsTheMargins() {
    FakePrinters printers;
    prefs::TPrintDialog dialog(printers);
    dialog.Fill(Options());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.LMar->setText("1");
    dialog.RMar->setText("");
    QTest::mouseClick(dialog.Centimeters, Qt::LeftButton);
    QCOMPARE(dialog.LMar->text(), QString("2.54"));
    QCOMPARE(dialog.RMar->text(), QString("0.00"));
    QCOMPARE(dialog.TMar->text(), QString("1.27"));
    QTest::mouseClick(dialog.Inches, Qt::LeftButton);
    QCOMPARE(dialog.LMar->text(), QString("1.00"));
  }

  void printWritesTheEntriesBack() {
    FakePrinters printers;
    shell::TPrinterOptions options = Options();
    WhenModal([](QWidget* modal) {
      auto* dialog = qobject_cast<prefs::TPrintDialog*>(modal);
      QVERIFY(dialog);
      dialog->Centimeters->setChecked(true);
      dialog->Copies->setText("1500");
      dialog->LMar->setText(" 1. 2");
      dialog->BMar->setText("");
      dialog->Head->setText("&D");
      dialog->Foot->clear();
      dialog->WrapLines->setChecked(false);
      QTest::keyClick(dialog->Head, Qt::Key_Return);  // the default button
    });
    QVERIFY(prefs::ExecutePrintDialog(options, printers));
    QCOMPARE(options.copies, 999);
    QCOMPARE(options.leftMargin, 1.2);
    QCOMPARE(options.bottomMargin, 0.0);
    QCOMPARE(options.header, std::string("&D"));
    QCOMPARE(options.footer, std::string());
    QVERIFY(!options.wrapLines);
    QCOMPARE(options.unitOfMeasure, 1);
    QCOMPARE(options.name, std::string("Mail From ALICE"));
  }

  void cancelChangesNothing() {
    FakePrinters printers;
    shell::TPrinterOptions options = Options();
    WhenModal([](QWidget* modal) {
      auto* dialog = qobject_cast<prefs::TPrintDialog*>(modal);
      QVERIFY(dialog);
      dialog->Copies->setText("7");
      dialog->Head->setText("changed");
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QVERIFY(!prefs::ExecutePrintDialog(options, printers));
    QCOMPARE(options.copies, 2);
    QCOMPARE(options.header, std::string("&F"));
  }

  void setupNamesTheNewPrinter() {
    FakePrinters printers;
    prefs::TPrintDialog dialog(printers);
    dialog.Fill(Options());
    dialog.SetupButton->click();
    QCOMPARE(printers.setups, 1);
    QCOMPARE(dialog.Prompt->text(), QString("Mail From ALICE to Second Floor"));
  }
};

QTEST_MAIN(TestPrintDialog)
#include "tst_print_dialog.moc"
