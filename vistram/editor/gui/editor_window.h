// The alignment editor's window: a top-level frame with menu 1011, a
// toolbar, the insert-state and caret-position labels, and four panes (the
// ruler, the consensus, the row names, the residues with both scroll bars).
// It owns the open MSA (PDARUVA points to it while the window lives) and
// the editing session with its undo history.
//
// Keys in the residue pane: arrows, Page Up/Down, Home and End move the
// caret (Ctrl: a page); a letter or a blank (stored as '.') is inserted or
// overwrites at the caret, in every row with Ctrl held; Backspace and
// Delete remove a residue (every row with Ctrl; Ctrl+Shift+Delete removes
// the row); Insert switches insert and replace; '+' and '-' move the row.
// Undo is Alt+Backspace and Redo Alt+Shift+Backspace: Ctrl with a letter
// already types that letter in every row.
#pragma once
#include <QPointer>
#include <QAbstractScrollArea>
#include <QFont>
#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "vistram/editor/msa.h"
#include "vistram/editor/msa_edit.h"
#include "vistram/editor/msa_layout.h"

class QLabel;
class QToolBar;
class DarUvaEditor;

// Commands of the editor beyond menu 1011's own ids.
inline constexpr int kCmdEditorUndo = 3060;
inline constexpr int kCmdEditorRedo = 3061;

// A pane of the editor that paints one part of the MSA.
class MsaPane : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Ruler, Consensus, Names };
  MsaPane(Kind kind, DarUvaEditor& editor, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Kind kind_;
  DarUvaEditor& editor_;
};

// The residue pane: caret, keyboard and mouse input, both scroll bars.
class MsaAlignArea : public QAbstractScrollArea {
  Q_OBJECT
 public:
  MsaAlignArea(DarUvaEditor& editor, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  DarUvaEditor& editor_;
};

class DarUvaEditor : public QMainWindow {
  Q_OBJECT
 public:
  // Creates and shows the editor on `msa` (AfficheDarUvaWin); the caption
  // names `fileName`. The window deletes itself when closed. Null (and the
  // MSA released) when it cannot be made.
  static DarUvaEditor* AfficheDarUvaWin(std::unique_ptr<DarUvaData> msa, const std::string& fileName,
                                        const std::string& configPath, QWidget* owner);
  ~DarUvaEditor() override;

  DarUvaData& Msa() { return *msa_; }
  MsaEditSession& Session() { return *session_; }
  void DarUvaProc_OnCommand(int id);

  // The caret (column, row from 1) and the insert mode.
  int CaretColumn() const { return caretCol_; }
  int CaretRow() const { return caretRow_; }
  bool InsertMode() const { return insertMode_; }
  void SetCaret(int col, int row);
  // The cell size of the editor font.
  int CharWidth() const { return cw_; }
  int LineHeight() const { return lh_; }
  const QFont& EditorFont() const { return font_; }
  // Font size in points (4..20); false when the font cannot be made.
  bool SetFontPoints(int points);
  int FontPoints() const { return points_; }

  // Pieces, for tests.
  MsaAlignArea* AlignArea() const { return align_; }
  MsaPane* NamesPane() const { return names_; }
  MsaPane* RulerPane() const { return ruler_; }
  MsaPane* ConsensusPane() const { return consensus_; }
  QLabel* InsertLabel() const { return insertLabel_; }
  QLabel* CaretLabel() const { return caretLabel_; }
  QToolBar* ToolBar() const { return toolbar_; }
  QAction* CommandAction(int id) const;

  // Adjusts the scroll bars to the pane's size and the MSA (ReajusteVHScroll).
  void AdjustScrollBars();
  // Repaints every pane.
  void RepaintAll();
  // Key handling of the residue pane.
  void OnAlignKeyDown(QKeyEvent* event);
  void OnAlignKeyUp(QKeyEvent* event);
  void OnAlignClick(int x, int y);
  void OnScrolled();
  // True while the residue pane has the focus (the caret is shown).
  bool CaretShown() const { return caretShown_; }
  void SetCaretShown(bool shown);
  // The next close request closes without the question.
  void CloseWithoutQuestion() { closeWithoutQuestion_ = true; }

 signals:
  // Emitted when the window is being destroyed.
  void editorClosed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  DarUvaEditor(std::unique_ptr<DarUvaData> msa, const std::string& configPath, QWidget* owner);
  void CreateMenusAndToolbar();
  void Layout();
  void UpdateCaretPosition();
  void TypeCharacter(char c, bool allRows);
  void CmdRemove();
  void CmdMerge();
  void CmdMove(int direction);
  void CmdRename();
  void CmdConsensus();
  void CmdSave();
  void CmdFont();
  void CmdFindPattern();
  void CmdUndoRedo(bool undo);
  void AfterRowsChanged();
  void UpdateUndoActions();

  std::unique_ptr<DarUvaData> msa_;
  std::unique_ptr<MsaEditSession> session_;
  std::string configPath_;
  QFont font_;
  int points_ = 12;
  int cw_ = 8, lh_ = 16;    // editor font cell
  int cwS_ = 8, lhS_ = 16;  // default font cell
  int caretCol_ = 1, caretRow_ = 1;
  bool insertMode_ = true;
  bool caretShown_ = false;
  bool closeWithoutQuestion_ = false;
  QWidget* central_ = nullptr;
  QToolBar* toolbar_ = nullptr;
  QLabel* insertLabel_ = nullptr;
  QLabel* caretLabel_ = nullptr;
  MsaPane* ruler_ = nullptr;
  MsaPane* consensus_ = nullptr;
  MsaPane* names_ = nullptr;
  MsaAlignArea* align_ = nullptr;
  std::map<int, QAction*> actions_;
  QPointer<QWidget> HWNDFINDPAT_;  // the pattern search window opened from here, if any
};
