// The "Download from NCBI" dialog against a local server that answers as
// E-utilities does.
#include "vistram/seqio/gui/download_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cstdlib>

#include "support/eutils_test_server.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/seqio/gui/sequence_file_dialog.h"
#include "vistram/seqio/ncbi_download.h"

class DownloadDialogTest : public QObject {
  Q_OBJECT

 private:
  EutilsTestServer server_;
  RecordingPlatform platform_;

  // Fills the dialog, presses Fetch and returns what it fetched.
  SequenceText Fetch(DLGGetBSPProc& dialog, int databaseIndex, const QString& id) {
    dialog.DatabaseBox()->setCurrentIndex(databaseIndex);
    dialog.IdentifierField()->setText(id);
    QTest::mouseClick(dialog.FetchButton(), Qt::LeftButton);
    return dialog.TakeResult();
  }

 private slots:
  void initTestCase() {
    QVERIFY(server_.Running());
    qputenv("VISTRAM_EUTILS_BASE", server_.BaseUrl().c_str());
    qputenv("VISTRAM_EUTILS_TIMEOUT", "2");
    SetCurrentPlatform(&platform_);
    server_.AddEntry("protein", "P02593",
                     ">sp|P02593|CALM_HUMAN Calmodulin\nMADQLTEEQIAEFKEAFSLF\nDKDGDGTITTKELGTVMRSL\n");
    server_.AddEntry("protein", "ABCDEFGHIJKLMNOPQRSTUVWXYZAB", ">long\nMKVLAAGIVGLL\n");
    server_.AddEntry("nuccore", "AB000001", ">AB000001.1 mRNA\nACGTACGTACGT\n");
  }
  void cleanupTestCase() { SetCurrentPlatform(nullptr); }
  void init() { platform_.Clear(); }

  void laysOutTheDialog() {
    DLGGetBSPProc dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QString("Download from NCBI"));
    QCOMPARE(dialog.DatabaseBox()->count(), 10);
    QCOMPARE(dialog.DatabaseBox()->currentIndex(), 0);
    QVERIFY(dialog.FetchButton()->isDefault());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.IdentifierField()));
    // Centred on the screen.
    const QPoint centre = dialog.screen()->availableGeometry().center();
    QVERIFY((dialog.frameGeometry().center() - centre).manhattanLength() <= 2);
  }

  void fetchesFromTheChosenDatabase() {
    DLGGetBSPProc dialog(nullptr);
    dialog.show();
    SequenceText text = Fetch(dialog, 7, "P02593");  // SwissProt, number 8
    QVERIFY(text != nullptr);
    QCOMPARE(QString(text.get()), QString("MADQLTEEQIAEFKEAFSLFDKDGDGTITTKELGTVMRSL"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    // While fetching, the buttons were disabled and the title changed.
    QVERIFY(!dialog.FetchButton()->isEnabled());
    QVERIFY(!dialog.CancelButton()->isEnabled());
    QCOMPARE(dialog.windowTitle(), QString("Download in progress ..."));
    QCOMPARE(server_.Requests().back().id, std::string("P02593"));
    QVERIFY(platform_.Messages().empty());
  }

  void sendsAtMost28Characters() {
    DLGGetBSPProc dialog(nullptr);
    SequenceText text = Fetch(dialog, 3, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFG");
    QVERIFY(text != nullptr);
    QCOMPARE(server_.Requests().back().id, std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZAB"));
  }

  void showsTheMessageOfEachStatus_data() {
    QTest::addColumn<int>("database");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("message");
    QTest::newRow("no connection") << 3 << "BROKEN" << "Unable to connect NCBI.";
    QTest::newRow("time-out") << 3 << "SLOW" << "Unable to connect NCBI.";
    QTest::newRow("nucleotide") << 0 << "AB000001" << "The entry does not contain a protein sequence.";
    QTest::newRow("unknown id") << 3 << "NOSUCHID" << "Access code invalid.";
    QTest::newRow("empty id") << 3 << "" << "Access code invalid.";
    QTest::newRow("unreadable answer") << 3 << "HTMLPAGE" << "";  // status 2: no message of the dialog's own
  }
  void showsTheMessageOfEachStatus() {
    QFETCH(int, database);
    QFETCH(QString, id);
    QFETCH(QString, message);
    DLGGetBSPProc dialog(nullptr);
    dialog.show();
    QVERIFY(Fetch(dialog, database, id) == nullptr);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    const auto messages = platform_.Messages();
    if (message.isEmpty()) {
      QVERIFY(messages.empty());
      return;
    }
    QCOMPARE(messages.size(), std::size_t{1});
    QCOMPARE(QString::fromStdString(messages[0].text), message);
    QCOMPARE(QString::fromStdString(messages[0].caption), QString("Vistram"));
    QVERIFY(messages[0].icon == MsgIcon::Information);
  }

  void runsModallyForTheViewer() {
    // The viewer's entry point: the dialog runs modally; a timer plays the user.
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<DLGGetBSPProc*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->IdentifierField()->setText("P02593");
      dialog->DatabaseBox()->setCurrentIndex(3);
      QTest::keyClick(dialog->IdentifierField(), Qt::Key_Return);  // Fetch is the default button
    });
    SequenceText text = HCAWndProc_OuvrirNet(nullptr);
    QVERIFY(text != nullptr);
    QCOMPARE(std::string(text.get()).size(), std::size_t{40});
    // Cancel gives nothing and asks nothing.
    const std::size_t asked = server_.Requests().size();
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<DLGGetBSPProc*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      dialog->IdentifierField()->setText("P02593");
      QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    QVERIFY(HCAWndProc_OuvrirNet(nullptr) == nullptr);
    QCOMPARE(server_.Requests().size(), asked);
  }

  void choosesASequenceFile() {
    const std::string file = std::string(VISTRAM_TEST_DATA_DIR) + "/sequences/fasta2_lcbo.vms";
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, file, "fasta2_lcbo.vms"});
    platform_.SetProgramPath("/opt/vistram/bin/vistram");
    ChosenSequence chosen;
    QVERIFY(ChooseSequenceFile(nullptr, "", chosen));
    QCOMPARE(QString::fromStdString(chosen.name), QString("LCBO"));
    QCOMPARE(std::string(chosen.text.get()).size(), std::size_t{229});
    QCOMPARE(chosen.path, file);
    QCOMPARE(platform_.FileRequests().back().initialFolder, std::string("/opt/vistram/bin"));
    QVERIFY(!ChooseSequenceFile(nullptr, "/tmp", chosen));  // cancelled
    QVERIFY(chosen.text == nullptr);
    QVERIFY(chosen.path.empty());
  }
};

QTEST_MAIN(DownloadDialogTest)
#include "download_dialog_test.moc"
