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
// What a font dialog's choice makes of `before`.  The dialog shows
// `before` as `shown`: a family the machine only substitutes as the one it
// stands for, a style as the nearest the family has.  So only what differs
// between `shown` and `chosen` is the user's change; OK with nothing changed
// keeps `before` whole, its family name too.
QFont FontAfterChoice(const QFont& before, const QFont& shown, const QFont& chosen);
// How far apart tab stops `spaces` wide are in `font`.
double TabDistance(const QFont& font, int spaces);

}  // namespace widgets
