// The window tests of the web requests: a private installation, the
// recording platform and the real main window.
#pragma once
#include <QStringList>
#include <QTest>
#include <memory>

#include "support/next_dialog.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/web/request_launch.h"
#include "web/web_test_support.h"

namespace webtest {

inline const QString kDone = "BLAST-2 done. Ready to \nopen the results file.";

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
    if (w_ != nullptr) w_->show();
    return w_ != nullptr;
  }
  // The workers hand their answers to the window: they finish first.
  void StopWindow() {
    QTRY_COMPARE_WITH_TIMEOUT(RunningWebRequests(), 0, 90000);
    WaitForLoadThread();
    QTest::qWait(50);
    WaitForLoadThread();
    w_.reset(), inst_.reset();
    SetCurrentPlatform(nullptr);
  }
  // Opens a sheet with the menu command `command` and answers it with `fill`.
  template <typename Sheet>
  void Send(int command, std::function<void(Sheet*)> fill) {
    OnNextDialog([fill](QDialog* d) {
      auto* sheet = qobject_cast<Sheet*>(d);
      QVERIFY(sheet != nullptr);
      fill(sheet);
    });
    w_->MainWndProc_OnCommand(command);
  }
};

}  // namespace webtest
