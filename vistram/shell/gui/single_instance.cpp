#include "vistram/shell/gui/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace {
// A hand-over is a command line: at most a path and the editor marker.
constexpr qint64 kMaxHandOver = 4096;
}

QString InstanceSocketName() {
  const QString base = QString("vistram-%1").arg(static_cast<qulonglong>(::getuid()));
  // The user's own runtime folder keeps other users away from the socket.
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (!runtime.isEmpty()) return QDir(runtime).filePath(base);
  return base;
}

bool HandOverToRunningInstance(const std::string& commandLine, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(InstanceSocketName());
  if (!socket.waitForConnected(timeoutMs)) return false;
  QByteArray data = QByteArray::fromStdString(commandLine);
  data.append('\0');
  socket.write(data);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The running instance answers once it has taken the line.
  if (!socket.waitForReadyRead(timeoutMs)) return false;
  socket.disconnectFromServer();
  return true;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server_(std::make_unique<QLocalServer>()) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_.get(), &QLocalServer::newConnection, this, &InstanceServer::OnNewConnection);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::Listen() {
  const QString name = InstanceSocketName();
  if (server_->listen(name)) return true;
  // A socket left by an instance that did not end cleanly: nobody answers on it.
  QLocalSocket probe;
  probe.connectToServer(name);
  if (probe.waitForConnected(500)) return false;
  QLocalServer::removeServer(name);
  return server_->listen(name);
}

void InstanceServer::SetReceiver(std::function<void(const std::string&)> receiver) {
  receiver_ = std::move(receiver);
  std::vector<std::string> lines;
  lines.swap(waiting_);
  for (const std::string& l : lines) Deliver(l);
}

void InstanceServer::Deliver(const std::string& line) {
  if (receiver_)
    receiver_(line);
  else
    waiting_.push_back(line);
}

void InstanceServer::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
      buffer->append(socket->readAll());
      const qsizetype end = buffer->indexOf('\0');
      if (end < 0) {
        if (buffer->size() > kMaxHandOver) socket->abort();
        return;
      }
      const std::string line = buffer->left(end).toStdString();
      buffer->clear();
      socket->write("1", 1);
      socket->flush();
      Deliver(line);
    });
  }
}
