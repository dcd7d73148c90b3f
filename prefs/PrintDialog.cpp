#include "prefs/PrintDialog.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLocale>

#include "widgets/Help.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

namespace prefs {

namespace {

QString WithoutBlanks(const QString& text) {
  QString out = text;
  out.remove(u' ');
  return out;
}

}  // namespace

double EntryNumber(const QString& text) {
  bool ok = false;
  const double value = QLocale::c().toDouble(WithoutBlanks(text), &ok);
  return ok ? value : 0.0;
}

int EntryCopies(const QString& text) {
  bool ok = false;
  const long long value = QLocale::c().toLongLong(WithoutBlanks(text), &ok);
  return static_cast<int>(std::clamp<long long>(ok ? value : 0, 1, 999));
}

QString MarginEntry(double margin) { return QString::asprintf("%2.2f", margin); }

QString ConvertMarginEntry(const QString& text, bool toInches) {
  return MarginEntry(EntryNumber(text) * (toInches ? 0.3937 : 2.54));
}

namespace {

QGroupBox* Group(QWidget* parent, const QString& title, int y, int height) {
  auto* group = new QGroupBox(title, parent);
  group->setGeometry(8, y, 344, height);
  return group;
}

QLineEdit* Box(QWidget* parent, const char* name, const QString& caption, int x, int y, int labelWidth, int width) {
  auto* label = new QLabel(caption, parent);
  label->setGeometry(x, y + 3, labelWidth, 16);
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  box->setGeometry(x + labelWidth, y, width, 22);
  label->setBuddy(box);
  return box;
}

}  // namespace

TPrintDialog::TPrintDialog(PrinterAccess& printers, QWidget* parent) : widgets::TVelForm(parent), printers_(printers) {
  setObjectName("PrintDialog");
  setWindowTitle("Print");
  QFont arial("Arial");
  arial.setPixelSize(12);
  setFont(arial);
  setFixedSize(360, 339);

  QGroupBox* what = Group(this, "Print What", 4, 46);
  Prompt = new QLabel(what);
  Prompt->setObjectName("Prompt");
  Prompt->setGeometry(8, 20, 329, 18);

  QGroupBox* margins = Group(this, "Margins", 54, 80);
  LMar = Box(margins, "LMar", "&Left:", 8, 20, 50, 60);
  RMar = Box(margins, "RMar", "&Right:", 128, 20, 50, 60);
  TMar = Box(margins, "TMar", "&Top:", 8, 48, 50, 60);
  BMar = Box(margins, "BMar", "&Bottom:", 128, 48, 50, 60);
  for (QLineEdit* box : {LMar, RMar, TMar, BMar}) {
    box->setMaxLength(5);
    box->installEventFilter(this);
  }
  Inches = widgets::Placed(new QRadioButton("&Inches", margins), "Inches", QRect(248, 20, 90, 22));
  Centimeters = widgets::Placed(new QRadioButton("C&entimeters", margins), "Centimeters", QRect(248, 48, 90, 22));

  QGroupBox* bands = Group(this, "Header/Footer", 138, 80);
  Head = Box(bands, "Head", "&Header:", 8, 20, 56, 272);
  Foot = Box(bands, "Foot", "&Footer:", 8, 48, 56, 272);

  QGroupBox* options = Group(this, "Options", 222, 72);
  PrintSelected =
      widgets::Placed(new QCheckBox("Print &Selected Text", options), "PrintSelected", QRect(8, 20, 160, 20));
  WrapLines = widgets::Placed(new QCheckBox("&Wrap Lines", options), "WrapLines", QRect(8, 44, 160, 20));
  Copies = Box(options, "Copies", "&Copies:", 200, 20, 50, 60);
  Copies->installEventFilter(this);

  SetupButton = widgets::GlyphButton(this, "SetupButton", "Se&tup...", "preferences", 8, 302);
  OkButton = widgets::GlyphButton(this, "OkButton", "Print", "print", 96, 302);
  CancelButton = widgets::GlyphButton(this, "CancelButton", "Cancel", "cancel", 184, 302);
  HelpButton = widgets::GlyphButton(this, "HelpButton", "&Help", "help", 271, 302);
  OkButton->setDefault(true);

  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { widgets::ShowHelpTopic(widgets::kHelpPrintDialog, this); });
  widgets::HelpOnF1(this, HelpButton);
  connect(SetupButton, &QPushButton::clicked, this, &TPrintDialog::SetupButtonClick);
  for (QRadioButton* unit : {Inches, Centimeters}) {
    connect(unit, &QRadioButton::toggled, this, [this, unit](bool on) {
      if (on) ConvertMargins(unit == Inches);
    });
  }
  widgets::CentreOnScreen(this);
}

void TPrintDialog::Fill(const shell::TPrinterOptions& options) {
  filling_ = true;
  name_ = QString::fromStdString(options.name);
  Prompt->setText(QStringLiteral("\"") + name_ + QStringLiteral("\" to ") + printers_.CurrentPrinterName());
  PrintSelected->setEnabled(options.printSelected);
  PrintSelected->setChecked(options.printSelected);
  Copies->setText(QString::number(options.copies));
  Head->setText(QString::fromStdString(options.header));
  Foot->setText(QString::fromStdString(options.footer));
  LMar->setText(MarginEntry(options.leftMargin));
  RMar->setText(MarginEntry(options.rightMargin));
  TMar->setText(MarginEntry(options.topMargin));
  BMar->setText(MarginEntry(options.bottomMargin));
  WrapLines->setChecked(options.wrapLines);
  (options.unitOfMeasure == 1 ? Centimeters : Inches)->setChecked(true);
  filling_ = false;
}

void TPrintDialog::Store(shell::TPrinterOptions& options) const {
  options.leftMargin = EntryNumber(LMar->text());
  options.rightMargin = EntryNumber(RMar->text());
  options.topMargin = EntryNumber(TMar->text());
  options.bottomMargin = EntryNumber(BMar->text());
  options.header = Head->text().toStdString();
  options.footer = Foot->text().toStdString();
  options.printSelected = PrintSelected->isChecked();
  options.wrapLines = WrapLines->isChecked();
  options.copies = EntryCopies(Copies->text());
  options.unitOfMeasure = Centimeters->isChecked() ? 1 : 0;
}

void TPrintDialog::ConvertMargins(bool toInches) {
  if (filling_ || !isVisible()) return;
  for (QLineEdit* box : {LMar, RMar, TMar, BMar}) box->setText(ConvertMarginEntry(box->text(), toInches));
}

void TPrintDialog::SetupButtonClick() {
  printers_.RunSetupDialog(this);
  Prompt->setText(name_ + QStringLiteral(" to ") + printers_.CurrentPrinterName());
}

// The margin boxes take digits and "."; the copies box digits.  Any other
// character is refused with a beep; keys that type nothing pass.
bool TPrintDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (!text.isEmpty() && text.front() >= QChar(u' ')) {
      const bool margin = watched != Copies;
      for (const QChar c : text) {
        if (c < QChar(u'0') || c > QChar(u'9')) {
          if (margin && c == u'.') continue;
          widgets::WarningBeep();
          return true;
        }
      }
    }
  }
  return widgets::TVelForm::eventFilter(watched, event);
}

bool ExecutePrintDialog(shell::TPrinterOptions& options, PrinterAccess& printers, QWidget* parent) {
  TPrintDialog dialog(printers, parent);
  dialog.Fill(options);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.Store(options);
  return true;
}

}  // namespace prefs
