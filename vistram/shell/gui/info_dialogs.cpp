#include "vistram/shell/gui/info_dialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "vistram/platform/gui/window_util.h"
#include "vistram/shell/main_commands.h"

namespace {
QLineEdit* Field(QDialog* d, const std::string& text, const char* name) {
  auto* e = new QLineEdit(QString::fromStdString(text), d);
  e->setObjectName(name);
  e->setReadOnly(true);
  e->setCursorPosition(0);
  e->setMinimumWidth(360);
  return e;
}
}  // namespace

void AfficheInfoDB(QWidget* owner, const DataProgram& dp) {
  const FileHeaderTexts t = FileHeaderInfo(dp);
  QDialog d(owner);
  d.setObjectName("fileHeader");
  d.setWindowTitle("File header");
  auto* form = new QFormLayout;
  form->addRow("Sequence name:", Field(&d, t.sequenceName, "sequenceName"));
  form->addRow("Database name:", Field(&d, t.databaseName, "databaseName"));
  form->addRow("# of database seq.:", Field(&d, t.sequenceCount, "sequenceCount"));
  form->addRow("# of alignments:", Field(&d, t.alignmentCount, "alignmentCount"));
  auto* layout = new QVBoxLayout(&d);
  layout->addLayout(form);
  auto* ok = new QPushButton("&Ok", &d);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignRight);
  d.adjustSize();
  CenterWnd(&d);
  d.exec();
}

void FullDBnameDlg(QWidget* owner, const HspData& hit) {
  QDialog d(owner);
  d.setObjectName("databaseSequenceInfo");
  d.setWindowTitle("Database sequence info");
  auto* form = new QFormLayout;
  QLineEdit* id = Field(&d, hit.identifier, "sequenceId");
  form->addRow("Sequence ID:", id);
  auto* name = new QPlainTextEdit(QString::fromStdString(hit.description), &d);
  name->setObjectName("sequenceName");
  name->setReadOnly(true);
  name->setMaximumHeight(90);
  form->addRow("Sequence name:", name);
  form->addRow("Sequence length (aa) :", Field(&d, hit.lengthText, "sequenceLength"));
  form->addRow("URL :", Field(&d, hit.url, "url"));
  auto* layout = new QVBoxLayout(&d);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  layout->addWidget(buttons);
  d.adjustSize();
  CenterWnd(&d);
  id->setFocus();
  d.exec();
}
