// The main window of the workbench: toolbar with the table combo box, the
// column header cells, the result list, the previous/next buttons and the
// selection check box, the statistics and position labels, the pairwise
// viewer and the status bar. Every menu item, toolbar button and accelerator
// carries its command id and reaches MainWndProc_OnCommand. The window is the
// ResultView of the load, close and search flows (through View(): a member
// function cannot carry the class's own name, so ResultView::MainWindow is
// answered by a small forwarding object).
#pragma once
#include <QMainWindow>
#include <QPointer>
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vistram/results/records.h"
#include "vistram/results/result_view.h"

class QAction;
class QCheckBox;
class QComboBox;
class QListView;
class QMenu;
class QPushButton;
class QToolBar;
class QWidget;
class LabelCell;
class LoadProgressWindow;
class PairwiseView;
class HcaViewer;
class EditorLauncher;
class FullHcaViewer;
class StatBlaWindow;
class HcaLegendWidget;
class ResultListDelegate;
class ResultListModel;
struct DisplayResources;
struct WebAnswer;

// Ids of the child controls' commands.
inline constexpr int kCmdTableCombo = 6009;
inline constexpr int kCmdResultList = 6011;
inline constexpr int kCmdNextAlignment = 6012;
inline constexpr int kCmdPreviousAlignment = 6013;
inline constexpr int kCmdSelectionCheck = 6014;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // Main-window creation: makes the DataProgram for the program file at
  // `programPath` (refused, with the "not a complete release" warning, when
  // vistram.cfg is missing), reads the display preferences and builds every
  // child. Null when the window cannot be made.
  static std::unique_ptr<MainWindow> Create(const std::string& programPath);
  ~MainWindow() override;

  DataProgram& Data() { return *dp_; }
  const DataProgram& Data() const { return *dp_; }

  // Runs command `id` (menu items, toolbar buttons, accelerators, child controls).
  void MainWndProc_OnCommand(int id);
  // The action of command `id`, or null when the command has no menu item,
  // button or key of its own.
  QAction* CommandAction(int id) const;
  // Whether the command is available now (its enabling rule).
  bool CommandEnabled(int id) const;
  // Sets the enabling of every command from the data state (menu opening,
  // after each change of the shown table).
  void MainWndProc_OnInitMenu();

  // A command line handed over (at start-up or by a second start): a report
  // to open, or an MSF file for the alignment editor.
  void OpenCommandLine(const std::string& line);
  // After selection flags changed: the check box follows the shown
  // alignment's flag, the list is repainted and takes the focus.
  void SelectionChanged();
  // The next close request closes without the exit question (the end of the
  // session has already asked it).
  void CloseWithoutQuestion() { closeWithoutQuestion_ = true; }
  // The answer of a web request, on the user-interface thread: a BLAST
  // report opens as a new table through the Open command; an MSF answer goes
  // to OpenMsfAnswer, which opens it in the alignment editor when the
  // editor's reader takes it for an MSF file (else through Open).
  void OpenWebAnswer(const WebAnswer& answer);
  void OpenMsfAnswer(const std::string& path);
  // True while a report is being read.
  bool LoadRunning() const { return loadRunning_.load(); }

  // The alignment editor's opening (commands 3016 and 3020).
  EditorLauncher& Editors();
  // Opens the MSF file `path` in the alignment editor, as command 3016 does
  // with a pending MSF path (the command line's "PATH {msf_file}", ClustalW
  // answers): an open editor is asked to close first.
  void OpenMsfInEditor(const std::string& path);

  // The window as the flows see it.
  ResultView& View() { return *view_; }
  bool ShowResults(DataProgram& dp, int hitNumber, int alignmentNumber);
  void ClearResults(DataProgram& dp);
  void EmptyComboTable();
  void FillComboTable(const DataProgram& dp);
  void ShowProgress();
  void SetProgress(std::uint64_t bytesRead, std::uint64_t totalBytes);
  void HideProgress();
  void PostLoadDone(int ready, int fromTables);

  // Children, for the tests and the flows.
  QListView* ResultList() const { return list_; }
  QComboBox* TableCombo() const { return tableCombo_; }
  QCheckBox* SelectionCheck() const { return checkSel_; }
  QPushButton* PreviousButton() const { return prevBtn_; }
  QPushButton* NextButton() const { return nextBtn_; }
  QToolBar* ToolBar() const { return toolbar_; }
  LabelCell* SelectionLabel() const { return selLabel_; }
  LabelCell* ScoreHeader() const { return scores_; }
  PairwiseView* PairwiseArea() const { return seqAlign_; }
  ResultListModel* ListModel() const { return model_; }
  LabelCell* StatisticsLabel() const { return statInfo_; }
  // The HCA Viewer shown in place of the pairwise view (command 3014), and
  // the Full HCA Viewer (command 3015); null while closed.
  HcaViewer* HcaArea() const;
  FullHcaViewer* FullHca() const;
  QWidget* ProgressWindow() const;
  // The map window (command 3017); null while closed.
  StatBlaWindow* MapWindow() const;
  // File > "Recent files": the last ten files opened, from the user's
  // configuration (filled when it opens).
  QMenu* RecentFilesMenu() const { return recentMenu_; }
  void FillRecentFilesMenu();

 signals:
  // Emitted on the user-interface thread when a load has been handed over.
  void loadFinished(int ready);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Files dropped on the window open as File > Open would (MSF files in the
  // alignment editor).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  explicit MainWindow(std::unique_ptr<DataProgram> dp);
  bool CreateChildren();
  void CreateMenusAndToolbar();
  void MainWndProc_OnSize();
  // The close request: true when the window may close.
  bool MainWndProc_OnClose();
  void VBMainToolBarEnableBtn(bool enable);
  bool ListBoxWndProc(QEvent* event);
  void ShowLabels(bool shown);

  // Commands.
  void CmdOpen();
  void CmdClose();
  void CmdViewDatabaseFile();
  void CmdColours();
  void CmdGuiParameters();
  void CmdHitmerge();
  void UpdateCaptions();
  void ShowAlignment(int hitNumber, int alignmentNumber);
  void CmdFileHeader();
  void CmdExit();
  void CmdSelectFirst();
  void CmdSelectAll();
  void CmdUnselectAll();
  void CmdRename();
  void CmdNothing() {}
  void CmdAbout();
  void CmdHcaViewer();
  void CmdFullHcaViewer();
  void CmdMapper();
  // Shows the current HSP in the HCA Viewer (or empties it), after every
  // change of the current HSP or of its colours.
  void RefillHcaViewer();
  // Height of the HCA area that replaces the pairwise view.
  int HcaAreaHeight() const;
  void OnTableComboChanged(int index);
  void OnListSelectionChanged();
  void OnStepAlignment(int step);
  void OnSelectionCheck();
  void ShowDatabaseSequenceInfo();

  // Puts a command line first in the recent files of the configuration.
  void RememberRecentFile(const std::string& entry);
  QMenu* recentMenu_ = nullptr;
  std::unique_ptr<DataProgram> dp_;
  std::unique_ptr<ResultView> view_;
  std::atomic<bool> loadRunning_{false};
  std::map<int, QAction*> actions_;
  std::map<QAction*, int> actionIds_;
  QPointer<LoadProgressWindow> progress_;
  std::atomic<int> progressPercent_{-1};
  bool fillingCombo_ = false;

  QToolBar* toolbar_ = nullptr;
  QComboBox* tableCombo_ = nullptr;
  QWidget* central_ = nullptr;
  LabelCell* seqNumber_ = nullptr;
  LabelCell* dbId_ = nullptr;
  LabelCell* dbName_ = nullptr;
  LabelCell* scores_ = nullptr;
  QListView* list_ = nullptr;
  QPushButton* prevBtn_ = nullptr;
  QPushButton* nextBtn_ = nullptr;
  QCheckBox* checkSel_ = nullptr;
  LabelCell* selLabel_ = nullptr;
  LabelCell* statInfo_ = nullptr;
  LabelCell* query_ = nullptr;
  LabelCell* queryFrom_ = nullptr;
  LabelCell* queryTo_ = nullptr;
  LabelCell* subject_ = nullptr;
  LabelCell* subjectFrom_ = nullptr;
  LabelCell* subjectTo_ = nullptr;
  PairwiseView* seqAlign_ = nullptr;
  QPointer<HcaViewer> hca_;
  QPointer<FullHcaViewer> fullHca_;
  QPointer<StatBlaWindow> statBla_;  // HWNDSTATBLA
  HcaLegendWidget* hcaLegend_ = nullptr;
  EditorLauncher* editors_ = nullptr;
  int MODEAFFICHAGE = 3;  // 3 while the HCA Viewer is hidden, 4 while it is shown
  ResultListModel* model_ = nullptr;
  ResultListDelegate* delegate_ = nullptr;
  std::unique_ptr<DisplayResources> display_;
  bool fillingList_ = false;
  bool closeWithoutQuestion_ = false;
  std::vector<std::string> pendingHandOvers_;

  friend struct CommandTable;
};
