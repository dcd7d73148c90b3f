// The file list's 28 icons, 16 x 14, drawn by the program itself: drives,
// the root and parent entries, folders, and files by their kind.
#pragma once

#include <QPixmap>

namespace widgets {

// Icon `number` (1 to 28, as the file list numbers them); a plain file's
// icon for any other number.
const QPixmap& FileIconPixmap(int number);

}  // namespace widgets
