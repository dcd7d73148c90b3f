// Colours as the settings store them: 0x00BBGGRR, or with the top bit set a
// system colour by its index in the low byte.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace widgets {

// System colour indexes the program uses.
inline constexpr int kColourWindow = 5;
inline constexpr int kColourWindowText = 8;
inline constexpr int kColourHighlight = 13;
inline constexpr int kColourHighlightText = 14;
inline constexpr int kColourGrayText = 17;

// The colour a stored value stands for, system colours taken from `palette`.
QColor ColourFromSetting(int32_t value, const QPalette& palette);

}  // namespace widgets
