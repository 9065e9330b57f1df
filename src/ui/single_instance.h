#pragma once

// One window per user: the first start listens on a local socket; a later start hands its file
// or folder to it and ends, so that two windows never write the same ini file over each other.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace penmorph {

class SingleInstance : public QObject {
 public:
  // `name` tells users apart (one socket each).
  explicit SingleInstance(QString name);

  // Hands `path` (empty: nothing to open, only to be raised) to a running window; true when one
  // took it.
  bool HandOver(const QString& path) const;
  // Becomes the one window: each later start's path goes to `received`. False when the socket
  // cannot be made (the window then runs on its own, as before).
  bool Listen(std::function<void(const QString&)> received);

  // The socket's name for this user.
  static QString DefaultName();

 private:
  QString name_;
  QLocalServer* server_ = nullptr;
};

}  // namespace penmorph
