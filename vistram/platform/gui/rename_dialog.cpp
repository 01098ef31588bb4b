#include "vistram/platform/gui/rename_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "vistram/platform/gui/window_util.h"

bool RenameSequenceDialog(QWidget* owner, const std::string& oldName, std::string& newName, std::size_t maxLength) {
  QDialog d(owner);
  d.setObjectName("renameSequence");
  d.setWindowTitle("Rename sequence");
  auto* oldEdit = new QLineEdit(QString::fromStdString(oldName), &d);
  oldEdit->setObjectName("oldName");
  oldEdit->setReadOnly(true);
  auto* newEdit = new QLineEdit(QString::fromStdString(oldName), &d);
  newEdit->setObjectName("newName");
  newEdit->setMaxLength(static_cast<int>(maxLength));
  newEdit->setMinimumWidth(300);
  newEdit->selectAll();
  auto* form = new QFormLayout;
  form->addRow("Old name:", oldEdit);
  form->addRow("New name:", newEdit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  ok->setText("&Ok");
  buttons->button(QDialogButtonBox::Cancel)->setText("&Cancel");
  auto updateOk = [&] {
    const QString t = newEdit->text().trimmed();
    ok->setEnabled(!t.isEmpty() && t.toStdString() != oldName);
  };
  QObject::connect(newEdit, &QLineEdit::textChanged, &d, updateOk);
  updateOk();
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
  auto* layout = new QVBoxLayout(&d);
  layout->addLayout(form);
  layout->addWidget(buttons);
  d.adjustSize();
  CenterWnd(&d);
  newEdit->setFocus();
  if (d.exec() != QDialog::Accepted) return false;
  std::string name = newEdit->text().trimmed().toStdString();
  if (name.empty() || name == oldName) return false;
  if (name.size() > maxLength) name.resize(maxLength);
  newName = name;
  return true;
}
