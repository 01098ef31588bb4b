// What the tests of the real main window share: the program's data files,
// answering the next modal dialog, and a fixture that makes the window beside
// a copy of the shipped configuration and opens reports as a second start
// hands them over (through the pending path).
#pragma once
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QListView>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "support/next_dialog.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/gui/main_window.h"

// A file of the program's data folder (<source>/data).
inline QString SourceData(const char* name) {
  QString dir = VISTRAM_TEST_DATA_DIR;  // <source>/tests/data
  return dir.left(dir.lastIndexOf("/tests/data")) + "/data/" + name;
}
// A saved NCBI web report of the BLAST test data.
inline QString TestData(const char* name) { return QString(VISTRAM_TEST_DATA_DIR) + "/blast/blast_html_legacy_www/" + name; }

// Base of a Qt Test class over the main window: call StartWindow() from
// init() and StopWindow() from cleanup().
class MainWindowFixture : public QObject {
 protected:
  QTemporaryDir dir_;
  RecordingPlatform platform_;
  std::unique_ptr<MainWindow> w_;

  // The window of a program installed in dir_ with the shipped vistram.cfg,
  // shown, with the recording platform answering its dialogs.
  void StartWindow() {
    QVERIFY(dir_.isValid());
    QVERIFY(QFile::copy(SourceData("vistram.cfg"), dir_.filePath("vistram.cfg")) ||
            QFile::exists(dir_.filePath("vistram.cfg")));
    platform_.Clear();
    SetCurrentPlatform(&platform_);
    w_ = MainWindow::Create(dir_.filePath("vistram").toStdString());
    QVERIFY(w_ != nullptr);
    w_->show();
  }
  void StopWindow() {
    WaitForLoadThread();
    w_.reset();
    SetCurrentPlatform(nullptr);
  }

  // Opens `path` as a second start would hand it over, and waits for the table.
  void OpenByPath(const QString& path) {
    QSignalSpy done(w_.get(), &MainWindow::loadFinished);
    w_->OpenCommandLine(path.toStdString());
    QVERIFY(done.wait(10000));
    QCOMPARE(done.first().first().toInt(), 1);
  }
  QStringList ComboItems() const {
    QStringList out;
    for (int i = 0; i < w_->TableCombo()->count(); ++i) out << w_->TableCombo()->itemText(i);
    return out;
  }
  void SelectRow(int row) {
    QListView* list = w_->ResultList();
    list->setCurrentIndex(list->model()->index(row, 0));
  }
  // A copy of `from` named `name` in dir_, or an empty name.
  QString Copy(const QString& from, const char* name) {
    const QString to = dir_.filePath(name);
    QFile::remove(to);
    if (!QFile::copy(from, to)) return {};
    return to;
  }
};
