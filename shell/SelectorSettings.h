// The stored state of the file selector, its preview and the directory
// selector.
#pragma once

#include <array>

#include "shell/Preferences.h"

namespace shell {

struct FileBrowserSettings {
  Placement placement;                // current placement before loading
  std::array<int, 5> columnWidths{};  // current widths before loading
  bool showFileDetails = false;
  bool invertFileList = false;
  bool preview = false;
  bool horizontalSplit = false;  // "SplitDir": "Horz", else vertical
  int splitPos = 250;
};

// `splitLimit`: the client size less the splitter, the largest list pane.
void LoadFileBrowserSettings(FileBrowserSettings& s, const Placement& screen, int splitLimit,
                             mailstore::UserInteraction& ui);
void SaveFileBrowserSettings(const FileBrowserSettings& s, mailstore::UserInteraction& ui);

// "File Viewer": read only; the program never writes it.
struct FileViewerSettings {
  FontSetting font;  // current font before loading
  int32_t textColour = kSystemWindowText;
  int32_t backgroundColour = kSystemWindow;
  bool expandTabs = true;
  int tabSize = 8;
  bool showSystemFiles = false;
};
void LoadFileViewerSettings(FileViewerSettings& s, mailstore::UserInteraction& ui);

// "Directory Browser": its placement; it also shares "InvertFileList".
void LoadDirectoryBrowserSettings(Placement& placement, bool& invertFileList, const Placement& screen,
                                  mailstore::UserInteraction& ui);
void SaveDirectoryBrowserSettings(const Placement& placement, bool invertFileList, mailstore::UserInteraction& ui);

}  // namespace shell
