// The "Download from NCBI" dialog against a local server that answers as
// E-utilities does, and the sequence file chooser.
#include "vistram/seqio/gui/download_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "support/eutils_test_server.h"
#include "support/next_dialog.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/seqio/gui/sequence_file_dialog.h"
#include "vistram/seqio/ncbi_download.h"

class DownloadDialogTest : public QObject {
  Q_OBJECT

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
  void init() { platform_.Clear(); }

  void fetchesFromTheChosenDatabase() {
    DLGGetBSPProc dialog(nullptr);
    dialog.show();
    SequenceText text = Fetch(dialog, 7, "P02593");  // SwissProt, number 8
    QCOMPARE(QString(text.get()), QString("MADQLTEEQIAEFKEAFSLFDKDGDGTITTKELGTVMRSL"));
    QVERIFY(dialog.result() == QDialog::Accepted && !dialog.isVisible());
    // While fetching, the buttons were disabled and the title changed.
    QVERIFY(!dialog.FetchButton()->isEnabled() && !dialog.CancelButton()->isEnabled());
    QCOMPARE(dialog.windowTitle(), QString("Download in progress ..."));
    QCOMPARE(server_.Requests().back().id, std::string("P02593"));
    DLGGetBSPProc longId(nullptr);  // at most 28 characters are sent
    QVERIFY(Fetch(longId, 3, "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFG") != nullptr);
    QCOMPARE(server_.Requests().back().id, std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZAB"));
  }

  void showsTheMessageOfEachStatus() {
    const struct {
      int database;
      const char *id, *message;  // "": status 2, no message of the dialog's own
    } cases[] = {{3, "BROKEN", "Unable to connect NCBI."},
                 {3, "SLOW", "Unable to connect NCBI."},
                 {0, "AB000001", "The entry does not contain a protein sequence."},
                 {3, "NOSUCHID", "Access code invalid."},
                 {3, "", "Access code invalid."},
                 {3, "HTMLPAGE", ""}};
    for (const auto& c : cases) {
      platform_.Clear();
      DLGGetBSPProc dialog(nullptr);
      dialog.show();
      QVERIFY2(Fetch(dialog, c.database, c.id) == nullptr, c.id);
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
      const auto messages = platform_.Messages();
      QCOMPARE(messages.size(), std::size_t(*c.message != '\0'));
      if (messages.empty()) continue;
      QCOMPARE(messages[0].text, std::string(c.message));
      QVERIFY(messages[0].caption == "Vistram" && messages[0].icon == MsgIcon::Information);
    }
  }

  void runsModallyForTheViewerAndChoosesFiles() {
    OnNextDialog([](QDialog* d) {  // Return presses Fetch, the default button
      auto* dialog = qobject_cast<DLGGetBSPProc*>(d);
      dialog->IdentifierField()->setText("P02593");
      dialog->DatabaseBox()->setCurrentIndex(3);
      QTest::keyClick(dialog->IdentifierField(), Qt::Key_Return);
    });
    SequenceText text = HCAWndProc_OuvrirNet(nullptr);
    QCOMPARE(std::string(text ? text.get() : "").size(), std::size_t{40});
    const std::size_t asked = server_.Requests().size();  // Cancel gives nothing and asks nothing
    OnNextDialog([](QDialog* d) { QTest::mouseClick(qobject_cast<DLGGetBSPProc*>(d)->CancelButton(), Qt::LeftButton); });
    QVERIFY(HCAWndProc_OuvrirNet(nullptr) == nullptr);
    QCOMPARE(server_.Requests().size(), asked);

    const std::string file = std::string(VISTRAM_TEST_DATA_DIR) + "/sequences/fasta2_lcbo.vms";
    platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, file, "fasta2_lcbo.vms"});
    platform_.SetProgramPath("/opt/vistram/bin/vistram");
    ChosenSequence chosen;
    QVERIFY(ChooseSequenceFile(nullptr, "", chosen));
    QCOMPARE(chosen.name, std::string("LCBO"));
    QCOMPARE(chosen.path, file);
    QCOMPARE(platform_.FileRequests().back().initialFolder, std::string("/opt/vistram/bin"));
    QVERIFY(!ChooseSequenceFile(nullptr, "/tmp", chosen));  // cancelled
    QVERIFY(chosen.text == nullptr && chosen.path.empty());
  }
};

QTEST_MAIN(DownloadDialogTest)
#include "download_dialog_test.moc"
