#include "shell/Preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cstdlib>

#include "mailstore/MailError.h"
#include "platform/Environment.h"
#include "shell/SettingsKeys.h"

namespace shell {
namespace {

// A directory named by an environment variable, when it exists.
QString ExistingDirectoryFromEnvironment(const char* name) {
  const QString dir = QString::fromStdString(platform::GetEnv(name));
  return !dir.isEmpty() && QFileInfo(dir).isDir() ? dir : QString();
}

ColourElement Element(const char* name, bool selected) {
  ColourElement e;
  e.name = name;
  if (selected) {
    e.textColour = kSystemHighlightText;
    e.backgroundColour = kSystemHighlight;
    e.textGridPosition = 15;
    e.backgroundGridPosition = 6;
  }
  return e;
}

QString ListOf(std::initializer_list<int> values) {
  QStringList items;
  for (int v : values) items << QString::number(v);
  return items.join(",");
}

int ListNumber(const QString& list, int n, int current) {
  return ToIntOrZero(ListItem(list, n, QString::number(current)));
}

}  // namespace

Preferences DefaultPreferences() {
  Preferences prefs;
  prefs.programDir = QString::fromStdString(platform::ProgramDir());
  prefs.mailDir = ExistingDirectoryFromEnvironment("KVMAIL");
  if (prefs.mailDir.isEmpty()) prefs.mailDir = QString::fromStdString(platform::CurrentDirectory());
  prefs.userDictionaryPath = ExistingDirectoryFromEnvironment("DASHDECK");
  if (prefs.userDictionaryPath.isEmpty()) prefs.userDictionaryPath = prefs.programDir;
  prefs.colours = {Element("In Box Normal Text", false),  Element("In Box Selected Text", true),
                   Element("Viewer Normal Text", false),  Element("Viewer Selected Text", true),
                   Element("Editor Normal Text", false),  Element("Editor Selected Text", true)};
  return prefs;
}

QString ColourElementKey(const ColourElement& element) { return QString(element.name).remove(' '); }

Placement ReadPlacement(const QString& stored, Placement p, const Placement& screen) {
  p.left = ListNumber(stored, 1, p.left);
  p.top = ListNumber(stored, 2, p.top);
  p.width = ListNumber(stored, 3, p.width);
  p.height = ListNumber(stored, 4, p.height);
  if (p.left > screen.width - 30) p.left = 0;
  if (p.top > screen.height - 30) p.top = 0;
  return p;
}

QString PlacementText(const Placement& p) { return ListOf({p.left, p.top, p.width, p.height}); }

QString MarginText(double margin) {
  QString text = QString::asprintf("%2.2f", margin);
  return text.replace('.', QLocale::system().decimalPoint());
}

bool ParseMargin(const QString& text, double& margin) {
  bool ok = false;
  double value = QLocale::system().toDouble(text.trimmed(), &ok);
  if (!ok) value = QLocale::c().toDouble(text.trimmed(), &ok);
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
          [field](MainSettings& r, const std::optional<QString>& stored) {
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
      static std::array<QByteArray, kColourElementCount> colourKeys;
      colourKeys[i] = ColourElementKey(DefaultPreferences().colours[i]).toUtf8();
      t.push_back({mail, colourKeys[i].constData(),
                   [i](R& r, const std::optional<QString>& stored) {
                     ColourElement& e = r.prefs.colours[i];
                     std::array<int, 4> v{e.textColour, e.backgroundColour, e.textGridPosition, e.backgroundGridPosition};
                     for (size_t n = 0; stored && n < v.size(); ++n)
                       v[n] = ToIntOrZero(ListItem(*stored, static_cast<int>(n) + 1, QString::number(v[n])));
                     e.textColour = v[0];
                     e.backgroundColour = v[1];
                     e.textGridPosition = v[2];
                     e.backgroundGridPosition = v[3];
                     return true;
                   },
                   [i](const R& r) {
                     const ColourElement& e = r.prefs.colours[i];
                     return ListOf({e.textColour, e.backgroundColour, e.textGridPosition, e.backgroundGridPosition});
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

QString ReadStoredMailDir(const QString& current, mailstore::UserInteraction& ui) {
  QString mailDir = current;
  WithSettings(SettingsStore::Purpose::kLoad, ui,
               [&](SettingsStore& store) { mailDir = store.ReadText(keys::kMail, keys::kMailDir, current); });
  return mailDir;
}

void LoadEditorSettings(EditorSettings& editor, mailstore::UserInteraction& ui) { LoadTable(EditorTable(), editor, ui); }

void SaveEditorSettings(const EditorSettings& editor, mailstore::UserInteraction& ui) {
  SaveTable(EditorTable(), editor, ui);
}

}  // namespace shell
