#include "widgets/FileSelectorDialog.h"

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "platform/Path.h"
#include "widgets/Colours.h"
#include "widgets/FontSetting.h"
#include "widgets/Help.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

namespace widgets {

namespace {

QFont Arial9() {
  QFont font("Arial");
  font.setPixelSize(12);
  return font;
}

QToolButton* ToolButton(QWidget* parent, const char* name, const char* glyph, const QString& tip) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(Glyph(glyph));
  button->setToolTip(tip);
  button->setAccessibleName(tip);  // a picture alone says nothing to a screen reader
  button->setCheckable(true);
  button->setAutoRaise(true);
  button->setFixedSize(24, 22);
  return button;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& caption) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  return box;
}

constexpr int kSplitterWidth = 4;

}  // namespace

QString InvalidLocationText(const QString& location) {
  return location + QStringLiteral("\ris not a valid location! A location must\rpoint to an existing DOS directory.");
}

TypedLocation ReadLocation(const QString& typed, const QString& listed) {
  QString location = typed;
  if (location == u'~' || location.startsWith(QStringLiteral("~/"))) location.replace(0, 1, QDir::homePath());
  const bool wildcard = location.contains(u'*') || location.contains(u'?');
  // A bare mask keeps its empty directory: the listed one stays.
  if (!location.isEmpty() && QDir::isRelativePath(location) && !listed.isEmpty() &&
      (!wildcard || location.contains(u'/')))
    location = QDir::cleanPath(QDir(listed).filePath(location));
  if (!wildcard) return {location, QString()};
  return {QString::fromStdString(platform::DirectoryPart(location.toStdString())),
          QString::fromStdString(std::string(platform::FileNamePart(location.toStdString())))};
}

bool LeftByTheUser(const QEvent* event) {
  if (event->type() != QEvent::FocusOut) return false;
  const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

TFileSearchProgressDialog::TFileSearchProgressDialog(QWidget* parent) : TVelForm(parent) {
  setObjectName("FileSearchProgressDialog");
  setWindowTitle("File Search");
  setFont(Arial9());
  setFixedSize(185, 139);
  setModal(false);
  Prompt = new QLabel("Searching entire drive...", this);
  Prompt->setGeometry(8, 8, 169, 16);
  FoundLabel = new QLabel("Files Found:", this);
  FoundLabel->setGeometry(8, 30, 80, 16);
  Counter = new QLabel("0", this);
  Counter->setObjectName("Counter");
  Counter->setGeometry(90, 30, 87, 16);
  DirectoryLabel = new QLabel(this);
  DirectoryLabel->setObjectName("DirectoryLabel");
  DirectoryLabel->setGeometry(8, 52, 169, 32);
  DirectoryLabel->setWordWrap(true);
  StopButton = GlyphButton(this, "StopButton", "Stop", "stop", 52, 100);
  connect(StopButton, &QPushButton::clicked, this,
          [this] { stopped_ = AskUser("File Search", "Do you want to stop the search?"); });
}

void TFileSearchProgressDialog::AddFound() { Counter->setText(QString::number(++found_)); }

void TFileSearchProgressDialog::ShowDirectory(const QString& directory) {
  DirectoryLabel->setText(fontMetrics().elidedText(directory, Qt::ElideMiddle, DirectoryLabel->width()));
}

TFileSelectorDialog::TFileSelectorDialog(mailstore::UserInteraction& ui, QWidget* parent)
    : TVelForm(parent), ui_(ui) {
  setObjectName("FileSelectorDialog");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFont(Arial9());
  setSizeGripEnabled(true);
  setWindowFlags(kSizableDialogFlags);
  resize(528, 402);
  setMinimumSize(526, 300);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->setSpacing(6);

  auto* top = new QHBoxLayout;
  auto* locationLabel = new QLabel("&Location:", this);
  LocationBox = new QLineEdit(this);
  LocationBox->setObjectName("LocationBox");
  locationLabel->setBuddy(LocationBox);
  SplitVButton = ToolButton(this, "SplitVButton", "splitv", "Preview beside the list");
  SplitHButton = ToolButton(this, "SplitHButton", "splith", "Preview below the list");
  // The order of the list is chosen beside the location, whether the
  // column header shows or not.
  Invert = ToolButton(this, "Invert", "invert", "Files first or folders first");
  top->addWidget(locationLabel);
  top->addWidget(LocationBox, 1);
  top->addWidget(Invert);
  top->addWidget(SplitVButton);
  top->addWidget(SplitHButton);
  layout->addLayout(top);

  SplitterPanel = new QSplitter(Qt::Horizontal, this);
  SplitterPanel->setObjectName("SplitterPanel");
  SplitterPanel->setHandleWidth(kSplitterWidth);
  SplitterPanel->setOpaqueResize(false);  // dragged as a line, placed on release
  SplitterPanel->setChildrenCollapsible(false);
  FileListPanel = new QWidget(SplitterPanel);
  FileListPanel->setObjectName("FileListPanel");
  auto* listLayout = new QVBoxLayout(FileListPanel);
  listLayout->setContentsMargins(0, 0, 0, 0);
  listLayout->setSpacing(0);
  Header = new QHeaderView(Qt::Horizontal, FileListPanel);
  Header->setObjectName("Header");
  auto* columns = new QStandardItemModel(0, 5, Header);
  columns->setHorizontalHeaderLabels({"Name", "Size", "Date", "Time", "Attr"});
  for (const int right : {1, 2, 3})  // over values that are right-aligned
    columns->setHeaderData(right, Qt::Horizontal, int(Qt::AlignRight | Qt::AlignVCenter), Qt::TextAlignmentRole);
  Header->setModel(columns);
  Header->setSectionsClickable(false);
  Header->setStretchLastSection(false);
  Header->setSectionResizeMode(QHeaderView::Interactive);
  Header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  Header->setFixedHeight(22);
  listLayout->addWidget(Header);
  FileList = new TFileList(FileListPanel);
  FileList->setAccessibleName("Files");
  FileList->SetListDetails(shell::ldDrives | shell::ldSystemDirectories | shell::ldDirectories | shell::ldFiles);
  FileList->SetTextCase(shell::tcNone);
  FileList->SetHeader(Header);
  listLayout->addWidget(FileList, 1);
  ViewerPanel = new QWidget(SplitterPanel);
  ViewerPanel->setObjectName("ViewerPanel");
  auto* viewerLayout = new QVBoxLayout(ViewerPanel);
  viewerLayout->setContentsMargins(0, 0, 0, 0);
  FileViewer = new TTextViewer(ViewerPanel);
  FileViewer->setAccessibleName("Preview of the file");
  FileViewer->setObjectName("FileViewer");
  FileViewer->ViewTextFiles();
  viewerLayout->addWidget(FileViewer);
  SplitterPanel->addWidget(FileListPanel);
  SplitterPanel->addWidget(ViewerPanel);
  layout->addWidget(SplitterPanel, 1);

  auto* bottom = new QGridLayout;
  bottom->setHorizontalSpacing(8);
  bottom->setVerticalSpacing(4);
  auto* nameLabel = new QLabel("&File Name:", this);
  FName = new QLineEdit(this);
  FName->setObjectName("FName");
  nameLabel->setBuddy(FName);
  auto* typeLabel = new QLabel("File &Type:", this);
  FilterBox = new QLineEdit(this);
  FilterBox->setObjectName("FilterBox");
  typeLabel->setBuddy(FilterBox);
  SearchAll = CheckBox(this, "SearchAll", "&Search Entire Drive");
  ShowDetail = CheckBox(this, "ShowDetail", "Show File &Details");
  Preview = CheckBox(this, "Preview", "Show &Preview");
  OkButton = GlyphButton(this, "OkButton", "OK", "ok", 0, 0);
  CancelButton = GlyphButton(this, "CancelButton", "Cancel", "cancel", 0, 0);
  HelpButton = GlyphButton(this, "HelpButton", "&Help", "help", 0, 0);
  for (QPushButton* b : {OkButton, CancelButton, HelpButton}) b->setFixedSize(81, 28);
  OkButton->setDefault(true);
  // A click on OK leaves the focus where it was: OK acts on that control.
  OkButton->setFocusPolicy(Qt::TabFocus);
  bottom->addWidget(nameLabel, 0, 0);
  bottom->addWidget(FName, 0, 1);
  bottom->addWidget(typeLabel, 1, 0);
  bottom->addWidget(FilterBox, 1, 1);
  bottom->addWidget(SearchAll, 0, 2);
  bottom->addWidget(ShowDetail, 1, 2);
  bottom->addWidget(Preview, 2, 2);
  bottom->addWidget(OkButton, 0, 3);
  bottom->addWidget(CancelButton, 1, 3);
  bottom->addWidget(HelpButton, 2, 3);
  bottom->setColumnStretch(1, 1);
  layout->addLayout(bottom);

  connect(OkButton, &QPushButton::clicked, this, &TFileSelectorDialog::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { ShowHelpTopic(kHelpFileSelector, this); });
  HelpOnF1(this, HelpButton);
  connect(FileList, &TFileList::Changed, this, &TFileSelectorDialog::FileListChange);
  connect(FileList, &TFileList::Chosen, this, &TFileSelectorDialog::FileListChosen);
  connect(SearchAll, &QCheckBox::clicked, this, &TFileSelectorDialog::SearchAllClick);
  connect(ShowDetail, &QCheckBox::clicked, this, &TFileSelectorDialog::ShowDetailClick);
  connect(Preview, &QCheckBox::clicked, this, &TFileSelectorDialog::PreviewClick);
  connect(Invert, &QToolButton::clicked, this, [this](bool inverted) {
    FileList->SetListOrder(inverted ? shell::flInverted : shell::flNormal);
  });
  connect(SplitVButton, &QToolButton::clicked, this, [this] { SetSplit(false); });
  connect(SplitHButton, &QToolButton::clicked, this, [this] { SetSplit(true); });
  connect(SplitterPanel, &QSplitter::splitterMoved, this, [this](int position) { settings_.splitPos = position; });
  connect(Header, &QHeaderView::sectionResized, this, [this](int column, int, int width) {
    FileList->SetColumnWidth(column, width);
    if (FileList->ColumnWidth(column) != width) Header->resizeSection(column, FileList->ColumnWidth(column));
  });
  FileList->SetAddFileHook([this](const shell::FileListEntry& entry, int& code, bool&, const std::string& directory) {
    AddFound(entry, code, directory);
  });
  LocationBox->installEventFilter(this);
  FilterBox->installEventFilter(this);
}

void TFileSelectorDialog::Open(const QString& title, const QString& directory, const QString& mask,
                               const QString& fileName) {
  setWindowTitle(title);
  CentreOnScreen(this);
  shell::FileViewerSettings viewer;
  viewer.font = {"Courier New", 10, 0};
  shell::LoadFileViewerSettings(viewer, ui_);
  ApplyViewerSettings(viewer);

  settings_.placement = PlacementOf(*this);
  settings_.screen = ScreenOf(*this);
  for (int column = 0; column < 5; ++column)
    settings_.columnWidths[static_cast<size_t>(column)] = FileList->ColumnWidth(column);
  settings_.splitLimit = std::max(settings_.placement.width, settings_.placement.height) - kSplitterWidth;
  shell::LoadFileBrowserSettings(settings_, ui_);
  shell::Placement placement = settings_.placement;
  placement.width = std::max(placement.width, minimumWidth());
  placement.height = std::max(placement.height, minimumHeight());
  Place(*this, placement);
  for (int column = 0; column < 5; ++column) {
    FileList->SetColumnWidth(column, settings_.columnWidths[static_cast<size_t>(column)]);
    Header->resizeSection(column, FileList->ColumnWidth(column));
  }
  ShowDetail->setChecked(settings_.showFileDetails);
  ShowDetailClick();
  Invert->setChecked(settings_.invertFileList);
  FileList->SetListOrder(settings_.invertFileList ? shell::flInverted : shell::flNormal);
  SplitterPanel->setOrientation(settings_.horizontalSplit ? Qt::Vertical : Qt::Horizontal);
  Preview->setChecked(settings_.preview);
  ViewerPanel->setVisible(settings_.preview);
  UpdateSplitButtons();

  const QString shownMask = mask.trimmed().isEmpty() ? QStringLiteral("*.*") : mask;
  FileList->SetFileMask(shownMask);
  FilterBox->setText(shownMask);
  appliedFilter_ = shownMask;
  FileList->SetDirectory(directory);
  FName->setText(fileName);
  FName->setFocus();
}

void TFileSelectorDialog::ApplyViewerSettings(const shell::FileViewerSettings& settings) {
  // A fixed font, so that columns and tabs line up: the one stored where
  // this machine has it, else the system's fixed font.
  shell::FontSetting font = settings.font;
  if (!QFontDatabase::families().contains(QString::fromStdString(font.name)))
    font.name = QFontDatabase::systemFont(QFontDatabase::FixedFont).family().toStdString();
  QFont shown = FontOf(font);
  shown.setStyleHint(QFont::TypeWriter);
  shown.setFixedPitch(true);
  FileViewer->setFont(shown);
  QPalette palette = FileViewer->palette();
  palette.setColor(QPalette::Text, ColourFromSetting(settings.colours[0], QApplication::palette()));
  palette.setColor(QPalette::Base, ColourFromSetting(settings.colours[1], QApplication::palette()));
  FileViewer->setPalette(palette);
  const int tabSize = settings.expandTabs && settings.tabSize > 0 ? settings.tabSize : 8;
  FileViewer->SetTabSize(tabSize);
  FileList->SetShowSystemFiles(settings.showSystemFiles);
}

void TFileSelectorDialog::SaveSettings() {
  settings_.placement = PlacementOf(*this);
  for (int column = 0; column < 5; ++column)
    settings_.columnWidths[static_cast<size_t>(column)] = FileList->ColumnWidth(column);
  settings_.showFileDetails = ShowDetail->isChecked();
  settings_.invertFileList = FileList->ListOrder() == shell::flInverted;
  settings_.preview = Preview->isChecked();
  // With the preview hidden, the split last used is kept.
  if (Preview->isChecked() && !SplitterPanel->sizes().isEmpty()) {
    settings_.horizontalSplit = SplitterPanel->orientation() == Qt::Vertical;
    settings_.splitPos = SplitterPanel->sizes().front();
  }
  shell::SaveFileBrowserSettings(settings_, ui_);
}

QString TFileSelectorDialog::ChosenFile() const {
  const QString name = FName->text().trimmed();
  if (name.isEmpty() || name.contains(u'/')) return name;
  return QString::fromStdString(platform::JoinPath(FileList->Directory().toStdString(), name.toStdString()));
}

void TFileSelectorDialog::OkButtonClick() {
  QWidget* focus = QApplication::focusWidget();
  if (focus == LocationBox || focus == FilterBox) {
    FileList->setFocus();  // leaving the box applies it
    return;
  }
  if (focus == FileList) {
    if (FileList->currentRow() >= 0) FileListChosen(FileList->currentRow());
    return;
  }
  if (FName->text().trimmed().isEmpty()) {
    WarningBeep();
    return;
  }
  accept();
}

void TFileSelectorDialog::FileListChange() {
  LocationBox->setText(FileList->Directory());
  const int current = FileList->currentRow();
  if (FileList->TypeOf(current) != 'F') return;
  FName->setText(FileList->PathOf(current));
  if (Preview->isChecked()) ShowPreviewOf(current);
}

void TFileSelectorDialog::FileListChosen(int index) {
  switch (FileList->TypeOf(index)) {
    case 'A':
      FName->clear();
      accept();
      return;
    case 'F':
      FName->setText(FileList->PathOf(index));
      accept();
      return;
    case 'B':
    case 'C':
    case 'D':
    case 'E': {
      const std::string name(platform::FileNamePart(FName->text().toStdString()));
      FileList->SetDirectory(FileList->PathOf(index));
      if (!name.empty())
        FName->setText(QString::fromStdString(platform::JoinPath(FileList->Directory().toStdString(), name)));
      return;
    }
    default: return;
  }
}

bool TFileSelectorDialog::ApplyLocation() {
  const QString text = LocationBox->text().trimmed();
  if (text.isEmpty() || text == FileList->Directory()) return true;
  const TypedLocation location = ReadLocation(text, FileList->Directory());
  const QString mask = location.mask.isEmpty() ? FileList->FileMask() : location.mask;
  applying_ = true;
  const int code =
      FileList->TryLocation(mask, location.directory.isEmpty() ? FileList->Directory() : location.directory);
  applying_ = false;
  FilterBox->setText(FileList->FileMask());
  appliedFilter_ = FilterBox->text();
  if (code == 0) return true;
  applying_ = true;
  // The box shows the directory listed again, so that leaving it once more
  // (for Cancel, say) does not bring the alert back.
  ShowAlert("Invalid Location", InvalidLocationText(text));
  LocationBox->setFocus();
  LocationBox->selectAll();
  applying_ = false;
  return false;
}

void TFileSelectorDialog::ApplyFilter() {
  const QString mask = FilterBox->text().trimmed();
  if (mask == appliedFilter_) return;
  appliedFilter_ = mask;
  FileList->SetFileMask(mask.isEmpty() ? QStringLiteral("*.*") : mask);
}

bool TFileSelectorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (!applying_ && LeftByTheUser(event)) {
    if (watched == LocationBox) ApplyLocation();
    else if (watched == FilterBox) ApplyFilter();
  }
  return TVelForm::eventFilter(watched, event);
}

void TFileSelectorDialog::SearchAllClick() {
  if (!SearchAll->isChecked()) {
    FileList->SetSearchMode(shell::smNormal);
    return;
  }
  FileList->SetDirectory(QString::fromStdString(volumeRootOf(FileList->Directory().toStdString())));
  progress_ = new TFileSearchProgressDialog(this);
  progress_->show();
  const QList<QWidget*> controls = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  for (QWidget* control : controls)
    if (control != progress_ && !control->isWindow()) control->setEnabled(false);
  FileList->SetSearchMode(shell::smSubDirectories);
  for (QWidget* control : controls) control->setEnabled(true);
  delete progress_;
  progress_ = nullptr;
}

void TFileSelectorDialog::AddFound(const shell::FileListEntry& entry, int& code, const std::string& directory) {
  if (progress_ == nullptr) return;
  if (!(entry.attributes & shell::kAttrDirectory)) progress_->AddFound();
  progress_->ShowDirectory(QString::fromStdString(directory));
  QCoreApplication::processEvents();
  if (progress_->Stopped() || !isVisible()) code = shell::kListingStopped;
}

void TFileSelectorDialog::ShowDetailClick() {
  const bool details = ShowDetail->isChecked();
  FileList->SetFileDetails(details ? shell::kAllFileDetails : shell::fdName);
  Header->setVisible(details);
  for (int column = 0; column < 5 && details; ++column) Header->resizeSection(column, FileList->ColumnWidth(column));
}

void TFileSelectorDialog::PreviewClick() {
  const bool shown = Preview->isChecked();
  ViewerPanel->setVisible(shown);
  UpdateSplitButtons();
  if (!shown) {
    FileViewer->CloseFile();
    return;
  }
  HalfSplit();
  ShowPreviewOf(FileList->currentRow());
}

void TFileSelectorDialog::ShowPreviewOf(int index) {
  if (FileList->TypeOf(index) != 'F') return;
  const QString path = FileList->PathOf(index);
  if (FileViewer->IsOpen() && FileViewer->FileName() == path) return;
  FileViewer->OpenFile(path, kPreviewLimit);
}

void TFileSelectorDialog::SetSplit(bool horizontal) {
  SplitterPanel->setOrientation(horizontal ? Qt::Vertical : Qt::Horizontal);
  settings_.horizontalSplit = horizontal;
  HalfSplit();
  UpdateSplitButtons();
}

void TFileSelectorDialog::UpdateSplitButtons() {
  const bool shown = Preview->isChecked();
  SplitVButton->setVisible(shown);
  SplitHButton->setVisible(shown);
  SplitVButton->setChecked(SplitterPanel->orientation() == Qt::Horizontal);
  SplitHButton->setChecked(SplitterPanel->orientation() == Qt::Vertical);
}

void TFileSelectorDialog::HalfSplit() {
  const int total = SplitterPanel->orientation() == Qt::Horizontal ? SplitterPanel->width() : SplitterPanel->height();
  SplitterPanel->setSizes({total / 2, total - total / 2});
  settings_.splitPos = total / 2;
}

// The stored split is placed once the window has its size.
void TFileSelectorDialog::showEvent(QShowEvent* event) {
  TVelForm::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  const int total = SplitterPanel->orientation() == Qt::Horizontal ? SplitterPanel->width() : SplitterPanel->height();
  const int list = std::clamp(settings_.splitPos, 30, std::max(30, total - 30));
  SplitterPanel->setSizes({list, total - list});
}

void TFileSelectorDialog::resizeEvent(QResizeEvent* event) {
  TVelForm::resizeEvent(event);
  if (!Preview->isChecked()) return;
  const QList<int> sizes = SplitterPanel->sizes();
  // A list that would cover the whole area goes back to half.
  if (sizes.size() == 2 && sizes[1] <= 0) HalfSplit();
}

bool ChooseFile(const QString& title, QString& directory, QString& mask, QString& fileName,
                mailstore::UserInteraction& ui, QWidget* parent) {
  TFileSelectorDialog dialog(ui, parent);
  dialog.Open(title, directory, mask, fileName);
  const bool chosen = dialog.exec() == QDialog::Accepted;
  if (chosen) fileName = dialog.ChosenFile();
  directory = dialog.FileList->Directory();
  mask = dialog.FileList->FileMask();
  dialog.SaveSettings();
  return chosen && !fileName.isEmpty();
}

}  // namespace widgets
