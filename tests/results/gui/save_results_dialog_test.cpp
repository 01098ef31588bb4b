// The refusals of the Save results dialog (saving itself: the shell's save command tests).
#include "vistram/shell/gui/save_results_dialog.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "vistram/platform/recording_platform.h"

class SaveResultsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void refusesWithoutAFileNameOrASelection() {
    RecordingPlatform platform;
    SetCurrentPlatform(&platform);
    DataProgram dp;
    dp.hits = std::make_shared<HitList>();
    dp.hits->push_back(std::make_unique<HspData>());
    dp.hits->back()->alignments.push_back(std::make_unique<AliData>());
    dp.hits->back()->alignmentCount = 1;
    dp.hits->back()->selected = {0};
    dp.hitCount = 1;
    SaveResultsDialog dialog(nullptr, dp, {});
    dialog.show();
    QVERIFY(dialog.allButton()->isChecked() && dialog.textButton()->isChecked());
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QTemporaryDir dir;
    platform.QueueFileAnswer({FileDialogResult::Status::Chosen, (dir.path() + "/saved.txt").toStdString(), ""});
    QTest::mouseClick(dialog.fileButton(), Qt::LeftButton);
    dialog.selectionButton()->setChecked(true);
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(platform.Messages().size(), std::size_t{2});
    QCOMPARE(platform.Messages()[0].text, std::string("Please enter a file name."));
    QCOMPARE(platform.Messages()[1].text, std::string("No sequences selected."));
    SetCurrentPlatform(nullptr);
  }
};

QTEST_MAIN(SaveResultsDialogTest)
#include "save_results_dialog_test.moc"
