#include "prefs/VelPrinter.h"

#include <cmath>

#include "mailstore/MessageRecord.h"
#include "platform/Environment.h"

namespace prefs {

QString ExpandMacros(const QString& text, const QString& name, int page, const QString& date, const QString& time) {
  static const QString kPlaceholder(2, QChar(1));
  QString out = text;
  out.replace(QStringLiteral("&&"), kPlaceholder);
  out.replace(QStringLiteral("&F"), name, Qt::CaseInsensitive);
  out.replace(QStringLiteral("&P"), QString::number(page), Qt::CaseInsensitive);
  out.replace(QStringLiteral("&D"), date, Qt::CaseInsensitive);
  out.replace(QStringLiteral("&T"), time, Qt::CaseInsensitive);
  out.replace(kPlaceholder, QStringLiteral("&"));
  return out;
}

TVelPrinter::TVelPrinter(PrintDevice& device, const platform::Clock& clock) : device_(device), clock_(clock) {
  options_.leftMargin = options_.topMargin = options_.rightMargin = options_.bottomMargin = 0.75;
  options_.unitOfMeasure = 0;
  options_.wrapLines = true;
  options_.tabSize = 8;
  options_.formFeedNewPage = true;
}

void TVelPrinter::BeginDocument() {
  lineHeight_ = 0;
  linesOnPage_ = 0;
  pageSetUp_ = false;
  breakPending_ = false;
  const platform::LocalTime now = clock_.LocalNow();
  date_ = QString::fromStdString(mailstore::FormatShortDate(now, platform::ShortDateFormat()));
  time_ = QString::fromStdString(mailstore::FormatLongTime(now));
  device_.BeginDoc(QString::fromStdString(options_.name).toUpper());
}

namespace {

// A margin in device units; ties round to even.
int MarginUnits(double margin, int unitOfMeasure, int dpi) {
  const double inches = unitOfMeasure == 1 ? margin * 0.3937 : margin;
  return static_cast<int>(std::nearbyint(inches * dpi));
}

}  // namespace

// Runs once a page, before its first line: the body, then the header.
void TVelPrinter::SetUpPage() {
  const int dpiX = device_.DpiX(), dpiY = device_.DpiY();
  const int lh = device_.LineHeight();
  left_ = MarginUnits(options_.leftMargin, options_.unitOfMeasure, dpiX);
  top_ = MarginUnits(options_.topMargin, options_.unitOfMeasure, dpiY);
  if (!options_.header.empty()) top_ = std::max(top_, 2 * lh);
  right_ = device_.PageWidth() - MarginUnits(options_.rightMargin, options_.unitOfMeasure, dpiX);
  int bottomDistance = MarginUnits(options_.bottomMargin, options_.unitOfMeasure, dpiY);
  if (!options_.footer.empty()) bottomDistance = std::max(bottomDistance, 2 * lh);
  bottom_ = device_.PageHeight() - bottomDistance;
  right_ = std::max(right_, left_ + 2 * dpiX);
  bottom_ = std::max(bottom_, top_ + 2 * dpiY);
  x_ = left_;
  y_ = top_;
  pageSetUp_ = true;
  DrawBand(options_.header, 0);
}

void TVelPrinter::DrawBand(const std::string& templateText, int top) {
  if (templateText.empty()) return;
  const QString text = ExpandMacros(QString::fromStdString(templateText), QString::fromStdString(options_.name),
                                    device_.PageNumber(), date_, time_);
  device_.DrawText({left_, top, right_, top + device_.LineHeight()}, text, PrintDevice::Align::kCentre);
}

void TVelPrinter::PrintLine(const QString& line) {
  if (breakPending_) {
    breakPending_ = false;
    NewPage();
  }
  if (!pageSetUp_) SetUpPage();
  QStringView text(line);
  while (!text.isEmpty() && text.back() == u' ') text.chop(1);
  if (text.isEmpty()) {
    if (linesOnPage_ != 0) LineFeed();
    return;
  }
  inLine_ = true;
  OutputText(text);
  inLine_ = false;
  LineFeed();
}

void TVelPrinter::OutputText(QStringView text) {
  qsizetype runStart = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c >= 0x20) continue;
    DrawRun(text.mid(runStart, i - runStart));
    runStart = i + 1;
    switch (c) {
      case 9: {
        // Tab stops are measured from the edge of the printable page.
        const int w = device_.AverageCharWidth() * options_.tabSize;
        if (w <= 0) break;
        x_ = w * ((x_ + w + 1) / w);
        if (x_ > right_) LineFeed();
        break;
      }
      case 10: LineFeed(); break;
      case 12:
        if (options_.formFeedNewPage) NewPage();
        break;
      default: break;
    }
  }
  DrawRun(text.mid(runStart));
}

void TVelPrinter::DrawRun(QStringView run) {
  while (!run.isEmpty()) {
    TextExtent extent = device_.Extent(run);
    qsizetype placed = run.size();
    if (options_.wrapLines && x_ + extent.cx > right_) {
      // The longest head that fits; the extent grows with the length.
      qsizetype fits = 0, tooLong = run.size();
      while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (x_ + device_.Extent(run.first(middle)).cx > right_) tooLong = middle;
        else fits = middle;
      }
      // The line ends after a blank at or before the first character
      // that does not fit, down to the run's second one.
      placed = fits;
      for (qsizetype i = fits; i >= 1; --i) {
        if (run[i] == u' ') {
          placed = i + 1;
          break;
        }
      }
      placed = std::max<qsizetype>(placed, 1);
      extent = device_.Extent(run.first(placed));
    }
    if (lineHeight_ < extent.cy) lineHeight_ = extent.cy + 2;
    device_.DrawText({x_, y_, right_, y_ + device_.LineHeight()}, run.first(placed), PrintDevice::Align::kLeft);
    run = run.sliced(placed);
    if (run.isEmpty()) {
      x_ += extent.cx;
    } else {
      LineFeed();
    }
  }
}

void TVelPrinter::LineFeed() {
  x_ = left_;
  const int advance = lineHeight_ != 0 ? lineHeight_ : device_.LineHeight();
  y_ += advance;
  ++linesOnPage_;
  lineHeight_ = 0;
  if (y_ + advance <= bottom_) return;
  // A full page at the end of a line is broken when more comes, so that a
  // document that just fills its last page has no blank page after it.
  if (inLine_) NewPage();
  else breakPending_ = true;
}

void TVelPrinter::NewPage() {
  DrawBand(options_.footer, device_.PageHeight() - device_.LineHeight());
  x_ = left_;
  y_ = top_;
  device_.NewPage();
  linesOnPage_ = 0;
  pageSetUp_ = false;
  // A page begun in the middle of a line shows its header at once.
  if (inLine_) SetUpPage();
}

void TVelPrinter::EndDocument() {
  breakPending_ = false;
  DrawBand(options_.footer, device_.PageHeight() - device_.LineHeight());
  device_.EndDoc();
}

}  // namespace prefs
