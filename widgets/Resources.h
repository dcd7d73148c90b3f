// The program's pictures, glyphs and cursors, drawn by us and compiled in.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

class QPushButton;
class QWidget;

namespace widgets {

// A picture of resources/pictures by name ("GUARDO", "MailOpenImage", ...),
// at its own size.  A null pixmap for an unknown name.
QPixmap Picture(const QString& name);
// The envelope of a read or an unread message as lists draw it: the
// picture's olive background is transparent.
const QImage& EnvelopePicture(bool read);

// A 16 x 16 button glyph of resources/glyphs ("ok", "cancel", "help", ...).
QIcon Glyph(const QString& name);

// A dialog's button of 81 x 28 at (x, y) with its glyph; Enter on another
// control presses only the default button, never this one.
QPushButton* GlyphButton(QWidget* parent, const char* name, const QString& caption, const QString& glyph, int x, int y);

// The program's cursors by their fixed numbers.
enum CursorNumber {
  kCursorHandGrab = 1,   // "cHANDGRAB": over the selected message's envelope
  kCursorDragFile = 2,   // "cDRAGFILE"
  kCursorHandPoint = 3,  // "cHANDPOINT": the In Box's own
  kCursorDragMail = 4,   // "cDRAGMAIL": a message being dragged
};
QCursor ProgramCursor(int number);

// The program's icon for windows and the desktop.
QIcon ProgramIcon();

// Makes sure the resources are linked in (call once at start).
void InitResources();

}  // namespace widgets
