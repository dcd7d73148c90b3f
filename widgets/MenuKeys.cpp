#include "widgets/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QShortcutEvent>

namespace widgets {
namespace {

// Sends a control's mnemonic that is also a menu's to the menu.  The
// toolkit finds both and hands the key to one of them, so the control's
// share is taken back here.
class MenuKeys : public QObject {
 public:
  explicit MenuKeys(QMenuBar* bar) : QObject(bar), bar_(bar) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Shortcut || watched == bar_ || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != bar_->window()) return false;
    const QKeySequence key = static_cast<QShortcutEvent*>(event)->key();
    for (QAction* menu : bar_->actions()) {
      if (menu->isVisible() && menu->isEnabled() && QKeySequence::mnemonic(menu->text()) == key) {
        bar_->setActiveAction(menu);
        return true;
      }
    }
    return false;
  }

 private:
  QMenuBar* bar_;
};

}  // namespace

void GiveMenusTheirKeys(QMenuBar* bar) { qApp->installEventFilter(new MenuKeys(bar)); }

}  // namespace widgets
