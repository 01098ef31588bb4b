// Base of the Qt Test classes of other windows opened from the real main
// window: the window made beside a copy of the shipped configuration, with the
// recording platform answering its dialogs; reports opened as a second start
// hands them over. Call StartWindow() from init() and StopWindow() from cleanup().
#pragma once
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "support/next_dialog.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/gui/main_window.h"

class MainWindowFixture : public QObject {
 protected:
  QTemporaryDir dir_;
  RecordingPlatform platform_;
  std::unique_ptr<MainWindow> w_;

  void StartWindow() {
    QVERIFY(dir_.isValid());
    const QString shipped = QString(VISTRAM_TEST_DATA_DIR).replace("/tests/data", "/data/vistram.cfg");
    QVERIFY(QFile::copy(shipped, dir_.filePath("vistram.cfg")) || QFile::exists(dir_.filePath("vistram.cfg")));
    platform_.Clear();
    SetCurrentPlatform(&platform_);
    w_ = MainWindow::Create(dir_.filePath("vistram").toStdString());
    QVERIFY(w_ != nullptr);
    w_->show();
  }
  void StopWindow() { WaitForLoadThread(), w_.reset(), SetCurrentPlatform(nullptr); }
  // Opens a command line as a second start hands it over; waits for the load's result.
  void OpenLine(const std::string& line, int result = 1) {
    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    w_->OpenCommandLine(line);
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toInt(), result);
  }
  void OpenByPath(const QString& path) { OpenLine(path.toStdString()); }
};
