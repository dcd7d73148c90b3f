// The directory selector: drives and directories only, a location box
// that can create a missing directory, the list's inversion shared with the
// file selector.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "mailstore/UserInteraction.h"
#include "widgets/FileList.h"
#include "widgets/VelForm.h"

namespace widgets {

class TDirSelectorDialog : public TVelForm {
  Q_OBJECT
 public:
  TDirSelectorDialog(bool allowCreate, mailstore::UserInteraction& ui, QWidget* parent = nullptr);

  // Loads the stored state and lists `directory` (empty: the current one).
  void Open(const QString& title, const QString& directory);
  void SaveSettings();

  void OkButtonClick();
  void FileListChosen(int index);
  // Applies the location box; false when it could not be listed.
  bool ApplyLocation();

  QLineEdit* LocationBox;
  QToolButton* InvertButton;
  TFileList* FileList;
  QPushButton *OkButton, *CancelButton, *HelpButton;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  mailstore::UserInteraction& ui_;
  bool allowCreate_;
  bool applying_ = false;
};

// Asks for a directory under `title`, starting in `directory`, which
// becomes the one chosen.  With `allowCreate` a missing directory typed in
// the location box is created, with its parents, after a question.  True
// when one was chosen.
bool ChooseDirectory(const QString& title, QString& directory, bool allowCreate, mailstore::UserInteraction& ui,
                     QWidget* parent = nullptr);

}  // namespace widgets
