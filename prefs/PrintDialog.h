// The Print dialog: what is printed and to which printer, the margins in
// inches or centimetres, header and footer, print the selection only, wrap
// long lines, and the number of copies.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "prefs/SystemPrinters.h"
#include "shell/Preferences.h"
#include "widgets/VelForm.h"

namespace prefs {


// An entry of the dialog as a number: blanks removed, then read as a
// decimal number; anything else is 0.
double EntryNumber(const QString& text);
// The copies entry: blanks removed, read as a whole number (anything else
// is 0), then kept within 1 to 999.
int EntryCopies(const QString& text);
// A margin as its box shows it: "%2.2f".
QString MarginEntry(double margin);
// A margin box's text in the other unit (a box without a number counts as
// 0).
QString ConvertMarginEntry(const QString& text, bool toInches);

class TPrintDialog : public widgets::TVelForm {
  Q_OBJECT
 public:
  explicit TPrintDialog(PrinterAccess& printers, QWidget* parent = nullptr);

  // Fills the controls from `options`.
  void Fill(const shell::TPrinterOptions& options);
  // Writes the controls back into `options`.
  void Store(shell::TPrinterOptions& options) const;

  QLabel* Prompt;
  QLineEdit *LMar, *RMar, *TMar, *BMar;
  QRadioButton *Inches, *Centimeters;
  QLineEdit *Head, *Foot;
  QCheckBox *PrintSelected, *WrapLines;
  QLineEdit* Copies;
  QPushButton *SetupButton, *OkButton, *CancelButton, *HelpButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConvertMargins(bool toInches);
  void SetupButtonClick();

  PrinterAccess& printers_;
  QString name_;
  bool filling_ = false;
};

// Shows the Print dialog for `options`; on Print writes the edited values
// back and returns true, otherwise changes nothing and returns false.
bool ExecutePrintDialog(shell::TPrinterOptions& options, PrinterAccess& printers, QWidget* parent = nullptr);

}  // namespace prefs
