// The main window's per-user preferences and their defaults, and the rules
// of the stored values that need no settings store: lists, numbers, window
// placements.  No Qt here: a front end without windows (kvmailctl) uses the
// preferences without loading the toolkit.  Texts are UTF-8; the supervisor
// password, which only the mail store compares, is Windows-1252.
//
// How they are loaded from and saved to the settings store is in
// StoredSettings.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "mailstore/UserInteraction.h"

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
  std::string name;  // at most 30 characters; its key is the name without blanks
  int32_t textColour = kSystemWindowText;
  int32_t backgroundColour = kSystemWindow;
  int textGridPosition = 0;
  int backgroundGridPosition = 15;
};

enum ColourElementIndex {
  kInBoxNormalText, kInBoxSelectedText, kViewerNormalText, kViewerSelectedText, kEditorNormalText, kEditorSelectedText,
  kColourElementCount
};

// What a print run uses; one record, kept with the preferences, serves the
// main window and the send window.  Header, footer, margins, unit and
// wrapping are stored; the rest lives until the program ends.
struct TPrinterOptions {
  std::string name;  // what is printed: the dialog's prompt, the job's title, &F
  std::string header;  // a template with &&, &F, &P, &D, &T; empty: no header
  std::string footer = "Page &p";
  double leftMargin = 0.75;
  double topMargin = 0.5;
  double rightMargin = 0.75;
  double bottomMargin = 0.5;
  int unitOfMeasure = 0;  // 1 centimetres, anything else inches
  bool wrapLines = true;
  bool printSelected = false;  // set before each dialog to whether there is a selection
  bool formFeedNewPage = false;
  int copies = 1;  // 1 to 999
  int tabSize = 8;  // in average character widths
};

struct Preferences {
  std::string mailDir;
  int mailCheckInterval = 25;  // seconds
  bool checkMailContinuously = true;
  bool notifyWhenMailArrives = true;
  bool windowsFileSelector = true;
  std::string loadDir;
  std::string loadMask = "*.*";
  std::string saveDir;
  std::string saveMask = "*.*";
  std::string userDictionaryPath;
  std::array<ColourElement, kColourElementCount> colours;
  TPrinterOptions printOptions;
  // Not stored, but kept beside the stored fields.
  std::string programDir;
  std::string supervisorPassword;  // at most 12 characters, Windows-1252; from the .INF files
};

// The preferences before anything is loaded: the Mail Directory is $KVMAIL
// when that names an existing directory, else the current directory; the
// user dictionary's directory is $DASHDECK when that names an existing
// directory, else the program's directory.
Preferences DefaultPreferences();

// The key of a colour element: its name without blanks.
std::string ColourElementKey(const ColourElement& element);

struct Placement {
  int left = 0, top = 0, width = 0, height = 0;
};

struct FontSetting {
  std::string name;
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

// Where the per-user settings are kept: the settings store for the
// program, a reader of the stored Mail Directory for a front end that only
// needs that.  Errors are reported through `ui`; what was read until then
// stays.
class SettingsAccess {
 public:
  virtual ~SettingsAccess() = default;
  // Reads section "Mail" and "Spell Checker" into `prefs` and `window`;
  // every value absent keeps what the record holds.
  virtual void Load(Preferences& prefs, MainWindowLayout& window, mailstore::UserInteraction& ui) = 0;
  virtual void Save(const Preferences& prefs, const MainWindowLayout& window, mailstore::UserInteraction& ui) = 0;
};

// Reads a stored "WindowPos" over `placement`: each missing item keeps its
// current value; a left or top edge beyond the screen less 30 pixels
// becomes 0, and so do a top above the screen and a left that leaves less
// than 30 pixels on it; a window larger than the screen gets its size.
Placement ReadPlacement(std::string_view stored, Placement placement, const Placement& screen);
std::string PlacementText(const Placement& placement);

// Item `n` (from 1) of a list value, or `defaultValue` when it is missing or
// empty.  Blanks and commas separate items, runs of them count as one, and
// double quotes group (and are dropped).
std::string ListItem(std::string_view list, int n, std::string_view defaultValue);

// The text without its blanks as a decimal integer; 0 when not a number.
int ToIntOrZero(std::string_view text);

// A stored number: decimal, or hexadecimal after "0x"; false when the text
// is not one (`value` then stays).
bool ParseStoredNumber(std::string_view text, int& value);

// Integers joined by "," with no blanks.
std::string JoinNumbers(const int* values, size_t count);

// Font style bits from and to the stored integer (only bits 1, 2 and 4).
inline int FontStyleFromStored(int stored) { return stored & 7; }

}  // namespace shell
