// One workbench per user: the first start listens on a local socket whose
// name carries the user's id (in the user's runtime folder); a later start
// hands its command line to it and ends.
#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QLocalServer;

// The name of the user's instance socket.
QString InstanceSocketName();

// Sends `commandLine` (with its terminating NUL) to a running instance.
// True when one was running and took it (even an empty line: the running
// instance then only comes to the front).
bool HandOverToRunningInstance(const std::string& commandLine, int timeoutMs = 2000);

// The running instance's end: every command line received is passed to the
// receiver on the user-interface thread. Lines that arrive before a receiver
// is set are kept and delivered when it is.
class InstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit InstanceServer(QObject* parent = nullptr);
  ~InstanceServer() override;
  // Starts listening; false when the socket cannot be made.
  bool Listen();
  void SetReceiver(std::function<void(const std::string&)> receiver);

 private:
  void OnNewConnection();
  void Deliver(const std::string& line);

  std::unique_ptr<QLocalServer> server_;
  std::function<void(const std::string&)> receiver_;
  std::vector<std::string> waiting_;
};
