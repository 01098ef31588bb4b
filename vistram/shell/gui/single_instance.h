// One workbench per user: the first start listens on a local socket whose
// name carries the user's id, in the user's runtime folder (or, without one,
// a private folder /tmp/vistram-UID of mode 0700); a later start hands its
// command line to it and ends. Both ends check that the other runs as the
// same user, and the running one answers with an exact reply.
#pragma once
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

class QLocalServer;

// The folder of the user's instance socket; empty when no folder that is the
// user's alone can be had.
QString InstanceFolder();
// The name of the user's instance socket; empty as above.
QString InstanceSocketName();

enum class HandOverResult {
  NoInstance,  // no workbench of the user's answers: this start opens one
  Done,        // the running workbench took the command line
  Busy,        // a workbench runs but took nothing within `patienceMs`
};
// Sends `commandLine` (with its terminating NUL) to a running instance. Done
// when one was running and took it (even an empty line: the running instance
// then only comes to the front). After `timeoutMs` without an answer it says
// on standard error that it waits, up to `patienceMs`.
HandOverResult HandOverToRunningInstance(const std::string& commandLine, int timeoutMs = 2000,
                                         int patienceMs = 120000);

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
