#include "vistram/shell/gui/save_results_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "vistram/platform/recording_platform.h"

class SaveResultsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    SetCurrentPlatform(&platform_);
    platform_.Clear();
    dp_ = DataProgram{};
    dp_.hits = std::make_shared<HitList>();
    auto hit = std::make_unique<HspData>();
    hit->identifier = "HIT1";
    auto ali = std::make_unique<AliData>();
    ali->statsText = "SCORE = 1 BITS (1), EXPECT = 1";
    ali->queryLine = ali->subjectLine = ali->middleLine = "MKVL";
    hit->alignments.push_back(std::move(ali));
    hit->alignmentCount = 1;
    hit->selected = {0};
    dp_.hits->push_back(std::move(hit));
    dp_.hitCount = 1;
  }
  void cleanup() { SetCurrentPlatform(nullptr); }

  void opensWithAllAndTextChecked() {
    SaveResultsDialog dialog(nullptr, dp_, {});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Save results"));
    QVERIFY(dialog.allButton()->isChecked());
    QVERIFY(dialog.textButton()->isChecked());
    QVERIFY(!dialog.selectionButton()->isChecked());
    QVERIFY(!dialog.htmlButton()->isChecked());
    QCOMPARE(dialog.pathLabel()->text(), QString());
  }

  void choosesAFileThenSavesAndCloses() {
    QTemporaryDir dir;
    FileDialogResult answer;
    answer.status = FileDialogResult::Status::Chosen;
    answer.path = (dir.path() + "/saved.txt").toStdString();
    platform_.QueueFileAnswer(answer);

    SaveResultsDialog dialog(nullptr, dp_, {});
    dialog.show();
    QTest::mouseClick(dialog.fileButton(), Qt::LeftButton);
    QCOMPARE(dialog.pathLabel()->text(), dir.path() + "/saved.vist");

    // Selection only with nothing selected: told, and the dialog stays.
    dialog.selectionButton()->setChecked(true);
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(platform_.Messages().size(), size_t{1});
    QCOMPARE(QString::fromStdString(platform_.Messages()[0].text), QStringLiteral("No sequences selected."));

    dialog.allButton()->setChecked(true);
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(std::filesystem::exists((dir.path() + "/saved.vist").toStdString()));
  }

  void saveWithoutAFileNameAsksForOne() {
    SaveResultsDialog dialog(nullptr, dp_, {});
    dialog.show();
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(QString::fromStdString(platform_.Messages().at(0).text), QStringLiteral("Please enter a file name."));
  }

 private:
  RecordingPlatform platform_;
  DataProgram dp_;
};

QTEST_MAIN(SaveResultsDialogTest)
#include "save_results_dialog_test.moc"
