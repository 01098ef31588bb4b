// The Field Search dialog driven on the offscreen platform.
#include "vistram/results/gui/field_search_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "results/gui/search_fixture.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/gui/search_table_list.h"

class FieldSearchDialogTest : public QObject {
  Q_OBJECT

 private:
  RecordingPlatform platform_;

  QStringList MessageTexts() {
    QStringList texts;
    for (const auto& m : platform_.Messages()) texts << QString::fromStdString(m.text);
    platform_.Clear();
    return texts;
  }

 private slots:
  void initTestCase() { SetCurrentPlatform(&platform_); }
  void cleanupTestCase() { SetCurrentPlatform(nullptr); }
  void init() { platform_.Clear(); }

  void laysOutTheDialog() {
    DataProgram dp;
    AddFixtureTables(dp);
    FieldSearchDlg dialog(dp, nullptr);
    QCOMPARE(dialog.windowTitle(), QString("Field Search"));
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    for (const char* text : {"entries for which the field :", "is in the range :", "from :", "to :",
                             "(lowest value of the range)", "(highest value of the range)",
                             "in the following table(s) :"})
      QVERIFY2(labels.contains(text), text);
    QVERIFY(dialog.CopyButton()->isChecked());
    QCOMPARE(dialog.CopyButton()->text(), QString("C&opy"));
    QCOMPARE(dialog.FieldBox()->count(), 11);
    QCOMPARE(dialog.FieldBox()->currentText(), QString("score"));
    QCOMPARE(dialog.FieldBox()->itemText(6), QString("P(N)       [BLAST-1 only]"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.FromField()));
  }

  void refusalsKeepTheDialogOpen() {
    DataProgram dp;
    AddFixtureTables(dp);
    FieldSearchDlg dialog(dp, nullptr);
    dialog.show();
    dialog.TableList()->item(0)->setSelected(true);
    dialog.FromField()->setText("x");
    dialog.ToField()->setText("10");
    QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
    QCOMPARE(MessageTexts(), QStringList{"Invalid range. Please retry."});
    // P(N) is not given by these FASTA-like tables.
    dialog.FromField()->setText("0");
    dialog.FieldBox()->setCurrentIndex(6);
    QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
    QCOMPARE(MessageTexts(),
             (QStringList{"You search with a invalid field.", "No entries found during the search."}));
    QVERIFY(dialog.isVisible());
  }

  void selectsExactlyTheMatchingAlignments() {
    DataProgram dp;
    AddFixtureTables(dp);
    FieldSearchDlg dialog(dp, nullptr);
    dialog.show();
    dialog.SelectButton()->setChecked(true);
    dialog.FieldBox()->setCurrentIndex(1);  // expect
    QTest::keyClicks(dialog.FromField(), "e-3");
    QTest::keyClicks(dialog.ToField(), "0.045");
    dialog.TableList()->item(0)->setSelected(true);
    QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(MessageTexts(), QStringList{"Keyword found in : 3 / 4."});
    QCOMPARE((*dp.tables[0]->hits)[0]->selected, (std::vector<int>{0, 1}));  // 0.05 is out of range
    QCOMPARE((*dp.tables[0]->hits)[1]->selected, std::vector<int>{1});
  }

  void theCommandShowsTheCopiedAlignments() {
    DataProgram dp;
    AddFixtureTables(dp);
    FixtureView view;
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<FieldSearchDlg*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      QTest::keyClicks(dialog->FromField(), "45");
      QTest::keyClicks(dialog->ToField(), "100");
      dialog->TableList()->item(0)->setSelected(true);
      dialog->TableList()->item(1)->setSelected(true);
      QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
    });
    QCOMPARE(FieldSearchCommand(nullptr, dp, view), int(kSearchCopied));
    const TableEntry& t = *dp.tables[2];
    QCOMPARE(t.name, std::string("FD-S on: score"));
    QCOMPARE(t.hitCount, 2u);
    QCOMPARE(t.alignmentCount, 2);
    QCOMPARE((*t.hits)[1]->alignments[0]->score, 60.0);
    QCOMPARE(view.shown.back(), std::string("FD-S on: score 1,1"));
  }
};

QTEST_MAIN(FieldSearchDialogTest)
#include "field_search_dialog_test.moc"
