// Every section and key of the per-user settings store, written once.
#pragma once

namespace shell::keys {

inline constexpr const char* kOrganization = "Brenlow";
inline constexpr const char* kApplication = "Dashdeck";

inline constexpr const char* kMail = "Mail";
inline constexpr const char* kSpellChecker = "Spell Checker";
inline constexpr const char* kMailEditor = "Mail Editor";
inline constexpr const char* kFileBrowser = "File Browser";
inline constexpr const char* kFileViewer = "File Viewer";
inline constexpr const char* kDirectoryBrowser = "Directory Browser";

// "Mail"
inline constexpr const char* kMailDir = "MailDir";
inline constexpr const char* kMailCheckInterval = "MailCheckInterval";
inline constexpr const char* kCheckMailContinuously = "CheckMailContinuously";
inline constexpr const char* kNotifyWhenMailArrives = "NotifyWhenMailArrives";
inline constexpr const char* kLoadDir = "LoadDir";
inline constexpr const char* kSaveDir = "SaveDir";
inline constexpr const char* kLoadMask = "LoadMask";
inline constexpr const char* kSaveMask = "SaveMask";
inline constexpr const char* kHeader = "Header";
inline constexpr const char* kFooter = "Footer";
inline constexpr const char* kLeftMargin = "LeftMargin";
inline constexpr const char* kTopMargin = "TopMargin";
inline constexpr const char* kRightMargin = "RightMargin";
inline constexpr const char* kBottomMargin = "BottomMargin";
inline constexpr const char* kUnitOfMeasure = "UnitOfMeasure";
inline constexpr const char* kWrapLines = "WrapLines";
inline constexpr const char* kWindowsFileSelector = "WindowsFileSelector";
inline constexpr const char* kWindowPos = "WindowPos";
inline constexpr const char* kSplitPos = "SplitPos";
inline constexpr const char* kDetailWidth = "DetailWidth";
inline constexpr const char* kButtonBar = "ButtonBar";
inline constexpr const char* kInBoxFontName = "InBoxFontName";
inline constexpr const char* kInBoxFontSize = "InBoxFontSize";
inline constexpr const char* kInBoxFontStyle = "InBoxFontStyle";
inline constexpr const char* kViewerFontName = "ViewerFontName";
inline constexpr const char* kViewerFontSize = "ViewerFontSize";
inline constexpr const char* kViewerFontStyle = "ViewerFontStyle";
inline constexpr const char* kEditorFontName = "EditorFontName";
inline constexpr const char* kEditorFontSize = "EditorFontSize";
inline constexpr const char* kEditorFontStyle = "EditorFontStyle";

// "Spell Checker"
inline constexpr const char* kUserDictionaryPath = "UserDictionaryPath";

// "Mail Editor" (also "WindowPos" and "ButtonBar")
inline constexpr const char* kStatusBar = "StatusBar";
inline constexpr const char* kTabSize = "TabSize";
inline constexpr const char* kAutoIndent = "AutoIndent";
inline constexpr const char* kWordWrap = "WordWrap";
inline constexpr const char* kEncryptMail = "EncryptMail";

// "File Browser" (also "WindowPos", "DetailWidth", "SplitPos")
inline constexpr const char* kShowFileDetails = "ShowFileDetails";
inline constexpr const char* kInvertFileList = "InvertFileList";
inline constexpr const char* kPreview = "Preview";
inline constexpr const char* kSplitDir = "SplitDir";

// "File Viewer" (also "TabSize")
inline constexpr const char* kFontName = "FontName";
inline constexpr const char* kFontSize = "FontSize";
inline constexpr const char* kFontStyle = "FontStyle";
inline constexpr const char* kNormalText = "NormalText";
inline constexpr const char* kExpandTabs = "ExpandTabs";
inline constexpr const char* kShowSystemFiles = "ShowSystemFiles";

}  // namespace shell::keys
