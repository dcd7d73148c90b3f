// One copy of the program per user's desktop session.
//
// The first copy listens on a local channel named for the user and the
// session; a second copy knocks there, which brings the first to the top,
// and ends.  The environment variable KVMAIL_INSTANCE may name another
// instance, so that tests running side by side do not meet.
#pragma once

#include <QObject>
#include <QString>

#include "platform/LocalChannel.h"

class QSocketNotifier;

namespace mainwindow {

class SingleCopy : public QObject {
  Q_OBJECT
 public:
  SingleCopy();

  // True when another copy runs; it has then been asked to come forward.
  bool AnotherCopyRuns();
  // Starts listening for later copies (call when AnotherCopyRuns is false).
  bool Listen();

  static QString InstanceName();

 signals:
  // A later copy asked this one to come to the top.
  void BringToFront();

 private:
  platform::LocalListener listener_;
  QSocketNotifier* knocks_ = nullptr;
};

}  // namespace mainwindow
