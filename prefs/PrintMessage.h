// Printing one message: its address lines, then its text (all of it or the
// selection), as many copies as asked, each a document of its own, with the
// progress window's Stop button heard after every line.
#pragma once

#include <QString>

#include "mailstore/UserInteraction.h"
#include "platform/Clock.h"
#include "prefs/PrintDevice.h"
#include "shell/Preferences.h"

namespace prefs {

// What is printed: the message viewer's text or the send window's editor.
class PrintSource {
 public:
  struct Range {
    int firstLine = 0, startColumn = 0, lastLine = 0, endColumn = 0;
  };
  virtual ~PrintSource() = default;
  virtual int LineCount() const = 0;
  // Line `n`, from 0.
  virtual QString Line(int n) const = 0;
  virtual bool HasSelection() const = 0;
  // The selection: its first line and the column it starts at, its last
  // line and the column it ends before.
  virtual Range Selection() const = 0;
  virtual shell::FontSetting Font() const = 0;
};

// The progress window as a print run uses it.
class PrintProgress {
 public:
  virtual ~PrintProgress() = default;
  virtual void StartProgress(int total) = 0;
  virtual void StepProgress(const QString& caption, const QString& prompt, int steps) = 0;
  virtual void EndProgress() = 0;
  // Set once the user pressed Stop.
  virtual bool Cancelled() const = 0;
  // Lets the user interface handle what the user did meanwhile.
  virtual void ProcessPendingInput() = 0;
};

// The message's address lines: "To:" with `to` when that is not empty,
// else "From:" with `from`.
struct PrintedMessage {
  QString to, subject, date, from;
};

// Lines longer than this are cut when printed.
inline constexpr int kMaxPrintedLine = 1023;

// Prints `source` with `options` (form feeds always start pages) on
// `device`.  Stop ends the document being printed normally and prints no
// further copies.  An error is reported through `ui` and abandons the
// document; the progress window is closed on every path.
void PrintMessageText(const PrintSource& source, const PrintedMessage& message, const shell::TPrinterOptions& options,
                      PrintDevice& device, PrintProgress& progress, const platform::Clock& clock,
                      mailstore::UserInteraction& ui);

}  // namespace prefs
