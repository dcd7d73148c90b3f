// The program's help: every topic a window asks for exists, and the help
// window shows it under the program's caption.
#include <QDialog>
#include <QHelpEngine>
#include <QTabBar>
#include <QWindow>
#include <QHelpIndexWidget>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QTextBlock>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStringListModel>
#include <QTabWidget>
#include <QtTest>

#include "support/Accessible.h"
#include "widgets/Help.h"
#include "widgets/HelpWindow.h"
#include "widgets/ProgramModule.h"

class TestHelp : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void everyContextOpensATopicThatExists() {
    const QString collection = widgets::HelpCollectionFile();
    QVERIFY2(!collection.isEmpty(), "no help collection beside the program");
    QHelpEngine engine(collection);
    QVERIFY(engine.setupData());
    for (const int context : widgets::kHelpContexts) {
      const QString url = widgets::HelpTopicUrl(engine, context);
      QVERIFY2(!url.isEmpty(), qPrintable(QString("no topic for help context %1").arg(context)));
      QUrl page(url);
      page.setFragment(QString());
      const QByteArray html = engine.fileData(page);
      QVERIFY2(html.contains("<h1>"), qPrintable(url));
      const QString fragment = QUrl(url).fragment();
      if (!fragment.isEmpty()) QVERIFY2(html.contains("id=\"" + fragment.toUtf8() + "\""), qPrintable(url));
    }
    QVERIFY(widgets::HelpTopicUrl(engine, 4711).isEmpty());
  }

  void everyLinkBetweenPagesLeadsToAPage() {
    QHelpEngine engine(widgets::HelpCollectionFile());
    QVERIFY(engine.setupData());
    const QList<QUrl> files = engine.files("kvmail.help", QStringList(), "html");
    QVERIFY(files.size() >= 14);
    const QRegularExpression link("href=\"([a-z-]+\\.html)");
    for (const QUrl& file : files) {
      const QString html = QString::fromUtf8(engine.fileData(file));
      for (auto match = link.globalMatch(html); match.hasNext();) {
        const QUrl target = file.resolved(QUrl(match.next().captured(1)));
        QVERIFY2(!engine.fileData(target).isEmpty(), qPrintable(file.toString() + " -> " + target.toString()));
      }
    }
  }

  // A module that is missing, or lacks the function, is told, not a crash.
  void aModuleThatCannotBeLoadedIsTold() {
    QString error;
    QVERIFY(!widgets::ProgramModuleFunction("kvmail_no_such_module", widgets::kMakeHelpPages, error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!widgets::ProgramModuleFunction(widgets::kHelpModule, "NoSuchFunction", error));
    QVERIFY(!error.isEmpty());
    QVERIFY(widgets::ProgramModuleFunction(widgets::kHelpModule, widgets::kMakeHelpPages, error));
    QVERIFY(error.isEmpty());
  }

  // The window comes from the help module beside the program.
  void theWindowShowsTheTopicUnderTheProgramsCaption() {
    QVERIFY(!widgets::HelpWindow());
    widgets::ShowHelpTopic(widgets::kHelpUsingTheMailbox);
    QWidget* window = widgets::HelpWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->windowTitle(), QString("KV Mailbox Help - Using the Mailbox"));
    const QStringList unnamed = testing_support::ControlsWithoutNames(window);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
    widgets::ShowHelpTopic(widgets::kHelpPrintDialog);
    QCOMPARE(widgets::HelpWindow(), window);
    QCOMPARE(window->windowTitle(), QString("KV Mailbox Help - Printing a Message"));
    widgets::ShowHelp(widgets::HelpRequest::kUsingHelp);
    QCOMPARE(window->windowTitle(), QString("KV Mailbox Help - How to Use Help"));
    auto* navigation = window->findChild<QTabWidget*>("Navigation");
    QVERIFY(navigation);
    widgets::ShowHelp(widgets::HelpRequest::kSearch);
    QCOMPARE(navigation->currentIndex(), 2);
    widgets::ShowHelp(widgets::HelpRequest::kContents);
    QCOMPARE(window->windowTitle(), QString("KV Mailbox Help"));
    QCOMPARE(navigation->currentIndex(), 0);
    auto* index = window->findChild<QHelpIndexWidget*>();
    QVERIFY(index);
    QTRY_VERIFY(qobject_cast<QStringListModel*>(index->model())->stringList().contains("printing"));

    // Closed, the window goes; the next request makes another.
    window->close();
    QTRY_VERIFY(!widgets::HelpWindow());
    widgets::ShowHelp(widgets::HelpRequest::kContents);
    QVERIFY(widgets::HelpWindow());
    QVERIFY(widgets::HelpWindow() != nullptr && widgets::HelpWindow()->isVisible());
    widgets::HelpWindow()->close();
  }

  // The search finds pages however help was opened, with no index built
  // before, and what it shows of them is text, not markup.
  void searchWorksHoweverHelpWasOpened() {
    QDir(QFileInfo(widgets::HelpCollectionFile()).absolutePath() + "/.kvmail").removeRecursively();
    widgets::ShowHelpTopic(widgets::kHelpUsingTheMailbox);
    QWidget* help = widgets::HelpWindow();
    QVERIFY(help);
    auto* engine = help->findChild<QHelpSearchEngine*>();
    auto* results = help->findChild<QTextBrowser*>("SearchResults");
    auto* page = help->findChild<QTextBrowser*>("Page");
    QLineEdit* words = engine->queryWidget()->findChild<QLineEdit*>();
    words->setText("decyphering");
    QTest::keyClick(words, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(results->toPlainText().contains("Using the Mailbox"), 10000);
    const QString shown = results->toPlainText();
    QVERIFY2(shown.contains("\"Decyphering Message\""), qPrintable(shown));
    QVERIFY2(!QRegularExpression("&[a-z#]|quot;").match(shown).hasMatch(), qPrintable(shown));

    // A page found opens.
    const QTextBlock link = results->document()->firstBlock();
    QSignalSpy opened(page, &QTextBrowser::sourceChanged);
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {},
                      results->cursorRect(QTextCursor(link)).center() + QPoint(4, 0));
    QTRY_COMPARE(page->source().fileName(), QString("mailbox.html"));
    help->close();
  }

  void snippetsShowWholeEntities_data() {
    QTest::addColumn<QString>("snippet");
    QTest::addColumn<QString>("html");
    QTest::newRow("whole") << "a &quot;<b>word</b>&quot; b" << "a &quot;<b>word</b>&quot; b";
    QTest::newRow("cut at the end") << "...a short &quot..." << "...a short &quot;...";
    QTest::newRow("cut at the start") << "...quot;Decyphering Message&quot; <b>progress</b>"
                                      << "...&quot;Decyphering Message&quot; <b>progress</b>";
    QTest::newRow("the name found") << "after a short &<b>quot</b>..." << "after a short &quot;...";
    QTest::newRow("ampersands") << "<b>&amp;&amp</b>" << "<b>&amp;&amp;</b>";
    QTest::newRow("a word like a name") << "quote the amp of gt" << "quote the amp of gt";
  }
  void snippetsShowWholeEntities() {
    QFETCH(QString, snippet);
    QFETCH(QString, html);
    QCOMPARE(widgets::HelpSnippetHtml(snippet), html);
  }

  // Help asked for from a modal window takes input and stays above it;
  // once that window closes it stands on its own.
  void helpFromAModalWindowTakesInput() {
    QDialog dialog;
    dialog.setWindowTitle("Send Mail");
    int tab = -1;
    QWindow* owner = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
      widgets::ShowHelpTopic(widgets::kHelpSendWindow, &dialog);
      QWidget* help = widgets::HelpWindow();
      owner = help->windowHandle()->transientParent();
      QTabBar* bar = help->findChild<QTabWidget*>("Navigation")->tabBar();
      // As the window system delivers it, where a modal window blocks it.
      QTest::mouseClick(help->windowHandle(), Qt::LeftButton, {}, bar->mapTo(help, bar->tabRect(1).center()));
      tab = bar->currentIndex();
      dialog.accept();
    });
    dialog.exec();
    QCOMPARE(tab, 1);
    QCOMPARE(owner, dialog.windowHandle());
    QWidget* help = widgets::HelpWindow();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowHandle()->transientParent(), nullptr);
    help->close();
  }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
