#include "shell/FileListing.h"

#include <algorithm>
#include <cstdio>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Path.h"

namespace shell {

namespace {

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = FoldAscii(c);
  return out;
}

// `value` in `width` decimal digits with leading zeros, kept within them.
std::string Digits(int64_t value, int width) {
  int64_t limit = 1;
  for (int i = 0; i < width; ++i) limit *= 10;
  value = std::clamp<int64_t>(value, 0, limit - 1);
  char buffer[24];
  std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
  return buffer;
}

// The extension groups of the file icons, each extension upper-cased and
// filled up with "." to four characters.
struct IconGroup {
  const char* extensions;
  int icon;
};
constexpr IconGroup kIconGroups[] = {
    {".COM.EXE.BAT.PIF.LNK", kIconProgram},
    {".PCX.TIF.BMP.GEM.IMG.GIF.ST..PNG.ICO.ICC.JPG.IFF", kIconPicture},
    {".CGM.CDR.CDT.EPS.WPG.AI..DHP.DXF.HPG.TEO.WMF", kIconDrawing},
    {".ZIP.LZH", kIconArchive},
    {".XLC.PIC.CHT.SHW", kIconChart},
    {".XLS.WKS.WK1.WK2.WQ1", kIconSpreadsheet},
    {".PUB.CHP", kIconPublication},
    {".DBF.DB..DIF.PB.", kIconDatabase},
    {".BAK.TMP.$$$.OLD", kIconBackup},
    {".TXT.ASC.INF.INI.DOC.WRI.WP..WP5.WP6", kIconText},
    {".VOC.WAV.MID.SNG.CMF.ORG", kIconSound},
    {".HLP", kIconHelp},
    {".SYS.BIN.DRV.386.CFG", kIconSystem},
    {".FNT.CHR.GFT.FON.SFP", kIconFont},
    {".FLI.AVI.MOV", kIconVideo},
    {".PAS.BAS.C...CPP", kIconSource},
};

// The extension of a name with its dot, or empty.
std::string_view Extension(std::string_view name) {
  const size_t dot = name.find_last_of('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

bool IsRoot(const std::string& path) { return path == "/"; }

int ReadDirectory(const std::string& directory, std::vector<platform::FileInfo>& entries) {
  entries.clear();
  const int code = platform::FindFiles(directory, "*", entries);
  return code == 2 ? 0 : code;
}

int AttributesOf(const platform::FileInfo& info) {
  return (info.readOnly ? kAttrReadOnly : 0) | (info.hidden ? kAttrHidden : 0) |
         (info.isDirectory ? kAttrDirectory : 0);
}

}  // namespace

void FileListEntry::MakeText() {
  text.clear();
  text.reserve(1 + sortKey.size() + shown.size() + 30);
  text += type;
  text += sortKey;
  text += shown;
  text += '|';
  text += static_cast<char>(icon);
  text += Digits(attributes, 6);
  text += Digits(date, 11);
  text += Digits(size, 11);
}

std::vector<std::string> SplitMask(const std::string& mask) {
  std::vector<std::string> patterns;
  std::string current;
  bool quoted = false;
  for (const char c : mask) {
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == ',')) {
      if (!current.empty()) patterns.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) patterns.push_back(std::move(current));
  if (patterns.empty()) patterns.push_back("*.*");
  return patterns;
}

std::string ShownName(const std::string& name, TTextCase textCase) {
  switch (textCase) {
    case tcNone: return name;
    case tcUpperCase: return UpperAscii(name);
    case tcLowerCase: return platform::LowerAscii(name);
    case tcAuto: {
      std::string out = platform::LowerAscii(name);
      bool start = true;
      for (char& c : out) {
        if (start) c = FoldAscii(c);
        start = c == ' ' || c == '\\' || c == '/';
      }
      return out;
    }
  }
  return name;
}

int FileIconOf(const std::string& name, bool hidden) {
  std::string extension = UpperAscii(Extension(name));
  int icon = kIconFile;
  if (!extension.empty() && extension.size() <= 4) {
    extension.resize(4, '.');
    for (const IconGroup& group : kIconGroups) {
      if (std::string_view(group.extensions).find(extension) != std::string_view::npos) {
        icon = group.icon;
        break;
      }
    }
  }
  if (hidden) return icon == kIconProgram ? kIconHiddenProgram : kIconHiddenFile;
  return icon;
}

uint32_t PackedDate(int64_t ns) {
  const platform::LocalTime t = platform::LocalTimeOf(ns);
  if (t.year < 1980) return 0;
  const uint32_t year = static_cast<uint32_t>(std::min(t.year - 1980, 127));
  return year << 25 | static_cast<uint32_t>(t.month) << 21 | static_cast<uint32_t>(t.day) << 16 |
         static_cast<uint32_t>(t.hour) << 11 | static_cast<uint32_t>(t.minute) << 5 |
         static_cast<uint32_t>(t.second / 2);
}

std::string AttributeLetters(int attributes) {
  std::string out;
  if (attributes & kAttrReadOnly) out += 'R';
  if (attributes & kAttrHidden) out += 'H';
  if (attributes & kAttrSystem) out += 'S';
  if (attributes & kAttrArchive) out += 'A';
  return out;
}

std::string FileListing::SortKey(const FileListEntry& entry) const {
  switch (sortBy_) {
    case sbName: break;
    case sbType: {
      const char kind = Kind(entry.type);
      if (kind != 'E' && kind != 'F') break;
      std::string key = UpperAscii(Extension(platform::FileNamePart(entry.name)).substr(0, 11));
      key.resize(11, '0');
      return key;
    }
    case sbSize: return Digits(entry.size, 11);
    case sbDate: return Digits(entry.date, 11);
  }
  return std::string(11, '0');
}

FileListEntry FileListing::MakeEntry(char type, const std::string& name, const std::string& shown, int icon,
                                     int attributes, uint32_t date, int64_t size) const {
  FileListEntry entry;
  entry.type = Kind(type);
  entry.name = name;
  entry.shown = shown;
  entry.icon = icon;
  entry.attributes = attributes;
  entry.date = date;
  entry.size = size;
  entry.sortKey = SortKey(entry);
  entry.MakeText();
  return entry;
}

char FileListing::Kind(char type) const {
  if (listOrder == flInverted && (type == 'B' || type == 'F')) return type == 'B' ? 'F' : 'B';
  return type;
}

char FileListing::TypeOf(int i) const {
  if (i < 0 || i >= Count()) return 0;
  return Kind(entries_[static_cast<size_t>(i)].type);
}

std::string FileListing::PathOf(int i) const {
  switch (TypeOf(i)) {
    case 'B': return entries_[static_cast<size_t>(i)].name;
    case 'C': return "/";
    case 'D': return platform::DirectoryPart(directory_);
    case 'E':
    case 'F': {
      const std::string& name = entries_[static_cast<size_t>(i)].name;
      return !name.empty() && name.front() == '/' ? name : platform::JoinPath(directory_, name);
    }
    default: return {};
  }
}

int FileListing::NextStartingWith(char c, int from) const {
  const int n = Count();
  for (int step = 1; step <= n; ++step) {
    const int i = ((from < 0 ? -1 : from) + step) % n;
    const std::string& shown = entries_[static_cast<size_t>(i)].shown;
    if (!shown.empty() && FoldAscii(shown.front()) == FoldAscii(c)) return i;
  }
  return -1;
}

int FileListing::Enter(const std::string& target, std::string& entered) {
  const std::string base = directory_.empty() ? platform::CurrentDirectory() : directory_;
  if (target.empty()) entered = base;
  else if (target == "/") entered = "/";
  else if (target == "..") entered = platform::DirectoryPart(base);
  else entered = platform::CleanPath(target.front() == '/' ? target : platform::JoinPath(base, target));
  if (entered.empty()) entered = "/";
  const bool named = !target.empty() && target != ".." && target != "/";
  if (named && !showSystemFiles && platform::FileNamePart(entered).starts_with('.')) return kListingPathNotFound;
  platform::FileInfo info;
  const int code = platform::StatFile(entered, info);
  if (code == 2 || code == 3 || (code == 0 && !info.isDirectory)) return kListingPathNotFound;
  return code;
}

int FileListing::Add(FileListEntry entry, const std::string& directory) {
  int code = 0;
  bool accept = true;
  if (hooks_.addFile) hooks_.addFile(entry, code, accept, directory);
  if (accept) entries_.push_back(std::move(entry));
  return code;
}

int FileListing::List(const std::string& target) {
  entries_.clear();
  leftIndex_ = -1;
  listCount_ = 0;
  listSize_ = 0;
  const std::string left = directory_;

  std::string path;
  std::vector<platform::FileInfo> found;
  int enterCode = Enter(target, path);
  // A directory that cannot be read cannot be entered either.
  if (enterCode == 0 && searchMode == smNormal) enterCode = ReadDirectory(path, found);
  int listCode = 0;
  if (enterCode != 0) {
    path = directory_.empty() ? platform::CurrentDirectory() : directory_;
    if (searchMode == smNormal) listCode = ReadDirectory(path, found);
  }
  directory_ = path;

  if (listDetails & ldNewFile) entries_.push_back(MakeEntry('A', "", "NEW", kIconFile, 0, 0, 0));
  if (listDetails & ldDrives) {
    for (const Volume& volume : hooks_.volumes ? hooks_.volumes() : MountedVolumes()) {
      std::string shown = volume.root;
      if (!volume.label.empty() && volume.kind != kIconRemovable && volume.kind != kIconCdRom)
        shown += " [" + volume.label + "]";
      entries_.push_back(MakeEntry('B', volume.root, ShownName(shown, textCase), volume.kind, 0, 0, 0));
    }
  }
  if ((listDetails & ldSystemDirectories) && !IsRoot(directory_)) {
    entries_.push_back(MakeEntry('C', "/", "/", kIconRoot, kAttrDirectory, 0, 0));
    entries_.push_back(MakeEntry('D', "..", "..", kIconParent, kAttrDirectory, 0, 0));
  }
  if (hooks_.searchBegin) hooks_.searchBegin();
  if (listCode == 0) {
    if (searchMode == smNormal) {
      const std::vector<std::string> patterns = SplitMask(fileMask);
      if (listDetails & ldDirectories) {
        for (const platform::FileInfo& info : found) {
          if (listCode != 0) break;
          if (!info.isDirectory || (info.hidden && !showSystemFiles)) continue;
          listCode = Add(MakeEntry('E', info.name, ShownName(info.name, textCase),
                                   info.hidden ? kIconHiddenDirectory : kIconDirectory, AttributesOf(info),
                                   PackedDate(info.modifiedNs), 0),
                         directory_);
        }
      }
      if (listDetails & ldFiles) {
        for (const std::string& pattern : patterns) {
          for (const platform::FileInfo& info : found) {
            if (listCode != 0) break;
            if (info.isDirectory || (info.hidden && !showSystemFiles)) continue;
            if (!platform::MatchesDosPattern(info.name, pattern)) continue;
            listCode = Add(MakeEntry('F', info.name, ShownName(info.name, textCase), FileIconOf(info.name, info.hidden),
                                     AttributesOf(info), PackedDate(info.modifiedNs), info.size),
                           directory_);
          }
        }
      }
    } else if (listDetails & ldFiles) {
      listCode = Search(directory_);
    }
  }
  if (hooks_.searchEnd) hooks_.searchEnd();
  Sort();
  // What is listed counts, a file that two patterns matched once.
  listCount_ = 0;
  listSize_ = 0;
  for (int i = 0; i < Count(); ++i) {
    if (TypeOf(i) != 'E' && TypeOf(i) != 'F') continue;
    ++listCount_;
    listSize_ += entries_[static_cast<size_t>(i)].size;
  }

  // Gone up (by "..", "/" or a name): the directory left is selected, by
  // the first part of its path below the one listed.
  const std::string below = IsRoot(directory_) ? directory_ : directory_ + "/";
  if (enterCode == 0 && left.size() > below.size() && left.compare(0, below.size(), below) == 0) {
    const std::string rest = left.substr(below.size());
    const std::string name = rest.substr(0, rest.find('/'));
    const std::string shown = ShownName(name, textCase);
    for (int i = 0; i < Count(); ++i) {
      if (TypeOf(i) == 'E' && entries_[static_cast<size_t>(i)].shown == shown) {
        leftIndex_ = i;
        break;
      }
    }
  }
  lastError_ = enterCode != 0 ? enterCode : listCode;
  return lastError_;
}

int FileListing::Search(const std::string& root) {
  platform::FileInfo rootInfo;
  if (const int code = platform::StatFile(root, rootInfo); code != 0) return code;
  const std::vector<std::string> patterns = SplitMask(fileMask);
  std::vector<std::string> pending{root};
  std::vector<platform::FileInfo> found;
  while (!pending.empty()) {
    const std::string directory = std::move(pending.back());
    pending.pop_back();
    if (const int code = ReadDirectory(directory, found); code != 0) {
      // A folder of the drive that cannot be read is passed over; only the
      // place the search starts from must be readable.
      if (directory == root) return code;
      continue;
    }
    for (const std::string& pattern : patterns) {
      for (const platform::FileInfo& info : found) {
        if (info.isDirectory || (info.hidden && !showSystemFiles)) continue;
        if (!platform::MatchesDosPattern(info.name, pattern)) continue;
        const std::string path = platform::JoinPath(directory, info.name);
        if (const int code = Add(MakeEntry('F', path, ShownName(path, textCase), FileIconOf(info.name, info.hidden),
                                           AttributesOf(info), PackedDate(info.modifiedNs), info.size),
                                 directory);
            code != 0)
          return code;
      }
    }
    // Below, in name order: the last pushed is searched first.
    std::vector<std::string> below;
    for (const platform::FileInfo& info : found) {
      if (!info.isDirectory || info.isLink || info.device != rootInfo.device) continue;
      if (info.hidden && !showSystemFiles) continue;
      const std::string path = platform::JoinPath(directory, info.name);
      int code = 0;
      bool accept = true;
      if (hooks_.addFile) {
        const FileListEntry entry =
            MakeEntry('E', path, ShownName(path, textCase), kIconDirectory, AttributesOf(info), 0, 0);
        hooks_.addFile(entry, code, accept, directory);
      }
      if (code != 0) return code;
      if (accept) below.push_back(path);
    }
    std::sort(below.begin(), below.end(), std::greater<>());
    for (std::string& path : below) pending.push_back(std::move(path));
  }
  return 0;
}

void FileListing::Sort() {
  // The list sorts its texts without regard to case; a text equal to the
  // next (a file two patterns matched) is listed once.
  // The name ends at "|", before any character: "/" sorts before "/srv".
  auto less = [](const FileListEntry& a, const FileListEntry& b) {
    const size_t aEnd = 12 + a.shown.size(), bEnd = 12 + b.shown.size();
    const std::string_view aHead(a.text.data(), aEnd), bHead(b.text.data(), bEnd);
    auto folded = [](char x, char y) { return FoldAscii(x) < FoldAscii(y); };
    if (std::lexicographical_compare(aHead.begin(), aHead.end(), bHead.begin(), bHead.end(), folded)) return true;
    if (std::lexicographical_compare(bHead.begin(), bHead.end(), aHead.begin(), aHead.end(), folded)) return false;
    return a.text.compare(aEnd, std::string::npos, b.text, bEnd, std::string::npos) < 0;
  };
  std::stable_sort(entries_.begin(), entries_.end(), less);
  entries_.erase(std::unique(entries_.begin(), entries_.end(),
                             [](const FileListEntry& a, const FileListEntry& b) {
                               return a.text == b.text && a.name == b.name;
                             }),
                 entries_.end());
}

void FileListing::SetSortBy(TFileListSortTypes sortBy) {
  sortBy_ = sortBy;
  for (FileListEntry& entry : entries_) {
    entry.sortKey = SortKey(entry);
    entry.MakeText();
  }
  Sort();
}

int FileListing::TryLocation(const std::string& mask, const std::string& directory) {
  const std::string oldMask = fileMask;
  if (UpperAscii(mask) != UpperAscii(fileMask)) fileMask = mask;
  // Names differ in their case here: "/srv/Mail" and "/srv/mail" are two
  // directories.
  const int code = List(directory != directory_ ? directory : std::string());
  if (code == 0) return 0;
  fileMask = oldMask;
  List(std::string());
  return code;
}

}  // namespace shell
