#include "compose/SpellChecker.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include "platform/Path.h"
#include "shell/AnsiText.h"
#include "widgets/Colours.h"
#include "widgets/Help.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"
#include "widgets/VelImage.h"

namespace compose {

bool IsWordCharacter(unsigned char c) {
  if (c == '\'' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c < 192) return false;
  return c != 208 && c != 215 && c != 222 && c != 240 && c != 247 && c != 254;
}

namespace {

bool IsWordChar(QChar c) { return c.unicode() < 256 && IsWordCharacter(static_cast<unsigned char>(c.unicode())); }

constexpr int kLongestLine = 1024;

}  // namespace

// --- the editor's lines as shown ---------------------------------------------

void DisplayedLines::Map() {
  const QTextDocument* document = editor_.document();
  if (revision_ == document->revision() && !spans_.empty()) return;
  revision_ = document->revision();
  spans_.clear();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    const QTextLayout* layout = block.layout();
    const int lines = layout != nullptr ? layout->lineCount() : 0;
    if (lines <= 1 || editor_.lineWrapMode() == QPlainTextEdit::NoWrap) {
      spans_.push_back({block.blockNumber(), 0, static_cast<int>(block.text().size())});
      continue;
    }
    for (int i = 0; i < lines; ++i) {
      const QTextLine line = layout->lineAt(i);
      spans_.push_back({block.blockNumber(), line.textStart(), line.textLength()});
    }
  }
}

int DisplayedLines::Count() {
  Map();
  return static_cast<int>(spans_.size());
}

QString DisplayedLines::Line(int n) {
  Map();
  if (n < 1 || n > static_cast<int>(spans_.size())) return {};
  const Span& span = spans_[static_cast<size_t>(n - 1)];
  return editor_.document()->findBlockByNumber(span.block).text().mid(span.start, span.length);
}

void DisplayedLines::Replace(int n, int from, int to, const QString& text) {
  Map();
  if (n < 1 || n > static_cast<int>(spans_.size())) return;
  const Span& span = spans_[static_cast<size_t>(n - 1)];
  const int base = editor_.document()->findBlockByNumber(span.block).position() + span.start;
  QTextCursor cursor(editor_.document());
  cursor.setPosition(base + std::max(0, from));
  cursor.setPosition(base + std::min(to, span.length), QTextCursor::KeepAnchor);
  cursor.insertText(text);
  editor_.setTextCursor(cursor);
}

// --- the dialog -------------------------------------------------------------------

TSpellCheckerDialog::TSpellCheckerDialog(widgets::TMailEditor& editor, const SpellSettings& settings,
                                         mailstore::UserInteraction& ui, QWidget* parent)
    : widgets::TVelForm(parent), editor_(editor), lines_(editor), settings_(settings), ui_(ui) {
  setObjectName("SpellCheckerDialog");
  setWindowTitle("Spell Check");
  QFont arial("Arial");
  arial.setPixelSize(12);
  setFont(arial);
  setFixedSize(513, 235);

  auto* context = new QLabel("Context:", this);
  context->setGeometry(8, 6, 100, 16);
  ScrollBox = new QScrollArea(this);
  ScrollBox->setObjectName("ScrollBox");
  ScrollBox->setAccessibleName("Context");
  ScrollBox->setGeometry(8, 22, 405, 57);
  ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Preview = new QWidget;
  Preview->setObjectName("Preview");
  Preview->installEventFilter(this);
  ScrollBox->setWidget(Preview);
  Preview->resize(ScrollBox->viewport()->width() + 1, 38);
  auto* unknown = new QLabel("Unknown Word:", this);
  unknown->setGeometry(8, 88, 100, 16);
  UnknownWordBox = new QLineEdit(this);
  UnknownWordBox->setObjectName("UnknownWordBox");
  UnknownWordBox->setAccessibleName("Unknown Word");
  UnknownWordBox->setReadOnly(true);
  UnknownWordBox->setGeometry(110, 86, 170, 22);
  ChangeToBox = new QLineEdit(this);
  ChangeToBox->setObjectName("ChangeToBox");
  ChangeToBox->setMaxLength(30);
  ChangeToBox->setGeometry(110, 114, 170, 22);
  auto* changeTo = new QLabel("Change &To:", this);
  changeTo->setGeometry(8, 117, 100, 16);
  changeTo->setBuddy(ChangeToBox);
  WordList = new QListWidget(this);
  WordList->setObjectName("WordList");
  WordList->setAccessibleName("Suggestions");
  WordList->setGeometry(286, 86, 127, 141);
  auto button = [this](const char* name, const QString& caption, int y) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setGeometry(422, y, 83, 24);
    b->setAutoDefault(false);
    return b;
  };
  ChangeButton = button("ChangeButton", "&Change", 8);
  ChangeAllButton = button("ChangeAllButton", "Change &All", 36);
  SkipButton = button("SkipButton", "&Skip", 64);
  SkipAllButton = button("SkipAllButton", "S&kip All", 92);
  AddButton = button("AddButton", "&Add to Dictionary", 120);
  HelpButton = button("HelpButton", "Help", 148);
  CloseButton = button("CloseButton", "Close", 203);
  AddButton->setGeometry(110, 146, 170, 24);
  ChangeButton->setDefault(true);
  auto* image = new widgets::TVelImage(this);
  image->setObjectName("VelImage1");
  image->SetPicture(widgets::Picture("GUARDO").scaled(48, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  image->setGeometry(8, 160, 60, 70);
  for (QPushButton* b : {ChangeButton, ChangeAllButton, SkipButton, SkipAllButton, AddButton}) b->setEnabled(false);

  connect(UnknownWordBox, &QLineEdit::textChanged, this, &TSpellCheckerDialog::UpdateButtons);
  connect(ChangeToBox, &QLineEdit::textChanged, this, &TSpellCheckerDialog::UpdateButtons);
  connect(WordList, &QListWidget::currentTextChanged, this, [this](const QString& text) {
    if (!text.isEmpty()) ChangeToBox->setText(text);
  });
  connect(WordList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    ChangeToBox->setText(item->text());
    ChangeButton->click();
  });
  connect(ChangeButton, &QPushButton::clicked, this, &TSpellCheckerDialog::ChangeButtonClick);
  connect(ChangeAllButton, &QPushButton::clicked, this, &TSpellCheckerDialog::ChangeAllButtonClick);
  connect(SkipButton, &QPushButton::clicked, this, &TSpellCheckerDialog::SkipButtonClick);
  connect(SkipAllButton, &QPushButton::clicked, this, &TSpellCheckerDialog::SkipAllButtonClick);
  connect(AddButton, &QPushButton::clicked, this, &TSpellCheckerDialog::AddButtonClick);
  connect(HelpButton, &QPushButton::clicked, this,
          [this] { widgets::ShowHelpTopic(widgets::kHelpSpellingButton, this); });
  widgets::HelpOnF1(this, HelpButton);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
  widgets::CentreOnScreen(this);

  session_ = engine_.OpenSession();
  if (session_ < 0) {
    ui_.ShowAlert(mailstore::kProgramTitle,
                  "Unable to activate spelling checker!\r\r(ID=" + std::to_string(session_) + ")");
    return;
  }
  OpenLexicons();
}

TSpellCheckerDialog::~TSpellCheckerDialog() { CloseSession(); }

void TSpellCheckerDialog::OpenLexicons() {
  const auto full = [this] { return static_cast<int>(lexicons_.size()) >= kMaxLexicons; };
  std::string list = kMainLexicons;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string entry = list.substr(start, end - start);
    start = end + 1;
    if (entry.empty()) continue;
    if (full()) {
      ui_.ShowAlert(mailstore::kProgramTitle, "Too many open dictionaries! Cannot\ropen " + entry + ".");
      continue;
    }
    const int16_t id = engine_.OpenLex(session_, platform::JoinPath(settings_.programDir, entry), -1);
    if (id < 0) ReportLexiconError(id, entry);
    else lexicons_.push_back(id);
  }
  if (full()) {
    ui_.ShowAlert(mailstore::kProgramTitle, "Too many open dictionaries! Cannot\ropen user dictionary.");
  } else {
    const std::string path = platform::JoinPath(settings_.userDictionaryPath, kUserDictionary);
    int16_t id = engine_.OpenLex(session_, path, -1);
    if (id == kLexNotFound) id = engine_.CreateLex(session_, path, kLexIgnore, 1033);
    if (id < 0) {
      ReportLexiconError(id, kUserDictionary);
    } else {
      userDictionary_ = static_cast<int>(lexicons_.size());
      lexicons_.push_back(id);
    }
  }
  for (auto [kind, position, words] : {std::tuple{kLexReplace, &replaceAll_, "Replace All"},
                                       std::tuple{kLexIgnore, &skipAll_, "Skip All"}}) {
    if (full()) continue;
    const int16_t id = engine_.CreateLex(session_, "", kind, 1033);
    if (id < 0) {
      ui_.ShowAlert(mailstore::kProgramTitle,
                    std::string("Unable to create temporary dictionary\rto store \"") + words + "\" words!");
      continue;
    }
    *position = static_cast<int>(lexicons_.size());
    lexicons_.push_back(id);
  }
}

void TSpellCheckerDialog::ReportLexiconError(int code, const std::string& name) {
  std::string text;
  if (code == kLexNotFound) text = "Cannot find dictionary file " + name + "!";
  else if (code == kLexNoMemory) text = "There is not enough free memory to open\rthe dictionary file " + name + "!";
  else if (code == kLexDamaged)
    text = "Unable to open dictionary " + name + "!\rThe file may be damaged. Try running the\rSetup program again.";
  else text = "Unable to open dictionary " + name + "!";
  ui_.ShowAlert(mailstore::kProgramTitle, text);
}

void TSpellCheckerDialog::CloseSession() {
  if (closed_ || session_ < 0) return;
  closed_ = true;
  for (const int16_t id : lexicons_) engine_.CloseLex(session_, id);
  engine_.CloseSession(session_);
}

bool TSpellCheckerDialog::ExtractNextWord() {
  word_.clear();
  while (position_ <= line_.size()) {
    const QChar c = position_ < line_.size() ? line_[position_] : QChar(0);
    ++position_;
    if (IsWordChar(c)) word_ += c;
    else if (!word_.isEmpty()) break;
  }
  return !word_.isEmpty();
}

bool TSpellCheckerDialog::CheckNext() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  UnknownWordBox->clear();
  ChangeToBox->clear();
  SetPreview(false);
  WordList->clear();
  int result = 0;
  do {
    if (line_.isEmpty() || position_ > line_.size()) {
      position_ = 0;
      line_.clear();
      while (lineNumber_ < lines_.Count()) {
        line_ = lines_.Line(++lineNumber_).left(kLongestLine);
        if (!line_.isEmpty()) break;
      }
    }
    result = 0;
    if (!line_.isEmpty() && ExtractNextWord() && word_.size() >= 2) {
      std::string replacement;
      result = engine_.CheckWord(session_, 128, shell::ToAnsi(word_), replacement);
      if (result > 0) {
        ++flagged_;
        UnknownWordBox->setText(word_);
        SetPreview(true);
        if (result & kSpellMisspelled) {
          FillSuggestions();
        } else if (result & kSpellAutoChange) {
          ReplaceCurrentWord(shell::FromAnsi(replacement));
          result = 0;
        } else if (result & kSpellSuggestion) {
          WordList->addItem(shell::FromAnsi(replacement));
        }
      } else {
        result = 0;  // an engine error lets the word pass
      }
    }
  } while ((lineNumber_ < lines_.Count() || !line_.isEmpty()) && result <= 0);
  QApplication::restoreOverrideCursor();
  if (result > 0) return true;
  ui_.ShowAlert(mailstore::kProgramTitle,
                flagged_ == 0 ? "Spell Check is complete.\rNo errors were found." : "Spell Check is complete.");
  if (isVisible()) close();
  return false;
}

void TSpellCheckerDialog::FillSuggestions() {
  std::vector<std::string> suggestions;
  if (engine_.Suggest(session_, shell::ToAnsi(UnknownWordBox->text()), -1, suggestions) < 0) {
    ui_.WarningBeep();
    return;
  }
  for (const std::string& s : suggestions) WordList->addItem(shell::FromAnsi(s.substr(0, 64)));
}

void TSpellCheckerDialog::ReplaceCurrentWord(const QString& replacement) {
  const int from = position_ - static_cast<int>(word_.size()) - 1;
  lines_.Replace(lineNumber_, from, position_ - 1, replacement);
  line_ = lines_.Line(lineNumber_).left(kLongestLine);
  position_ += static_cast<int>(replacement.size()) - static_cast<int>(word_.size());
}

void TSpellCheckerDialog::AddWordToLexicon(int position, const QString& word, const QString& other) {
  if (word.isEmpty()) return;
  if (position < 0 ||
      engine_.AddToLex(session_, lexicons_[static_cast<size_t>(position)], shell::ToAnsi(word), shell::ToAnsi(other)) < 0)
    ui_.ShowAlert(mailstore::kProgramTitle, "Unable to update dictionary!");
}

void TSpellCheckerDialog::ChangeButtonClick() {
  ReplaceCurrentWord(ChangeToBox->text());
  CheckNext();
}

void TSpellCheckerDialog::ChangeAllButtonClick() {
  AddWordToLexicon(replaceAll_, UnknownWordBox->text(), ChangeToBox->text());
  ReplaceCurrentWord(ChangeToBox->text());
  CheckNext();
}

void TSpellCheckerDialog::SkipButtonClick() { CheckNext(); }

void TSpellCheckerDialog::SkipAllButtonClick() {
  AddWordToLexicon(skipAll_, UnknownWordBox->text(), QString());
  CheckNext();
}

void TSpellCheckerDialog::AddButtonClick() {
  AddWordToLexicon(userDictionary_, UnknownWordBox->text(), QString());
  CheckNext();
}

void TSpellCheckerDialog::UpdateButtons() {
  const bool word = !UnknownWordBox->text().isEmpty();
  const bool both = word && !ChangeToBox->text().isEmpty();
  ChangeButton->setEnabled(both);
  ChangeAllButton->setEnabled(both);
  for (QPushButton* b : {SkipButton, SkipAllButton, AddButton}) b->setEnabled(word);
}

void TSpellCheckerDialog::SetPreview(bool on) {
  preview_ = on;
  const int visible = ScrollBox->viewport()->width();
  QScrollBar* bar = ScrollBox->horizontalScrollBar();
  if (on) {
    const QFontMetrics metrics(settings_.editorFont);
    bar->setSingleStep(metrics.horizontalAdvance(u'M'));
    Preview->resize(std::max(visible + 1, 8 + metrics.horizontalAdvance(line_)), Preview->height());
    const int middle = 8 + metrics.horizontalAdvance(line_.left(position_ - static_cast<int>(word_.size()) / 2));
    bar->setValue(std::max(0, middle - visible / 2));
  } else {
    bar->setSingleStep(1);
    Preview->resize(visible + 1, Preview->height());
    bar->setValue(0);
  }
  // The whole box shows the editor's background, under and beside the line.
  Preview->resize(Preview->width(), ScrollBox->viewport()->height());
  QPalette palette = ScrollBox->viewport()->palette();
  palette.setColor(QPalette::Window, widgets::ColourFromSetting(settings_.colours[1], this->palette()));
  ScrollBox->viewport()->setPalette(palette);
  ScrollBox->viewport()->setAutoFillBackground(true);
  Preview->update();
}

void TSpellCheckerDialog::PaintPreview(QPainter& painter) {
  painter.setFont(settings_.editorFont);
  const QFontMetrics metrics(settings_.editorFont);
  const int h = metrics.height();
  const int y = Preview->height() / 2 - h / 2;
  const QPalette& palette = this->palette();
  const QColor text = widgets::ColourFromSetting(settings_.colours[0], palette);
  const QColor background = widgets::ColourFromSetting(settings_.colours[1], palette);
  const QColor selectedText = widgets::ColourFromSetting(settings_.colours[2], palette);
  const QColor selectedBackground = widgets::ColourFromSetting(settings_.colours[3], palette);
  painter.fillRect(Preview->rect(), background);
  if (!preview_ || line_.isEmpty()) return;
  const int start = position_ - static_cast<int>(word_.size()) - 1;
  int x = 4;
  auto piece = [&](const QString& part, const QColor& fore, const QColor* back) {
    const int width = metrics.horizontalAdvance(part);
    if (back) painter.fillRect(QRect(x, y, width, h), *back);
    painter.setPen(fore);
    painter.drawText(x, y + metrics.ascent(), part);
    x += width;
  };
  if (start > 0) piece(line_.left(start), text, nullptr);
  if (start < line_.size()) piece(line_.mid(std::max(0, start), word_.size()), selectedText, &selectedBackground);
  if (start + word_.size() < line_.size()) piece(line_.mid(start + word_.size()), text, nullptr);
}

bool TSpellCheckerDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Preview && event->type() == QEvent::Paint) {
    QPainter painter(Preview);
    PaintPreview(painter);
    return true;
  }
  return widgets::TVelForm::eventFilter(watched, event);
}

void TSpellCheckerDialog::closeEvent(QCloseEvent* event) {
  CloseSession();
  widgets::TVelForm::closeEvent(event);
}

void RunSpellCheck(widgets::TMailEditor& editor, const SpellSettings& settings, mailstore::UserInteraction& ui,
                   QWidget* parent) {
  try {
    TSpellCheckerDialog dialog(editor, settings, ui, parent);
    if (!dialog.SessionOpen()) return;
    if (dialog.CheckNext()) dialog.exec();
    dialog.CloseSession();
  } catch (...) {
    ui.ReportException(mailstore::MailError::FromCurrentException());
  }
}

}  // namespace compose
