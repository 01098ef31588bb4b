// What the window tests of the web requests share: a private installation,
// the recording platform, the real main window, and a helper that answers the
// next modal dialog.
#pragma once
#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/web/request_launch.h"
#include "web/web_test_support.h"

namespace webtest {

// Runs `handle` on the next modal dialog that opens.
inline void OnNextDialog(std::function<void(QDialog*)> handle) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, handle] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (d == nullptr) return;
    timer->stop();
    timer->deleteLater();
    handle(d);
  });
  timer->start();
}

class WebWindowFixture {
 protected:
  std::unique_ptr<Installation> inst_;
  RecordingPlatform platform_;
  std::unique_ptr<MainWindow> w_;

  QStringList Texts() const {
    QStringList out;
    for (const auto& m : platform_.Messages()) out << QString::fromStdString(m.text);
    return out;
  }
  int Tables() const { return static_cast<int>(w_->Data().tables.size()); }

  // A fresh installation and main window; false when the window cannot be made.
  bool StartWindow() {
    inst_ = std::make_unique<Installation>();
    platform_.Clear();
    SetCurrentPlatform(&platform_);
    w_ = MainWindow::Create(inst_->Path("vistram"));
    if (w_ == nullptr) return false;
    w_->show();
    return true;
  }
  // The workers hand their answers to the window: they finish first.
  void StopWindow(int requestTimeoutMs) {
    QTRY_COMPARE_WITH_TIMEOUT(RunningWebRequests(), 0, requestTimeoutMs);
    WaitForLoadThread();
    QTest::qWait(50);
    WaitForLoadThread();
    w_.reset();
    SetCurrentPlatform(nullptr);
    inst_.reset();
  }
};

}  // namespace webtest
