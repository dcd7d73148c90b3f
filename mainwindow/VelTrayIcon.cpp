#include "mainwindow/VelTrayIcon.h"

#include <QCursor>
#include <QSystemTrayIcon>

namespace mainwindow {

namespace {

class QtTrayHost : public TrayHost {
 public:
  QtTrayHost() {
    QObject::connect(&icon_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
      switch (reason) {
        case QSystemTrayIcon::Trigger:
          if (clicked) clicked();
          break;
        case QSystemTrayIcon::DoubleClick:
          if (doubleClicked) doubleClicked();
          break;
        case QSystemTrayIcon::Context:
          if (rightClicked) rightClicked(QCursor::pos());
          break;
        default: break;
      }
    });
  }
  bool Available() const override { return QSystemTrayIcon::isSystemTrayAvailable(); }
  bool Add(const QIcon& icon, const QString& tip) override {
    if (!Available()) return false;
    icon_.setIcon(icon);
    icon_.setToolTip(tip);
    icon_.show();
    return icon_.isVisible();
  }
  bool Modify(const QIcon& icon, const QString& tip) override {
    icon_.setIcon(icon);
    icon_.setToolTip(tip);
    return true;
  }
  bool Remove() override {
    icon_.hide();
    return true;
  }

 private:
  QSystemTrayIcon icon_;
};

}  // namespace

std::unique_ptr<TrayHost> SystemTrayHost() { return std::make_unique<QtTrayHost>(); }

TVelTrayIcon::TVelTrayIcon(std::unique_ptr<TrayHost> host, QObject* parent)
    : QObject(parent), host_(std::move(host)) {
  host_->clicked = [this] { emit Click(); };
  host_->doubleClicked = [this] { emit DblClick(); };
  host_->rightClicked = [this](const QPoint& at) { emit RightClick(at); };
}

TVelTrayIcon::~TVelTrayIcon() {
  if (active_) host_->Remove();
}

void TVelTrayIcon::SetActive(bool active) {
  if (active == active_) return;
  if (active ? host_->Add(icon_, tip_) : host_->Remove()) active_ = active;
}

void TVelTrayIcon::SetIcon(const QIcon& icon, const QString& key) {
  if (key == iconKey_) return;
  iconKey_ = key;
  icon_ = icon;
  Update();
}

void TVelTrayIcon::SetToolTip(const QString& tip) {
  const QString cut = tip.left(kLongestTip);
  if (cut == tip_) return;
  tip_ = cut;
  Update();
}

void TVelTrayIcon::SetTaskIconID(int id) {
  if (id == id_) return;
  id_ = id;
  Update();
}

void TVelTrayIcon::Update() {
  if (active_) host_->Modify(icon_, tip_);
}

}  // namespace mainwindow
