// A report named on the command line by a relative path whose name is not
// UTF-8 (Latin-1 bytes, as old archives leave them): the start makes the
// path absolute byte for byte, and the window opens the file.
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "main_window_fixture.h"
#include "vistram/base/temp_files.h"
#include "vistram/shell/gui/workbench.h"
#include "vistram/shell/main_commands.h"

class RelativeNameTest : public MainWindowFixture {
  Q_OBJECT

  std::string oldFolder_;

 private slots:
  void init() {
    char here[4096];
    QVERIFY(::getcwd(here, sizeof here) != nullptr);
    oldFolder_ = here;
    StartWindow();
  }
  void cleanup() {
    StopWindow();
    QVERIFY(::chdir(oldFolder_.c_str()) == 0);
  }

  void opensARelativeNameThatIsNotUtf8() {
    PrivateFolder folder("vistram-names-");
    QVERIFY(!folder.Path().empty());
    const std::string name = "r\xe9sultat\xff.bla";
    {
      std::ifstream in(SourceData("sample.bla").toStdString(), std::ios::binary);
      std::ofstream out(folder.FilePath(name), std::ios::binary);
      out << std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      QVERIFY(out.good());
    }
    QVERIFY(::chdir(folder.Path().c_str()) == 0);

    char program[] = "vistram";
    std::string argument = name;
    char* argv[] = {program, argument.data()};
    const std::string line = AbsoluteCommandLine(JoinArguments(2, argv));
    QCOMPARE(line, folder.FilePath(name));
    // The editor's marker stays after the absolute path.
    const std::string msf = name + " " + std::string(kMsfMarker);
    QCOMPARE(AbsoluteCommandLine(msf), folder.FilePath(name) + " " + std::string(kMsfMarker));

    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    w_->OpenCommandLine(line);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toInt(), 1);
    QCOMPARE(w_->ResultList()->model()->rowCount(), 13);
    QVERIFY(platform_.Messages().empty());
  }
};

QTEST_MAIN(RelativeNameTest)
#include "relative_name_test.moc"
