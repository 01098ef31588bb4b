#include "vistram/shell/gui/workbench.h"

#include <QApplication>
#include <QMainWindow>

#include "vistram/platform/gui/qt_platform.h"
#include "vistram/shell/gui/main_window.h"

int RunWorkbench(int argc, char** argv) {
  QApplication app(argc, argv);
  QtPlatform platform;
  SetCurrentPlatform(&platform);
  auto window = MainWindow::Create(platform.ProgramPath());
  if (!window) return 0;
  window->show();
  const int code = QApplication::exec();
  window.reset();
  SetCurrentPlatform(nullptr);
  return code;
}
