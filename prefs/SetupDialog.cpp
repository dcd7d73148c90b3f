#include "prefs/SetupDialog.h"

#include <QDateTime>
#include <QFontDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "mailstore/IoErrorText.h"
#include "mailstore/MessageRecord.h"
#include "platform/Environment.h"
#include "shell/AnsiText.h"
#include "widgets/Balloon.h"
#include "widgets/Colours.h"
#include "widgets/DirSelectorDialog.h"
#include "widgets/FontSetting.h"
#include "widgets/Help.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"
#include "widgets/TypedText.h"

namespace prefs {

void TPreviewBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  paint_(painter, rect());
}

namespace {

const QString kSentence = QStringLiteral("The quick brown fox jumpes over the lazy dog.");

// A miniature window with a title bar; a click says where it was.
class MiniWindow : public QFrame {
 public:
  MiniWindow(QWidget* parent, std::function<void(int y)> clicked) : QFrame(parent), clicked_(std::move(clicked)) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(p);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(1, 1, width() - 2, 12, QColor(0, 0, 128));
    painter.fillRect(width() - 11, 3, 8, 8, QColor(192, 192, 192));
  }
  void mousePressEvent(QMouseEvent* event) override { clicked_(event->position().toPoint().y()); }

 private:
  std::function<void(int)> clicked_;
};

QLabel* Label(QWidget* parent, const QString& text, int x, int y, QWidget* buddy = nullptr) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  label->adjustSize();
  if (buddy) label->setBuddy(buddy);
  return label;
}

// `spoken`: what a screen reader says of the button, which shows a picture only.
QToolButton* BrowseButton(QWidget* parent, const char* name, const QString& spoken, int x, int y) {
  auto* button = widgets::Placed(new QToolButton(parent), name, QRect(x, y, 26, 24));
  button->setIcon(widgets::Glyph("folder"));
  button->setToolTip("Browse");
  button->setAccessibleName(spoken);
  return button;
}

constexpr int kHelpByPage[] = {widgets::kHelpPreferencesFontColours, widgets::kHelpPreferencesMailbox,
                               widgets::kHelpPreferencesMiscellaneous};

}  // namespace

QStringList WrapWords(const QString& text, int width, const std::function<int(const QString&)>& measure) {
  QStringList lines;
  QString line;
  for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
    if (line.isEmpty()) {
      line = word;
    } else if (measure(line + u' ' + word) <= width) {
      line += u' ' + word;
    } else {
      lines << line;
      line = word;
    }
  }
  if (!line.isEmpty()) lines << line;
  return lines;
}

TSetupDialog::TSetupDialog(mailstore::UserInteraction& ui, QWidget* parent) : widgets::TVelForm(parent), ui_(ui) {
  setObjectName("SetupDialog");
  setWindowTitle("Preferences");
  QFont arial("Arial");
  arial.setPixelSize(12);
  setFont(arial);
  setFixedSize(464, 265);

  Notebook = widgets::Placed(new QStackedWidget(this), "Notebook", QRect(4, 4, 361, 236));
  TabSet = widgets::Placed(new QTabBar(this), "TabSet", QRect(4, 240, 361, 24));
  TabSet->setShape(QTabBar::RoundedSouth);
  for (const char* tab : {"Font/Colors", "Mailbox", "Miscellaneous"}) TabSet->addTab(tab);
  auto* line = new QFrame(this);
  line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
  line->setGeometry(370, 4, 4, 257);
  OkButton = widgets::GlyphButton(this, "OkButton", "OK", "ok", 378, 8);
  CancelButton = widgets::GlyphButton(this, "CancelButton", "Cancel", "cancel", 378, 42);
  HelpButton = widgets::GlyphButton(this, "HelpButton", "&Help", "help", 378, 76);
  OkButton->setDefault(true);

  // Font/Colors
  auto* colours = new QWidget;
  colours->setObjectName("Font/Colors");
  ElementList = widgets::Placed(new QListWidget(colours), "ElementList", QRect(8, 22, 201, 67));
  Label(colours, "Screen &Element:", 8, 6, ElementList);
  ElementList->setAccessibleName("Screen Element");  // a list does not take its label's text
  ColorGrid = widgets::Placed(new widgets::TColorGrid(colours), "ColorGrid", QRect(8, 112, 200, 56));
  Label(colours, "&Color:", 8, 96, ColorGrid);
  auto* fontGroup = widgets::Placed(new QGroupBox("Font", colours), "FontGroup", QRect(8, 174, 201, 56));
  FontButton = widgets::Placed(new QPushButton("Set &Font...", fontGroup), "FontButton", QRect(16, 20, 120, 26));
  auto* previewGroup = widgets::Placed(new QGroupBox("Preview", colours), "PreviewGroup", QRect(216, 0, 137, 233));
  auto* desktop = widgets::Placed(new QWidget(previewGroup), "Desktop", QRect(6, 18, 125, 209));
  desktop->setAutoFillBackground(true);
  QPalette teal = desktop->palette();
  teal.setColor(QPalette::Window, QColor(0, 128, 128));
  desktop->setPalette(teal);
  auto* mainPicture = new MiniWindow(desktop, [this](int y) { SelectElement(y < 65 ? 0 : 2); });
  mainPicture->setGeometry(5, 2, 114, 135);
  auto* editorPicture = new MiniWindow(desktop, [this](int) { SelectElement(4); });
  editorPicture->setGeometry(15, 139, 104, 69);
  InBoxPreview = new TPreviewBox(mainPicture, "InBoxPreview",
                                 [this](QPainter& p, const QRect& r) { PaintInBox(p, r); });
  InBoxPreview->setGeometry(5, 22, 104, 42);
  ViewerPreview = new TPreviewBox(mainPicture, "ViewerPreview",
                                  [this](QPainter& p, const QRect& r) { PaintText(p, r, shell::kViewerNormalText); });
  ViewerPreview->setGeometry(5, 84, 104, 46);
  EditorPreview = new TPreviewBox(editorPicture, "EditorPreview",
                                  [this](QPainter& p, const QRect& r) { PaintText(p, r, shell::kEditorNormalText); });
  EditorPreview->setGeometry(5, 18, 94, 46);
  for (TPreviewBox* preview : {InBoxPreview, ViewerPreview, EditorPreview})
    preview->setAttribute(Qt::WA_TransparentForMouseEvents);
  Notebook->addWidget(colours);

  // Mailbox
  auto* mailbox = new QWidget;
  mailbox->setObjectName("Mailbox");
  MailDirBox = widgets::Placed(new QLineEdit(mailbox), "MailDirBox", QRect(8, 24, 296, 22));
  Label(mailbox, "&Mail Directory:", 8, 8, MailDirBox);
  DirBrowseButton = BrowseButton(mailbox, "DirBrowseButton", "Browse for the Mail Directory", 308, 23);
  CheckMailContinuously = widgets::Placed(new QCheckBox("&Check Mailbox Continuously every", mailbox), "CheckMailContinuously",
                                QRect(8, 56, 222, 22));
  MailInterval = widgets::Placed(new QSpinBox(mailbox), "MailInterval", QRect(232, 56, 48, 22));
  MailInterval->setRange(5, 60);
  MailInterval->setAccessibleName("Seconds between checks of the mailbox");
  Label(mailbox, "Seconds", 286, 59);
  NotifyWhenMailArrives =
      widgets::Placed(new QCheckBox("&Notify when Mail Arrives", mailbox), "NotifyWhenMailArrives", QRect(8, 82, 222, 22));
  PasswordBox = widgets::Placed(new QLineEdit(mailbox), "PasswordBox", QRect(8, 130, 200, 22));
  PasswordBox->setMaxLength(20);
  PasswordLabel = widgets::Placed(new QLabel("&Password:", mailbox), "PasswordLabel", QRect(8, 112, 296, 16));
  PasswordLabel->setBuddy(PasswordBox);
  LockImage = widgets::Placed(new QLabel(mailbox), "LockImage", QRect(216, 124, 32, 32));
  auto* guard = widgets::Placed(new QLabel(mailbox), "NotePicture", QRect(8, 166, 48, 64));
  guard->setPixmap(widgets::Picture("GUARDO").scaled(44, 60, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  auto* note = widgets::Placed(new widgets::TBalloon(mailbox), "Note", QRect(60, 162, 294, 70));
  note->SetCaption("NOTE: It is very important that the Mail Directory be the same for everyone on the network.");
  Notebook->addWidget(mailbox);

  // Miscellaneous
  auto* misc = new QWidget;
  misc->setObjectName("Miscellaneous");
  Label(misc, "File Selector:", 8, 8);
  WinFSelector = widgets::Placed(new QRadioButton("&Windows Style", misc), "WinFSelector", QRect(24, 26, 200, 20));
  VelFSelector = widgets::Placed(new QRadioButton("&Brenlow Style", misc), "VelFSelector", QRect(24, 48, 200, 20));
  VelFSelector->setChecked(true);
  Label(misc, "Spelling Checker:", 8, 84);
  UserDictBox = widgets::Placed(new QLineEdit(misc), "UserDictBox", QRect(24, 120, 284, 22));
  Label(misc, "&User Dictionary Location:", 24, 102, UserDictBox);
  UserBrowseButton = BrowseButton(misc, "UserBrowseButton", "Browse for the user dictionary", 312, 119);
  Notebook->addWidget(misc);

  connect(TabSet, &QTabBar::currentChanged, Notebook, &QStackedWidget::setCurrentIndex);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { widgets::ShowHelpTopic(HelpContext(), this); });
  widgets::HelpOnF1(this, HelpButton);
  connect(ElementList, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) SelectElement(row);
  });
  connect(ColorGrid, &widgets::TColorGrid::Changed, this, &TSetupDialog::ColorGridChange);
  connect(FontButton, &QPushButton::clicked, this, &TSetupDialog::FontButtonClick);
  connect(PasswordBox, &QLineEdit::textChanged, this, &TSetupDialog::ShowLock);
  // A blank is refused; whatever enters goes in upper case, as at the login.
  PasswordBox->setValidator(new widgets::UpperCaseValidator(/*refuseBlanks=*/true, PasswordBox));
  auto browse = [this](QLineEdit* box, const QString& title) {
    QString directory = box->text();
    if (widgets::ChooseDirectory(title, directory, true, ui_, this)) box->setText(directory);
  };
  connect(DirBrowseButton, &QToolButton::clicked, this, [this, browse] { browse(MailDirBox, "Select a Mail Directory"); });
  connect(UserBrowseButton, &QToolButton::clicked, this, [this, browse] { browse(UserDictBox, "Select a Directory"); });
  widgets::CentreOnScreen(this);
}

int TSetupDialog::HelpContext() const { return kHelpByPage[std::clamp(Notebook->currentIndex(), 0, 2)]; }

void TSetupDialog::Load(const PreferencesEdit& edit) {
  loaded_ = edit;
  TabSet->setCurrentIndex(0);
  Notebook->setCurrentIndex(0);
  InBoxPreview->setFont(edit.fonts[kInBoxFont]);
  ViewerPreview->setFont(edit.fonts[kViewerFont]);
  EditorPreview->setFont(edit.fonts[kEditorFont]);
  colours_ = edit.colours;
  ElementList->clear();
  for (const shell::ColourElement& element : colours_) ElementList->addItem(QString::fromStdString(element.name));
  ElementList->setCurrentRow(0);
  SelectElement(0);
  MailDirBox->setText(QString::fromStdString(edit.mailDir));
  MailInterval->setValue(edit.mailCheckInterval);
  CheckMailContinuously->setChecked(edit.checkMailContinuously);
  NotifyWhenMailArrives->setChecked(edit.notifyWhenMailArrives);
  if (!edit.userName.empty())
    PasswordLabel->setText("&Password for " + shell::FromAnsi(edit.userName) + ":");
  PasswordBox->setText(shell::FromAnsi(edit.password));
  ShowLock();
  WinFSelector->setChecked(edit.windowsFileSelector);
  VelFSelector->setChecked(!edit.windowsFileSelector);
  UserDictBox->setText(QString::fromStdString(edit.userDictionaryPath));
}

PreferencesEdit TSetupDialog::Edited() const {
  PreferencesEdit edit = loaded_;
  edit.colours = colours_;
  edit.fonts = {InBoxPreview->font(), ViewerPreview->font(), EditorPreview->font()};
  edit.mailDir = MailDirBox->text().toStdString();
  edit.mailCheckInterval = MailInterval->value();
  edit.checkMailContinuously = CheckMailContinuously->isChecked();
  edit.notifyWhenMailArrives = NotifyWhenMailArrives->isChecked();
  edit.password = shell::ToAnsi(PasswordBox->text());
  edit.windowsFileSelector = WinFSelector->isChecked();
  edit.userDictionaryPath = UserDictBox->text().toStdString();
  return edit;
}

void TSetupDialog::SelectElement(int element) {
  element = std::clamp(element, 0, shell::kColourElementCount - 1);
  if (ElementList->currentRow() != element) ElementList->setCurrentRow(element);
  // Loading an element into the grid never changes it.
  ColorGrid->SetForegroundIndex(colours_[static_cast<size_t>(element)].textGridPosition);
  ColorGrid->SetBackgroundIndex(colours_[static_cast<size_t>(element)].backgroundGridPosition);
}

void TSetupDialog::ColorGridChange() {
  const int element = ElementList->currentRow();
  if (element < 0) return;
  shell::ColourElement& e = colours_[static_cast<size_t>(element)];
  e.textColour = ColorGrid->ForegroundColour();
  e.textGridPosition = ColorGrid->ForegroundIndex();
  e.backgroundColour = ColorGrid->BackgroundColour();
  e.backgroundGridPosition = ColorGrid->BackgroundIndex();
  (element < 2 ? InBoxPreview : element < 4 ? ViewerPreview : EditorPreview)->update();
}

void TSetupDialog::FontButtonClick() {
  const int element = std::max(0, ElementList->currentRow());
  TPreviewBox* preview = element < 2 ? InBoxPreview : element < 4 ? ViewerPreview : EditorPreview;
  QFontDialog dialog(this);
  dialog.setWindowTitle("Font");
  if (element >= 2) dialog.setOption(QFontDialog::MonospacedFonts);
  dialog.setCurrentFont(preview->font());
  const QFont shown = dialog.currentFont();
  if (dialog.exec() != QDialog::Accepted) return;
  preview->setFont(widgets::FontAfterChoice(preview->font(), shown, dialog.selectedFont()));
  preview->update();
}

void TSetupDialog::ShowLock() {
  LockImage->setPixmap(widgets::Picture(PasswordBox->text().isEmpty() ? "LockOpen" : "LockClosed"));
}

QColor TSetupDialog::Colour(int element, bool text) const {
  const shell::ColourElement& e = colours_[static_cast<size_t>(element)];
  return widgets::ColourFromSetting(text ? e.textColour : e.backgroundColour, palette());
}

void TSetupDialog::PaintInBox(QPainter& painter, const QRect& area) {
  painter.fillRect(area, Colour(shell::kInBoxNormalText, false));
  const platform::LocalTime now = platform::SystemClock().LocalNow();
  const QString text = QString::fromStdString(mailstore::FormatMessageDate(now, platform::ShortDateFormat()));
  const QFontMetrics metrics(painter.font());
  const int h = std::max(16, metrics.height());
  for (int row = 0; row < 3; ++row) {
    const int top = area.top() + row * h;
    const bool selected = row == 1;
    const int element = selected ? shell::kInBoxSelectedText : shell::kInBoxNormalText;
    if (selected) painter.fillRect(QRect(area.left(), top, area.width(), h), Colour(element, false));
    painter.drawImage(QRect(area.left() + 2, top + h / 2 - 8, 16, 16), widgets::EnvelopePicture(selected));
    painter.setPen(Colour(element, true));
    painter.drawText(area.left() + 22, top + h / 2 - metrics.height() / 2 + metrics.ascent(), text);
  }
}

void TSetupDialog::PaintText(QPainter& painter, const QRect& area, int normal) {
  painter.fillRect(area, Colour(normal, false));
  const QRect text = area.adjusted(3, 1, -3, -1);
  const QFontMetrics metrics(painter.font());
  const QStringList lines =
      WrapWords(kSentence, text.width(), [&](const QString& s) { return metrics.horizontalAdvance(s); });
  painter.setClipRect(area);
  painter.setBackgroundMode(Qt::OpaqueMode);
  int y = text.top();
  for (int i = 0; i < lines.size() && y < area.bottom(); ++i) {
    const int element = i == 1 ? normal + 1 : normal;
    painter.setBackground(Colour(element, false));
    painter.setPen(Colour(element, true));
    painter.drawText(text.left(), y + metrics.ascent(), lines[i]);
    y += metrics.height();
  }
}

bool ExecutePreferences(shell::MailSession& session, std::array<QFont, 3>& fonts, QWidget* parent) {
  shell::Preferences& prefs = session.Prefs();
  PreferencesEdit edit;
  edit.colours = prefs.colours;
  edit.fonts = fonts;
  edit.mailDir = prefs.mailDir;
  edit.mailCheckInterval = prefs.mailCheckInterval;
  edit.checkMailContinuously = prefs.checkMailContinuously;
  edit.notifyWhenMailArrives = prefs.notifyWhenMailArrives;
  edit.windowsFileSelector = prefs.windowsFileSelector;
  edit.userDictionaryPath = prefs.userDictionaryPath;
  edit.userName = session.UserName();
  edit.password = session.Password();

  TSetupDialog dialog(session.Ui(), parent);
  dialog.Load(edit);
  if (dialog.exec() != QDialog::Accepted) return false;
  const PreferencesEdit done = dialog.Edited();
  prefs.colours = done.colours;
  fonts = done.fonts;
  prefs.mailDir = done.mailDir;
  prefs.mailCheckInterval = done.mailCheckInterval;
  prefs.checkMailContinuously = done.checkMailContinuously;
  prefs.notifyWhenMailArrives = done.notifyWhenMailArrives;
  if (done.password != session.Password()) {
    if (const int code = session.ChangePassword(done.password); code != 0)
      session.Ui().ShowErrorText(mailstore::IoErrorText(code));
  }
  prefs.windowsFileSelector = done.windowsFileSelector;
  prefs.userDictionaryPath = done.userDictionaryPath;
  return true;
}

}  // namespace prefs
