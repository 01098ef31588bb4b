#include "vistram/results/gui/id_analyser_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "vistram/results/gui/search_table_list.h"

IdAnalyserDlg::IdAnalyserDlg(DataProgram& dp, QWidget* owner) : QDialog(owner), dp_(dp) {
  setWindowTitle("ID analysis");
  auto* layout = new QVBoxLayout(this);
  tables_ = new SearchTableList(dp, this);
  auto* label = new QLabel("&List of table(s) :", this);
  label->setBuddy(tables_);
  layout->addWidget(label);
  layout->addWidget(tables_);
  const SearchButtons buttons = AddSearchButtons(this, layout, "&Analyse");
  analyse_ = buttons.action;
  cancel_ = buttons.cancel;
  connect(analyse_, &QPushButton::clicked, this, [this] { IdAnalyserDlg_OnCommand(kIdAnalyse); });
  connect(cancel_, &QPushButton::clicked, this, [this] { IdAnalyserDlg_OnCommand(kIdCancel); });
  tables_->setFocus();
}

void IdAnalyserDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  tables_->setFocus();
}

void IdAnalyserDlg::IdAnalyserDlg_OnCommand(int id) {
  if (id == kIdCancel) {
    reject();
    return;
  }
  if (id != kIdAnalyse) return;
  const std::vector<int> tables = tables_->SelectedTables();
  if (tables.empty()) return;  // nothing to analyse: nothing happens
  const QString label = analyse_->text();
  analyse_->setText("Running...");
  analyse_->setEnabled(false);
  cancel_->setEnabled(false);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  outcome_ = IdAnalyse(dp_, this, tables, &table_);
  QApplication::restoreOverrideCursor();
  analyse_->setText(label);
  analyse_->setEnabled(true);
  cancel_->setEnabled(true);
  // The dialog closes whatever the outcome.
  if (outcome_ == kSearchCopied)
    accept();
  else
    reject();
}

int IdAnalyserCommand(QWidget* owner, DataProgram& dp, ResultView& view) {
  if (!SearchMayStart(view)) return kSearchNothing;
  IdAnalyserDlg dialog(dp, owner);
  if (dialog.exec() != QDialog::Accepted) return dialog.Outcome();
  ShowSearchTable(dp, view, dialog.TakeTable());
  return kSearchCopied;
}
