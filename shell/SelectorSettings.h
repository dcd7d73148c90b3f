// The stored state of the file selector, its preview and the directory
// selector.
#pragma once

#include <array>

#include "shell/Preferences.h"

namespace shell {

struct FileBrowserSettings {
  Placement placement;                // current placement before loading
  Placement screen;                   // the size of the screen; not stored
  std::array<int, 5> columnWidths{};  // current widths before loading
  bool showFileDetails = false;
  bool invertFileList = false;
  bool preview = false;
  bool horizontalSplit = false;  // "SplitDir": "Horz", else vertical
  int splitPos = 250;
  int splitLimit = 0;  // the client size less the splitter, the largest list pane; not stored
};

void LoadFileBrowserSettings(FileBrowserSettings& s, mailstore::UserInteraction& ui);
void SaveFileBrowserSettings(const FileBrowserSettings& s, mailstore::UserInteraction& ui);

// "File Viewer": read only; the program never writes it.
struct FileViewerSettings {
  FontSetting font;  // current font before loading
  std::array<int, 2> colours{kSystemWindowText, kSystemWindow};  // text, background
  bool expandTabs = true;
  int tabSize = 8;
  bool showSystemFiles = false;
};
void LoadFileViewerSettings(FileViewerSettings& s, mailstore::UserInteraction& ui);

// "Directory Browser": its placement; it also shares "InvertFileList" of
// "File Browser".
struct DirectoryBrowserSettings {
  Placement placement;  // current placement before loading
  Placement screen;     // not stored
  bool invertFileList = false;
};
void LoadDirectoryBrowserSettings(DirectoryBrowserSettings& s, mailstore::UserInteraction& ui);
void SaveDirectoryBrowserSettings(const DirectoryBrowserSettings& s, mailstore::UserInteraction& ui);

}  // namespace shell
