#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <stdlib.h>

#include "platform/Environment.h"
#include "platform/FaultInjection.h"
#include "shell/SelectorSettings.h"
#include "shell/SettingsFile.h"
#include "tests/shell/SettingsFixture.h"

namespace {

using namespace shell;
using testing_support::SettingsFixture;
namespace k = shell::keys;

TEST(ListItemTest, ItemsOfStoredLists) {
  struct Case {
    const char* list;
    int n;
    const char* item;
  };
  for (const Case& c : {Case{"10,20,30,40", 2, "20"}, Case{"10,,30", 2, "30"}, Case{" ,10 20", 1, "10"},
                        Case{"10, 20", 2, "20"}, Case{"\"a, b\",c", 1, "a, b"}, Case{"\"a, b\",c", 2, "c"},
                        Case{"10,20", 3, "dflt"}, Case{"", 1, "dflt"}, Case{"\"\",x", 1, "x"}})
    EXPECT_EQ(ListItem(c.list, c.n, "dflt"), c.item) << c.list << " #" << c.n;
}

TEST(ToIntOrZeroTest, Numbers) {
  EXPECT_EQ(ToIntOrZero("42"), 42);
  EXPECT_EQ(ToIntOrZero(" 4 2 "), 42);
  EXPECT_EQ(ToIntOrZero("-2147483640"), -2147483640);
  EXPECT_EQ(ToIntOrZero("abc"), 0);
  EXPECT_EQ(ToIntOrZero("12.5"), 0);
  EXPECT_EQ(ToIntOrZero(""), 0);
}

class SettingsTest : public SettingsFixture {};

// The user dictionary goes beside the program where the user may write
// there; in an installed copy (a folder of the system's) it goes into the
// user's data folder, made for it, so that words can still be added.
TEST_F(SettingsTest, TheUserDictionaryGoesWhereTheUserMayWrite) {
  ::unsetenv("DASHDECK");
  EXPECT_EQ(DefaultPreferences().userDictionaryPath, platform::ProgramDir());
  testing_support::TempDir data;
  ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
  platform::faults::Arm("access", 1, EACCES);  // as for a folder of the system's
  const std::string folder = DefaultPreferences().userDictionaryPath;
  platform::faults::Clear();
  ::unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(folder, data.File("Brenlow/Dashdeck"));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST_F(SettingsTest, AFreshUserGetsEveryDefault) {
  Preferences prefs = DefaultPreferences();
  LoadSettings(prefs, window, ui);
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(prefs.mailCheckInterval, 25);
  EXPECT_TRUE(prefs.checkMailContinuously);
  EXPECT_TRUE(prefs.notifyWhenMailArrives);
  EXPECT_TRUE(prefs.windowsFileSelector);
  EXPECT_EQ(prefs.loadMask, "*.*");
  EXPECT_EQ(prefs.saveMask, "*.*");
  EXPECT_EQ(prefs.printOptions.footer, "Page &p");
  EXPECT_EQ(prefs.printOptions.header, "");
  EXPECT_DOUBLE_EQ(prefs.printOptions.leftMargin, 0.75);
  EXPECT_DOUBLE_EQ(prefs.printOptions.topMargin, 0.5);
  EXPECT_TRUE(prefs.printOptions.wrapLines);
  EXPECT_EQ(prefs.colours[kInBoxSelectedText].name, "In Box Selected Text");
  EXPECT_EQ(prefs.colours[kInBoxSelectedText].textColour, kSystemHighlightText);
  EXPECT_EQ(prefs.colours[kEditorNormalText].backgroundGridPosition, 15);
  EXPECT_EQ(window.placement.left, 100);  // the form's own placement
  EXPECT_EQ(window.placement.width, 600);
  EXPECT_EQ(window.paneHeight, 125);
  EXPECT_EQ(window.fonts[0].style, 1);  // the In Box font is bold
  EXPECT_EQ(window.fonts[1].style, 0);
  EXPECT_TRUE(window.buttonBar);
}

TEST_F(SettingsTest, EveryKeyIsStoredAsTheTextTheFormatPrescribes) {
  Preferences prefs = DefaultPreferences();
  prefs.mailDir = "/srv/mail";
  prefs.mailCheckInterval = 40;
  prefs.checkMailContinuously = false;
  prefs.printOptions.leftMargin = 1.5;
  prefs.printOptions.header = "Header, with comma";
  prefs.colours[kInBoxNormalText].textColour = 0x00FF0000;
  window.placement = {10, 20, 640, 480};
  window.widths = {100, 80, 250};
  window.fonts[2] = FontSetting{"Courier New", 12, 2 | 4};
  SaveSettings(prefs, window, ui);
  ASSERT_TRUE(ui.shown.empty());

  EXPECT_EQ(Stored(k::kMail, k::kMailDir), "/srv/mail");
  EXPECT_EQ(Stored(k::kMail, k::kMailCheckInterval), "40");
  EXPECT_EQ(Stored(k::kMail, k::kCheckMailContinuously), "0");
  EXPECT_EQ(Stored(k::kMail, k::kNotifyWhenMailArrives), "1");
  EXPECT_EQ(Stored(k::kMail, k::kLeftMargin), "1.50");
  EXPECT_EQ(Stored(k::kMail, k::kTopMargin), "0.50");
  EXPECT_EQ(Stored(k::kMail, k::kHeader), "Header, with comma");
  EXPECT_EQ(Stored(k::kMail, k::kFooter), "Page &p");
  EXPECT_EQ(Stored(k::kMail, k::kWindowPos), "10,20,640,480");
  EXPECT_EQ(Stored(k::kMail, k::kSplitPos), "125");
  EXPECT_EQ(Stored(k::kMail, k::kDetailWidth), "100,80,250");
  EXPECT_EQ(Stored(k::kMail, k::kInBoxFontStyle), "0");
  EXPECT_EQ(Stored(k::kMail, k::kEditorFontStyle), "6");
  EXPECT_EQ(Stored(k::kMail, k::kEditorFontName), "Courier New");
  EXPECT_EQ(Stored(k::kMail, "InBoxNormalText"), "16711680,-2147483643,0,15");
  EXPECT_EQ(Stored(k::kMail, "InBoxSelectedText"), "-2147483634,-2147483635,15,6");
  EXPECT_EQ(Stored(k::kSpellChecker, k::kUserDictionaryPath), prefs.userDictionaryPath);

  Preferences back = DefaultPreferences();
  shell::MainWindowLayout other = testing_support::DesignLayout();
  LoadSettings(back, other, ui);
  EXPECT_EQ(back.mailDir, "/srv/mail");
  EXPECT_EQ(back.mailCheckInterval, 40);
  EXPECT_FALSE(back.checkMailContinuously);
  EXPECT_DOUBLE_EQ(back.printOptions.leftMargin, 1.5);
  EXPECT_EQ(back.printOptions.header, "Header, with comma");
  EXPECT_EQ(back.colours[kInBoxNormalText].textColour, 0x00FF0000);
  EXPECT_EQ(back.colours[kInBoxSelectedText].backgroundColour, kSystemHighlight);
  EXPECT_EQ(other.placement.left, 10);
  EXPECT_EQ(other.placement.height, 480);
  EXPECT_EQ(other.widths, (std::array<int, 3>{100, 80, 250}));
  EXPECT_EQ(other.fonts[2].size, 12);
  EXPECT_EQ(other.fonts[2].style, 6);
  EXPECT_EQ(other.fonts[0].style, 0);
}

TEST_F(SettingsTest, StoredValuesAreReadByTheRules) {
  struct Case {
    const char* name;
    const char* key;
    const char* text;
    std::function<void(const Preferences&, const shell::MainWindowLayout&)> check;
  };
  const std::vector<Case> cases = {
      {"placementOfTwo", k::kWindowPos, "10,20",
       [](auto&, auto& w) { EXPECT_EQ((std::array{w.placement.left, w.placement.top, w.placement.width, w.placement.height}),
                                      (std::array{10, 20, 600, 400})); }},
      {"runOfSeparators", k::kWindowPos, "10,,30",
       [](auto&, auto& w) { EXPECT_EQ(w.placement.left, 10); EXPECT_EQ(w.placement.top, 30); }},
      {"leftPastTheScreen", k::kWindowPos, "995,700,600,400",
       [](auto&, auto& w) { EXPECT_EQ(w.placement.left, 0); EXPECT_EQ(w.placement.top, 700); }},
      {"topPastTheScreen", k::kWindowPos, "10,739,600,400", [](auto&, auto& w) { EXPECT_EQ(w.placement.top, 0); }},
      {"itemNotANumber", k::kWindowPos, "x,20", [](auto&, auto& w) { EXPECT_EQ(w.placement.left, 0); }},
      {"leftBeforeTheScreen", k::kWindowPos, "-2000,20,600,400",
       [](auto&, auto& w) { EXPECT_EQ(w.placement.left, 0); EXPECT_EQ(w.placement.top, 20); }},
      {"partlyLeftOfTheScreen", k::kWindowPos, "-500,20,600,400", [](auto&, auto& w) { EXPECT_EQ(w.placement.left, -500); }},
      {"topAboveTheScreen", k::kWindowPos, "10,-50,600,400", [](auto&, auto& w) { EXPECT_EQ(w.placement.top, 0); }},
      {"largerThanTheScreen", k::kWindowPos, "0,0,30000,20000", [](auto&, auto& w) {
         EXPECT_LE(w.placement.width, w.screen.width); EXPECT_LE(w.placement.height, w.screen.height);
         EXPECT_GT(w.placement.width, 0); }},
      {"negativeInterval", k::kMailCheckInterval, "-60", [](auto& p, auto&) { EXPECT_EQ(p.mailCheckInterval, 60); }},
      {"zeroInterval", k::kMailCheckInterval, "0", [](auto& p, auto&) { EXPECT_EQ(p.mailCheckInterval, 0); }},
      {"hexNumber", k::kMailCheckInterval, "0x1E", [](auto& p, auto&) { EXPECT_EQ(p.mailCheckInterval, 30); }},
      {"flagNotANumber", k::kCheckMailContinuously, "yes", [](auto& p, auto&) { EXPECT_TRUE(p.checkMailContinuously); }},
      {"flagOtherNumber", k::kNotifyWhenMailArrives, "7", [](auto& p, auto&) { EXPECT_TRUE(p.notifyWhenMailArrives); }},
      {"flagZero", k::kNotifyWhenMailArrives, "0", [](auto& p, auto&) { EXPECT_FALSE(p.notifyWhenMailArrives); }},
      {"negativeSplit", k::kSplitPos, "-5", [](auto&, auto& w) { EXPECT_EQ(w.paneHeight, 0); }},
      {"quotedList", k::kDetailWidth, "\"100\" 80,,", [](auto&, auto& w) {
         EXPECT_EQ(w.widths, (std::array<int, 3>{100, 80, 300})); }},
      {"systemColourWithTopBit", "ViewerNormalText", "-2147483640,0x80000005",
       [](auto& p, auto&) {
         EXPECT_EQ(p.colours[kViewerNormalText].textColour, kSystemWindowText);
         EXPECT_EQ(p.colours[kViewerNormalText].backgroundColour, 0);  // not a decimal number: 0
       }},
      {"fontStyleOtherBits", k::kViewerFontStyle, "9", [](auto&, auto& w) { EXPECT_EQ(w.fonts[1].style, 1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(config.path() + "/Brenlow");
    Store(k::kMail, c.key, c.text);
    Preferences prefs = DefaultPreferences();
    shell::MainWindowLayout w = testing_support::DesignLayout();
    LoadSettings(prefs, w, ui);
    c.check(prefs, w);
  }
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SettingsTest, AMarginThatIsNotANumberEndsTheMarginsSilently) {
  Store(k::kMail, k::kLeftMargin, "1.25");
  Store(k::kMail, k::kTopMargin, "wide");
  Store(k::kMail, k::kRightMargin, "2.00");
  Store(k::kMail, k::kBottomMargin, "2.00");
  Store(k::kMail, k::kUnitOfMeasure, "1");
  Preferences prefs = DefaultPreferences();
  LoadSettings(prefs, window, ui);
  EXPECT_DOUBLE_EQ(prefs.printOptions.leftMargin, 1.25);
  EXPECT_DOUBLE_EQ(prefs.printOptions.topMargin, 0.5);
  EXPECT_DOUBLE_EQ(prefs.printOptions.rightMargin, 0.75);
  EXPECT_DOUBLE_EQ(prefs.printOptions.bottomMargin, 0.5);
  EXPECT_EQ(prefs.printOptions.unitOfMeasure, 1);  // the rest of the load goes on
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SettingsTest, AListWrittenByHandIsReadAsText) {
  testing_support::WriteFile(SettingsFile(), "");
  std::filesystem::create_directories(config.path() + "/Brenlow");
  testing_support::WriteFile(SettingsFile(), "[Mail]\nWindowPos=10, 20,30,40\nHeader=a,b\n");
  Preferences prefs = DefaultPreferences();
  LoadSettings(prefs, window, ui);
  EXPECT_EQ(window.placement.top, 20);
  EXPECT_EQ(window.placement.height, 40);
  EXPECT_EQ(prefs.printOptions.header, "a,b");
}

TEST_F(SettingsTest, ADamagedStoreIsReportedOnceAndRepairedByTheNextSave) {
  std::filesystem::create_directories(config.path() + "/Brenlow");
  testing_support::WriteFile(SettingsFile(), "[Mail\nMailCheckInterval=40\n");
  Preferences prefs = DefaultPreferences();
  prefs.mailCheckInterval = 33;  // set by the user meanwhile
  LoadSettings(prefs, window, ui);
  ASSERT_EQ(ui.CountOf("error"), 1);
  EXPECT_NE(ui.shown[0].text.find("cannot be read"), std::string::npos);
  EXPECT_EQ(prefs.mailCheckInterval, 33);
  SaveSettings(prefs, window, ui);
  EXPECT_EQ(ui.CountOf("error"), 1);
  Preferences back = DefaultPreferences();
  LoadSettings(back, window, ui);
  EXPECT_EQ(back.mailCheckInterval, 33);
  EXPECT_EQ(ui.CountOf("error"), 1);
}

TEST_F(SettingsTest, AStoreThatCannotBeWrittenIsReportedAndNothingElseIsLost) {
  testing_support::WriteFile(config.File("file"), "");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config.File("file/sub")));
  Preferences prefs = DefaultPreferences();
  prefs.mailCheckInterval = 50;
  LoadSettings(prefs, window, ui);  // nothing to read there: the defaults
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_EQ(prefs.mailCheckInterval, 50);
  SaveSettings(prefs, window, ui);
  ASSERT_EQ(ui.CountOf("error"), 1);
  EXPECT_EQ(ui.shown[0].title, "KV Mailbox");
  EXPECT_NE(ui.shown[0].text.find("cannot be saved"), std::string::npos);
  EXPECT_EQ(prefs.mailCheckInterval, 50);
}

TEST_F(SettingsTest, TheStoredMailDirectoryReadsBackWithoutTheToolkit) {
  // kvmailctl reads the store's file itself; it must read what QSettings wrote.
  ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  EXPECT_EQ(SettingsFilePath(), SettingsFile());
  EXPECT_EQ(ReadStoredMailDir(), std::nullopt);
  for (const std::string& mailDir : {std::string("/srv/mail"), std::string("/srv/mail, \"x\"; \xC3\xA9\\\xC5\x81\tend"),
                                     std::string("@home"), std::string("  lead and trail  "), std::string("a=b;c")}) {
    Store(k::kMail, k::kMailDir, mailDir);
    EXPECT_EQ(ReadStoredMailDir(), mailDir);
  }
  ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsTest, TheStartingMailDirectoryIsTheOneTheSettingsLoad) {
  // Read ahead of the window from the store's file; the reading is of use
  // only when the settings then load the same directory.
  ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  struct Case {
    const char* kvmail;  // nullptr: unset
    std::optional<std::string> stored;
  };
  for (const Case& c : {Case{"/srv/env", std::nullopt}, Case{nullptr, std::nullopt}, Case{"/srv/env", "/srv/stored"},
                        Case{nullptr, "/srv/stored"}, Case{"/srv/env", ""}}) {
    if (c.kvmail) ::setenv("KVMAIL", c.kvmail, 1);
    else ::unsetenv("KVMAIL");
    std::filesystem::remove(SettingsFile());
    if (c.stored) Store(k::kMail, k::kMailDir, *c.stored);
    Preferences prefs = DefaultPreferences();
    LoadSettings(prefs, window, ui);
    EXPECT_EQ(StartingMailDir(), prefs.mailDir) << (c.kvmail ? c.kvmail : "-") << " " << c.stored.value_or("-");
  }
  ::unsetenv("KVMAIL");
  ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(SettingsTest, TheSendWindowsSection) {
  EditorSettings editor;
  editor.placement = {30, 40, 500, 300};
  editor.screen = window.screen;
  LoadEditorSettings(editor, ui);
  EXPECT_EQ(editor.tabSize, 8);
  EXPECT_TRUE(editor.wordWrap);
  EXPECT_FALSE(editor.encryptMail);
  EXPECT_EQ(editor.placement.left, 30);
  editor.tabSize = 4;
  editor.encryptMail = true;
  editor.statusBar = false;
  SaveEditorSettings(editor, ui);
  EXPECT_EQ(Stored(k::kMailEditor, k::kTabSize), "4");
  EXPECT_EQ(Stored(k::kMailEditor, k::kEncryptMail), "1");
  EXPECT_EQ(Stored(k::kMailEditor, k::kWindowPos), "30,40,500,300");
  EditorSettings back;
  back.screen = window.screen;
  LoadEditorSettings(back, ui);
  EXPECT_EQ(back.tabSize, 4);
  EXPECT_FALSE(back.statusBar);
  EXPECT_TRUE(back.encryptMail);
}

TEST_F(SettingsTest, TheSelectorsSections) {
  FileBrowserSettings browser;
  browser.columnWidths = {150, 60, 80, 60, 40};
  Store(k::kFileBrowser, k::kSplitPos, "900");
  Store(k::kFileBrowser, k::kSplitDir, "Horz");
  browser.screen = window.screen;
  browser.splitLimit = 400;
  LoadFileBrowserSettings(browser, ui);
  EXPECT_EQ(browser.splitPos, 400);
  EXPECT_TRUE(browser.horizontalSplit);
  browser.invertFileList = true;
  SaveFileBrowserSettings(browser, ui);
  EXPECT_EQ(Stored(k::kFileBrowser, k::kDetailWidth), "150,60,80,60,40");
  EXPECT_EQ(Stored(k::kFileBrowser, k::kSplitDir), "Horz");

  DirectoryBrowserSettings directory{{5, 5, 300, 300}, window.screen, false};
  LoadDirectoryBrowserSettings(directory, ui);
  EXPECT_TRUE(directory.invertFileList);  // shared with the file selector

  Store(k::kFileViewer, k::kNormalText, "255,0");
  FileViewerSettings viewer;
  LoadFileViewerSettings(viewer, ui);
  EXPECT_EQ(viewer.colours[0], 255);
  EXPECT_EQ(viewer.colours[1], 0);
  EXPECT_TRUE(viewer.expandTabs);
  EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
