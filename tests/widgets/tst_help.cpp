// The program's help: every topic a window asks for exists, and the help
// window shows it under the program's caption.
#include <QHelpEngine>
#include <QHelpIndexWidget>
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
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
