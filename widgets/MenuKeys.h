// Alt and a letter in a window with a menu bar.
#pragma once

class QMenuBar;

namespace widgets {

// Alt and the underlined letter of a menu's title opens that menu, as on
// the desktop's own windows, even where a control's caption underlines
// the same letter (the send window's "Send Text &File" beside "&File").
// Controls made later are covered too.
void GiveMenusTheirKeys(QMenuBar* bar);

}  // namespace widgets
