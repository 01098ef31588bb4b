#include "vistram/editor/gui/editor_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "vistram/base/command_ids.h"
#include "vistram/editor/gui/editor_dialogs.h"
#include "vistram/editor/gui/editor_images.h"
#include "vistram/editor/gui/msa_printout.h"
#include "vistram/platform/gui/print_job.h"
#include "vistram/editor/gui/msa_draw.h"
#include "vistram/editor/msa_open.h"
#include "vistram/platform/platform.h"
#include "vistram/patterns/gui/find_pattern_window.h"
#include "vistram/platform/gui/rename_dialog.h"

namespace {

// Menu 1011 and the toolbar. A command appears only with an entry here.
struct EditorCommand {
  int id;
  const char* menu;   // popup title
  const char* text;   // item text
  const char* key;    // shortcut, or null
  int image;          // toolbar image, -1 for none
  const char* tooltip;
};

const std::vector<EditorCommand>& EditorCommands() {
  static const std::vector<EditorCommand> commands = {
      {kCmdEditorSave, "&File", "&Save...", nullptr, 0, "Save MSF file"},
      {kCmdWindowPrint, "&File", "&Print", nullptr, -1, "Print the alignment"},
      {kCmdPrintSetup, "&File", "Prin&t setup...", nullptr, -1, "Choose the printer"},
      {kCmdExportPdf, "&File", "Export as PDF...", nullptr, -1, "Write the printed pages to a PDF file"},
      {kCmdExit, "&File", "&Exit", nullptr, 9, "Quit DorUvo editor"},
      {kCmdRename, "&Command", "Re&name sequence...", nullptr, 2, "Change the name of the current sequnce"},
      {kCmdEditorRemoveRow, "&Command", "&Remove sequence", nullptr, 1, "Remove the current sequence"},
      {kCmdEditorMergeRow, "&Command", "&Merge sequence", nullptr, 3, "Merge the current sequence with the above one"},
      {kCmdEditorMoveRowUp, "&Command", "Move sequence &up", nullptr, 4, "Move up the current sequence"},
      {kCmdEditorMoveRowDown, "&Command", "Move sequence &down", nullptr, 5, "Move down the current sequence"},
      {kCmdEditorConsensus, "&Command", "&Consensus...", nullptr, 6, "Make a consensus"},
      {kCmdEditorUndo, "&Command", "U&ndo", "Alt+Backspace", 10, "Undo the last change"},
      {kCmdEditorRedo, "&Command", "Red&o", "Alt+Shift+Backspace", 11, "Redo the change undone"},
      {kCmdEditorFont, "&Options", "&Font...", nullptr, 8, "Change font size"},
      {kCmdEditorFindPattern, "&Options", "Find &pattern...", nullptr, 7, "Find patterns"},
  };
  return commands;
}

// Toolbar slots (0: a separator).
const std::vector<int>& EditorToolbarSlots() {
  static const std::vector<int> order = {kCmdEditorSave,        0, kCmdEditorRemoveRow,  kCmdRename,
                                         kCmdEditorMergeRow,    kCmdEditorMoveRowUp,  kCmdEditorMoveRowDown,
                                         0,                     kCmdEditorUndo,       kCmdEditorRedo,
                                         0,                     kCmdEditorConsensus,  kCmdEditorFindPattern, 0,
                                         kCmdEditorFont,        0,                    kCmdExit};
  return order;
}

QFont MakeEditorFont(int points, int dpi) {
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setWeight(QFont::Normal);
  font.setPixelSize(std::max(1, points * dpi / 72));
  return font;
}

CaretKey KeyOf(int key, bool& isMove) {
  isMove = true;
  switch (key) {
    case Qt::Key_Left: return CaretKey::Left;
    case Qt::Key_Right: return CaretKey::Right;
    case Qt::Key_Up: return CaretKey::Up;
    case Qt::Key_Down: return CaretKey::Down;
    case Qt::Key_PageUp: return CaretKey::PageUp;
    case Qt::Key_PageDown: return CaretKey::PageDown;
    case Qt::Key_Home: return CaretKey::Home;
    case Qt::Key_End: return CaretKey::End;
    default: isMove = false; return CaretKey::Left;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Panes

MsaPane::MsaPane(Kind kind, DarUvaEditor& editor, QWidget* parent) : QWidget(parent), kind_(kind), editor_(editor) {
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kind == Kind::Names ? QColor(192, 192, 192) : QColor(Qt::white));
  setPalette(pal);
  setObjectName(kind == Kind::Ruler ? "DarUva scale" : kind == Kind::Consensus ? "consensus" : "DarUva list");
}

void MsaPane::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const DarUvaData& msa = editor_.Msa();
  const int cw = editor_.CharWidth(), lh = editor_.LineHeight();
  const QRect r = event->rect();
  MsaFrame frame{editor_.EditorFont(), cw, lh, -cw / 2, 0, msa.h, msa.v};
  const CellRange cells =
      CellsInRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1, cw, lh, msa.h, msa.v, msa.columnCount, msa.SequenceCount());
  switch (kind_) {
    case Kind::Ruler:
      frame.firstRow = 0;
      DessineDarUvaScale(p, msa, frame, cells);
      break;
    case Kind::Consensus:
      frame.firstRow = 0;
      DessineDarUvaConsensus(p, msa, frame, cells);
      break;
    case Kind::Names:
      DessineDarUvaNames(p, msa, frame, cells, 25 * cw);
      break;
  }
}

MsaAlignArea::MsaAlignArea(DarUvaEditor& editor, QWidget* parent) : QAbstractScrollArea(parent), editor_(editor) {
  setObjectName("DarUva align");
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  viewport()->setAutoFillBackground(true);
  QPalette pal = viewport()->palette();
  pal.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(pal);
  viewport()->setCursor(Qt::ArrowCursor);
}

void MsaAlignArea::paintEvent(QPaintEvent* event) {
  QPainter p(viewport());
  const DarUvaData& msa = editor_.Msa();
  const int cw = editor_.CharWidth(), lh = editor_.LineHeight();
  const QRect r = event->rect();
  const MsaFrame frame{editor_.EditorFont(), cw, lh, -cw / 2, 0, msa.h, msa.v};
  DessineDarUvaAlign(p, msa, frame,
                     CellsInRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1, cw, lh, msa.h, msa.v,
                                 msa.columnCount, msa.SequenceCount()));
  if (editor_.CaretShown()) {
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.fillRect(QRect(CaretX(editor_.CaretColumn(), msa.h, cw), CaretY(editor_.CaretRow(), msa.v, lh), cw, lh),
               Qt::white);
  }
}

void MsaAlignArea::keyPressEvent(QKeyEvent* event) { editor_.OnAlignKeyDown(event); }
void MsaAlignArea::keyReleaseEvent(QKeyEvent* event) { editor_.OnAlignKeyUp(event); }
void MsaAlignArea::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) editor_.OnAlignClick(event->position().toPoint().x(), event->position().toPoint().y());
}
void MsaAlignArea::scrollContentsBy(int, int) { editor_.OnScrolled(); }
void MsaAlignArea::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  editor_.SetCaretShown(true);
}
void MsaAlignArea::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  editor_.SetCaretShown(false);
}
void MsaAlignArea::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  editor_.AdjustScrollBars();
}

// ---------------------------------------------------------------------------
// The window

DarUvaEditor* DarUvaEditor::AfficheDarUvaWin(std::unique_ptr<DarUvaData> msa, const std::string& fileName,
                                            const std::string& configPath, QWidget* owner) {
  if (!msa) return nullptr;
  auto* editor = new DarUvaEditor(std::move(msa), configPath, owner);
  editor->setWindowTitle(QString::fromStdString("DorUvo Editor  - [" + fileName + "]"));
  editor->show();
  editor->Layout();
  editor->AdjustScrollBars();
  editor->align_->setFocus();
  return editor;
}

DarUvaEditor::DarUvaEditor(std::unique_ptr<DarUvaData> msa, const std::string& configPath, QWidget* owner)
    : QMainWindow(owner, Qt::Window), msa_(std::move(msa)), configPath_(configPath) {
  setObjectName("DorUvo Editor ");
  setAttribute(Qt::WA_DeleteOnClose);
  PDARUVA = msa_.get();
  session_ = std::make_unique<MsaEditSession>(
      *msa_, ReadColourConfiguration(msa_->colourCode, configPath_, msa_->useBackground));
  QPalette pal = palette();
  pal.setColor(QPalette::Window, QColor(192, 192, 192));
  setPalette(pal);
  const QFontMetrics small(QApplication::font());
  cwS_ = std::max(1, small.averageCharWidth());
  lhS_ = std::max(1, small.lineSpacing());
  central_ = new QWidget(this);
  central_->installEventFilter(this);
  setCentralWidget(central_);
  insertLabel_ = new QLabel("Insert", central_);
  insertLabel_->setObjectName("insertState");
  caretLabel_ = new QLabel(central_);
  caretLabel_->setObjectName("caretPosition");
  ruler_ = new MsaPane(MsaPane::Kind::Ruler, *this, central_);
  consensus_ = new MsaPane(MsaPane::Kind::Consensus, *this, central_);
  names_ = new MsaPane(MsaPane::Kind::Names, *this, central_);
  align_ = new MsaAlignArea(*this, central_);
  SetFontPoints(points_);
  CreateMenusAndToolbar();
  UpdateCaretPosition();
  resize(900, 600);
}

DarUvaEditor::~DarUvaEditor() {
  // The panes call back into this window (focus, scrolling): they go first,
  // while it is still whole, not from the base class's destructor.
  delete central_;
  central_ = nullptr;
  align_ = nullptr;
  if (PDARUVA == msa_.get()) PDARUVA = nullptr;
  emit editorClosed();
}

void DarUvaEditor::CreateMenusAndToolbar() {
  std::map<std::string, QMenu*> menus;
  for (const char* title : {"&File", "&Command", "&Options"}) menus[title] = menuBar()->addMenu(title);
  for (const EditorCommand& c : EditorCommands()) {
    auto* a = new QAction(c.text, this);
    a->setObjectName(QString("command%1").arg(c.id));
    if (c.key) a->setShortcut(QKeySequence(QString(c.key)));
    a->setToolTip(c.tooltip);
    if (c.image >= 0) a->setIcon(QIcon(EditorImage(c.image)));
    const int id = c.id;
    connect(a, &QAction::triggered, this, [this, id] { DarUvaProc_OnCommand(id); });
    menus[c.menu]->addAction(a);
    if (id == kCmdEditorUndo) menus[c.menu]->insertSeparator(a);
    addAction(a);
    actions_[id] = a;
  }
  toolbar_ = new QToolBar(this);
  toolbar_->setObjectName("editorToolbar");
  toolbar_->setMovable(false);
  toolbar_->setIconSize(QSize(23, 24));
  addToolBar(Qt::TopToolBarArea, toolbar_);
  for (int id : EditorToolbarSlots()) {
    if (id == 0) {
      toolbar_->addSeparator();
    } else {
      toolbar_->addAction(actions_[id]);
    }
  }
  UpdateUndoActions();
}

QAction* DarUvaEditor::CommandAction(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

bool DarUvaEditor::SetFontPoints(int points) {
  const QFont font = MakeEditorFont(points, logicalDpiX());
  const QFontMetrics fm(font);
  if (fm.height() <= 0) return false;
  font_ = font;
  points_ = points;
  cw_ = std::max(1, fm.horizontalAdvance(QLatin1Char('M')));
  lh_ = std::max(1, fm.lineSpacing());
  return true;
}

bool DarUvaEditor::eventFilter(QObject* watched, QEvent* event) {
  if (watched == central_ && event->type() == QEvent::Resize) {
    Layout();
    AdjustScrollBars();
  } else if (watched == central_ && event->type() == QEvent::Paint) {
    QPainter p(central_);
    p.setPen(Qt::black);
    p.drawLine(0, 0, central_->width(), 0);
    p.drawLine(0, lhS_ + 1, central_->width(), lhS_ + 1);
    p.setFont(font_);
    p.setPen(QColor(255, 0, 0));
    p.drawText(QRect(16 * cw_, 2 * lh_ + lhS_ + 2, 10 * cw_, lh_), Qt::AlignLeft | Qt::AlignVCenter, "consensus");
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void DarUvaEditor::Layout() {
  const int W = central_->width(), H = central_->height();
  const int sb = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  const int top = lhS_ + 2;
  insertLabel_->setGeometry(0, 1, 8 * cwS_, lhS_);
  caretLabel_->setGeometry(8 * cwS_, 1, 10 * cwS_, lhS_);
  ruler_->setGeometry(26 * cw_, top, std::max(0, W - 26 * cw_ - sb), 2 * lh_);
  consensus_->setGeometry(26 * cw_, 2 * lh_ + top, std::max(0, W - 26 * cw_ - sb), lh_);
  align_->setGeometry(26 * cw_, 3 * lh_ + top, std::max(0, W - 26 * cw_), std::max(0, H - 3 * lh_ - top));
  names_->setGeometry(0, 3 * lh_ + top, 26 * cw_, std::max(0, H - 3 * lh_ - top - sb));
}

void DarUvaEditor::AdjustScrollBars() {
  if (!align_) return;
  const QSize client = align_->viewport()->size();
  const ScrollSetup s = ReajusteVHScroll(*msa_, client.width(), client.height(), cw_, lh_);
  QScrollBar* hb = align_->horizontalScrollBar();
  QScrollBar* vb = align_->verticalScrollBar();
  const QSignalBlocker bh(hb), bv(vb);
  hb->setRange(-2, s.horizontal ? s.hMax : -2);
  hb->setPageStep(std::max(1, s.P));
  hb->setValue(s.h);
  hb->setEnabled(s.horizontal);
  vb->setRange(0, s.vertical ? s.vMax : 0);
  vb->setPageStep(std::max(1, s.Q));
  vb->setValue(s.v);
  vb->setEnabled(s.vertical);
  RepaintAll();
}

void DarUvaEditor::OnScrolled() {
  const int h = align_->horizontalScrollBar()->value(), v = align_->verticalScrollBar()->value();
  if (h != msa_->h) {
    msa_->h = h;
    ruler_->update();
    consensus_->update();
  }
  if (v != msa_->v) {
    msa_->v = v;
    names_->update();
  }
  align_->viewport()->update();
}

void DarUvaEditor::RepaintAll() {
  for (QWidget* w : {static_cast<QWidget*>(ruler_), static_cast<QWidget*>(consensus_), static_cast<QWidget*>(names_),
                     align_->viewport(), central_})
    w->update();
}

void DarUvaEditor::SetCaretShown(bool shown) {
  caretShown_ = shown;
  align_->viewport()->update();
}

void DarUvaEditor::SetCaret(int col, int row) {
  caretCol_ = std::clamp(col, 1, std::max(1, msa_->columnCount));
  caretRow_ = std::clamp(row, 1, std::max(1, msa_->SequenceCount()));
  UpdateCaretPosition();
  align_->viewport()->update();
}

void DarUvaEditor::UpdateCaretPosition() {
  caretLabel_->setText(QString::asprintf("%4u,%4u", static_cast<unsigned>(caretCol_), static_cast<unsigned>(caretRow_)));
}

void DarUvaEditor::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && !isMinimized()) align_->setFocus();
}

void DarUvaEditor::closeEvent(QCloseEvent* event) {
  if (!closeWithoutQuestion_ &&
      CurrentPlatform().MessageBox(this, kCaptionEditor, "Exit the editor ?", MsgIcon::Question, MsgButtons::YesNo) !=
          MsgAnswer::Yes) {
    event->ignore();
    return;
  }
  event->accept();
}

// ---------------------------------------------------------------------------
// Input

void DarUvaEditor::OnAlignKeyDown(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  bool isMove = false;
  const CaretKey key = KeyOf(event->key(), isMove);
  const QSize client = align_->viewport()->size();
  if (isMove) {
    const int oldCol = caretCol_, oldRow = caretRow_;
    MoveCaret(key, ctrl, client.width(), client.height(), cw_, lh_, msa_->columnCount, msa_->SequenceCount(),
              caretCol_, caretRow_);
    int h = msa_->h, v = msa_->v;
    const ScrollSetup bars = ReajusteVHScroll(*msa_, client.width(), client.height(), cw_, lh_);
    ScrollForCaret(key, ctrl, oldCol, oldRow, caretCol_, caretRow_, client.width(), client.height(), cw_, lh_, bars, h,
                   v);
    align_->horizontalScrollBar()->setValue(h);
    align_->verticalScrollBar()->setValue(v);
    UpdateCaretPosition();
    align_->viewport()->update();
    return;
  }
  if (event->modifiers() & Qt::AltModifier) return;
  char c = 0;
  const int k = event->key();
  if (ctrl) {
    if (k >= Qt::Key_A && k <= Qt::Key_Z) c = static_cast<char>('A' + (k - Qt::Key_A));
    if (k == Qt::Key_Space) c = ' ';
  } else {
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() < 128) c = static_cast<char>(text[0].toUpper().unicode());
  }
  if (c == '+') {
    DarUvaProc_OnCommand(kCmdEditorMoveRowUp);
  } else if (c == '-') {
    DarUvaProc_OnCommand(kCmdEditorMoveRowDown);
  } else if ((c >= 'A' && c <= 'Z') || c == ' ') {
    TypeCharacter(c == ' ' ? '.' : c, ctrl);
  }
}

void DarUvaEditor::TypeCharacter(char c, bool allRows) {
  if (insertMode_) {
    session_->Insert(caretCol_, caretRow_, c, allRows);
  } else {
    session_->Overwrite(caretCol_, caretRow_, c, allRows);
  }
  UpdateUndoActions();
  align_->viewport()->update();
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  OnAlignKeyDown(&right);
}

void DarUvaEditor::OnAlignKeyUp(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (mods & Qt::AltModifier) return;  // Alt+Backspace is Undo
  const bool ctrl = mods & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Backspace:
      if (caretCol_ > 1) {
        session_->Delete(caretCol_ - 1, caretRow_, ctrl);
        UpdateUndoActions();
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        OnAlignKeyDown(&left);
      }
      break;
    case Qt::Key_Delete:
      if (ctrl && (mods & Qt::ShiftModifier)) {
        DarUvaProc_OnCommand(kCmdEditorRemoveRow);
      } else {
        session_->Delete(caretCol_, caretRow_, ctrl);
        UpdateUndoActions();
        align_->viewport()->update();
      }
      break;
    case Qt::Key_Insert:
      insertMode_ = !insertMode_;
      insertLabel_->setText(insertMode_ ? "Insert" : "Replace");
      break;
    default:
      break;
  }
}

void DarUvaEditor::OnAlignClick(int x, int y) {
  int col = 0, row = 0;
  if (CaretFromClick(x, y, cw_, lh_, msa_->h, msa_->v, msa_->columnCount, msa_->SequenceCount(), col, row))
    SetCaret(col, row);
  align_->setFocus();
}

// ---------------------------------------------------------------------------
// Commands

void DarUvaEditor::DarUvaProc_OnCommand(int id) {
  switch (id) {
    case kCmdEditorSave: CmdSave(); break;
    case kCmdWindowPrint:
    case kCmdExportPdf: {
      MsaPrintout printout(*msa_, font_.pixelSize() > 0 ? font_.pixelSize() : lh_);
      if (id == kCmdExportPdf) ExportPrintoutPdf(this, printout, "alignment.pdf");
      else PrintOnCurrentPrinter(this, printout);
      break;
    }
    case kCmdPrintSetup: PrinterSetup(CurrentPrinter(), this); break;
    case kCmdExit: close(); return;
    case kCmdRename: CmdRename(); break;
    case kCmdEditorRemoveRow: CmdRemove(); break;
    case kCmdEditorMergeRow: CmdMerge(); break;
    case kCmdEditorMoveRowUp: CmdMove(-1); break;
    case kCmdEditorMoveRowDown: CmdMove(+1); break;
    case kCmdEditorConsensus: CmdConsensus(); break;
    case kCmdEditorFont: CmdFont(); break;
    case kCmdEditorFindPattern: CmdFindPattern(); break;
    case kCmdEditorUndo: CmdUndoRedo(true); break;
    case kCmdEditorRedo: CmdUndoRedo(false); break;
    default: return;
  }
  UpdateUndoActions();
  if (align_) align_->setFocus();
}

void DarUvaEditor::AfterRowsChanged() {
  AdjustScrollBars();
  SetCaret(caretCol_, caretRow_);
  RepaintAll();
}

void DarUvaEditor::CmdRemove() {
  // The last row stays: an editor without rows has nothing to show or save.
  if (msa_->SequenceCount() <= 1) {
    QApplication::beep();
    return;
  }
  if (!session_->Remove(caretRow_ - 1)) return;
  caretRow_ = std::max(1, caretRow_ - 1);
  AfterRowsChanged();
}

void DarUvaEditor::CmdMerge() {
  if (caretRow_ <= 1 || !session_->Merge(caretRow_ - 1)) return;
  caretRow_ -= 1;
  AfterRowsChanged();
}

void DarUvaEditor::CmdMove(int direction) {
  if (!session_->Move(caretRow_ - 1, direction)) return;
  caretRow_ += direction;
  AfterRowsChanged();
}

void DarUvaEditor::CmdRename() {
  const std::string old = msa_->rows[static_cast<std::size_t>(caretRow_ - 1)]->name;
  std::string entered;
  if (!RenameSequenceDialog(this, old.substr(0, 10), entered, 10)) return;
  session_->Rename(caretRow_ - 1, RenamedRowName(old, entered, caretRow_ == 1));
  names_->update();
}

void DarUvaEditor::CmdConsensus() {
  if (ConsensusDLG(this, *session_)) consensus_->update();
}

// The pattern search gets copies of the rows: later edits here do not reach it.
void DarUvaEditor::CmdFindPattern() {
  std::vector<PatternRow> rows;
  rows.reserve(msa_->rows.size());
  for (const auto& row : msa_->rows) rows.push_back(PatternRow{row->name, row->residues});
  std::string folder;
  if (char* cwd = getcwd(nullptr, 0)) {
    folder = cwd;
    std::free(cwd);
  }
  HWNDFINDPAT_ = CreeFindPatWnd(this, std::move(rows), SequenceKind::Protein, folder);
}

void DarUvaEditor::CmdSave() {
  SauveMsfDlg dialog(*msa_, this);
  dialog.exec();
}

void DarUvaEditor::CmdFont() {
  int points = points_;
  if (!TaillePoliceDlg(this, points_, points)) return;
  if (!SetFontPoints(points)) {
    closeWithoutQuestion_ = true;
    close();
    return;
  }
  Layout();
  AdjustScrollBars();
  RepaintAll();
}

void DarUvaEditor::CmdUndoRedo(bool undo) {
  int col = caretCol_, row = caretRow_;
  if (!(undo ? session_->Undo(col, row) : session_->Redo(col, row))) return;
  caretCol_ = col;
  caretRow_ = row;
  AfterRowsChanged();
}

void DarUvaEditor::UpdateUndoActions() {
  if (QAction* a = CommandAction(kCmdEditorUndo)) a->setEnabled(session_->CanUndo());
  if (QAction* a = CommandAction(kCmdEditorRedo)) a->setEnabled(session_->CanRedo());
}
