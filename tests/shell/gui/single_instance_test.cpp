// One workbench per user, with two real processes: a second start hands its
// report to the running one and ends with exit code 1; the running one opens it.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString Program() { return QString(VISTRAM_BINARY_DIR) + "/bin/vistram"; }
QString SampleFolder() {
  QString dir = VISTRAM_TEST_DATA_DIR;
  return dir.left(dir.lastIndexOf("/tests/data")) + "/data";
}
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
    if (!QFile::exists(Program())) QSKIP("the program is not built");

    QProcess first;
    first.setProcessEnvironment(Environment());
    first.start(Program(), {});
    QVERIFY(first.waitForStarted());
    QByteArray firstErr;
    // The window is up once it reports its first title (after the splash).
    QTRY_VERIFY_WITH_TIMEOUT((firstErr += first.readAllStandardError()).contains("title: Vistram \n"), 20000);

    // The second start names the report relative to its own folder.
    QProcess second;
    second.setProcessEnvironment(Environment());
    second.setWorkingDirectory(SampleFolder());
    second.start(Program(), {"sample.bla"});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(!second.readAllStandardError().contains("title:"));  // it never made a window

    QTRY_VERIFY_WITH_TIMEOUT((firstErr += first.readAllStandardError()).contains("title: Vistram - BLAST 2\n"), 20000);
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
  }
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
