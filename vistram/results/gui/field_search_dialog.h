// The Field Search dialog (Tools "&Field Search...", F7): the alignments of
// the chosen tables whose statistic lies in a range, selected or copied into
// a new table.
#pragma once
#include <QDialog>

#include "vistram/base/command_ids.h"
#include "vistram/results/search.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SearchTableList;

class FieldSearchDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kIdSearch = 1;
  static constexpr int kIdCancel = 2;

  FieldSearchDlg(DataProgram& dp, QWidget* owner);

  int Outcome() const { return outcome_; }
  SearchTable TakeTable() { return std::move(table_); }

  QRadioButton* SelectButton() const { return select_; }
  QRadioButton* CopyButton() const { return copy_; }
  QComboBox* FieldBox() const { return field_; }
  QLineEdit* FromField() const { return from_; }
  QLineEdit* ToField() const { return to_; }
  SearchTableList* TableList() const { return tables_; }
  QPushButton* SearchButton() const { return search_; }
  QPushButton* CancelButton() const { return cancel_; }

  void FieldSearchDlg_OnCommand(int id);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DataProgram& dp_;
  QRadioButton* select_ = nullptr;
  QRadioButton* copy_ = nullptr;
  QComboBox* field_ = nullptr;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  SearchTableList* tables_ = nullptr;
  QPushButton* search_ = nullptr;
  QPushButton* cancel_ = nullptr;
  int outcome_ = kSearchRefused;
  SearchTable table_;
};

// Command id of the menu item and of F7.
inline constexpr int IDM_FIELD_SEARCH = kCmdFieldSearch;

// The command: runs the dialog modally over `owner`, then shows the new table
// or redraws the list with the changed selection. Returns the search's
// outcome (kSearchRefused when cancelled).
int FieldSearchCommand(QWidget* owner, DataProgram& dp, ResultView& view);
