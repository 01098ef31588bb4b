// The ID analyser dialog driven on the offscreen platform.
#include "vistram/results/gui/id_analyser_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "results/gui/search_fixture.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/gui/search_table_list.h"

class IdAnalyserDialogTest : public QObject {
  Q_OBJECT

 private:
  RecordingPlatform platform_;

 private slots:
  void initTestCase() { SetCurrentPlatform(&platform_); }
  void cleanupTestCase() { SetCurrentPlatform(nullptr); }

  void laysOutTheDialog() {
    DataProgram dp;
    AddFixtureTables(dp);
    IdAnalyserDlg dialog(dp, nullptr);
    QCOMPARE(dialog.windowTitle(), QString("ID analysis"));
    QCOMPARE(dialog.findChild<QLabel*>()->text(), QString("&List of table(s) :"));
    QCOMPARE(dialog.AnalyseButton()->text(), QString("&Analyse"));
    QCOMPARE(dialog.CancelButton()->text(), QString("&Cancel"));
    QCOMPARE(dialog.TableList()->count(), 2);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.TableList()));
  }

  void withoutATableNothingHappens() {
    DataProgram dp;
    AddFixtureTables(dp);
    IdAnalyserDlg dialog(dp, nullptr);
    dialog.show();
    QTest::mouseClick(dialog.AnalyseButton(), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QVERIFY(platform_.Messages().empty());
  }

  void analysesAndShowsTheGroups() {
    DataProgram dp;
    AddFixtureTables(dp);
    FixtureView view;
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<IdAnalyserDlg*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->TableList()->item(0)->setSelected(true);
      QTest::mouseClick(dialog->AnalyseButton(), Qt::LeftButton);
    });
    QCOMPARE(IdAnalyserCommand(nullptr, dp, view), int(kSearchCopied));
    QCOMPARE(dp.tableCount, 3);
    const TableEntry& t = *dp.tables[2];
    QCOMPARE(t.name, std::string("ID-analysis"));
    // "P12345" and "P12345 B" make one group of three alignments, first.
    QCOMPARE(t.hitCount, 2u);
    QCOMPARE((*t.hits)[0]->identifier, std::string("P12345"));
    QCOMPARE((*t.hits)[0]->alignmentCount, 3);
    QCOMPARE((*t.hits)[1]->identifier, std::string("Q99999"));
    QCOMPARE(view.shown.back(), std::string("ID-analysis 1,1"));
  }
};

QTEST_MAIN(IdAnalyserDialogTest)
#include "id_analyser_dialog_test.moc"
