// The page printer: lays plain text lines out on pages with margins, a
// header and a footer, tab stops, word wrap and form feeds.
//
// A page's body lies inside the margins and is never narrower or shorter
// than 2 inches.  The header is centred in the first line height of the
// printable page, the footer in the last; with a header the body starts at
// least two lines down, with a footer it ends at least two lines up.
// Blank lines at the top of a page are dropped.  Each document numbers its
// pages from 1 and takes the date and time when it starts.
#pragma once

#include <QString>

#include "platform/Clock.h"
#include "prefs/PrintDevice.h"
#include "shell/Preferences.h"

namespace prefs {

// A header or footer template expanded: "&&" is one "&" and starts no
// macro; then, matched in any case, "&F" is the name, "&P" the page number,
// "&D" the date, "&T" the time, in that order, so that a name holding "&P"
// shows the page number while one holding "&F" is inserted once.
QString ExpandMacros(const QString& text, const QString& name, int page, const QString& date, const QString& time);

class TVelPrinter {
 public:
  // Options: all margins 0.75 inch, wrapping on, tab size 8, form feeds
  // start pages.
  TVelPrinter(PrintDevice& device, const platform::Clock& clock);

  shell::TPrinterOptions& Options() { return options_; }

  // Starts a document titled with the name in upper case.  Throws MailError
  // as the device does.
  void BeginDocument();
  // Prints one line; control characters: tab, line feed, form feed (a new
  // page when FormFeedNewPage), carriage return (nothing); others are
  // dropped.  Throws MailError as the device does.
  void PrintLine(const QString& text);
  // Draws the footer and ends the document.
  void EndDocument();

 private:
  void SetUpPage();
  void DrawBand(const std::string& templateText, int top);
  void OutputText(QStringView text);
  void DrawRun(QStringView run);
  void LineFeed();
  void NewPage();

  PrintDevice& device_;
  const platform::Clock& clock_;
  shell::TPrinterOptions options_;
  QString date_, time_;
  int x_ = 0, y_ = 0;
  int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
  int lineHeight_ = 0;  // of the output line: 0 until text is drawn on it
  int linesOnPage_ = 0;
  bool pageSetUp_ = false;
  bool inLine_ = false;  // a PrintLine is drawing its text
  bool breakPending_ = false;  // the last line filled the page
};

}  // namespace prefs
