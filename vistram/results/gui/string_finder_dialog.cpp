#include "vistram/results/gui/string_finder_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "vistram/results/gui/search_table_list.h"

StringFinderDlg::StringFinderDlg(DataProgram& dp, QWidget* owner) : QDialog(owner), dp_(dp) {
  setWindowTitle("String Finder");
  auto* layout = new QVBoxLayout(this);
  tables_ = new SearchTableList(dp, this);
  auto* tablesLabel = new QLabel("&List of table(s) :", this);
  tablesLabel->setBuddy(tables_);
  layout->addWidget(tablesLabel);
  layout->addWidget(tables_);

  auto* action = new QGroupBox("Action ", this);
  auto* actionLayout = new QHBoxLayout(action);
  select_ = new QRadioButton("S&elect", action);
  copy_ = new QRadioButton("Copy to new &table", action);
  copy_->setChecked(true);
  actionLayout->addWidget(select_);
  actionLayout->addWidget(copy_);
  layout->addWidget(action);

  keyword_ = new QLineEdit(this);
  keyword_->setMaxLength(499);
  auto* keywordLabel = new QLabel("St&ring to search for :", this);
  keywordLabel->setBuddy(keyword_);
  layout->addWidget(keywordLabel);
  layout->addWidget(keyword_);

  const SearchButtons buttons = AddSearchButtons(this, layout, "&Search");
  search_ = buttons.action;
  cancel_ = buttons.cancel;
  connect(search_, &QPushButton::clicked, this, [this] { StringFinderDlg_OnCommand(kIdSearch); });
  connect(cancel_, &QPushButton::clicked, this, [this] { StringFinderDlg_OnCommand(kIdCancel); });
  keyword_->setFocus();
}

void StringFinderDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  keyword_->setFocus();
}

void StringFinderDlg::StringFinderDlg_OnCommand(int id) {
  if (id == kIdCancel) {
    reject();
    return;
  }
  if (id != kIdSearch) return;
  const QByteArray keyword = keyword_->text().toUtf8();
  outcome_ = StringFinderSearch(dp_, this, tables_->SelectedTables(),
                                std::string_view(keyword.constData(), static_cast<std::size_t>(keyword.size())),
                                copy_->isChecked(), &table_);
  if (outcome_ == kSearchSelected || outcome_ == kSearchCopied) accept();
}

int StringFinderCommand(QWidget* owner, DataProgram& dp, ResultView& view) {
  if (!SearchMayStart(view)) return kSearchRefused;
  StringFinderDlg dialog(dp, owner);
  if (dialog.exec() != QDialog::Accepted) return kSearchRefused;
  const int outcome = dialog.Outcome();
  if (outcome == kSearchCopied)
    ShowSearchTable(dp, view, dialog.TakeTable());
  else if (outcome == kSearchSelected)
    ShowSearchSelection(dp, view);
  return outcome;
}
