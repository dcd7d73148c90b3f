// Asking for a file to read and saving a text as a file, with the system's
// file dialogs or the program's own selector as the user prefers.  The main
// window's Save to File and the send window's file commands use these.
#pragma once

#include <QPlainTextEdit>
#include <QString>

#include "mailstore/UserInteraction.h"
#include "shell/Preferences.h"

namespace widgets {

// Asks for an existing file ("Select a File"), starting in the directory of
// the last one; `fileName` becomes it.  True when one was chosen.
bool ChooseFileToOpen(QString& fileName, shell::Preferences& prefs, mailstore::UserInteraction& ui,
                      QWidget* parent = nullptr);

// Asks for a file to write under `title`, starting from the name
// `suggested` (empty: the last one), and asks before an existing file is
// replaced; `fileName` becomes the file.  True when one was chosen.
bool ChooseFileToSave(QString& fileName, const QString& title, const QString& suggested, shell::Preferences& prefs,
                      mailstore::UserInteraction& ui, QWidget* parent = nullptr);

// Asks for a file name under `title` and saves the text of `source` there,
// asking first before it replaces a file.  A viewer showing its file as
// stored saves a copy of that file, its date and read-only state kept;
// anything else saves its text (Windows-1252, CR LF).  Failures are
// reported through `ui`.  Returns the file written, or empty.
QString SaveTextAs(const QPlainTextEdit& source, const QString& title, shell::Preferences& prefs,
                   mailstore::UserInteraction& ui, QWidget* parent = nullptr);

// What a text view holds as a text file: Windows-1252, lines ended by CR LF.
std::string StoredText(const QPlainTextEdit& source);

}  // namespace widgets
