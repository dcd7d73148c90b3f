// The page printer and the print run, on a device that records every call.
#include <gtest/gtest.h>

#include "prefs/PrintDialog.h"
#include "prefs/PrintMessage.h"
#include "prefs/VelPrinter.h"
#include "support/RecordingDevice.h"
#include "support/MailFixture.h"

namespace {

using prefs::PrintDevice;
using testing_support::FakeClock;
using testing_support::RecordingDevice;

// ---- Header and footer macros ----

struct MacroCase {
  const char* label;
  const char* text;
  const char* name;
  int page;
  const char* expected;
};

class Macros : public ::testing::TestWithParam<MacroCase> {};

TEST_P(Macros, Expand) {
  const MacroCase& c = GetParam();
  EXPECT_EQ(prefs::ExpandMacros(c.text, c.name, c.page, "12/7/2026", "2:15:30 PM"), QString(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, Macros,
    ::testing::Values(MacroCase{"DoubledAmpersandStartsNoMacro", "&&F", "Mail", 1, "&F"},
                      MacroCase{"ThreeAmpersands", "&&&F", "Mail", 1, "&Mail"},
                      MacroCase{"LowerCase", "&f", "Mail", 1, "Mail"},
                      MacroCase{"DefaultFooter", "Page &p", "Mail", 7, "Page 7"},
                      MacroCase{"NameHoldingPageMacro", "&F", "Mail From &P", 3, "Mail From 3"},
                      MacroCase{"NameHoldingNameMacroInsertedOnce", "[&F]", "A&F", 1, "[A&F]"},
                      MacroCase{"DateAndTime", "&D at &t", "Mail", 1, "12/7/2026 at 2:15:30 PM"},
                      MacroCase{"LoneAmpersand", "a & b &", "Mail", 1, "a & b &"}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- Page layout ----

// Options of 1-inch margins, no header, no footer; the tests change what
// they are about.
shell::TPrinterOptions Plain() {
  shell::TPrinterOptions options;
  options.name = "Mail From Ann";
  options.leftMargin = options.topMargin = options.rightMargin = options.bottomMargin = 1.0;
  options.header.clear();
  options.footer.clear();
  options.formFeedNewPage = true;
  return options;
}

// A body 2 inches (20 characters) wide, from x = 100 to 300.
shell::TPrinterOptions Narrow() {
  shell::TPrinterOptions options = Plain();
  options.rightMargin = 5.5;
  return options;
}

class PagePrinter : public ::testing::Test {
 protected:
  void Print(const shell::TPrinterOptions& options, const std::vector<QString>& lines) {
    prefs::TVelPrinter printer(device, clock);
    printer.Options() = options;
    printer.BeginDocument();
    for (const QString& line : lines) printer.PrintLine(line);
    printer.EndDocument();
  }
  // The body's runs as "text@x,y" on their page.
  std::vector<std::string> Placed() const {
    std::vector<std::string> out;
    for (const auto& e : device.Body())
      out.push_back(e.text.toStdString() + "@" + std::to_string(e.rect.left) + "," + std::to_string(e.rect.top) +
                    (e.page > 1 ? " p" + std::to_string(e.page) : ""));
    return out;
  }

  RecordingDevice device;
  FakeClock clock;
};

TEST_F(PagePrinter, DocumentIsTitledWithTheNameInUpperCase) {
  Print(Plain(), {"x"});
  ASSERT_FALSE(device.events.empty());
  EXPECT_EQ(device.events.front().kind, "begin");
  EXPECT_EQ(device.events.front().text, "MAIL FROM ANN");
  EXPECT_EQ(device.events.back().kind, "end");
}

TEST_F(PagePrinter, BodyStartsAtTheTopMarginWithoutHeaderAndTwoLinesDownWithOne) {
  shell::TPrinterOptions options = Plain();
  options.topMargin = 0.1;
  Print(options, {"x"});
  EXPECT_EQ(Placed(), std::vector<std::string>{"x@100,10"});
  EXPECT_TRUE(device.Bands().empty());

  device.events.clear();
  options.header = "Head";
  Print(options, {"x"});
  EXPECT_EQ(Placed(), std::vector<std::string>{"x@100,40"});
  ASSERT_EQ(device.Bands().size(), 1u);
  EXPECT_EQ(device.Bands()[0].text, "Head");
  EXPECT_EQ(device.Bands()[0].rect, (prefs::PrintRect{100, 0, 750, 20}));
}

TEST_F(PagePrinter, FooterKeepsTwoLinesAndSitsInTheLastLineOfThePage) {
  shell::TPrinterOptions options = Plain();
  options.bottomMargin = 0.1;  // 10 units, less than the two lines a footer keeps
  options.footer = "Page &p";
  std::vector<QString> lines(60, "line");
  Print(options, lines);
  // The body ends at 1100 - 40: lines advance 22 from 100, so 43 fit.
  const auto body = device.Body();
  ASSERT_EQ(body.size(), 60u);
  EXPECT_EQ(body[42].page, 1);
  EXPECT_EQ(body[43].page, 2);
  const auto bands = device.Bands();
  ASSERT_EQ(bands.size(), 2u);
  EXPECT_EQ(bands[0].text, "Page 1");
  EXPECT_EQ(bands[0].rect, (prefs::PrintRect{100, 1080, 750, 1100}));
  EXPECT_EQ(bands[1].text, "Page 2");
}

TEST_F(PagePrinter, MarginsLeavingLessThanTwoInchesAreWidened) {
  shell::TPrinterOptions options = Plain();
  options.leftMargin = options.rightMargin = 5.0;  // right edge would be at 350
  options.topMargin = options.bottomMargin = 6.0;  // bottom would be at 500
  Print(options, {QString(25, u'x'), "a", "b", "c", "d", "e", "f", "g", "h", "i"});
  const auto body = device.Body();
  ASSERT_GE(body.size(), 2u);
  EXPECT_EQ(body[0].rect, (prefs::PrintRect{500, 600, 700, 620}));
  EXPECT_EQ(body[0].text.size(), 20);
  // The body is 200 high: 600 + 22 k for as long as a line still fits.
  for (const auto& e : body) EXPECT_LE(e.rect.top + 22, 800) << e.text.toStdString();
}

TEST_F(PagePrinter, CentimetresAreConvertedBeforeRounding) {
  shell::TPrinterOptions options = Plain();
  options.unitOfMeasure = 1;
  options.leftMargin = 2.54;  // 0.99998 inch: 100 units
  options.topMargin = 1.27;   // 49.999: 50 units
  Print(options, {"x"});
  EXPECT_EQ(Placed(), std::vector<std::string>{"x@100,50"});
}

TEST_F(PagePrinter, BlankLinesAreDroppedAtTheTopOfAPageOnly) {
  Print(Plain(), {"", "   ", "a", "", "b  ", "   "});
  // A printed line advances 22 (its height + 2), a blank one 20.
  EXPECT_EQ(Placed(), (std::vector<std::string>{"a@100,100", "b@100,142"}));
}

TEST_F(PagePrinter, WrapBreaksAfterTheBlankOrInsideALongWord) {
  Print(Narrow(), {"aaaaaaaaaa bbbbbbbbbbbb", QString(25, u'c')});
  EXPECT_EQ(Placed(), (std::vector<std::string>{"aaaaaaaaaa @100,100", "bbbbbbbbbbbb@100,122",
                                                QString(20, u'c').toStdString() + "@100,144", "ccccc@100,166"}));
}

TEST_F(PagePrinter, WithoutWrapALongLineIsClippedAtTheRightEdge) {
  shell::TPrinterOptions options = Narrow();
  options.wrapLines = false;
  Print(options, {QString(25, u'c'), "next"});
  const auto body = device.Body();
  ASSERT_EQ(body.size(), 2u);
  EXPECT_EQ(body[0].text.size(), 25);
  EXPECT_EQ(body[0].rect.right, 300);
  EXPECT_EQ(body[1].rect.top, 122);
}

TEST_F(PagePrinter, TabStopsCountFromThePageEdgeAndOneBeyondTheRightEdgeStartsALine) {
  Print(Narrow(), {"a\tb", QString(17, u'a') + "\tz"});
  // Stops every 80 from the page edge: after "a" at 110 the next is 160.
  const auto placed = Placed();
  ASSERT_EQ(placed.size(), 4u);
  EXPECT_EQ(placed[1], "b@160,100");
  // 17 characters end at 270; the stop at 320 lies beyond 300.
  EXPECT_EQ(placed[3], "z@100,144");
}

TEST_F(PagePrinter, FormFeedStartsAPageWithItsHeaderAtOnce) {
  shell::TPrinterOptions options = Plain();
  options.header = "H";
  options.footer = "F &p";
  Print(options, {"ab\fcd", "ef"});
  EXPECT_EQ(Placed(), (std::vector<std::string>{"ab@100,100", "cd@100,100 p2", "ef@100,122 p2"}));
  const auto bands = device.Bands();
  ASSERT_EQ(bands.size(), 4u);
  EXPECT_EQ(bands[0].text, "H");
  EXPECT_EQ(bands[1].text, "F 1");
  EXPECT_EQ(bands[2].text, "H");
  EXPECT_EQ(bands[2].page, 2);
  EXPECT_EQ(bands[3].text, "F 2");

  device.events.clear();
  options.formFeedNewPage = false;
  Print(options, {"ab\fcd"});
  EXPECT_EQ(Placed(), (std::vector<std::string>{"ab@100,100", "cd@120,100"}));
}

TEST_F(PagePrinter, APageJustFilledIsFollowedByNoBlankPage) {
  shell::TPrinterOptions options = Plain();
  options.footer = "&p";
  // From 100 to 1000 in steps of 22: 40 lines to a page.
  Print(options, std::vector<QString>(40, "x"));
  EXPECT_EQ(device.Count("page"), 0);
  ASSERT_EQ(device.Bands().size(), 1u);

  device.events.clear();
  Print(options, std::vector<QString>(41, "x"));
  EXPECT_EQ(device.Count("page"), 1);
  EXPECT_EQ(Placed().back(), "x@100,100 p2");
  ASSERT_EQ(device.Bands().size(), 2u);
  EXPECT_EQ(device.Bands()[1].text, "2");
}

TEST_F(PagePrinter, EachDocumentNumbersItsPagesFromOneAndTakesTheTimeAnew) {
  shell::TPrinterOptions options = Plain();
  options.header = "&P &T";
  prefs::TVelPrinter printer(device, clock);
  printer.Options() = options;
  printer.BeginDocument();
  printer.PrintLine("a\fb");
  printer.EndDocument();
  clock.now.second = 45;
  printer.BeginDocument();
  printer.PrintLine("c");
  printer.EndDocument();
  std::vector<QString> bands;
  for (const auto& e : device.Bands()) bands.push_back(e.text);
  EXPECT_EQ(bands, (std::vector<QString>{"1 2:15:30 PM", "2 2:15:30 PM", "1 2:15:45 PM"}));
}

// ---- The print run ----

class Lines : public prefs::PrintSource {
 public:
  std::vector<QString> lines;
  std::optional<Range> selection;
  int LineCount() const override { return static_cast<int>(lines.size()); }
  QString Line(int n) const override { return n < LineCount() ? lines[n] : QString(); }
  bool HasSelection() const override { return selection.has_value(); }
  Range Selection() const override { return selection.value_or(Range{}); }
  shell::FontSetting Font() const override { return {"Courier New", 10, 0}; }
};

class ScriptedProgress : public prefs::PrintProgress {
 public:
  int total = -1, steps = 0, ends = 0;
  int stopAfter = -1;  // the step after which the user has pressed Stop
  QString caption, prompt;
  void StartProgress(int n) override { total = n; }
  void StepProgress(const QString& c, const QString& p, int n) override {
    steps += n;
    caption = c;
    prompt = p;
  }
  void EndProgress() override { ++ends; }
  bool Cancelled() const override { return stopAfter >= 0 && steps >= stopAfter; }
  void ProcessPendingInput() override {}
};

class PrintRun : public PagePrinter {
 protected:
  void Run(const shell::TPrinterOptions& options) {
    prefs::PrintMessageText(source, {"", "Hello", "12/7/2026 2:15p", "Ann"}, options, device, progress, clock, ui);
  }
  std::vector<QString> BodyTexts() const {
    std::vector<QString> out;
    for (const auto& e : device.Body()) out.push_back(e.text);
    return out;
  }
  Lines source;
  ScriptedProgress progress;
  testing_support::ScriptedUi ui;
};

TEST_F(PrintRun, AddressLinesThenTheText) {
  source.lines = {"Dear Bob,", "", "see you."};
  Run(Plain());
  EXPECT_EQ(BodyTexts(), (std::vector<QString>{"From:    Ann", "Date:    12/7/2026 2:15p", "Subject: Hello",
                                               "Dear Bob,", "see you."}));
  EXPECT_EQ(device.font.name, "Courier New");
  EXPECT_EQ(progress.total, 3);
  EXPECT_EQ(progress.steps, 3);
  EXPECT_EQ(progress.caption, "KV Mailbox");
  EXPECT_EQ(progress.prompt, "Printing: Mail From Ann");
  EXPECT_EQ(progress.ends, 1);
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PrintRun, ToTextWinsOverFrom) {
  source.lines = {"x"};
  prefs::PrintMessageText(source, {"Bob Carol", "Hi", "d", "Ann"}, Plain(), device, progress, clock, ui);
  EXPECT_EQ(BodyTexts().front(), "To:      Bob Carol");
}

TEST_F(PrintRun, CopiesAreSeparateDocumentsEachFromPageOne) {
  source.lines = {"x"};
  shell::TPrinterOptions options = Plain();
  options.footer = "Page &p";
  options.copies = 3;
  Run(options);
  EXPECT_EQ(device.Count("begin"), 3);
  EXPECT_EQ(device.Count("end"), 3);
  for (const auto& band : device.Bands()) EXPECT_EQ(band.text, "Page 1");
  EXPECT_EQ(progress.total, 3);
}

TEST_F(PrintRun, ASelectionKeepsItsColumns) {
  source.lines = {"0123456789", "abcdefghij", "klmnopqrst", "uvwxyz"};
  source.selection = prefs::PrintSource::Range{1, 5, 2, 3};
  shell::TPrinterOptions options = Plain();
  options.printSelected = true;
  Run(options);
  const auto body = BodyTexts();
  ASSERT_EQ(body.size(), 5u);
  // The first selected line keeps its place, its first 5 characters blank.
  EXPECT_EQ(body[3], "     fghij");
  EXPECT_EQ(device.Body()[3].rect.left, 100);
  EXPECT_EQ(body[4], "klm");
  EXPECT_EQ(progress.total, 2);
}

TEST_F(PrintRun, ASelectionWithinOneLine) {
  source.lines = {"0123456789"};
  source.selection = prefs::PrintSource::Range{0, 2, 0, 6};
  shell::TPrinterOptions options = Plain();
  options.printSelected = true;
  Run(options);
  EXPECT_EQ(BodyTexts().back(), "  2345");
}

TEST_F(PrintRun, LongLinesAreCut) {
  source.lines = {QString(3000, u'x')};
  shell::TPrinterOptions options = Plain();
  options.wrapLines = false;
  Run(options);
  EXPECT_EQ(BodyTexts().back().size(), prefs::kMaxPrintedLine);
}

TEST_F(PrintRun, StopEndsTheDocumentNormallyAndPrintsNoMoreCopies) {
  source.lines = {"1", "2", "3", "4"};
  shell::TPrinterOptions options = Plain();
  options.footer = "F";
  options.copies = 2;
  progress.stopAfter = 2;
  Run(options);
  EXPECT_EQ(device.Kinds(), (std::vector<QString>{"begin", "text", "text", "text", "text", "text", "text", "end"}));
  EXPECT_EQ(device.Bands().size(), 1u);
  EXPECT_EQ(progress.ends, 1);
}

TEST_F(PrintRun, APrinterFailureIsReportedAndTheDocumentAbandoned) {
  source.lines = {"one\ftwo", "three"};
  device.failNewPageAt = 1;
  Run(Plain());
  ASSERT_EQ(ui.CountOf("error"), 1);
  EXPECT_EQ(ui.shown[0].text, "Out of paper.");
  EXPECT_EQ(device.Kinds().back(), "abort");
  EXPECT_EQ(device.Count("end"), 0);
  EXPECT_EQ(progress.ends, 1);
}

// ---- The Print dialog's entries ----

TEST(PrintEntries, CopiesAreKeptWithinOneTo999) {
  const std::vector<std::pair<QString, int>> cases = {
      {"0", 1}, {"1500", 999}, {"999", 999}, {" 1 2", 12}, {"", 1}, {"x", 1}, {"99999999999999999999999", 1}};
  for (const auto& [text, copies] : cases) EXPECT_EQ(prefs::EntryCopies(text), copies) << text.toStdString();
}

TEST(PrintEntries, MarginsReadAndConvert) {
  EXPECT_DOUBLE_EQ(prefs::EntryNumber("1 .5"), 1.5);
  EXPECT_DOUBLE_EQ(prefs::EntryNumber("."), 0.0);
  EXPECT_DOUBLE_EQ(prefs::EntryNumber(""), 0.0);
  EXPECT_EQ(prefs::MarginEntry(0.75), "0.75");
  EXPECT_EQ(prefs::MarginEntry(12.5), "12.50");
  EXPECT_EQ(prefs::ConvertMarginEntry("1.00", false), "2.54");
  EXPECT_EQ(prefs::ConvertMarginEntry("2.54", true), "1.00");
  EXPECT_EQ(prefs::ConvertMarginEntry("..", true), "0.00");
}

}  // namespace
