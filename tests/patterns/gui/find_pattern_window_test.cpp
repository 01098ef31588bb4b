// The "Find pattern(s)" window and the "List of patterns" dialog, driven on
// the offscreen platform over the rows of a real MSF file.
#include "vistram/patterns/gui/find_pattern_window.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "patterns/patterns_test_support.h"
#include "vistram/patterns/gui/pattern_list_dialog.h"
#include "vistram/patterns/gui/tree_images.h"
#include "vistram/platform/recording_platform.h"

namespace {

// The rows of an MSF file: the blocks after "//", name then residues in groups.
std::vector<PatternRow> ReadMsfRows(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  bool body = false;
  std::vector<PatternRow> rows;
  std::map<std::string, std::size_t> index;
  while (std::getline(in, line)) {
    if (!body) {
      body = line.rfind("//", 0) == 0;
      continue;
    }
    std::istringstream words(line);
    std::string name, group;
    if (!(words >> name)) continue;
    auto [it, added] = index.emplace(name, rows.size());
    if (added) rows.push_back({name, ""});
    while (words >> group) rows[it->second].residues += group;
  }
  return rows;
}

QStringList TreeTexts(QTreeWidget* tree) {
  QStringList texts;
  std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
    texts << QString(depth, '|') + item->text(0);
    for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1);
  };
  for (int i = 0; i < tree->topLevelItemCount(); ++i) walk(tree->topLevelItem(i), 0);
  return texts;
}

}  // namespace

class FindPatternWindowTest : public QObject {
  Q_OBJECT

 private:
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
  QStringList Messages() {
    QStringList texts;
    for (const auto& m : platform_.Messages()) texts << QString::fromStdString(m.text);
    platform_.Clear();
    return texts;
  }

 private slots:
  void initTestCase() {
    SetCurrentPlatform(&platform_);
    std::filesystem::copy_file(ShippedDataDir() + "/PROTEINE.TBL", program_.Path() + "/PROTEINE.TBL");
    platform_.SetProgramPath(program_.Path() + "/vistram");
  }
  void cleanupTestCase() { SetCurrentPlatform(nullptr); }
  void init() { platform_.Clear(); }

  void searchesTheChosenRowsOfARealAlignment() {
    auto rows = ReadMsfRows(std::string(VISTRAM_TEST_DATA_DIR) + "/patterns/bioperl_cysprot1b.msf");
    QCOMPARE(rows.size(), std::size_t{4});
    QCOMPARE(rows[0].residues.size(), std::size_t{366});
    auto w = Open(rows);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Find pattern(s)"));
    QCOMPARE(w->RowList()->count(), 4);
    QCOMPARE(w->RowList()->item(3)->text(), QString("PAPA_CARPA"));
    // The cysteine proteases' active-site cysteine: "Q-x(3)-[GE]-x-C-[WYA]-[AS]-F-S"; typed in lower case.
    w->RowList()->item(0)->setSelected(true);
    w->RowList()->item(2)->setSelected(true);
    w->RowList()->item(3)->setSelected(true);
    QTest::keyClicks(w->PatternField(), "qxxx(ge)xc(wya)(as)fs{40}NGG");
    Find(*w);
    // Row 2 (CATH_RAT) has "QGACGSCWTFS": no match, so no item. Positions count the gap columns.
    QCOMPARE(TreeTexts(w->Tree()), QStringList({"CATL_HUMAN", "|QXXX(GE)XC(WYA)(AS)FS{40}NGG",
                                                "||   1 : -- 157<QGQCGSCWAFS>167 ---- 204<NGG>206 --",
                                                "PAPA_CARPA", "|QXXX(GE)XC(WYA)(AS)FS{40}NGG",
                                                "||   1 : -- 157<QGSCGSCWAFS>167 ---- 204<NGG>206 --"}));
    // RESULTS.TMP lies in the window's own folder, both for their owner only; emptied once read.
    QFileInfo folder(QString::fromStdString(w->WorkFolder()));
    QVERIFY(folder.isDir());
    QVERIFY(folder.absoluteFilePath().startsWith(QDir::tempPath()));
    QCOMPARE(folder.permissions() & 0x0077, QFileDevice::Permissions());
    QFileInfo results(QString::fromStdString(ResultsFilePath(w->WorkFolder())));
    QCOMPARE(results.permissions() & 0x0077, QFileDevice::Permissions());
    QCOMPARE(results.size(), 0);
    QVERIFY(Messages().isEmpty());
    const std::string workFolder = w->WorkFolder();
    w.reset();
    QVERIFY(!std::filesystem::exists(workFolder));
  }

  // Refusal without rows, rows without matches, the tree's images, and the
  // question after an error.
  void refusalsErrorsAndImages() {
    auto w = Open({{"one", "MKKLVKKW"}, {"two", "AAAAAAA"}, {"three", "QQKKQ"}});
    QVERIFY(w);
    // No row selected: the message, and the tree stays as it was.
    w->PatternField()->setText("KK");
    new QTreeWidgetItem(w->Tree(), QStringList("earlier"));
    w->FindButton()->click();
    QCOMPARE(Messages(), QStringList("No sequences selected."));
    QCOMPARE(TreeTexts(w->Tree()), QStringList("earlier"));
    w->FindPatMainProc_OnCommand(FindPatWnd::kIdSelectAll);
    Find(*w);
    QCOMPARE(TreeTexts(w->Tree()), QStringList({"one", "|KK", "||   1 : -- 2<KK>3 --", "||   2 : -- 6<KK>7 --",
                                                "three", "|KK", "||   1 : -- 3<KK>4 --"}));
    QTreeWidgetItem* row = w->Tree()->topLevelItem(0);
    QCOMPARE(w->Tree()->iconSize(), QSize(15, 15));
    for (QTreeWidgetItem* item : {row, row->child(0), row->child(0)->child(0)}) QVERIFY(!item->icon(0).isNull());
    QVERIFY(row->child(0)->isExpanded());
    // An empty pattern fails in every row: "No" at the first question ends
    // the search, "Yes" goes on and the question comes again in the next row.
    w->PatternField()->setText("");
    Find(*w);
    QCOMPARE(Messages(), QStringList({"Invalid pattern (syntax error).",
                                      "This error could occur again.\nWould-you like to continue ?"}));
    platform_.QueueAnswer(MsgAnswer::Yes);
    Find(*w);
    QCOMPARE(Messages().size(), 4);
    QVERIFY(w->FindButton()->isEnabled());
    w->FindPatMainProc_OnCommand(FindPatWnd::kIdSelectNone);
    QCOMPARE(w->RowList()->selectedItems().size(), 0);
  }

  void cancelStopsALongSearch() {
    // A long search shows its progress and stops at Cancel, keeping what it showed.
    std::vector<PatternRow> rows(3000, PatternRow{"row", std::string(750, 'K')});
    auto w = Open(rows);
    QVERIFY(w);
    w->FindPatMainProc_OnCommand(FindPatWnd::kIdSelectAll);
    w->PatternField()->setText("K{3}K{3}K");
    QSignalSpy done(w.get(), &FindPatWnd::searchFinished);
    w->FindButton()->click();
    QVERIFY(w->Searching());
    QVERIFY(w->Progress()->isVisible());
    QVERIFY(!w->FindButton()->isEnabled());
    w->CancelButton()->click();
    if (done.isEmpty()) QVERIFY(done.wait(20000));
    QVERIFY(!w->Searching());
    QVERIFY(w->FindButton()->isEnabled());
    QVERIFY(!w->CancelButton()->isEnabled());
    QVERIFY(w->Tree()->topLevelItemCount() < 3000);
  }

  void patternFileChoices() {
    PatternsTempDir dir;
    const std::string mot = dir.Write("sites.mot",
                                      "#MOTIF\nDE KDEL retention\nPA KDEL\n"
                                      "#MOTIF\nDE double lysine\nPA KK\n"
                                      "#MOTIF\nDE lower case stays\nPA kk\n");
    auto w = Open({{"one", "MKKLVKDELW"}});
    QVERIFY(w);
    PatternFileState& state = w->PatternFile();
    // The dialog: a file chosen, two-line items, all selected.
    ListeMotifsDlg dialog(w.get(), state);
    QCOMPARE(dialog.windowTitle(), QString("List of patterns"));
    QCOMPARE(dialog.List()->count(), 0);
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, mot, "sites.mot"});
    dialog.ListeMotifs_OnCommand(ListeMotifsDlg::kIdFile);
    QCOMPARE(platform_.FileRequests().at(0).initialFolder, program_.Path());
    QCOMPARE(dialog.FileTitle()->text(), QString("sites.mot"));
    QCOMPARE(dialog.List()->count(), 3);
    QCOMPARE(dialog.List()->item(1)->text(), QString("2. double lysine"));
    dialog.resize(460, 320);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QImage list = dialog.List()->viewport()->grab().toImage();
    const int lineHeight = dialog.List()->fontMetrics().height();
    QCOMPARE(dialog.List()->visualItemRect(dialog.List()->item(0)).height(), lineHeight * 5 / 2);
    int blue = 0, brown = 0;
    for (int y = 0; y < list.height(); ++y) {
      for (int x = 0; x < list.width(); ++x) {
        const QColor c = list.pixelColor(x, y);
        blue += c == QColor(0, 0, 255) ? 1 : 0;
        brown += c == QColor(191, 87, 30) ? 1 : 0;
      }
    }
    QVERIFY2(blue > 20 && brown > 20, qPrintable(QString("blue %1 brown %2").arg(blue).arg(brown)));
    // Nothing selected: "&Ok" keeps the dialog open and the previous choice.
    dialog.ListeMotifs_OnCommand(ListeMotifsDlg::kIdOk);
    QVERIFY(dialog.isVisible());
    dialog.ListeMotifs_OnCommand(ListeMotifsDlg::kIdSelectAll);
    dialog.ListeMotifs_OnCommand(ListeMotifsDlg::kIdOk);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(state.description, std::string("All patterns"));
    // What the window shows after the dialog, then a search of every entry as written.
    w->PatternField()->setText(QString::fromStdString(state.pattern));
    w->DescriptionText()->setText(QString::fromStdString(state.description));
    w->FindPatMainProc_OnCommand(FindPatWnd::kIdSelectAll);
    Find(*w);
    QCOMPARE(TreeTexts(w->Tree()),
             QStringList({"one", "|KDEL", "||   1 : -- 6<KDEL>9 --", "|KK", "||   1 : -- 2<KK>3 --"}));
    // Typing into the field leaves the file's choice: the typed pattern alone.
    QTest::keyClicks(w->PatternField(), "w");
    QCOMPARE(w->DescriptionText()->text(), QString());
    Find(*w);
    QCOMPARE(TreeTexts(w->Tree()), QStringList({"one", "|W", "||   1 : -- 10<W>10 --"}));
    // The entries stay selected when the dialog opens again.
    ListeMotifsDlg again(w.get(), state);
    QCOMPARE(again.List()->selectedItems().size(), 3);
    QCOMPARE(again.FileTitle()->text(), QString("sites.mot"));
  }
};

QTEST_MAIN(FindPatternWindowTest)
#include "find_pattern_window_test.moc"
