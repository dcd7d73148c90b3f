// kvmail: the program.  main() only wires the layers together.
#include <QApplication>
#include <QSessionManager>
#include <QTimer>

#include "mainwindow/MainForm.h"
#include "mainwindow/SingleCopy.h"
#include "widgets/DialogUser.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Progress.h"
#include "widgets/Resources.h"

namespace {

// Every error that reaches the event loop is shown, and the program goes on.
class Application : public QApplication {
 public:
  using QApplication::QApplication;
  mailstore::UserInteraction* user = nullptr;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (...) {
      if (user) user->ReportException(mailstore::MailError::FromCurrentException());
      return false;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  Application app(argc, argv);
  app.setApplicationName("KV Mailbox");
  widgets::InitResources();
  app.setWindowIcon(widgets::ProgramIcon());

  mainwindow::SingleCopy single;
  if (single.AnotherCopyRuns()) return 0;
  single.Listen();

  std::vector<std::string> arguments;
  for (const QString& argument : app.arguments().mid(1)) arguments.push_back(argument.toStdString());

  widgets::TProgressReport progress;
  widgets::TMailProgressReport sending;
  widgets::DialogUser user(sending);
  app.user = &user;
  mainwindow::TMainForm mainForm(arguments, progress, sending);
  widgets::CreateAlertWindow();

  QObject::connect(&single, &mainwindow::SingleCopy::BringToFront, &mainForm, [&mainForm] {
    mainForm.showNormal();
    mainForm.raise();
    mainForm.activateWindow();
  });
  QObject::connect(&app, &QGuiApplication::applicationStateChanged, &mainForm, [&mainForm](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) mainForm.ScanMailbox();
  });
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm,
                   [&mainForm](QSessionManager&) { mainForm.SessionEnding(); });
  QObject::connect(&mainForm, &mainwindow::TMainForm::LoginGivenUp, &app, &QApplication::quit, Qt::QueuedConnection);

  mainForm.show();
  QTimer::singleShot(0, &mainForm, [&mainForm] { mainForm.FirstShow(); });
  return app.exec();
}
