// The request sheets driven in the real main window on the offscreen
// platform: with a stand-in helper up to the post and request files, and
// through the real web helper (a loopback server answering as NCBI's URL
// API, the system's clustalw).
#include <QSignalSpy>
#include <QTest>
#include <QtWidgets>
#include <algorithm>
#include <sstream>

#include "support/next_dialog.h"
#include "vistram/base/profile.h"
#include "vistram/editor/gui/editor_open.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/web/gui/blast2_sheet.h"
#include "vistram/web/gui/clustal_sheet.h"
#include "vistram/web/gui/server_logo.h"
#include "vistram/web/request_launch.h"
#include "web/web_test_support.h"

using namespace webtest;

namespace {
const QString kDone = "BLAST-2 done. Ready to \nopen the results file.";

// A private installation, the recording platform and the real main window.
class WebWindowFixture {
 protected:
  std::unique_ptr<Installation> inst_;
  RecordingPlatform platform_;
  std::unique_ptr<MainWindow> w_;

  QStringList Texts() const {
    QStringList out;
    for (const auto& m : platform_.Messages()) out << QString::fromStdString(m.text);
    return out;
  }
  int Tables() const { return static_cast<int>(w_->Data().tables.size()); }
  // A fresh installation and main window; false when the window cannot be made.
  bool StartWindow() {
    inst_ = std::make_unique<Installation>();
    platform_.Clear();
    SetCurrentPlatform(&platform_);
    w_ = MainWindow::Create(inst_->Path("vistram"));
    if (w_ != nullptr) w_->show();
    return w_ != nullptr;
  }
  // The workers hand their answers to the window: they finish first.
  void StopWindow() {
    QTRY_COMPARE_WITH_TIMEOUT(RunningWebRequests(), 0, 90000);
    WaitForLoadThread(), QTest::qWait(50), WaitForLoadThread();
    w_.reset(), inst_.reset();
    SetCurrentPlatform(nullptr);
  }
  // Opens a sheet with the menu command `command` and answers it with `fill`.
  template <typename Sheet>
  void Send(int command, std::function<void(Sheet*)> fill) {
    OnNextDialog([fill](QDialog* d) {  // another dialog is turned down, and the checks after it fail
      if (auto* sheet = qobject_cast<Sheet*>(d)) fill(sheet); else d->reject();
    });
    w_->MainWndProc_OnCommand(command);
  }
};

void ChooseFiles(RecordingPlatform& platform, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) platform.QueueFileAnswer({FileDialogResult::Status::Chosen, path});
}
const int kBlast2 = 3023, kClustal = 3024, kBlast2Defaults = 3013;
void SendSequence(Blast2Sheet* sheet) {
  sheet->SequenceField()->setPlainText("MKVLAGHW");
  sheet->OkButton()->click();
}
std::function<void(ClustalSheet*)> SendSequences(const std::string& text) {
  return [text](ClustalSheet* s) { s->SequencesField()->setPlainText(text.c_str()), s->OkButton()->click(); };
}
}  // namespace

class SheetsTest : public QObject, WebWindowFixture {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(StartWindow()); }
  void cleanup() { StopWindow(); }

  // The sheet's choices reach the post file; the answer opens as a table, an
  // empty answer ends in the Open command's message, and two requests that
  // end together both open.
  void blast2SheetSendsItsChoicesAndItsAnswersOpen() {
    inst_->WriteHelper(ShippedFile("sample.bla"));
    QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
    Send<Blast2Sheet>(kBlast2, [](Blast2Sheet* sheet) {
      QVERIFY(sheet->ProteinBox()->isEnabled() && !sheet->NucleicBox()->isEnabled() &&
              sheet->OrganismBox()->currentIndex() == -1 && sheet->Logo()->LogoId() == 1004);
      sheet->ProgramBox()->setCurrentIndex(3);  // tblastn searches the nucleotide databases
      QVERIFY(sheet->NucleicBox()->isEnabled() && !sheet->ProteinBox()->isEnabled());
      sheet->NucleicBox()->setCurrentIndex(1), sheet->OrganismBox()->setCurrentIndex(1);
      sheet->Pages()->setCurrentIndex(1);
      QVERIFY(sheet->NameBox()->isChecked());
      sheet->NameField()->setText("Q1 test.seq");
      sheet->NameField()->setText("x");  // one character leaves the title
      sheet->SequenceField()->setPlainText("MKVL 10\nAGHW*");
      sheet->Pages()->setCurrentIndex(2);
      Blast2ParametersPage* p = sheet->Parameters();
      QVERIFY(!p->SaveButton()->isVisible() && !p->FileButton()->isVisible() && p->ExpectLabel()->text() == "&Expect :"
              && p->GeneticCodeBox()->currentText() == "Standard [1]");
      p->ExpectBox()->setCurrentIndex(1), p->GappedBox()->setChecked(false);
      sheet->OkButton()->click();
    });
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
    QVERIFY(Tables() == 1 && Texts() == QStringList({kDone}));
    QCOMPARE(QString::fromStdString(inst_->Seen("post")),
             QString("PROGRAM=tblastn&DATABASE=nt&ENTREZ%5FQUERY=Mus+musculus&UNGAPPED%5FALIGNMENT=yes"
                     "&QUERY=%3EQ1+testseq%0D%0AMKVLAGHW&EXPECT=1e%2d5&FILTER=L&DESCRIPTIONS=100&ALIGNMENTS=50"
                     "&MATRIX=BLOSUM62&GENETIC%5FCODE=1&CMD=Put"));
    QCOMPARE(FilesIn(inst_->Cache()).size(), std::size_t(1));  // the answer, the table's file
    QVERIFY(fs::exists(w_->Data().reportPath) && w_->Data().reportPath.rfind(inst_->Cache() + "/res", 0) == 0);

    inst_->WriteHelper("");
    platform_.Clear();
    Send<Blast2Sheet>(kBlast2, SendSequence);
    QTRY_COMPARE_WITH_TIMEOUT(Texts().size(), 2, 20000);
    QVERIFY(Texts()[0] == kDone && Tables() == 1 && Texts()[1].startsWith(QString::fromStdString(
                "Unable to open or read your file.\nPlease, check the file :\n" + inst_->Cache() + "/res")));

    inst_->WriteHelper(ShippedFile("sample.bla"), "touch \"$1.started\"\nwhile [ $(ls " + inst_->Cache() +
                                                      " | grep -c started) -lt 2 ]; do sleep 0.05; done\n");
    for (int i = 0; i < 2; ++i) Send<Blast2Sheet>(kBlast2, SendSequence);
    QTRY_COMPARE_WITH_TIMEOUT(Tables(), 3, 30000);
  }

  // ExPASy's sheet, the file button, and what sends nothing: no sequence, a
  // sheet cancelled, an unreadable configuration file.
  void sheetSettingsFileButtonAndRefusals() {
    inst_->WriteHelper(ShippedFile("sample.bla"));
    const std::string seq = TestData("sequences/bioperl_calm.swiss");
    ChooseFiles(platform_, {seq, inst_->Config()});
    Send<Blast2Sheet>(kBlast2, [&](Blast2Sheet* sheet) {
      sheet->FileButton()->click();
      QVERIFY(sheet->FileName()->text() == seq.c_str() && sheet->NameField()->text() == "CALM_HUMAN" &&
              sheet->SequenceField()->toPlainText().startsWith("ADQLTEEQIAEF"));
      sheet->FileButton()->click();  // not a sequence file: the fields stay
      QCOMPARE(sheet->NameField()->text(), QString("CALM_HUMAN"));
      sheet->CancelButton()->click();
    });
    QCOMPARE(Texts(), QStringList({"Unable to open or read your file.\nPlease, check the file :\n" +
                                   QString::fromStdString(inst_->Config()) + "."}));
    QVERIFY(platform_.FileRequests()[0].initialFolder + "/blast2.cfg" == inst_->Path("blast2.cfg"));
    platform_.Clear();
    Send<Blast2Sheet>(kBlast2, [](Blast2Sheet* sheet) { sheet->OkButton()->click(); });
    QCOMPARE(Texts(), QStringList({"No sequence entered."}));
    inst_->SetKey("blast2.cfg", "SERVER_BLAST", "http://web.expasy.org");
    Send<Blast2Sheet>(kBlast2, [](Blast2Sheet* sheet) {
      QVERIFY(!sheet->OrganismBox()->isEnabled() && !sheet->NameBox()->isChecked() && !sheet->NameField()->isEnabled()
              && sheet->Parameters()->ExpectLabel()->text() == "&S threshold:" && sheet->Logo()->LogoId() == 1005);
      sheet->CancelButton()->click();
    });
    // An unreadable configuration file: the error box, no sheet; F9 stays silent.
    inst_->SetKey("vistram.cfg", "CONFIG_FILE", "missing.cfg");
    platform_.Clear();
    w_->MainWndProc_OnCommand(kBlast2);
    w_->MainWndProc_OnCommand(kBlast2Defaults);
    QCOMPARE(Texts(), QStringList({"BLAST configuration file not found.", "BLAST configuration file not found."}));
    QCOMPARE(platform_.Messages()[0].icon, MsgIcon::Error);
    std::string cfg = ReadAll(inst_->Config());
    Replace(cfg, "CONFIG_FILE=clustalw.cfg", "CONFIG_FILE=missing.cfg");
    WriteAll(inst_->Config(), cfg);
    platform_.Clear();
    w_->MainWndProc_OnCommand(kClustal);
    QVERIFY(Texts().isEmpty() && QApplication::activeModalWidget() == nullptr && FilesIn(inst_->Cache()).empty());
  }

  // The defaults dialog: a configuration file refused and another one taken,
  // and the chosen defaults saved into that file.
  void defaultsDialogTakesAFileAndSavesTheDefaults() {
    for (const auto& [name, expect] : {std::pair{"other.cfg", "0"}, std::pair{"bad.cfg", "99"}})
      fs::copy_file(inst_->Path("blast2.cfg"), inst_->Path(name)), inst_->SetKey(name, "EXPECT_DEF", expect);
    ChooseFiles(platform_, {inst_->Path("bad.cfg"), inst_->Path("other.cfg")});
    Send<Blast2DefaultsDialog>(kBlast2Defaults, [&](Blast2DefaultsDialog* dialog) {
      Blast2ParametersPage* p = dialog->Page();
      QVERIFY(p->FileButton()->isVisible() && p->GetDbButton()->isVisible() && p->SaveButton()->isVisible() &&
              !p->GetDbButton()->isEnabled() && !p->GeneticCodeBox()->isVisible());
      p->FileButton()->click();  // bad.cfg: refused, the page stays
      QVERIFY(p->FilePath()->text() == inst_->Path("blast2.cfg").c_str() && p->ExpectBox()->currentText() == "10");
      p->FileButton()->click();  // other.cfg
      QVERIFY(p->FilePath()->text() == inst_->Path("other.cfg").c_str() && p->ExpectBox()->currentText() == "1e-10");
      p->ExpectBox()->setCurrentIndex(2), p->MatrixBox()->setCurrentIndex(3), p->GappedBox()->setChecked(false);
      p->AdvancedField()->setText("WORD_SIZE 2");
      p->SaveButton()->click();
    });
    QVERIFY(Texts() == QStringList({"Default expect value not found."}) && platform_.FileRequests().size() == 2);
    QVERIFY(GetProfileString(inst_->Config(), "BLAST2_SEARCH", "CONFIG_FILE", "", 260) == inst_->Path("other.cfg"));
    const std::string saved = ReadAll(inst_->Path("other.cfg"));
    for (const char* line : {"\nEXPECT_DEF=2\n", "\nMATRIX_DEF=3\n", "\nFILTER_DEF=1\n", "\nGAPPED_CHK=0\n",
                             "\nADVANC_OPT=WORD_SIZE 2"})
      QVERIFY2(Has(saved, line), line);
  }

  // The ClustalW sheet's choices reach the post file; an MSF answer opens in
  // the alignment editor, any other goes through Open.
  void clustalSheetSendsItsPostFileAndItsAnswersOpen() {
    inst_->WriteHelper(TestData("web/bioperl_cysprot.msf"));
    Send<ClustalSheet>(kClustal, [](ClustalSheet* sheet) {
      sheet->SequencesField()->setPlainText(">a.1\nMKVLA\n>b\nMKALA\n");
      sheet->Pages()->setCurrentIndex(1);
      QVERIFY(sheet->ServerText()->text() == "local://clustalw" && sheet->GapOpenField()->text() == "10" &&
              sheet->GapExtendField()->text() == "0.2");
      sheet->OutputOrderBox()->setCurrentIndex(1), sheet->GapOpenField()->setText("12");
      sheet->OkButton()->click();
    });
    QTRY_VERIFY_WITH_TIMEOUT(w_->Editors().Editor() != nullptr, 20000);
    QVERIFY(w_->Editors().Editor()->Msa().SequenceCount() == 7 && Tables() == 0 && Texts() == QStringList({kDone}));
    QVERIFY(inst_->Seen("post").ends_with("||outorder=input&guidetree=slow&matrix=gonnet&gapopen=12&gapext=0.2&"
                                          "sequence="
                                          "%3Ea1%0D%0AMKVLA%0D%0A%3Eb%0D%0AMKALA%0D%0A"));

    inst_->WriteHelper(ShippedFile("sample.bla"));
    QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
    Send<ClustalSheet>(kClustal, SendSequences(">a\nMKVLA\n>b\nMKALA\n"));
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
    QCOMPARE(Tables(), 1);
  }

  // The search is followed through the URL API until its report opens as a table.
  void blast2SearchThroughTheUrlApi() {
    if (!PrivateNamespaces()) QSKIP("no private mount namespace for the test's NCBI host name");
    vwtest::LoopbackServer server({"urlapi", "--page", kUrlApiReport});
    UseUrlApiServer(*inst_, server.Port());
    QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
    Send<Blast2Sheet>(kBlast2, SendSequence);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 90000);
    QCOMPARE(server.RequestCount(), 4);  // Put, status requests, report
    // The Put carries the sheet's form, the helper's tool name and the e-mail address of the configuration.
    QVERIFY(vwtest::RequestBody(server.Request(1)).ends_with("&CMD=Put&tool=vistweb&email=tester%40example.org"));
    QVERIFY(Texts() == QStringList({kDone}) && w_->Data().Hit(1)->identifier == "SUBJECT");
    // The table's file is the report, without the server's wrapping, and the only file left.
    QVERIFY(ReadAll(w_->Data().reportPath) == ReadAll(kUrlApiReport) && FilesIn(inst_->Cache()).size() == 1);
  }

  // F9 with the shipped configuration: the helper runs clustalw here and its
  // MSF opens in the editor; one sequence alone is refused by clustalw and
  // its note is shown.
  void clustalwRunsLocallyAndItsMsfOpensInTheEditor() {
    inst_->SetKey("vistram.cfg", "VISTWEB", kVistweb.c_str());
    const std::string fasta = ReadAll(TestData("sequences/galaxy_blast_rhodopsin_proteins.fasta"));
    for (const std::string& sequences : {fasta, std::string(">alone\nMKVLAAGIVGLLLAHW\n")}) {
      platform_.Clear();
      Send<ClustalSheet>(kClustal, SendSequences(sequences));
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
    std::string residues, rows = ">";
    std::istringstream in(fasta);
    for (std::string line; std::getline(in, line);) residues += line[0] == '>' ? ">" : line;
    for (const auto& row : w_->Editors().Editor()->Msa().rows) {
      QCOMPARE(static_cast<int>(row->residues.size()), w_->Editors().Editor()->Msa().columnCount);
      std::string r = row->residues;
      r.erase(std::remove(r.begin(), r.end(), '.'), r.end());
      QVERIFY2(Has(residues + ">", ">" + r + ">"), row->residues.c_str());
      rows += r + ">";
    }
    QCOMPARE(rows.size(), residues.size() + 1);
  }
};

QTEST_MAIN(SheetsTest)
#include "sheets_test.moc"
