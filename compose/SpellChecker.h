// The spelling checker: walks the editor's text word by word, as the
// editor displays its lines, has each word judged by the engine and stops
// at each word it flags, so that the user changes it, skips it (here or
// everywhere), changes it everywhere or adds it to the user dictionary.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <array>

#include "compose/SpellEngine.h"
#include "mailstore/UserInteraction.h"
#include "shell/Preferences.h"
#include "widgets/MailEditor.h"
#include "widgets/VelForm.h"

namespace compose {

inline constexpr const char* kMainLexicons = "SSCEAM.TLX,SSCEAM1.CLX";
inline constexpr const char* kUserDictionary = "UIGNORE.TLX";
inline constexpr int kMaxLexicons = 16;

// Whether a Windows-1252 character belongs to a word.
bool IsWordCharacter(unsigned char c);

// The editor's text as it shows it: with word wrap, every displayed line.
class DisplayedLines {
 public:
  explicit DisplayedLines(QPlainTextEdit& editor) : editor_(editor) {}
  int Count();
  // Line `n` from 1.
  QString Line(int n);
  // Replaces columns [from, to) of line `n` (from 1) by `text`.
  void Replace(int n, int from, int to, const QString& text);

 private:
  struct Span {
    int block, start, length;
  };
  void Map();
  QPlainTextEdit& editor_;
  std::vector<Span> spans_;
  int revision_ = -1;
};

struct SpellSettings {
  std::string programDir;          // where the main lexicons lie
  std::string userDictionaryPath;  // where UIGNORE.TLX lies
  QFont editorFont;
  std::array<int32_t, 4> colours{};  // editor normal text, background; selected text, background
};

class TSpellCheckerDialog : public widgets::TVelForm {
  Q_OBJECT
 public:
  TSpellCheckerDialog(widgets::TMailEditor& editor, const SpellSettings& settings, mailstore::UserInteraction& ui,
                      QWidget* parent = nullptr);
  ~TSpellCheckerDialog() override;

  bool SessionOpen() const { return session_ >= 0; }
  // Walks on to the next word that needs a decision; false at the end of
  // the text (after its message).
  bool CheckNext();
  // Closes the lexicons and the session, once.
  void CloseSession();

  void ChangeButtonClick();
  void ChangeAllButtonClick();
  void SkipButtonClick();
  void SkipAllButtonClick();
  void AddButtonClick();

  QString CurrentWord() const { return word_; }
  int FlaggedCount() const { return flagged_; }

  QScrollArea* ScrollBox;
  QWidget* Preview;
  QLineEdit *UnknownWordBox, *ChangeToBox;
  QListWidget* WordList;
  QPushButton *ChangeButton, *ChangeAllButton, *SkipButton, *SkipAllButton, *AddButton, *HelpButton, *CloseButton;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OpenLexicons();
  void ReportLexiconError(int code, const std::string& name);
  bool ExtractNextWord();
  void ReplaceCurrentWord(const QString& replacement);
  void AddWordToLexicon(int position, const QString& word, const QString& other);
  void FillSuggestions();
  void SetPreview(bool on);
  void PaintPreview(QPainter& painter);
  void UpdateButtons();

  widgets::TMailEditor& editor_;
  DisplayedLines lines_;
  SpellSettings settings_;
  mailstore::UserInteraction& ui_;
  SpellEngine engine_;
  int16_t session_ = -1;
  std::vector<int16_t> lexicons_;
  int userDictionary_ = -1, replaceAll_ = -1, skipAll_ = -1;
  QString line_;
  QString word_;
  int lineNumber_ = 0;
  int position_ = 0;
  int flagged_ = 0;
  bool preview_ = false;
  bool closed_ = false;
};

// Checks the spelling of `editor`'s text.
void RunSpellCheck(widgets::TMailEditor& editor, const SpellSettings& settings, mailstore::UserInteraction& ui,
                   QWidget* parent = nullptr);

}  // namespace compose
