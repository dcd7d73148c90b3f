// Shows the program's dialogs and controls with sample texts, one after
// another or by name, so that anyone can look at them under an X server:
//   gallery [alert|ask|notice|input|progress|sending|controls|username|password|fileselector|icons|print]...
#include <QApplication>
#include <cstdio>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "mailstore/TMail.h"
#include "mainwindow/UserNameForm.h"
#include "widgets/Balloon.h"
#include "widgets/DialogUser.h"
#include "widgets/FileIcons.h"
#include "widgets/FileSelectorDialog.h"
#include "prefs/PrintDialog.h"
#include "widgets/Label3D.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Progress.h"
#include "widgets/Resources.h"
#include "widgets/TextViewer.h"
#include "widgets/VelImage.h"
#include "widgets/VelListBox.h"

using namespace widgets;

namespace {

void Controls() {
  TVelForm form;
  form.setWindowTitle("Controls");
  form.setFixedSize(420, 330);
  auto* label = new TLabel3D("Welcome to KV Mailbox", &form);
  QFont font("Arial");
  font.setPixelSize(21);
  font.setBold(true);
  font.setItalic(true);
  label->setFont(font);
  QPalette yellow = label->palette();
  yellow.setColor(QPalette::WindowText, Qt::yellow);
  label->setPalette(yellow);
  label->setGeometry(120, 10, 290, 34);
  auto* splash = new TVelImage(&form);
  splash->SetAutoSize(true);
  splash->SetPicture(Picture("Splash"));
  splash->move(8, 10);
  auto* balloon = new TBalloon(&form);
  balloon->setGeometry(120, 50, 290, 70);
  balloon->SetCaption("A speech balloon with\rtwo lines & an ampersand.");
  auto* list = new TVelListBox(&form);
  list->setGeometry(120, 130, 290, 110);
  list->SetLines({"12/7/2026 2:15p|ALICE|Lunch", "12/7/2026 3:40p.|BOB|Minutes of the meeting"});
  list->SetDrawItem([list](QPainter& p, int index, const QRect& r, bool) {
    const QString line = QString::fromStdString(list->Line(index));
    const bool read = line.section('|', 0, 0).endsWith('.');
    p.drawPixmap(r.left() + 2, r.top() + r.height() / 2 - 7, Picture(read ? "MailOpenImage" : "MailClosedImage"));
    p.drawText(r.adjusted(24, 0, 0, 0), Qt::AlignVCenter, line.section('|', 1));
  });
  auto* ok = new QPushButton(Glyph("ok"), "OK", &form);
  ok->setGeometry(170, 290, 81, 28);
  QObject::connect(ok, &QPushButton::clicked, &form, &QDialog::accept);
  form.exec();
}

// The file list's icons, each at its size and three times larger.
void Icons() {
  TVelForm form;
  form.setWindowTitle("File Icons");
  form.setFixedSize(7 * 70 + 10, 4 * 70 + 10);
  for (int n = 1; n <= shell::kIconCount; ++n) {
    const int x = 10 + (n - 1) % 7 * 70, y = 10 + (n - 1) / 7 * 70;
    auto* small = new QLabel(&form);
    small->setPixmap(FileIconPixmap(n));
    small->setGeometry(x, y, 16, 14);
    auto* large = new QLabel(&form);
    large->setPixmap(FileIconPixmap(n).scaled(48, 42));
    large->setGeometry(x + 18, y, 48, 42);
    auto* number = new QLabel(QString::number(n), &form);
    number->setGeometry(x, y + 44, 40, 14);
  }
  form.exec();
}

void Show(const QString& name) {
  if (name == "alert") {
    ShowAlert("KV Mailbox", "The text associated with this message has been deleted.");
  } else if (name == "ask") {
    AskUser("KV Mailbox",
            "Cannot send mail to BOB.\r\rThe mailbox may have been locked by another user\ror write protected.\r\r"
            "Do you want to attempt to send the message again?");
  } else if (name == "notice") {
    ShowNotice("KV Mailbox", "You have 3 new messages in your mailbox.");
  } else if (name == "input") {
    QString size = "8";
    GetInput("Set Tab Size", "Enter the new tab size:", size, 0, true);
  } else if (name == "progress") {
    TProgressReport progress;
    progress.StartProgress(10);
    for (int i = 0; i < 10 && !progress.Cancelled; ++i) {
      progress.StepProgress("Decyphering Message", QString("Line %1").arg(i + 1), 1);
      QApplication::processEvents();
      PauseMs(150);
    }
    progress.EndProgress();
  } else if (name == "sending") {
    TMailProgressReport sending;
    for (const char* user : {"ALICE", "BOB", "MARY ANN SMITH"}) {
      sending.ShowSending(user);
      QApplication::processEvents();
      PauseMs(600);
    }
    sending.HideSending();
  } else if (name == "controls") {
    Controls();
  } else if (name == "icons") {
    Icons();
  } else if (name == "fileselector") {
    TMailProgressReport sending;
    DialogUser user(sending);
    QString directory, mask = "*.*", file;
    if (ChooseFile("Load File", directory, mask, file, user)) std::printf("%s\n", qPrintable(file));
  } else if (name == "print") {
    prefs::SystemPrinters printers;
    shell::TPrinterOptions options;
    options.name = "Mail From ALICE";
    options.printSelected = true;
    prefs::ExecutePrintDialog(options, printers);
  } else if (name == "username" || name == "password") {
    TMailProgressReport sending;
    DialogUser user(sending);
    mailstore::TMail mail(user);
    mainwindow::TUserNameForm form(mail, "");
    if (name == "password") form.OpenOnPasswordPage("ALICE", "SECRET");
    else form.OpenOnNamePage();
    std::string n, p;
    form.Execute(n, p);
  }
}

const QStringList kNames = {"alert",    "ask",     "notice",   "input",   "progress",
                            "sending",  "controls", "username", "password", "fileselector", "icons", "print"};

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QString argument = argv[i];
    if (argument == "--help" || argument == "-h" || !kNames.contains(argument)) {
      std::FILE* out = argument == "--help" || argument == "-h" ? stdout : stderr;
      if (out == stderr) std::fprintf(stderr, "gallery: no window is called %s\n", argv[i]);
      std::fprintf(out, "Usage: gallery [NAME...]\nShows the program's dialogs and controls one after another "
                        "(all without a NAME).\nNames: %s\n",
                   qPrintable(kNames.join(" ")));
      return out == stdout ? 0 : 2;
    }
  }
  QApplication app(argc, argv);
  InitResources();
  CreateAlertWindow();
  QStringList names = app.arguments().mid(1);
  if (names.isEmpty()) names = kNames;
  QTimer::singleShot(0, [names] {
    for (const QString& name : names) Show(name);
    QApplication::quit();
  });
  return app.exec();
}
