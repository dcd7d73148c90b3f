// 8-bit text.  Everything the program stores is Windows-1252 bytes held in
// std::string; windows and terminals convert at their boundary with these.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Returns the UTF-8 form of Windows-1252 bytes.  Every byte has one (the five
// bytes the code page leaves undefined map to the C1 controls of the same
// value), so the conversion back gives the same bytes.
std::string Cp1252ToUtf8(std::string_view bytes);

// How stored (Windows-1252) text is shown on a terminal, whoever wrote it:
// as UTF-8, with no byte that could move the cursor, ring, or send the
// terminal a command (an escape sequence, a title change).  Every control
// character, C0, DEL and C1, is written out as "\xNN", except:
//  - kText (a message, an alert): line ends (CR LF, a lone CR, LF) become
//    "\n" and tabs stay;
//  - kLine (one line of a report): a line end becomes a blank, tabs stay;
//  - kField (a field of a listing, a name): "\t", "\r", "\n" and "\\" are
//    escaped too, so that one entry stays one line that a script can split.
enum class TerminalForm { kText, kLine, kField };
std::string ForTerminal(std::string_view stored, TerminalForm form);

// Returns the Windows-1252 form of UTF-8 text; a character with no form
// there, and any byte that is not valid UTF-8, becomes "?".
std::string Utf8ToCp1252(std::string_view utf8);

// Whether `bytes` are well-formed UTF-8.
bool IsUtf8(std::string_view bytes);

// File names.  The store's names are Windows-1252; on disk a name is in the
// system's encoding, UTF-8 (which is also how a Windows share mounted here
// shows the names Windows copies wrote).  DiskName gives the name to put on
// disk; StoredName reads one found there back (a name that is not UTF-8, as
// an old share may hold, is taken as Windows-1252 bytes).
inline std::string DiskName(std::string_view stored) { return Cp1252ToUtf8(stored); }
std::string StoredName(std::string_view onDisk);

// Utf8ToCp1252 as Windows converts text it reads from a Unicode profile
// file: a letter with no Windows-1252 form becomes its nearest plain letter
// ("Ł" is "L", "ą" is "a"); other characters without one become "?".
std::string Utf8ToCp1252BestFit(std::string_view utf8);

// UTF-16 (little- or big-endian, without its byte-order mark) to UTF-8 and
// back; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);

// Upper-cases as the system locale of a Western Windows does: a-z and the
// accented lower-case letters of Windows-1252 (but not the sharp s or the
// micro sign).
// Inline: name lookups upper-case every character of every name they
// compare.
inline char UpperAnsi(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
  if (b < 0x80) return c;
  if (b >= 0xE0 && b <= 0xFE && b != 0xF7) return static_cast<char>(b - 32);
  switch (b) {
    case 0x9A: return static_cast<char>(0x8A);  // s caron
    case 0x9C: return static_cast<char>(0x8C);  // oe
    case 0x9E: return static_cast<char>(0x8E);  // z caron
    case 0xFF: return static_cast<char>(0x9F);  // y diaeresis
    default: return c;
  }
}
std::string UpperAnsi(std::string_view text);

// Compares two texts without regard to letter case, as UpperAnsi sees it.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Takes the next line off the front of `rest`: CR, LF and CR LF each end a
// line.  Returns the line without its end; `ending` (when given) gets the
// end as it stood, empty for a last line without one.
std::string_view TakeLine(std::string_view& rest, std::string_view* ending = nullptr);

}  // namespace platform
