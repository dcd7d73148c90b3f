#include "compose/SpellEngine.h"

#include <hunspell/hunspell.h>

#include <algorithm>
#include <map>
#include <new>

#include "platform/Files.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace compose {

namespace {

constexpr size_t kLongestWord = 63;

std::string Folded(const std::string& word) {
  std::string out = word;
  for (char& c : out) c = platform::UpperAnsi(c);
  return out;
}

struct Lexicon {
  std::string path;  // empty: in memory
  bool replacing = false;
  std::map<std::string, std::string> words;  // folded word -> replacement (or empty)
  Hunhandle* hunspell = nullptr;
  ~Lexicon() {
    if (hunspell != nullptr) Hunspell_destroy(hunspell);
  }
};

// Reads a word list; false when it is no text.
bool ReadWordList(const std::string& bytes, Lexicon& lexicon) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find('\0') != std::string::npos) return false;
    if (line.empty()) continue;
    const size_t tab = line.find('\t');
    const std::string word = line.substr(0, tab);
    const std::string replacement = tab == std::string::npos ? std::string() : line.substr(tab + 1);
    if (!replacement.empty()) lexicon.replacing = true;
    lexicon.words[Folded(word)] = replacement;
  }
  return true;
}

// Writes a word list back.
int WriteWordList(const Lexicon& lexicon) {
  std::string bytes;
  for (const auto& [word, replacement] : lexicon.words) {
    bytes += word;
    if (!replacement.empty()) bytes += '\t' + replacement;
    bytes += "\r\n";
  }
  // Replaced whole: a full disk leaves the old list, not half of one.
  return platform::ReplaceWholeFile(lexicon.path, bytes);
}

// The dictionary a .CLX names.
int OpenDictionary(const std::string& clxPath, const std::string& bytes, Lexicon& lexicon) {
  std::string base;
  size_t start = 0;
  while (start < bytes.size() && base.empty()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line.front() != '#') base = line;
  }
  if (base.empty() || base.find('\0') != std::string::npos) return kLexDamaged;
  if (base.front() != '/') base = platform::JoinPath(platform::DirectoryPart(clxPath), base);
  const std::string aff = base + ".aff", dic = base + ".dic";
  if (!platform::FileExists(aff) || !platform::FileExists(dic)) return kLexDamaged;
  lexicon.hunspell = Hunspell_create(aff.c_str(), dic.c_str());
  return lexicon.hunspell != nullptr ? 0 : kLexDamaged;
}

bool IsUtf8(Hunhandle* hunspell) {
  const char* encoding = Hunspell_get_dic_encoding(hunspell);
  return encoding != nullptr && std::string(encoding) == "UTF-8";
}

// Whether `c` is an upper-case letter of Windows-1252.
bool IsUpperAnsi(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7) || b == 0x8A || b == 0x8C ||
         b == 0x8E || b == 0x9F;
}

// `replacement` in the case pattern of `word`: all capitals for a word of
// capitals ("TEH" gives "THE"), a capital first for a word that starts
// with one ("Teh" gives "The"), else as the word list gives it.
std::string KeepCase(std::string_view word, std::string replacement) {
  if (word.empty() || replacement.empty() || !IsUpperAnsi(word.front())) return replacement;
  int letters = 0;
  bool lower = false;
  for (char c : word) {
    if (IsUpperAnsi(c)) ++letters;
    else if (platform::UpperAnsi(c) != c) lower = true;
  }
  if (!lower && letters >= 2) return platform::UpperAnsi(replacement);
  replacement.front() = platform::UpperAnsi(replacement.front());
  return replacement;
}

}  // namespace

struct SpellEngine::Session {
  std::vector<std::unique_ptr<Lexicon>> lexicons;  // by id; closed ones are null
};

SpellEngine::SpellEngine() = default;
SpellEngine::~SpellEngine() = default;

int16_t SpellEngine::OpenSession() {
  sessions_.push_back(std::make_unique<Session>());
  return static_cast<int16_t>(sessions_.size() - 1);
}

int16_t SpellEngine::OpenLex(int16_t session, const std::string& path, int16_t) {
  if (session < 0 || static_cast<size_t>(session) >= sessions_.size() || !sessions_[session]) return kSpellBadId;
  std::string bytes;
  // A lexicon is a plain file of words: no link, no pipe, nothing larger
  // than any word list is.
  constexpr size_t kLexiconSizeLimit = 64u << 20;
  const int code = platform::ReadSmallFile(path, bytes, kLexiconSizeLimit);
  if (code == 2 || code == 3) return kLexNotFound;
  if (code == 8) return kLexNoMemory;
  if (code != 0) return kLexCannotOpen;
  try {
    auto lexicon = std::make_unique<Lexicon>();
    lexicon->path = path;
    const std::string name = platform::LowerAscii(platform::FileNamePart(path));
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".clx") == 0) {
      if (const int opened = OpenDictionary(path, bytes, *lexicon); opened != 0) return static_cast<int16_t>(opened);
    } else if (!ReadWordList(bytes, *lexicon)) {
      return kLexDamaged;
    }
    auto& lexicons = sessions_[session]->lexicons;
    lexicons.push_back(std::move(lexicon));
    return static_cast<int16_t>(lexicons.size() - 1);
  } catch (const std::bad_alloc&) {
    return kLexNoMemory;
  }
}

int16_t SpellEngine::CreateLex(int16_t session, const std::string& path, int16_t kind, int16_t) {
  if (session < 0 || static_cast<size_t>(session) >= sessions_.size() || !sessions_[session]) return kSpellBadId;
  auto lexicon = std::make_unique<Lexicon>();
  lexicon->path = path;
  lexicon->replacing = kind == kLexReplace;
  if (!path.empty() && WriteWordList(*lexicon) != 0) return kLexCannotOpen;
  auto& lexicons = sessions_[session]->lexicons;
  lexicons.push_back(std::move(lexicon));
  return static_cast<int16_t>(lexicons.size() - 1);
}

int16_t SpellEngine::CheckWord(int16_t session, int16_t, const std::string& word, std::string& replacement) {
  if (session < 0 || static_cast<size_t>(session) >= sessions_.size() || !sessions_[session]) return kSpellBadId;
  replacement.clear();
  if (word.empty() || word.size() > kLongestWord) return 0;
  const std::string folded = Folded(word);
  bool known = false;
  for (const auto& lexicon : sessions_[session]->lexicons) {
    if (!lexicon) continue;
    if (lexicon->hunspell != nullptr) {
      const std::string asked = IsUtf8(lexicon->hunspell) ? platform::Cp1252ToUtf8(word) : word;
      known = known || Hunspell_spell(lexicon->hunspell, asked.c_str()) != 0;
      continue;
    }
    const auto found = lexicon->words.find(folded);
    if (found == lexicon->words.end()) continue;
    if (!found->second.empty()) {
      replacement = KeepCase(word, found->second.substr(0, kLongestWord));
      return kSpellAutoChange;
    }
    known = true;
  }
  return known ? 0 : kSpellMisspelled;
}

int16_t SpellEngine::Suggest(int16_t session, const std::string& word, int16_t, std::vector<std::string>& suggestions,
                             int room) {
  if (session < 0 || static_cast<size_t>(session) >= sessions_.size() || !sessions_[session]) return kSpellBadId;
  suggestions.clear();
  int used = 1;  // the empty string that ends the buffer
  for (const auto& lexicon : sessions_[session]->lexicons) {
    if (!lexicon || lexicon->hunspell == nullptr) continue;
    const bool utf8 = IsUtf8(lexicon->hunspell);
    const std::string asked = utf8 ? platform::Cp1252ToUtf8(word) : word;
    char** list = nullptr;
    const int n = Hunspell_suggest(lexicon->hunspell, &list, asked.c_str());
    for (int i = 0; i < n; ++i) {
      std::string suggestion = utf8 ? platform::Utf8ToCp1252(list[i]) : std::string(list[i]);
      suggestion = suggestion.substr(0, kLongestWord);
      if (used + static_cast<int>(suggestion.size()) + 1 > room) break;
      if (std::find(suggestions.begin(), suggestions.end(), suggestion) != suggestions.end()) continue;
      used += static_cast<int>(suggestion.size()) + 1;
      suggestions.push_back(std::move(suggestion));
    }
    if (list != nullptr) Hunspell_free_list(lexicon->hunspell, &list, n);
  }
  return static_cast<int16_t>(suggestions.size());
}

int16_t SpellEngine::AddToLex(int16_t session, int16_t lexicon, const std::string& word, const std::string& other) {
  if (session < 0 || static_cast<size_t>(session) >= sessions_.size() || !sessions_[session]) return kSpellBadId;
  auto& lexicons = sessions_[session]->lexicons;
  if (lexicon < 0 || static_cast<size_t>(lexicon) >= lexicons.size() || !lexicons[lexicon]) return kSpellBadId;
  Lexicon& target = *lexicons[lexicon];
  if (word.empty() || target.hunspell != nullptr) return kLexCannotOpen;
  target.words[Folded(word.substr(0, kLongestWord))] = target.replacing ? other.substr(0, kLongestWord) : std::string();
  if (!target.path.empty() && WriteWordList(target) != 0) return kLexCannotOpen;
  return 0;
}

int16_t SpellEngine::CloseLex(int16_t session, int16_t lexicon) {
  if (session < 0 || static_cast<size_t>(session) >= sessions_.size() || !sessions_[session]) return kSpellBadId;
  auto& lexicons = sessions_[session]->lexicons;
  if (lexicon < 0 || static_cast<size_t>(lexicon) >= lexicons.size()) return kSpellBadId;
  lexicons[lexicon].reset();
  return 0;
}

int16_t SpellEngine::CloseSession(int16_t session) {
  if (session < 0 || static_cast<size_t>(session) >= sessions_.size()) return kSpellBadId;
  sessions_[session].reset();
  return 0;
}

}  // namespace compose
