#include "widgets/Colours.h"

namespace widgets {

QColor ColourFromSetting(int32_t value, const QPalette& palette) {
  const auto bits = static_cast<uint32_t>(value);
  if ((bits & 0x80000000u) == 0) return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
  switch (bits & 0xFF) {
    case shell::kColourWindow: return palette.color(QPalette::Active, QPalette::Base);
    case shell::kColourWindowText: return palette.color(QPalette::Active, QPalette::Text);
    case shell::kColourHighlight: return palette.color(QPalette::Active, QPalette::Highlight);
    case shell::kColourHighlightText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case shell::kColourGrayText: return palette.color(QPalette::Disabled, QPalette::Text);
    default: return palette.color(QPalette::Active, QPalette::Window);
  }
}

}  // namespace widgets
