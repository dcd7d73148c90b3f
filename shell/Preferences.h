// The main window's per-user preferences, their defaults, and how they are
// loaded from and saved to the settings store.
//
// Values that belong to windows (placement, splitter, column widths, fonts,
// the button bar) are read and written through small interfaces that the
// windows implement, so that the rules of reading them live here.
#pragma once

#include <QString>
#include <array>
#include <cstdint>

#include "mailstore/UserInteraction.h"
#include "shell/SettingsKeys.h"
#include "shell/SettingsStore.h"
#include "shell/SettingsTable.h"

namespace shell {

// Colours are 32-bit values: 0x00BBGGRR, or with the top bit set a system
// colour whose index is in the low byte.  The system colours the program
// uses, by index:
enum SystemColourIndex {
  kColourWindow = 5,
  kColourWindowText = 8,
  kColourHighlight = 13,
  kColourHighlightText = 14,
  kColourGrayText = 17,
};
constexpr int32_t SystemColour(int index) { return static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(index)); }
inline constexpr int32_t kSystemWindowText = SystemColour(kColourWindowText);
inline constexpr int32_t kSystemWindow = SystemColour(kColourWindow);
inline constexpr int32_t kSystemHighlight = SystemColour(kColourHighlight);
inline constexpr int32_t kSystemHighlightText = SystemColour(kColourHighlightText);

struct ColourElement {
  QString name;  // at most 30 characters; its key is the name without blanks
  int32_t textColour = kSystemWindowText;
  int32_t backgroundColour = kSystemWindow;
  int textGridPosition = 0;
  int backgroundGridPosition = 15;
};

enum ColourElementIndex {
  kInBoxNormalText, kInBoxSelectedText, kViewerNormalText, kViewerSelectedText, kEditorNormalText, kEditorSelectedText,
  kColourElementCount
};

struct TPrinterOptions {
  QString header;
  QString footer = "Page &p";
  double leftMargin = 0.75;
  double topMargin = 0.5;
  double rightMargin = 0.75;
  double bottomMargin = 0.5;
  int unitOfMeasure = 0;  // 1 centimetres, anything else inches
  bool wrapLines = true;
};

struct Preferences {
  QString mailDir;
  int mailCheckInterval = 25;  // seconds
  bool checkMailContinuously = true;
  bool notifyWhenMailArrives = true;
  bool windowsFileSelector = true;
  QString loadDir;
  QString loadMask = "*.*";
  QString saveDir;
  QString saveMask = "*.*";
  QString userDictionaryPath;
  std::array<ColourElement, kColourElementCount> colours;
  TPrinterOptions printOptions;
  // Not stored, but kept beside the stored fields.
  QString programDir;
  QString supervisorPassword;  // at most 12 characters; from the .INF files
};

// The preferences before anything is loaded: the Mail Directory is $KVMAIL
// when that names an existing directory, else the current directory; the
// user dictionary's directory is $DASHDECK when that names an existing
// directory, else the program's directory.
Preferences DefaultPreferences();

// The key of a colour element: its name without blanks.
QString ColourElementKey(const ColourElement& element);

struct Placement {
  int left = 0, top = 0, width = 0, height = 0;
};

struct FontSetting {
  QString name;
  int size = 0;   // points
  int style = 0;  // bits: 1 bold, 2 italic, 4 underline
};

// The parts of the main window whose state is stored with the preferences,
// as the window hands them over for a save and takes them back after a load.
struct MainWindowLayout {
  enum FontRole { kInBoxFont, kViewerFont, kEditorFont };
  Placement placement;
  Placement screen;  // the size of the screen the window is on; not stored
  int paneHeight = 0;  // the In Box pane above the splitter
  std::array<int, 3> widths{};  // the In Box columns Date, From, Subject
  bool buttonBar = true;
  std::array<FontSetting, 3> fonts;  // by FontRole
};

// The send window's stored state.
struct EditorSettings {
  Placement placement;  // the window's current placement before loading
  Placement screen;     // the size of the screen; not stored
  bool buttonBar = true;
  bool statusBar = true;
  int tabSize = 8;
  bool autoIndent = false;
  bool wordWrap = true;
  bool encryptMail = false;
};

// Reads section "Mail" and "Spell Checker" into `prefs` and `window`, in the
// order the store has always been read; every value absent keeps what the
// record holds (the defaults, the window's design).  An error is reported
// through `ui` and ends the load; what was read until then stays.
void LoadSettings(Preferences& prefs, MainWindowLayout& window, mailstore::UserInteraction& ui);

// Writes them back; an error is reported through `ui` and ends the save.
void SaveSettings(const Preferences& prefs, const MainWindowLayout& window, mailstore::UserInteraction& ui);

// The stored Mail Directory alone, for front ends without a main window;
// `current` when none is stored.  An error is reported through `ui`.
QString ReadStoredMailDir(const QString& current, mailstore::UserInteraction& ui);

// Section "Mail Editor".
void LoadEditorSettings(EditorSettings& editor, mailstore::UserInteraction& ui);
void SaveEditorSettings(const EditorSettings& editor, mailstore::UserInteraction& ui);

// Reads a stored "WindowPos" over `placement`: each missing item keeps its
// current value; a left or top edge beyond the screen less 30 pixels
// becomes 0.
Placement ReadPlacement(const QString& stored, Placement placement, const Placement& screen);
QString PlacementText(const Placement& placement);

// The row of a "WindowPos": `placement` and `screen` are accessors of the
// record's placement and of the screen it is corrected for.
template <class Record, class PlacementField, class ScreenField>
SettingRow<Record> PlacementRow(const char* section, PlacementField placement, ScreenField screen) {
  return {section, keys::kWindowPos,
          [placement, screen](Record& r, const std::optional<QString>& stored) {
            if (stored) placement(r) = ReadPlacement(*stored, placement(r), screen(r));
            else placement(r) = ReadPlacement(PlacementText(placement(r)), placement(r), screen(r));
            return true;
          },
          [placement](const Record& r) { return PlacementText(placement(r)); }};
}

// A margin as it is stored ("%2.2f", the user's decimal separator), and read
// back; false when the text is not a number.
QString MarginText(double margin);
bool ParseMargin(const QString& text, double& margin);

// Font style bits from and to the stored integer (only bits 1, 2 and 4).
inline int FontStyleFromStored(int stored) { return stored & 7; }

}  // namespace shell
