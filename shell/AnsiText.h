// The boundary between the stored Windows-1252 texts and Qt's strings: one
// converter, the platform's.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/Text.h"

namespace shell {

inline QString FromAnsi(std::string_view bytes) { return QString::fromStdString(platform::Cp1252ToUtf8(bytes)); }
inline std::string ToAnsi(const QString& text) { return platform::Utf8ToCp1252(text.toStdString()); }

// The upper case of a typed text as the system locale of the stored texts
// sees it; characters the code page lacks stay as they were typed.
inline QString UpperTyped(const QString& typed) {
  QString out;
  for (const QChar c : typed) {
    const std::string ansi = ToAnsi(QString(c));
    out += (ansi == "?" && c != '?') ? c : FromAnsi(platform::UpperAnsi(ansi));
  }
  return out;
}

}  // namespace shell
