// The multi-selection list of the file's tables shared by the three search
// dialogs, and the start of a search command from the main window.
#pragma once
#include <QBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <vector>

#include "vistram/results/records.h"

class ResultView;

// A list of the names of dp's tables, in table order, several selectable.
class SearchTableList : public QListWidget {
  Q_OBJECT
 public:
  SearchTableList(const DataProgram& dp, QWidget* parent);
  // The indices (into dp.tables) of the selected rows, in list order.
  std::vector<int> SelectedTables() const;
};

// The dialogs' action button (the default one) and "&Cancel", right-aligned
// in a row at the bottom of `layout`.
struct SearchButtons {
  QPushButton* action;
  QPushButton* cancel;
};
SearchButtons AddSearchButtons(QWidget* dialog, QBoxLayout* layout, const QString& actionText);

// False (after telling the user) while a report is being loaded: a search
// must not build a working set while the load worker fills one.
bool SearchMayStart(ResultView& view);
