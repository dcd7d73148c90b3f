#include "widgets/DirSelectorDialog.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "mailstore/IoErrorText.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "shell/SelectorSettings.h"
#include "widgets/FileSelectorDialog.h"
#include "widgets/Help.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

namespace widgets {

TDirSelectorDialog::TDirSelectorDialog(bool allowCreate, mailstore::UserInteraction& ui, QWidget* parent)
    : TVelForm(parent), ui_(ui), allowCreate_(allowCreate) {
  setObjectName("DirSelectorDialog");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowCloseButtonHint);
  QFont arial("Arial");
  arial.setPixelSize(12);
  setFont(arial);
  setSizeGripEnabled(true);
  setWindowFlags(kSizableDialogFlags);
  resize(449, 350);
  setMinimumSize(449, 275);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  auto* top = new QHBoxLayout;
  auto* label = new QLabel("&Location:", this);
  LocationBox = new QLineEdit(this);
  LocationBox->setObjectName("LocationBox");
  label->setBuddy(LocationBox);
  InvertButton = new QToolButton(this);
  InvertButton->setObjectName("InvertButton");
  InvertButton->setIcon(Glyph("invert"));
  InvertButton->setToolTip("Files first or folders first");
  InvertButton->setAccessibleName(InvertButton->toolTip());
  InvertButton->setCheckable(true);
  InvertButton->setAutoRaise(true);
  top->addWidget(label);
  top->addWidget(LocationBox, 1);
  top->addWidget(InvertButton);
  layout->addLayout(top);

  FileList = new TFileList(this);
  FileList->setAccessibleName("Folders");
  FileList->SetListDetails(shell::ldDrives | shell::ldSystemDirectories | shell::ldDirectories);
  FileList->SetTextCase(shell::tcNone);
  layout->addWidget(FileList, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  OkButton = GlyphButton(this, "OkButton", "OK", "ok", 0, 0);
  CancelButton = GlyphButton(this, "CancelButton", "Cancel", "cancel", 0, 0);
  HelpButton = GlyphButton(this, "HelpButton", "&Help", "help", 0, 0);
  for (QPushButton* b : {OkButton, CancelButton, HelpButton}) {
    b->setFixedSize(81, 28);
    bottom->addWidget(b);
  }
  OkButton->setDefault(true);
  OkButton->setFocusPolicy(Qt::TabFocus);  // OK acts on the control that has the focus
  layout->addLayout(bottom);

  connect(OkButton, &QPushButton::clicked, this, &TDirSelectorDialog::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { ShowHelpTopic(kHelpDirectorySelector, this); });
  HelpOnF1(this, HelpButton);
  connect(FileList, &TFileList::Changed, this, [this] { LocationBox->setText(FileList->Directory()); });
  connect(FileList, &TFileList::Chosen, this, &TDirSelectorDialog::FileListChosen);
  connect(InvertButton, &QToolButton::clicked, this, [this](bool inverted) {
    FileList->SetListOrder(inverted ? shell::flInverted : shell::flNormal);
  });
  LocationBox->installEventFilter(this);
}

void TDirSelectorDialog::Open(const QString& title, const QString& directory) {
  setWindowTitle(title);
  CentreOnScreen(this);  // where it first opens
  shell::DirectoryBrowserSettings settings;
  settings.placement = PlacementOf(*this);
  settings.screen = ScreenOf(*this);
  shell::LoadDirectoryBrowserSettings(settings, ui_);
  shell::FileViewerSettings viewer;
  shell::LoadFileViewerSettings(viewer, ui_);
  shell::Placement placement = settings.placement;
  placement.width = std::max(placement.width, minimumWidth());
  placement.height = std::max(placement.height, minimumHeight());
  Place(*this, placement);
  InvertButton->setChecked(settings.invertFileList);
  FileList->SetListOrder(settings.invertFileList ? shell::flInverted : shell::flNormal);
  FileList->SetShowSystemFiles(viewer.showSystemFiles);
  FileList->SetDirectory(directory);
  FileList->setFocus();
}

void TDirSelectorDialog::SaveSettings() {
  shell::DirectoryBrowserSettings settings;
  settings.placement = PlacementOf(*this);
  settings.invertFileList = FileList->ListOrder() == shell::flInverted;
  shell::SaveDirectoryBrowserSettings(settings, ui_);
}

void TDirSelectorDialog::FileListChosen(int index) {
  const char kind = FileList->TypeOf(index);
  if (kind >= 'B' && kind <= 'E') FileList->SetDirectory(FileList->PathOf(index));
}

void TDirSelectorDialog::OkButtonClick() {
  QWidget* focus = QApplication::focusWidget();
  if (focus == FileList) {
    if (FileList->currentRow() >= 0) FileListChosen(FileList->currentRow());
    return;
  }
  if (focus == LocationBox) {
    FileList->setFocus();  // leaving the box applies it
    return;
  }
  if (LocationBox->text().trimmed().isEmpty()) {
    WarningBeep();
    return;
  }
  accept();
}

bool TDirSelectorDialog::ApplyLocation() {
  const QString text = LocationBox->text().trimmed();
  if (text.isEmpty() || text == FileList->Directory()) return true;
  const QString directory = ReadLocation(text, FileList->Directory()).directory;
  const std::string path = directory.toStdString();
  applying_ = true;
  bool closeAfter = false;
  bool creationFailed = false;
  if (allowCreate_ && !platform::FileExists(path) &&
      ui_.AskUser(mailstore::kProgramTitle, path + "\rdoes not exist! Do you want to create it?")) {
    const int code = platform::MakeDirectories(path);
    if (code != 0) {
      ShowAlert(mailstore::kProgramTitle,
                QStringLiteral("Unable to create directory.\r\r") + QString::fromStdString(mailstore::IoErrorText(code)));
      creationFailed = true;
    } else {
      closeAfter = true;
    }
  }
  const int code = FileList->TryLocation("*.*", directory);
  applying_ = false;
  if (code == 0) {
    if (closeAfter) accept();
    return true;
  }
  applying_ = true;
  if (!creationFailed) ShowAlert(mailstore::kProgramTitle, InvalidLocationText(directory));
  LocationBox->setFocus();
  LocationBox->selectAll();
  applying_ = false;
  return false;
}

bool TDirSelectorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LocationBox && !applying_ && LeftByTheUser(event)) ApplyLocation();
  return TVelForm::eventFilter(watched, event);
}

bool ChooseDirectory(const QString& title, QString& directory, bool allowCreate, mailstore::UserInteraction& ui,
                     QWidget* parent) {
  TDirSelectorDialog dialog(allowCreate, ui, parent);
  dialog.Open(title, directory);
  const bool chosen = dialog.exec() == QDialog::Accepted;
  if (chosen) directory = dialog.FileList->Directory();
  dialog.SaveSettings();
  return chosen;
}

}  // namespace widgets
