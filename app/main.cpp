// kvmail: the program.  main() only wires the layers together.
#include <QApplication>
#include <QStyle>
#include <QSessionManager>

#include <cstdio>
#include <memory>

#include "mainwindow/MainForm.h"
#include "mainwindow/SingleCopy.h"
#include "widgets/DialogUser.h"
#include "widgets/FontsAhead.h"
#include "widgets/MessageDialogs.h"
#include "widgets/ProgramStyle.h"
#include "widgets/Progress.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "shell/AnsiText.h"
#include "shell/SettingsFile.h"
#include "widgets/Resources.h"
#include "widgets/SessionBusAhead.h"

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

// Whether a window can be shown at all: a display, or a platform chosen
// for Qt by hand.
bool HaveDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    if (!platform::GetEnv(name).empty()) return true;
  return false;
}

// The connection to the desktop's session bus is begun as soon as the
// application object exists, while it is still being made.
void BeginSessionBus() { widgets::ConnectSessionBusAhead(); }
Q_COREAPP_STARTUP_FUNCTION(BeginSessionBus)

}  // namespace

int main(int argc, char** argv) {
  if (!HaveDisplay()) {
    std::fputs("kvmail needs a display and none was found; to read and send mail from a terminal use "
               "kvmailctl (kvmailctl --help).\n",
               stderr);
    return 1;
  }
  // Two readings the first window waits for are begun before the window
  // system is even connected: the font configuration, and the Mail
  // Directory the In Box is checked against.
  const widgets::FontConfigurationAhead fontConfiguration;
  auto mailDirectory = std::make_unique<platform::DirectoryReadingAhead>(shell::StartingMailDir());
  Application app(argc, argv);
  struct BusWait {
    ~BusWait() { widgets::WaitForSessionBusAhead(); }
  } busWait;
  app.setStyle(new widgets::ProgramStyle(QApplication::style()->name()));
  app.setApplicationName(mailstore::kProgramTitle);
  widgets::InitResources();
  app.setWindowIcon(widgets::ProgramIcon());

  mainwindow::SingleCopy single;
  if (single.AnotherCopyRuns()) return 0;
  single.Listen();

  std::vector<std::string> arguments;
  // The store's texts are Windows-1252: a name given as "jörg" is JÖRG there.
  for (const QString& argument : app.arguments().mid(1)) arguments.push_back(shell::ToAnsi(argument));

  widgets::TProgressReport progress;
  widgets::TMailProgressReport sending;
  widgets::DialogUser user(sending);
  app.user = &user;
  mainwindow::TMainForm mainForm(arguments, progress, sending);
  mainForm.Session().Mail().SetReadingAhead(std::move(mailDirectory));
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
  // The program ends when its mailbox is closed, not when its last visible
  // window closes: in the notification area a notice may be the only one.
  app.setQuitOnLastWindowClosed(false);
  QObject::connect(&mainForm, &mainwindow::TMainForm::Closed, &app, &QApplication::quit, Qt::QueuedConnection);

  // The first showing identifies the user and builds the In Box before the
  // window appears (unless a dialog needs it first): the window appears
  // once, with its list and caption.
  bool loggedIn = true;
  try {
    loggedIn = mainForm.FirstShow();
  } catch (...) {
    mainForm.show();  // with what it has, behind the error
    user.ReportException(mailstore::MailError::FromCurrentException());
  }
  if (loggedIn) {
    mainForm.show();
    // Where the desktop has a notification area the program starts there,
    // its icon showing; elsewhere it stays an ordinary window, and the icon
    // comes when a notification area does.
    if (mainForm.EnterTrayMode()) mainForm.MinimizeToTray();
  }
  return app.exec();
}
