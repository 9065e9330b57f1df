#include "ui/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace penmorph {

namespace {

constexpr int kWaitMs = 1000;

}  // namespace

SingleInstance::SingleInstance(QString name) : name_(std::move(name)) {}

QString SingleInstance::DefaultName() {
  // The home folder names the user on every platform Qt runs on.
  return QStringLiteral("penmorph-") + QString::number(qHash(QDir::homePath()), 16);
}

bool SingleInstance::HandOver(const QString& path) const {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(kWaitMs)) {
    return false;
  }
  socket.write(path.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(kWaitMs)) {
    return false;
  }
  // The first window answers once it has the path, so that this start ends only then.
  return socket.waitForReadyRead(kWaitMs) && socket.readAll().startsWith("ok");
}

bool SingleInstance::Listen(std::function<void(const QString&)> received) {
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) {
    // A socket left by a window that ended without closing it.
    QLocalServer::removeServer(name_);
    if (!server_->listen(name_)) {
      return false;
    }
  }
  connect(server_, &QLocalServer::newConnection, this, [this, received = std::move(received)] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [socket, received] {
        if (!socket->canReadLine()) {
          return;
        }
        const QString path = QString::fromUtf8(socket->readLine()).trimmed();
        socket->write("ok");
        socket->flush();
        received(path);
      });
    }
  });
  return true;
}

}  // namespace penmorph
