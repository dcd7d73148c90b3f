#include "shell/SelectorSettings.h"

#include <QStringList>
#include <algorithm>

#include "mailstore/MailError.h"
#include "shell/SettingsKeys.h"

namespace shell {
namespace {

void Report(mailstore::UserInteraction& ui) { ui.ReportException(mailstore::MailError::FromCurrentException()); }

QString WidthsText(const std::array<int, 5>& widths) {
  QStringList items;
  for (int w : widths) items << QString::number(w);
  return items.join(",");
}

}  // namespace

void LoadFileBrowserSettings(FileBrowserSettings& s, const Placement& screen, int splitLimit,
                             mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kLoad);
    const char* section = keys::kFileBrowser;
    s.placement = ReadPlacement(store->ReadText(section, keys::kWindowPos, PlacementText(s.placement)), s.placement, screen);
    const QString widths = store->ReadText(section, keys::kDetailWidth, WidthsText(s.columnWidths));
    for (int i = 0; i < 5; ++i)
      s.columnWidths[i] = ToIntOrZero(ListItem(widths, i + 1, QString::number(s.columnWidths[i])));
    s.showFileDetails = store->ReadFlag(section, keys::kShowFileDetails, false);
    s.invertFileList = store->ReadFlag(section, keys::kInvertFileList, false);
    s.preview = store->ReadFlag(section, keys::kPreview, false);
    s.horizontalSplit = store->ReadText(section, keys::kSplitDir, "Vert") == "Horz";
    s.splitPos = std::clamp(store->ReadNumber(section, keys::kSplitPos, 250), 0, std::max(0, splitLimit));
  } catch (...) {
    Report(ui);
  }
}

void SaveFileBrowserSettings(const FileBrowserSettings& s, mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kSave);
    const char* section = keys::kFileBrowser;
    store->WriteText(section, keys::kWindowPos, PlacementText(s.placement));
    store->WriteText(section, keys::kDetailWidth, WidthsText(s.columnWidths));
    store->WriteFlag(section, keys::kShowFileDetails, s.showFileDetails);
    store->WriteFlag(section, keys::kInvertFileList, s.invertFileList);
    store->WriteFlag(section, keys::kPreview, s.preview);
    store->WriteText(section, keys::kSplitDir, s.horizontalSplit ? "Horz" : "Vert");
    store->WriteNumber(section, keys::kSplitPos, s.splitPos);
    store->Commit();
  } catch (...) {
    Report(ui);
  }
}

void LoadFileViewerSettings(FileViewerSettings& s, mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kLoad);
    const char* section = keys::kFileViewer;
    s.font.name = store->ReadText(section, keys::kFontName, s.font.name);
    s.font.size = store->ReadNumber(section, keys::kFontSize, s.font.size);
    s.font.style = FontStyleFromStored(store->ReadNumber(section, keys::kFontStyle, 0));
    const QString colours = store->ReadText(section, keys::kNormalText, "");
    s.textColour = ToIntOrZero(ListItem(colours, 1, QString::number(s.textColour)));
    s.backgroundColour = ToIntOrZero(ListItem(colours, 2, QString::number(s.backgroundColour)));
    s.expandTabs = store->ReadFlag(section, keys::kExpandTabs, true);
    s.tabSize = store->ReadNumber(section, keys::kTabSize, 8);
    s.showSystemFiles = store->ReadFlag(section, keys::kShowSystemFiles, false);
  } catch (...) {
    Report(ui);
  }
}

void LoadDirectoryBrowserSettings(Placement& placement, bool& invertFileList, const Placement& screen,
                                  mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kLoad);
    placement = ReadPlacement(store->ReadText(keys::kDirectoryBrowser, keys::kWindowPos, PlacementText(placement)),
                              placement, screen);
    invertFileList = store->ReadFlag(keys::kFileBrowser, keys::kInvertFileList, false);
  } catch (...) {
    Report(ui);
  }
}

void SaveDirectoryBrowserSettings(const Placement& placement, bool invertFileList, mailstore::UserInteraction& ui) {
  try {
    const auto store = OpenSettings(SettingsStore::Purpose::kSave);
    store->WriteText(keys::kDirectoryBrowser, keys::kWindowPos, PlacementText(placement));
    store->WriteFlag(keys::kFileBrowser, keys::kInvertFileList, invertFileList);
    store->Commit();
  } catch (...) {
    Report(ui);
  }
}

}  // namespace shell
