#include "vistram/shell/gui/workbench.h"

#include <QApplication>
#include <QSessionManager>
#include <clocale>
#include <filesystem>
#include <cstdio>

#include "vistram/platform/gui/print_job.h"
#include "vistram/platform/gui/qt_platform.h"
#include "vistram/platform/messages.h"
#include "vistram/base/config.h"
#include "vistram/shell/companions.h"
#include "vistram/shell/gui/about_dialog.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/shell/gui/single_instance.h"
#include "vistram/shell/main_commands.h"

std::string AbsoluteCommandLine(const std::string& line) {
  if (line.empty()) return line;
  const CommandLine cmd = ParseCommandLine(line);
  // The path's bytes as they are: a name that is not UTF-8 must not pass
  // through QString.
  if (cmd.path.empty() || cmd.path.front() == '/') return line;
  std::error_code ec;
  std::string abs = std::filesystem::absolute(cmd.path, ec).string();
  if (ec) return line;
  if (cmd.msf) abs += std::string(" ") + std::string(kMsfMarker);
  return abs;
}

namespace {
void BringToFront(QWidget* w) {
  if (w->isMinimized()) w->showNormal();
  w->raise();
  w->activateWindow();
}
}  // namespace

int RunWorkbench(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt hands the user's locale to the C library as well; numbers are read
  // from reports and written to saved files with the '.' of the reports,
  // whatever the user's language.
  std::setlocale(LC_NUMERIC, "C");
  QtPlatform platform;
  SetCurrentPlatform(&platform);
  struct RestorePlatform {
    ~RestorePlatform() { SetCurrentPlatform(nullptr); }
  } restore;

  const std::string commandLine = AbsoluteCommandLine(JoinArguments(argc, argv));

  // One workbench per user: a second start hands its command line over and ends.
  switch (HandOverToRunningInstance(commandLine)) {
    case HandOverResult::Done:
      return 1;
    case HandOverResult::Busy:
      std::fprintf(stderr, "vistram: a workbench is already running and does not answer; try again later.\n");
      return 1;
    case HandOverResult::NoInstance:
      break;
  }
  InstanceServer server;
  server.Listen();

  // The default printer, without a dialog; replaced by Print setup.
  QtPrinterServices printers;
  SetCurrentPrinterServices(&printers);
  struct RestorePrinters {
    ~RestorePrinters() { SetCurrentPrinterServices(nullptr); }
  } restorePrinters;
  ReadDefaultPrinter();

  STARTOFVISTRAM();
  LoadIntroPrg(3000);

  std::unique_ptr<MainWindow> window = MainWindow::Create(platform.ProgramPath());
  if (!window) return 0;
  window->show();

  // The end of the session asks as closing does.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, window.get(), [&window](QSessionManager& manager) {
    QApplication::beep();
    if (manager.allowsInteraction()) {
      if (MyAskMsgBox(IDS_CAPTION, 19, window.get()) == MsgAnswer::Yes)
        window->CloseWithoutQuestion();
      else
        manager.cancel();
      manager.release();
    }
  });

  // For scripts and tests that watch a running workbench: every title the
  // main window takes (it tells which report is shown) on standard error.
  if (qEnvironmentVariableIsSet("VISTRAM_TRACE_TITLES")) {
    auto trace = [](const QString& title) { std::fprintf(stderr, "title: %s\n", qPrintable(title)); };
    trace(window->windowTitle());
    QObject::connect(window.get(), &QWidget::windowTitleChanged, window.get(), trace);
  }

  MainWindow* w = window.get();
  server.SetReceiver([w](const std::string& line) {
    BringToFront(w);
    w->OpenCommandLine(line);
  });
  window->OpenCommandLine(commandLine);
  const int code = QApplication::exec();
  window.reset();
  return code;
}
