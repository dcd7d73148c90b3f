#include "mainwindow/SingleCopy.h"

#include <QLocalSocket>

#include "platform/Environment.h"

namespace mainwindow {

SingleCopy::SingleCopy() {
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
      socket->deleteLater();
      emit BringToFront();
    }
  });
}

QString SingleCopy::InstanceName() {
  const std::string chosen = platform::GetEnv("KVMAIL_INSTANCE");
  if (!chosen.empty()) return "kvmail-" + QString::fromStdString(chosen);
  std::string session = platform::GetEnv("XDG_SESSION_ID");
  if (session.empty()) session = platform::GetEnv("DISPLAY");
  QString name = "kvmail-" + QString::fromStdString(platform::LoginName() + "-" + session);
  name.replace('/', '_');
  return name;
}

bool SingleCopy::AnotherCopyRuns() {
  QLocalSocket socket;
  socket.connectToServer(InstanceName());
  if (!socket.waitForConnected(1000)) return false;
  socket.write("front\n");
  socket.waitForBytesWritten(1000);
  socket.disconnectFromServer();
  return true;
}

bool SingleCopy::Listen() {
  QLocalServer::removeServer(InstanceName());  // left behind by a copy that crashed
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  return server_.listen(InstanceName());
}

}  // namespace mainwindow
