// Every page of the help describes the program as it is: each control,
// command or window a page names in bold is there under that caption.
#include <QAction>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QtTest>

#include "compose/SendForm.h"
#include "compose/SpellChecker.h"
#include "compose/UserListDialog.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/UserNameForm.h"
#include "prefs/PrintDialog.h"
#include "prefs/SetupDialog.h"
#include "shell/StoredSettings.h"
#include "support/MailFixture.h"
#include "support/RecordingDevice.h"
#include "support/TempDir.h"
#include "widgets/DirSelectorDialog.h"
#include "widgets/FileSelectorDialog.h"
#include "widgets/Help.h"
#include "widgets/MailEditor.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Progress.h"

namespace {

// A caption as the help names it: no underlined letter, no "..." or ":".
QString Named(QString caption) {
  caption.replace("&&", "\x01").remove(u'&').replace(u'\x01', u'&');
  caption = caption.trimmed();
  for (const QString end : {"...", ":"})
    if (caption.endsWith(end)) caption.chop(end.size());
  return caption.trimmed();
}

}  // namespace

class TestHelpPages : public QObject {
  Q_OBJECT

  QSet<QString> captions_;

  // Every caption a person sees in `window`: its title, its controls,
  // its menus and commands, the names read out for its lists.
  void Collect(QWidget& window) {
    captions_ << Named(window.windowTitle());
    for (QWidget* w : window.findChildren<QWidget*>()) {
      if (!w->accessibleName().isEmpty()) captions_ << Named(w->accessibleName());
      if (auto* b = qobject_cast<QAbstractButton*>(w)) captions_ << Named(b->text());
      if (auto* l = qobject_cast<QLabel*>(w)) captions_ << Named(l->text());
      if (auto* g = qobject_cast<QGroupBox*>(w)) captions_ << Named(g->title());
      if (auto* m = qobject_cast<QMenu*>(w)) captions_ << Named(m->title());
      if (auto* t = qobject_cast<QTabBar*>(w))
        for (int i = 0; i < t->count(); ++i) captions_ << Named(t->tabText(i));
    }
    for (QAction* a : window.findChildren<QAction*>()) captions_ << Named(a->text());
  }

 private slots:
  void initTestCase() {
    testing_support::TempDir dir, config;
    testing_support::WriteFile(dir.File("MASTER.INI"), "[USERS]\r\nALICE=\r\nBOB=\r\n");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config.path()));
    testing_support::ScriptedUi ui;
    shell::StoredSettings settings;
    shell::MailSession session(ui, settings);
    session.SetMailDir(dir.path());
    session.Mail().SetUserName("ALICE");
    widgets::TProgressReport progress;
    widgets::TMailProgressReport sending;
    testing_support::FakePrinters printers;

    mainwindow::TMainForm main({"ALICE"}, progress, sending);
    Collect(main);
    compose::SendContext context{session, printers, progress, QFont("Courier New"), QFont("Courier New"), nullptr, {}};
    compose::TSendForm send(context);
    Collect(send);
    prefs::TSetupDialog setup(ui);
    Collect(setup);
    prefs::TPrintDialog print(printers);
    Collect(print);
    widgets::TMailEditor editor;
    compose::TSpellCheckerDialog spelling(editor, {dir.path(), dir.path(), QFont("Courier New"), {}}, ui);
    Collect(spelling);
    compose::TUserListDialog picker(session.Mail());
    Collect(picker);
    widgets::TFileSelectorDialog files(ui);
    Collect(files);
    widgets::TDirSelectorDialog directories(true, ui);
    Collect(directories);
    mainwindow::TUserNameForm login(session.Mail(), "");
    Collect(login);
    progress.StartProgress(2);  // its controls are made when first used
    Collect(progress);
    widgets::TFileSearchProgressDialog search;
    Collect(search);
    widgets::TGetInputDialog input;
    Collect(input);
    widgets::TAskUserDialog question;
    Collect(question);
    widgets::ShowHelp(widgets::HelpRequest::kContents);
    QVERIFY(widgets::HelpWindow());
    Collect(*widgets::HelpWindow());
    widgets::HelpWindow()->close();
    if (qEnvironmentVariableIsSet("KVMAIL_LIST_CAPTIONS")) {
      QStringList all(captions_.begin(), captions_.end());
      all.sort();
      qInfo().noquote() << all.join(" | ");
    }
  }

  void everyNameInBoldIsOnTheScreen() {
    const QDir pages(KVMAIL_HELP_DIR);
    const QStringList files = pages.entryList({"*.html"});
    QVERIFY(files.size() >= 14);
    const QRegularExpression bold("<b>(.*?)</b>", QRegularExpression::DotMatchesEverythingOption);
    QStringList missing;
    for (const QString& file : files) {
      QFile page(pages.filePath(file));
      QVERIFY(page.open(QIODevice::ReadOnly));
      const QString html = QString::fromUtf8(page.readAll());
      for (auto match = bold.globalMatch(html); match.hasNext();) {
        const QString name = match.next().captured(1).simplified().replace("&amp;", "&");
        if (!captions_.contains(name)) missing << file + ": " + name;
      }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join("; ")));
  }
};

QTEST_MAIN(TestHelpPages)
#include "tst_help_pages.moc"
