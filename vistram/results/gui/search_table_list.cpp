#include "vistram/results/gui/search_table_list.h"

#include "vistram/platform/messages.h"
#include "vistram/results/load_flow.h"
#include "vistram/results/result_view.h"

SearchTableList::SearchTableList(const DataProgram& dp, QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::MultiSelection);
  for (const auto& table : dp.tables)
    addItem(QString::fromStdString(table ? table->name : std::string()));
}

std::vector<int> SearchTableList::SelectedTables() const {
  std::vector<int> rows;
  for (int i = 0; i < count(); ++i)
    if (item(i)->isSelected()) rows.push_back(i);
  return rows;
}

SearchButtons AddSearchButtons(QWidget* dialog, QBoxLayout* layout, const QString& actionText) {
  auto* row = new QHBoxLayout;
  SearchButtons b{new QPushButton(actionText, dialog), new QPushButton("&Cancel", dialog)};
  b.action->setDefault(true);
  b.cancel->setAutoDefault(false);
  row->addStretch();
  row->addWidget(b.action);
  row->addWidget(b.cancel);
  layout->addLayout(row);
  return b;
}

bool SearchMayStart(ResultView& view) {
  if (!LoadIsRunning()) return true;
  MyErrMsgBox(IDS_CAPTION, IDS_LOAD_ALREADY_RUNNING, view.MainWindow());
  return false;
}
