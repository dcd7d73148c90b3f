// The print module: the system's printers through the toolkit's print support,
// loaded beside the program when the program first prints (PrintModule.h).
#include "prefs/PrintModule.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTabWidget>
#include <optional>
#include <stdexcept>

#include "platform/PrintSpooler.h"
#include "widgets/FontSetting.h"

namespace prefs {
namespace {

// Prints on a QPrinter.  On a printer each document is a job of its own; in
// a PDF file the documents of one run follow one another, each from its
// page 1, and the file is written when the device goes.
class QtPrintDevice : public PrintDevice {
 public:
  QtPrintDevice(QPrinter& printer, bool toFile, PrinterFailure fail) : printer_(printer), toFile_(toFile), fail_(fail) {}
  ~QtPrintDevice() override {
    if (painter_.isActive()) painter_.end();
  }

  void BeginDoc(const QString& title) override {
    if (painter_.isActive()) {
      if (!toFile_ || !printer_.newPage()) Fail("The printer refused a new page.");
    } else {
      printer_.setDocName(title);
      if (!painter_.begin(&printer_)) Refused();
    }
    page_ = 1;
  }
  void NewPage() override {
    if (!printer_.newPage()) Fail("The printer refused a new page.");
    ++page_;
  }
  void EndDoc() override {
    if (toFile_) return;
    if (!painter_.end()) Refused();
    // The job was handed to the spooler without a word of whether it took it.
    const std::string refusal = platform::LastSpoolerRefusal();
    if (!refusal.empty())
      Fail("The printer " + printer_.printerName().toStdString() + " refused the job: " + refusal);
  }
  void AbortDoc() override {
    printer_.abort();
    if (painter_.isActive()) painter_.end();
  }
  int PageNumber() const override { return page_; }
  int PageWidth() const override { return printer_.width(); }
  int PageHeight() const override { return printer_.height(); }
  int DpiX() const override { return printer_.logicalDpiX(); }
  int DpiY() const override { return printer_.logicalDpiY(); }

  void SetFont(const shell::FontSetting& setting) override {
    QFont font = widgets::FontOf(setting);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    painter_.setBackgroundMode(Qt::TransparentMode);
    metrics_.emplace(painter_.font(), &printer_);
  }
  int LineHeight() const override { return Metrics().height(); }
  int AverageCharWidth() const override { return Metrics().averageCharWidth(); }
  TextExtent Extent(QStringView run) const override {
    return {Metrics().horizontalAdvance(run.toString()), Metrics().height()};
  }
  void DrawText(const PrintRect& rect, QStringView run, Align align) override {
    const QRect box(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    const int flags = Qt::TextSingleLine | Qt::AlignTop | (align == Align::kCentre ? Qt::AlignHCenter : Qt::AlignLeft);
    painter_.save();
    painter_.setClipRect(box);
    painter_.drawText(box, flags, run.toString());
    painter_.restore();
  }

 private:
  [[noreturn]] void Refused() const {
    if (toFile_) Fail("Cannot write the file " + printer_.outputFileName().toStdString() + ".");
    Fail("The printer " + printer_.printerName().toStdString() + " refused the job.");
  }
  [[noreturn]] void Fail(const std::string& message) const {
    fail_(message);
    throw std::runtime_error(message);  // the program's failure throws before this
  }
  const QFontMetrics& Metrics() const {
    if (!metrics_) metrics_.emplace(QFont(), &printer_);
    return *metrics_;
  }

  QPrinter& printer_;
  bool toFile_;
  PrinterFailure fail_;
  QPainter painter_;
  mutable std::optional<QFontMetrics> metrics_;
  int page_ = 1;
};

// The name a PDF file is suggested under: the run's name, without the
// characters a file name may not hold.
QString PdfFileName(const QString& name) {
  QString base = name;
  static const QString kNotInNames = QStringLiteral("/\\:*?\"<>|");
  for (QChar& c : base)
    if (kNotInNames.contains(c) || c < QChar(u' ')) c = u'_';
  base = base.trimmed();
  if (base.isEmpty()) base = QStringLiteral("Mail");
  return QDir::home().filePath(base + QStringLiteral(".pdf"));
}

// The system's printers (its spooler), asked for only when first used.
class QtSystemPrinters : public SystemPrinterAccess {
 public:
  explicit QtSystemPrinters(PrinterFailure fail) : fail_(fail) {}

  QString CurrentPrinterName() override;
  void RunSetupDialog(QWidget* parent) override;
  std::unique_ptr<PrintDevice> OpenPrinter(const QString& name, QWidget* parent) override;
  void SetPdfFileChooser(PdfFileChooser chooser) override { chooser_ = std::move(chooser); }

 private:
  // The printer, made on first use: the system's default printer, or none.
  QPrinter& Printer();
  bool HasPrinter();

  PrinterFailure fail_;
  std::unique_ptr<QPrinter> printer_;
  bool hasPrinter_ = false;
  PdfFileChooser chooser_;
};

QPrinter& QtSystemPrinters::Printer() {
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (chosen.isNull()) {
      const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
      if (!all.isEmpty()) chosen = all.first();
    }
    hasPrinter_ = !chosen.isNull();
    if (hasPrinter_) {
      printer_->setPrinterName(chosen.printerName());
    } else {
      // A file printed later on paper fares best with the edge a printer
      // cannot reach kept clear: the header and footer lie inside it.
      printer_->setOutputFormat(QPrinter::PdfFormat);
      printer_->setPageSize(QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                               : QPageSize::A4);
      printer_->setPageMargins(QMarginsF(0.25, 0.25, 0.25, 0.25), QPageLayout::Inch);
    }
  }
  return *printer_;
}

bool QtSystemPrinters::HasPrinter() {
  Printer();
  return hasPrinter_;
}

QString QtSystemPrinters::CurrentPrinterName() {
  if (!HasPrinter()) return kPdfFileName;
  const QString name = Printer().printerName();
  const QPrinterInfo info = QPrinterInfo::printerInfo(name);
  return info.isNull() || info.description().isEmpty() ? name : info.description();
}

void QtSystemPrinters::RunSetupDialog(QWidget* parent) {
  // The setup chooses the printer and its settings, and prints nothing:
  // the copies and what is printed are the Print dialog's.
  QPrinter& printer = Printer();
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  dialog.setOptions(QAbstractPrintDialog::PrintToFile);
  if (auto* pages = dialog.findChild<QTabWidget*>(QStringLiteral("tabs")))
    if (QWidget* copies = pages->findChild<QWidget*>(QStringLiteral("copiesTab")))
      pages->removeTab(pages->indexOf(copies));
  for (auto* buttons : dialog.findChildren<QDialogButtonBox*>())
    for (QAbstractButton* button : buttons->buttons())
      if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) button->setText(QStringLiteral("OK"));
  dialog.exec();
  printer.setCopyCount(1);
  printer.setPrintRange(QPrinter::AllPages);
  printer.setFromTo(0, 0);
}

std::unique_ptr<PrintDevice> QtSystemPrinters::OpenPrinter(const QString& name, QWidget* parent) {
  QPrinter& printer = Printer();
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
  if (!hasPrinter_ || (toFile && printer.outputFileName().isEmpty())) {
    const QString file = chooser_(parent, PdfFileName(name));
    if (file.isEmpty()) return nullptr;
    printer.setOutputFileName(file);
  }
  return std::make_unique<QtPrintDevice>(printer, toFile, fail_);
}

}  // namespace
}  // namespace prefs

// What the module exports.
extern "C" Q_DECL_EXPORT prefs::SystemPrinterAccess* KvMailMakeSystemPrinters(prefs::PrinterFailure fail) {
  return new prefs::QtSystemPrinters(fail);
}
