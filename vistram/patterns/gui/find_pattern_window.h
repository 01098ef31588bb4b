// The modeless "Find pattern(s)" window: a pattern typed or chosen from a
// pattern file, searched in the chosen rows of an alignment, the matches in
// a tree (row, pattern, one item per match). The window keeps its own copies
// of the rows; the searches run on a second thread so that the window stays
// responsive, with their progress shown and a Cancel button.
#pragma once
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "vistram/patterns/motif_file.h"
#include "vistram/patterns/pattern_row.h"
#include "vistram/patterns/search_run.h"
#include "vistram/base/temp_files.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class FindPatWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kIdFind = 1;
  static constexpr int kIdExit = 2;
  static constexpr int kIdPatternFile = 201;
  static constexpr int kIdSelectAll = 202;
  static constexpr int kIdSelectNone = 203;
  static constexpr int kIdCancel = 204;

  // `rows` are the window's own copies; the table is "<kind>.TBL" beside the program.
  FindPatWnd(QWidget* owner, std::vector<PatternRow> rows, SequenceKind kind, const std::string& currentFolder);
  ~FindPatWnd() override;

  // False when the window's private working folder could not be made.
  bool Ready() const { return !work_.Path().empty(); }
  const std::string& WorkFolder() const { return work_.Path(); }
  bool Searching() const { return search_ != nullptr; }

  void FindPatMainProc_OnInitDialog();
  void FindPatMainProc_OnCommand(int id);

  QLineEdit* PatternField() const { return pattern_; }
  QLabel* DescriptionText() const { return description_; }
  QLabel* FileTitle() const { return fileTitle_; }
  QListWidget* RowList() const { return rowList_; }
  QTreeWidget* Tree() const { return tree_; }
  QPushButton* FindButton() const { return find_; }
  QPushButton* CancelButton() const { return cancel_; }
  QProgressBar* Progress() const { return progress_; }
  PatternFileState& PatternFile() { return file_; }

 signals:
  void searchFinished();

 private:
  void PrepareRechercheMask();
  void DemarreRecherche(std::vector<PatternRow> rows, std::vector<std::string> patterns);
  void TakeOutcomes();
  // Handles one outcome on this thread; false when the user stops the search.
  bool ShowOutcome(const PairOutcome& pair);
  bool AskToContinue();
  void AfficheResultats(const std::string& rowText, QTreeWidgetItem* patternItem);
  void EndSearch();

  std::vector<PatternRow> rows_;
  std::string tableName_;
  PrivateFolder work_{"vistram-patterns-"};  // the window's private folder
  ResultsFile results_;  // RESULTS.TMP in work_
  PatternFileState file_;
  QLineEdit* pattern_ = nullptr;
  QLabel* description_ = nullptr;
  QLabel* fileTitle_ = nullptr;
  QListWidget* rowList_ = nullptr;
  QTreeWidget* tree_ = nullptr;
  QPushButton* find_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QProgressBar* progress_ = nullptr;

  std::unique_ptr<BackgroundSearch> search_;
  QTimer poll_;
  bool taking_ = false;
  std::size_t lastRowShown_ = SIZE_MAX;
  QTreeWidgetItem* rowItem_ = nullptr;
};

// Opens the window over `owner` with the rows (the window takes them) and
// shows it; nothing when it cannot be made (the rows are then dropped).
FindPatWnd* CreeFindPatWnd(QWidget* owner, std::vector<PatternRow> rows, SequenceKind kind,
                           const std::string& currentFolder);
