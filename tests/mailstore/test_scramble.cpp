#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "mailstore/MessageText.h"
#include "mailstore/Scramble.h"
#include "support/MailFixture.h"

namespace {

using namespace mailstore;
using testing_support::ReadFile;

TEST(Scramble, GeneratorDrawsAsTheTableNeeds) {
  uint32_t seed = 0;
  EXPECT_EQ(NextRandom(seed, 224), 0u);
  EXPECT_EQ(seed, 1u);
  EXPECT_EQ(NextRandom(seed, 223), 6u);
  EXPECT_EQ(seed, 134775814u);
  seed = 0xFFFFFFFFu;  // wraps modulo 2^32
  NextRandom(seed, 1);
  EXPECT_EQ(seed, 0xFFFFFFFFu * 134775813u + 1u);
}

TEST(Scramble, TableOfSeedZero) {
  const ScrambleTable table = BuildScrambleTable(0);
  EXPECT_EQ(std::vector<int>(table.begin() + 32, table.begin() + 40),
            (std::vector<int>{32, 39, 225, 78, 95, 183, 105, 69}));
}

TEST(Scramble, TablesArePermutationsThatKeepControlCharacters) {
  for (uint32_t seed : {0u, 1u, 51330000u, 86399999u, 0xFFFFFFFFu}) {
    const ScrambleTable table = BuildScrambleTable(seed);
    for (int v = 0; v < 32; ++v) EXPECT_EQ(table[v], v);
    std::vector<int> high(table.begin() + 32, table.end());
    std::sort(high.begin(), high.end());
    for (int v = 32; v < 256; ++v) EXPECT_EQ(high[v - 32], v) << "seed " << seed;
  }
}

TEST(Scramble, LinesComeBack) {
  const ScrambleTable table = BuildScrambleTable(51330000);
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  for (const std::string& original : {std::string("Dear Bob,"), std::string("\t"), std::string(), all}) {
    std::string line = original;
    ScrambleLine(table, line);
    if (original == "\t" || original.empty()) {
      EXPECT_EQ(line, original);
    }
    UnscrambleLine(table, line);
    EXPECT_EQ(line, original);
  }
}

struct HeaderCase {
  const char* name;
  std::string bytes;
  bool scrambled;
  uint32_t seed;
};

class ScrambleHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(ScrambleHeaderTest, Parses) {
  const ScrambleHeader header = ParseScrambleHeader(GetParam().bytes);
  EXPECT_EQ(header.scrambled, GetParam().scrambled);
  if (GetParam().scrambled) {
    EXPECT_EQ(header.seed, GetParam().seed);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrambleHeaderTest,
    ::testing::Values(HeaderCase{"written", "KVWMB0100\r\n51330000\r\nBOB\r\n\xC1", true, 51330000},
                      HeaderCase{"lowerCaseSignature", "kvwmb0100\n42 and more\n", true, 42},
                      HeaderCase{"blankLinesBeforeSeed", "KVWMB0100\r\n\r\n  77\r\nBOB", true, 77},
                      HeaderCase{"seedAtEndOfFile", "KVWMB0100\r\n0", true, 0},
                      HeaderCase{"negativeSeed", "KVWMB0100\r\n-5\r\n", true, 0xFFFFFFFBu},
                      HeaderCase{"plainText", "Hello Bob\r\n12\r\n", false, 0},
                      HeaderCase{"signatureAlone", "KVWMB0100", false, 0},
                      HeaderCase{"nothingAfterSignature", "KVWMB0100\r\n  \r\n", false, 0},
                      HeaderCase{"trailingBlank", "KVWMB0100 \r\n12\r\n", false, 0},
                      HeaderCase{"notANumber", "KVWMB0100\r\nBOB\r\n", false, 0},
                      HeaderCase{"numberWithTail", "KVWMB0100\r\n12abc\r\n", false, 0},
                      HeaderCase{"tooLarge", "KVWMB0100\r\n99999999999\r\n", false, 0},
                      HeaderCase{"empty", "", false, 0}),
    [](const auto& info) { return info.param.name; });

class MessageTextTest : public testing_support::MailFixture {};

TEST_F(MessageTextTest, PlainTextIsWrittenLineByLine) {
  const std::string path = MailFile("0001ABCD.MSG");
  ASSERT_EQ(WriteMessageText(path, {"Hello", "", std::string(1100, 'x')}, "BOB", false, clock), 0);
  EXPECT_EQ(ReadFile(path), "Hello\r\n\r\n" + std::string(1024, 'x') + "\r\n");
  EXPECT_FALSE(ReadScrambleHeader(path).scrambled);
}

TEST_F(MessageTextTest, ScrambledTextCarriesItsHeaderAndComesBack) {
  const std::string path = MailFile("0001ABCD.MSG");
  ASSERT_EQ(WriteMessageText(path, {"Dear Bob,", "\tsee you at 5."}, "BOB", true, clock), 0);
  const std::string bytes = ReadFile(path);
  ASSERT_EQ(bytes.rfind("KVWMB0100\r\n51330000\r\nBOB\r\n", 0), 0u);
  const ScrambleHeader header = ReadScrambleHeader(path);
  ASSERT_TRUE(header.scrambled);
  EXPECT_EQ(header.seed, 51330000u);
  const ScrambleTable table = BuildScrambleTable(header.seed);
  std::string body = bytes.substr(26);
  std::string first = body.substr(0, body.find("\r\n"));
  EXPECT_NE(first, "Dear Bob,");
  UnscrambleLine(table, first);
  EXPECT_EQ(first, "Dear Bob,");
}

TEST_F(MessageTextTest, FailuresReturnTheirCode) {
  platform::faults::Arm("write", 1, ENOSPC);
  EXPECT_EQ(WriteMessageText(MailFile("0001ABCD.MSG"), {"x"}, "BOB", false, clock), 101);
  EXPECT_EQ(WriteMessageText(MailFile("nowhere/0001ABCD.MSG"), {"x"}, "BOB", false, clock), 3);
  EXPECT_FALSE(ReadScrambleHeader(MailFile("none.MSG")).scrambled);
}

}  // namespace
