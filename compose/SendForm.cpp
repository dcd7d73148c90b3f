#include "compose/SendForm.h"

#include "compose/SpellChecker.h"
#include "compose/UserListDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "mailstore/Delivery.h"
#include "mailstore/IoErrorText.h"
#include "mailstore/MessageRecord.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "prefs/PrintAdapters.h"
#include "prefs/PrintDialog.h"
#include "prefs/PrintMessage.h"
#include "shell/AnsiText.h"
#include "shell/StoredSettings.h"
#include "widgets/AboutBox.h"
#include "widgets/ClipboardViewer.h"
#include "widgets/Colours.h"
#include "widgets/FileCommands.h"
#include "widgets/Help.h"
#include "widgets/MenuKeys.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

namespace compose {

namespace {

constexpr int kMaxTabSize = 80;
constexpr int kMinimumWidth = 539, kMinimumHeight = 350;

QToolButton* SpeedButton(QWidget* parent, const char* name, const char* glyph, const QString& hint) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setIcon(widgets::Glyph(glyph));
  button->setToolTip(hint);
  button->setAccessibleName(hint);  // a picture alone says nothing to a screen reader
  button->setFixedSize(26, 26);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);  // a speed button never takes the focus
  return button;
}

// Writes an enabled state only when it differs.
void Enable(QWidget* control, bool enabled) {
  if (control->isEnabled() != enabled) control->setEnabled(enabled);
}
void Enable(QAction* action, bool enabled) {
  if (action->isEnabled() != enabled) action->setEnabled(enabled);
}

}  // namespace

QString ReplySubject(const QString& subject) {
  const QString prefixed = subject.contains(QStringLiteral("REPLY: ")) ? subject : QStringLiteral("REPLY: ") + subject;
  return prefixed.left(40);
}

TSendForm::TSendForm(SendContext& context, QWidget* parent) : widgets::TVelForm(parent), context_(context) {
  setObjectName("SendForm");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                 Qt::WindowCloseButtonHint);
  QFont arial("Arial");
  arial.setPixelSize(12);
  setFont(arial);
  resize(kMinimumWidth, kMinimumHeight);
  setMinimumSize(kMinimumWidth, kMinimumHeight);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  MainMenu1 = new QMenuBar(this);
  layout->setMenuBar(MainMenu1);
  auto* address = new QWidget(this);
  address->setObjectName("AddressPanel");
  address->setFixedHeight(92);
  BuildAddressPanel(address);
  layout->addWidget(address);
  Notebook = new QStackedWidget(this);
  Notebook->setObjectName("Notebook");
  Notebook->setContentsMargins(4, 4, 4, 4);
  BuildPages();
  layout->addWidget(Notebook, 1);

  auto* buttons = new QWidget(this);
  buttons->setObjectName("ButtonPanel");
  buttons->setFixedHeight(42);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(8, 6, 8, 6);
  EncryptMail = new QCheckBox("En&crypt Mail", buttons);
  EncryptMail->setObjectName("EncryptMail");
  row->addWidget(EncryptMail);
  row->addStretch(1);
  SendButton = widgets::GlyphButton(buttons, "SendButton", "&Send", "send", 0, 0);
  CancelButton = widgets::GlyphButton(buttons, "CancelButton", "Cancel", "cancel", 0, 0);
  HelpButton = widgets::GlyphButton(buttons, "HelpButton", "&Help", "help", 0, 0);
  for (QPushButton* b : {SendButton, CancelButton, HelpButton}) {
    b->setFixedSize(81, 28);
    row->addWidget(b);
  }
  layout->addWidget(buttons);
  BuildMenus();
  widgets::GiveMenusTheirKeys(MainMenu1);

  connect(SendButton, &QPushButton::clicked, this, &TSendForm::SendButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TSendForm::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { widgets::ShowHelpTopic(widgets::kHelpSendWindow, this); });
  connect(ToBox, &QLineEdit::textChanged, this, &TSendForm::UpdateSendButton);
  connect(Editor, &widgets::TMailEditor::StatusChanged, this, &TSendForm::EditorShowStatus);
  connect(UseMailEditor, &QRadioButton::clicked, this, &TSendForm::UseMailEditorClick);
  connect(SendTextFile, &QRadioButton::clicked, this, &TSendForm::SendTextFileClick);
  connect(SendToAll, &QCheckBox::clicked, this, &TSendForm::SendToAllClick);
  connect(FNameBox, &QLineEdit::textChanged, this, &TSendForm::FNameBoxChange);
  connect(BrowseButton, &QToolButton::clicked, this, &TSendForm::BrowseButtonClick);
  connect(FileViewer, &widgets::TTextViewer::StatusChanged, this, [this] { Edit1Click(); });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    Edit1Click();
    Enable(PasteButton, ClipboardHasText());
  });
  ModePanel->installEventFilter(this);
}

void TSendForm::BuildAddressPanel(QWidget* panel) {
  ToBox = widgets::Placed(new QLineEdit(panel), "ToBox", QRect(72, 8, 400, 22));
  ToBox->setMaxLength(2000);
  ToLabel = widgets::Placed(new QLabel("&To:", panel), "ToLabel", QRect(8, 11, 60, 16));
  ToLabel->setBuddy(ToBox);
  PickUser = SpeedButton(panel, "PickUser", "person", "Select recipients from a list");
  PickUser->move(478, 6);
  SubjectBox = widgets::Placed(new QLineEdit(panel), "SubjectBox", QRect(72, 36, 400, 22));
  SubjectBox->setMaxLength(40);
  Label2 = widgets::Placed(new QLabel("S&ubject:", panel), "Label2", QRect(8, 39, 60, 16));
  Label2->setBuddy(SubjectBox);
  UseMailEditor =
      widgets::Placed(new QRadioButton("Use Mail &Editor", panel), "UseMailEditor", QRect(72, 66, 130, 20));
  UseMailEditor->setChecked(true);
  SendTextFile = widgets::Placed(new QRadioButton("Send Text &File", panel), "SendTextFile", QRect(206, 66, 130, 20));
  SendToAll = widgets::Placed(new QCheckBox("Send to &All Users", panel), "SendToAll", QRect(340, 66, 140, 20));
  connect(PickUser, &QToolButton::clicked, this,
          [this] { ShowRecipientDialog(*ToBox, context_.session.Mail(), this); });
}

void TSendForm::BuildPages() {
  auto* editorPage = new QWidget;
  editorPage->setObjectName("MailEditor");
  auto* editorLayout = new QVBoxLayout(editorPage);
  editorLayout->setContentsMargins(0, 0, 0, 0);
  editorLayout->setSpacing(0);
  ButtonBar = new QWidget(editorPage);
  ButtonBar->setObjectName("ButtonBar");
  ButtonBar->setFixedHeight(32);
  auto* bar = new QHBoxLayout(ButtonBar);
  bar->setContentsMargins(2, 3, 2, 3);
  bar->setSpacing(1);
  ImportButton = SpeedButton(ButtonBar, "ImportButton", "import", "Import ASCII Text");
  SaveButton = SpeedButton(ButtonBar, "SaveButton", "save", "Save to a File");
  PrintButton = SpeedButton(ButtonBar, "PrintButton", "print", "Print");
  UndoButton = SpeedButton(ButtonBar, "UndoButton", "undo", "Undo");
  RedoButton = SpeedButton(ButtonBar, "RedoButton", "redo", "Redo");
  CutButton = SpeedButton(ButtonBar, "CutButton", "cut", "Cut");
  CopyButton = SpeedButton(ButtonBar, "CopyButton", "copy", "Copy");
  PasteButton = SpeedButton(ButtonBar, "PasteButton", "paste", "Paste");
  DeleteButton = SpeedButton(ButtonBar, "DeleteButton", "delete", "Delete");
  SpellChkButton = SpeedButton(ButtonBar, "SpellChkButton", "spell", "Check Spelling");
  for (QToolButton* b : {ImportButton, SaveButton, PrintButton, UndoButton, RedoButton, CutButton, CopyButton,
                         PasteButton, DeleteButton, SpellChkButton}) {
    bar->addWidget(b);
    if (b == PrintButton || b == RedoButton || b == DeleteButton) bar->addSpacing(8);
  }
  bar->addStretch(1);
  editorLayout->addWidget(ButtonBar);
  Editor = new widgets::TMailEditor(editorPage);
  Editor->setAccessibleName("Message text");
  editorLayout->addWidget(Editor, 1);
  StatusBar = new QWidget(editorPage);
  StatusBar->setObjectName("StatusBar");
  StatusBar->setFixedHeight(20);
  auto* status = new QHBoxLayout(StatusBar);
  status->setContentsMargins(0, 0, 0, 0);
  status->setSpacing(2);
  CursorPosPanel = new QLabel("1:1", StatusBar);
  CursorPosPanel->setObjectName("CursorPosPanel");
  ModePanel = new QLabel("Insert", StatusBar);
  ModePanel->setObjectName("ModePanel");
  for (QLabel* panel : {CursorPosPanel, ModePanel}) {
    panel->setFixedWidth(65);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setAlignment(Qt::AlignCenter);
    status->addWidget(panel);
  }
  status->addStretch(1);
  editorLayout->addWidget(StatusBar);
  Notebook->addWidget(editorPage);

  auto* filePage = new QWidget;
  filePage->setObjectName("TextFile");
  auto* fileLayout = new QVBoxLayout(filePage);
  fileLayout->setContentsMargins(0, 0, 0, 0);
  auto* nameRow = new QHBoxLayout;
  auto* nameLabel = new QLabel("File &Name:", filePage);
  nameLabel->setObjectName("FNameLabel");
  FNameBox = new QLineEdit(filePage);
  FNameBox->setObjectName("FNameBox");
  nameLabel->setBuddy(FNameBox);
  BrowseButton = SpeedButton(filePage, "BrowseButton", "folder", "Select from a list of files");
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(FNameBox, 1);
  nameRow->addWidget(BrowseButton);
  fileLayout->addLayout(nameRow);
  FileViewer = new widgets::TTextViewer(filePage);
  FileViewer->setAccessibleName("Text file to send");
  FileViewer->setObjectName("FileViewer");
  FileViewer->ViewTextFiles();
  fileLayout->addWidget(FileViewer, 1);
  Notebook->addWidget(filePage);
}

void TSendForm::BuildMenus() {
  auto add = [this](QMenu* menu, const char* name, const QString& text, QKeySequence key = {}) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (!key.isEmpty()) action->setShortcut(key);
    if (menu) menu->addAction(action);
    addAction(action);  // its key works wherever the focus is in the window
    return action;
  };
  QMenu* file = MainMenu1->addMenu("&File");
  file->setObjectName("File1");
  SavetoFile1 = add(file, "SavetoFile1", "&Save to File...", QKeySequence("Ctrl+S"));
  ImportText1 = add(file, "ImportText1", "Import &Text...");
  file->addSeparator();
  Print1 = add(file, "Print1", "&Print...", QKeySequence("Ctrl+P"));
  file->addSeparator();
  Close1 = add(file, "Close1", "&Close", QKeySequence("Ctrl+E"));
  QMenu* edit = MainMenu1->addMenu("&Edit");
  edit->setObjectName("Edit1");
  Undo1 = add(edit, "Undo1", "&Undo", QKeySequence("Ctrl+Z"));
  Undo2 = add(nullptr, "Undo2", "&Undo", QKeySequence("Alt+Backspace"));
  Redo1 = add(edit, "Redo1", "&Redo", QKeySequence("Ctrl+Shift+Z"));
  Redo2 = add(nullptr, "Redo2", "&Redo", QKeySequence("Alt+Shift+Backspace"));
  edit->addSeparator();
  Cut1 = add(edit, "Cut1", "Cu&t", QKeySequence("Ctrl+X"));
  Cut2 = add(nullptr, "Cut2", "Cu&t", QKeySequence("Shift+Del"));
  Copy1 = add(edit, "Copy1", "&Copy", QKeySequence("Ctrl+C"));
  Copy2 = add(nullptr, "Copy2", "&Copy", QKeySequence("Ctrl+Ins"));
  Paste1 = add(edit, "Paste1", "&Paste", QKeySequence("Ctrl+V"));
  Paste2 = add(nullptr, "Paste2", "&Paste", QKeySequence("Shift+Ins"));
  Delete1 = add(edit, "Delete1", "&Delete", QKeySequence("Ctrl+Del"));
  SelectAll1 = add(edit, "SelectAll1", "&Select All");
  edit->addSeparator();
  ShowClipboard1 = add(edit, "ShowClipboard1", "Sho&w Clipboard");
  QMenu* options = MainMenu1->addMenu("&Options");
  options->setObjectName("Options1");
  ShowButtonBar1 = add(options, "ShowButtonBar1", "Show &Button Bar");
  ShowStatusBar1 = add(options, "ShowStatusBar1", "Show &Status Bar");
  options->addSeparator();
  AutoIndent1 = add(options, "AutoIndent1", "&Auto Indent");
  WordWrap1 = add(options, "WordWrap1", "&Word Wrap");
  TabSize1 = add(options, "TabSize1", "&Tab Size...");
  options->addSeparator();
  CheckSpelling1 = add(options, "CheckSpelling1", "&Check Spelling");
  Divider2 = options->addSeparator();
  Preferences1 = add(options, "Preferences1", "Set &Preferences...");
  for (QAction* a : {ShowButtonBar1, ShowStatusBar1, AutoIndent1, WordWrap1}) a->setCheckable(true);
  QMenu* help = MainMenu1->addMenu("&Help");
  Contents1 = add(help, "Contents1", "&Contents");
  TopicSearch1 = add(help, "TopicSearch1", "&Topic Search...");
  HowtoUseHelp1 = add(help, "HowtoUseHelp1", "&How to Use Help");
  UsingtheMailEditor1 = add(nullptr, "UsingtheMailEditor1", "&Using the Mail Editor", QKeySequence(Qt::Key_F1));
  help->addSeparator();
  About1 = add(help, "About1", "&About", QKeySequence(Qt::Key_F2));

  connect(file, &QMenu::aboutToShow, this, &TSendForm::File1Click);
  connect(edit, &QMenu::aboutToShow, this, &TSendForm::Edit1Click);
  connect(options, &QMenu::aboutToShow, this, &TSendForm::Options1Click);

  connect(SavetoFile1, &QAction::triggered, this, &TSendForm::SavetoFile1Click);
  connect(ImportText1, &QAction::triggered, this, &TSendForm::ImportText1Click);
  connect(Print1, &QAction::triggered, this, &TSendForm::Print1Click);
  connect(Close1, &QAction::triggered, this, &QWidget::close);
  connect(Undo1, &QAction::triggered, Editor, &QPlainTextEdit::undo);
  connect(Redo1, &QAction::triggered, Editor, &QPlainTextEdit::redo);
  connect(Cut1, &QAction::triggered, Editor, &QPlainTextEdit::cut);
  connect(Copy1, &QAction::triggered, this, [this] {
    SelectionSource().copy();
    Edit1Click();
  });
  connect(Paste1, &QAction::triggered, this, [this] {
    Editor->paste();
    Editor->setFocus();
  });
  connect(Delete1, &QAction::triggered, Editor, &widgets::TMailEditor::DeleteSelection);
  connect(SelectAll1, &QAction::triggered, this, [this] {
    QPlainTextEdit& source = SelectionSource();
    source.setFocus();
    source.selectAll();
  });
  // The hidden items run their partner, which does nothing when disabled.
  for (auto [hidden, partner] : {std::pair{Undo2, Undo1}, std::pair{Redo2, Redo1}, std::pair{Cut2, Cut1},
                                 std::pair{Copy2, Copy1}, std::pair{Paste2, Paste1}})
    connect(hidden, &QAction::triggered, partner, &QAction::trigger);
  connect(ShowClipboard1, &QAction::triggered, this, [this] { widgets::ShowClipboardViewer(this); });
  connect(ShowButtonBar1, &QAction::triggered, this, [this] { ButtonBar->setVisible(!ButtonBar->isVisible()); });
  connect(ShowStatusBar1, &QAction::triggered, this, [this] { StatusBar->setVisible(!StatusBar->isVisible()); });
  connect(AutoIndent1, &QAction::triggered, this, [this] { Editor->SetAutoIndent(!Editor->AutoIndent()); });
  connect(WordWrap1, &QAction::triggered, this, [this] { Editor->SetWordWrap(!Editor->WordWrap()); });
  connect(TabSize1, &QAction::triggered, this, &TSendForm::TabSize1Click);
  connect(CheckSpelling1, &QAction::triggered, this, [this] {
    if (!EditorMode() || Editor->IsEmpty()) return;
    const shell::Preferences& prefs = context_.session.Prefs();
    const shell::ColourElement& normal = prefs.colours[shell::kEditorNormalText];
    const shell::ColourElement& selected = prefs.colours[shell::kEditorSelectedText];
    SpellSettings settings{platform::ProgramDir(), prefs.userDictionaryPath, Editor->font(),
                           {normal.textColour, normal.backgroundColour, selected.textColour, selected.backgroundColour}};
    RunSpellCheck(*Editor, settings, context_.session.Ui(), this);
  });
  connect(Preferences1, &QAction::triggered, this, [this] {
    if (context_.preferences) context_.preferences();
    ApplyEditorColours();
  });
  connect(Contents1, &QAction::triggered, this, [this] { widgets::ShowHelp(widgets::HelpRequest::kContents, this); });
  connect(TopicSearch1, &QAction::triggered, this, [this] { widgets::ShowHelp(widgets::HelpRequest::kSearch, this); });
  connect(HowtoUseHelp1, &QAction::triggered, this,
          [this] { widgets::ShowHelp(widgets::HelpRequest::kUsingHelp, this); });
  connect(UsingtheMailEditor1, &QAction::triggered, this,
          [this] { widgets::ShowHelpTopic(widgets::kHelpUsingTheEditor, this); });
  connect(About1, &QAction::triggered, this, [this] { widgets::ShowAboutBox(this); });

  connect(ImportButton, &QToolButton::clicked, ImportText1, &QAction::trigger);
  connect(SaveButton, &QToolButton::clicked, SavetoFile1, &QAction::trigger);
  connect(PrintButton, &QToolButton::clicked, Print1, &QAction::trigger);
  connect(UndoButton, &QToolButton::clicked, Undo1, &QAction::trigger);
  connect(RedoButton, &QToolButton::clicked, Redo1, &QAction::trigger);
  connect(CutButton, &QToolButton::clicked, Cut1, &QAction::trigger);
  connect(CopyButton, &QToolButton::clicked, Copy1, &QAction::trigger);
  connect(PasteButton, &QToolButton::clicked, Paste1, &QAction::trigger);
  connect(DeleteButton, &QToolButton::clicked, Delete1, &QAction::trigger);
  connect(SpellChkButton, &QToolButton::clicked, CheckSpelling1, &QAction::trigger);
}

void TSendForm::Open(const QString& caption, const QString& to, const QString& subject, bool forward,
                     const QString& fileName) {
  widgets::CentreOnScreen(this);  // where it first opens
  shell::EditorSettings settings;
  settings.placement = widgets::PlacementOf(*this);
  settings.screen = widgets::ScreenOf(*this);
  settings.buttonBar = true;
  settings.statusBar = true;
  settings.tabSize = Editor->TabSize();
  settings.wordWrap = Editor->WordWrap();
  shell::LoadEditorSettings(settings, context_.session.Ui());
  shell::Placement placement = settings.placement;
  placement.width = std::max(placement.width, kMinimumWidth);
  placement.height = std::max(placement.height, kMinimumHeight);
  widgets::Place(*this, placement);
  ButtonBar->setVisible(settings.buttonBar);
  StatusBar->setVisible(settings.statusBar);
  Editor->SetTabSize(settings.tabSize);
  Editor->SetAutoIndent(settings.autoIndent);
  Editor->SetWordWrap(settings.wordWrap);
  EncryptMail->setChecked(settings.encryptMail);

  const bool showPreferences = context_.preferences != nullptr;
  Preferences1->setVisible(showPreferences);
  Divider2->setVisible(showPreferences);
  if (context_.session.Command().noEncryption) {
    EncryptMail->setChecked(false);
    EncryptMail->setEnabled(false);
    EncryptMail->setVisible(false);
  }
  if (!fileName.isEmpty()) {
    SendTextFile->setChecked(true);
    SendTextFileClick();
    FNameBox->setText(fileName);
  } else {
    UseMailEditor->setChecked(true);
    UseMailEditorClick();
    if (forward) ForwardCopy(context_.forwardText);
  }
  setWindowTitle(caption);
  ToBox->setText(to.left(255));
  SubjectBox->setText(subject);
  QWidget* focus = ToBox;
  if (!ToBox->text().isEmpty()) focus = SubjectBox;
  if (!ToBox->text().isEmpty() && !SubjectBox->text().isEmpty()) focus = Editor;
  if (forward) focus = ToBox;
  focus->setFocus();
  Editor->SetWrapColumn(Editor->VisibleColumns() - 2);
  ApplyEditorColours();
  sent_ = false;
  EditorShowStatus(Editor->CaretLine(), Editor->CaretColumn());
}

void TSendForm::ForwardCopy(const QStringList& lines) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  for (const QString& line : lines) Editor->InsertTextAtCaret(line + QStringLiteral("\n"));
  Editor->MoveToStart();
  QApplication::restoreOverrideCursor();
}

void TSendForm::changeEvent(QEvent* event) {
  widgets::TVelForm::changeEvent(event);
  // A new colour scheme of the desktop: the system colours follow it.
  if (event->type() == QEvent::PaletteChange) ApplyEditorColours();
}

void TSendForm::ApplyEditorColours() {
  const shell::Preferences& prefs = context_.session.Prefs();
  auto paint = [&prefs](QPlainTextEdit& view, int normal) {
    // System colours come from the application's palette, never from the
    // view's own, which holds the colours set last time.
    const QPalette system = QApplication::palette();
    QPalette palette = view.palette();
    const shell::ColourElement& n = prefs.colours[static_cast<size_t>(normal)];
    const shell::ColourElement& s = prefs.colours[static_cast<size_t>(normal + 1)];
    palette.setColor(QPalette::Base, widgets::ColourFromSetting(n.backgroundColour, system));
    palette.setColor(QPalette::Text, widgets::ColourFromSetting(n.textColour, system));
    palette.setColor(QPalette::Highlight, widgets::ColourFromSetting(s.backgroundColour, system));
    palette.setColor(QPalette::HighlightedText, widgets::ColourFromSetting(s.textColour, system));
    view.setPalette(palette);
  };
  Editor->setFont(context_.editorFont);
  paint(*Editor, shell::kEditorNormalText);
  FileViewer->setFont(context_.viewerFont);
  paint(*FileViewer, shell::kViewerNormalText);
}

bool TSendForm::ClipboardHasText() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasText() && !data->text().isEmpty();
}

QPlainTextEdit& TSendForm::SelectionSource() const {
  return EditorMode() ? static_cast<QPlainTextEdit&>(*Editor) : static_cast<QPlainTextEdit&>(*FileViewer);
}

void TSendForm::UpdateSendButton() {
  const bool haveText = EditorMode() ? !Editor->IsEmpty() : !FNameBox->text().isEmpty();
  Enable(SendButton, haveText && (!ToBox->text().isEmpty() || SendToAll->isChecked()));
}

void TSendForm::EditorShowStatus(int line, int column) {
  UpdateSendButton();
  ModePanel->setText(Editor->Overwrite() ? "Overwrite" : "Insert");
  CursorPosPanel->setText(QString("%1:%2").arg(line).arg(column));
  const bool text = !Editor->IsEmpty();
  for (QToolButton* b : {SaveButton, PrintButton, SpellChkButton}) Enable(b, text);
  Enable(UndoButton, Editor->CanUndo());
  Enable(RedoButton, Editor->CanRedo());
  for (QToolButton* b : {CutButton, CopyButton, DeleteButton}) Enable(b, Editor->HasSelection());
  Enable(PasteButton, ClipboardHasText());
  File1Click();
  Edit1Click();
  Options1Click();
}

void TSendForm::SetModeEnabled() {
  File1Click();
  Edit1Click();
  Options1Click();
  UpdateSendButton();
}

void TSendForm::UseMailEditorClick() {
  Notebook->setCurrentIndex(0);
  if (!context_.session.Command().noEncryption) EncryptMail->setEnabled(true);
  SetModeEnabled();
}

void TSendForm::SendTextFileClick() {
  Notebook->setCurrentIndex(1);
  EncryptMail->setEnabled(false);  // a text file is sent as it is
  SetModeEnabled();
}

void TSendForm::SendToAllClick() {
  const bool all = SendToAll->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(ToLabel), static_cast<QWidget*>(ToBox), static_cast<QWidget*>(PickUser)})
    w->setEnabled(!all);
  UpdateSendButton();
}

void TSendForm::FNameBoxChange() {
  const QString name = FNameBox->text();
  fileCode_ = 0;
  if (name.isEmpty()) FileViewer->CloseFile();
  else fileCode_ = FileViewer->OpenFile(name);
  // A name being typed is mostly no file yet: what is wrong with it is told
  // when the mail is sent, not at each keystroke.
  if (fileCode_ != 0 && isVisible() && !FNameBox->hasFocus()) ShowFileProblem();
  UpdateSendButton();
  SetModeEnabled();
}

void TSendForm::ShowFileProblem() {
  widgets::ShowErrorText(QString::fromStdString(mailstore::TextFileErrorText(fileCode_)));
}

void TSendForm::BrowseButtonClick() {
  QString file;
  if (widgets::ChooseFileToOpen(file, context_.session.Prefs(), context_.session.Ui(), this)) FNameBox->setText(file);
}

void TSendForm::File1Click() {
  const bool editor = EditorMode();
  Enable(ImportText1, editor);
  Enable(SavetoFile1, editor && !Editor->IsEmpty());
  Enable(Print1, editor ? !Editor->IsEmpty() : FileViewer->IsOpen());
}

void TSendForm::Edit1Click() {
  const bool editor = EditorMode();
  const bool selection = editor ? Editor->HasSelection() : FileViewer->HasSelection();
  Enable(Undo1, editor && Editor->CanUndo());
  Enable(Redo1, editor && Editor->CanRedo());
  Enable(Copy1, selection);
  Enable(Cut1, editor && selection);
  Enable(Delete1, editor && selection);
  Enable(Paste1, editor && ClipboardHasText());
  Enable(SelectAll1, editor ? !Editor->IsEmpty() : FileViewer->IsOpen());
  for (auto [hidden, partner] : {std::pair{Undo2, Undo1}, std::pair{Redo2, Redo1}, std::pair{Cut2, Cut1},
                                 std::pair{Copy2, Copy1}, std::pair{Paste2, Paste1}})
    Enable(hidden, partner->isEnabled());
}

void TSendForm::Options1Click() {
  ShowButtonBar1->setChecked(!ButtonBar->isHidden());
  ShowStatusBar1->setChecked(!StatusBar->isHidden());
  WordWrap1->setChecked(Editor->WordWrap());
  AutoIndent1->setChecked(Editor->AutoIndent());
  const bool editor = EditorMode();
  for (QAction* a : {ShowButtonBar1, ShowStatusBar1, WordWrap1, AutoIndent1, TabSize1}) Enable(a, editor);
  Enable(CheckSpelling1, editor && !Editor->IsEmpty());
}

void TSendForm::TabSize1Click() {
  QString size = QString::number(Editor->TabSize());
  if (!widgets::GetInput("Set Tab Size", QString("Enter new tab size (1 to %1):").arg(kMaxTabSize), size,
                         widgets::kHelpTabSize, true))
    return;
  bool ok = false;
  const int value = size.toInt(&ok);
  if (!ok || value < 1 || value > kMaxTabSize) {
    widgets::ShowAlert(mailstore::kProgramTitle, QString("Valid tab sizes are 1 to %1.").arg(kMaxTabSize));
    return;
  }
  Editor->SetTabSize(value);
}

void TSendForm::ImportText1Click() {
  QString file;
  if (!widgets::ChooseFileToOpen(file, context_.session.Prefs(), context_.session.Ui(), this)) return;
  const QString before = FileViewer->IsOpen() ? FileViewer->FileName() : QString();
  if (const int code = FileViewer->OpenFile(file); code == 0) {
    Editor->setFocus();
    for (int n = 0; n < FileViewer->LineCount(); ++n)
      Editor->InsertTextAtCaret(widgets::ExpandTabs(FileViewer->Line(n).left(1023), 8) + QStringLiteral("\n"));
  } else {
    widgets::ShowErrorText(QString::fromStdString(mailstore::TextFileErrorText(code)));
  }
  FileViewer->CloseFile();
  if (!before.isEmpty()) FileViewer->OpenFile(before);
}

void TSendForm::SavetoFile1Click() {
  widgets::SaveTextAs(*Editor, "Save Editor Contents As", context_.session.Prefs(), context_.session.Ui(), this);
}

void TSendForm::Print1Click() {
  shell::TPrinterOptions& options = context_.session.Prefs().printOptions;
  const prefs::TextSnapshot text(SelectionSource());
  options.printSelected = text.HasSelection();
  const QString to = ToBox->text();
  const qsizetype blank = to.indexOf(u' ');
  options.name = ("Mail To " + (blank < 0 ? to : to.left(blank) + "...")).toStdString();
  if (!prefs::ExecutePrintDialog(options, context_.printers, this)) return;
  std::unique_ptr<prefs::PrintDevice> device =
      context_.printers.OpenPrinter(QString::fromStdString(options.name), this);
  if (!device) return;
  const QString date = QString::fromStdString(
      mailstore::FormatMessageDate(platform::SystemClock().LocalNow(), platform::ShortDateFormat()));
  prefs::WindowPrintProgress progress(context_.progress);
  prefs::PrintMessageText(text, {to, SubjectBox->text(), date, QString()}, options, *device, progress,
                          platform::SystemClock(), context_.session.Ui());
}

void TSendForm::SendButtonClick() {
  if (sending_) return;
  sending_ = true;
  mailstore::SendRequest request;
  request.sendToAll = SendToAll->isChecked();
  request.subject = shell::ToAnsi(SubjectBox->text());
  if (EditorMode()) {
    request.source = mailstore::SendRequest::Source::kEditor;
    request.lines = Editor->StoredLines();
    request.scramble = EncryptMail->isEnabled() && EncryptMail->isChecked();
  } else {
    // The file as it is now: it may have come or gone since it was named.
    FNameBoxChange();
    if (fileCode_ != 0) {
      ShowFileProblem();
      sending_ = false;
      return;
    }
    request.source = mailstore::SendRequest::Source::kTextFile;
    request.textFile = FNameBox->text().toStdString();
  }
  request.shortDateFormat = platform::ShortDateFormat();
  mailstore::Delivery delivery(context_.session.Mail(), request);
  const bool done = mailstore::SendMessage(delivery, shell::ToAnsi(ToBox->text()));
  sent_ = sent_ || delivery.sentFlag;
  sending_ = false;
  if (done) {
    setResult(QDialog::Accepted);
    accept();
  }
}

bool TSendForm::MayClose() {
  return sent_ || (Editor->IsEmpty() && FNameBox->text().isEmpty()) ||
         widgets::AskUser("Send Mail", "Close without sending mail?");
}

// Every way of closing asks first when something would be lost: the close
// box and Close here, Cancel and Escape in reject().
void TSendForm::closeEvent(QCloseEvent* event) {
  if (MayClose()) event->accept();
  else event->ignore();
}

void TSendForm::reject() {
  if (MayClose()) done(QDialog::Rejected);
}

void TSendForm::resizeEvent(QResizeEvent* event) {
  widgets::TVelForm::resizeEvent(event);
  // The address boxes take the width of the window.
  const int boxWidth = std::max(200, width() - 72 - 48);
  ToBox->resize(boxWidth, ToBox->height());
  SubjectBox->resize(boxWidth, SubjectBox->height());
  PickUser->move(72 + boxWidth + 6, PickUser->y());
  Editor->SetWrapColumn(Editor->VisibleColumns() - 2);
}

bool TSendForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ModePanel && event->type() == QEvent::MouseButtonPress) {
    Editor->setFocus();
    Editor->SetOverwrite(!Editor->Overwrite());
    return true;
  }
  return widgets::TVelForm::eventFilter(watched, event);
}

bool ShowSendWindow(SendContext& context, const QString& caption, const QString& to, const QString& subject,
                    bool forward, const QString& fileName, QWidget* parent) {
  TSendForm form(context, parent);
  form.Open(caption, to, subject, forward, fileName);
  const bool sent = form.exec() == QDialog::Accepted;
  shell::EditorSettings settings;
  settings.placement = widgets::PlacementOf(form);
  settings.buttonBar = !form.ButtonBar->isHidden();
  settings.statusBar = !form.StatusBar->isHidden();
  settings.tabSize = form.Editor->TabSize();
  settings.autoIndent = form.Editor->AutoIndent();
  settings.wordWrap = form.Editor->WordWrap();
  settings.encryptMail = form.EncryptMail->isChecked();
  shell::SaveEditorSettings(settings, context.session.Ui());
  return sent;
}

}  // namespace compose
