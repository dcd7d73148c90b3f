// Checks the spelling of a 10,000-word message as the send window does,
// against a floor that only asks Hunspell about each word, and prints how
// long the whole check takes (a user notices a stall of about 100 ms; a
// check of a long message may take longer, but not many times the floor).
//
//   bench_spell   (offscreen unless QT_QPA_PLATFORM says otherwise)
#include <hunspell/hunspell.h>

#include <QApplication>
#include <cstdio>
#include <filesystem>

#include "bench/BenchSupport.h"
#include "compose/SpellChecker.h"
#include "mailstore/UserInteraction.h"

namespace {

class QuietUser : public mailstore::UserInteraction {
 public:
  void ShowAlert(const std::string&, const std::string&) override {}
  bool AskUser(const std::string&, const std::string&) override { return false; }
  void ShowNotice(const std::string&, const std::string&) override {}
  void ShowErrorText(const std::string&) override {}
  void WarningBeep() override {}
  void PauseMs(int) override {}
  void ShowSending(const std::string&) override {}
  void ClearSending() override {}
  void HideSending() override {}
};

constexpr int kWords = 10000;
const char* const kVocabulary[] = {"the",  "office", "meeting", "moves", "to",     "Friday", "please",
                                   "read", "these",  "figures", "before", "lunch", "with",   "everyone"};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string dir = bench::WorkDirectory(1, argv);
  bench::WriteText(dir + "/SSCEAM1.CLX", "/usr/share/hunspell/en_US\n");
  QString text;
  std::vector<std::string> words;
  for (int i = 0; i < kWords; ++i) {
    const char* word = kVocabulary[(i * 7) % std::size(kVocabulary)];
    words.push_back(word);
    text += QString::fromLatin1(word) + ((i + 1) % 12 == 0 ? "\n" : " ");
  }
  widgets::TMailEditor editor;
  editor.resize(600, 400);
  editor.show();
  editor.setPlainText(text);
  QuietUser ui;
  const compose::SpellSettings settings{dir, dir, editor.font(), {}};
  Hunhandle* floor = Hunspell_create("/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic");
  volatile int sink = 0;
  bench::Compare("spell check of 10,000 words vs asking Hunspell about each", 5, 1, [] {},
                 [&] {
                   compose::TSpellCheckerDialog dialog(editor, settings, ui);
                   dialog.CheckNext();
                 },
                 [] {},
                 [&] {
                   for (const std::string& w : words) sink = sink + Hunspell_spell(floor, w.c_str());
                 });
  std::vector<double> whole;
  for (int i = 0; i < 5; ++i)
    whole.push_back(bench::Seconds([&] {
      compose::TSpellCheckerDialog dialog(editor, settings, ui);
      dialog.CheckNext();
    }));
  std::printf("%-58s %9.1f ms\n", "a whole check of 10,000 words, dictionaries opened", bench::Median(whole) * 1000);
  Hunspell_destroy(floor);
  std::filesystem::remove_all(dir);
  return 0;
}
