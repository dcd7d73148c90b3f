// The program's own file selector: a location, the file list with its
// details and inversion, a preview of the file selected beside or below
// it, the file name and type, and a search of the whole drive.
#pragma once

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>

#include "mailstore/UserInteraction.h"
#include "shell/SelectorSettings.h"
#include "widgets/FileList.h"
#include "widgets/TextViewer.h"
#include "widgets/VelForm.h"

namespace widgets {

// What the preview shows of a file at most.
inline constexpr size_t kPreviewLimit = 1 << 20;

// The text of the alert for a location that cannot be listed.
QString InvalidLocationText(const QString& location);

// A location typed into a selector's box: "~" is the home directory, a
// relative name is taken against `listed` (the directory the selector
// lists), and a last part with "*" or "?" is a mask (the directory is then
// the part before it, empty for a bare mask).
struct TypedLocation {
  QString directory;
  QString mask;  // empty without a wildcard
};
TypedLocation ReadLocation(const QString& typed, const QString& listed);

// Whether focus left a box because the user moved it (and so the box is to
// be applied), not because another window came up.
bool LeftByTheUser(const QEvent* event);

// The non-modal window of a search: how many files were found and where
// the search is.
class TFileSearchProgressDialog : public TVelForm {
  Q_OBJECT
 public:
  explicit TFileSearchProgressDialog(QWidget* parent = nullptr);
  void AddFound();
  void ShowDirectory(const QString& directory);
  // Set once the user confirmed Stop.
  bool Stopped() const { return stopped_; }
  int Found() const { return found_; }

  QLabel *Prompt, *FoundLabel, *Counter, *DirectoryLabel;
  QPushButton* StopButton;

 private:
  int found_ = 0;
  bool stopped_ = false;
};

class TFileSelectorDialog : public TVelForm {
  Q_OBJECT
 public:
  TFileSelectorDialog(mailstore::UserInteraction& ui, QWidget* parent = nullptr);

  // Loads the stored state and lists `directory` with `mask`.
  void Open(const QString& title, const QString& directory, const QString& mask, const QString& fileName);
  // Saves the stored state.
  void SaveSettings();
  // The name chosen: FName, joined to the directory when it has no
  // directory part.
  QString ChosenFile() const;

  // The handlers, as the controls call them.
  void OkButtonClick();
  void FileListChange();
  void FileListChosen(int index);
  void SearchAllClick();
  void ShowDetailClick();
  void PreviewClick();
  void SetSplit(bool horizontal);
  // Applies the location box; false (after the alert) when it cannot be
  // listed.
  bool ApplyLocation();
  void ApplyFilter();

  QLineEdit* LocationBox;
  QToolButton *SplitVButton, *SplitHButton, *Invert;
  QWidget* FileListPanel;
  QHeaderView* Header;
  TFileList* FileList;
  QSplitter* SplitterPanel;
  QWidget* ViewerPanel;
  TTextViewer* FileViewer;
  QLineEdit *FName, *FilterBox;
  QCheckBox *SearchAll, *ShowDetail, *Preview;
  QPushButton *OkButton, *CancelButton, *HelpButton;
  // The search's window while a search runs.
  TFileSearchProgressDialog* SearchProgress() const { return progress_; }
  // Where the drive of a directory starts: the place a search of the entire
  // drive lists.
  std::function<std::string(const std::string& directory)> volumeRootOf = shell::VolumeRootOf;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void ApplyViewerSettings(const shell::FileViewerSettings& settings);
  void ShowPreviewOf(int index);
  void UpdateSplitButtons();
  void HalfSplit();
  void AddFound(const shell::FileListEntry& entry, int& code, const std::string& directory);

  mailstore::UserInteraction& ui_;
  shell::FileBrowserSettings settings_;
  QString appliedFilter_;
  TFileSearchProgressDialog* progress_ = nullptr;
  bool applying_ = false;
  bool shownOnce_ = false;
};

// Asks for a file with the program's selector.  `directory` and `mask` are
// what it starts with (empty: the current directory, "*.*") and become
// what it ended with, whatever the answer; `fileName` becomes the file
// chosen.  True when a file was chosen.
bool ChooseFile(const QString& title, QString& directory, QString& mask, QString& fileName,
                mailstore::UserInteraction& ui, QWidget* parent = nullptr);

}  // namespace widgets
