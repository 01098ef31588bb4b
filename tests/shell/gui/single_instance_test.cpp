// One workbench per user, with two real processes: a second start hands its
// report to the running one and ends with exit code 1; the running one opens it.
#include <QLocalServer>
#include <QLocalSocket>
#include <QtTest>
#include <sys/stat.h>

#include <future>

#include "vistram/shell/gui/single_instance.h"

namespace {
const QString kProgram = QString(VISTRAM_BINARY_DIR) + "/bin/vistram";
const QString kData = VISTRAM_TEST_DATA_DIR;  // <source>/tests/data
}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir runtime_;

  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", runtime_.path());  // our own instance socket
    env.insert("VISTRAM_TRACE_TITLES", "1");
    return env;
  }

 private slots:
  void secondStartHandsOverAndEnds() {
    QVERIFY(runtime_.isValid());
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!QFile::exists(kProgram)) QSKIP("the program is not built");

    QProcess first, second;
    first.setProcessEnvironment(Environment());
    second.setProcessEnvironment(Environment());
    first.start(kProgram, {});
    QVERIFY(first.waitForStarted());
    QByteArray firstErr;
    // The window is up once it reports its first title (after the splash).
    QTRY_VERIFY_WITH_TIMEOUT((firstErr += first.readAllStandardError()).contains("title: Vistram \n"), 20000);
    // The second start names the report relative to its own folder.
    second.setWorkingDirectory(kData.left(kData.lastIndexOf("/tests/data")) + "/data");
    second.start(kProgram, {"sample.bla"});
    QVERIFY(second.waitForFinished(20000));
    QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 1);
    QVERIFY(!second.readAllStandardError().contains("title:"));  // it never made a window

    QTRY_VERIFY_WITH_TIMEOUT((firstErr += first.readAllStandardError()).contains("title: Vistram - BLAST 2\n"), 20000);
    QVERIFY(first.state() == QProcess::Running);
    first.kill();
    first.waitForFinished();
  }

  // The hand-over against three listeners at the socket's name: a workbench,
  // a program that answers one byte, one that never answers.
  void handOverTrustsOnlyTheExactReply() {
    QTemporaryDir runtime;
    ::chmod(runtime.path().toLocal8Bit().constData(), 0700);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const auto handOver = [](int patienceMs) {
      return std::async(std::launch::async, [patienceMs] { return HandOverToRunningInstance("/a/report", 200, patienceMs); });
    };
    {
      InstanceServer workbench;
      QVERIFY(workbench.Listen());
      std::string received;
      workbench.SetReceiver([&](const std::string& line) { received = line; });
      auto result = handOver(5000);
      QTRY_COMPARE(received, std::string("/a/report"));
      QCOMPARE(result.get(), HandOverResult::Done);
    }
    for (const char* reply : {"1", ""}) {
      QLocalServer other;
      QVERIFY(other.listen(InstanceSocketName()));
      connect(&other, &QLocalServer::newConnection, this, [&] {
        QLocalSocket* peer = other.nextPendingConnection();
        if (*reply != '\0') connect(peer, &QLocalSocket::readyRead, peer, [peer, reply] { peer->readAll(), peer->write(reply); });
      });
      auto result = handOver(800);
      while (result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) QTest::qWait(20);
      // A stranger's reply: no workbench, this start opens its own; none: a busy one, it opens nothing.
      QCOMPARE(result.get(), *reply != '\0' ? HandOverResult::NoInstance : HandOverResult::Busy);
    }
    qunsetenv("XDG_RUNTIME_DIR");
  }

  // Without XDG_RUNTIME_DIR the socket goes in a folder of the user's alone;
  // one that others can enter is refused.
  void privateFolderWithoutRuntimeFolder() {
    QTemporaryDir temp;
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    const QString folder = InstanceFolder();
    QCOMPARE(folder, temp.path() + "/vistram-" + QString::number(::getuid()));
    struct stat st {};
    QVERIFY(::stat(folder.toLocal8Bit().constData(), &st) == 0 && (st.st_mode & 0777) == 0700u);
    QVERIFY(InstanceSocketName().startsWith(folder + "/"));
    ::chmod(folder.toLocal8Bit().constData(), 0777);
    QVERIFY(InstanceFolder().isEmpty() && InstanceSocketName().isEmpty());
    qunsetenv("TMPDIR");
  }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
