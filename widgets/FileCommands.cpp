#include "widgets/FileCommands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QTextBlock>

#include "mailstore/Delivery.h"
#include "mailstore/IoErrorText.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "shell/AnsiText.h"
#include "widgets/FileSelectorDialog.h"
#include "widgets/TextViewer.h"

namespace widgets {

namespace {

constexpr const char* kAllFiles = "All Files (*)";

// The system's save dialog remembers its last file between uses.
QString& LastSaveDialogFile() {
  static QString file;
  return file;
}

std::string DirectoryOf(const QString& file) { return platform::DirectoryPart(file.toStdString()); }

}  // namespace

bool ChooseFileToOpen(QString& fileName, shell::Preferences& prefs, mailstore::UserInteraction& ui, QWidget* parent) {
  fileName.clear();
  const QString title = QStringLiteral("Select a File");
  if (!prefs.windowsFileSelector) {
    QString directory = QString::fromStdString(prefs.loadDir), mask = QString::fromStdString(prefs.loadMask);
    const bool chosen = ChooseFile(title, directory, mask, fileName, ui, parent);
    prefs.loadDir = directory.toStdString();
    prefs.loadMask = mask.toStdString();
    return chosen;
  }
  fileName = QFileDialog::getOpenFileName(parent, title, QString::fromStdString(prefs.loadDir), kAllFiles);
  if (fileName.isEmpty()) return false;
  prefs.loadDir = DirectoryOf(fileName);
  return true;
}

std::string StoredText(const QPlainTextEdit& source) {
  std::string out;
  for (QTextBlock block = source.document()->begin(); block.isValid(); block = block.next()) {
    out += shell::ToAnsi(block.text());
    out += "\r\n";
  }
  return out;
}

bool ChooseFileToSave(QString& fileName, const QString& title, const QString& suggested, shell::Preferences& prefs,
                      mailstore::UserInteraction& ui, QWidget* parent) {
  QString file;
  if (prefs.windowsFileSelector) {
    file = QFileDialog::getSaveFileName(parent, title, suggested.isEmpty() ? LastSaveDialogFile() : suggested,
                                        kAllFiles, nullptr, QFileDialog::DontConfirmOverwrite);
    if (file.isEmpty()) return false;
    LastSaveDialogFile() = file;
  } else {
    QString directory = QString::fromStdString(prefs.saveDir), mask = QString::fromStdString(prefs.saveMask);
    file = QFileInfo(suggested).fileName();
    const bool chosen = ChooseFile(title, directory, mask, file, ui, parent);
    prefs.saveDir = directory.toStdString();
    prefs.saveMask = mask.toStdString();
    if (!chosen) return false;
  }
  const std::string target = file.toStdString();
  if (platform::FileExists(target) && !ui.AskUser(title.toStdString(), "Replace existing: " + target + "?"))
    return false;
  prefs.saveDir = DirectoryOf(file);
  fileName = file;
  return true;
}

QString SaveTextAs(const QPlainTextEdit& source, const QString& title, shell::Preferences& prefs,
                   mailstore::UserInteraction& ui, QWidget* parent) {
  QString file;
  if (!ChooseFileToSave(file, title, QString(), prefs, ui, parent)) return {};
  const std::string target = file.toStdString();
  const auto* viewer = qobject_cast<const TTextViewer*>(&source);
  int code = 0;
  if (viewer != nullptr && viewer->ShowsStoredFile()) {
    code = mailstore::CopyFileExact(viewer->FileName().toStdString(), target);
  } else {
    code = platform::WriteWholeFile(target, StoredText(source));
  }
  if (code != 0) {
    ui.ShowErrorText(mailstore::TextFileErrorText(code));
    return {};
  }
  return file;
}

}  // namespace widgets
