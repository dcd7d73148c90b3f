// The spelling checker's walk through the editor's text, driven as the
// dialog's buttons drive it.
#include <QtTest>

#include "support/Accessible.h"
#include "compose/SpellChecker.h"
#include "platform/Files.h"
#include "support/MailFixture.h"
#include "support/TempDir.h"
#include "widgets/Help.h"

using compose::TSpellCheckerDialog;
using testing_support::TempDir;
using testing_support::WriteFile;

class TestSpellChecker : public QObject {
  Q_OBJECT

  std::unique_ptr<TempDir> program, user;
  std::unique_ptr<widgets::TMailEditor> editor;
  testing_support::ScriptedUi ui;

  compose::SpellSettings Settings() const {
    return {program->path(), user->path(), QFont("Courier New"), {}};
  }
  // The words the check stops at, skipping each.
  QStringList StopsSkipping(const QString& text) {
    editor->setPlainText(text);
    TSpellCheckerDialog dialog(*editor, Settings(), ui);
    QStringList stops;
    for (bool stopped = dialog.CheckNext(); stopped; stopped = dialog.CheckNext()) {
      stops << dialog.CurrentWord();
      const QStringList unnamed = testing_support::ControlsWithoutNames(&dialog);
      if (!unnamed.isEmpty()) qWarning("controls without a name: %s", qPrintable(unnamed.join(", ")));
      unnamedControls += unnamed.size();
    }
    return stops;
  }
  int unnamedControls = 0;
  QString LastAlert() const { return ui.shown.empty() ? QString() : QString::fromStdString(ui.shown.back().text); }

 private slots:
  void init() {
    if (!platform::FileExists("/usr/share/hunspell/en_US.dic"))
      QSKIP("no Hunspell dictionary en_US (Debian package hunspell-en-us)");
    program = std::make_unique<TempDir>();
    user = std::make_unique<TempDir>();
    WriteFile(program->File("SSCEAM1.CLX"), "/usr/share/hunspell/en_US\n");
    WriteFile(program->File("SSCEAM.TLX"), "teh\tthe\r\n");
    editor = std::make_unique<widgets::TMailEditor>();
    editor->resize(600, 300);
    editor->show();
    ui = {};
  }

  void cleanup() {
    // Every stop of every test showed the dialog with a name on each control.
    QCOMPARE(unnamedControls, 0);
    unnamedControls = 0;
  }

  void aCleanTextOnlySaysSo() {
    QCOMPARE(StopsSkipping("The quick brown fox jumps over a lazy dog."), QStringList());
    QCOMPARE(ui.shown.size(), size_t(1));
    QCOMPARE(LastAlert(), QString("Spell Check is complete.\rNo errors were found."));
  }

  void automaticChangesOnlySayTheCheckIsComplete() {
    QCOMPARE(StopsSkipping("teh cat and teh dog"), QStringList());
    QCOMPARE(LastAlert(), QString("Spell Check is complete."));
    QCOMPARE(editor->toPlainText(), QString("the cat and the dog"));
  }

  void f1AsksForTheHelpOfTheChecker() {
    editor->setPlainText("wrold");
    TSpellCheckerDialog dialog(*editor, Settings(), ui);
    QVERIFY(dialog.CheckNext());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    int asked = 0;
    widgets::SetHelpHandler([&](widgets::HelpRequest, int context, QWidget*) { asked = context; });
    QTest::keyClick(dialog.UnknownWordBox, Qt::Key_F1);
    widgets::SetHelpHandler(nullptr);
    QCOMPARE(asked, widgets::kHelpSpellingButton);
  }

  // The context box shows the editor's background all over, not only
  // behind the line.
  void theContextIsPaintedAllOver() {
    editor->setPlainText("a wrold");
    compose::SpellSettings settings = Settings();
    settings.colours = {0x000000, 0xFFFFFF, 0xFFFFFF, 0x800000};  // black on white, white on navy
    TSpellCheckerDialog dialog(*editor, settings, ui);
    QVERIFY(dialog.CheckNext());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QImage shot = dialog.ScrollBox->viewport()->grab().toImage();
    for (const QPoint at : {QPoint(2, shot.height() - 2), QPoint(shot.width() - 2, shot.height() - 2),
                            QPoint(shot.width() - 2, 2)})
      QCOMPARE(QColor(shot.pixel(at)), QColor(Qt::white));
  }

  void wordsAreLettersAndApostrophes() {
    QCOMPARE(StopsSkipping("abcq123defq wrold-peice x y z don't"), (QStringList{"abcq", "defq", "wrold", "peice"}));
  }

  void changeAllReplacesLaterOnesAndSkipAllPassesThem() {
    editor->setPlainText("wrold one wrold two zzqx three zzqx");
    TSpellCheckerDialog dialog(*editor, Settings(), ui);
    QVERIFY(dialog.CheckNext());
    QCOMPARE(dialog.CurrentWord(), QString("wrold"));
    dialog.ChangeToBox->setText("world");
    dialog.ChangeAllButtonClick();
    QCOMPARE(dialog.CurrentWord(), QString("zzqx"));  // the second wrold changed without stopping
    dialog.SkipAllButtonClick();                     // the second zzqx passes
    QCOMPARE(editor->toPlainText(), QString("world one world two zzqx three zzqx"));
    QCOMPARE(LastAlert(), QString("Spell Check is complete."));
  }

  void aLongerOrShorterReplacementKeepsTheWalkAfterIt() {
    editor->setPlainText("xq wrold zzqa");
    TSpellCheckerDialog dialog(*editor, Settings(), ui);
    QVERIFY(dialog.CheckNext());
    QCOMPARE(dialog.CurrentWord(), QString("xq"));
    dialog.ChangeToBox->setText("example");
    dialog.ChangeButtonClick();
    QCOMPARE(dialog.CurrentWord(), QString("wrold"));
    dialog.ChangeToBox->setText("w");
    dialog.ChangeButtonClick();
    QCOMPARE(dialog.CurrentWord(), QString("zzqa"));
    QCOMPARE(editor->toPlainText(), QString("example w zzqa"));
  }

  void aWordAddedToTheUserDictionaryPassesInTheNextRun() {
    QCOMPARE(StopsSkipping("Brenlowx"), QStringList{"Brenlowx"});
    {
      editor->setPlainText("Brenlowx");
      TSpellCheckerDialog dialog(*editor, Settings(), ui);
      QVERIFY(dialog.CheckNext());
      dialog.AddButtonClick();
    }
    QVERIFY(platform::FileExists(user->File("UIGNORE.TLX")));
    QCOMPARE(StopsSkipping("Brenlowx"), QStringList());
  }

  void suggestionsComeFromTheDictionary() {
    editor->setPlainText("I recieve mail");
    TSpellCheckerDialog dialog(*editor, Settings(), ui);
    QVERIFY(dialog.CheckNext());
    QStringList suggestions;
    for (int i = 0; i < dialog.WordList->count(); ++i) suggestions << dialog.WordList->item(i)->text();
    QVERIFY2(suggestions.contains("receive"), qPrintable(suggestions.join(",")));
    QVERIFY(!dialog.ChangeButton->isEnabled());
    dialog.WordList->setCurrentRow(suggestions.indexOf("receive"));
    QCOMPARE(dialog.ChangeToBox->text(), QString("receive"));
    QVERIFY(dialog.ChangeButton->isEnabled());
  }

  void withWordWrapTheCheckGoesByDisplayedLines() {
    editor->SetWordWrap(true);
    editor->resize(160, 300);
    editor->setPlainText("alpha beta gamma delta wrold epsilon zeta");
    QCoreApplication::processEvents();
    compose::DisplayedLines lines(*editor);
    QVERIFY(lines.Count() > 1);
    TSpellCheckerDialog dialog(*editor, Settings(), ui);
    QVERIFY(dialog.CheckNext());
    QCOMPARE(dialog.CurrentWord(), QString("wrold"));
    dialog.ChangeToBox->setText("world");
    dialog.ChangeButtonClick();
    QCOMPARE(editor->toPlainText(), QString("alpha beta gamma delta world epsilon zeta"));
  }

  void aMissingMainLexiconIsToldAndTheCheckRunsOn() {
    QFile::remove(QString::fromStdString(program->File("SSCEAM.TLX")));
    QCOMPARE(StopsSkipping("wrold"), QStringList{"wrold"});
    QCOMPARE(QString::fromStdString(ui.shown.front().text), QString("Cannot find dictionary file SSCEAM.TLX!"));
  }

  void aVeryLongWordDoesNoHarm() {
    QCOMPARE(StopsSkipping(QString(500, u'q') + " fine"), QStringList());
  }
};

QTEST_MAIN(TestSpellChecker)
#include "tst_spell_checker.moc"
