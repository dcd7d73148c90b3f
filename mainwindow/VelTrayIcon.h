// The program's icon in the notification area: its picture, its tip and
// the user's clicks on it.  The notification area itself is behind a small
// interface (the system's tray through QSystemTrayIcon; tests use their
// own) that says whether each add, change or removal was taken.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>

class QSystemTrayIcon;

namespace mainwindow {

class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // Whether the desktop has a notification area now.
  virtual bool Available() const = 0;
  // Each returns whether the notification area took it.
  virtual bool Add(const QIcon& icon, const QString& tip) = 0;
  virtual bool Modify(const QIcon& icon, const QString& tip) = 0;
  virtual bool Remove() = 0;

  // The clicks the notification area reports.
  std::function<void()> clicked, doubleClicked;
  std::function<void(const QPoint& screen)> rightClicked;
};

// The system's notification area.
std::unique_ptr<TrayHost> SystemTrayHost();

class TVelTrayIcon : public QObject {
  Q_OBJECT
 public:
  static constexpr int kLongestTip = 63;

  explicit TVelTrayIcon(std::unique_ptr<TrayHost> host, QObject* parent = nullptr);
  ~TVelTrayIcon() override;

  bool Active() const { return active_; }
  // Shows or removes the icon; stays as it was when the notification area
  // refuses.
  void SetActive(bool active);
  const QIcon& Icon() const { return icon_; }
  // Which picture the icon shows.
  const QString& IconName() const { return iconKey_; }
  // Sets the picture `name`; the same name again touches nothing.
  void SetIcon(const QIcon& icon, const QString& name);
  const QString& ToolTip() const { return tip_; }
  // Cut to 63 characters.
  void SetToolTip(const QString& tip);
  int TaskIconID() const { return id_; }
  void SetTaskIconID(int id);
  TrayHost& Host() { return *host_; }

 signals:
  void Click();
  void DblClick();
  void RightClick(const QPoint& screen);

 private:
  void Update();

  std::unique_ptr<TrayHost> host_;
  bool active_ = false;
  QIcon icon_;
  QString iconKey_;  // which picture the icon is, to compare
  QString tip_;
  int id_ = 0;
};

}  // namespace mainwindow
