#include "shell/StoredSettings.h"

#include <QLocale>
#include <algorithm>
#include <cstdlib>

#include "shell/SettingsKeys.h"
#include "shell/SettingsTable.h"

namespace shell {

std::string MarginText(double margin) {
  QString text = QString::asprintf("%2.2f", margin);
  return text.replace('.', QLocale::system().decimalPoint()).toStdString();
}

bool ParseMargin(const std::string& stored, double& margin) {
  const QString text = QString::fromStdString(stored).trimmed();
  bool ok = false;
  double value = QLocale::system().toDouble(text, &ok);
  if (!ok) value = QLocale::c().toDouble(text, &ok);
  if (ok) margin = value;
  return ok;
}

namespace {

// What section "Mail" and "Spell Checker" hold: the preferences and the
// main window's layout.
struct MainSettings {
  Preferences& prefs;
  MainWindowLayout& window;
};

// A stored interval may be negative: its absolute value counts.  It is an
// unsigned 16-bit number, so a larger one is cut to 65535 seconds.
int IntervalSeconds(int stored) { return static_cast<int>(std::min<long long>(std::llabs(stored), 65535)); }
int NotNegative(int stored) { return std::max(0, stored); }

// The four margins are one unit: a margin that is not a number ends it, and
// it and the later ones keep their current values.
constexpr int kMarginGroup = 1;
template <class Field>
SettingRow<MainSettings> MarginRow(const char* key, Field field) {
  return {keys::kMail, key,
          [field](MainSettings& r, const std::optional<std::string>& stored) {
            return ParseMargin(stored.value_or(MarginText(field(r))), field(r));
          },
          [field](const MainSettings& r) { return MarginText(field(r)); }, kMarginGroup};
}

template <class Field>
void AddFontRows(SettingsTable<MainSettings>& t, const char* name, const char* size, const char* style, int defaultStyle,
                 Field font) {
  t.push_back(TextRow<MainSettings>(keys::kMail, name, [font](auto& r) -> auto& { return font(r).name; }));
  t.push_back(NumberRow<MainSettings>(keys::kMail, size, [font](auto& r) -> auto& { return font(r).size; }));
  t.push_back(NumberRow<MainSettings>(keys::kMail, style, [font](auto& r) -> auto& { return font(r).style; },
                                      defaultStyle, &FontStyleFromStored));
}

// Section "Mail" and "Spell Checker", in the order the store has always
// been read.  Saving writes LoadMask before SaveDir, which nobody can tell
// apart: the values of one save reach the store together.
const SettingsTable<MainSettings>& MainTable() {
  static const SettingsTable<MainSettings> table = [] {
    using R = MainSettings;
    const char* mail = keys::kMail;
    SettingsTable<R> t = {
        TextRow<R>(mail, keys::kMailDir, [](auto& r) -> auto& { return r.prefs.mailDir; }),
        NumberRow<R>(mail, keys::kMailCheckInterval, [](auto& r) -> auto& { return r.prefs.mailCheckInterval; }, {},
                     &IntervalSeconds),
        FlagRow<R>(mail, keys::kCheckMailContinuously, [](auto& r) -> auto& { return r.prefs.checkMailContinuously; }),
        FlagRow<R>(mail, keys::kNotifyWhenMailArrives, [](auto& r) -> auto& { return r.prefs.notifyWhenMailArrives; }),
        TextRow<R>(mail, keys::kLoadDir, [](auto& r) -> auto& { return r.prefs.loadDir; }, ""),
        TextRow<R>(mail, keys::kSaveDir, [](auto& r) -> auto& { return r.prefs.saveDir; }, ""),
        TextRow<R>(mail, keys::kLoadMask, [](auto& r) -> auto& { return r.prefs.loadMask; }, "*.*"),
        TextRow<R>(mail, keys::kSaveMask, [](auto& r) -> auto& { return r.prefs.saveMask; }, "*.*"),
        TextRow<R>(mail, keys::kHeader, [](auto& r) -> auto& { return r.prefs.printOptions.header; }),
        TextRow<R>(mail, keys::kFooter, [](auto& r) -> auto& { return r.prefs.printOptions.footer; }),
        MarginRow(keys::kLeftMargin, [](auto& r) -> auto& { return r.prefs.printOptions.leftMargin; }),
        MarginRow(keys::kTopMargin, [](auto& r) -> auto& { return r.prefs.printOptions.topMargin; }),
        MarginRow(keys::kRightMargin, [](auto& r) -> auto& { return r.prefs.printOptions.rightMargin; }),
        MarginRow(keys::kBottomMargin, [](auto& r) -> auto& { return r.prefs.printOptions.bottomMargin; }),
        NumberRow<R>(mail, keys::kUnitOfMeasure, [](auto& r) -> auto& { return r.prefs.printOptions.unitOfMeasure; }, 0),
        FlagRow<R>(mail, keys::kWrapLines, [](auto& r) -> auto& { return r.prefs.printOptions.wrapLines; }),
        FlagRow<R>(mail, keys::kWindowsFileSelector, [](auto& r) -> auto& { return r.prefs.windowsFileSelector; }),
        PlacementRow<R>(mail, [](auto& r) -> auto& { return r.window.placement; },
                        [](auto& r) -> auto& { return r.window.screen; }),
        NumberRow<R>(mail, keys::kSplitPos, [](auto& r) -> auto& { return r.window.paneHeight; }, {}, &NotNegative),
        ListRow<R>(mail, keys::kDetailWidth, [](auto& r) -> auto& { return r.window.widths; }),
        FlagRow<R>(mail, keys::kButtonBar, [](auto& r) -> auto& { return r.window.buttonBar; }, true),
    };
    AddFontRows(t, keys::kInBoxFontName, keys::kInBoxFontSize, keys::kInBoxFontStyle, 1,
                [](auto& r) -> auto& { return r.window.fonts[MainWindowLayout::kInBoxFont]; });
    AddFontRows(t, keys::kViewerFontName, keys::kViewerFontSize, keys::kViewerFontStyle, 0,
                [](auto& r) -> auto& { return r.window.fonts[MainWindowLayout::kViewerFont]; });
    AddFontRows(t, keys::kEditorFontName, keys::kEditorFontSize, keys::kEditorFontStyle, 0,
                [](auto& r) -> auto& { return r.window.fonts[MainWindowLayout::kEditorFont]; });
    for (size_t i = 0; i < kColourElementCount; ++i) {
      // The key is the element's name without blanks; the names are fixed.
      static std::array<std::string, kColourElementCount> colourKeys;
      colourKeys[i] = ColourElementKey(DefaultPreferences().colours[i]);
      t.push_back({mail, colourKeys[i].c_str(),
                   [i](R& r, const std::optional<std::string>& stored) {
                     ColourElement& e = r.prefs.colours[i];
                     std::array<int, 4> v{e.textColour, e.backgroundColour, e.textGridPosition, e.backgroundGridPosition};
                     for (size_t n = 0; stored && n < v.size(); ++n)
                       v[n] = ToIntOrZero(ListItem(*stored, static_cast<int>(n) + 1, std::to_string(v[n])));
                     e.textColour = v[0];
                     e.backgroundColour = v[1];
                     e.textGridPosition = v[2];
                     e.backgroundGridPosition = v[3];
                     return true;
                   },
                   [i](const R& r) {
                     const ColourElement& e = r.prefs.colours[i];
                     const int values[] = {e.textColour, e.backgroundColour, e.textGridPosition,
                                           e.backgroundGridPosition};
                     return JoinNumbers(values, 4);
                   }});
    }
    t.push_back(TextRow<R>(keys::kSpellChecker, keys::kUserDictionaryPath,
                           [](auto& r) -> auto& { return r.prefs.userDictionaryPath; }));
    return t;
  }();
  return table;
}

const SettingsTable<EditorSettings>& EditorTable() {
  static const SettingsTable<EditorSettings> table = [] {
    using R = EditorSettings;
    const char* editor = keys::kMailEditor;
    return SettingsTable<R>{
        PlacementRow<R>(editor, [](auto& r) -> auto& { return r.placement; }, [](auto& r) -> auto& { return r.screen; }),
        FlagRow<R>(editor, keys::kButtonBar, [](auto& r) -> auto& { return r.buttonBar; }, true),
        FlagRow<R>(editor, keys::kStatusBar, [](auto& r) -> auto& { return r.statusBar; }, true),
        NumberRow<R>(editor, keys::kTabSize, [](auto& r) -> auto& { return r.tabSize; }, 8),
        FlagRow<R>(editor, keys::kAutoIndent, [](auto& r) -> auto& { return r.autoIndent; }, false),
        FlagRow<R>(editor, keys::kWordWrap, [](auto& r) -> auto& { return r.wordWrap; }, true),
        FlagRow<R>(editor, keys::kEncryptMail, [](auto& r) -> auto& { return r.encryptMail; }, false),
    };
  }();
  return table;
}

}  // namespace

void LoadSettings(Preferences& prefs, MainWindowLayout& window, mailstore::UserInteraction& ui) {
  MainSettings settings{prefs, window};
  LoadTable(MainTable(), settings, ui);
}

void SaveSettings(const Preferences& prefs, const MainWindowLayout& window, mailstore::UserInteraction& ui) {
  // The rows only read through a record they are handed for a save.
  MainSettings settings{const_cast<Preferences&>(prefs), const_cast<MainWindowLayout&>(window)};
  SaveTable(MainTable(), settings, ui);
}

void LoadEditorSettings(EditorSettings& editor, mailstore::UserInteraction& ui) { LoadTable(EditorTable(), editor, ui); }

void SaveEditorSettings(const EditorSettings& editor, mailstore::UserInteraction& ui) {
  SaveTable(EditorTable(), editor, ui);
}

void StoredSettings::Load(Preferences& prefs, MainWindowLayout& window, mailstore::UserInteraction& ui) {
  LoadSettings(prefs, window, ui);
}

void StoredSettings::Save(const Preferences& prefs, const MainWindowLayout& window, mailstore::UserInteraction& ui) {
  SaveSettings(prefs, window, ui);
}

}  // namespace shell
