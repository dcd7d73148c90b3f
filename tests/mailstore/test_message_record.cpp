#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "mailstore/MessageRecord.h"
#include "platform/Path.h"

namespace {

using namespace mailstore;

std::string FieldBytes(const RecordBytes& bytes, size_t offset, size_t size) {
  return std::string(reinterpret_cast<const char*>(bytes.data()) + offset, size);
}

TEST(MessageRecord, FieldsSitAtTheirOffsetsWithZerosBehind) {
  const RecordBytes bytes = EncodeMessageRecord("Hello", "BOB", "12/7/2026 2:15p", "E:\\MAIL\\99223FC2.MSG");
  EXPECT_EQ(FieldBytes(bytes, 0, 6), std::string("\x05" "Hello"));
  EXPECT_EQ(FieldBytes(bytes, 6, 35), std::string(35, '\0'));
  EXPECT_EQ(FieldBytes(bytes, 41, 4), std::string("\x03" "BOB"));
  EXPECT_EQ(FieldBytes(bytes, 50, 16), std::string("\x0F" "12/7/2026 2:15p"));
  EXPECT_EQ(FieldBytes(bytes, 71, 21), std::string("\x14" "E:\\MAIL\\99223FC2.MSG"));
  EXPECT_EQ(FieldBytes(bytes, 92, 59), std::string(59, '\0'));

  const MessageRecord back = DecodeMessageRecord(bytes);
  EXPECT_EQ(back.subject, "Hello");
  EXPECT_EQ(back.sender, "BOB");
  EXPECT_EQ(back.date, "12/7/2026 2:15p");
  EXPECT_EQ(back.textFile, "E:\\MAIL\\99223FC2.MSG");
}

TEST(MessageRecord, LongValuesAreCutToTheirRoom) {
  const MessageRecord back = DecodeMessageRecord(
      EncodeMessageRecord(std::string(60, 's'), "JOHNSMITHSON", std::string(25, 'd'), "/m/0001ABCD.MSG"));
  EXPECT_EQ(back.subject, std::string(40, 's'));
  EXPECT_EQ(back.sender, "JOHNSMIT");
  EXPECT_EQ(back.date, std::string(20, 'd'));
}

TEST(MessageRecord, TextFilePathIsStoredWithBackslashesAndKeepsItsEnd) {
  EXPECT_EQ(DecodeMessageRecord(EncodeMessageRecord("", "", "", "/srv/mail/99223FC2.MSG")).textFile,
            "\\srv\\mail\\99223FC2.MSG");
  const std::string deep = "/" + std::string(90, 'd') + "/99223FC2.MSG";
  const std::string stored = DecodeMessageRecord(EncodeMessageRecord("", "", "", deep)).textFile;
  EXPECT_EQ(stored.size(), kTextFileRoom);
  EXPECT_EQ(stored.substr(stored.size() - 13), "\\99223FC2.MSG");
}

TEST(MessageRecord, LengthBytesLargerThanTheRoomAreClamped) {
  RecordBytes bytes{};
  bytes.fill('x');
  bytes[0] = 255;
  bytes[41] = 200;
  bytes[50] = 21;
  bytes[71] = 80;
  const MessageRecord record = DecodeMessageRecord(bytes);
  EXPECT_EQ(record.subject.size(), kSubjectRoom);
  EXPECT_EQ(record.sender.size(), kSenderRoom);
  EXPECT_EQ(record.date.size(), kDateRoom);
  EXPECT_EQ(record.textFile.size(), kTextFileRoom);
}

TEST(MessageRecord, ReadMark) {
  EXPECT_FALSE(IsRead(MessageRecord{"", "", "", ""}));
  EXPECT_FALSE(IsRead(MessageRecord{"", "", "12/7/2026 2:15p", ""}));
  EXPECT_TRUE(IsRead(MessageRecord{"", "", "12/7/2026 2:15p.", ""}));

  struct Case {
    std::string date;
    std::string after;
  };
  for (const Case& c : {Case{"12/7/2026 2:15p", "12/7/2026 2:15p."}, Case{"12/7/2026 2:15p.", "12/7/2026 2:15p."},
                        Case{"", ""}, Case{std::string(19, '9'), std::string(19, '9') + "."},
                        Case{std::string(20, '9'), std::string(20, '9')}}) {
    RecordBytes bytes = EncodeMessageRecord("s", "BOB", c.date, "0001ABCD.MSG");
    const RecordBytes before = bytes;
    EXPECT_EQ(AddReadMark(bytes), c.after != c.date) << c.date;
    EXPECT_EQ(DecodeMessageRecord(bytes).date, c.after);
    if (c.after == c.date) {
      EXPECT_EQ(bytes, before);
    }
  }
}

struct DateCase {
  const char* name;
  platform::LocalTime time;
  const char* format;
  const char* text;
};

class MessageDate : public ::testing::TestWithParam<DateCase> {};

TEST_P(MessageDate, Formats) {
  EXPECT_EQ(FormatMessageDate(GetParam().time, GetParam().format), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageDate,
    ::testing::Values(DateCase{"afternoon", {2026, 12, 7, 14, 15, 30}, "M/d/yyyy", "12/7/2026 2:15p"},
                      DateCase{"midnight", {2026, 1, 2, 0, 5, 0}, "M/d/yyyy", "1/2/2026 12:05a"},
                      DateCase{"noon", {2026, 1, 2, 12, 0, 0}, "M/d/yyyy", "1/2/2026 12:00p"},
                      DateCase{"morning", {2026, 1, 2, 9, 7, 0}, "M/d/yyyy", "1/2/2026 9:07a"},
                      DateCase{"beforeMidnight", {2026, 1, 2, 23, 59, 59}, "M/d/yyyy", "1/2/2026 11:59p"},
                      DateCase{"german", {2026, 3, 4, 8, 0, 0}, "dd.MM.yy", "04.03.26 8:00a"},
                      DateCase{"iso", {2026, 3, 4, 8, 0, 0}, "yyyy-MM-dd", "2026-03-04 8:00a"},
                      DateCase{"quoted", {2026, 3, 4, 8, 0, 0}, "d 'de' M", "4 de 3 8:00a"}),
    [](const auto& info) { return info.param.name; });

TEST(MessageRecord, OnlyMessageTextFileNamesQualify) {
  for (const char* good : {"99223FC2.MSG", "0000abcd.msg", "ABCDEF01.Msg"}) EXPECT_TRUE(IsMessageFileName(good)) << good;
  for (const char* bad : {"", ".", "..", "MASTER.INI", "MAILBOX.INI", "BOB.LST", "99223FC2.LST", "9922FC2.MSG",
                          "99223FCG.MSG", "99223FC2.MSG.bak", "../99223FC2.MSG"})
    EXPECT_FALSE(IsMessageFileName(bad)) << bad;
}

TEST(MessageRecord, ATextFilesNumberIsReadFromItsNameAlone) {
  struct Case {
    const char* stored;
    std::optional<uint32_t> number;
  };
  for (const Case& c : {Case{"E:\\MAIL\\99223FC2.MSG", 0x99223FC2u}, Case{"99223fc2.msg", 0x99223FC2u},
                        Case{"E:99223Fc2.Msg", 0x99223FC2u}, Case{"/srv/mail/FFFFFFFF.MSG", 0xFFFFFFFFu},
                        Case{"E:\\MAIL\\X99223FC2.MSG", std::nullopt}, Case{"99223FC2.MSGX", std::nullopt},
                        Case{"99223FCG.MSG", std::nullopt}, Case{"9922\\3FC2.MSG", std::nullopt},
                        Case{"E:\\MAIL\\MASTER.INI", std::nullopt}, Case{"", std::nullopt}}) {
    EXPECT_EQ(MessageFileNumber(c.stored, /*lastPart=*/true), c.number) << c.stored;
    // The same as the name after the last separator, checked on its own.
    const std::string_view name = platform::FileNamePart(c.stored);
    EXPECT_EQ(IsMessageFileName(name), c.number.has_value()) << c.stored;
    EXPECT_EQ(MessageFileNumber(name), c.number) << c.stored;
  }
}

TEST(MessageRecord, ARecordRepeatingAnEarlierOnesTextIsFound) {
  std::string records;
  for (const char* text : {"E:\\MAIL\\0000000A.MSG", "E:\\MAIL\\0000000B.MSG", "", "F:\\0000000a.msg",
                           "E:\\MAIL\\0000000C.MSG", "", "E:\\MAIL\\0000000B.MSG", "E:\\MAIL\\MASTER.INI",
                           "E:\\MAIL\\MASTER.INI"}) {
    const RecordBytes bytes = EncodeMessageRecord("s", "ALICE", "d", text);
    records.append(bytes.begin(), bytes.end());
  }
  // Texts named in other letters are one text; records naming nothing,
  // or no message text, repeat nothing.
  EXPECT_EQ(RepeatedRecords(reinterpret_cast<const unsigned char*>(records.data()), 9), (std::vector<int>{3, 6}));
  EXPECT_TRUE(RepeatedRecords(nullptr, 0).empty());
}

TEST(MessageRecord, AForgottenTextLeavesAPossibleRecordThatNamesNothing) {
  RecordBytes bytes = EncodeMessageRecord("Lunch", "ALICE", "12/7/2026 2:15p.", "E:\\MAIL\\99223FC2.MSG");
  const RecordBytes before = bytes;
  ForgetTextFile(bytes);
  const MessageRecord record = DecodeMessageRecord(bytes);
  EXPECT_EQ(record.textFile, "");
  EXPECT_EQ(record.subject, "Lunch");
  EXPECT_EQ(record.date, "12/7/2026 2:15p.");
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 71, before.begin()));
  EXPECT_TRUE(std::all_of(bytes.begin() + 71, bytes.end(), [](unsigned char b) { return b == 0; }));
  EXPECT_EQ(ImpossibleRecordField(bytes.data()), nullptr);
  EXPECT_NE(ImpossibleRecordField(EncodeMessageRecord("x", "ALICE", "d", "E:\\MAIL\\MASTER.INI").data()), nullptr);
}

}  // namespace
