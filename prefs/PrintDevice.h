// What the page printer needs of a printer: documents and pages, the page's
// size and resolution, a fixed-pitch font and its metrics, and drawing one
// run of text.  The program's printer is QPrinter (SystemPrinters.h); tests
// use a device that records every call.
#pragma once

#include <QString>
#include <QStringView>

#include "shell/Preferences.h"

namespace prefs {

// A rectangle by its edges, in device units; right and bottom are outside.
struct PrintRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PrintRect&) const = default;
};

struct TextExtent {
  int cx = 0, cy = 0;
};

class PrintDevice {
 public:
  enum class Align { kLeft, kCentre };

  virtual ~PrintDevice() = default;
  // Starts a document titled `title`, on page 1.  Throws MailError when the
  // printer refuses it.
  virtual void BeginDoc(const QString& title) = 0;
  // Ends the page and starts the next.  Throws MailError on failure.
  virtual void NewPage() = 0;
  // Ends the document (the job goes to the printer).  Throws MailError on
  // failure.
  virtual void EndDoc() = 0;
  // Abandons the document being printed after a failure; nothing of it is
  // printed where the printer allows.  Never throws.
  virtual void AbortDoc() = 0;
  // The page of the document being printed, from 1.
  virtual int PageNumber() const = 0;
  // The printable page in device units; (0, 0) is its top left corner.
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;
  // Sets the font, made fixed-pitch and black, text drawn on a transparent
  // background.
  virtual void SetFont(const shell::FontSetting& font) = 0;
  // The font's line height and average character width.
  virtual int LineHeight() const = 0;
  virtual int AverageCharWidth() const = 0;
  virtual TextExtent Extent(QStringView run) const = 0;
  // Draws `run` on one line in `rect`, clipped to it; "&" is an ampersand.
  virtual void DrawText(const PrintRect& rect, QStringView run, Align align) = 0;
};

}  // namespace prefs
