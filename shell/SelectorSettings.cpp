#include "shell/SelectorSettings.h"

#include <algorithm>

#include "shell/SettingsKeys.h"
#include "shell/SettingsTable.h"

namespace shell {
namespace {

const SettingsTable<FileBrowserSettings>& FileBrowserTable() {
  static const SettingsTable<FileBrowserSettings> table = [] {
    using R = FileBrowserSettings;
    const char* section = keys::kFileBrowser;
    return SettingsTable<R>{
        PlacementRow<R>(section, [](auto& r) -> auto& { return r.placement; }, [](auto& r) -> auto& { return r.screen; }),
        ListRow<R>(section, keys::kDetailWidth, [](auto& r) -> auto& { return r.columnWidths; }),
        FlagRow<R>(section, keys::kShowFileDetails, [](auto& r) -> auto& { return r.showFileDetails; }, false),
        FlagRow<R>(section, keys::kInvertFileList, [](auto& r) -> auto& { return r.invertFileList; }, false),
        FlagRow<R>(section, keys::kPreview, [](auto& r) -> auto& { return r.preview; }, false),
        {section, keys::kSplitDir,
         [](R& r, const std::optional<std::string>& stored) {
           r.horizontalSplit = stored.value_or("Vert") == "Horz";
           return true;
         },
         [](const R& r) { return std::string(r.horizontalSplit ? "Horz" : "Vert"); }},
        {section, keys::kSplitPos,
         [](R& r, const std::optional<std::string>& stored) {
           int value = 250;
           if (stored) ParseStoredNumber(*stored, value);
           r.splitPos = std::clamp(value, 0, std::max(0, r.splitLimit));
           return true;
         },
         [](const R& r) { return std::to_string(r.splitPos); }},
    };
  }();
  return table;
}

const SettingsTable<FileViewerSettings>& FileViewerTable() {
  static const SettingsTable<FileViewerSettings> table = [] {
    using R = FileViewerSettings;
    const char* section = keys::kFileViewer;
    return SettingsTable<R>{
        TextRow<R>(section, keys::kFontName, [](auto& r) -> auto& { return r.font.name; }),
        NumberRow<R>(section, keys::kFontSize, [](auto& r) -> auto& { return r.font.size; }),
        NumberRow<R>(section, keys::kFontStyle, [](auto& r) -> auto& { return r.font.style; }, 0, &FontStyleFromStored),
        ListRow<R>(section, keys::kNormalText, [](auto& r) -> auto& { return r.colours; }),
        FlagRow<R>(section, keys::kExpandTabs, [](auto& r) -> auto& { return r.expandTabs; }, true),
        NumberRow<R>(section, keys::kTabSize, [](auto& r) -> auto& { return r.tabSize; }, 8),
        FlagRow<R>(section, keys::kShowSystemFiles, [](auto& r) -> auto& { return r.showSystemFiles; }, false),
    };
  }();
  return table;
}

const SettingsTable<DirectoryBrowserSettings>& DirectoryBrowserTable() {
  static const SettingsTable<DirectoryBrowserSettings> table = [] {
    using R = DirectoryBrowserSettings;
    return SettingsTable<R>{
        PlacementRow<R>(keys::kDirectoryBrowser, [](auto& r) -> auto& { return r.placement; },
                        [](auto& r) -> auto& { return r.screen; }),
        FlagRow<R>(keys::kFileBrowser, keys::kInvertFileList, [](auto& r) -> auto& { return r.invertFileList; }, false),
    };
  }();
  return table;
}

}  // namespace

void LoadFileBrowserSettings(FileBrowserSettings& s, mailstore::UserInteraction& ui) {
  LoadTable(FileBrowserTable(), s, ui);
}
void SaveFileBrowserSettings(const FileBrowserSettings& s, mailstore::UserInteraction& ui) {
  SaveTable(FileBrowserTable(), s, ui);
}
void LoadFileViewerSettings(FileViewerSettings& s, mailstore::UserInteraction& ui) {
  LoadTable(FileViewerTable(), s, ui);
}
void LoadDirectoryBrowserSettings(DirectoryBrowserSettings& s, mailstore::UserInteraction& ui) {
  LoadTable(DirectoryBrowserTable(), s, ui);
}
void SaveDirectoryBrowserSettings(const DirectoryBrowserSettings& s, mailstore::UserInteraction& ui) {
  SaveTable(DirectoryBrowserTable(), s, ui);
}

}  // namespace shell
