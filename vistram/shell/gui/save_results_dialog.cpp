#include "vistram/shell/gui/save_results_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

SaveResultsDialog::SaveResultsDialog(QWidget* owner, DataProgram& dp, HtmlAlignmentSource source)
    : QDialog(owner), dp_(dp), source_(std::move(source)) {
  setWindowTitle(QStringLiteral("Save results"));
  setModal(true);

  auto* scope = new QGroupBox(this);
  all_ = new QRadioButton(QStringLiteral("Save &all"), scope);
  selection_ = new QRadioButton(QStringLiteral("Save selection &only"), scope);
  auto* scopeLayout = new QVBoxLayout(scope);
  scopeLayout->addWidget(all_);
  scopeLayout->addWidget(selection_);

  auto* style = new QGroupBox(this);
  text_ = new QRadioButton(QStringLiteral("&Text"), style);
  html_ = new QRadioButton(QStringLiteral("Enhanced &HTML"), style);
  auto* styleLayout = new QVBoxLayout(style);
  styleLayout->addWidget(text_);
  styleLayout->addWidget(html_);

  file_ = new QPushButton(QStringLiteral("&File name :"), this);
  file_->setAutoDefault(false);
  pathLabel_ = new QLabel(this);
  pathLabel_->setFrameShape(QFrame::StyledPanel);
  pathLabel_->setMinimumWidth(280);
  pathLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  save_ = new QPushButton(QStringLiteral("&Save"), this);
  cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
  save_->setAutoDefault(false);
  cancel_->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(scope, 0, 0);
  grid->addWidget(style, 0, 1);
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(file_);
  fileRow->addWidget(pathLabel_, 1);
  grid->addLayout(fileRow, 1, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(save_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, 2, 0, 1, 2);

  connect(file_, &QPushButton::clicked, this, &SaveResultsDialog::OnFileName);
  connect(save_, &QPushButton::clicked, this, &SaveResultsDialog::OnSave);
  connect(cancel_, &QPushButton::clicked, this, &SaveResultsDialog::OnCancel);
  SaveResultsProc_OnInitDialog();
}

void SaveResultsDialog::SaveResultsProc_OnInitDialog() {
  all_->setChecked(true);
  text_->setChecked(true);
  state_ = SaveResultsState{};
  pathLabel_->clear();
  file_->setFocus();
}

void SaveResultsDialog::OnFileName() {
  if (ChoisiFichierSauve(static_cast<QWidget*>(this), state_.path, dp_.programFolder) != 0) {
    pathLabel_->setText(QString::fromStdString(state_.path));
  }
}

void SaveResultsDialog::OnSave() {
  state_.selectionOnly = selection_->isChecked();
  state_.html = html_->isChecked();
  if (state_.html) QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool done = SaveResultsOnSave(dp_, static_cast<QWidget*>(this), state_, source_);
  if (state_.html) QApplication::restoreOverrideCursor();
  if (!done) {
    if (state_.path.empty()) file_->setFocus();
    return;
  }
  state_.path.clear();
  accept();
}

void SaveResultsDialog::OnCancel() {
  state_.path.clear();
  reject();
}

bool SaveResultsDlg(QWidget* owner, DataProgram& dp, HtmlAlignmentSource source) {
  SaveResultsDialog dialog(owner, dp, std::move(source));
  return dialog.exec() == QDialog::Accepted;
}

bool SaveResultsDlg(QWidget* owner, DataProgram& dp) {
  return SaveResultsDlg(owner, dp, DefaultHtmlAlignmentSource(dp));
}
