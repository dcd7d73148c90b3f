// The spelling engine: sessions and lexicons, judging a word, suggesting
// others.  Exactly the eight operations the spelling checker calls, with
// the results it relies on; the judging and the suggestions come from
// Hunspell with the system's dictionary.
//
// Lexicons are files of the program's own:
//   .TLX  a word list, one word a line, a tab and a replacement after the
//         words to be changed automatically;
//   .CLX  names a Hunspell dictionary: its path without ".aff"/".dic" on
//         the first line that is not a comment ("#"), relative to the .CLX.
// A lexicon created with an empty path lives in memory for one session.
// Words are Windows-1252, as the editor's text is stored.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace compose {

// Flags of CheckWord.
inline constexpr int kSpellMisspelled = 1;  // ask for suggestions
inline constexpr int kSpellAutoChange = 2;  // change to the replacement given
inline constexpr int kSpellSuggestion = 4;  // the replacement given is a suggestion
// Errors.
inline constexpr int kLexNotFound = -4;
inline constexpr int kLexDamaged = -6;
inline constexpr int kLexNoMemory = -12;
inline constexpr int kLexCannotOpen = -1;
inline constexpr int kSpellBadId = -2;
// Kinds of CreateLex.
inline constexpr int kLexReplace = 0;  // words with their replacements
inline constexpr int kLexIgnore = 1;   // words that pass

class SpellEngine {
 public:
  SpellEngine();
  ~SpellEngine();
  SpellEngine(const SpellEngine&) = delete;
  SpellEngine& operator=(const SpellEngine&) = delete;

  // A session id >= 0, or a negative error.
  int16_t OpenSession();
  // A lexicon id >= 0; kLexNotFound, kLexDamaged, kLexNoMemory or another
  // negative code.
  int16_t OpenLex(int16_t session, const std::string& path, int16_t);
  // A new lexicon, saved to `path` when that is not empty.
  int16_t CreateLex(int16_t session, const std::string& path, int16_t kind, int16_t language);
  // 0 when `word` passes; else flags, with `replacement` (at most 63
  // characters) for kSpellAutoChange and kSpellSuggestion; negative on error.
  int16_t CheckWord(int16_t session, int16_t options, const std::string& word, std::string& replacement);
  // Suggestions for `word`, each at most 63 characters, as many as fit a
  // buffer of `room` bytes; >= 0, or negative on error.
  int16_t Suggest(int16_t session, const std::string& word, int16_t, std::vector<std::string>& suggestions,
                  int room = 1024);
  // Adds `word` (with `other` as its replacement in a replacing lexicon)
  // and writes the lexicon's file.  >= 0, or negative.
  int16_t AddToLex(int16_t session, int16_t lexicon, const std::string& word, const std::string& other);
  int16_t CloseLex(int16_t session, int16_t lexicon);
  int16_t CloseSession(int16_t session);

 private:
  struct Session;
  std::vector<std::unique_ptr<Session>> sessions_;
};

}  // namespace compose
