// The editor window offscreen in one session: from a report's selection to editing, scrolling, saving and closing.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "shell/gui/main_window_fixture.h"
#include "vistram/base/colours.h"
#include "vistram/base/command_ids.h"
#include "vistram/editor/gui/editor_dialogs.h"
#include "vistram/editor/gui/editor_open.h"
#include "vistram/editor/gui/editor_window.h"
#include "vistram/patterns/gui/find_pattern_window.h"

namespace {
QString EditorFile(const char* name) { return QString(VISTRAM_TEST_DATA_DIR) + "/editor/" + name; }
std::string Row(int r) { return PDARUVA->rows[static_cast<std::size_t>(r)]->residues; }
}  // namespace

class EditorWindowTest : public MainWindowFixture {
  Q_OBJECT
  QPointer<DarUvaEditor> editor_;

  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(editor_->AlignArea(), static_cast<Qt::Key>(key), mods);
  }
  void Command(int id) { editor_->DarUvaProc_OnCommand(id); }

 private slots:
  void init() { StartWindow(); }
  void cleanup() {
    if (editor_) {
      editor_->CloseWithoutQuestion();
      delete editor_.data();
    }
    StopWindow();
  }

  void oneSession() {
    OpenByPath(EditorFile("blastp_18_alignments.txt"));
    w_->MainWndProc_OnCommand(kCmdSelectAllAlignments), w_->MainWndProc_OnCommand(kCmdEditorFromAlignments);
    editor_ = w_->Editors().Editor();
    QVERIFY(editor_ != nullptr && QTest::qWaitForWindowExposed(editor_));
    editor_->activateWindow(), editor_->AlignArea()->setFocus();
    QCOMPARE(editor_->windowTitle(), QString("DorUvo Editor  - [%1]").arg(EditorFile("blastp_18_alignments.txt")));
    QVERIFY(PDARUVA->SequenceCount() == 19 && w_->CommandAction(kCmdEditorFromAlignments)->isChecked());

    // Typing inserts, Ctrl+letter in every row, Replace overwrites (a blank is a gap), Backspace, Delete, undo.
    const std::string row1 = Row(0), row2 = Row(1), row3 = Row(2);
    QTest::keyClicks(editor_->AlignArea(), "w");
    Key(Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(Row(1).substr(0, 2), row2.substr(0, 1) + "K");
    Key(Qt::Key_Insert);
    QCOMPARE(editor_->InsertLabel()->text(), QString("Replace"));
    QTest::keyClicks(editor_->AlignArea(), " ");
    QCOMPARE(Row(0).substr(0, 3), std::string("WK."));
    Key(Qt::Key_Backspace);
    QCOMPARE(editor_->CaretLabel()->text(), QString("   3,   1"));
    Key(Qt::Key_Home), Key(Qt::Key_Backspace), Key(Qt::Key_Delete);
    QCOMPARE(Row(0).substr(0, 2), std::string("K") + row1[1]);
    for (int i = 0; i < 5; ++i) Command(kCmdEditorUndo);
    QVERIFY(Row(0) == row1 && Row(1) == row2 && !editor_->CommandAction(kCmdEditorUndo)->isEnabled());
    Command(kCmdEditorRedo);
    QCOMPARE(Row(0)[0], 'W');
    Command(kCmdEditorUndo);

    // Row commands: up ('+'), down, merge, remove (Ctrl+Shift+Delete), all undone.
    Key(Qt::Key_Home), Key(Qt::Key_Down), Key(Qt::Key_Down);
    QTest::keyClicks(editor_->AlignArea(), "+");
    QVERIFY(Row(1) == row3 && editor_->CaretRow() == 2);
    Command(kCmdEditorMoveRowDown), Command(kCmdEditorMergeRow);
    Key(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(PDARUVA->SequenceCount(), 17);
    for (int i = 0; i < 4; ++i) Command(kCmdEditorUndo);
    QCOMPARE(Row(1) + Row(2), row2 + row3);

    // Keys move the bars; at h = 0 column 1, centred on the left edge, shows its background in row 2.
    editor_->resize(500, 300), QApplication::processEvents();
    QScrollBar *h = editor_->AlignArea()->horizontalScrollBar(), *v = editor_->AlignArea()->verticalScrollBar();
    Key(Qt::Key_End);
    QVERIFY(editor_->CaretColumn() == PDARUVA->columnCount && v->value() == v->maximum() && PDARUVA->h == h->maximum());
    h->setValue(0);
    QCOMPARE(PDARUVA->h, 0);
    const QImage image = editor_->AlignArea()->viewport()->grab().toImage();
    int text = 0, back = 0;
    AssignAAColor(ReadColourConfiguration(kColourHca, w_->Data().configPath, true), Row(1)[0], text, back);
    const PaletteColour expected = PaletteAt(back);
    QCOMPARE(image.pixelColor(1, editor_->LineHeight() + 1), QColor(expected.red, expected.green, expected.blue));
    const int oldMax = h->maximum();  // a bigger font: bigger cells, the ranges follow
    QVERIFY(editor_->SetFontPoints(20));
    editor_->AdjustScrollBars();
    QVERIFY(h->maximum() > oldMax);
    Command(kCmdEditorFindPattern);  // Find pattern hands copies of the rows to a window of its own
    auto* find = editor_->findChild<FindPatWnd*>();
    QVERIFY(find != nullptr && find->isVisible() && find->close());

    // The save dialog: digits only, a range past the end refused, written by the name's format, an unwritable folder told.
    {
      SauveMsfDlg dialog(*PDARUVA, editor_);
      QCOMPARE(dialog.NameLabel()->text(), QString("blastp_18_alignments.msf"));
      dialog.FromEdit()->setText("1a");
      QCOMPARE(dialog.FromEdit()->text(), QString("1"));
      dialog.ToEdit()->setText("30"), dialog.SetChosenFile(dir_.filePath("s.msf").toStdString());
      QVERIFY(!dialog.TrySave() && !QFile::exists(dir_.filePath("s.msf")));
      dialog.ToEdit()->setText("31"), dialog.SetChosenFile(dir_.filePath("s.aln").toStdString());
      QVERIFY(dialog.TrySave() && QFile(dir_.filePath("s.aln")).size() > 0);
      dialog.SetChosenFile(dir_.filePath("nowhere/s.msf").toStdString());
      QVERIFY(dialog.TrySave() && QString::fromStdString(platform_.Messages().back().text).startsWith("Unable to write the file"));
    }
    int threshold = -1;  // the consensus threshold dialog's field: 0 to the row count, digits only
    for (auto [entered, value] : {std::pair{"0", 0}, {"5", 5}, {"6", -1}, {"-1", -1}, {"", -1}, {"1234567890", -1}})
      QCOMPARE(ParseThreshold(entered, 5, threshold) ? threshold : -1, value);
    std::string digits = "1-2x3", plain = "123";
    QVERIFY(TesteEditNum(digits, true) && digits == "1-23" && !TesteEditNum(plain, false));
    // A second construction: the user keeps the editor and is told; an MSF file replaces it once let go.
    platform_.Clear(), platform_.QueueAnswer(MsgAnswer::No);
    w_->MainWndProc_OnCommand(kCmdEditorFromAlignments);
    QVERIFY(editor_ != nullptr && platform_.Messages().size() == 2);
    QCOMPARE(platform_.Messages()[1].text, std::string("Unable to display a new MSA when\nDorUvo Editor is already running."));
    platform_.QueueAnswer(MsgAnswer::Yes);
    w_->OpenMsfInEditor(EditorFile("emboss_opsd.msf").toStdString());
    QVERIFY(editor_ == nullptr && w_->Editors().Editor() != nullptr);
    QCOMPARE(PDARUVA->rows[0]->name, std::string("OPSD_HUMAN"));
    // Closing releases the record and the button; a file that is not MSF is refused; "PATH {msf_file}" opens one.
    editor_ = w_->Editors().Editor();
    platform_.QueueAnswer(MsgAnswer::Yes);
    editor_->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(editor_ == nullptr && PDARUVA == nullptr && !w_->CommandAction(kCmdEditorFromAlignments)->isChecked());
    w_->OpenMsfInEditor(EditorFile("blastp_18_alignments.txt").toStdString());
    QVERIFY(w_->Editors().Editor() == nullptr && platform_.Messages().back().text == "Unable to open a non-MSF file.");
    w_->OpenCommandLine(EditorFile("emboss_dna.msf").toStdString() + " {msf_file}");
    editor_ = w_->Editors().Editor();
    QVERIFY(editor_ != nullptr && PDARUVA->SequenceCount() == 3);
  }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
