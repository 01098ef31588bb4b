// The "Find pattern(s)" window and the "List of patterns" dialog offscreen, in one session.
#include "vistram/patterns/gui/find_pattern_window.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>
#include <map>

#include "patterns/patterns_test_support.h"
#include "vistram/editor/msf.h"
#include "vistram/patterns/gui/pattern_list_dialog.h"
#include "vistram/platform/recording_platform.h"

class FindPatternWindowTest : public QObject {
  Q_OBJECT
  RecordingPlatform platform_;
  PatternsTempDir program_;

  std::unique_ptr<FindPatWnd> Open(std::vector<PatternRow> rows) {
    auto w = std::unique_ptr<FindPatWnd>(CreeFindPatWnd(nullptr, std::move(rows), SequenceKind::Protein, program_.Path()));
    if (w) w->setAttribute(Qt::WA_DeleteOnClose, false);
    return w;
  }
  static void Find(FindPatWnd& w) {
    QSignalSpy done(&w, &FindPatWnd::searchFinished);
    w.FindButton()->click();
    if (done.isEmpty()) QVERIFY(done.wait(20000));
  }
  static QStringList TreeTexts(QTreeWidgetItem* item, const QString& depth = "") {  // below `item`, depth shown by '|'
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i) texts << depth + item->child(i)->text(0) << TreeTexts(item->child(i), depth + "|");
    return texts;
  }
  QStringList Messages() {
    QStringList texts;
    for (const auto& m : platform_.Messages()) texts << QString::fromStdString(m.text);
    return platform_.Clear(), texts;
  }

 private slots:
  void oneSession() {
    SetCurrentPlatform(&platform_);
    std::filesystem::copy_file(ShippedDataDir() + "/PROTEINE.TBL", program_ / "PROTEINE.TBL");
    platform_.SetProgramPath(program_ / "vistram");
    int count = 0, columns = 0;
    QVERIFY(AnalyseMSFHeader(PatternsData("bioperl_cysprot1b.msf"), count, columns));
    const auto msa = ReadMSFforSeq(PatternsData("bioperl_cysprot1b.msf"), count, columns, "");
    std::vector<PatternRow> rows;
    for (const auto& r : msa->rows) rows.push_back({r->name, r->residues});
    auto w = Open(rows);
    // No row selected: the message, and the tree stays as it was.
    w->PatternField()->setText("KK");
    new QTreeWidgetItem(w->Tree(), QStringList("earlier"));
    w->FindButton()->click();
    QVERIFY(Messages() == QStringList("No sequences selected.") && TreeTexts(w->Tree()->invisibleRootItem()) == QStringList("earlier"));
    // The cysteine proteases' active site, typed in lower case (CATH_RAT has QGACGSCWTFS: no item).
    for (int i : {0, 2, 3}) w->RowList()->item(i)->setSelected(true);
    w->PatternField()->clear();
    QTest::keyClicks(w->PatternField(), "qxxx(ge)xc(wya)(as)fs{40}NGG");
    Find(*w);
    QCOMPARE(TreeTexts(w->Tree()->invisibleRootItem()), QStringList({"CATL_HUMAN", "|QXXX(GE)XC(WYA)(AS)FS{40}NGG", "||   1 : -- 157<QGQCGSCWAFS>167 ---- 204<NGG>206 --",
                                                "PAPA_CARPA", "|QXXX(GE)XC(WYA)(AS)FS{40}NGG", "||   1 : -- 157<QGSCGSCWAFS>167 ---- 204<NGG>206 --"}));
    QTreeWidgetItem* row = w->Tree()->topLevelItem(0);
    QVERIFY(!row->icon(0).isNull() && !row->child(0)->icon(0).isNull() && !row->child(0)->child(0)->icon(0).isNull() && row->child(0)->isExpanded());
    // RESULTS.TMP lies in the window's own temporary folder, both for their owner only, emptied once read.
    const QFileInfo folder(QString::fromStdString(w->WorkFolder())), results(QString::fromStdString(ResultsFilePath(w->WorkFolder())));
    QVERIFY(folder.isDir() && folder.absoluteFilePath().startsWith(QDir::tempPath()));
    QVERIFY(((folder.permissions() | results.permissions()) & 0x0077) == QFileDevice::Permissions() && results.size() == 0);
    // An empty pattern fails in every row: "No" at the first question ends the search, "Yes" asks again.
    w->FindPatMainProc_OnCommand(FindPatWnd::kIdSelectAll), w->PatternField()->setText("");
    Find(*w);
    QCOMPARE(Messages(), QStringList({"Invalid pattern (syntax error).", "This error could occur again.\nWould-you like to continue ?"}));
    platform_.QueueAnswer(MsgAnswer::Yes);
    Find(*w);
    QCOMPARE(Messages().size(), 4);
    w->FindPatMainProc_OnCommand(FindPatWnd::kIdSelectNone);
    QCOMPARE(w->RowList()->selectedItems().size(), 0);

    // The list of patterns: a file chosen, two-line items painted in blue and brown, all selected.
    PatternsTempDir dir;
    const std::string mot = dir.Write("sites.mot", "#MOTIF\nDE KDEL retention\nPA KDEL\n#MOTIF\nDE double lysine\nPA KK\n");
    auto small = Open({{"one", "MKKLVKDELW"}});
    PatternFileState& state = small->PatternFile();
    ListeMotifsDlg dialog(small.get(), state);
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, mot, "sites.mot"});
    dialog.ListeMotifs_OnCommand(ListeMotifsDlg::kIdFile);
    QVERIFY(platform_.FileRequests().at(0).initialFolder == program_.Path() && dialog.FileTitle()->text() == "sites.mot");
    dialog.resize(460, 320), dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QImage list = dialog.List()->viewport()->grab().toImage();
    std::map<QRgb, int> pixels;
    for (int y = 0; y < list.height(); ++y)
      for (int x = 0; x < list.width(); ++x) ++pixels[list.pixel(x, y) & 0xffffff];
    QVERIFY(pixels[0x0000ff] > 20 && pixels[0xbf571e] > 20);
    dialog.ListeMotifs_OnCommand(ListeMotifsDlg::kIdOk);  // nothing selected: the dialog stays
    QVERIFY(dialog.isVisible());
    dialog.ListeMotifs_OnCommand(ListeMotifsDlg::kIdSelectAll), dialog.ListeMotifs_OnCommand(ListeMotifsDlg::kIdOk);
    QVERIFY(!dialog.isVisible());
    // Every entry searched as written; typing into the field leaves the file's choice.
    small->PatternField()->setText(QString::fromStdString(state.pattern));
    small->DescriptionText()->setText(QString::fromStdString(state.description));
    small->FindPatMainProc_OnCommand(FindPatWnd::kIdSelectAll);
    Find(*small);
    QCOMPARE(TreeTexts(small->Tree()->invisibleRootItem()), QStringList({"one", "|KDEL", "||   1 : -- 6<KDEL>9 --", "|KK", "||   1 : -- 2<KK>3 --"}));
    QTest::keyClicks(small->PatternField(), "w");
    QVERIFY(small->DescriptionText()->text().isEmpty() && ListeMotifsDlg(small.get(), state).List()->selectedItems().size() == 2);  // still selected when reopened

    // A long search shows its progress and stops at Cancel, keeping what it showed.
    auto big = Open(std::vector<PatternRow>(3000, PatternRow{"row", std::string(750, 'K')}));
    big->FindPatMainProc_OnCommand(FindPatWnd::kIdSelectAll), big->PatternField()->setText("K{3}K{3}K");
    QSignalSpy done(big.get(), &FindPatWnd::searchFinished);
    big->FindButton()->click();
    QVERIFY(big->Searching() && big->Progress()->isVisible() && !big->FindButton()->isEnabled());
    big->CancelButton()->click();
    if (done.isEmpty()) QVERIFY(done.wait(20000));
    QVERIFY(!big->Searching() && big->FindButton()->isEnabled() && !big->CancelButton()->isEnabled() && big->Tree()->topLevelItemCount() < 3000);
    // Closing removes the window's folder.
    const std::string workFolder = w->WorkFolder();
    w.reset(), SetCurrentPlatform(nullptr);
    QVERIFY(!std::filesystem::exists(workFolder));
  }
};

QTEST_MAIN(FindPatternWindowTest)
#include "find_pattern_window_test.moc"
