#include "mainwindow/MainForm.h"

#include <QApplication>
#include <QHash>
#include <QCloseEvent>
#include <QDrag>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QRubberBand>
#include <QScreen>
#include <QStandardItemModel>
#include <QUrl>
#include <QVBoxLayout>

#include "mailstore/MessageText.h"
#include "mailstore/Scramble.h"
#include "mailstore/UserRegistry.h"
#include "mainwindow/UserNameForm.h"
#include "prefs/PrintAdapters.h"
#include "prefs/PrintDialog.h"
#include "prefs/SetupDialog.h"
#include "compose/SendForm.h"
#include "shell/AnsiText.h"
#include "shell/ConfigFiles.h"
#include "widgets/AboutBox.h"
#include "widgets/ClipboardViewer.h"
#include "widgets/Colours.h"
#include "widgets/FileCommands.h"
#include "widgets/FontSetting.h"
#include "widgets/Help.h"
#include "widgets/MenuKeys.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

namespace mainwindow {

using shell::FromAnsi;
using shell::ToAnsi;

namespace {

constexpr const char* kMessageMime = "application/x-kvmail-message";
constexpr int kMinimumWidth = 537;
constexpr int kMinimumHeight = 398;
constexpr int kEnvelopeWidth = 18;

QFont Arial(int pixels) {
  QFont font("Arial");
  font.setPixelSize(pixels);
  return font;
}

QString CloseQuestion() {
  return "If you close the mailbox you will not be able to\rsend or receive messages. If you merely want\r"
         "to remove the mailbox from your screen, choose\rminimize instead.\r\rDo you still want to close the mailbox?";
}

}  // namespace

// The black bar between the In Box and the reading pane.  Dragging it sets
// the In Box pane's height; a line follows the pointer meanwhile.
class SplitterBar : public QWidget {
 public:
  SplitterBar(QWidget* parent, std::function<void(int)> moved) : QWidget(parent), moved_(std::move(moved)) {
    setObjectName("SplitterPanel");
    setFixedHeight(4);
    setCursor(Qt::SizeVerCursor);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::black);
    setPalette(p);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    line_ = std::make_unique<QRubberBand>(QRubberBand::Line, parentWidget());
    Follow(event->position().toPoint());
    line_->show();
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (line_) Follow(event->position().toPoint());
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (!line_) return;
    line_.reset();
    moved_(event->position().toPoint().y());
  }

 private:
  void Follow(QPoint at) {
    const QRect area = parentWidget()->rect();
    const int y = std::clamp(mapToParent(at).y(), area.top(), area.bottom());
    line_->setGeometry(x(), y - 2, width(), 4);
  }
  std::function<void(int)> moved_;
  std::unique_ptr<QRubberBand> line_;
};

TMainForm::TMainForm(std::vector<std::string> arguments, widgets::TProgressReport& progress,
                     widgets::TMailProgressReport& sending, QWidget* parent)
    : widgets::TVelForm(parent),
      arguments_(std::move(arguments)),
      progress_(progress),
      user_(sending),
      session_(user_, settings_),
      printers_(std::make_unique<prefs::SystemPrinters>()) {
  setObjectName("MainForm");
  // Printing to a file asks for it as the user chose to be asked for files.
  static_cast<prefs::SystemPrinters&>(*printers_).SetPdfFileChooser([this](QWidget* parent, const QString& suggested) {
    QString file;
    return widgets::ChooseFileToSave(file, QStringLiteral("Print to a PDF File"), suggested, Prefs(), user_, parent)
               ? file
               : QString();
  });
  widgets::SetProgramTitle(mailstore::kProgramTitle);
  setWindowFlags(Qt::Window);
  setWindowTitle(mailstore::kProgramTitle);
  setFont(Arial(12));
  resize(537, 397);
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  widgets::CentreOnScreen(this);  // where it first opens
  setAcceptDrops(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  MainMenu1 = new QMenuBar(this);
  layout->setMenuBar(MainMenu1);
  BuildButtonBar();
  layout->addWidget(ButtonBar);
  auto* mainPanel = new QWidget(this);
  mainPanel->setObjectName("MainPanel");
  layout->addWidget(mainPanel, 1);
  BuildPanes();
  auto* paneLayout = new QVBoxLayout(mainPanel);
  paneLayout->setContentsMargins(0, 0, 0, 0);
  paneLayout->setSpacing(0);
  paneLayout->addWidget(ListPanel);
  paneLayout->addWidget(SplitterPanel);
  paneLayout->addWidget(findChild<QWidget*>("Panel3"), 1);
  BuildMenus();
  widgets::GiveMenusTheirKeys(MainMenu1);
  SetTrayHost(SystemTrayHost());
  BuildTrayMenu();

  MailTimer = new QTimer(this);
  MailTimer->setObjectName("MailTimer");
  // A pause may come in the middle of sending or of a store operation: the
  // poll waits for the next tick, a change seen meanwhile for the pause's end.
  connect(MailTimer, &QTimer::timeout, this, [this] {  // MailTimerTimer
    if (!widgets::Pausing()) session_.ScanMailbox();
  });
  // New mail at once: a change of the mailbox file or of the Mail
  // Directory scans (once for a burst of changes); polling stays for shares
  // where no change is ever reported.
  watcher_ = new QFileSystemWatcher(this);
  watchDelay_ = new QTimer(this);
  watchDelay_->setSingleShot(true);
  watchDelay_->setInterval(150);
  connect(watchDelay_, &QTimer::timeout, this, [this] {
    if (widgets::Pausing()) {
      watchDelay_->start();
      return;
    }
    WatchMailbox();
    if (!session_.UserName().empty()) session_.ScanMailbox();
  });
  connect(watcher_, &QFileSystemWatcher::fileChanged, watchDelay_, qOverload<>(&QTimer::start));
  connect(watcher_, &QFileSystemWatcher::directoryChanged, watchDelay_, qOverload<>(&QTimer::start));
  EditorPanel = new QWidget(this);
  EditorPanel->hide();
  QFont editor("Courier New");
  editor.setPixelSize(13);
  EditorPanel->setFont(editor);
  SetMailboxState(false);
  connect(MailViewer, &widgets::TTextViewer::StatusChanged, this, &TMainForm::MailViewer1ShowStatus);
  SetMessageCommandsEnabled(false);
  MailViewer1ShowStatus();
  session_.SetView(this);
}

TMainForm::~TMainForm() = default;

// --- the notification area ------------------------------------------------------

void TMainForm::WatchMailbox() {
  const QString directory = QString::fromStdString(session_.Mail().MailDir());
  const QString mailbox = QString::fromStdString(session_.MailboxFile());
  QStringList wanted;
  if (!directory.isEmpty() && QFileInfo(directory).isDir()) wanted << directory;
  if (!mailbox.isEmpty() && QFileInfo::exists(mailbox)) wanted << mailbox;
  QStringList watched = watcher_->files() + watcher_->directories();
  for (const QString& path : watched)
    if (!wanted.contains(path)) watcher_->removePath(path);
  for (const QString& path : wanted)
    if (!watched.contains(path)) watcher_->addPath(path);
}

void TMainForm::SetTrayHost(std::unique_ptr<TrayHost> host) {
  delete TrayIcon;
  TrayIcon = new TVelTrayIcon(std::move(host), this);
  TrayIcon->SetToolTip("Dashdeck Mailbox");
  TrayIcon->SetIcon(windowIcon(), "program");
  connect(TrayIcon, &TVelTrayIcon::Click, this, &TMainForm::TrayIconClick);
  connect(TrayIcon, &TVelTrayIcon::DblClick, this, &TMainForm::TrayIconDblClick);
  connect(TrayIcon, &TVelTrayIcon::RightClick, this, &TMainForm::TrayIconRightClick);
}

void TMainForm::BuildTrayMenu() {
  TrayMenu = new QMenu(this);
  TrayMenu->setObjectName("TrayMenu");
  connect(TrayMenu->addAction("Send Mail..."), &QAction::triggered, this, &TMainForm::TrayIconDblClick);
  connect(TrayMenu->addAction("Check Mailbox Now"), &QAction::triggered, this, &TMainForm::CheckMailboxNow1Click);
  TrayMenu->addSeparator();
  connect(TrayMenu->addAction("Close Mailbox"), &QAction::triggered, this, &QWidget::close);
  // The notification area may come after the program: the icon follows.
  trayWait_ = new QTimer(this);
  trayWait_->setInterval(1000);
  connect(trayWait_, &QTimer::timeout, this, [this] {
    TrayIcon->SetActive(true);
    if (TrayIcon->Active()) trayWait_->stop();
  });
}

bool TMainForm::EnterTrayMode() {
  TrayIcon->SetActive(true);
  if (!TrayIcon->Active()) trayWait_->start();
  return TrayIcon->Active();
}

void TMainForm::MinimizeToTray() {
  if (TrayIcon->Active()) hide();
}

void TMainForm::TrayIconClick() {
  showNormal();
  raise();
  activateWindow();
}

void TMainForm::TrayIconDblClick() {
  TrayIconClick();
  if (sendWindowOpen_ || widgets::Pausing()) {
    widgets::WarningBeep();
    return;
  }
  SendMail1Click();
}

void TMainForm::TrayIconRightClick(const QPoint& screen) { TrayMenu->popup(screen); }

void TMainForm::changeEvent(QEvent* event) {
  widgets::TVelForm::changeEvent(event);
  // Minimized with an icon in the notification area, the window leaves the
  // task bar: only the icon remains.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && TrayIcon->Active())
    QTimer::singleShot(0, this, &TMainForm::MinimizeToTray);
  // The desktop changed its colour scheme: the colour elements that stand
  // for system colours follow it.
  if (event->type() == QEvent::PaletteChange) ApplyColours();
}

void TMainForm::BuildButtonBar() {
  ButtonBar = new QWidget(this);
  ButtonBar->setObjectName("ButtonBar");
  ButtonBar->setFixedHeight(43);
  auto button = [this](const char* name, const QString& caption, const char* glyph, int x, int width) {
    auto* b = new QPushButton(widgets::Glyph(glyph), caption, ButtonBar);
    b->setObjectName(name);
    b->setGeometry(x, 8, width, 28);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
  };
  SendButton = button("SendButton", "&Send Mail", "send", 8, 97);
  auto* divider = new QFrame(ButtonBar);
  divider->setFrameShape(QFrame::VLine);
  divider->setFrameShadow(QFrame::Sunken);
  divider->setGeometry(111, 6, 2, 32);
  ReplyButton = button("ReplyButton", "&Reply", "reply", 120, 81);
  ForwardButton = button("ForwardButton", "&Forward", "forward", 200, 81);
  SaveButton = button("SaveButton", "S&ave", "save", 280, 81);
  PrintButton = button("PrintButton", "&Print", "print", 360, 81);
  DeleteButton = button("DeleteButton", "&Delete", "delete", 440, 81);
  for (QPushButton* b : {ReplyButton, ForwardButton, SaveButton, PrintButton, DeleteButton}) {
    b->setEnabled(false);
    b->setAcceptDrops(true);  // a message dragged from the In Box
    b->installEventFilter(this);
  }
}

void TMainForm::BuildPanes() {
  ListPanel = new QWidget(this);
  ListPanel->setObjectName("ListPanel");
  ListPanel->setFixedHeight(125);
  auto* listLayout = new QVBoxLayout(ListPanel);
  listLayout->setContentsMargins(4, 4, 4, 4);
  listLayout->setSpacing(0);
  Header = new QHeaderView(Qt::Horizontal, ListPanel);
  Header->setObjectName("Header");
  Header->setAccessibleName("In Box columns");
  auto* model = new QStandardItemModel(0, 3, Header);
  model->setHorizontalHeaderLabels({"Date", "From", "Subject"});
  Header->setModel(model);
  Header->setFixedHeight(18);
  Header->setSectionsClickable(false);
  Header->setSectionResizeMode(QHeaderView::Interactive);
  Header->setStretchLastSection(true);
  Header->resizeSection(0, 140);
  Header->resizeSection(1, 99);
  connect(Header, &QHeaderView::sectionResized, this, &TMainForm::HeaderSized);
  InBox = new widgets::TVelListBox(ListPanel);
  InBox->setObjectName("InBox");
  QFont inboxFont("MS Sans Serif");
  inboxFont.setPixelSize(11);
  inboxFont.setBold(true);
  InBox->setFont(inboxFont);
  InBox->SetDrawItem([this](QPainter& p, int index, const QRect& r, bool selected) { InBoxDrawItem(p, index, r, selected); });
  InBox->setAccessibleName("In Box");
  InBox->SetSpokenText([this](int index) { return SpokenInboxLine(InBox->Line(index)); });
  InBox->viewport()->setCursor(widgets::ProgramCursor(widgets::kCursorHandPoint));
  InBox->viewport()->setMouseTracking(true);
  InBox->viewport()->installEventFilter(this);
  InBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(InBox, &widgets::TVelListBox::itemSelectionChanged, this, &TMainForm::InBoxClick);
  listLayout->addWidget(Header);
  listLayout->addWidget(InBox, 1);

  SplitterPanel = new SplitterBar(this, [this](int y) {
    // The pane's height follows the pointer; below 0 it is 0.
    SetInBoxPaneHeight(std::max(0, ListPanel->height() + y - SplitterPanel->height()));
  });

  auto* panel3 = new QWidget(this);
  panel3->setObjectName("Panel3");
  auto* readingLayout = new QVBoxLayout(panel3);
  readingLayout->setContentsMargins(4, 4, 4, 4);
  readingLayout->setSpacing(0);
  auto* panel4 = new QWidget(panel3);
  panel4->setObjectName("Panel4");
  panel4->setFixedHeight(46);
  auto* picture = new QLabel(panel4);
  picture->setPixmap(widgets::Picture("MailFullIcon"));
  picture->setGeometry(2, 6, 32, 32);
  auto label = [panel4](const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, panel4);
    l->setObjectName(name);
    l->setGeometry(x, y, 44, 20);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
  };
  auto box = [panel4](const char* name, int x, int y, int w) {
    auto* b = new QLineEdit(panel4);
    b->setObjectName(name);
    b->setReadOnly(true);
    b->setFrame(false);
    b->setFont(Arial(12));
    b->setGeometry(x, y, w, 20);
    return b;
  };
  FromLabel = label("FromLabel", "From:", 36, 0);
  DateLabel = label("DateLabel", "Date:", 243, 0);
  SubjectLabel = label("SubjectLabel", "Subject:", 36, 22);
  MsgFrom = box("MsgFrom", 82, 0, 159);
  MsgDate = box("MsgDate", 289, 0, 136);
  MsgSubject = box("MsgSubject", 82, 22, 343);
  MsgFrom->setAccessibleName("From");
  MsgDate->setAccessibleName("Date");
  MsgSubject->setAccessibleName("Subject");
  MailViewer = new widgets::TTextViewer(panel3);
  MailViewer->setAccessibleName("Message text");
  MailViewer->setObjectName("MailViewer");
  QFont viewerFont("Courier New");
  viewerFont.setPointSize(10);
  MailViewer->setFont(viewerFont);
  MailViewer->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MailViewer->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MailViewer->document()->setDocumentMargin(8);
  readingLayout->addWidget(panel4);
  readingLayout->addWidget(MailViewer, 1);
  for (QLabel* l : {FromLabel, DateLabel, SubjectLabel}) l->setEnabled(false);
}

void TMainForm::BuildMenus() {
  auto add = [this](QMenu* menu, const char* name, const QString& text, QKeySequence key = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    if (!key.isEmpty()) action->setShortcut(key);
    return action;
  };
  QMenu* file = MainMenu1->addMenu("&File");
  Exit1 = add(file, "Exit1", "&Close Mailbox");
  connect(Exit1, &QAction::triggered, this, &QWidget::close);

  QMenu* edit = MainMenu1->addMenu("&Edit");
  Copy1 = add(edit, "Copy1", "&Copy", QKeySequence("Ctrl+C"));
  // Hidden, only to carry a second shortcut; it works whenever it is enabled.
  CopyHidden = new QAction("&Copy", this);
  CopyHidden->setObjectName("CopyHidden");
  CopyHidden->setShortcut(QKeySequence("Ctrl+Ins"));
  addAction(CopyHidden);
  SelectAll1 = add(edit, "SelectAll1", "&Select All");
  edit->addSeparator();
  ShowClipboard1 = add(edit, "ShowClipboard1", "Sho&w Clipboard");
  for (QAction* a : {Copy1, CopyHidden}) connect(a, &QAction::triggered, MailViewer, &widgets::TTextViewer::CopySelection);
  connect(SelectAll1, &QAction::triggered, MailViewer, &widgets::TTextViewer::SelectEverything);
  connect(ShowClipboard1, &QAction::triggered, this, &TMainForm::ShowClipboard1Click);

  QMenu* mail = MainMenu1->addMenu("&Mail");
  SendMail1 = add(mail, "SendMail1", "&Send Mail...");
  mail->addSeparator();
  Reply1 = add(mail, "Reply1", "&Reply...");
  Forward1 = add(mail, "Forward1", "&Forward...");
  SavetoFile1 = add(mail, "SavetoFile1", "S&ave to File...");
  Print1 = add(mail, "Print1", "&Print...");
  Delete1 = add(mail, "Delete1", "&Delete");
  mail->addSeparator();
  CheckMailboxNow1 = add(mail, "CheckMailboxNow1", "&Check Mailbox Now", QKeySequence(Qt::Key_F8));
  connect(SendMail1, &QAction::triggered, this, &TMainForm::SendMail1Click);
  connect(Reply1, &QAction::triggered, this, &TMainForm::Reply1Click);
  connect(Forward1, &QAction::triggered, this, &TMainForm::Forward1Click);
  connect(SavetoFile1, &QAction::triggered, this, &TMainForm::SavetoFile1Click);
  connect(Print1, &QAction::triggered, this, &TMainForm::Print1Click);
  connect(Delete1, &QAction::triggered, this, &TMainForm::Delete1Click);
  connect(CheckMailboxNow1, &QAction::triggered, this, &TMainForm::CheckMailboxNow1Click);
  // The buttons do what their menu items do.
  connect(SendButton, &QPushButton::clicked, SendMail1, &QAction::trigger);
  connect(ReplyButton, &QPushButton::clicked, Reply1, &QAction::trigger);
  connect(ForwardButton, &QPushButton::clicked, Forward1, &QAction::trigger);
  connect(SaveButton, &QPushButton::clicked, SavetoFile1, &QAction::trigger);
  connect(PrintButton, &QPushButton::clicked, Print1, &QAction::trigger);
  connect(DeleteButton, &QPushButton::clicked, Delete1, &QAction::trigger);

  QMenu* options = MainMenu1->addMenu("&Options");
  ShowButtonBar1 = add(options, "ShowButtonBar1", "Show &Button Bar");
  ShowButtonBar1->setCheckable(true);
  ShowButtonBar1->setChecked(true);
  ChangeUserDivider = options->addSeparator();
  ChangeUserName1 = add(options, "ChangeUserName1", "Change User &Name...");
  PreferencesDivider = options->addSeparator();
  Preferences1 = add(options, "Preferences1", "Set &Preferences...");
  ChangeUserDivider->setVisible(false);
  ChangeUserName1->setVisible(false);
  connect(ShowButtonBar1, &QAction::triggered, this, &TMainForm::ShowButtonBar1Click);
  connect(ChangeUserName1, &QAction::triggered, this, &TMainForm::ChangeUserName1Click);
  connect(Preferences1, &QAction::triggered, this, &TMainForm::Preferences1Click);

  QMenu* help = MainMenu1->addMenu("&Help");
  Contents1 = add(help, "Contents1", "&Contents");
  SearchForHelp1 = add(help, "SearchForHelp1", "&Search for Help On...");
  HowToUseHelp1 = add(help, "HowToUseHelp1", "&How to Use Help");
  // Never in the menu, only to carry F1: an action hidden in a menu would
  // lose its shortcut, so it lives on the window alone.
  UsingTheMailBox1 = new QAction("&Using the MailBox", this);
  UsingTheMailBox1->setObjectName("UsingTheMailBox1");
  UsingTheMailBox1->setShortcut(QKeySequence(Qt::Key_F1));
  UsingTheMailBox1->setShortcutContext(Qt::WindowShortcut);
  addAction(UsingTheMailBox1);
  help->addSeparator();
  About1 = add(help, "About1", "&About...", QKeySequence(Qt::Key_F2));
  addAction(About1);
  addAction(CheckMailboxNow1);
  addAction(Copy1);
  connect(Contents1, &QAction::triggered, this, [this] { widgets::ShowHelp(widgets::HelpRequest::kContents, this); });
  connect(SearchForHelp1, &QAction::triggered, this, [this] { widgets::ShowHelp(widgets::HelpRequest::kSearch, this); });
  connect(HowToUseHelp1, &QAction::triggered, this,
          [this] { widgets::ShowHelp(widgets::HelpRequest::kUsingHelp, this); });
  connect(UsingTheMailBox1, &QAction::triggered, this,
          [this] { widgets::ShowHelpTopic(widgets::kHelpUsingTheMailbox, this); });
  connect(About1, &QAction::triggered, this, [this] { widgets::ShowAboutBox(this); });
}

void TMainForm::SavetoFile1Click() {
  if (!MailViewer->IsOpen()) {
    widgets::WarningBeep();
    return;
  }
  widgets::SaveTextAs(*MailViewer, "Save \"Mail From " + MsgFrom->text() + "\" As", Prefs(), user_, this);
}

void TMainForm::Preferences1Click() {
  std::array<QFont, 3> fonts{InBox->font(), MailViewer->font(), EditorPanel->font()};
  if (!prefs::ExecutePreferences(session_, fonts, this)) return;
  InBox->setFont(fonts[prefs::kInBoxFont]);
  MailViewer->setFont(fonts[prefs::kViewerFont]);
  EditorPanel->setFont(fonts[prefs::kEditorFont]);
  ApplyColours();
  session_.ApplyPreferences(*this);
  WatchMailbox();
  const shell::MainWindowLayout layout = Layout();
  session_.SaveSettings(&layout);
}

void TMainForm::ShowClipboard1Click() { widgets::ShowClipboardViewer(this); }

void TMainForm::SetPrinters(std::unique_ptr<prefs::PrinterAccess> printers) { printers_ = std::move(printers); }

void TMainForm::Print1Click() {
  if (printing_ || !MailViewer->IsOpen()) {
    widgets::WarningBeep();
    return;
  }
  // The message as Print found it: while the dialog is open and the copies
  // print, new mail or another copy may change what the pane shows.
  const prefs::TextSnapshot text(*MailViewer);
  const prefs::PrintedMessage message{QString(), MsgSubject->text(), MsgDate->text(), MsgFrom->text()};
  shell::TPrinterOptions& options = Prefs().printOptions;
  options.printSelected = text.HasSelection();
  options.name = ("Mail From " + message.from).toStdString();
  if (!prefs::ExecutePrintDialog(options, *printers_, this)) return;
  std::unique_ptr<prefs::PrintDevice> device = printers_->OpenPrinter(QString::fromStdString(options.name), this);
  if (!device) return;
  printing_ = true;
  prefs::WindowPrintProgress progress(progress_);
  prefs::PrintMessageText(text, message, options, *device, progress, platform::SystemClock(), user_);
  printing_ = false;
}

bool TMainForm::OpenSendWindow(const QString& caption, const QString& to, const QString& subject, bool forward,
                               const QString& fileName) {
  if (sendWindowOpen_) {
    widgets::WarningBeep();
    return false;
  }
  compose::SendContext context{session_, *printers_, progress_, EditorPanel->font(), MailViewer->font(), nullptr, {}};
  if (!Preferences1->isVisible()) context.preferences = nullptr;
  else context.preferences = [this] { Preferences1Click(); };
  if (forward)
    for (int n = 0; n < MailViewer->LineCount(); ++n) context.forwardText << MailViewer->Line(n);
  sendWindowOpen_ = true;
  const bool sent = compose::ShowSendWindow(context, caption, to, subject, forward, fileName, this);
  sendWindowOpen_ = false;
  return sent;
}

void TMainForm::SendMail1Click() {
  OpenSendWindow("Send Mail", QString(), QString(), false, QString());
  ScanMailbox();
}

void TMainForm::Reply1Click() {
  if (!MailViewer->IsOpen()) return;
  const QString subject = MsgSubject->text();
  // The record carries the sender's mailbox key; the reply goes to the user
  // it belongs to, by the name the registry knows.
  const QString to = shell::FromAnsi(mailstore::ReplyAddress(session_.Mail(), shell::ToAnsi(MsgFrom->text())));
  OpenSendWindow("Reply to: '" + subject + "'", to, compose::ReplySubject(subject), false, QString());
  ScanMailbox();
}

void TMainForm::Forward1Click() {
  if (!MailViewer->IsOpen()) return;
  const QString subject = MsgSubject->text();
  OpenSendWindow("Forward: '" + subject + "'", QString(), subject, true, QString());
  ScanMailbox();
}

bool TMainForm::FirstShow() {
  // Called before the window shows, the step shows it before its first
  // dialog (the login, an alert, the announcement of new mail), so that no
  // dialog stands alone; otherwise the window appears afterwards, once,
  // with its In Box built.
  const auto showWindow = [this] {
    if (!isVisible()) show();
  };
  user_.SetBeforeDialog(showWindow);
  const struct DialogsDone {
    widgets::DialogUser& user;
    ~DialogsDone() { user.SetBeforeDialog({}); }
  } dialogsDone{user_};
  shell::MainWindowLayout layout = Layout();
  session_.LoadSettings(&layout);
  ApplyLayout(layout);
  ApplyColours();
  session_.ReadCommandLine(arguments_);
  const shell::CommandLine& commandLine = session_.Command();
  ChangeUserDivider->setVisible(commandLine.showChangeUser);
  ChangeUserName1->setVisible(commandLine.showChangeUser);
  PreferencesDivider->setVisible(!commandLine.hidePreferences);
  Preferences1->setVisible(!commandLine.hidePreferences);

  // The login and the first scan are one operation on the Mail Directory:
  // a name the login misses (MAILBOX.INI where nobody has a password) and
  // the scan's texts are answered by one reading of the directory.
  const mailstore::TMail::Operation startUp(session_.Mail(), mailstore::TMail::Operation::kListDirectory);
  // At start-up no supervisor password is known yet.
  UserNameFormWhenShown form(session_.Mail(), "", this, showWindow);
  if (!session_.LogIn(form)) {
    GiveUp();
    return false;
  }
  session_.ApplyConfigFiles();
  session_.StartPolling(*this);
  // The watch comes once the window is up with its In Box, and one more
  // look after it is set, so that mail delivered in between is not left
  // to the next poll.
  QTimer::singleShot(0, this, [this] {
    WatchMailbox();
    ScanMailbox();
  });
  return true;
}

void TMainForm::GiveUp() {
  // Nobody is logged in: nothing is saved and nothing is asked on the way out.
  givenUp_ = true;
  MailTimer->stop();
  emit LoginGivenUp();
}

void TMainForm::ApplyColours() {
  const QPalette base = QApplication::palette();
  auto colour = [&](int element, bool text) {
    const shell::ColourElement& e = session_.Prefs().colours[element];
    return widgets::ColourFromSetting(text ? e.textColour : e.backgroundColour, base);
  };
  QPalette list = InBox->palette();
  list.setColor(QPalette::Base, colour(shell::kInBoxNormalText, false));
  list.setColor(QPalette::Text, colour(shell::kInBoxNormalText, true));
  list.setColor(QPalette::Highlight, colour(shell::kInBoxSelectedText, false));
  list.setColor(QPalette::HighlightedText, colour(shell::kInBoxSelectedText, true));
  InBox->setPalette(list);
  QPalette viewer = MailViewer->palette();
  viewer.setColor(QPalette::Base, colour(shell::kViewerNormalText, false));
  viewer.setColor(QPalette::Text, colour(shell::kViewerNormalText, true));
  viewer.setColor(QPalette::Highlight, colour(shell::kViewerSelectedText, false));
  viewer.setColor(QPalette::HighlightedText, colour(shell::kViewerSelectedText, true));
  MailViewer->setPalette(viewer);
}

QString SpokenInboxLine(const std::string& line) {
  const mailstore::InboxFields fields = mailstore::SplitInboxLine(line);
  return QStringLiteral("%1, from %2, %3, %4")
      .arg(fields.read ? "read" : "unread", FromAnsi(fields.sender), FromAnsi(fields.subject), FromAnsi(fields.date));
}

// --- the In Box -------------------------------------------------------------

void TMainForm::SetInboxRecords(const mailstore::InboxRecords& records) {
  // One change of the list, whatever the number of lines.
  const QSignalBlocker quiet(InBox);
  InBox->SetLines(records.size(), [records](int row) { return records.Line(row); });
}

void TMainForm::SetMailboxState(bool full) {
  const QString name = full ? "MailFullIcon" : "MailEmptyIcon";
  const QIcon icon(widgets::Picture(name));
  setWindowIcon(icon);
  QApplication::setWindowIcon(icon);
  TrayIcon->SetIcon(icon, name);
  setProperty("mailboxFull", full);
}

void TMainForm::SetCaption(const std::string& caption) { setWindowTitle(FromAnsi(caption)); }

void TMainForm::SetMailDirectoryReachable(bool reachable) {
  TrayIcon->SetToolTip(reachable ? QStringLiteral("Dashdeck Mailbox")
                                 : QStringLiteral("Dashdeck Mailbox: ") + mailstore::kNotReachableText);
  // The watch follows the directory away and back.
  WatchMailbox();
}

void TMainForm::InBoxDrawItem(QPainter& painter, int index, const QRect& rect, bool selected) {
  const QBrush brush = painter.brush();  // the list set the colours of the state
  const QColor textColour = painter.pen().color();
  const mailstore::InboxFields fields = mailstore::SplitInboxLine(InBox->Line(index));
  painter.fillRect(rect, brush);
  const bool read = fields.read;
  const int lineHeight = rect.height();
  painter.drawImage(rect.left() + 2, rect.top() + lineHeight / 2 - 7, widgets::EnvelopePicture(read));
  const QFontMetrics metrics(InBox->font());
  const int textTop = rect.top() + lineHeight / 2 - metrics.boundingRect("My").height() / 2 - 1;
  const QPen divider(widgets::ColourFromSetting(shell::SystemColour(shell::kColourGrayText), QApplication::palette()));
  int x = rect.left();
  const QString texts[3] = {FromAnsi(fields.date), FromAnsi(fields.sender), FromAnsi(fields.subject)};
  const std::array<int, 3> widths = ColumnWidths();
  for (int i = 0; i < 3; ++i) {
    const int start = x + 2 + (i == 0 ? 20 : 0);
    const QRect clip(start, rect.top(), std::max(0, x + widths[i] - 2 - start), lineHeight);
    painter.save();
    painter.setClipRect(clip);
    painter.setPen(textColour);
    painter.drawText(QPoint(start, textTop + metrics.ascent()), texts[i]);
    painter.restore();
    x += widths[i];
    painter.setPen(divider);
    painter.drawLine(x - 2, rect.top(), x - 2, rect.bottom());
  }
  (void)selected;
}

void TMainForm::HeaderSized() { InBox->viewport()->update(); }

bool TMainForm::OnSelectedEnvelope(const QPoint& at) const {
  const int row = InBox->RowAt(at);
  return at.x() <= kEnvelopeWidth && row >= 0 && InBox->IsSelected(row);
}

void TMainForm::InBoxMouseMove(const QPoint& at) {
  const bool grab = dragPressed_ || (QApplication::mouseButtons() == Qt::NoButton && OnSelectedEnvelope(at));
  const int shape = grab ? widgets::kCursorHandGrab : widgets::kCursorHandPoint;
  if (InBox->viewport()->property("programCursor").toInt() != shape) {
    InBox->viewport()->setCursor(widgets::ProgramCursor(shape));
    InBox->viewport()->setProperty("programCursor", shape);
  }
}

void TMainForm::StartMessageDrag() {
  auto* drag = new QDrag(InBox);
  auto* data = new QMimeData;
  data->setData(kMessageMime, QByteArray::number(session_.ShownLine()));
  drag->setMimeData(data);
  drag->setPixmap(widgets::Picture("MailClosedImage"));
  drag->setDragCursor(widgets::ProgramCursor(widgets::kCursorDragMail).pixmap(), Qt::MoveAction);
  drag->exec(Qt::MoveAction);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == InBox->viewport()) {
    // A press on the selected line's envelope starts a drag of that
    // message, however the pointer then moves; it never selects.
    switch (event->type()) {
      case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        dragStart_ = mouse->position().toPoint();
        dragPressed_ = mouse->button() == Qt::LeftButton && OnSelectedEnvelope(dragStart_) && session_.Shown();
        if (dragPressed_) return true;
        break;
      }
      case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        InBoxMouseMove(mouse->position().toPoint());
        if (!dragPressed_) break;
        if ((mouse->buttons() & Qt::LeftButton) &&
            (mouse->position().toPoint() - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
          dragPressed_ = false;
          StartMessageDrag();
        }
        return true;
      }
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        if (dragPressed_) {
          dragPressed_ = false;
          return true;
        }
        break;
      default: break;
    }
  } else if (auto* button = qobject_cast<QPushButton*>(watched)) {
    // ButtonDragOver and ButtonDragDrop: only a message from the In Box.
    if (event->type() == QEvent::DragEnter) {
      auto* drag = static_cast<QDragEnterEvent*>(event);
      if (drag->mimeData()->hasFormat(kMessageMime) && button->isEnabled()) drag->acceptProposedAction();
      else drag->ignore();
      return true;
    }
    if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      if (drop->mimeData()->hasFormat(kMessageMime)) {
        drop->acceptProposedAction();
        QTimer::singleShot(0, button, &QPushButton::click);
      }
      return true;
    }
  }
  return widgets::TVelForm::eventFilter(watched, event);
}

// --- reading ------------------------------------------------------------------

void TMainForm::ClearReadingPane() {
  for (QLabel* l : {FromLabel, DateLabel, SubjectLabel}) l->setEnabled(false);
  for (QLineEdit* b : {MsgFrom, MsgDate, MsgSubject}) b->clear();
  MailViewer->CloseFile();
}

void TMainForm::SelectLine(int index) {
  const QSignalBlocker quiet(InBox);
  InBox->setCurrentRow(index);
}

void TMainForm::SetInboxLine(int line, const std::string& text) {
  InBox->SetLine(line, text);
}

void TMainForm::SelectInboxLine(int line) { SelectLine(line); }

void TMainForm::InBoxClick() {
  // While a message is being unscrambled the list takes no input; a scan
  // may still rebuild it, and the session selects the shown line again.
  if (unscrambling_) return;
  const int k = InBox->currentRow();
  if (k < 0 || !InBox->IsSelected(k)) return;
  bool stepped = false;
  const shell::MailSession::OpenedMessage opened = session_.OpenMessage(k, [&](int done, int total) {
    if (!stepped) {
      stepped = true;
      unscrambling_ = true;
      progress_.setWindowModality(Qt::ApplicationModal);
      progress_.Cancelled = false;
      progress_.StartProgress(total);
    }
    return UnscrambleStep(done, total);
  });
  if (stepped) {
    widgets::PauseMs(200);
    progress_.EndProgress();
    progress_.setWindowModality(Qt::NonModal);
    unscrambling_ = false;
  }
  if (opened.outcome == shell::MailSession::Opened::kShown) ShowMessage(opened);
  // The selection follows the message shown, whatever happened meanwhile.
  SelectLine(session_.ShownLine());
}

bool TMainForm::UnscrambleStep(int, int) {
  progress_.StepProgress(mailstore::kProgramTitle, "Decyphering Message", 1);
  QApplication::processEvents();
  return !progress_.Cancelled;
}

void TMainForm::ShowMessage(const shell::MailSession::OpenedMessage& opened) {
  for (QLabel* l : {FromLabel, DateLabel, SubjectLabel}) l->setEnabled(true);
  MsgFrom->setText(FromAnsi(opened.record.sender));
  MsgDate->setText(FromAnsi(opened.record.date));
  MsgSubject->setText(FromAnsi(opened.record.subject));
  MailViewer->ShowText(QString::fromStdString(opened.record.textFile), FromAnsi(opened.text), opened.asStored);
  MailViewer->MoveCaretToLine(0);
}

void TMainForm::Delete1Click() {
  // The command acts on the message the pane shows, wherever its line is now.
  if (!session_.Shown() || !MailViewer->IsOpen()) return;
  if (!widgets::AskUser("Delete Mail", "Delete \"Mail From " + MsgFrom->text() + "?\"")) return;
  int next = -1;
  const int code = session_.DeleteShown(next);
  if (next >= 0) {
    SelectLine(next);
    InBoxClick();
  }
  if (code != 0) session_.Mail().ShowIoError(code);
}

void TMainForm::SetMessageCommandsEnabled(bool enabled) {
  for (QPushButton* b : {ReplyButton, ForwardButton, SaveButton, PrintButton, DeleteButton})
    if (b->isEnabled() != enabled) b->setEnabled(enabled);
  for (QAction* a : {Reply1, Forward1, SavetoFile1, Print1, Delete1, SelectAll1})
    if (a->isEnabled() != enabled) a->setEnabled(enabled);
}

void TMainForm::MailViewer1ShowStatus() {
  SetMessageCommandsEnabled(MailViewer->IsOpen());
  const bool selection = MailViewer->HasSelection();
  for (QAction* a : {Copy1, CopyHidden})
    if (a->isEnabled() != selection) a->setEnabled(selection);
}

void TMainForm::CheckMailboxNow1Click() {
  // The notification area's menu is heard even during a pause.
  if (widgets::Pausing()) widgets::WarningBeep();
  else session_.Scanner().CheckMailboxNow();
}

void TMainForm::ShowButtonBar1Click() { SetButtonBarVisible(ButtonBar->isHidden()); }

void TMainForm::ChangeUserName1Click() {
  TUserNameForm form(session_.Mail(), session_.SupervisorPassword(), this);
  if (!session_.ChangeUser(form, *this)) GiveUp();
  else WatchMailbox();
}

void TMainForm::FilesDropped(const QStringList& files) {
  if (files.size() == 1) {
    if (isMinimized()) showNormal();
    else raise();
    OpenSendWindow("Send Mail", QString(), QString(), false, files.front());
  } else if (files.size() > 1) {
    widgets::ShowAlert(mailstore::kProgramTitle, "Sorry, I can only accept one file at\ra time. Try again.");
  }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  QStringList files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  event->acceptProposedAction();
  FilesDropped(files);
}

// --- closing ------------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* event) {
  if (givenUp_) {
    event->accept();
    return;
  }
  if (widgets::Pausing()) {  // from the notification area, in the middle of sending
    event->ignore();
    widgets::WarningBeep();
    return;
  }
  const shell::MainWindowLayout layout = Layout();
  session_.SaveSettings(&layout);  // saved even when the user then keeps the mailbox open
  const bool close = shutdownFlag_ || widgets::AskUser("Close Mailbox", CloseQuestion());
  shutdownFlag_ = false;
  if (!close) {
    event->ignore();
    return;
  }
  trayWait_->stop();
  TrayIcon->SetActive(false);
  event->accept();
  emit Closed();
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) return;  // Escape does not close the mailbox
  widgets::TVelForm::keyPressEvent(event);
}

// --- stored state -------------------------------------------------------------

namespace {

QWidget* FontHolder(const TMainForm& form, int role) {
  return role == shell::MainWindowLayout::kInBoxFont    ? static_cast<QWidget*>(form.InBox)
         : role == shell::MainWindowLayout::kViewerFont ? static_cast<QWidget*>(form.MailViewer)
                                                        : form.EditorPanel;
}

}  // namespace

shell::MainWindowLayout TMainForm::Layout() const {
  shell::MainWindowLayout layout;
  layout.placement = widgets::PlacementOf(*this);
  layout.screen = widgets::ScreenOf(*this);
  layout.paneHeight = InBoxPaneHeight();
  layout.widths = ColumnWidths();
  layout.buttonBar = !ButtonBar->isHidden();
  for (int role = 0; role < 3; ++role) {
    layout.fonts[role] = widgets::FontSettingOf(FontHolder(*this, role)->font());
  }
  return layout;
}

void TMainForm::ApplyLayout(const shell::MainWindowLayout& layout) {
  const shell::Placement& p = layout.placement;
  widgets::Place(*this, {p.left, p.top, std::max(p.width, kMinimumWidth), std::max(p.height, kMinimumHeight)});
  SetInBoxPaneHeight(layout.paneHeight);
  Header->resizeSection(0, layout.widths[0]);
  Header->resizeSection(1, layout.widths[1]);
  SetButtonBarVisible(layout.buttonBar);
  for (int role = 0; role < 3; ++role) {
    FontHolder(*this, role)->setFont(widgets::FontOf(layout.fonts[role]));
  }
}

void TMainForm::SetInBoxPaneHeight(int height) { ListPanel->setFixedHeight(std::max(0, height)); }

std::array<int, 3> TMainForm::ColumnWidths() const {
  const int date = Header->sectionSize(0), from = Header->sectionSize(1);
  return {date, from, std::max(0, Header->width() - date - from)};
}

void TMainForm::SetButtonBarVisible(bool visible) {
  ButtonBar->setVisible(visible);
  ShowButtonBar1->setChecked(visible);
}

}  // namespace mainwindow
