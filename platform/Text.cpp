#include "platform/Text.h"

#include <cstdint>

namespace platform {
namespace {

// Code points of the bytes 0x80 to 0x9F; the rest map to themselves.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

int ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == cp) return 0x80 + i;
  return '?';
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t{b});
  }
  return out;
}

namespace {

// Calls `each(code point)` for every character of UTF-8 text; a malformed
// sequence is one character U+FFFD.
template <class Each>
void ForEachCodePoint(std::string_view utf8, Each each) {
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra;
    char32_t cp;
    if (lead < 0x80) { extra = 0; cp = lead; }
    else if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; }
    else { each(char32_t{0xFFFD}); ++i; continue; }
    size_t j = 1;
    for (; j <= static_cast<size_t>(extra) && i + j < utf8.size(); ++j) {
      const auto next = static_cast<unsigned char>(utf8[i + j]);
      if ((next & 0xC0) != 0x80) break;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (j != static_cast<size_t>(extra) + 1) {  // a sequence cut short
      each(char32_t{0xFFFD});
      i += j;
      continue;
    }
    static constexpr char32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    each(cp < kSmallest[extra] ? char32_t{0xFFFD} : cp);
    i += j;
  }
}

// The plain letter Windows puts for a letter of U+0100 to U+017F that
// Windows-1252 lacks; "?" where it has none (the ones Windows-1252 has are
// never looked up).
constexpr char kLatinExtendedA[] =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOoOo??RrRrRrSsSsSs??TtTtTtUuUuUuUuUuUuWwYy?ZzZz???";

}  // namespace

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  ForEachCodePoint(utf8, [&out](char32_t cp) { out += static_cast<char>(ByteOf(cp)); });
  return out;
}

std::string Utf8ToCp1252BestFit(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  ForEachCodePoint(utf8, [&out](char32_t cp) {
    int byte = ByteOf(cp);
    if (byte == '?' && cp != '?' && cp >= 0x100 && cp < 0x180) byte = kLatinExtendedA[cp - 0x100];
    out += static_cast<char>(byte);
  });
  return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](size_t at) -> char32_t {
    const auto a = static_cast<unsigned char>(bytes[at]), b = static_cast<unsigned char>(bytes[at + 1]);
    return bigEndian ? (char32_t{a} << 8) | b : (char32_t{b} << 8) | a;
  };
  for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
    char32_t cp = unit(at);
    if (cp >= 0xD800 && cp < 0xDC00 && at + 3 < bytes.size() && unit(at + 2) >= 0xDC00 && unit(at + 2) < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
      at += 2;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian) {
  std::string out;
  out.reserve(utf8.size() * 2);
  auto put = [&](char32_t u) {
    const char hi = static_cast<char>((u >> 8) & 0xFF), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  };
  ForEachCodePoint(utf8, [&](char32_t cp) {
    if (cp < 0x10000) {
      put(cp);
    } else {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  });
  return out;
}

bool IsUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t extra;
    if (lead < 0x80) extra = 0;
    else if (lead >= 0xC2 && lead <= 0xDF) extra = 1;
    else if ((lead & 0xF0) == 0xE0) extra = 2;
    else if (lead >= 0xF0 && lead <= 0xF4) extra = 3;
    else return false;
    if (i + extra >= bytes.size() && extra > 0) return false;
    for (size_t j = 1; j <= extra; ++j)
      if ((static_cast<unsigned char>(bytes[i + j]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

std::string StoredName(std::string_view onDisk) {
  return IsUtf8(onDisk) ? Utf8ToCp1252(onDisk) : std::string(onDisk);
}

std::string UpperAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAnsi(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAnsi(a[i]) != UpperAnsi(b[i])) return false;
  return true;
}

std::string_view TakeLine(std::string_view& rest, std::string_view* ending) {
  const size_t end = rest.find_first_of("\r\n");
  if (end == std::string_view::npos) {
    const std::string_view line = rest;
    rest = {};
    if (ending) *ending = {};
    return line;
  }
  const size_t endingSize = (rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n') ? 2 : 1;
  const std::string_view line = rest.substr(0, end);
  if (ending) *ending = rest.substr(end, endingSize);
  rest.remove_prefix(end + endingSize);
  return line;
}

std::string ForTerminal(std::string_view stored, TerminalForm form) {
  std::string escaped;
  escaped.reserve(stored.size());
  auto hex = [&escaped](unsigned char b) {
    static const char kDigits[] = "0123456789ABCDEF";
    escaped += "\\x";
    escaped += kDigits[b >> 4];
    escaped += kDigits[b & 0xF];
  };
  for (size_t i = 0; i < stored.size(); ++i) {
    const auto b = static_cast<unsigned char>(stored[i]);
    const bool lineEnd = b == '\r' || b == '\n';
    if (form == TerminalForm::kField) {
      switch (b) {
        case '\t': escaped += "\\t"; continue;
        case '\r': escaped += "\\r"; continue;
        case '\n': escaped += "\\n"; continue;
        case '\\': escaped += "\\\\"; continue;
        default: break;
      }
    } else if (lineEnd) {
      if (b == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n') ++i;
      escaped += form == TerminalForm::kText ? '\n' : ' ';
      continue;
    } else if (b == '\t') {
      escaped += '\t';
      continue;
    }
    // C0 controls and DEL; the five bytes Windows-1252 leaves undefined
    // would become C1 controls.
    if (b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) {
      hex(b);
      continue;
    }
    escaped += static_cast<char>(b);
  }
  return Cp1252ToUtf8(escaped);
}

}  // namespace platform
