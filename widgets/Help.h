// Help requests of every window go through here: a topic by its context
// number, the contents, the search, the page on using help.  The program's
// help window answers them (HelpModule.h); tests may take them over.
#pragma once

#include <QString>
#include <functional>

class QAbstractButton;
class QWidget;

namespace widgets {

// Help contexts of the program's windows.
inline constexpr int kHelpFileSelector = 100;
inline constexpr int kHelpDirectorySelector = 101;
inline constexpr int kHelpPrintDialog = 102;
inline constexpr int kHelpFontDialog = 103;
inline constexpr int kHelpSpellingButton = 130;
inline constexpr int kHelpSpellCheck = 200;
inline constexpr int kHelpPreferencesFontColours = 208;
inline constexpr int kHelpPreferencesMiscellaneous = 209;
inline constexpr int kHelpPreferencesMailbox = 212;
inline constexpr int kHelpTabSize = 901;
inline constexpr int kHelpSendWindow = 902;
inline constexpr int kHelpRecipients = 903;
inline constexpr int kHelpUserName = 920;
inline constexpr int kHelpUsingTheMailbox = 925;
inline constexpr int kHelpUsingTheEditor = 926;
// Every context the program asks for.
inline constexpr int kHelpContexts[] = {100, 101, 102, 103, 130, 200, 208, 209, 212, 901, 902, 903, 920, 925, 926};

enum class HelpRequest { kTopic, kContents, kSearch, kUsingHelp };

// Shows the help topic of `context`.
void ShowHelpTopic(int context, QWidget* parent = nullptr);
// The contents, the search, or the page on using help.
void ShowHelp(HelpRequest request, QWidget* parent = nullptr);

// F1 in `window` does what its Help button does.
void HelpOnF1(QWidget* window, QAbstractButton* helpButton);

// The help collection the program reads: a copy, in the user's cache, of
// the one beside the program (the search keeps its index beside the
// collection, and the program's directory may not be writable).  Empty when
// the program has no help collection.
QString HelpCollectionFile();
// The program's help window, or null before the first request and after it
// closed.
QWidget* HelpWindow();

// Lets someone else answer the requests (context 0 for all but kTopic).
using HelpHandler = std::function<void(HelpRequest request, int context, QWidget* parent)>;
void SetHelpHandler(HelpHandler handler);

}  // namespace widgets
