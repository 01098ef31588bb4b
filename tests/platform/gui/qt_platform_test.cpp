// The Qt platform: message boxes with their icons and buttons, asked for
// from the user-interface thread and from a worker thread; the open-file
// dialog with the report filters.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <future>
#include <thread>

#include "vistram/platform/gui/qt_platform.h"

namespace {
void OnNextDialog(std::function<void(QWidget*)> handle) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, handle] {
    auto* d = QApplication::activeModalWidget();
    if (d == nullptr) return;
    timer->stop();
    timer->deleteLater();
    handle(d);
  });
  timer->start();
}
}  // namespace

class QtPlatformTest : public QObject {
  Q_OBJECT
  QtPlatform platform_;

 private slots:
  void messageBoxesHaveTheirIconsAndButtons() {
    struct Case {
      MsgIcon icon;
      MsgButtons buttons;
      QMessageBox::Icon qtIcon;
      QMessageBox::StandardButtons qtButtons;
      QMessageBox::StandardButton press;
      MsgAnswer answer;
    };
    const Case cases[] = {
        {MsgIcon::Error, MsgButtons::Ok, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, MsgAnswer::Ok},
        {MsgIcon::Information, MsgButtons::Ok, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok,
         MsgAnswer::Ok},
        {MsgIcon::Warning, MsgButtons::Ok, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, MsgAnswer::Ok},
        {MsgIcon::Question, MsgButtons::YesNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::No, MsgAnswer::No},
        {MsgIcon::Question, MsgButtons::YesNo, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes, MsgAnswer::Yes},
    };
    for (const Case& c : cases) {
      QString title, text;
      QMessageBox::Icon icon = QMessageBox::NoIcon;
      QMessageBox::StandardButtons buttons;
      OnNextDialog([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box != nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(c.press)->click();
      });
      const MsgAnswer a = platform_.MessageBox(nullptr, "Vistram", "Exit program ?", c.icon, c.buttons, false);
      QCOMPARE(title, QString("Vistram"));
      QCOMPARE(text, QString("Exit program ?"));
      QCOMPARE(icon, c.qtIcon);
      QCOMPARE(buttons, c.qtButtons);
      QCOMPARE(a, c.answer);
    }
  }

  void messageBoxFromAWorkerThreadRunsOnTheUiThread() {
    bool onUiThread = false;
    OnNextDialog([&](QWidget* w) {
      onUiThread = QThread::currentThread() == qApp->thread();
      qobject_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
    });
    auto answer = std::async(std::launch::async, [this] {
      return platform_.MessageBox(nullptr, "Vistram", "Rename the file on disk ?", MsgIcon::Question,
                                  MsgButtons::YesNo, false);
    });
    // The worker waits for the answer while the user-interface thread runs the box.
    QTRY_VERIFY_WITH_TIMEOUT(answer.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready, 10000);
    QCOMPARE(answer.get(), MsgAnswer::Yes);
    QVERIFY(onUiThread);
  }

  void openFileDialogWithTheReportFilters() {
    QTemporaryDir dir;
    QFile f(dir.filePath("hits.bla"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    FileDialogRequest request;
    request.filters = {{"All formats", "*.fas;*.bla;*.html;*.htm;*.txt;*.vist"},
                       {"BLAST file (*.bla;*.vist)", "*.bla;*.vist"}};
    request.filterIndex = 2;
    request.initialFolder = dir.path().toStdString();
    QStringList filters;
    QString selected;
    OnNextDialog([&](QWidget* w) {
      auto* d = qobject_cast<QFileDialog*>(w);
      QVERIFY(d != nullptr);
      filters = d->nameFilters();
      selected = d->selectedNameFilter();
      d->selectFile(dir.filePath("hits.bla"));
      static_cast<QDialog*>(d)->accept();
    });
    auto result = std::async(std::launch::async, [&] { return platform_.OpenFileDialog(nullptr, request); });
    QTRY_VERIFY_WITH_TIMEOUT(result.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready, 10000);
    const FileDialogResult r = result.get();
    QCOMPARE(filters, QStringList({"All formats (*.fas *.bla *.html *.htm *.txt *.vist)",
                                   "BLAST file (*.bla *.vist)"}));
    QCOMPARE(selected, filters[1]);
    QCOMPARE(r.status, FileDialogResult::Status::Chosen);
    QCOMPARE(QString::fromStdString(r.path), dir.filePath("hits.bla"));
    QCOMPARE(QString::fromStdString(r.title), QString("hits.bla"));

    OnNextDialog([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QCOMPARE(platform_.OpenFileDialog(nullptr, request).status, FileDialogResult::Status::Cancelled);
  }

  // "*.*" lists files without an extension, and a typed name opens as typed
  // (no default extension glued to it).
  void allFilesFilterAndTypedNames() {
    QTemporaryDir dir;
    for (const char* name : {"P12345", "hits.seq"}) {
      QFile f(dir.filePath(name));
      QVERIFY(f.open(QIODevice::WriteOnly));
    }
    FileDialogRequest request;
    request.filters = {{"All files (*.*)", "*.*"}, {"Sequences", "*.seq;*.*"}};
    request.defaultExtension = "seq";
    request.mustExist = true;
    request.initialFolder = dir.path().toStdString();
    QCOMPARE(QtNameFilters(request), QStringList({"All files (*)", "Sequences (*.seq *)"}));
    for (const char* typed : {"P12345", "hits.seq"}) {
      OnNextDialog([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        QVERIFY(d != nullptr);
        d->selectFile(dir.filePath(typed));
        static_cast<QDialog*>(d)->accept();
      });
      auto result = std::async(std::launch::async, [&] { return platform_.OpenFileDialog(nullptr, request); });
      QTRY_VERIFY_WITH_TIMEOUT(result.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready, 10000);
      const FileDialogResult r = result.get();
      QCOMPARE(r.status, FileDialogResult::Status::Chosen);
      QCOMPARE(QString::fromStdString(r.path), dir.filePath(typed));
    }
  }

  void programPathIsTheRunningProgram() {
    QCOMPARE(QString::fromStdString(platform_.ProgramPath()), QCoreApplication::applicationFilePath());
  }
};

QTEST_MAIN(QtPlatformTest)
#include "qt_platform_test.moc"
