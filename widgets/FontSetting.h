// A font as the settings keep it (name, points, style bits) and as Qt
// draws with it.
#pragma once

#include <QFont>

#include "shell/Preferences.h"

namespace widgets {

// A font given in pixels counts 96 pixels to the inch.
shell::FontSetting FontSettingOf(const QFont& font);
// A size of 0 or less keeps Qt's default size.
QFont FontOf(const shell::FontSetting& setting);
// How far apart tab stops `spaces` wide are in `font`.
double TabDistance(const QFont& font, int spaces);

}  // namespace widgets
