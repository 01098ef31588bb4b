// The ID analyser dialog (Tools "&ID analyser...", F6): the hits of the
// chosen tables grouped by database identifier into the table "ID-analysis".
#pragma once
#include <QDialog>

#include "vistram/base/command_ids.h"
#include "vistram/results/search.h"

class QPushButton;
class SearchTableList;

class IdAnalyserDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kIdAnalyse = 1;
  static constexpr int kIdCancel = 2;

  IdAnalyserDlg(DataProgram& dp, QWidget* owner);

  int Outcome() const { return outcome_; }
  SearchTable TakeTable() { return std::move(table_); }

  SearchTableList* TableList() const { return tables_; }
  QPushButton* AnalyseButton() const { return analyse_; }
  QPushButton* CancelButton() const { return cancel_; }

  void IdAnalyserDlg_OnCommand(int id);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  DataProgram& dp_;
  SearchTableList* tables_ = nullptr;
  QPushButton* analyse_ = nullptr;
  QPushButton* cancel_ = nullptr;
  int outcome_ = kSearchNothing;
  SearchTable table_;
};

// Command id of the menu item and of F6.
inline constexpr int IDM_ID_ANALYSER = kCmdIdAnalyser;

// The command: runs the dialog modally over `owner`, then shows the table of
// groups. Returns the analysis's outcome (kSearchNothing when cancelled).
int IdAnalyserCommand(QWidget* owner, DataProgram& dp, ResultView& view);
