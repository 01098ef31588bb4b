#include "vistram/seqio/gui/download_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "vistram/platform/messages.h"
#include "vistram/seqio/ncbi_download.h"

DLGGetBSPProc::DLGGetBSPProc(QWidget* owner) : QDialog(owner) {
  setWindowTitle("Download from NCBI");
  auto* grid = new QGridLayout(this);
  database_ = new QComboBox(this);
  identifier_ = new QLineEdit(this);
  grid->addWidget(new QLabel("Database name :", this), 0, 0);
  grid->addWidget(database_, 0, 1);
  grid->addWidget(new QLabel("Sequence id. :", this), 1, 0);
  grid->addWidget(identifier_, 1, 1);
  auto* buttons = new QHBoxLayout;
  fetch_ = new QPushButton("Fetch", this);
  cancel_ = new QPushButton("Cancel", this);
  buttons->addStretch();
  buttons->addWidget(fetch_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, 2, 0, 1, 2);
  connect(fetch_, &QPushButton::clicked, this, [this] { DLGGetBSPProc_OnCommand(kIdFetch); });
  connect(cancel_, &QPushButton::clicked, this, [this] { DLGGetBSPProc_OnCommand(kIdCancel); });
  DLGGetBSPProc_OnInitDialog();
}

void DLGGetBSPProc::DLGGetBSPProc_OnInitDialog() {
  for (std::string_view entry : SZLISTNCBIDB) {
    database_->addItem(QString::fromLatin1(entry.data(), static_cast<int>(entry.size())));
  }
  database_->setCurrentIndex(0);
  identifier_->setMaxLength(static_cast<int>(kNcbiIdentifierMax));
  fetch_->setDefault(true);
  fetch_->setAutoDefault(true);
  cancel_->setAutoDefault(false);
  identifier_->setFocus();
  result_.reset();
}

void DLGGetBSPProc::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Centred on the screen, whatever the owner.
  if (QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  identifier_->setFocus();
}

void DLGGetBSPProc::DLGGetBSPProc_OnCommand(int id) {
  if (id == kIdFetch) {
    Fetch();
  } else if (id == kIdCancel) {
    reject();
  }
}

void DLGGetBSPProc::Fetch() {
  fetch_->setEnabled(false);
  cancel_->setEnabled(false);
  setWindowTitle("Download in progress ...");
  QApplication::setOverrideCursor(Qt::WaitCursor);
  // Let the title and the disabled buttons show before the call blocks.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const QByteArray id = identifier_->text().left(static_cast<int>(kNcbiIdentifierMax)).toUtf8();
  const int databaseNumber = database_->currentIndex() + 1;
  int status = 0;
  result_ = RetrieveNcbiSequence(std::string_view(id.constData(), static_cast<std::size_t>(id.size())),
                                 databaseNumber, status);
  QApplication::restoreOverrideCursor();
  if (!result_) {
    if (int message = NcbiStatusMessage(status); message != 0) MyInfoMsgBox(IDS_CAPTION, message, this);
    reject();
    return;
  }
  accept();
}

SequenceText HCAWndProc_OuvrirNet(QWidget* owner) {
  DLGGetBSPProc dialog(owner);
  dialog.exec();
  return dialog.TakeResult();
}
