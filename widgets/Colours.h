// Colours as the settings store them: 0x00BBGGRR, or with the top bit set a
// system colour by its index in the low byte.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>

#include "shell/Preferences.h"

namespace widgets {

// The colour a stored value stands for, system colours taken from `palette`.
QColor ColourFromSetting(int32_t value, const QPalette& palette);

}  // namespace widgets
