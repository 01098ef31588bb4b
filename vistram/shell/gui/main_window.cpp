#include "vistram/shell/gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QGuiApplication>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <vector>

#include "vistram/base/colours.h"
#include "vistram/base/command_ids.h"
#include "vistram/base/config.h"
#include "vistram/editor/gui/editor_open.h"
#include "vistram/editor/msf.h"
#include "vistram/hca/gui/hca_viewer.h"
#include "vistram/mapper/gui/map_window.h"
#include "vistram/platform/gui/label_cell.h"
#include "vistram/platform/gui/rename_dialog.h"
#include "vistram/platform/messages.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/gui/field_search_dialog.h"
#include "vistram/results/gui/id_analyser_dialog.h"
#include "vistram/results/gui/string_finder_dialog.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/companions.h"
#include "vistram/shell/gui/about_dialog.h"
#include "vistram/shell/gui/colours_dialog.h"
#include "vistram/shell/gui/display.h"
#include "vistram/shell/gui/gui_parameters_dialog.h"
#include "vistram/shell/gui/info_dialogs.h"
#include "vistram/shell/gui/load_progress.h"
#include "vistram/shell/gui/pairwise_view.h"
#include "vistram/shell/gui/print_commands.h"
#include "vistram/shell/gui/result_list.h"
#include "vistram/shell/gui/save_results_dialog.h"
#include "vistram/shell/gui/toolbar_icons.h"
#include "vistram/shell/main_commands.h"
#include "vistram/shell/recent_files.h"
#include "vistram/web/gui/web_commands.h"
#include "vistram/web/request_file.h"

// ---------------------------------------------------------------------------
// The command table. A command is one entry: its id, its menu text and key,
// when it is enabled and what it runs (a function of the window, which may
// use its public interface: Data(), View(), ResultList(), SelectionChanged()
// and the owner `&window` for dialogs). Its place in the menus and the toolbar
// comes from the layouts below, which list every command in its documented
// position; a command without an entry here is left out, with the separators
// it would leave dangling.

enum class Enabling { Always, Data, DataHtml };

struct CommandTable {
  struct Entry {
    int id;
    const char* text;   // menu text ("&Open..."), or null: no menu item
    const char* key;    // accelerator ("F2"), or null
    Enabling enabling;
    QStyle::StandardPixmap icon;  // toolbar image (used when the command has a toolbar slot)
    void (*run)(MainWindow& window);  // the window's public interface (Data(), View(), ...) is enough
  };
  static const std::vector<Entry>& Entries() {
    static const std::vector<Entry> entries = {
        {kCmdOpen, "&Open...", nullptr, Enabling::Always, QStyle::SP_DialogOpenButton,
         [](MainWindow& w) { w.CmdOpen(); }},
        {kCmdSave, "&Save...", nullptr, Enabling::Data, QStyle::SP_DialogSaveButton,
         [](MainWindow& w) { SaveResultsDlg(&w, w.Data()); }},
        {kCmdClose, "&Close", nullptr, Enabling::Data, QStyle::SP_DialogCloseButton,
         [](MainWindow& w) { w.CmdClose(); }},
        {kCmdDatabaseInfo, "&DataBase information...", nullptr, Enabling::Data, QStyle::SP_FileDialogInfoView,
         [](MainWindow& w) { w.CmdFileHeader(); }},
        // Printing (print_commands.cpp).
        {kCmdPrintSetup, "Prin&t setup...", nullptr, Enabling::Always, QStyle::SP_FileDialogDetailedView,
         [](MainWindow& w) { PrintSetupCommand(&w); }},
        {kCmdPrint, "&Print sequence", nullptr, Enabling::Data, QStyle::SP_DialogApplyButton,
         [](MainWindow& w) { MainPrintCommand(w, false); }},
        {kCmdExportPdf, "Export as PDF...", nullptr, Enabling::Data, QStyle::SP_CustomBase,
         [](MainWindow& w) { MainPrintCommand(w, true); }},
        {kCmdExit, "&Exit...", nullptr, Enabling::Always, QStyle::SP_TitleBarCloseButton,
         [](MainWindow& w) { w.CmdExit(); }},
        {kCmdSelectFirstAlignments, "Select all first alignments", nullptr, Enabling::Data, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.CmdSelectFirst(); }},
        {kCmdSelectAllAlignments, "Select all alignments", nullptr, Enabling::Data, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.CmdSelectAll(); }},
        {kCmdUnselectAllAlignments, "Unselect all alignments", nullptr, Enabling::Data, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.CmdUnselectAll(); }},
        {kCmdViewDatabaseFile, "View DataBase file", nullptr, Enabling::DataHtml, QStyle::SP_DriveNetIcon,
         [](MainWindow& w) { w.CmdViewDatabaseFile(); }},
        {kCmdColours, "Colors...", nullptr, Enabling::Data, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.CmdColours(); }},
        {kCmdGuiParameters, "GUI parameters...", nullptr, Enabling::Always, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.CmdGuiParameters(); }},
        {kCmdStringFinder, "&String Finder...\tF5", "F5", Enabling::Data, QStyle::SP_FileDialogDetailedView,
         [](MainWindow& w) {
           StringFinderCommand(&w, w.Data(), w.View());
           w.SelectionChanged();
         }},
        {kCmdIdAnalyser, "&ID analyser...\tF6", "F6", Enabling::Data, QStyle::SP_CustomBase,
         [](MainWindow& w) { IdAnalyserCommand(&w, w.Data(), w.View()); }},
        {kCmdFieldSearch, "&Field Search...\tF7", "F7", Enabling::Data, QStyle::SP_CustomBase,
         [](MainWindow& w) { FieldSearchCommand(&w, w.Data(), w.View()); }},
        {kCmdHitmerge, nullptr, nullptr, Enabling::Always, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.CmdHitmerge(); }},
        {kCmdNothing, nullptr, "F1", Enabling::Always, QStyle::SP_CustomBase, [](MainWindow& w) { w.CmdNothing(); }},
        {kCmdHcaViewer, "&HCA Viewer", "F2", Enabling::Data, QStyle::SP_FileDialogContentsView,
         [](MainWindow& w) { w.CmdHcaViewer(); }},
        {kCmdFullHcaViewer, "&Full HCA Viewer", nullptr, Enabling::Always, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.CmdFullHcaViewer(); }},
        {kCmdMapper, "&Mapper\tF4", "F4", Enabling::Data, QStyle::SP_FileDialogListView,
         [](MainWindow& w) { w.CmdMapper(); }},
        {kCmdAbout, "&About...", nullptr, Enabling::Always, QStyle::SP_CustomBase, [](MainWindow& w) { w.CmdAbout(); }},
        {kCmdRename, "&Rename...", nullptr, Enabling::Data, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.CmdRename(); }},
        // Web requests.
        {kCmdBlast2Defaults, "BLAST2 default values...", nullptr, Enabling::Always, QStyle::SP_CustomBase,
         [](MainWindow& w) { Blast2DefaultsCommand(&w, w.Data().configPath); }},
        {kCmdBlast2Search, "&BLAST-2...\tF8", "F8", Enabling::Always, QStyle::SP_ComputerIcon,
         [](MainWindow& w) { Blast2SearchCommand(&w, w.Data().configPath); }},
        {kCmdClustalRequest, nullptr, "F9", Enabling::Always, QStyle::SP_CustomBase,
         [](MainWindow& w) { ClustalRequestCommand(&w, w.Data().configPath); }},
        // The alignment editor (Tools, Editor).
        {kCmdEditorFromAlignments, "&Constructor\tF3", "F3", Enabling::Data, QStyle::SP_FileDialogDetailedView,
         [](MainWindow& w) { w.Editors().FromSelection(w.Data()); }},
        {kCmdEditorOpenMsf, "&Open a MSF", nullptr, Enabling::Always, QStyle::SP_CustomBase,
         [](MainWindow& w) { w.Editors().ChooseAndOpenMsf(w.Data().configPath); }},
    };
    return entries;
  }
  static const Entry* Find(int id) {
    for (const Entry& e : Entries())
      if (e.id == id) return &e;
    return nullptr;
  }
};

namespace {
// The main menu: each popup with its status-bar string and its items in
// order (0 is a separator; kEditorSubmenu the sub-menu "&Editor").
constexpr int kEditorSubmenu = -1;
const std::vector<int>& EditorSubmenu() {
  static const std::vector<int> ids = {kCmdEditorFromAlignments, kCmdEditorOpenMsf};
  return ids;
}
struct MenuLayout {
  const char* title;
  int helpString;
  std::vector<int> items;
};
const std::vector<MenuLayout>& MainMenu() {
  static const std::vector<MenuLayout> menu = {
      {"&File",
       IDS_MENU_FILE_HELP,
       {kCmdOpen, kCmdSave, kCmdRename, kCmdClose, 0, kCmdDatabaseInfo, 0, kCmdPrintSetup, kCmdPrint, kCmdExportPdf, 0, kCmdExit}},
      {"&Edit",
       IDS_MENU_EDIT_HELP,
       {kCmdSelectFirstAlignments, kCmdSelectAllAlignments, kCmdUnselectAllAlignments, 0, kCmdViewDatabaseFile}},
      {"&Options", IDS_MENU_OPTIONS_HELP, {kCmdColours, kCmdGuiParameters, kCmdBlast2Defaults}},
      {"&Tools",
       IDS_MENU_TOOLS_HELP,
       {kCmdHcaViewer, kCmdFullHcaViewer, kEditorSubmenu, kCmdMapper, kCmdStringFinder, kCmdIdAnalyser,
        kCmdFieldSearch, 0, kCmdBlast2Search}},
      {"&Help", IDS_MENU_HELP_HELP, {kCmdAbout}},
  };
  return menu;
}
// The toolbar buttons in order (NIDVBMAINBTN); the tooltip of button i is string i.
const std::vector<int>& ToolbarButtons() {
  static const std::vector<int> ids = {
      kCmdOpen,         kCmdPrint,     kCmdPrintSetup,           kCmdDatabaseInfo, kCmdViewDatabaseFile,
      kCmdBlast2Search, kCmdHcaViewer, kCmdEditorFromAlignments, kCmdMapper,       kCmdStringFinder,
      kCmdExit};
  return ids;
}
// Toolbar slots left to right (0 is a separator).
const std::vector<int>& ToolbarSlots() {
  static const std::vector<int> order = {kCmdOpen,
                                         0,
                                         kCmdPrint,
                                         kCmdPrintSetup,
                                         0,
                                         kCmdDatabaseInfo,
                                         0,
                                         kCmdViewDatabaseFile,
                                         kCmdBlast2Search,
                                         0,
                                         kCmdHcaViewer,
                                         kCmdEditorFromAlignments,
                                         kCmdMapper,
                                         kCmdStringFinder,
                                         0,
                                         kCmdExit};
  return order;
}

QString Str(int id) { return QString::fromStdString(LoadStringText(id)); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

// Appends the items of `ids` that exist, with no separator first, last or twice.
template <typename AddItem, typename AddSeparator>
void LayOut(const std::vector<int>& ids, AddItem addItem, AddSeparator addSeparator) {
  bool pendingSeparator = false;
  bool any = false;
  for (int id : ids) {
    if (id == 0) {
      pendingSeparator = any;
      continue;
    }
    if (id == kEditorSubmenu ? CommandTable::Find(EditorSubmenu()[0]) == nullptr : CommandTable::Find(id) == nullptr)
      continue;
    if (pendingSeparator) addSeparator();
    pendingSeparator = false;
    addItem(id);
    any = true;
  }
}
}  // namespace

// ---------------------------------------------------------------------------
// The window as the flows see it.
namespace {
class MainResultView : public ResultView {
 public:
  explicit MainResultView(::MainWindow& w) : w_(w) {}
  WindowHandle MainWindow() override { return &w_; }
  bool ShowResults(DataProgram& dp, int hitNumber, int alignmentNumber) override {
    return w_.ShowResults(dp, hitNumber, alignmentNumber);
  }
  void ClearResults(DataProgram& dp) override { w_.ClearResults(dp); }
  void EmptyComboTable() override { w_.EmptyComboTable(); }
  void FillComboTable(const DataProgram& dp) override { w_.FillComboTable(dp); }
  void ShowProgress() override { w_.ShowProgress(); }
  void SetProgress(std::uint64_t bytesRead, std::uint64_t totalBytes) override {
    w_.SetProgress(bytesRead, totalBytes);
  }
  void HideProgress() override { w_.HideProgress(); }
  void PostLoadDone(int ready, int fromTables) override { w_.PostLoadDone(ready, fromTables); }

 private:
  ::MainWindow& w_;
};
}  // namespace

// ---------------------------------------------------------------------------

std::unique_ptr<MainWindow> MainWindow::Create(const std::string& programPath) {
  std::unique_ptr<DataProgram> dp = InitDataProgram(programPath);
  if (!dp) return nullptr;
  {
    const auto slash = programPath.find_last_of('/');
    SetText(dp->programFolder, slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1),
            width::kPath);
  }
  dp->prefs = ReadGuiPreferences(dp->configPath);
  dp->colourCode = kColourHca;
  dp->useBackground = 1;
  std::unique_ptr<MainWindow> w(new MainWindow(std::move(dp)));
  // The fonts: without the list and viewer fonts there is no window.
  if (!CreateFonts(*w->display_, w->dp_->prefs, ScreenDpiX(w.get()), nullptr)) return nullptr;
  if (!w->CreateChildren()) {
    MyErrMsgBox(IDS_CAPTION, IDS_CANNOT_CREATE_WINDOWS, nullptr);
    return nullptr;
  }
  MainWindow* window = w.get();
  InstallWebAnswers(window, [window](const WebAnswer& answer) { window->OpenWebAnswer(answer); });
  return w;
}

MainWindow::MainWindow(std::unique_ptr<DataProgram> dp)
    : dp_(std::move(dp)), view_(std::make_unique<MainResultView>(*this)),
      display_(std::make_unique<DisplayResources>()) {
  CreateBrushesAndPens(*display_);
  setObjectName("Vistram ");
  setWindowTitle("Vistram ");
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(pal);
}

MainWindow::~MainWindow() {
  RemoveWebAnswers();
  // A worker still reading (the window closed by the system) must end before
  // the records it fills go away.
  WaitForLoadThread();
  // Destruction: the table-name list, then every table with its hits.
  if (dp_) {
    FreedataTableAbs(*dp_);
    FreeDataProgram(dp_);
  }
}

bool MainWindow::CreateChildren() {
  central_ = new QWidget(this);
  setCentralWidget(central_);
  const QFont& listFont = display_->listFont;

  seqNumber_ = new LabelCell(LabelCell::Kind::Header, "No. ", central_);
  dbId_ = new LabelCell(LabelCell::Kind::Header, "DB Id.", central_);
  dbName_ = new LabelCell(LabelCell::Kind::Header, "DB SEQUENCE NAME", central_);
  scores_ = new LabelCell(LabelCell::Kind::Header, "SCORE - P or E", central_);
  list_ = new QListView(central_);
  list_->setObjectName("resultList");
  model_ = new ResultListModel(*dp_, this);
  delegate_ = new ResultListDelegate(this);
  delegate_->SetFont(display_->listFont, display_->listCharWidth, display_->listLineHeight, dp_->prefs.listLines);
  ConfigureResultList(list_, model_, delegate_);
  connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    if (!fillingList_) MainWndProc_OnCommand(kCmdResultList);
  });
  list_->installEventFilter(this);
  list_->viewport()->installEventFilter(this);
  prevBtn_ = new QPushButton("<<", central_);
  prevBtn_->setObjectName("previousAlignment");
  nextBtn_ = new QPushButton(">>", central_);
  nextBtn_->setObjectName("nextAlignment");
  checkSel_ = new QCheckBox(central_);
  checkSel_->setObjectName("selectionCheck");
  selLabel_ = new LabelCell(LabelCell::Kind::Framed, "", central_);
  statInfo_ = new LabelCell(LabelCell::Kind::Framed, "", central_);
  query_ = new LabelCell(LabelCell::Kind::Framed, "Query :", central_);
  queryFrom_ = new LabelCell(LabelCell::Kind::Plain, "", central_);
  queryTo_ = new LabelCell(LabelCell::Kind::Plain, "", central_);
  subject_ = new LabelCell(LabelCell::Kind::Framed, "Subject :", central_);
  subjectFrom_ = new LabelCell(LabelCell::Kind::Plain, "", central_);
  subjectTo_ = new LabelCell(LabelCell::Kind::Plain, "", central_);
  seqAlign_ = new PairwiseView(central_);
  seqAlign_->setObjectName("pairwiseView");
  seqAlign_->SetDataProgram(dp_.get());
  seqAlign_->SetViewerFont(display_->viewerFont, display_->viewerCharWidth, display_->viewerLineHeight);
  seqAlign_->HorizontalScrollBar()->setEnabled(false);
  for (LabelCell* c : {seqNumber_, dbId_, dbName_, scores_, selLabel_, statInfo_, query_, queryFrom_, queryTo_,
                       subject_, subjectFrom_, subjectTo_})
    c->setFont(listFont);

  connect(prevBtn_, &QPushButton::clicked, this, [this] { MainWndProc_OnCommand(kCmdPreviousAlignment); });
  connect(nextBtn_, &QPushButton::clicked, this, [this] { MainWndProc_OnCommand(kCmdNextAlignment); });
  // The program checks the box itself: a click asks for command 6014.
  checkSel_->setCheckable(true);
  connect(checkSel_, &QCheckBox::clicked, this, [this](bool) {
    checkSel_->setChecked(!checkSel_->isChecked());
    MainWndProc_OnCommand(kCmdSelectionCheck);
  });

  statusBar()->setObjectName("statusBar");
  statusBar()->showMessage("Ready");
  connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& m) {
    if (m.isEmpty()) statusBar()->showMessage("Ready");
  });

  CreateMenusAndToolbar();

  prevBtn_->setEnabled(false);
  nextBtn_->setEnabled(false);
  checkSel_->setEnabled(false);
  tableCombo_->setEnabled(false);
  VBMainToolBarEnableBtn(false);
  // The window cannot be made smaller than two thirds of the screen.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize area = screen->availableGeometry().size();
    setMinimumSize(area.width() * 2 / 3, area.height() * 2 / 3);
    resize(std::max(minimumWidth(), std::min(900, area.width())), std::max(minimumHeight(), std::min(700, area.height())));
  } else {
    resize(900, 700);
  }
  MainWndProc_OnSize();
  return true;
}

void MainWindow::CreateMenusAndToolbar() {
  // One action per command of the table; menus and toolbar share it.
  for (const CommandTable::Entry& e : CommandTable::Entries()) {
    auto* a = new QAction(this);
    a->setObjectName(QString("command%1").arg(e.id));
    a->setText(e.text != nullptr ? QString(e.text) : QString());
    if (e.key != nullptr) a->setShortcut(QKeySequence(QString(e.key)));
    const QString help = Str(e.id);
    if (!help.isEmpty()) a->setStatusTip(help);
    const int id = e.id;
    connect(a, &QAction::triggered, this, [this, id] { MainWndProc_OnCommand(id); });
    // The HCA viewers', the editor's and the map's items are checked while their window exists.
    if (e.id == kCmdHcaViewer || e.id == kCmdFullHcaViewer || e.id == kCmdEditorFromAlignments || e.id == kCmdMapper)
      a->setCheckable(true);
    addAction(a);  // accelerators work without a menu item too
    actions_[id] = a;
    actionIds_[a] = id;
  }

  for (const MenuLayout& m : MainMenu()) {
    std::vector<int> present;
    for (int id : m.items)
      if (id > 0 && CommandTable::Find(id) != nullptr && CommandTable::Find(id)->text != nullptr) present.push_back(id);
    if (present.empty()) continue;
    QMenu* menu = menuBar()->addMenu(m.title);
    menu->menuAction()->setStatusTip(Str(m.helpString));
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::MainWndProc_OnInitMenu);
    // A menu closed (Escape too) takes its help text off the status bar.
    connect(menu, &QMenu::aboutToHide, statusBar(), &QStatusBar::clearMessage);
    LayOut(
        m.items,
        [&](int id) {
          if (id == kEditorSubmenu) {
            QMenu* sub = menu->addMenu("&Editor");
            for (int e : EditorSubmenu())
              if (CommandTable::Find(e) != nullptr) sub->addAction(actions_[e]);
          } else if (CommandTable::Find(id)->text != nullptr) {
            menu->addAction(actions_[id]);
          }
        },
        [&] { menu->addSeparator(); });
    // File > "Recent files", just above Exit.
    if (recentMenu_ == nullptr && actions_.count(kCmdExit) != 0 && menu->actions().contains(actions_[kCmdExit])) {
      recentMenu_ = new QMenu("Recent &files", menu);
      recentMenu_->setObjectName("recentFiles");
      menu->insertMenu(actions_[kCmdExit], recentMenu_);
      menu->insertSeparator(actions_[kCmdExit]);
      connect(recentMenu_, &QMenu::aboutToShow, this, &MainWindow::FillRecentFilesMenu);
      FillRecentFilesMenu();
    }
  }
  setAcceptDrops(true);

  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName("toolbar");
  toolbar_->setMovable(false);
  toolbar_->setFloatable(false);
  toolbar_->setIconSize(QSize(15, 15));
  addToolBar(Qt::TopToolBarArea, toolbar_);
  const std::vector<int>& buttons = ToolbarButtons();
  LayOut(
      ToolbarSlots(),
      [&](int id) {
        QAction* a = actions_[id];
        const CommandTable::Entry* e = CommandTable::Find(id);
        const QIcon own = CommandIcon(id);
        a->setIcon(own.isNull() ? style()->standardIcon(e->icon) : own);
        for (std::size_t i = 0; i < buttons.size(); ++i)
          if (buttons[i] == id) a->setToolTip(Str(static_cast<int>(i)));
        toolbar_->addAction(a);
      },
      [&] { toolbar_->addSeparator(); });
  toolbar_->addSeparator();
  tableCombo_ = new QComboBox(toolbar_);
  tableCombo_->setObjectName("tableCombo");
  tableCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  tableCombo_->setMinimumContentsLength(20);
  tableCombo_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  tableCombo_->setMaxVisibleItems(8);
  tableCombo_->setFont(display_->comboFont);
  toolbar_->addWidget(tableCombo_);
  connect(tableCombo_, &QComboBox::activated, this, [this](int) { MainWndProc_OnCommand(kCmdTableCombo); });
}

QAction* MainWindow::CommandAction(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

bool MainWindow::CommandEnabled(int id) const {
  const CommandTable::Entry* e = CommandTable::Find(id);
  if (e == nullptr) return false;
  switch (e->enabling) {
    case Enabling::Always: return true;
    case Enabling::Data: return HasData(*dp_);
    case Enabling::DataHtml: return HasHtmlData(*dp_);
  }
  return false;
}

void MainWindow::MainWndProc_OnInitMenu() {
  for (auto& [id, a] : actions_) a->setEnabled(CommandEnabled(id));
}

void MainWindow::VBMainToolBarEnableBtn(bool enable) {
  (void)enable;
  // Menu items and toolbar buttons share their actions: each follows its
  // command's rule (data, or data read from HTML).
  MainWndProc_OnInitMenu();
}

void MainWindow::MainWndProc_OnCommand(int id) {
  switch (id) {
    case kCmdTableCombo: OnTableComboChanged(tableCombo_->currentIndex()); return;
    case kCmdResultList: OnListSelectionChanged(); return;
    case kCmdNextAlignment: OnStepAlignment(+1); return;
    case kCmdPreviousAlignment: OnStepAlignment(-1); return;
    case kCmdSelectionCheck: OnSelectionCheck(); return;
    default: break;
  }
  const CommandTable::Entry* e = CommandTable::Find(id);
  if (e == nullptr) return;
  // Commands reached while they are not available (a key pressed while the
  // menu item is grey) do nothing.
  if (!CommandEnabled(id)) return;
  e->run(*this);
}

// ---------------------------------------------------------------------------
// Layout.

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  MainWndProc_OnSize();
}

void MainWindow::MainWndProc_OnSize() {
  if (central_ == nullptr) return;
  const int cw = display_->listCharWidth;
  const int lh = display_->listLineHeight;
  const int vh = display_->viewerLineHeight;
  const int W = central_->width();
  const int H = central_->height();
  const int r = 4 * lh / 3;
  const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  // The HCA Viewer's area replaces the pairwise view's.
  const int v = hca_ ? HcaAreaHeight() : sb + 6 * vh;
  // Header cells along the top.
  seqNumber_->setGeometry(0, 0, 6 * cw, r);
  dbId_->setGeometry(6 * cw, 0, 22 * cw, r);
  scores_->setGeometry(W - 18 * cw, 0, 18 * cw, r);
  dbName_->setGeometry(28 * cw, 0, std::max(0, W - 18 * cw - 28 * cw), r);
  const int b = H - (3 * r + v);
  list_->setGeometry(2, r, W - 3, std::max(0, b - r - 2));
  prevBtn_->setGeometry(2, b, 5 * cw, r);
  nextBtn_->setGeometry(5 * cw + 2, b, 5 * cw, r);
  checkSel_->setGeometry(10 * cw + 4, b, 2 * cw, r);
  selLabel_->setGeometry(12 * cw + 4, b, std::max(0, W - 12 * cw - 4), r);
  statInfo_->setGeometry(0, b + r, W, 2 * r);
  query_->setGeometry(2, b + 3 * r + 2, 12 * cw - 3, r);
  queryFrom_->setGeometry(0, b + 4 * r + 2, 6 * cw, r);
  queryTo_->setGeometry(6 * cw, b + 4 * r + 2, 6 * cw, r);
  subject_->setGeometry(2, H - r, 12 * cw - 3, r);
  subjectFrom_->setGeometry(0, H - 2 * r, 6 * cw, r);
  subjectTo_->setGeometry(6 * cw, H - 2 * r, 6 * cw, r);
  seqAlign_->setGeometry(12 * cw, b + 3 * r + 1, std::max(0, W - 12 * cw), v - 1);
  if (hca_) {
    hca_->setGeometry(12 * cw, b + 3 * r + 1, std::max(0, W - 12 * cw), v - 1);
    // The symbol legend: at the left edge of the query's first-position
    // box, two pixels below it, above the subject's boxes.
    const int top = b + 5 * r + 4;
    const int room = std::max(0, (H - 2 * r) - top);
    if (hcaLegend_ != nullptr)
      hcaLegend_->setGeometry(0, top, 12 * cw - 1, std::min(room, hcaLegend_->sizeHint().height()));
  }
}

int MainWindow::HcaAreaHeight() const { return hca_ ? hca_->sizeHint().height() + 1 : 0; }

// ---------------------------------------------------------------------------
// Showing and clearing the results.

void MainWindow::ShowLabels(bool shown) {
  for (LabelCell* c : {seqNumber_, dbId_, dbName_, scores_, selLabel_, statInfo_, query_, queryFrom_, queryTo_,
                       subject_, subjectFrom_, subjectTo_})
    c->setTextShown(shown);
}

bool MainWindow::ShowResults(DataProgram& dp, int hitNumber, int alignmentNumber) {
  (void)alignmentNumber;
  fillingList_ = true;
  FillResultList(list_, model_, hitNumber - 1);
  fillingList_ = false;
  // The viewer record was built by the load flow; colour and draw it.
  seqAlign_->SetDataProgram(&dp);
  seqAlign_->Refresh();
  UpdateCaptions();
  checkSel_->setEnabled(true);
  VBMainToolBarEnableBtn(true);
  setWindowTitle(Q(ResultTitle(dp.header.resultType)));
  scores_->setText("SCORE - P or E");
  ShowLabels(HasData(dp));
  RefillHcaViewer();
  update();
  return true;
}

void MainWindow::ClearResults(DataProgram& dp) {
  (void)dp;
  setWindowTitle("Vistram ");
  fillingList_ = true;
  model_->Reset();
  fillingList_ = false;
  seqAlign_->Refresh();
  checkSel_->setChecked(false);
  checkSel_->setEnabled(false);
  prevBtn_->setEnabled(false);
  nextBtn_->setEnabled(false);
  for (LabelCell* c : {selLabel_, statInfo_, queryFrom_, queryTo_, subjectFrom_, subjectTo_}) c->setText(" ");
  dbName_->setText("DB SEQUENCE NAME");
  ShowLabels(false);
  VBMainToolBarEnableBtn(false);
  // Closing the report empties the HCA Viewer.
  if (hca_) hca_->Empty();
  update();
}

void MainWindow::EmptyComboTable() {
  fillingCombo_ = true;
  tableCombo_->clear();
  fillingCombo_ = false;
}

void MainWindow::FillComboTable(const DataProgram& dp) {
  fillingCombo_ = true;
  tableCombo_->clear();
  if (dp.currentTable < 0) {
    tableCombo_->setEnabled(false);
    fillingCombo_ = false;
    return;
  }
  for (const auto& t : dp.tables) tableCombo_->addItem(Q(t->name));
  tableCombo_->setEnabled(true);
  tableCombo_->setCurrentIndex(dp.currentTable);
  fillingCombo_ = false;
  list_->setFocus();
}

// ---------------------------------------------------------------------------
// Loading.

QWidget* MainWindow::ProgressWindow() const { return progress_.data(); }

void MainWindow::ShowProgress() {
  progressPercent_ = 0;
  QMetaObject::invokeMethod(this, [this] {
    if (!progress_) progress_ = new LoadProgressWindow(this);
    progress_->SetPercent(0);
    progress_->show();
  }, Qt::QueuedConnection);
}

void MainWindow::SetProgress(std::uint64_t bytesRead, std::uint64_t totalBytes) {
  const int percent = totalBytes == 0 ? 100
                                      : static_cast<int>(std::min<std::uint64_t>(100, bytesRead * 100 / totalBytes));
  // Only a change of the percentage crosses to the user-interface thread.
  if (progressPercent_.exchange(percent) == percent) return;
  QMetaObject::invokeMethod(this, [this, percent] {
    if (progress_) progress_->SetPercent(percent);
  }, Qt::QueuedConnection);
}

void MainWindow::HideProgress() {
  QMetaObject::invokeMethod(this, [this] {
    if (progress_) progress_->deleteLater();
    progress_ = nullptr;
  }, Qt::QueuedConnection);
}

void MainWindow::PostLoadDone(int ready, int fromTables) {
  QMetaObject::invokeMethod(this, [this, ready, fromTables] {
    OnLoadDone(*dp_, *view_, ready, fromTables);
    if (ready == 1 && fromTables == 0) RememberRecentFile(dp_->reportPath);
    loadRunning_ = false;
    emit loadFinished(ready);
    // Files handed over while the load ran are opened now, one at a time.
    if (!pendingHandOvers_.empty()) {
      const std::string next = pendingHandOvers_.front();
      pendingHandOvers_.erase(pendingHandOvers_.begin());
      OpenCommandLine(next);
    }
  }, Qt::QueuedConnection);
}

void MainWindow::OpenCommandLine(const std::string& line) {
  if (line.empty()) return;
  const CommandLine cmd = ParseCommandLine(line);
  if (cmd.path.empty()) return;
  if (cmd.tooLong) {
    MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_READ_FILE, this, cmd.path);
    return;
  }
  // "PATH {msf_file}": the MSF file opens in the alignment editor.
  if (cmd.msf) {
    RememberRecentFile(line);
    OpenMsfInEditor(cmd.path);
    return;
  }
  if (LoadIsRunning() || loadRunning_) {
    pendingHandOvers_.push_back(line);
    return;
  }
  SetPendingFilePath(cmd.path);
  MainWndProc_OnCommand(kCmdOpen);
}

// ---------------------------------------------------------------------------
// Recent files and dropped files.

void MainWindow::RememberRecentFile(const std::string& entry) {
  const std::string& config = dp_->configPath;
  if (!WriteRecentFiles(config, PushRecentFile(ReadRecentFiles(config), entry)))
    statusBar()->showMessage(QString::fromStdString("Unable to write the recent files to " + config));
}

void MainWindow::FillRecentFilesMenu() {
  recentMenu_->clear();
  const std::vector<std::string> entries = ReadRecentFiles(dp_->configPath);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const QString label = QString::fromStdString(RecentFileLabel(entries[i])).replace('&', "&&");
    QAction* a = recentMenu_->addAction(QString("&%1 %2").arg((i + 1) % 10).arg(label));
    const std::string entry = entries[i];
    connect(a, &QAction::triggered, this, [this, entry] { OpenCommandLine(entry); });
  }
  recentMenu_->setEnabled(!entries.empty());
}

namespace {
std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  return files;
}
}  // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = DroppedFiles(event->mimeData());
  if (files.empty()) return;
  event->acceptProposedAction();
  // Several reports load one after the other, as handed-over files do.
  for (const std::string& f : files) OpenCommandLine(DroppedFileCommandLine(f));
}

// ---------------------------------------------------------------------------
// Answers of the web requests.

void MainWindow::OpenWebAnswer(const WebAnswer& answer) {
  if (answer.action == kActionOpenMsf) {
    OpenMsfAnswer(answer.responseFile);
    return;
  }
  OpenCommandLine(answer.responseFile);
}

// The route of MSF answers (ClustalW requests): an MSF file the editor's
// reader accepts opens in the alignment editor; anything else goes through
// the ordinary Open command, which loads it as a report or says it cannot.
void MainWindow::OpenMsfAnswer(const std::string& path) {
  int rows = 0, columns = 0;
  if (AnalyseMSFHeader(path, rows, columns))
    OpenMsfInEditor(path);
  else
    OpenCommandLine(path);
}

// ---------------------------------------------------------------------------
// Commands.

void MainWindow::CmdOpen() {
  if (loadRunning_ || LoadIsRunning()) {
    MyInfoMsgBox(IDS_CAPTION, IDS_LOAD_ALREADY_RUNNING, this);
    return;
  }
  loadRunning_ = true;
  const int r = StartLoad(*dp_, *view_);
  if (r == kLoadStarted) return;
  loadRunning_ = false;
  if (r == kLoadAlreadyRunning) MyInfoMsgBox(IDS_CAPTION, IDS_LOAD_ALREADY_RUNNING, this);
}

EditorLauncher& MainWindow::Editors() {
  if (editors_ == nullptr) editors_ = new EditorLauncher(this, CommandAction(kCmdEditorFromAlignments));
  return *editors_;
}

void MainWindow::OpenMsfInEditor(const std::string& path) { Editors().OpenMsf(path, dp_->configPath); }

void MainWindow::CmdClose() { CloseCurrentTable(*dp_, *view_); }

void MainWindow::CmdViewDatabaseFile() {
  if (!dp_->viewer) return;
  const HspData* hit = dp_->Hit(dp_->viewer->hitNumber);
  if (hit != nullptr) CallBrowser(dp_->configPath, hit->url, this);
}

void MainWindow::CmdColours() {
  if (!ChooseColourCode(this, *dp_)) return;
  seqAlign_->Refresh();
  // The HCA Viewer uses the pairwise view's colours.
  RefillHcaViewer();
}

void MainWindow::CmdGuiParameters() {
  if (!ShowGuiParametersDialog(this, dp_->prefs)) return;
  fillingList_ = true;
  const bool ok = ApplyGuiParameters(*dp_, *display_, this, list_, model_, delegate_, seqAlign_);
  fillingList_ = false;
  if (!ok) {
    // Without fonts the window cannot go on: it closes without the exit question.
    closeWithoutQuestion_ = true;
    close();
    return;
  }
  for (LabelCell* c : {seqNumber_, dbId_, dbName_, scores_, selLabel_, statInfo_, query_, queryFrom_, queryTo_,
                       subject_, subjectFrom_, subjectTo_})
    c->setFont(display_->listFont);
  MainWndProc_OnSize();
}

void MainWindow::CmdHitmerge() { CallCompanion(dp_->configPath, dp_->reportPath, this); }

void MainWindow::UpdateCaptions() {
  const HspCaption c = BuildHspCaption(*dp_);
  selLabel_->setText(Q(c.alignment));
  statInfo_->setText(Q(c.statistics));
  queryFrom_->setText(Q(c.queryFrom));
  queryTo_->setText(Q(c.queryTo));
  subjectFrom_->setText(Q(c.subjectFrom));
  subjectTo_->setText(Q(c.subjectTo));
  UpdateHspButtonWidgets(*dp_, prevBtn_, nextBtn_);
  checkSel_->setChecked(dp_->viewer &&
                        AlignmentSelected(*dp_, dp_->viewer->hitNumber, dp_->viewer->alignmentNumber) == 1);
  ShowLabels(HasData(*dp_));
}

void MainWindow::ShowAlignment(int hitNumber, int alignmentNumber) {
  seqAlign_->ShowHsp(*dp_, hitNumber, alignmentNumber, [this](DataProgram& dp, int h, int a) {
    return LitUnAlignHsp(this, h, a, dp);
  });
  UpdateCaptions();
  RefillHcaViewer();
}

// ---------------------------------------------------------------------------
// The HCA viewers.

HcaViewer* MainWindow::HcaArea() const { return hca_.data(); }
FullHcaViewer* MainWindow::FullHca() const { return fullHca_.data(); }

void MainWindow::RefillHcaViewer() {
  if (!hca_) return;
  if (!dp_->viewer) {
    hca_->Empty();
    return;
  }
  const HspData* hit = dp_->Hit(dp_->viewer->hitNumber);
  hca_->ShowHsp(*dp_->viewer, dp_->header.queryName, hit != nullptr ? hit->identifier : std::string());
}

void MainWindow::CmdHcaViewer() {
  QAction* action = CommandAction(kCmdHcaViewer);
  const int pairwiseHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 6 * display_->viewerLineHeight;
  if (!hca_) {
    HcaViewer* viewer = HcaViewer::Create(MakeHcaViewerSettings(*dp_, display_->listFont), central_);
    if (viewer == nullptr) {
      if (action != nullptr) action->setChecked(false);
      return;
    }
    hca_ = viewer;
    const int grow = HcaAreaHeight() - pairwiseHeight;
    if (!isMaximized() && grow > 0) {
      // Room for the HCA area with a result list of three rows at least.
      const QScreen* screen = QGuiApplication::primaryScreen();
      const int screenHeight = screen ? screen->availableGeometry().height() : height() + grow;
      const int rowHeight = dp_->prefs.listLines * display_->listLineHeight + 4;
      const int needed = height() - list_->height() + 3 * rowHeight + grow;
      if (needed > screenHeight) {
        CurrentPlatform().MessageBox(this, "Affichage impossible", "Oups", MsgIcon::Information, MsgButtons::Ok);
        delete hca_.data();
        if (action != nullptr) action->setChecked(false);
        MODEAFFICHAGE = 3;
        return;
      }
      resize(width(), std::min(height() + grow, screenHeight));
    }
    if (action != nullptr) action->setChecked(true);
    MODEAFFICHAGE = 4;
    if (QAction* print = CommandAction(kCmdPrint)) print->setText("&Print HCA...");
    hcaLegend_ = new HcaLegendWidget(display_->listFont, display_->listCharWidth, display_->listLineHeight, central_);
    seqAlign_->hide();
    MainWndProc_OnSize();
    RefillHcaViewer();
    hca_->show();
    hcaLegend_->show();
    return;
  }
  const int shrink = HcaAreaHeight() - pairwiseHeight;
  delete hca_.data();
  delete hcaLegend_;
  hcaLegend_ = nullptr;
  if (action != nullptr) action->setChecked(false);
  MODEAFFICHAGE = 3;
  if (QAction* print = CommandAction(kCmdPrint)) print->setText("&Print sequence");
  if (!isMaximized() && shrink > 0) resize(width(), std::max(minimumHeight(), height() - shrink));
  MainWndProc_OnSize();
  seqAlign_->show();
}

void MainWindow::CmdFullHcaViewer() {
  QPointer<QAction> action = CommandAction(kCmdFullHcaViewer);
  if (fullHca_) {
    fullHca_->close();  // deletes itself
    if (action) action->setChecked(false);
    return;
  }
  fullHca_ = FullHcaViewer::Create(MakeHcaViewerSettings(*dp_, display_->listFont), this);
  if (!fullHca_) {
    if (action) action->setChecked(false);
    return;
  }
  connect(fullHca_, &HcaWindow::closed, this, [action] {
    if (action) action->setChecked(false);
  });
  if (action) action->setChecked(true);
  fullHca_->show();
}

void MainWindow::CmdMapper() {
  QPointer<QAction> action = CommandAction(kCmdMapper);
  if (dp_->header.resultType == kResultMixed) {
    MyInfoMsgBox(IDS_CAPTION, IDS_MIXED_RESULTS, this);
    if (action) action->setChecked(statBla_ != nullptr);
    return;
  }
  delete statBla_.data();  // releases the previous map
  statBla_ = CreationStatBlaWin(this, *dp_, dp_->alignmentCount, dp_->tableName);
  if (statBla_) {
    connect(statBla_, &StatBlaWindow::closed, this, [action] {
      if (action) action->setChecked(false);
    });
  }
  if (action) action->setChecked(statBla_ != nullptr);
}

StatBlaWindow* MainWindow::MapWindow() const { return statBla_.data(); }

void MainWindow::CmdFileHeader() { AfficheInfoDB(this, *dp_); }

void MainWindow::CmdExit() { close(); }

void MainWindow::SelectionChanged() {
  if (dp_->viewer) {
    checkSel_->setChecked(AlignmentSelected(*dp_, dp_->viewer->hitNumber, dp_->viewer->alignmentNumber) == 1);
  }
  list_->viewport()->update();
  list_->setFocus();
}

void MainWindow::CmdSelectFirst() {
  SelectAllFirstAlignments(*dp_);
  SelectionChanged();
}

void MainWindow::CmdSelectAll() {
  SelectAllAlignments(*dp_);
  SelectionChanged();
}

void MainWindow::CmdUnselectAll() {
  UnselectAllAlignments(*dp_);
  SelectionChanged();
}

void MainWindow::CmdRename() {
  if (dp_->currentTable < 0) return;
  const std::string oldName = dp_->tables[static_cast<std::size_t>(dp_->currentTable)]->name;
  std::string newName;
  if (!RenameSequenceDialog(this, oldName, newName)) return;
  if (!RenameCurrentTable(*dp_, newName)) return;
  const TableEntry& t = *dp_->tables[static_cast<std::size_t>(dp_->currentTable)];
  if (t.sourcePath.size() > 1 && MyAskMsgBox(IDS_CAPTION, IDS_RENAME_FILE_ON_DISK, this) == MsgAnswer::Yes) {
    if (RenameCurrentTableFile(*dp_, newName) == FileRenameResult::Failed)
      MyInfoMsgBox(IDS_CAPTION, IDS_CANNOT_RENAME_FILE, this);
  }
  FillComboTable(*dp_);
  UpdateCaptions();
  list_->setFocus();
}

void MainWindow::CmdAbout() { AFFICHEDLGAPROPOSDE(this); }

void MainWindow::OnTableComboChanged(int index) {
  if (fillingCombo_ || index < 0 || index >= static_cast<int>(dp_->tables.size())) return;
  if (loadRunning_ || LoadIsRunning()) return;
  FermeUnFichier(*dp_, *view_, 0);
  ActivateTable(*dp_, *view_, index);
}

void MainWindow::OnListSelectionChanged() {
  if (!HasData(*dp_)) return;
  const QModelIndex current = list_->currentIndex();
  if (!current.isValid()) return;
  ShowAlignment(current.row() + 1, 1);
}

void MainWindow::OnStepAlignment(int step) {
  if (!HasData(*dp_) || !dp_->viewer) return;
  const int target = SteppedAlignment(*dp_, step);
  if (target == 0) return;
  ShowAlignment(dp_->viewer->hitNumber, target);
  list_->setFocus();
}

void MainWindow::OnSelectionCheck() {
  if (!HasData(*dp_) || !dp_->viewer) return;
  const int flag = ToggleAlignmentSelection(*dp_, dp_->viewer->hitNumber, dp_->viewer->alignmentNumber);
  checkSel_->setChecked(flag == 1);
  list_->viewport()->update();
  list_->setFocus();
}

void MainWindow::ShowDatabaseSequenceInfo() {
  if (!HasData(*dp_) || !dp_->viewer) return;
  const HspData* hit = dp_->Hit(dp_->viewer->hitNumber);
  if (hit != nullptr) FullDBnameDlg(this, *hit);
}

// Keys and right click of the result list, before the list's own handling.
bool MainWindow::ListBoxWndProc(QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(event);
    if (k->key() == Qt::Key_Space) {
      MainWndProc_OnCommand(kCmdSelectionCheck);
      return true;
    }
    if ((k->modifiers() & Qt::KeypadModifier) != 0) {
      if (k->key() == Qt::Key_Plus) {
        if (nextBtn_->isEnabled()) MainWndProc_OnCommand(kCmdNextAlignment);
        return true;
      }
      if (k->key() == Qt::Key_Minus) {
        if (prevBtn_->isEnabled()) MainWndProc_OnCommand(kCmdPreviousAlignment);
        return true;
      }
    }
  } else if (event->type() == QEvent::MouseButtonPress) {
    auto* m = static_cast<QMouseEvent*>(event);
    if (m->button() == Qt::RightButton) {
      ShowDatabaseSequenceInfo();
      return true;
    }
  }
  return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == list_ || watched == list_->viewport()) && ListBoxWndProc(event)) return true;
  return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Closing.

bool MainWindow::MainWndProc_OnClose() {
  // The worker fills this window's records and may be waiting for an answer
  // from this thread: the window stays until the load has ended.
  if (loadRunning_ || LoadIsRunning()) {
    MyInfoMsgBox(IDS_CAPTION, IDS_FILE_BEING_READ, this);
    return false;
  }
  if (closeWithoutQuestion_) return true;
  return MyAskMsgBox(IDS_CAPTION, IDS_EXIT_PROGRAM, this) == MsgAnswer::Yes;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (MainWndProc_OnClose())
    event->accept();
  else
    event->ignore();
}
