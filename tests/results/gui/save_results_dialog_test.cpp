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

  RecordingPlatform platform_;
  DataProgram dp_;
  QString Message(std::size_t i) { return QString::fromStdString(platform_.Messages().at(i).text); }

 private slots:
  void init() {
    SetCurrentPlatform(&platform_);
    platform_.Clear();
    dp_ = DataProgram{};
    dp_.hits = std::make_shared<HitList>();
    auto hit = std::make_unique<HspData>();
    hit->identifier = "HIT1";
    hit->alignments.push_back(std::make_unique<AliData>());
    hit->alignments[0]->statsText = "SCORE = 1 BITS (1), EXPECT = 1";
    hit->alignments[0]->queryLine = hit->alignments[0]->subjectLine = hit->alignments[0]->middleLine = "MKVL";
    hit->alignmentCount = 1;
    hit->selected = {0};
    dp_.hits->push_back(std::move(hit));
    dp_.hitCount = 1;
  }
  void cleanup() { SetCurrentPlatform(nullptr); }

  void asksForAFileThenSavesAndCloses() {
    QTemporaryDir dir;
    SaveResultsDialog dialog(nullptr, dp_, {});
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Save results"));
    QVERIFY(dialog.allButton()->isChecked() && dialog.textButton()->isChecked());
    QVERIFY(!dialog.selectionButton()->isChecked() && !dialog.htmlButton()->isChecked());
    QCOMPARE(dialog.pathLabel()->text(), QString());
    dialog.show();
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);  // no file name yet
    QVERIFY(dialog.isVisible());
    QCOMPARE(Message(0), QStringLiteral("Please enter a file name."));

    // The chosen name gets the saved-results extension.
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, (dir.path() + "/saved.txt").toStdString(), ""});
    QTest::mouseClick(dialog.fileButton(), Qt::LeftButton);
    QCOMPARE(dialog.pathLabel()->text(), dir.path() + "/saved.vist");
    // Selection only with nothing selected: told, and the dialog stays.
    dialog.selectionButton()->setChecked(true);
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(Message(1), QStringLiteral("No sequences selected."));
    dialog.allButton()->setChecked(true);
    QTest::mouseClick(dialog.saveButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(std::filesystem::exists((dir.path() + "/saved.vist").toStdString()));
  }
};

QTEST_MAIN(SaveResultsDialogTest)
#include "save_results_dialog_test.moc"
