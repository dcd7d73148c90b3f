#include "widgets/Progress.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

namespace widgets {
namespace {

QFrame* Panel(QWidget* parent, QFrame::Shadow shadow, const QRect& geometry) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(QFrame::Panel | shadow);
  panel->setGeometry(geometry);
  return panel;
}

}  // namespace

TProgressReport::TProgressReport(QWidget* parent) : TVelForm(parent) {
  setObjectName("ProgressReport");
  setWindowTitle("Progress");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);  // no border icons
}

void TProgressReport::Build() {
  if (Prompt) return;
  Prompt = new QLabel(this);
  Prompt->setObjectName("Prompt");
  Prompt->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Prompt->setGeometry(8, 8, 297, 25);
  Prompt->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
  ProgressPanel = Panel(this, QFrame::Sunken, QRect(8, 44, 297, 41));
  ProgressPanel->setObjectName("ProgressPanel");
  ProgressBar = new QProgressBar(ProgressPanel);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setGeometry(6, 8, 285, 25);
  ProgressBar->setTextVisible(false);
  ProgressBar->setStyleSheet("QProgressBar::chunk { background-color: maroon; }");
  CancelButton = new QPushButton(Glyph("stop"), "Stop", this);
  CancelButton->setObjectName("CancelButton");
  CancelButton->setFixedSize(81, 28);
  CancelButton->setCursor(Qt::ArrowCursor);
  connect(CancelButton, &QPushButton::clicked, this, [this] { Cancelled = AskUser("Abort", "Do you want to cancel this function?"); });
  StartProgress(0);
}

void TProgressReport::StartProgress(int total) {
  Build();
  Cancelled = false;
  position_ = 0;
  maximum_ = total;
  setWindowTitle("");
  ProgressBar->setRange(0, std::max(total, 1));
  ProgressBar->setValue(0);
  ProgressPanel->setVisible(total > 1);
  const bool small = total < 2;
  setFixedSize(313, small ? 80 : 133);
  CancelButton->move((313 - CancelButton->width()) / 2, small ? 44 : 96);
  Prompt->clear();
  CentreOnScreen(this);
}

void TProgressReport::StepProgress(const QString& caption, const QString& prompt, int steps) {
  Build();
  show();
  if (!caption.isEmpty()) setWindowTitle(caption);
  if (!prompt.isEmpty()) Prompt->setText(prompt);
  if (steps >= 0) {
    position_ = std::min(position_ + steps, maximum_);
    ProgressBar->setValue(position_);
  }
  repaint();
}

void TProgressReport::EndProgress() {
  Cancelled = false;
  hide();
}

TMailProgressReport::TMailProgressReport(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
  setObjectName("MailProgressReport");
  setFixedSize(281, 49);
}

void TMailProgressReport::Build() {
  if (UserName) return;
  QFrame* panel = Panel(this, QFrame::Raised, rect());
  auto* envelope = new QLabel(panel);
  envelope->setPixmap(Picture("SmallEnvelope"));
  envelope->setGeometry(10, 16, 16, 16);
  auto* label = new QLabel("Sending Mail To:", panel);
  label->setGeometry(32, 14, 100, 20);
  UserName = new QLabel(panel);
  UserName->setObjectName("UserName");
  UserName->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  UserName->setGeometry(132, 12, 141, 24);
  CentreOnScreen(this);
}

void TMailProgressReport::ShowSending(const QString& name) {
  Build();
  show();
  if (!name.isEmpty()) UserName->setText(name);
  repaint();
}

void TMailProgressReport::ClearSending() {
  if (UserName) UserName->clear();
}

void TMailProgressReport::HideSending() { hide(); }

}  // namespace widgets
