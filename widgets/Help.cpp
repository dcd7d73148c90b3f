#include "widgets/Help.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPointer>
#include <QShortcut>
#include <QStandardPaths>
#include <QWindow>

#include "mailstore/UserInteraction.h"
#include "platform/Environment.h"
#include "widgets/HelpModule.h"
#include "widgets/MessageDialogs.h"
#include "widgets/ProgramModule.h"
#include "widgets/Resources.h"
#include "widgets/VelForm.h"

namespace widgets {
namespace {

HelpHandler& Handler() {
  static HelpHandler handler;
  return handler;
}

// Copies `name` from the program's directory into `cache` when the copy is
// missing or older.  False when the program has no such file.
bool Refresh(const QString& programDir, const QString& cache, const QString& name) {
  const QFileInfo source(programDir + u'/' + name);
  if (!source.exists()) return false;
  const QFileInfo copy(cache + u'/' + name);
  if (copy.exists() && copy.lastModified() >= source.lastModified() && copy.size() == source.size()) return true;
  QFile::remove(copy.filePath());
  return QFile::copy(source.filePath(), copy.filePath()) &&
         QFile::setPermissions(copy.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Help asked for from a modal window (the send window, the picker, the
// spelling checker) belongs to that window while it is up, so that it takes
// input; it is brought to the front at each request.  Once the modal window
// goes the help window stands on its own.
class ModalOwner : public QObject {
 public:
  explicit ModalOwner(QWidget* help) : QObject(help), help_(help) {}

  void Follow(QWidget* modal) {
    if (modal == help_) modal = nullptr;
    if (modal == owner_) return;
    if (owner_) owner_->removeEventFilter(this);
    owner_ = modal;
    if (owner_) owner_->installEventFilter(this);
    help_->winId();
    help_->windowHandle()->setTransientParent(owner_ ? owner_->windowHandle() : nullptr);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == owner_ && event->type() == QEvent::Hide) Follow(nullptr);
    return false;
  }

 private:
  QWidget* help_;
  QPointer<QWidget> owner_;
};

// The help window shown, as a widget and as its pages: none before the first
// request and after the window closed.
struct ShownHelp {
  QPointer<QWidget> window;
  HelpPages* pages = nullptr;
  ModalOwner* owner = nullptr;
};

ShownHelp& Shown() {
  static ShownHelp shown;
  return shown;
}

// Answers a request in the program's one help window, made on first use;
// tells the user when the program has no help.
void Answer(HelpRequest request, int context) {
  ShownHelp& shown = Shown();
  if (!shown.window) {
    shown.pages = nullptr;
    QString problem = QStringLiteral("The help of KV Mailbox cannot be found beside the program.");
    const QString collection = HelpCollectionFile();
    QString error;
    const auto make = collection.isEmpty()
                          ? nullptr
                          : reinterpret_cast<MakeHelpPages>(ProgramModuleFunction(kHelpModule, kMakeHelpPages, error));
    if (!error.isEmpty()) problem = QStringLiteral("The help of KV Mailbox cannot be opened.\r\r") + error;
    if (make != nullptr) {
      HelpPages* pages = make(collection);
      QWidget* window = pages->Window();
      window->setAttribute(Qt::WA_DeleteOnClose);
      window->setWindowIcon(ProgramIcon());
      if (pages->IsReady()) {
        shown.window = window;
        shown.pages = pages;
        shown.owner = new ModalOwner(window);
        CentreOnScreen(window);
      } else {
        delete window;
      }
    }
    if (!shown.window) {
      ShowAlert(mailstore::kProgramTitle, problem);
      return;
    }
  }
  HelpPages& pages = *shown.pages;
  switch (request) {
    case HelpRequest::kTopic:
      if (!pages.ShowTopic(context)) pages.ShowContents();
      break;
    case HelpRequest::kContents: pages.ShowContents(); break;
    case HelpRequest::kSearch: pages.ShowSearch(); break;
    case HelpRequest::kUsingHelp: pages.ShowUsingHelp(); break;
  }
  shown.owner->Follow(QApplication::activeModalWidget());
  shown.window->show();
  shown.window->raise();
  shown.window->activateWindow();
}

void Request(HelpRequest request, int context, QWidget* parent) {
  if (Handler()) Handler()(request, context, parent);
  else Answer(request, context);
}

}  // namespace

QString HelpCollectionFile() {
  const QString programDir = QString::fromStdString(platform::ProgramDir());
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/help");
  if (!QDir().mkpath(cache)) return {};
  if (!Refresh(programDir, cache, "kvmail.qch") || !Refresh(programDir, cache, "kvmail.qhc")) return {};
  return cache + QStringLiteral("/kvmail.qhc");
}

QWidget* HelpWindow() { return Shown().window; }

void SetHelpHandler(HelpHandler handler) { Handler() = std::move(handler); }

void HelpOnF1(QWidget* window, QAbstractButton* helpButton) {
  auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
  QObject::connect(key, &QShortcut::activated, helpButton, [helpButton] {
    if (helpButton->isVisible() && helpButton->isEnabled()) helpButton->click();
  });
}

void ShowHelpTopic(int context, QWidget* parent) { Request(HelpRequest::kTopic, context, parent); }

void ShowHelp(HelpRequest request, QWidget* parent) { Request(request, 0, parent); }

}  // namespace widgets
