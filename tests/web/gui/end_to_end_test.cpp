// The request sheets in the real main window through the real web helper:
// a BLAST-2 search against a loopback server that answers as NCBI's URL API,
// its report opening as a new table; a ClustalW request run by the system's
// clustalw, its MSF opening in the alignment editor.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <algorithm>

#include "vistram/editor/gui/editor_open.h"
#include "vistram/web/gui/blast2_sheet.h"
#include "vistram/web/gui/clustal_sheet.h"
#include "web/end_to_end_support.h"
#include "web/gui/web_window_fixture.h"

using namespace webtest;

class EndToEndTest : public QObject, WebWindowFixture {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(StartWindow()); }
  void cleanup() { StopWindow(90000); }

  // The search is followed through the URL API until its report is ready; a
  // search the server gives up on ends in the helper's note, in a box.
  void blast2SearchThroughTheUrlApi() {
    if (!PrivateNamespaces()) QSKIP("no private mount namespace for the test's NCBI host name");
    for (const char* final : {"READY", "FAILED"}) {
      const bool ready = std::string(final) == "READY";
      vwtest::LoopbackServer server({"urlapi", "--waits", ready ? "1" : "0", "--final", final, "--page", kUrlApiReport});
      UseUrlApiServer(*inst_, server.Port());
      platform_.Clear();
      QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
      Send<Blast2Sheet>(3023, [](Blast2Sheet* sheet) {
        sheet->SequenceField()->setPlainText("MKVLAAGIVGLLLAHW");
        sheet->OkButton()->click();
      });
      QTRY_COMPARE_WITH_TIMEOUT(RunningWebRequests(), 0, 90000);
      QCOMPARE(server.RequestCount(), ready ? 4 : 2);  // Put, status requests, report
      // The Put carries the sheet's form, the helper's tool name and the
      // e-mail address of the workbench's configuration.
      QCOMPARE(QString::fromStdString(vwtest::RequestBody(server.Request(1))),
               QString("PROGRAM=blastp&DATABASE=nr&ENTREZ%5FQUERY=&QUERY=%3Emy%5Fsequence%0D%0AMKVLAAGIVGLLLAHW"
                       "&EXPECT=10&FILTER=L&DESCRIPTIONS=100&ALIGNMENTS=50&MATRIX=BLOSUM62&GENETIC%5FCODE=1"
                       "&CMD=Put&tool=vistweb&email=tester%40example.org"));
      if (ready) {
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
        QCOMPARE(Texts(), QStringList({kDone}));
        QCOMPARE(Tables(), 1);
        QCOMPARE(QString::fromStdString(w_->Data().Hit(1)->identifier), QString("SUBJECT"));
        // The table's file is the report, without the server's wrapping.
        QCOMPARE(QString::fromStdString(ReadAll(w_->Data().reportPath)), QString::fromStdString(ReadAll(kUrlApiReport)));
      } else {
        QCOMPARE(Texts(), QStringList({kDone, "VistWeb: the BLAST server blast.ncbi.test reports the search R42XYZ "
                                              "as FAILED."}));
        QCOMPARE(platform_.Messages()[1].icon, MsgIcon::Error);
        QCOMPARE(Tables(), 1);
        QCOMPARE(loaded.count(), 0);
      }
      QCOMPARE(FilesIn(inst_->Cache()).size(), std::size_t(1));  // the report of the table alone
    }
  }

  // F9 with the shipped configuration: the helper runs clustalw here and its
  // MSF opens in the editor; one sequence alone is refused by clustalw and
  // its note is shown.
  void clustalwRunsLocallyAndItsMsfOpensInTheEditor() {
    inst_->SetKey("vistram.cfg", "VISTWEB", kVistweb);
    const std::string fasta = ReadAll(TestData("sequences/galaxy_blast_rhodopsin_proteins.fasta"));
    for (const std::string& sequences : {fasta, std::string(">alone\nMKVLAAGIVGLLLAHW\n")}) {
      platform_.Clear();
      Send<ClustalSheet>(3024, [&](ClustalSheet* sheet) {
        sheet->SequencesField()->setPlainText(QString::fromStdString(sequences));
        sheet->OkButton()->click();
      });
      QTRY_COMPARE_WITH_TIMEOUT(RunningWebRequests(), 0, 90000);
      QCOMPARE(FilesIn(inst_->Cache()).size(), std::size_t(1));  // the first answer
    }
    QCOMPARE(Texts().size(), 2);
    QCOMPARE(Texts()[0], kDone);
    QVERIFY2(Texts()[1].startsWith("VistWeb: clustalw failed: ") && Texts()[1].contains("Only 1 sequence"),
             qPrintable(Texts()[1]));
    QTRY_VERIFY_WITH_TIMEOUT(w_->Editors().Editor() != nullptr, 20000);
    QCOMPARE(Tables(), 0);
    // Every rhodopsin, residues unchanged, in rows of the alignment's width.
    std::vector<std::string> rows, residues;
    for (const auto& row : w_->Editors().Editor()->Msa().rows) {
      QCOMPARE(static_cast<int>(row->residues.size()), w_->Editors().Editor()->Msa().columnCount);
      rows.push_back(row->residues);
      rows.back().erase(std::remove(rows.back().begin(), rows.back().end(), '.'), rows.back().end());
    }
    for (std::size_t at = fasta.find('>'); at != std::string::npos; at = fasta.find('>', at + 1)) {
      const std::size_t start = fasta.find('\n', at) + 1, end = std::min(fasta.find('>', at + 1), fasta.size());
      residues.push_back(fasta.substr(start, end - start));
      residues.back().erase(std::remove(residues.back().begin(), residues.back().end(), '\n'), residues.back().end());
    }
    std::sort(rows.begin(), rows.end());
    std::sort(residues.begin(), residues.end());
    QCOMPARE(rows.size(), std::size_t(6));
    QVERIFY(rows == residues);
  }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
