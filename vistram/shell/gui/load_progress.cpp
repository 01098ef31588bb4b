#include "vistram/shell/gui/load_progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "vistram/platform/gui/window_util.h"

LoadProgressWindow::LoadProgressWindow(QWidget* owner) : QDialog(owner), bar_(new QProgressBar(this)) {
  setObjectName("loadProgress");
  setWindowTitle("Vistram");
  setModal(false);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Reading file, please wait...", this));
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setMinimumWidth(260);
  layout->addWidget(bar_);
  adjustSize();
  CenterWnd(this);
}

void LoadProgressWindow::SetPercent(int percent) { bar_->setValue(percent); }

int LoadProgressWindow::Percent() const { return bar_->value(); }
