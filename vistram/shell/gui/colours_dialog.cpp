#include "vistram/shell/gui/colours_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "vistram/results/records.h"
#include "vistram/base/colours.h"

ColoursDialog::ColoursDialog(int colourCode, bool useBackground, QWidget* owner) : QDialog(owner) {
  setWindowTitle(QStringLiteral("Alignments colours"));
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(this);
  auto* groupLayout = new QVBoxLayout(group);
  hca_ = new QRadioButton(QStringLiteral("HCA standard colour code"), group);
  identity_ = new QRadioButton(QStringLiteral("Identity/similarity colour code"), group);
  blackWhite_ = new QRadioButton(QStringLiteral("Black and white"), group);
  groupLayout->addWidget(hca_);
  groupLayout->addWidget(identity_);
  groupLayout->addWidget(blackWhite_);
  layout->addWidget(group);
  background_ = new QCheckBox(QStringLiteral("use background colour"), this);
  layout->addWidget(background_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("&Ok"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  switch (colourCode) {
    case kColourIdentity: identity_->setChecked(true); break;
    case kColourBlackWhite: blackWhite_->setChecked(true); break;
    default: hca_->setChecked(true); break;
  }
  background_->setChecked(useBackground);
}

int ColoursDialog::ColourCode() const {
  if (identity_->isChecked()) return kColourIdentity;
  if (blackWhite_->isChecked()) return kColourBlackWhite;
  return kColourHca;
}

bool ColoursDialog::UseBackground() const { return background_->isChecked(); }

bool ChooseColourCode(QWidget* owner, DataProgram& dp) {
  ColoursDialog dialog(dp.colourCode, dp.useBackground != 0, owner);
  if (dialog.exec() != QDialog::Accepted) return false;
  dp.colourCode = dialog.ColourCode();
  dp.useBackground = dialog.UseBackground() ? 1 : 0;
  return true;
}
