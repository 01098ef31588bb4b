// The String Finder dialog driven on the offscreen platform.
#include "vistram/results/gui/string_finder_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include "results/gui/search_fixture.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/gui/search_table_list.h"

class StringFinderDialogTest : public QObject {
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
    StringFinderDlg dialog(dp, nullptr);
    QCOMPARE(dialog.windowTitle(), QString("String Finder"));
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    QVERIFY(labels.contains("&List of table(s) :"));
    QVERIFY(labels.contains("St&ring to search for :"));
    QCOMPARE(dialog.TableList()->count(), 2);
    QCOMPARE(dialog.TableList()->item(1)->text(), QString("two"));
    QVERIFY(dialog.CopyButton()->isChecked());
    QCOMPARE(dialog.CopyButton()->text(), QString("Copy to new &table"));
    QCOMPARE(dialog.SelectButton()->text(), QString("S&elect"));
    QCOMPARE(dialog.SearchButton()->text(), QString("&Search"));
    QCOMPARE(dialog.CancelButton()->text(), QString("&Cancel"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.KeywordField()));
  }

  void refusalsKeepTheDialogOpen() {
    DataProgram dp;
    AddFixtureTables(dp);
    StringFinderDlg dialog(dp, nullptr);
    dialog.show();
    dialog.TableList()->item(0)->setSelected(true);
    QTest::keyClicks(dialog.KeywordField(), "phosphatase");
    QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
    QCOMPARE(MessageTexts(), QStringList{"The keyword was not found."});
    QVERIFY(dialog.isVisible());
  }

  void selectsTheMatchingHits() {
    DataProgram dp;
    AddFixtureTables(dp);
    StringFinderDlg dialog(dp, nullptr);
    dialog.show();
    dialog.TableList()->item(1)->setSelected(true);
    dialog.SelectButton()->setChecked(true);
    QTest::keyClicks(dialog.KeywordField(), "Kinase");
    QTest::mouseClick(dialog.SearchButton(), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Outcome(), int(kSearchSelected));
    QCOMPARE(MessageTexts(), QStringList{"Keyword found in : 1 / 2."});
    QCOMPARE((*dp.tables[1]->hits)[1]->selected, (std::vector<int>{1, 1}));
    QCOMPARE((*dp.tables[1]->hits)[0]->selected, std::vector<int>{0});
  }

  // The menu command: the modal dialog, then the new table shown.
  void theCommandShowsTheCopiedTable() {
    DataProgram dp;
    AddFixtureTables(dp);
    FixtureView view;
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<StringFinderDlg*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->TableList()->item(0)->setSelected(true);
      dialog->TableList()->item(1)->setSelected(true);
      QTest::keyClicks(dialog->KeywordField(), "kinase");
      QTest::mouseClick(dialog->SearchButton(), Qt::LeftButton);
    });
    QCOMPARE(StringFinderCommand(nullptr, dp, view), int(kSearchCopied));
    QCOMPARE(dp.tableCount, 3);
    QCOMPARE(dp.tables[2]->name, std::string("Search for : KINASE"));
    QCOMPARE(dp.tables[2]->hitCount, 3u);
    QCOMPARE(view.shown.back(), std::string("Search for : KINASE 1,1"));

    // Cancelled: nothing changes.
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<StringFinderDlg*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    QCOMPARE(StringFinderCommand(nullptr, dp, view), int(kSearchRefused));
    QCOMPARE(dp.tableCount, 3);
  }
};

QTEST_MAIN(StringFinderDialogTest)
#include "string_finder_dialog_test.moc"
