#include "vistram/shell/gui/workbench.h"

#include <QApplication>
#include <QMainWindow>

int RunWorkbench(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Vistram ");
  window.show();
  return QApplication::exec();
}
