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

using FontRole = MainWindowState::FontRole;

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

struct FontKeys {
  FontRole role;
  const char* name;
  const char* size;
  const char* style;
  int defaultStyle;
};
constexpr FontKeys kFonts[] = {
    {FontRole::kInBox, keys::kInBoxFontName, keys::kInBoxFontSize, keys::kInBoxFontStyle, 1},
    {FontRole::kViewer, keys::kViewerFontName, keys::kViewerFontSize, keys::kViewerFontStyle, 0},
    {FontRole::kEditor, keys::kEditorFontName, keys::kEditorFontSize, keys::kEditorFontStyle, 0},
};

QString ListOf(std::initializer_list<int> values) {
  QStringList items;
  for (int v : values) items << QString::number(v);
  return items.join(",");
}

int ListNumber(const QString& list, int n, int current) {
  return ToIntOrZero(ListItem(list, n, QString::number(current)));
}

void ReportAndStop(mailstore::UserInteraction& ui) { ui.ReportException(mailstore::MailError::FromCurrentException()); }

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

void LoadSettings(Preferences& prefs, MainWindowState& window, mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kLoad);
    const char* mail = keys::kMail;
    prefs.mailDir = store->ReadText(mail, keys::kMailDir, prefs.mailDir);
    prefs.mailCheckInterval = std::abs(store->ReadNumber(mail, keys::kMailCheckInterval, prefs.mailCheckInterval));
    prefs.checkMailContinuously = store->ReadFlag(mail, keys::kCheckMailContinuously, prefs.checkMailContinuously);
    prefs.notifyWhenMailArrives = store->ReadFlag(mail, keys::kNotifyWhenMailArrives, prefs.notifyWhenMailArrives);
    prefs.loadDir = store->ReadText(mail, keys::kLoadDir, "");
    prefs.saveDir = store->ReadText(mail, keys::kSaveDir, "");
    prefs.loadMask = store->ReadText(mail, keys::kLoadMask, "*.*");
    prefs.saveMask = store->ReadText(mail, keys::kSaveMask, "*.*");
    TPrinterOptions& print = prefs.printOptions;
    print.header = store->ReadText(mail, keys::kHeader, print.header);
    print.footer = store->ReadText(mail, keys::kFooter, print.footer);
    // The four margins are one unit: a margin that is not a number ends it.
    for (auto [key, margin] : {std::pair{keys::kLeftMargin, &print.leftMargin}, std::pair{keys::kTopMargin, &print.topMargin},
                               std::pair{keys::kRightMargin, &print.rightMargin},
                               std::pair{keys::kBottomMargin, &print.bottomMargin}})
      if (!ParseMargin(store->ReadText(mail, key, MarginText(*margin)), *margin)) break;
    print.unitOfMeasure = store->ReadNumber(mail, keys::kUnitOfMeasure, 0);
    print.wrapLines = store->ReadFlag(mail, keys::kWrapLines, print.wrapLines);
    prefs.windowsFileSelector = store->ReadFlag(mail, keys::kWindowsFileSelector, prefs.windowsFileSelector);

    window.SetWindowPlacement(ReadPlacement(store->ReadText(mail, keys::kWindowPos, PlacementText(window.WindowPlacement())),
                                            window.WindowPlacement(), window.ScreenSize()));
    window.SetInBoxPaneHeight(std::max(0, store->ReadNumber(mail, keys::kSplitPos, window.InBoxPaneHeight())));
    std::array<int, 3> widths = window.ColumnWidths();
    const QString detail = store->ReadText(mail, keys::kDetailWidth, ListOf({widths[0], widths[1], widths[2]}));
    for (int i = 0; i < 3; ++i) widths[i] = ListNumber(detail, i + 1, widths[i]);
    window.SetColumnWidths(widths);
    window.SetButtonBarVisible(store->ReadFlag(mail, keys::kButtonBar, true));
    for (const FontKeys& f : kFonts) {
      FontSetting font = window.Font(f.role);
      font.name = store->ReadText(mail, f.name, font.name);
      font.size = store->ReadNumber(mail, f.size, font.size);
      font.style = FontStyleFromStored(store->ReadNumber(mail, f.style, f.defaultStyle));
      window.SetFont(f.role, font);
    }
    for (ColourElement& e : prefs.colours) {
      const QByteArray key = ColourElementKey(e).toUtf8();
      const QString list = store->ReadText(mail, key.constData(), "");
      e.textColour = ListNumber(list, 1, e.textColour);
      e.backgroundColour = ListNumber(list, 2, e.backgroundColour);
      e.textGridPosition = ListNumber(list, 3, e.textGridPosition);
      e.backgroundGridPosition = ListNumber(list, 4, e.backgroundGridPosition);
    }
    prefs.userDictionaryPath = store->ReadText(keys::kSpellChecker, keys::kUserDictionaryPath, prefs.userDictionaryPath);
  } catch (...) {
    ReportAndStop(ui);
  }
}

void SaveSettings(const Preferences& prefs, const MainWindowState& window, mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kSave);
    const char* mail = keys::kMail;
    store->WriteText(mail, keys::kMailDir, prefs.mailDir);
    store->WriteNumber(mail, keys::kMailCheckInterval, prefs.mailCheckInterval);
    store->WriteFlag(mail, keys::kCheckMailContinuously, prefs.checkMailContinuously);
    store->WriteFlag(mail, keys::kNotifyWhenMailArrives, prefs.notifyWhenMailArrives);
    store->WriteText(mail, keys::kLoadDir, prefs.loadDir);
    store->WriteText(mail, keys::kLoadMask, prefs.loadMask);
    store->WriteText(mail, keys::kSaveDir, prefs.saveDir);
    store->WriteText(mail, keys::kSaveMask, prefs.saveMask);
    const TPrinterOptions& print = prefs.printOptions;
    store->WriteText(mail, keys::kHeader, print.header);
    store->WriteText(mail, keys::kFooter, print.footer);
    store->WriteText(mail, keys::kLeftMargin, MarginText(print.leftMargin));
    store->WriteText(mail, keys::kTopMargin, MarginText(print.topMargin));
    store->WriteText(mail, keys::kRightMargin, MarginText(print.rightMargin));
    store->WriteText(mail, keys::kBottomMargin, MarginText(print.bottomMargin));
    store->WriteNumber(mail, keys::kUnitOfMeasure, print.unitOfMeasure);
    store->WriteFlag(mail, keys::kWrapLines, print.wrapLines);
    store->WriteFlag(mail, keys::kWindowsFileSelector, prefs.windowsFileSelector);
    store->WriteText(mail, keys::kWindowPos, PlacementText(window.WindowPlacement()));
    store->WriteNumber(mail, keys::kSplitPos, window.InBoxPaneHeight());
    const std::array<int, 3> widths = window.ColumnWidths();
    store->WriteText(mail, keys::kDetailWidth, ListOf({widths[0], widths[1], widths[2]}));
    store->WriteFlag(mail, keys::kButtonBar, window.ButtonBarVisible());
    for (const FontKeys& f : kFonts) {
      const FontSetting font = window.Font(f.role);
      store->WriteText(mail, f.name, font.name);
      store->WriteNumber(mail, f.size, font.size);
      store->WriteNumber(mail, f.style, FontStyleFromStored(font.style));
    }
    for (const ColourElement& e : prefs.colours) {
      const QByteArray key = ColourElementKey(e).toUtf8();
      store->WriteText(mail, key.constData(),
                       ListOf({e.textColour, e.backgroundColour, e.textGridPosition, e.backgroundGridPosition}));
    }
    store->WriteText(keys::kSpellChecker, keys::kUserDictionaryPath, prefs.userDictionaryPath);
    store->Commit();
  } catch (...) {
    ReportAndStop(ui);
  }
}

QString ReadStoredMailDir(const QString& current, mailstore::UserInteraction& ui) {
  try {
    return OpenSettings(SettingsStore::Purpose::kLoad)->ReadText(keys::kMail, keys::kMailDir, current);
  } catch (...) {
    ReportAndStop(ui);
    return current;
  }
}

void LoadEditorSettings(EditorSettings& editor, const Placement& screen, mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kLoad);
    const char* section = keys::kMailEditor;
    editor.placement = ReadPlacement(store->ReadText(section, keys::kWindowPos, PlacementText(editor.placement)),
                                     editor.placement, screen);
    editor.buttonBar = store->ReadFlag(section, keys::kButtonBar, true);
    editor.statusBar = store->ReadFlag(section, keys::kStatusBar, true);
    editor.tabSize = store->ReadNumber(section, keys::kTabSize, 8);
    editor.autoIndent = store->ReadFlag(section, keys::kAutoIndent, false);
    editor.wordWrap = store->ReadFlag(section, keys::kWordWrap, true);
    editor.encryptMail = store->ReadFlag(section, keys::kEncryptMail, false);
  } catch (...) {
    ReportAndStop(ui);
  }
}

void SaveEditorSettings(const EditorSettings& editor, mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kSave);
    const char* section = keys::kMailEditor;
    store->WriteText(section, keys::kWindowPos, PlacementText(editor.placement));
    store->WriteFlag(section, keys::kButtonBar, editor.buttonBar);
    store->WriteFlag(section, keys::kStatusBar, editor.statusBar);
    store->WriteNumber(section, keys::kTabSize, editor.tabSize);
    store->WriteFlag(section, keys::kAutoIndent, editor.autoIndent);
    store->WriteFlag(section, keys::kWordWrap, editor.wordWrap);
    store->WriteFlag(section, keys::kEncryptMail, editor.encryptMail);
    store->Commit();
  } catch (...) {
    ReportAndStop(ui);
  }
}

}  // namespace shell
