#include "vistram/results/gui/field_search_dialog.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "vistram/results/gui/search_table_list.h"

FieldSearchDlg::FieldSearchDlg(DataProgram& dp, QWidget* owner) : QDialog(owner), dp_(dp) {
  setWindowTitle("Field Search");
  auto* layout = new QVBoxLayout(this);

  auto* action = new QHBoxLayout;
  select_ = new QRadioButton("S&elect", this);
  copy_ = new QRadioButton("C&opy", this);
  copy_->setChecked(true);
  action->addWidget(select_);
  action->addWidget(copy_);
  action->addStretch();
  layout->addLayout(action);

  field_ = new QComboBox(this);
  // The field names are padded so that their "[... only]" notes line up.
  field_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  for (const char* name : SZFIELDS) field_->addItem(QString::fromLatin1(name));
  field_->setCurrentIndex(0);
  auto* fieldLabel = new QLabel("entries for which the field :", this);
  fieldLabel->setBuddy(field_);
  layout->addWidget(fieldLabel);
  layout->addWidget(field_);

  layout->addWidget(new QLabel("is in the range :", this));
  auto* range = new QGridLayout;
  from_ = new QLineEdit(this);
  to_ = new QLineEdit(this);
  from_->setMaxLength(499);
  to_->setMaxLength(499);
  auto* fromLabel = new QLabel("from :", this);
  auto* toLabel = new QLabel("to :", this);
  fromLabel->setBuddy(from_);
  toLabel->setBuddy(to_);
  range->addWidget(fromLabel, 0, 0);
  range->addWidget(from_, 0, 1);
  range->addWidget(new QLabel("(lowest value of the range)", this), 0, 2);
  range->addWidget(toLabel, 1, 0);
  range->addWidget(to_, 1, 1);
  range->addWidget(new QLabel("(highest value of the range)", this), 1, 2);
  layout->addLayout(range);

  tables_ = new SearchTableList(dp, this);
  auto* tablesLabel = new QLabel("in the following table(s) :", this);
  tablesLabel->setBuddy(tables_);
  layout->addWidget(tablesLabel);
  layout->addWidget(tables_);

  const SearchButtons buttons = AddSearchButtons(this, layout, "&Search");
  search_ = buttons.action;
  cancel_ = buttons.cancel;
  connect(search_, &QPushButton::clicked, this, [this] { FieldSearchDlg_OnCommand(kIdSearch); });
  connect(cancel_, &QPushButton::clicked, this, [this] { FieldSearchDlg_OnCommand(kIdCancel); });
  from_->setFocus();
}

void FieldSearchDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  from_->setFocus();
}

void FieldSearchDlg::FieldSearchDlg_OnCommand(int id) {
  if (id == kIdCancel) {
    reject();
    return;
  }
  if (id != kIdSearch) return;
  const QByteArray from = from_->text().toUtf8();
  const QByteArray to = to_->text().toUtf8();
  outcome_ = FieldSearch(dp_, this, tables_->SelectedTables(), field_->currentIndex(),
                         std::string_view(from.constData(), static_cast<std::size_t>(from.size())),
                         std::string_view(to.constData(), static_cast<std::size_t>(to.size())), copy_->isChecked(),
                         &table_);
  if (outcome_ == kSearchSelected || outcome_ == kSearchCopied) accept();
}

int FieldSearchCommand(QWidget* owner, DataProgram& dp, ResultView& view) {
  if (!SearchMayStart(view)) return kSearchRefused;
  FieldSearchDlg dialog(dp, owner);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  const int outcome = accepted ? dialog.Outcome() : kSearchRefused;
  if (outcome == kSearchCopied)
    ShowSearchTable(dp, view, dialog.TakeTable());
  else
    ShowSearchSelection(dp, view);  // the result list is redrawn after the dialog
  return outcome;
}
