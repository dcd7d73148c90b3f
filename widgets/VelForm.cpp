#include "widgets/VelForm.h"

#include <QGuiApplication>
#include <QScreen>

#include "widgets/Resources.h"

namespace widgets {

long long ScreenColourCount(int bitsPerPixel) {
  if (bitsPerPixel > 8) return 16777216;
  return 1LL << std::max(0, bitsPerPixel);
}

bool HasSharedPalette() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr && ScreenColourCount(screen->depth()) <= 256;
}

void CentreOnScreen(QWidget* window) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    window->move(screen->availableGeometry().center() - QPoint(window->width() / 2, window->height() / 2));
}

shell::Placement PlacementOf(const QWidget& window) {
  // The corner of the frame, where Place moves a window, and the size of
  // the inside, which Place sets: a window placed as another was left opens
  // exactly there, not a title bar lower at each start.
  return {window.x(), window.y(), window.width(), window.height()};
}

shell::Placement ScreenOf(const QWidget& window) {
  const QScreen* s = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  const QRect area = s ? s->geometry() : QRect(0, 0, 1024, 768);
  return {0, 0, area.width(), area.height()};
}

void Place(QWidget& window, const shell::Placement& placement) {
  window.move(placement.left, placement.top);
  window.resize(placement.width, placement.height);
}

TVelForm::TVelForm(QWidget* parent) : QDialog(parent) {
  setWindowIcon(ProgramIcon());
  // A fixed dialog border with only the system menu, as the program's
  // forms have: without the customizing hint the desktop adds minimise
  // and maximise buttons.
  setWindowFlags(kFixedDialogFlags);
}

}  // namespace widgets
