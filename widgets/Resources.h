// The program's pictures, glyphs and cursors, drawn by us and compiled in.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace widgets {

// A picture of resources/pictures by name ("GUARDO", "MailOpenImage", ...),
// at its own size.  A null pixmap for an unknown name.
QPixmap Picture(const QString& name);

// A 16 x 16 button glyph of resources/glyphs ("ok", "cancel", "help", ...).
QIcon Glyph(const QString& name);

// The program's cursors by their fixed numbers: 1 "cHANDGRAB", 2
// "cDRAGFILE", 3 "cHANDPOINT", 4 "cDRAGMAIL".
QCursor ProgramCursor(int number);

// The program's icon for windows and the desktop.
QIcon ProgramIcon();

// Makes sure the resources are linked in (call once at start).
void InitResources();

}  // namespace widgets
