// The system's printers live in a module of their own beside the program
// ("kvmail_print"), with the toolkit's print support: a run that never
// prints never loads it.  SystemPrinters loads the module when first used;
// it stays loaded.
#pragma once

#include <string>

#include "prefs/SystemPrinters.h"

namespace prefs {

// What the module's printers do when a printer fails: throws the program's
// error with `message`.
using PrinterFailure = void (*)(const std::string& message);

class SystemPrinterAccess : public PrinterAccess {
 public:
  virtual void SetPdfFileChooser(PdfFileChooser chooser) = 0;
};

// What the module exports: the system's printers.
using MakeSystemPrinters = SystemPrinterAccess* (*)(PrinterFailure fail);
inline constexpr const char* kPrintModule = "kvmail_print";
inline constexpr const char* kMakeSystemPrinters = "KvMailMakeSystemPrinters";

}  // namespace prefs
