#include "widgets/ClipboardViewer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QVBoxLayout>

#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

namespace widgets {

TClipboardViewer::TClipboardViewer(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName("ClipboardViewer");
  setWindowTitle("Clipboard Viewer");
  setWindowIcon(ProgramIcon());
  setAttribute(Qt::WA_DeleteOnClose);
  resize(420, 260);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  Contents = new QPlainTextEdit(this);
  Contents->setObjectName("Contents");
  Contents->setAccessibleName("Clipboard contents");
  Contents->setReadOnly(true);
  QFont fixed("Courier New");
  fixed.setPointSize(10);
  Contents->setFont(fixed);
  layout->addWidget(Contents);
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &TClipboardViewer::Update);
  Update();
}

void TClipboardViewer::Update() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || (!data->hasText() && data->formats().isEmpty())) {
    Contents->setPlainText(QString());
    Contents->setPlaceholderText("The clipboard is empty.");
  } else if (!data->hasText()) {
    Contents->setPlainText(QString());
    Contents->setPlaceholderText("The clipboard holds something other than text.");
  } else {
    Contents->setPlainText(data->text());
  }
}

QString ClipboardViewerFailureText(int result) {
  return QStringLiteral("Unable to activate the clipboard viewer!\rThe Windows file CLIPBRD.EXE may be missing\ror "
                        "corrupted. (ID=%1)")
      .arg(result);
}

void ShowClipboardViewer(QWidget* owner) {
  static QPointer<TClipboardViewer> shown;
  if (QGuiApplication::clipboard() == nullptr) {
    ShowAlert("Cannot Run Program", ClipboardViewerFailureText(0));
    return;
  }
  if (!shown) shown = new TClipboardViewer(owner);
  shown->show();
  shown->raise();
  shown->activateWindow();
}

}  // namespace widgets
