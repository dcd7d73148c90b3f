#include "prefs/SystemPrinters.h"

#include <QFileDialog>

#include "mailstore/MailError.h"
#include "mailstore/UserInteraction.h"
#include "prefs/PrintModule.h"
#include "widgets/MessageDialogs.h"
#include "widgets/ProgramModule.h"

namespace prefs {
namespace {

QString AskPdfFile(QWidget* parent, const QString& suggested) {
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Print to a PDF File"), suggested,
                                      QStringLiteral("PDF Files (*.pdf)"));
}

[[noreturn]] void PrinterFailed(const std::string& message) { throw mailstore::MailError::Other(message); }

QString NotAvailable(const QString& error) { return QStringLiteral("Printing is not available.\r\r") + error; }

}  // namespace

SystemPrinters::SystemPrinters() : chooser_(AskPdfFile) {}
SystemPrinters::~SystemPrinters() = default;

SystemPrinterAccess* SystemPrinters::Module() {
  if (!tried_) {
    tried_ = true;
    const auto make =
        reinterpret_cast<MakeSystemPrinters>(widgets::ProgramModuleFunction(kPrintModule, kMakeSystemPrinters, error_));
    if (make != nullptr) {
      module_.reset(make(PrinterFailed));
      module_->SetPdfFileChooser(chooser_);
    }
  }
  return module_.get();
}

void SystemPrinters::SetPdfFileChooser(PdfFileChooser chooser) {
  chooser_ = std::move(chooser);
  if (module_) module_->SetPdfFileChooser(chooser_);
}

QString SystemPrinters::CurrentPrinterName() {
  SystemPrinterAccess* printers = Module();
  return printers != nullptr ? printers->CurrentPrinterName() : kPdfFileName;
}

void SystemPrinters::RunSetupDialog(QWidget* parent) {
  if (SystemPrinterAccess* printers = Module()) printers->RunSetupDialog(parent);
  else widgets::ShowAlert(mailstore::kProgramTitle, NotAvailable(error_));
}

std::unique_ptr<PrintDevice> SystemPrinters::OpenPrinter(const QString& name, QWidget* parent) {
  SystemPrinterAccess* printers = Module();
  if (printers == nullptr) throw mailstore::MailError::Other(NotAvailable(error_).toStdString());
  return printers->OpenPrinter(name, parent);
}

}  // namespace prefs
