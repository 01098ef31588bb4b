#include "vistram/patterns/gui/find_pattern_window.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "vistram/patterns/gui/pattern_list_dialog.h"
#include "vistram/patterns/gui/tree_images.h"
#include "vistram/platform/platform.h"

namespace {

constexpr const char* kMsgNoSequences = "No sequences selected.";
constexpr const char* kMsgContinue = "This error could occur again.\nWould-you like to continue ?";
constexpr const char* kMsgResultsUnreadable = "Error when reading the results file.";
constexpr int kPollMs = 30;
constexpr qint64 kTakeBudgetMs = 40;  // work per poll, so that the window keeps answering

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

FindPatWnd::FindPatWnd(QWidget* owner, std::vector<PatternRow> rows, SequenceKind kind,
                       const std::string& currentFolder)
    : QWidget(owner, Qt::Window), rows_(std::move(rows)), tableName_(TableBaseName(kind)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Find pattern(s)");
  for (PatternRow& r : rows_) r.name = r.name.substr(0, kRowNameMax);
  // The pattern file dialog starts in the program's current folder.
  std::error_code ec;
  file_.path = (currentFolder.empty() ? std::filesystem::current_path(ec).string() : currentFolder) + "/";

  auto* patternBox = new QGroupBox("Pattern(s) to find", this);
  pattern_ = new QLineEdit(patternBox);
  pattern_->setMaxLength(static_cast<int>(kPatternFieldMax));
  description_ = new QLabel(patternBox);
  auto* fileButton = new QPushButton("File of pattern(s):", patternBox);
  fileTitle_ = new QLabel(patternBox);
  auto* patternGrid = new QGridLayout(patternBox);
  patternGrid->addWidget(new QLabel("Pattern:", patternBox), 0, 0);
  patternGrid->addWidget(pattern_, 0, 1);
  patternGrid->addWidget(new QLabel("Description:", patternBox), 1, 0);
  patternGrid->addWidget(description_, 1, 1);
  patternGrid->addWidget(fileButton, 2, 0);
  patternGrid->addWidget(fileTitle_, 2, 1);

  auto* rowBox = new QGroupBox("List of sequence(s)", this);
  rowList_ = new QListWidget(rowBox);
  rowList_->setSelectionMode(QAbstractItemView::MultiSelection);
  auto* all = new QPushButton("Select all", rowBox);
  auto* none = new QPushButton("Select none", rowBox);
  auto* rowButtons = new QHBoxLayout;
  rowButtons->addWidget(all);
  rowButtons->addWidget(none);
  rowButtons->addStretch(1);
  auto* rowLayout = new QVBoxLayout(rowBox);
  rowLayout->addWidget(rowList_);
  rowLayout->addLayout(rowButtons);

  auto* resultBox = new QGroupBox("Search results", this);
  tree_ = new QTreeWidget(resultBox);
  tree_->setHeaderHidden(true);
  tree_->setFont(QFont("Courier New", 9));
  auto* resultLayout = new QVBoxLayout(resultBox);
  resultLayout->addWidget(tree_);

  progress_ = new QProgressBar(this);
  progress_->setVisible(false);
  find_ = new QPushButton("Find...", this);
  cancel_ = new QPushButton("Cancel", this);
  cancel_->setEnabled(false);
  auto* exit = new QPushButton("Exit", this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(progress_, 1);
  buttons->addStretch(0);
  buttons->addWidget(find_);
  buttons->addWidget(cancel_);
  buttons->addWidget(exit);

  auto* left = new QVBoxLayout;
  left->addWidget(patternBox);
  left->addWidget(rowBox, 1);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 2);
  columns->addWidget(resultBox, 3);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns, 1);
  layout->addLayout(buttons);
  resize(860, 520);

  const std::pair<QPushButton*, int> commands[] = {{find_, kIdFind},         {exit, kIdExit},
                                                   {fileButton, kIdPatternFile}, {all, kIdSelectAll},
                                                   {none, kIdSelectNone},    {cancel_, kIdCancel}};
  for (const auto& [button, id] : commands) {
    connect(button, &QPushButton::clicked, this, [this, id = id] { FindPatMainProc_OnCommand(id); });
  }
  // Typing a pattern leaves the choice made in the pattern file.
  connect(pattern_, &QLineEdit::textEdited, description_, &QLabel::clear);
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &FindPatWnd::TakeOutcomes);
  FindPatMainProc_OnInitDialog();
}

FindPatWnd::~FindPatWnd() { poll_.stop(); }

void FindPatWnd::FindPatMainProc_OnInitDialog() {
  for (const PatternRow& r : rows_) rowList_->addItem(Text(r.name));
  InitTreeViewImageLists(tree_);
}

void FindPatWnd::FindPatMainProc_OnCommand(int id) {
  switch (id) {
    case kIdPatternFile:
      ListeMotifs(this, file_);
      pattern_->setText(Text(file_.pattern));
      description_->setText(Text(file_.description));
      fileTitle_->setText(Text(file_.title));
      break;
    case kIdSelectAll:
      rowList_->selectAll();
      break;
    case kIdSelectNone:
      rowList_->clearSelection();
      break;
    case kIdFind:
      if (!Searching()) PrepareRechercheMask();
      break;
    case kIdCancel:
      if (search_) search_->Cancel();
      break;
    case kIdExit:
      close();
      break;
    default:
      break;
  }
}

void FindPatWnd::PrepareRechercheMask() {
  std::vector<PatternRow> rows;
  for (int i = 0; i < rowList_->count(); ++i) {
    if (rowList_->item(i)->isSelected()) rows.push_back(rows_[static_cast<std::size_t>(i)]);
  }
  if (rows.empty()) {
    CurrentPlatform().MessageBox(this, kFindPatternsCaption, kMsgNoSequences, MsgIcon::Information, MsgButtons::Ok);
    return;
  }
  DemarreRecherche(std::move(rows), PatternsToSearch(description_->text().toStdString(), pattern_->text().toStdString(), file_));
}

void FindPatWnd::DemarreRecherche(std::vector<PatternRow> rows, std::vector<std::string> patterns) {
  tree_->clear();
  lastRowShown_ = SIZE_MAX;
  rowItem_ = nullptr;
  // The table is read once for the whole run.
  auto table = std::make_unique<ResidueClassTable>();
  if (!CreeTableDNA(TableFolder(tableName_), tableName_, *table)) table.reset();
  search_ = std::make_unique<BackgroundSearch>(std::move(rows), std::move(patterns), std::move(table));
  progress_->setRange(0, static_cast<int>(std::min<std::size_t>(search_->Total(), INT32_MAX)));
  progress_->setValue(0);
  progress_->setVisible(true);
  find_->setEnabled(false);
  cancel_->setEnabled(true);
  search_->Start();
  poll_.start();
}

void FindPatWnd::TakeOutcomes() {
  if (taking_ || !search_) return;  // a question box of this search is open
  taking_ = true;
  QElapsedTimer clock;
  clock.start();
  bool goOn = true;
  std::vector<PairOutcome> outcomes;
  bool more = true;
  while (goOn && clock.elapsed() < kTakeBudgetMs) {
    outcomes.clear();
    more = search_->Take(outcomes);
    for (const PairOutcome& pair : outcomes) {
      if (!ShowOutcome(pair)) {
        goOn = false;
        break;
      }
    }
    if (!more || outcomes.empty()) break;
  }
  if (search_) progress_->setValue(static_cast<int>(std::min<std::size_t>(search_->Done(), INT32_MAX)));
  taking_ = false;
  if (!goOn || !more) EndSearch();
}

bool FindPatWnd::ShowOutcome(const PairOutcome& pair) {
  const SearchOutcome& outcome = pair.outcome;
  if (outcome.code == kSearchError) {
    CurrentPlatform().MessageBox(this, kFindPatternsCaption, outcome.message, MsgIcon::Information, MsgButtons::Ok);
    return AskToContinue();
  }
  const PatternRow& row = search_->Rows()[pair.row];
  if (!results_.Create(work_.Path()) || !results_.Write(outcome.matches)) {
    CurrentPlatform().MessageBox(this, kFindPatternsCaption, kMsgCannotCreateResults, MsgIcon::Information,
                                 MsgButtons::Ok);
    return AskToContinue();
  }
  if (lastRowShown_ != pair.row) {
    rowItem_ = new QTreeWidgetItem(tree_, QStringList(Text(row.name)));
    rowItem_->setIcon(0, TreeImage(tree_, kTreeImageRow));
    rowItem_->setExpanded(true);
    lastRowShown_ = pair.row;
  }
  auto* patternItem = new QTreeWidgetItem(rowItem_, QStringList(Text(search_->Patterns()[pair.pattern])));
  patternItem->setIcon(0, TreeImage(tree_, kTreeImagePattern));
  AfficheResultats(row.residues, patternItem);
  return true;
}

bool FindPatWnd::AskToContinue() {
  const MsgAnswer a =
      CurrentPlatform().MessageBox(this, kFindPatternsCaption, kMsgContinue, MsgIcon::Question, MsgButtons::YesNo);
  return a == MsgAnswer::Yes;
}

void FindPatWnd::AfficheResultats(const std::string& rowText, QTreeWidgetItem* patternItem) {
  std::vector<PatternMatch> matches;
  if (!results_.Read(matches)) {
    new QTreeWidgetItem(patternItem, QStringList(kMsgResultsUnreadable));
    return;
  }
  results_.Empty();  // read: the file is emptied (it goes with the window's folder)
  QList<QTreeWidgetItem*> items;
  const QIcon hit = TreeImage(tree_, kTreeImageHit);
  unsigned number = 1;
  for (const PatternMatch& m : matches) {
    auto* item = new QTreeWidgetItem(QStringList(Text(MatchItemText(number++, m, rowText))));
    item->setIcon(0, hit);
    items.append(item);
  }
  patternItem->addChildren(items);
  patternItem->setExpanded(true);
}

void FindPatWnd::EndSearch() {
  poll_.stop();
  search_.reset();
  progress_->setVisible(false);
  find_->setEnabled(true);
  cancel_->setEnabled(false);
  emit searchFinished();
}

FindPatWnd* CreeFindPatWnd(QWidget* owner, std::vector<PatternRow> rows, SequenceKind kind,
                           const std::string& currentFolder) {
  auto* window = new FindPatWnd(owner, std::move(rows), kind, currentFolder);
  if (!window->Ready()) {
    delete window;
    return nullptr;
  }
  window->show();
  return window;
}
