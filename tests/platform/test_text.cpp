#include <gtest/gtest.h>

#include "platform/Text.h"

namespace {

using platform::Cp1252ToUtf8;
using platform::UpperAnsi;
using platform::Utf8ToCp1252;

TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

struct Conversion {
  const char* name;
  std::string cp1252;
  std::string utf8;
};

class Cp1252Conversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(Cp1252Conversion, BothWays) {
  EXPECT_EQ(Cp1252ToUtf8(GetParam().cp1252), GetParam().utf8);
  EXPECT_EQ(Utf8ToCp1252(GetParam().utf8), GetParam().cp1252);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Cp1252Conversion,
    ::testing::Values(Conversion{"ascii", "Hello", "Hello"}, Conversion{"eAcute", "caf\xE9", "caf\xC3\xA9"},
                      Conversion{"euro", "\x80", "\xE2\x82\xAC"}, Conversion{"smartQuotes", "\x93q\x94", "\xE2\x80\x9Cq\xE2\x80\x9D"},
                      Conversion{"undefinedByte", "\x81", "\xC2\x81"}, Conversion{"yDiaeresis", "\xFF", "\xC3\xBF"}),
    [](const auto& info) { return info.param.name; });

TEST(Cp1252, CharactersWithoutAFormAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD" "b"), "a?b");      // a CJK character
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");         // an emoji
  EXPECT_EQ(Utf8ToCp1252("x\xC3"), "x?");                   // cut short at the end
  EXPECT_EQ(Utf8ToCp1252("\xC3(\xA9"), "?(?");             // a lead byte without its follower
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "?");                 // an overlong "/"
}

TEST(ForTerminal, EachFormKeepsOnlyWhatItAllows) {
  using platform::TerminalForm;
  struct Case {
    const char* stored;
    TerminalForm form;
    const char* shown;
  };
  for (const Case& c : {
           Case{"a\r\nb\rc\nd\te", TerminalForm::kText, "a\nb\nc\nd\te"},
           Case{"a\r\nb\rc\nd\te", TerminalForm::kLine, "a b c d\te"},
           Case{"a\r\nb\\c\td", TerminalForm::kField, "a\\r\\nb\\\\c\\td"},
           Case{"\x1b]0;x\x07\x1b[31m", TerminalForm::kText, "\\x1B]0;x\\x07\\x1B[31m"},
           Case{"\x7f\x81\x8d\x8f\x90\x9d", TerminalForm::kLine, "\\x7F\\x81\\x8D\\x8F\\x90\\x9D"},
           Case{"caf\xe9 \x80 back\\slash", TerminalForm::kText, "caf\xc3\xa9 \xe2\x82\xac back\\slash"},
       }) {
    EXPECT_EQ(platform::ForTerminal(c.stored, c.form), c.shown) << c.stored;
  }
}

TEST(UpperAnsi, UpperCasesTheLettersOfTheCodePage) {
  EXPECT_EQ(UpperAnsi("bob smith"), "BOB SMITH");
  EXPECT_EQ(UpperAnsi("\xE9\xE0\xFE"), "\xC9\xC0\xDE");     // é à þ
  EXPECT_EQ(UpperAnsi("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
  EXPECT_EQ(UpperAnsi("\xDF\xB5\xF7" "1;"), "\xDF\xB5\xF7" "1;");  // ß, µ, ÷ and the rest stay
}

TEST(UpperAnsi, EqualsIgnoreCaseUsesTheSameRule) {
  EXPECT_TRUE(platform::EqualsIgnoreCase("Users", "USERS"));
  EXPECT_TRUE(platform::EqualsIgnoreCase("ren\xE9", "REN\xC9"));
  EXPECT_FALSE(platform::EqualsIgnoreCase("USER", "USERS"));
}

}  // namespace
