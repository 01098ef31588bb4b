#include "vistram/shell/gui/single_instance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vistram/base/temp_files.h"

namespace {
// A hand-over is a command line: at most a path and the editor marker.
constexpr qint64 kMaxHandOver = 4096;
// What the running workbench answers once it has taken a line; anything
// else comes from some other program.
constexpr char kTaken[] = "vistram: taken\n";
constexpr qsizetype kTakenSize = sizeof kTaken - 1;

// The user id of the process at the other end of a local socket.
bool PeerIsUs(qintptr fd) {
  ucred cred{};
  socklen_t size = sizeof cred;
  return ::getsockopt(static_cast<int>(fd), SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && cred.uid == ::getuid();
}
}  // namespace

QString InstanceFolder() {
  QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
  if (folder.isEmpty()) {
    // No runtime folder: a private one of our own in the temporary folder,
    // which other users cannot take or enter.
    folder = QByteArray::fromStdString(TemporaryFolder()) + "/vistram-" +
             QByteArray::number(static_cast<qulonglong>(::getuid()));
    if (!EnsurePrivateFolder(folder.toStdString())) return {};
  }
  if (!IsPrivateFolder(folder.toStdString())) return {};
  return QString::fromLocal8Bit(folder);
}

QString InstanceSocketName() {
  const QString folder = InstanceFolder();
  if (folder.isEmpty()) return {};
  return QDir(folder).filePath(QString("vistram-%1").arg(static_cast<qulonglong>(::getuid())));
}

HandOverResult HandOverToRunningInstance(const std::string& commandLine, int timeoutMs, int patienceMs) {
  const QString name = InstanceSocketName();
  if (name.isEmpty()) return HandOverResult::NoInstance;
  QLocalSocket socket;
  socket.connectToServer(name);
  if (!socket.waitForConnected(timeoutMs)) return HandOverResult::NoInstance;
  // The command line names a file of the user's: only their own workbench
  // may have it.
  if (!PeerIsUs(socket.socketDescriptor())) return HandOverResult::NoInstance;
  QByteArray data = QByteArray::fromStdString(commandLine);
  data.append('\0');
  socket.write(data);
  if (!socket.waitForBytesWritten(timeoutMs)) return HandOverResult::Busy;
  // The running instance answers once it has taken the line; while one of
  // its dialogs keeps it busy, the line waits in the socket.
  QByteArray reply;
  QElapsedTimer clock;
  clock.start();
  bool told = false;
  while (reply.size() < kTakenSize) {
    if (!told && clock.elapsed() >= timeoutMs) {
      std::fprintf(stderr, "vistram: a workbench is already running; it takes the file as soon as it is free.\n");
      told = true;
    }
    if (clock.elapsed() >= patienceMs) return HandOverResult::Busy;
    if (socket.waitForReadyRead(200)) {
      reply += socket.read(kTakenSize - reply.size());
    } else if (socket.state() != QLocalSocket::ConnectedState) {
      break;
    }
    if (!QByteArray(kTaken).startsWith(reply)) break;
  }
  socket.disconnectFromServer();
  return reply == kTaken ? HandOverResult::Done : HandOverResult::NoInstance;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server_(std::make_unique<QLocalServer>()) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_.get(), &QLocalServer::newConnection, this, &InstanceServer::OnNewConnection);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::Listen() {
  const QString name = InstanceSocketName();
  if (name.isEmpty()) return false;
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
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!PeerIsUs(socket->socketDescriptor())) {
      socket->abort();
      continue;
    }
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
      buffer->append(socket->readAll());
      const qsizetype end = buffer->indexOf('\0');
      if (end < 0) {
        if (buffer->size() > kMaxHandOver) socket->abort();
        return;
      }
      const std::string line = buffer->left(end).toStdString();
      buffer->clear();
      socket->write(kTaken, kTakenSize);
      socket->flush();
      Deliver(line);
    });
  }
}
