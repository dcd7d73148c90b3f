// The base of every form of the program: a dialog-style top-level window.
//
// Screens of 256 colours or fewer once needed a shared palette realized by
// every form; the colour count comes from the screen depth, and current
// screens have more, so there is no palette and the forms answer "no".
#pragma once

#include <QDialog>

#include "shell/Preferences.h"

namespace widgets {

// The number of colours of a screen of `bitsPerPixel` (times the planes):
// 2 to that power, or 16,777,216 above 8 bits.
long long ScreenColourCount(int bitsPerPixel);

// True when the screen of the application has a shared palette (256 colours
// or fewer).
bool HasSharedPalette();

// Puts a window in the middle of the screen.
void CentreOnScreen(QWidget* window);

// Where a window is, and the size of the screen it is on, as the stored
// window positions take them.
shell::Placement PlacementOf(const QWidget& window);
shell::Placement ScreenOf(const QWidget& window);
// Moves and sizes a window to a stored placement.
void Place(QWidget& window, const shell::Placement& placement);

// A control of a form with its name, at its place.
template <typename T>
T* Placed(T* control, const char* name, const QRect& geometry) {
  control->setObjectName(name);
  control->setGeometry(geometry);
  return control;
}

// The title bar of a form: a fixed-size one has only the system menu and
// the close button; one the user can size may also be maximised.
inline constexpr Qt::WindowFlags kFixedDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                     Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                                     Qt::MSWindowsFixedSizeDialogHint;
inline constexpr Qt::WindowFlags kSizableDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                       Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                                                       Qt::WindowCloseButtonHint;

class TVelForm : public QDialog {
  Q_OBJECT
 public:
  explicit TVelForm(QWidget* parent = nullptr);

  // Realizes the shared palette; false when there is none.
  bool RealizePalette() const { return HasSharedPalette(); }
};

}  // namespace widgets
