#include "prefs/PrintMessage.h"

#include "mailstore/MailError.h"
#include "prefs/VelPrinter.h"

namespace prefs {
namespace {

// Line `n` as printed: cut to the longest printed line and, with a
// selection, blanked before its start on the first line (so that it stays
// aligned) and ended at its end on the last.
QString PrintedLine(const PrintSource& source, int n, bool selected, const PrintSource::Range& range) {
  QString line = source.Line(n).left(kMaxPrintedLine);
  if (!selected) return line;
  if (n == range.lastLine) line.truncate(std::max(0, range.endColumn));
  if (n == range.firstLine) {
    const qsizetype blanks = std::min<qsizetype>(std::max(0, range.startColumn), line.size());
    line.replace(0, blanks, QString(blanks, u' '));
  }
  return line;
}

}  // namespace

void PrintMessageText(const PrintSource& source, const PrintedMessage& message, const shell::TPrinterOptions& options,
                      PrintDevice& device, PrintProgress& progress, const platform::Clock& clock,
                      mailstore::UserInteraction& ui) {
  TVelPrinter printer(device, clock);
  printer.Options() = options;
  printer.Options().formFeedNewPage = true;

  PrintSource::Range range{0, 0, source.LineCount() - 1, 0};
  if (options.printSelected) range = source.Selection();
  const int lines = std::max(0, range.lastLine - range.firstLine + 1);
  const int copies = std::clamp(options.copies, 1, 999);
  const QString prompt = QStringLiteral("Printing: ") + QString::fromStdString(options.name);

  progress.StartProgress(lines * copies);
  bool inDocument = false;
  try {
    for (int copy = 0; copy < copies && !progress.Cancelled(); ++copy) {
      printer.BeginDocument();
      inDocument = true;
      device.SetFont(source.Font());
      if (!message.to.isEmpty()) printer.PrintLine(QStringLiteral("To:      ") + message.to);
      else printer.PrintLine(QStringLiteral("From:    ") + message.from);
      printer.PrintLine(QStringLiteral("Date:    ") + message.date);
      printer.PrintLine(QStringLiteral("Subject: ") + message.subject);
      printer.PrintLine(QStringLiteral(" "));
      for (int n = range.firstLine; n <= range.lastLine && !progress.Cancelled(); ++n) {
        printer.PrintLine(PrintedLine(source, n, options.printSelected, range));
        progress.StepProgress(QString::fromUtf8(mailstore::kProgramTitle), prompt, 1);
        progress.ProcessPendingInput();
      }
      inDocument = false;
      printer.EndDocument();
    }
  } catch (...) {
    const mailstore::MailError error = mailstore::MailError::FromCurrentException();
    if (inDocument) device.AbortDoc();
    progress.EndProgress();
    ui.ReportException(error);
    return;
  }
  progress.EndProgress();
}

}  // namespace prefs
