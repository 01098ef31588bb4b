// The request sheets in the real main window (offscreen) through the real web
// helper: a BLAST-2 search against a loopback server that answers as NCBI's
// URL API, its report opening as a new table; a ClustalW request run by the
// system's clustalw, its MSF opening in the alignment editor.
#include <QApplication>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "vistram/editor/gui/editor_open.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/web/gui/blast2_sheet.h"
#include "vistram/web/gui/clustal_sheet.h"
#include "vistram/web/request_launch.h"
#include "web/end_to_end_support.h"
#include "web/gui/web_window_fixture.h"

using webtest::Installation;

namespace {
// The sequences of a FASTA text, residues only, sorted.
std::vector<std::string> FastaResidues(const std::string& text) {
  std::vector<std::string> out;
  bool title = false;
  for (char c : text) {
    if (c == '>') {
      out.emplace_back();
      title = true;
    } else if (c == '\n') {
      title = false;
    } else if (!title && std::isalpha(static_cast<unsigned char>(c)) && !out.empty()) {
      out.back() += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

const char* const kDone = "BLAST-2 done. Ready to \nopen the results file.";
}  // namespace

class EndToEndTest : public QObject, webtest::WebWindowFixture {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(StartWindow()); }
  void cleanup() { StopWindow(90000); }

  // The search is followed through the URL API until its report is ready;
  // a search the server gives up on ends in the helper's note, in a box.
  void blast2SearchThroughTheUrlApi() {
    if (!webtest::PrivateNamespaces()) QSKIP("no private mount namespace for the test's NCBI host name");
    inst_->SetKey("vistram.cfg", "VISTWEB", webtest::WriteNcbiHelper(*inst_));
    const struct {
      const char* final;
      int waits;
      int requests;       // what the server receives: Put, status requests, report
      const char* note;   // the box after "done" ("" none: the report opens)
    } cases[] = {
        {"READY", 1, 4, ""},
        {"FAILED", 0, 2, "VistWeb: the BLAST server blast.ncbi.test reports the search R42XYZ as FAILED."},
        {"UNKNOWN", 0, 2,
         "VistWeb: the BLAST server blast.ncbi.test reports the search R42XYZ as UNKNOWN (expired or never known)."},
    };
    for (const auto& c : cases) {
      vwtest::LoopbackServer server({"urlapi", "--waits", std::to_string(c.waits), "--final", c.final, "--page",
                                     webtest::UrlApiReport()});
      webtest::UseUrlApiServer(*inst_, server.Port());
      platform_.Clear();
      const int tablesBefore = Tables();
      QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
      OnNextDialog([&](QDialog* d) {
        auto* sheet = qobject_cast<Blast2Sheet*>(d);
        QVERIFY(sheet != nullptr);
        sheet->SequenceField()->setPlainText("MKVLAAGIVGLLLAHW");
        sheet->OkButton()->click();
      });
      w_->MainWndProc_OnCommand(3023);
      QTRY_COMPARE_WITH_TIMEOUT(RunningWebRequests(), 0, 90000);
      QCOMPARE(server.RequestCount(), c.requests);
      // The Put carries the sheet's form, then the helper's tool name and
      // the e-mail address of the workbench's configuration.
      const std::string put = vwtest::RequestBody(server.Request(1));
      QCOMPARE(QString::fromStdString(put),
               QString("PROGRAM=blastp&DATABASE=nr&ENTREZ%5FQUERY=&QUERY=%3Emy%5Fsequence%0D%0AMKVLAAGIVGLLLAHW"
                       "&EXPECT=10&FILTER=L&DESCRIPTIONS=100&ALIGNMENTS=50&MATRIX=BLOSUM62&GENETIC%5FCODE=1"
                       "&CMD=Put&tool=vistweb&email=tester%40example.org"));
      if (*c.note == '\0') {
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
        QCOMPARE(Texts(), QStringList({kDone}));
        QCOMPARE(Tables(), tablesBefore + 1);
        QCOMPARE(w_->Data().hitCount, 1u);
        QCOMPARE(QString::fromStdString(w_->Data().Hit(1)->identifier), QString("SUBJECT"));
        // The table's file is the report, without the server's wrapping.
        QCOMPARE(QString::fromStdString(webtest::ReadAll(w_->Data().reportPath)),
                 QString::fromStdString(webtest::ReadAll(webtest::UrlApiReport())));
      } else {
        QCOMPARE(Texts(), QStringList({kDone, c.note}));
        QCOMPARE(platform_.Messages()[1].icon, MsgIcon::Error);
        QCOMPARE(Tables(), tablesBefore);
        QCOMPARE(loaded.count(), 0);
      }
      // Post, request and (for a note) response files are gone.
      QCOMPARE(webtest::FilesIn(inst_->Cache()).size(), std::size_t(Tables()));
    }
  }

  // F9 with the shipped configuration: the helper runs clustalw here and its
  // MSF opens in the editor; one sequence alone is refused by clustalw and
  // its note is shown.
  void clustalwRunsLocallyAndItsMsfOpensInTheEditor() {
    inst_->SetKey("vistram.cfg", "VISTWEB", webtest::kVistweb);
    const std::string fasta = webtest::ReadAll(std::string(VISTRAM_TEST_DATA_DIR) +
                                               "/sequences/galaxy_blast_rhodopsin_proteins.fasta");
    QVERIFY(!fasta.empty());
    auto send = [&](const std::string& sequences) {
      platform_.Clear();
      OnNextDialog([&](QDialog* d) {
        auto* sheet = qobject_cast<ClustalSheet*>(d);
        QVERIFY(sheet != nullptr);
        sheet->SequencesField()->setPlainText(QString::fromStdString(sequences));
        sheet->OkButton()->click();
      });
      w_->MainWndProc_OnCommand(3024);
      QTRY_COMPARE_WITH_TIMEOUT(RunningWebRequests(), 0, 90000);
    };
    send(fasta);
    QTRY_VERIFY_WITH_TIMEOUT(w_->Editors().Editor() != nullptr, 20000);
    QCOMPARE(Texts(), QStringList({kDone}));
    QCOMPARE(Tables(), 0);
    const DarUvaData& msa = w_->Editors().Editor()->Msa();
    QCOMPARE(msa.SequenceCount(), 6);
    std::vector<std::string> rows;
    for (const auto& row : msa.rows) {
      std::string residues = row->residues;
      residues.erase(std::remove(residues.begin(), residues.end(), '.'), residues.end());
      rows.push_back(residues);
      QCOMPARE(static_cast<int>(row->residues.size()), msa.columnCount);
    }
    std::sort(rows.begin(), rows.end());
    QVERIFY(rows == FastaResidues(fasta));

    send(">alone\nMKVLAAGIVGLLLAHW\n");
    QCOMPARE(Texts().size(), 2);
    QCOMPARE(Texts()[0], QString(kDone));
    QVERIFY2(Texts()[1].startsWith("VistWeb: clustalw failed: ") && Texts()[1].contains("Only 1 sequence"),
             qPrintable(Texts()[1]));
    QCOMPARE(webtest::FilesIn(inst_->Cache()).size(), std::size_t(1));  // the first answer
  }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
