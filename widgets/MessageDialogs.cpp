#include "widgets/MessageDialogs.h"

#include <QApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <memory>

#include "mailstore/UserInteraction.h"
#include "widgets/Help.h"
#include "widgets/Resources.h"

namespace widgets {
namespace {

QString& Title() {
  static QString title = mailstore::kProgramTitle;
  return title;
}

QPointer<TAlertDialog>& TheAlertWindow() {
  static QPointer<TAlertDialog> window;
  return window;
}

QPointer<TNotifyDialog>& TheNotice() {
  static QPointer<TNotifyDialog> notice;
  return notice;
}

QFont DialogFont(int points, bool bold) {
  QFont font("Arial");
  font.setPointSize(points);
  font.setBold(bold);
  return font;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, const QString& glyph) {
  auto* button = new QPushButton(Glyph(glyph), caption, parent);
  button->setObjectName(name);
  button->setFixedSize(kButtonSize);
  return button;
}

void PlainMessageBox(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Warning, title, WithLineBreaks(text), QMessageBox::Ok);
  box.setObjectName("PlainMessageBox");
  box.exec();
}

// The mouse pointer is the normal arrow while a message is shown, and what
// it was afterwards.
class ArrowPointer {
 public:
  ArrowPointer() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
  ~ArrowPointer() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

const QString& ProgramTitle() { return Title(); }
void SetProgramTitle(const QString& title) { Title() = title; }

TBalloonDialog::TBalloonDialog(QWidget* parent) : TVelForm(parent) {
  setFont(DialogFont(9, false));
  Image1 = new TVelImage(this);
  Image1->setObjectName("Image1");
  Image1->SetAutoSize(true);
  Image1->SetPicture(Picture("GUARDO"));
  Image1->move(kPictureAt);
  Prompt = new TBalloon(this);
  Prompt->setObjectName("Prompt");
  Prompt->setFont(DialogFont(10, true));
  Prompt->cornerSize = 14;
  Prompt->xOffset = kBalloonTextOffset;
  Prompt->yOffset = kBalloonTextOffset;
  Prompt->stemSize = kBalloonStemSize;
  Prompt->move(kBalloonAt);
  Test = new QLabel(this);
  Test->setObjectName("Test");
  Test->setFont(Prompt->font());
  Test->setTextFormat(Qt::PlainText);
  Test->hide();
}

void TBalloonDialog::SetMessage(const QString& title, const QString& text) {
  setWindowTitle(title);
  const QString shown = ShownCaption(text);
  Test->setText(shown);
  Prompt->SetCaption(text);
  // Lines wider than most of the screen wrap: the box and its buttons
  // always fit on it.
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int chrome = kBalloonAt.x() + 2 * kBalloonTextOffset + kBalloonStemSize + 40;
  const int widest = std::max(240, (screen ? screen->availableGeometry().width() : 1024) * 5 / 8 - chrome);
  const QSize measured = Test->fontMetrics()
                             .boundingRect(QRect(0, 0, widest, 100000), Qt::TextExpandTabs | Qt::TextWordWrap, shown)
                             .size();
  Test->clear();
  layout_ = ComputeBalloonLayout(measured, Image1->size(), IsQuestion());
  Image1->move(layout_.picture.topLeft());
  Prompt->setGeometry(layout_.balloon);
  PlaceButtons(layout_);
  setFixedSize(layout_.client);
  CentreOnScreen(this);
}

void TBalloonDialog::showEvent(QShowEvent* event) {
  TVelForm::showEvent(event);
  if (beepOnShow_) WarningBeep();
}

TAlertDialog::TAlertDialog(QWidget* parent) : TBalloonDialog(parent) {
  setObjectName("AlertDialog");
  OkButton = MakeButton(this, "OkButton", "OK", "ok");
  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAlertDialog::PlaceButtons(const BalloonLayout& layout) { OkButton->move(layout.ok.topLeft()); }

TAskUserDialog::TAskUserDialog(QWidget* parent) : TBalloonDialog(parent) {
  setObjectName("AskUserDialog");
  beepOnShow_ = false;
  YesButton = MakeButton(this, "YesButton", "Yes", "yes");
  NoButton = MakeButton(this, "NoButton", "No", "no");
  YesButton->setDefault(true);
  connect(YesButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(NoButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TAskUserDialog::PlaceButtons(const BalloonLayout& layout) {
  YesButton->move(layout.yes.topLeft());
  NoButton->move(layout.no.topLeft());
}

TGetInputDialog::TGetInputDialog(QWidget* parent) : TVelForm(parent) {
  setObjectName("GetInputDialog");
  setFont(DialogFont(9, false));
  setFixedSize(273, 108);
  auto* frame = new QGroupBox(this);
  frame->setGeometry(8, 4, 257, 60);
  PromptStr = new QLabel(frame);
  PromptStr->setObjectName("PromptStr");
  PromptStr->setGeometry(8, 8, 241, 18);
  EditBox = new QLineEdit(frame);
  EditBox->setObjectName("EditBox");
  EditBox->setAccessibleName("Input");
  EditBox->setGeometry(8, 30, 241, 22);
  EditBox->setMaxLength(10);
  EditBox->installEventFilter(this);
  OkButton = MakeButton(this, "OkButton", "OK", "ok");
  CancelButton = MakeButton(this, "CancelButton", "Cancel", "cancel");
  HelpButton = MakeButton(this, "HelpButton", "&Help", "help");
  OkButton->move(8, 72);
  CancelButton->move(96, 72);
  HelpButton->move(184, 72);
  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { ShowHelpTopic(helpContext, this); });
  HelpOnF1(this, HelpButton);
}

bool TGetInputDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == EditBox && digitsOnly && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    const bool editing = key->key() == Qt::Key_Backspace || text.isEmpty() || key->key() == Qt::Key_Return ||
                         key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape || key->key() == Qt::Key_Tab;
    if (!editing && !(text.size() == 1 && text[0].isDigit())) {
      WarningBeep();
      return true;
    }
  }
  return TVelForm::eventFilter(watched, event);
}

void CreateAlertWindow() {
  if (!TheAlertWindow()) TheAlertWindow() = new TAlertDialog();
}

TAlertDialog* AlertWindow() { return TheAlertWindow(); }
TNotifyDialog* NoticeOnScreen() { return TheNotice() && TheNotice()->isVisible() ? TheNotice().data() : nullptr; }

void ShowAlert(const QString& title, const QString& text) {
  try {
    TAlertDialog* alert = TheAlertWindow();
    std::unique_ptr<TAlertDialog> own;
    if (alert == nullptr) {
      own = std::make_unique<TAlertDialog>();
      alert = own.get();
    }
    if (alert->isVisible()) {
      PlainMessageBox(title, text);
      return;
    }
    ArrowPointer arrow;
    alert->SetMessage(title, text);
    alert->exec();
  } catch (...) {
    PlainMessageBox(title, text);
  }
}

bool AskUser(const QString& title, const QString& text) {
  TAskUserDialog dialog;
  dialog.SetMessage(title, text);
  ArrowPointer arrow;
  return dialog.exec() == QDialog::Accepted;
}

void ShowNotice(const QString& title, const QString& text) {
  try {
    if (QWidget* active = QApplication::activeWindow()) {
      active->raise();
      active->activateWindow();
    }
    if (TNotifyDialog* shown = NoticeOnScreen()) {
      shown->SetMessage(title, text);
      return;
    }
    auto* notice = new TNotifyDialog();
    TheNotice() = notice;
    notice->SetMessage(title, text);
    {
      ArrowPointer arrow;
      notice->exec();
    }
    TheNotice() = nullptr;
    delete notice;
  } catch (...) {
    PlainMessageBox(title, text);
  }
}

bool GetInput(const QString& title, const QString& prompt, QString& text, int helpContext, bool digitsOnly) {
  TGetInputDialog dialog;
  dialog.setWindowTitle(title);
  dialog.PromptStr->setText(prompt);
  dialog.EditBox->setAccessibleName(prompt);
  dialog.EditBox->setText(text);
  dialog.EditBox->selectAll();  // what is typed replaces what is shown
  dialog.helpContext = helpContext;
  dialog.digitsOnly = digitsOnly;
  CentreOnScreen(&dialog);
  if (dialog.exec() != QDialog::Accepted) return false;
  text = dialog.EditBox->text();
  return !text.isEmpty();
}

void ShowErrorText(const QString& text) {
  ArrowPointer arrow;
  ShowAlert(ProgramTitle(), text);
}

void WarningBeep() { QApplication::beep(); }

namespace {
int pausing = 0;
}  // namespace

void PauseMs(int ms) {
  if (ms <= 0) return;
  struct Count {
    Count() { ++pausing; }
    ~Count() { --pausing; }
  } count;
  QEventLoop loop;
  QTimer end;
  end.setSingleShot(true);
  end.setTimerType(Qt::PreciseTimer);
  QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
  end.start(ms);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool Pausing() { return pausing > 0; }

}  // namespace widgets
