// The spelling engine's operations, with the system's Hunspell dictionary.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "compose/SpellEngine.h"
#include "platform/FaultInjection.h"
#include "platform/Files.h"
#include "support/TempDir.h"

namespace {

using compose::SpellEngine;
using testing_support::TempDir;
using testing_support::WriteFile;

class SpellEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::FileExists("/usr/share/hunspell/en_US.dic"))
      GTEST_SKIP() << "no Hunspell dictionary en_US (Debian package hunspell-en-us)";
    WriteFile(dir.File("SSCEAM1.CLX"), "# the dictionary\n/usr/share/hunspell/en_US\n");
    WriteFile(dir.File("SSCEAM.TLX"), "kvmailctl\r\nteh\tthe\r\n");
    session = engine.OpenSession();
    ASSERT_GE(session, 0);
  }
  int Check(const std::string& word) {
    std::string replacement;
    return engine.CheckWord(session, 128, word, replacement);
  }

  TempDir dir;
  SpellEngine engine;
  int16_t session = -1;
};

TEST_F(SpellEngineTest, JudgesWordsAndSuggests) {
  ASSERT_GE(engine.OpenLex(session, dir.File("SSCEAM1.CLX"), -1), 0);
  EXPECT_EQ(Check("receive"), 0);
  EXPECT_EQ(Check("don't"), 0);
  EXPECT_EQ(Check("recieve"), compose::kSpellMisspelled);
  std::vector<std::string> suggestions;
  ASSERT_GE(engine.Suggest(session, "recieve", -1, suggestions), 1);
  EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), "receive"), suggestions.end());
  // Words too long for the engine pass unjudged.
  EXPECT_EQ(Check(std::string(100, 'q')), 0);
  // Suggestions never overflow their buffer.
  ASSERT_GE(engine.Suggest(session, "recieve", -1, suggestions, 20), 0);
  size_t used = 1;
  for (const auto& s : suggestions) used += s.size() + 1;
  EXPECT_LE(used, 20u);
}

TEST_F(SpellEngineTest, WordListsPassWordsOrChangeThem) {
  ASSERT_GE(engine.OpenLex(session, dir.File("SSCEAM1.CLX"), -1), 0);
  ASSERT_GE(engine.OpenLex(session, dir.File("SSCEAM.TLX"), -1), 0);
  EXPECT_EQ(Check("kvmailctl"), 0);
  EXPECT_EQ(Check("KVMAILCTL"), 0);
  std::string replacement;
  // A replacement keeps the case pattern of the word it replaces.
  const std::pair<const char*, const char*> cases[] = {
      {"teh", "the"}, {"Teh", "The"}, {"TEH", "THE"}, {"TEh", "The"}, {"tEH", "the"}};
  for (const auto& [word, changed] : cases) {
    EXPECT_EQ(engine.CheckWord(session, 128, word, replacement), compose::kSpellAutoChange) << word;
    EXPECT_EQ(replacement, changed) << word;
  }

  const int16_t replaceAll = engine.CreateLex(session, "", compose::kLexReplace, 1033);
  const int16_t skipAll = engine.CreateLex(session, "", compose::kLexIgnore, 1033);
  ASSERT_GE(engine.AddToLex(session, replaceAll, "wrold", "world"), 0);
  ASSERT_GE(engine.AddToLex(session, skipAll, "zzqx", ""), 0);
  EXPECT_EQ(engine.CheckWord(session, 128, "wrold", replacement), compose::kSpellAutoChange);
  EXPECT_EQ(replacement, "world");
  EXPECT_EQ(Check("zzqx"), 0);
}

TEST_F(SpellEngineTest, TheUserDictionaryIsCreatedAndKept) {
  const std::string path = dir.File("UIGNORE.TLX");
  EXPECT_EQ(engine.OpenLex(session, path, -1), compose::kLexNotFound);
  const int16_t user = engine.CreateLex(session, path, compose::kLexIgnore, 1033);
  ASSERT_GE(user, 0);
  ASSERT_GE(engine.AddToLex(session, user, "Brenlow", ""), 0);
  engine.CloseSession(session);

  SpellEngine next;
  const int16_t again = next.OpenSession();
  ASSERT_GE(next.OpenLex(again, path, -1), 0);
  std::string replacement;
  EXPECT_EQ(next.CheckWord(again, 128, "brenlow", replacement), 0);
}

TEST_F(SpellEngineTest, AFailedWriteLeavesTheUserDictionaryWhole) {
  // A full disk at the first write, or at the flush: the words saved
  // before are all still there, none cut off and the file never emptied.
  const std::string path = dir.File("UIGNORE.TLX");
  const int16_t user = engine.CreateLex(session, path, compose::kLexIgnore, 1033);
  ASSERT_GE(user, 0);
  ASSERT_GE(engine.AddToLex(session, user, "Brenlow", ""), 0);
  ASSERT_GE(engine.AddToLex(session, user, "Dashdeck", ""), 0);
  const std::string saved = testing_support::ReadFile(path);
  for (const char* call : {"write", "fsync", "rename"}) {
    platform::faults::Clear();
    platform::faults::Arm(call, 1, ENOSPC);
    EXPECT_LT(engine.AddToLex(session, user, "Kvmailctl", ""), 0) << call;
    platform::faults::Clear();
    EXPECT_EQ(testing_support::ReadFile(path), saved) << call;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);  // no temporary left
}

TEST_F(SpellEngineTest, LexiconsThatCannotBeOpenedSayWhy) {
  EXPECT_EQ(engine.OpenLex(session, dir.File("MISSING.TLX"), -1), compose::kLexNotFound);
  WriteFile(dir.File("BAD.CLX"), "/nowhere/xx_XX\n");
  EXPECT_EQ(engine.OpenLex(session, dir.File("BAD.CLX"), -1), compose::kLexDamaged);
  WriteFile(dir.File("BAD.TLX"), std::string("word\0junk", 9));
  EXPECT_EQ(engine.OpenLex(session, dir.File("BAD.TLX"), -1), compose::kLexDamaged);
  EXPECT_LT(engine.OpenLex(-5, dir.File("SSCEAM.TLX"), -1), 0);
}

}  // namespace
