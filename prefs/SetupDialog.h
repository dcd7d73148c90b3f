// The Preferences dialog: colours and fonts of the In Box, the viewer and
// the editor; the Mail Directory, polling and the user's password; the file
// selector and the user dictionary.  It edits copies; nothing changes
// until OK.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <array>
#include <functional>

#include "shell/MailSession.h"
#include "widgets/ColorGrid.h"
#include "widgets/VelForm.h"

namespace prefs {

enum PreferencesFont { kInBoxFont, kViewerFont, kEditorFont };

// What the dialog edits, as its opener hands it over and takes it back.
struct PreferencesEdit {
  std::array<shell::ColourElement, shell::kColourElementCount> colours;
  std::array<QFont, 3> fonts;  // by PreferencesFont
  std::string mailDir;
  int mailCheckInterval = 25;
  bool checkMailContinuously = true;
  bool notifyWhenMailArrives = true;
  bool windowsFileSelector = true;
  std::string userDictionaryPath;
  std::string userName;  // who is logged in; empty: nobody
  std::string password;  // theirs, Windows-1252
};

// The lines of `text` wrapped at blanks into `width`: a line takes the next
// word while it still fits, and always takes the first.
QStringList WrapWords(const QString& text, int width, const std::function<int(const QString&)>& measure);

// A paint box whose owner paints it.
class TPreviewBox : public QWidget {
 public:
  using Paint = std::function<void(QPainter&, const QRect&)>;
  TPreviewBox(QWidget* parent, const char* name, Paint paint) : QWidget(parent), paint_(std::move(paint)) {
    setObjectName(name);
  }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  Paint paint_;
};

class TSetupDialog : public widgets::TVelForm {
  Q_OBJECT
 public:
  explicit TSetupDialog(mailstore::UserInteraction& ui, QWidget* parent = nullptr);

  void Load(const PreferencesEdit& edit);
  // The values as the dialog holds them.
  PreferencesEdit Edited() const;

  // The help context of the page shown.
  int HelpContext() const;
  // Selects an element: the grid shows its colours, changing nothing.
  void SelectElement(int element);

  QStackedWidget* Notebook;
  QTabBar* TabSet;
  QPushButton *OkButton, *CancelButton, *HelpButton;
  QListWidget* ElementList;
  widgets::TColorGrid* ColorGrid;
  QPushButton* FontButton;
  TPreviewBox *InBoxPreview, *ViewerPreview, *EditorPreview;
  QLineEdit* MailDirBox;
  QToolButton* DirBrowseButton;
  QCheckBox *CheckMailContinuously, *NotifyWhenMailArrives;
  QSpinBox* MailInterval;
  QLabel* PasswordLabel;
  QLineEdit* PasswordBox;
  QLabel* LockImage;
  QRadioButton *WinFSelector, *VelFSelector;
  QLineEdit* UserDictBox;
  QToolButton* UserBrowseButton;

 private:
  void ColorGridChange();
  void FontButtonClick();
  void ShowLock();
  void PaintInBox(QPainter& painter, const QRect& area);
  void PaintText(QPainter& painter, const QRect& area, int normal);
  QColor Colour(int element, bool text) const;

  mailstore::UserInteraction& ui_;
  std::array<shell::ColourElement, shell::kColourElementCount> colours_;
  PreferencesEdit loaded_;
};

// Shows the Preferences dialog for `session`'s preferences and `fonts`; on
// OK writes everything back in order (colours, fonts, Mail Directory,
// polling, a changed password, file selector, dictionary) and returns true.
// The caller then applies colours and fonts, rearms polling and saves.
bool ExecutePreferences(shell::MailSession& session, std::array<QFont, 3>& fonts, QWidget* parent = nullptr);

}  // namespace prefs
