// The system's printers, as the Print dialog and a print run use them: the
// current printer's name, the printer setup dialog, and a device to print
// on.  A system without any printer prints to a PDF file the user names.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "prefs/PrintDevice.h"

class QWidget;

namespace prefs {

class PrinterAccess {
 public:
  virtual ~PrinterAccess() = default;
  // The current printer's display name, or kPdfFileName when the system has
  // no printer.
  virtual QString CurrentPrinterName() = 0;
  // The printer setup dialog, where the user picks the current printer and
  // its settings.
  virtual void RunSetupDialog(QWidget* parent) = 0;
  // A device on the current printer for a print run named `name`; null when
  // the user gave the run up (no PDF file named).
  virtual std::unique_ptr<PrintDevice> OpenPrinter(const QString& name, QWidget* parent) = 0;
};

inline const QString kPdfFileName = QStringLiteral("a PDF file");

// Asks where a PDF file goes, suggesting `suggested`; empty: given up.
using PdfFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;

class SystemPrinterAccess;

// The printers of the system (its spooler), asked for only when first used;
// they live in the print module beside the program (PrintModule.h).  When
// the module cannot be loaded, there is no printer and printing says why.
class SystemPrinters : public PrinterAccess {
 public:
  SystemPrinters();
  ~SystemPrinters() override;

  QString CurrentPrinterName() override;
  void RunSetupDialog(QWidget* parent) override;
  std::unique_ptr<PrintDevice> OpenPrinter(const QString& name, QWidget* parent) override;

  // Replaces the file dialog that names a PDF file.
  void SetPdfFileChooser(PdfFileChooser chooser);

 private:
  // The module's printers, or null (with error_ said) when the module
  // cannot be loaded.
  SystemPrinterAccess* Module();

  std::unique_ptr<SystemPrinterAccess> module_;
  bool tried_ = false;
  QString error_;
  PdfFileChooser chooser_;
};

}  // namespace prefs
