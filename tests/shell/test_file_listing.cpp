// The file list's entries on a small tree of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/FaultInjection.h"
#include "platform/Path.h"
#include "shell/FileListing.h"
#include "support/TempDir.h"

namespace {

using shell::FileListing;
using testing_support::TempDir;
using testing_support::WriteFile;

class FileListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::faults::Clear();
    for (const char* sub : {"docs", "Mail", ".secret", "docs/deep"}) mkdir(dir.File(sub).c_str(), 0755);
    WriteFile(dir.File("alpha.txt"), std::string(10, 'a'));
    WriteFile(dir.File("Beta.TXT"), std::string(5, 'b'));
    WriteFile(dir.File("memo.doc"), std::string(30, 'm'));
    WriteFile(dir.File("mail.log"), std::string(1, 'l'));
    WriteFile(dir.File("music.wav"), std::string(20, 'w'));
    WriteFile(dir.File("zeta.c"), "z");
    WriteFile(dir.File(".profile"), "p");
    WriteFile(dir.File("docs/notes.txt"), "n");
    WriteFile(dir.File("docs/deep/plan.txt"), "p");
    WriteFile(dir.File(".secret/key.txt"), "k");
    listing.SetHooks({.volumes = [] {
      return std::vector<shell::Volume>{{"/", "", shell::kIconFixed}, {"/srv/share", "Office", shell::kIconNetwork}};
    }});
    listing.textCase = shell::tcNone;
  }
  void TearDown() override { platform::faults::Clear(); }

  // The shown names of the entries of one kind, in list order.
  std::vector<std::string> Shown(char type) const {
    std::vector<std::string> out;
    for (int i = 0; i < listing.Count(); ++i)
      if (listing.TypeOf(i) == type) out.push_back(listing.Entries()[static_cast<size_t>(i)].shown);
    return out;
  }
  std::vector<std::string> Files() const { return Shown('F'); }
  std::string Types() const {
    std::string out;
    for (const auto& e : listing.Entries()) out += e.type;
    return out;
  }

  TempDir dir;
  FileListing listing;
};

TEST_F(FileListingTest, ListsDrivesRootParentDirectoriesAndFilesInThatOrder) {
  ASSERT_EQ(listing.List(dir.path()), 0);
  EXPECT_EQ(listing.Directory(), dir.path());
  EXPECT_EQ(Types(), "BBCDEEFFFFFF");
  EXPECT_EQ(Shown('B'), (std::vector<std::string>{"/", "/srv/share [Office]"}));
  EXPECT_EQ(Shown('E'), (std::vector<std::string>{"docs", "Mail"}));
  EXPECT_EQ(Files(), (std::vector<std::string>{"alpha.txt", "Beta.TXT", "mail.log", "memo.doc", "music.wav", "zeta.c"}));
  EXPECT_EQ(listing.ListCount(), 8);
  EXPECT_EQ(listing.ListSize(), 10 + 5 + 30 + 1 + 20 + 1);
  EXPECT_EQ(listing.PathOf(4), dir.File("docs"));
  EXPECT_EQ(listing.PathOf(3), platform::DirectoryPart(dir.path()));
  EXPECT_EQ(listing.PathOf(1), "/srv/share");
}

TEST_F(FileListingTest, EntryTextHoldsKindKeyNameIconAttributesDateAndSize) {
  listing.fileMask = "beta.txt";
  ASSERT_EQ(listing.List(dir.path()), 0);
  const shell::FileListEntry& e = listing.Entries().back();
  ASSERT_EQ(e.shown, "Beta.TXT");
  EXPECT_EQ(e.text.substr(0, 21), "F00000000000Beta.TXT|");
  EXPECT_EQ(e.text[21], static_cast<char>(shell::kIconText));
  EXPECT_EQ(e.text.substr(22, 6), "000000");
  EXPECT_EQ(e.text.substr(28 + 11), "00000000005");
  EXPECT_FALSE(shell::IsUnknownDate(e.date));
}

TEST_F(FileListingTest, TwoPatternsListAFileMatchingBothOnce) {
  listing.fileMask = "*.txt, a*  \"*.doc\"";
  ASSERT_EQ(listing.List(dir.path()), 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{"alpha.txt", "Beta.TXT", "memo.doc"}));
  EXPECT_EQ(listing.ListCount(), 2 + 3);
}

TEST_F(FileListingTest, TheRootHasNoRootOrParentEntry) {
  ASSERT_EQ(listing.List("/"), 0);
  EXPECT_TRUE(Shown('C').empty());
  EXPECT_TRUE(Shown('D').empty());
  EXPECT_EQ(listing.Directory(), "/");
}

TEST_F(FileListingTest, GoingUpSelectsTheDirectoryLeft) {
  ASSERT_EQ(listing.List(dir.File("docs/deep")), 0);
  ASSERT_EQ(listing.List(".."), 0);
  EXPECT_EQ(listing.Directory(), dir.File("docs"));
  ASSERT_GE(listing.LeftDirectoryIndex(), 0);
  EXPECT_EQ(listing.Entries()[static_cast<size_t>(listing.LeftDirectoryIndex())].shown, "deep");

  ASSERT_EQ(listing.List("/"), 0);
  const std::string top = dir.path().substr(1, dir.path().find('/', 1) - 1);
  ASSERT_GE(listing.LeftDirectoryIndex(), 0);
  EXPECT_EQ(listing.Entries()[static_cast<size_t>(listing.LeftDirectoryIndex())].shown, top);

  // A relative name goes down from the directory listed.
  ASSERT_EQ(listing.List(dir.path()), 0);
  ASSERT_EQ(listing.List("docs/deep"), 0);
  EXPECT_EQ(listing.Directory(), dir.File("docs/deep"));
  EXPECT_EQ(listing.LeftDirectoryIndex(), -1);
}

TEST_F(FileListingTest, SizeOrderSortsFilesWhileDirectoriesKeepTheirNameOrder) {
  ASSERT_EQ(listing.List(dir.path()), 0);
  listing.SetSortBy(shell::sbSize);
  EXPECT_EQ(Files(), (std::vector<std::string>{"mail.log", "zeta.c", "Beta.TXT", "alpha.txt", "music.wav", "memo.doc"}));
  EXPECT_EQ(Shown('E'), (std::vector<std::string>{"docs", "Mail"}));
  listing.SetSortBy(shell::sbType);
  EXPECT_EQ(Files(), (std::vector<std::string>{"zeta.c", "memo.doc", "mail.log", "alpha.txt", "Beta.TXT", "music.wav"}));
}

TEST_F(FileListingTest, AnInvertedListPutsFilesFirstAndDrivesLast) {
  listing.listOrder = shell::flInverted;
  ASSERT_EQ(listing.List(dir.path()), 0);
  EXPECT_EQ(Types(), "BBBBBBCDEEFF");
  EXPECT_EQ(listing.TypeOf(0), 'F');
  EXPECT_EQ(listing.TypeOf(listing.Count() - 1), 'B');
  EXPECT_EQ(listing.PathOf(0), dir.File("alpha.txt"));
}

TEST_F(FileListingTest, TypingALetterCyclesThroughItsEntries) {
  ASSERT_EQ(listing.List(dir.path()), 0);
  std::vector<std::string> seen;
  int at = -1;
  for (int i = 0; i < 5; ++i) {
    at = listing.NextStartingWith('m', at);
    ASSERT_GE(at, 0);
    seen.push_back(listing.Entries()[static_cast<size_t>(at)].shown);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"Mail", "mail.log", "memo.doc", "music.wav", "Mail"}));
  EXPECT_EQ(listing.NextStartingWith('q', 0), -1);
}

TEST_F(FileListingTest, HiddenEntriesOnlyWithSystemFiles) {
  ASSERT_EQ(listing.List(dir.path()), 0);
  const std::vector<std::string> files = Files();
  EXPECT_EQ(std::count(files.begin(), files.end(), ".profile"), 0);
  EXPECT_EQ(listing.List(".secret"), shell::kListingPathNotFound);
  EXPECT_EQ(listing.Directory(), dir.path());

  listing.showSystemFiles = true;
  ASSERT_EQ(listing.List(dir.path()), 0);
  EXPECT_EQ(Shown('E'), (std::vector<std::string>{".secret", "docs", "Mail"}));
  EXPECT_EQ(listing.Entries()[4].icon, shell::kIconHiddenDirectory);
  EXPECT_EQ(Files().front(), ".profile");
  EXPECT_EQ(listing.List(".secret"), 0);
}

TEST_F(FileListingTest, ADirectoryThatCannotBeEnteredLeavesTheListWhereItWas) {
  ASSERT_EQ(listing.List(dir.path()), 0);
  EXPECT_EQ(listing.List("missing"), shell::kListingPathNotFound);
  EXPECT_EQ(listing.Directory(), dir.path());
  EXPECT_EQ(Files().size(), 6u);
  EXPECT_EQ(listing.List("alpha.txt"), shell::kListingPathNotFound);

  // Refused by the file system: the code of the refusal.
  platform::faults::Arm("opendir", 1, EACCES);
  EXPECT_EQ(listing.List("docs"), 5);
  EXPECT_EQ(listing.LastError(), 5);
  EXPECT_EQ(listing.Directory(), dir.path());
  EXPECT_EQ(Files().size(), 6u);
}

TEST_F(FileListingTest, TryLocationKeepsTheOldMaskWhenTheDirectoryFails) {
  ASSERT_EQ(listing.List(dir.path()), 0);
  EXPECT_EQ(listing.TryLocation("*.doc", dir.File("nowhere")), shell::kListingPathNotFound);
  EXPECT_EQ(listing.fileMask, "*.*");
  EXPECT_EQ(Files().size(), 6u);
  EXPECT_EQ(listing.TryLocation("*.doc", dir.File("docs")), 0);
  EXPECT_EQ(listing.Directory(), dir.File("docs"));
  EXPECT_EQ(listing.fileMask, "*.doc");
}

TEST_F(FileListingTest, ASearchFindsTheFilesOfTheWholeTreeByPath) {
  listing.searchMode = shell::smSubDirectories;
  listing.fileMask = "*.txt";
  std::vector<std::string> searched;
  int begins = 0, ends = 0;
  listing.SetHooks({.searchBegin = [&] { ++begins; },
                    .searchEnd = [&] { ++ends; },
                    .addFile = [&](const shell::FileListEntry&, int&, bool&, const std::string& d) { searched.push_back(d); },
                    .volumes = [] { return std::vector<shell::Volume>{}; }});
  ASSERT_EQ(listing.List(dir.path()), 0);
  EXPECT_EQ(Files(), (std::vector<std::string>{dir.File("alpha.txt"), dir.File("Beta.TXT"),
                                               dir.File("docs/deep/plan.txt"), dir.File("docs/notes.txt")}));
  EXPECT_EQ(listing.PathOf(listing.Count() - 1), dir.File("docs/notes.txt"));
  EXPECT_EQ(listing.ListCount(), 4);
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_NE(std::find(searched.begin(), searched.end(), dir.File("docs/deep")), searched.end());
}

TEST_F(FileListingTest, ASearchStopsWhenTheHookSaysSo) {
  listing.searchMode = shell::smSubDirectories;
  int files = 0;
  listing.SetHooks({.addFile = [&](const shell::FileListEntry& e, int& code, bool&, const std::string&) {
                      if (e.type == 'F' && ++files == 3) code = shell::kListingStopped;
                    },
                    .volumes = [] { return std::vector<shell::Volume>{}; }});
  EXPECT_EQ(listing.List(dir.path()), shell::kListingStopped);
  EXPECT_EQ(Files().size(), 3u);
}

TEST(FileListingRules, NamesShownInEachCase) {
  EXPECT_EQ(shell::ShownName("My Docs/READ me.TXT", shell::tcLowerCase), "my docs/read me.txt");
  EXPECT_EQ(shell::ShownName("My Docs/READ me.TXT", shell::tcUpperCase), "MY DOCS/READ ME.TXT");
  EXPECT_EQ(shell::ShownName("my docs/read me.txt", shell::tcAuto), "My Docs/Read Me.txt");
  EXPECT_EQ(shell::ShownName("c:\\old dos", shell::tcAuto), "C:\\Old Dos");
  EXPECT_EQ(shell::ShownName("As Is", shell::tcNone), "As Is");
}

TEST(FileListingRules, IconsByExtensionGroup) {
  const std::vector<std::pair<const char*, int>> cases = {
      {"run.exe", shell::kIconProgram}, {"photo.JPG", shell::kIconPicture}, {"x.c", shell::kIconSource},
      {"x.cpp", shell::kIconSource},    {"notes.txt", shell::kIconText},    {"a.db", shell::kIconDatabase},
      {"film.mov", shell::kIconVideo},  {"noext", shell::kIconFile},        {"x.markdown", shell::kIconFile},
      {"x.st", shell::kIconPicture},    {"x.pb", shell::kIconDatabase},     {"x.", shell::kIconFile}};
  for (const auto& [name, icon] : cases) EXPECT_EQ(shell::FileIconOf(name, false), icon) << name;
  EXPECT_EQ(shell::FileIconOf(".hidden.txt", true), shell::kIconHiddenFile);
  EXPECT_EQ(shell::FileIconOf("run.bat", true), shell::kIconHiddenProgram);
}

TEST(FileListingRules, MasksSplitAtBlanksAndCommasButNotInQuotes) {
  EXPECT_EQ(shell::SplitMask("*.txt *.doc"), (std::vector<std::string>{"*.txt", "*.doc"}));
  EXPECT_EQ(shell::SplitMask("*.txt,,*.doc"), (std::vector<std::string>{"*.txt", "*.doc"}));
  EXPECT_EQ(shell::SplitMask("\"my file*\" x"), (std::vector<std::string>{"my file*", "x"}));
  EXPECT_EQ(shell::SplitMask("  "), (std::vector<std::string>{"*.*"}));
}

TEST(FileListingRules, PackedDates) {
  // 2026-12-07 14:15:30 local time.
  struct tm parts {};
  parts.tm_year = 126;
  parts.tm_mon = 11;
  parts.tm_mday = 7;
  parts.tm_hour = 14;
  parts.tm_min = 15;
  parts.tm_sec = 30;
  parts.tm_isdst = -1;
  const int64_t ns = static_cast<int64_t>(mktime(&parts)) * 1000000000;
  EXPECT_EQ(shell::PackedDate(ns), (46u << 25) | (12u << 21) | (7u << 16) | (14u << 11) | (15u << 5) | 15u);
  EXPECT_EQ(shell::PackedDate(0), 0u);  // 1970: before the packed dates begin
  EXPECT_TRUE(shell::IsUnknownDate(0x20FFFF));
  EXPECT_FALSE(shell::IsUnknownDate(0x210000));
  EXPECT_EQ(shell::AttributeLetters(shell::kAttrReadOnly | shell::kAttrHidden | shell::kAttrArchive), "RHA");
}

}  // namespace

// The drives a file selector lists are the places a user would pick, not
// every mount of the system.
TEST(UsersVolumes, OnlyThePlacesAUserWouldPick) {
  struct Case {
    const char* root;
    const char* type;
    bool listed;
  } const cases[] = {
      {"/", "ext4", true},
      {"/media/ann/USB STICK", "vfat", true},
      {"/run/media/ann/DISC", "iso9660", true},
      {"/mnt/office", "ext4", true},
      {"/srv/mail", "cifs", true},  // a share is a share wherever it is mounted
      {"/home/ann/share", "fuse.sshfs", true},
      {"/home/ann/data", "ext4", true},
      {"/home", "ext4", false},  // above the user's own
      {"/mnt", "ext4", false},
      {"/boot", "ext4", false},
      {"/boot/efi", "vfat", false},
      {"/var/lib/docker/overlay2/x/merged", "overlay", false},
      {"/snap/core/123", "squashfs", false},
      {"/tmp/fuse-mount", "fuse.bindfs", false},
      {"/proc", "proc", false},
      {"/dev/shm", "tmpfs", false},
      {"/run/user/1000", "tmpfs", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(shell::IsUsersVolume(c.root, c.type, "/home/ann"), c.listed) << c.root << " " << c.type;
  EXPECT_FALSE(shell::IsUsersVolume("/root/x", "ext4", "/"));  // a home of "/" takes in nothing
}
