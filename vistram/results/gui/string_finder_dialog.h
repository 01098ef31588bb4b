// The String Finder dialog (Tools "&String Finder...", F5): a keyword looked
// for in the identifiers and descriptions of the chosen tables' hits, which
// are selected or copied into a new table.
#pragma once
#include <QDialog>

#include "vistram/base/command_ids.h"
#include "vistram/results/search.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class SearchTableList;

class StringFinderDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kIdSearch = 1;
  static constexpr int kIdCancel = 2;

  StringFinderDlg(DataProgram& dp, QWidget* owner);

  // What the last "Search" did (a SearchResult), and the table it built.
  int Outcome() const { return outcome_; }
  SearchTable TakeTable() { return std::move(table_); }

  SearchTableList* TableList() const { return tables_; }
  QRadioButton* SelectButton() const { return select_; }
  QRadioButton* CopyButton() const { return copy_; }
  QLineEdit* KeywordField() const { return keyword_; }
  QPushButton* SearchButton() const { return search_; }
  QPushButton* CancelButton() const { return cancel_; }

  void StringFinderDlg_OnCommand(int id);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DataProgram& dp_;
  SearchTableList* tables_ = nullptr;
  QRadioButton* select_ = nullptr;
  QRadioButton* copy_ = nullptr;
  QLineEdit* keyword_ = nullptr;
  QPushButton* search_ = nullptr;
  QPushButton* cancel_ = nullptr;
  int outcome_ = kSearchRefused;
  SearchTable table_;
};

// Command id of the menu item and of F5.
inline constexpr int IDM_STRING_FINDER = kCmdStringFinder;

// The command: runs the dialog modally over `owner`, then shows the new table
// or the changed selection. Returns the search's outcome (kSearchRefused when
// the dialog was cancelled).
int StringFinderCommand(QWidget* owner, DataProgram& dp, ResultView& view);
