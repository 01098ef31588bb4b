// The String Finder, Field Search and ID analysis dialogs driven on the
// offscreen platform over two tables; the search rules are the model tests' part.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "results/search_tables.h"
#include "support/next_dialog.h"
#include "support/recording_view.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/gui/field_search_dialog.h"
#include "vistram/results/gui/id_analyser_dialog.h"
#include "vistram/results/gui/search_table_list.h"
#include "vistram/results/gui/string_finder_dialog.h"

class SearchDialogsTest : public QObject {
  Q_OBJECT

  RecordingPlatform platform_;

 private slots:
  void initTestCase() { SetCurrentPlatform(&platform_); }
  void cleanupTestCase() { SetCurrentPlatform(nullptr); }

  // Each dialog: what keeps it open, then its menu command copying to a new table shown at once.
  void dialogsAndTheirCommands() {
    DataProgram dp;
    AddSearchTables(dp);
    {
      StringFinderDlg dialog(dp, nullptr);
      dialog.show();
      dialog.TableList()->item(1)->setSelected(true);
      QTest::keyClicks(dialog.KeywordField(), "phosphatase");
      QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
      QCOMPARE(platform_.Messages().back().text, std::string("The keyword was not found."));
      QVERIFY(dialog.isVisible());
      dialog.SelectButton()->setChecked(true);
      dialog.KeywordField()->setText("Kinase");
      QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.Outcome(), int(kSearchSelected));
      QCOMPARE((*dp.tables[1]->hits)[1]->selected, (std::vector<int>{1, 1}));
    }
    test_support::RecordingView view;
    OnNextDialog([](QDialog* d) {
      auto* dialog = qobject_cast<StringFinderDlg*>(d);
      dialog->TableList()->selectAll();
      QTest::keyClicks(dialog->KeywordField(), "kinase");
      QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
    });
    QCOMPARE(StringFinderCommand(nullptr, dp, view), int(kSearchCopied));
    QCOMPARE(view.shown.back(), std::string("Search for : KINASE 1,1"));
    OnNextDialog([](QDialog* d) {
      auto* dialog = qobject_cast<FieldSearchDlg*>(d);
      QTest::keyClicks(dialog->FromField(), "45");
      QTest::keyClicks(dialog->ToField(), "100");
      dialog->TableList()->item(0)->setSelected(true);
      dialog->TableList()->item(1)->setSelected(true);
      QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
    });
    QCOMPARE(FieldSearchCommand(nullptr, dp, view), int(kSearchCopied));
    QCOMPARE(view.shown.back(), std::string("FD-S on: score 1,1"));
    OnNextDialog([](QDialog* d) {
      qobject_cast<IdAnalyserDlg*>(d)->TableList()->item(0)->setSelected(true);
      QTest::mouseClick(qobject_cast<IdAnalyserDlg*>(d)->AnalyseButton(), Qt::LeftButton);
    });
    QCOMPARE(IdAnalyserCommand(nullptr, dp, view), int(kSearchCopied));
    QCOMPARE(dp.tableCount, 5);
    QCOMPARE(dp.tables[2]->hitCount, 3u);       // KINASE in three hits
    QCOMPARE(dp.tables[3]->alignmentCount, 2);  // scores 50 and 60 of both tables
    QCOMPARE(dp.tables[4]->hitCount, 2u);       // P12345 (three alignments), Q99999
    QCOMPARE(view.shown.back(), std::string("ID-analysis 1,1"));
    OnNextDialog(
        [](QDialog* d) { QTest::mouseClick(qobject_cast<StringFinderDlg*>(d)->CancelButton(), Qt::LeftButton); });
    QCOMPARE(StringFinderCommand(nullptr, dp, view), int(kSearchRefused));
    QCOMPARE(dp.tableCount, 5);
  }
};

QTEST_MAIN(SearchDialogsTest)
#include "search_dialogs_test.moc"
