// The editor window driven on the offscreen platform: opened from the
// selection of a real report in the main window, typing, deleting, row
// commands, undo, scrolling, painting, saving and closing.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include "shell/gui/main_window_fixture.h"
#include "vistram/base/command_ids.h"
#include "vistram/patterns/gui/find_pattern_window.h"
#include "vistram/editor/gui/editor_dialogs.h"
#include "vistram/editor/gui/editor_open.h"
#include "vistram/editor/gui/editor_window.h"
#include "vistram/editor/msa_batch.h"
#include "vistram/editor/msf.h"
#include "vistram/base/colours.h"

namespace {
QString EditorFile(const char* name) { return QString(VISTRAM_TEST_DATA_DIR) + "/editor/" + name; }

std::string Row(int r) { return PDARUVA->rows[static_cast<std::size_t>(r)]->residues; }
}  // namespace

class EditorWindowTest : public MainWindowFixture {
  Q_OBJECT
 private:
  QPointer<DarUvaEditor> editor_;

  // The editor on the report's alignments, opened by command 3016.
  void OpenFromReport() {
    OpenByPath(EditorFile("blastp_18_alignments.txt"));
    w_->MainWndProc_OnCommand(kCmdSelectAllAlignments);
    w_->MainWndProc_OnCommand(kCmdEditorFromAlignments);
    editor_ = w_->Editors().Editor();
    QVERIFY(editor_ != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(editor_));
    editor_->activateWindow();
    editor_->AlignArea()->setFocus();
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, char text = 0) {
    QTest::keyClick(editor_->AlignArea(), static_cast<Qt::Key>(key), mods);
    (void)text;
  }

 private slots:
  void init() { StartWindow(); }
  void cleanup() {
    if (editor_) {
      editor_->CloseWithoutQuestion();
      delete editor_.data();
    }
    StopWindow();
  }

  void openedFromTheSelection() {
    OpenFromReport();
    QVERIFY(PDARUVA != nullptr);
    QCOMPARE(PDARUVA->SequenceCount(), 19);
    QCOMPARE(editor_->windowTitle(), QString("DorUvo Editor  - [%1]").arg(EditorFile("blastp_18_alignments.txt")));
    QVERIFY(w_->CommandAction(kCmdEditorFromAlignments)->isChecked());
    QCOMPARE(editor_->InsertLabel()->text(), QString("Insert"));
    QCOMPARE(editor_->CaretLabel()->text(), QString("   1,   1"));
    // Find pattern hands copies of the rows to a window of its own.
    QVERIFY(editor_->CommandAction(kCmdEditorFindPattern) != nullptr);
    editor_->DarUvaProc_OnCommand(kCmdEditorFindPattern);
    FindPatWnd* find = editor_->findChild<FindPatWnd*>();
    QVERIFY(find != nullptr);
    QVERIFY(find->isVisible());
    find->close();
    // Printing is in the File menu.
    for (int id : {kCmdWindowPrint, kCmdPrintSetup, kCmdExportPdf}) QVERIFY(editor_->CommandAction(id) != nullptr);
    // A second construction while it is open: the user keeps the editor.
    platform_.Clear();
    platform_.QueueAnswer(MsgAnswer::No);
    w_->MainWndProc_OnCommand(kCmdEditorFromAlignments);
    QVERIFY(editor_ != nullptr);
    const auto messages = platform_.Messages();
    QCOMPARE(messages.size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(messages[0].text), QString("Exit the editor ?"));
    QCOMPARE(QString::fromStdString(messages[1].text),
             QString("Unable to display a new MSA when\nDorUvo Editor is already running."));
    QVERIFY(w_->CommandAction(kCmdEditorFromAlignments)->isChecked());
    // An MSF file replaces it when the user lets it go.
    platform_.QueueAnswer(MsgAnswer::Yes);
    w_->OpenMsfInEditor(EditorFile("emboss_opsd.msf").toStdString());
    QVERIFY(editor_ == nullptr);
    editor_ = w_->Editors().Editor();
    QVERIFY(editor_ != nullptr);
    QCOMPARE(PDARUVA->SequenceCount(), 2);
    QCOMPARE(PDARUVA->rows[0]->name, std::string("OPSD_HUMAN"));
    // Closing it releases the record and the button.
    platform_.QueueAnswer(MsgAnswer::Yes);
    editor_->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(editor_ == nullptr);
    QVERIFY(PDARUVA == nullptr);
    QVERIFY(!w_->CommandAction(kCmdEditorFromAlignments)->isChecked());
  }

  // The Tools menu's Editor submenu, a file that is not MSF, and the command
  // line's MSF file.
  void menuNotMsfAndCommandLine() {
    QMenu* tools = nullptr;
    for (QAction* a : w_->menuBar()->actions())
      if (a->text() == "&Tools") tools = a->menu();
    QVERIFY(tools != nullptr);
    QMenu* editor = nullptr;
    for (QAction* a : tools->actions())
      if (a->text() == "&Editor") editor = a->menu();
    QVERIFY(editor != nullptr);
    QStringList items;
    for (QAction* a : editor->actions()) items << a->text();
    QCOMPARE(items, QStringList({"&Constructor\tF3", "&Open a MSF"}));
    QCOMPARE(w_->CommandAction(kCmdEditorFromAlignments)->shortcut(), QKeySequence(Qt::Key_F3));
    platform_.Clear();
    w_->OpenMsfInEditor(EditorFile("blastp_18_alignments.txt").toStdString());
    QVERIFY(w_->Editors().Editor() == nullptr);
    QCOMPARE(QString::fromStdString(platform_.Messages().back().text), QString("Unable to open a non-MSF file."));
    // The command line's "PATH {msf_file}" opens the editor on the file.
    w_->OpenCommandLine(EditorFile("emboss_dna.msf").toStdString() + " {msf_file}");
    editor_ = w_->Editors().Editor();
    QVERIFY(editor_ != nullptr);
    QCOMPARE(PDARUVA->SequenceCount(), 3);
  }

  void typingDeletingAndUndo() {
    OpenFromReport();
    const std::string row1 = Row(0), row2 = Row(1);
    QTest::keyClicks(editor_->AlignArea(), "w");
    QCOMPARE(Row(0), "W" + row1.substr(0, row1.size() - 1));
    QCOMPARE(editor_->CaretColumn(), 2);
    // Ctrl with a letter types it in every row.
    Key(Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(Row(1).substr(0, 2), row2.substr(0, 1) + "K");
    QCOMPARE(Row(0).substr(0, 2), std::string("WK"));
    QCOMPARE(editor_->CaretColumn(), 3);
    // Replace mode overwrites; a blank is a gap.
    Key(Qt::Key_Insert);
    QCOMPARE(editor_->InsertLabel()->text(), QString("Replace"));
    QTest::keyClicks(editor_->AlignArea(), " ");
    QCOMPARE(Row(0).substr(0, 3), std::string("WK."));
    // Backspace deletes left of the caret; Delete at the caret.
    Key(Qt::Key_Backspace);
    QCOMPARE(editor_->CaretColumn(), 3);
    QCOMPARE(Row(0).substr(0, 3), std::string("WK") + row1[1]);
    Key(Qt::Key_Home);
    Key(Qt::Key_Backspace);  // nothing in column 1
    QCOMPARE(Row(0).substr(0, 2), std::string("WK"));
    Key(Qt::Key_Delete);
    QCOMPARE(Row(0)[0], 'K');
    // Undo everything with its key (Alt+Backspace), then redo.
    for (int i = 0; i < 5; ++i) editor_->DarUvaProc_OnCommand(kCmdEditorUndo);
    QCOMPARE(Row(0), row1);
    QCOMPARE(Row(1), row2);
    QVERIFY(!editor_->CommandAction(kCmdEditorUndo)->isEnabled());
    QCOMPARE(editor_->CommandAction(kCmdEditorUndo)->shortcut(), QKeySequence("Alt+Backspace"));
    editor_->DarUvaProc_OnCommand(kCmdEditorRedo);
    QCOMPARE(Row(0)[0], 'W');
  }

  void rowCommands() {
    OpenFromReport();
    const int rows = PDARUVA->SequenceCount();
    const std::string second = Row(1), third = Row(2);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    QCOMPARE(editor_->CaretLabel()->text(), QString("   1,   3"));
    QTest::keyClicks(editor_->AlignArea(), "+");  // move up
    QCOMPARE(Row(1), third);
    QCOMPARE(editor_->CaretRow(), 2);
    editor_->DarUvaProc_OnCommand(kCmdEditorMoveRowDown);
    QCOMPARE(Row(2), third);
    QCOMPARE(editor_->CaretRow(), 3);
    editor_->DarUvaProc_OnCommand(kCmdEditorMergeRow);
    QCOMPARE(PDARUVA->SequenceCount(), rows - 1);
    QCOMPARE(editor_->CaretRow(), 2);
    QVERIFY(PDARUVA->rows[1]->name.find('(') == std::string::npos);
    Key(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);  // remove the row
    QCOMPARE(PDARUVA->SequenceCount(), rows - 2);
    editor_->DarUvaProc_OnCommand(kCmdEditorUndo);
    editor_->DarUvaProc_OnCommand(kCmdEditorUndo);
    QCOMPARE(PDARUVA->SequenceCount(), rows);
    QCOMPARE(Row(1), second);
    QCOMPARE(Row(2), third);
  }

  void scrollingAndPainting() {
    OpenFromReport();
    editor_->resize(500, 300);
    QApplication::processEvents();
    QScrollBar* h = editor_->AlignArea()->horizontalScrollBar();
    QScrollBar* v = editor_->AlignArea()->verticalScrollBar();
    QVERIFY(h->isEnabled());
    QVERIFY(v->isEnabled());
    QCOMPARE(h->minimum(), -2);
    Key(Qt::Key_End);
    QCOMPARE(editor_->CaretColumn(), PDARUVA->columnCount);
    QCOMPARE(h->value(), h->maximum());
    QCOMPARE(v->value(), v->maximum());
    QCOMPARE(PDARUVA->h, h->maximum());
    Key(Qt::Key_Home);
    QCOMPARE(PDARUVA->h, -2);
    QCOMPARE(PDARUVA->v, 0);
    h->setValue(0);  // one scroll moves the ruler, consensus and residues together
    QCOMPARE(PDARUVA->h, 0);
    // At h = 0 column 1 is centred on the left edge: its cell in row 2 (the
    // caret stays in row 1) shows its configured background.
    const QImage image = editor_->AlignArea()->viewport()->grab().toImage();
    const int lh = editor_->LineHeight();
    const char residue = Row(1)[0];
    ColourConfiguration colours = ReadColourConfiguration(kColourHca, w_->Data().configPath, true);
    int text = 0, back = 0;
    AssignAAColor(colours, residue, text, back);
    const PaletteColour expected = PaletteAt(back);
    const QColor pixel = image.pixelColor(1, lh + 1);
    QCOMPARE(pixel, QColor(expected.red, expected.green, expected.blue));
    // A bigger font enlarges the cells and the scroll ranges follow.
    const int oldMax = h->maximum();
    QVERIFY(editor_->SetFontPoints(20));
    editor_->AdjustScrollBars();
    QVERIFY(h->maximum() > oldMax);
  }

  void saveDialogRangeAndDigits() {
    OpenFromReport();
    SauveMsfDlg dialog(*PDARUVA, editor_);
    QCOMPARE(dialog.NameLabel()->text(), QString("blastp_18_alignments.msf"));
    dialog.FromEdit()->setText("1a2");
    QCOMPARE(dialog.FromEdit()->text(), QString("12"));
    dialog.SetChosenFile(dir_.filePath("saved.msf").toStdString());
    dialog.FromEdit()->setText("1");
    dialog.ToEdit()->setText("30");
    QVERIFY(!dialog.TrySave());
    QVERIFY(!QFile::exists(dir_.filePath("saved.msf")));
    dialog.ToEdit()->setText("31");
    QVERIFY(dialog.TrySave());
    QVERIFY(QFile::exists(dir_.filePath("saved.msf")));
    dialog.SetChosenFile(dir_.filePath("export.aln").toStdString());
    QVERIFY(dialog.TrySave());
    QVERIFY(QFile(dir_.filePath("export.aln")).size() > 0);
    // A folder that does not exist: the user is told.
    platform_.Clear();
    dialog.SetChosenFile(dir_.filePath("nowhere/saved.msf").toStdString());
    QVERIFY(dialog.TrySave());
    QVERIFY(QString::fromStdString(platform_.Messages().back().text).startsWith("Unable to write the file"));
  }

  void consensusThreshold() {
    int threshold = -1;
    QVERIFY(ParseThreshold("0", 5, threshold));
    QCOMPARE(threshold, 0);
    QVERIFY(ParseThreshold("5", 5, threshold));
    QVERIFY(!ParseThreshold("6", 5, threshold));
    QVERIFY(!ParseThreshold("-1", 5, threshold));
    QVERIFY(!ParseThreshold("", 5, threshold));
    QVERIFY(!ParseThreshold("1234567890", 5, threshold));
    std::string text = "1-2x3";
    QVERIFY(TesteEditNum(text, true));
    QCOMPARE(text, std::string("1-23"));
    text = "123";
    QVERIFY(!TesteEditNum(text, false));
  }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
