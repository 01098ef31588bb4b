// The request sheets driven in the real main window on the offscreen
// platform, up to the post and request files, with a stand-in helper whose
// answer opens as a new table.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "vistram/editor/gui/editor_open.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/load_flow.h"
#include "vistram/shell/gui/main_window.h"
#include "vistram/base/profile.h"
#include "vistram/web/gui/blast2_sheet.h"
#include "vistram/web/gui/clustal_sheet.h"
#include "vistram/web/gui/server_logo.h"
#include "vistram/web/request_launch.h"
#include "web/gui/web_window_fixture.h"
#include "web/web_test_support.h"

using webtest::Installation;
using webtest::ReadAll;

namespace {
QStringList Items(const QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}
}  // namespace

class SheetsTest : public QObject, webtest::WebWindowFixture {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(StartWindow()); }
  void cleanup() { StopWindow(20000); }

  void blast2SheetSendsTheRequestAndItsAnswerOpensAsATable() {
    inst_->WriteHelper(webtest::ShippedFile("sample.bla"));
    QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
    bool seen = false;
    OnNextDialog([&](QDialog* d) {
      auto* sheet = qobject_cast<Blast2Sheet*>(d);
      QVERIFY(sheet != nullptr);
      seen = true;
      QCOMPARE(sheet->windowTitle(), QString("BLAST 2.0 search"));
      QTabWidget* pages = sheet->Pages();
      QCOMPARE(pages->count(), 3);
      QCOMPARE(pages->tabText(0), QString("Prgms / Databases"));
      QCOMPARE(pages->tabText(2), QString("Parameters"));
      QCOMPARE(pages->currentIndex(), 0);
      QCOMPARE(Items(sheet->ProgramBox()), QStringList({"blastp", "blastn", "blastx", "tblastn", "tblastx"}));
      QCOMPARE(sheet->ProgramBox()->currentText(), QString("blastp"));
      QVERIFY(sheet->ProteinBox()->isEnabled());
      QVERIFY(!sheet->NucleicBox()->isEnabled());
      QVERIFY(sheet->OrganismBox()->isEnabled());
      QCOMPARE(sheet->OrganismBox()->currentIndex(), -1);
      QCOMPARE(sheet->ServerText()->text(), QString("https://blast.ncbi.nlm.nih.gov"));
      QCOMPARE(sheet->Logo()->LogoId(), 1004);
      // tblastn searches the nucleotide databases.
      sheet->ProgramBox()->setCurrentIndex(3);
      QVERIFY(sheet->NucleicBox()->isEnabled());
      QVERIFY(!sheet->ProteinBox()->isEnabled());
      sheet->NucleicBox()->setCurrentIndex(1);
      sheet->OrganismBox()->setCurrentIndex(1);

      pages->setCurrentIndex(1);
      QVERIFY(sheet->NameBox()->isChecked());
      QCOMPARE(sheet->FetchDatabaseBox()->count(), 10);
      sheet->NameField()->setText("Q1 test.seq");
      sheet->NameField()->setText("x");  // one character leaves the title
      sheet->SequenceField()->setPlainText("MKVL 10\nAGHW*");

      pages->setCurrentIndex(2);
      Blast2ParametersPage* p = sheet->Parameters();
      QCOMPARE(p->ExpectLabel()->text(), QString("&Expect :"));
      QVERIFY(!p->SaveButton()->isVisible());
      QVERIFY(!p->FileButton()->isVisible());
      QCOMPARE(p->GeneticCodeBox()->currentText(), QString("Standard [1]"));
      p->ExpectBox()->setCurrentIndex(1);
      p->GappedBox()->setChecked(false);
      sheet->OkButton()->click();
    });
    w_->MainWndProc_OnCommand(3023);
    QVERIFY(seen);

    // The answer opens as a new table of the main window.
    QTRY_VERIFY_WITH_TIMEOUT(loaded.count() == 1, 20000);
    QCOMPARE(loaded.first().first().toInt(), 1);
    QCOMPARE(Tables(), 1);
    QCOMPARE(Texts(), QStringList({"BLAST-2 done. Ready to \nopen the results file."}));

    const std::string request = inst_->SeenRequest();
    QVERIFY(request.find("ServerName=https://blast.ncbi.nlm.nih.gov\nAction=ACT_OPENBLAST\n"
                         "Method=POST /Blast.cgi\nFilePostName=" + inst_->Cache() + "/post") != std::string::npos);
    QCOMPARE(QString::fromStdString(inst_->SeenPost()),
             QString("PROGRAM=tblastn&DATABASE=nt&ENTREZ%5FQUERY=Mus+musculus&UNGAPPED%5FALIGNMENT=yes"
                     "&QUERY=%3EQ1+testseq%0D%0AMKVLAGHW&EXPECT=1e%2d5&FILTER=L&DESCRIPTIONS=100&ALIGNMENTS=50"
                     "&MATRIX=BLOSUM62&GENETIC%5FCODE=1&CMD=Put"));
    // The post and request files are gone; the answer is the table's file.
    const std::vector<std::string> left = webtest::FilesIn(inst_->Cache());
    QCOMPARE(left.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(w_->Data().reportPath), QString::fromStdString(inst_->Cache() + "/" + left[0]));
  }

  void aHelperThatWritesNothingEndsInTheOpenCommandsMessage() {
    inst_->WriteHelper("");
    OnNextDialog([&](QDialog* d) {
      auto* sheet = qobject_cast<Blast2Sheet*>(d);
      QVERIFY(sheet != nullptr);
      sheet->SequenceField()->setPlainText("MKVLAGHW");
      sheet->OkButton()->click();
    });
    w_->MainWndProc_OnCommand(3023);
    QTRY_COMPARE_WITH_TIMEOUT(Texts().size(), 2, 20000);
    QCOMPARE(Texts()[0], QString("BLAST-2 done. Ready to \nopen the results file."));
    QVERIFY(Texts()[1].startsWith("Unable to open or read your file.\nPlease, check the file :\n" +
                                  QString::fromStdString(inst_->Cache()) + "/res"));
    QCOMPARE(Tables(), 0);
  }

  void refusalsShowTheirMessageAndSendNothing() {
    inst_->WriteHelper(webtest::ShippedFile("sample.bla"));
    // No sequence.
    OnNextDialog([&](QDialog* d) { qobject_cast<Blast2Sheet*>(d)->OkButton()->click(); });
    w_->MainWndProc_OnCommand(3023);
    QCOMPARE(Texts(), QStringList({"No sequence entered."}));
    // A sheet cancelled sends nothing either.
    OnNextDialog([&](QDialog* d) {
      auto* sheet = qobject_cast<Blast2Sheet*>(d);
      sheet->SequenceField()->setPlainText("MKVLAGHW");
      sheet->CancelButton()->click();
    });
    w_->MainWndProc_OnCommand(3023);
    QCOMPARE(Texts().size(), 1);
    QVERIFY(webtest::FilesIn(inst_->Cache()).empty());
    // An unreadable configuration file: the error box, no sheet.
    inst_->SetKey("vistram.cfg", "CONFIG_FILE", "missing.cfg");
    platform_.Clear();
    w_->MainWndProc_OnCommand(3023);
    w_->MainWndProc_OnCommand(3013);
    QCOMPARE(Texts(), QStringList({"BLAST configuration file not found.", "BLAST configuration file not found."}));
    QCOMPARE(platform_.Messages()[0].icon, MsgIcon::Error);
    // F9 stays silent.
    std::string cfg = ReadAll(inst_->Config());
    Installation::Replace(cfg, "CONFIG_FILE=clustalw.cfg", "CONFIG_FILE=missing.cfg");
    webtest::WriteAll(inst_->Config(), cfg);
    platform_.Clear();
    w_->MainWndProc_OnCommand(3024);
    QVERIFY(Texts().isEmpty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void expasyServerChangesTheSheet() {
    inst_->SetKey("blast2.cfg", "SERVER_BLAST", "http://web.expasy.org");
    OnNextDialog([&](QDialog* d) {
      auto* sheet = qobject_cast<Blast2Sheet*>(d);
      QVERIFY(!sheet->OrganismBox()->isEnabled());
      QVERIFY(!sheet->NameBox()->isChecked());
      QVERIFY(!sheet->NameField()->isEnabled());
      QCOMPARE(sheet->Parameters()->ExpectLabel()->text(), QString("&S threshold:"));
      QCOMPARE(sheet->Logo()->LogoId(), 1005);
      sheet->CancelButton()->click();
    });
    w_->MainWndProc_OnCommand(3023);
  }

  // The defaults dialog: its page, a configuration file refused and another
  // one taken, and the chosen defaults saved into that file.
  void defaultsDialogTakesAFileAndSavesTheDefaults() {
    webtest::fs::copy_file(inst_->Blast2Config(), inst_->Path("other.cfg"));
    inst_->SetKey("other.cfg", "EXPECT_DEF", "0");
    webtest::fs::copy_file(inst_->Blast2Config(), inst_->Path("bad.cfg"));
    inst_->SetKey("bad.cfg", "EXPECT_DEF", "99");
    for (const char* name : {"bad.cfg", "other.cfg"}) {
      FileDialogResult chosen;
      chosen.status = FileDialogResult::Status::Chosen;
      chosen.path = inst_->Path(name);
      platform_.QueueFileAnswer(chosen);
    }
    bool seen = false;
    OnNextDialog([&](QDialog* d) {
      auto* dialog = qobject_cast<Blast2DefaultsDialog*>(d);
      QVERIFY(dialog != nullptr);
      seen = true;
      QCOMPARE(dialog->windowTitle(), QString("BLAST2 default values"));
      Blast2ParametersPage* p = dialog->Page();
      QVERIFY(p->FileButton()->isVisible() && p->GetDbButton()->isVisible());
      QVERIFY(!p->GetDbButton()->isEnabled());
      QVERIFY(!p->GeneticCodeBox()->isVisible());
      QVERIFY(p->SaveButton()->isVisible());
      p->FileButton()->click();  // bad.cfg: refused, the page stays
      QCOMPARE(p->FilePath()->text(), QString::fromStdString(inst_->Blast2Config()));
      QCOMPARE(p->ExpectBox()->currentText(), QString("10"));
      p->FileButton()->click();  // other.cfg
      QCOMPARE(p->FilePath()->text(), QString::fromStdString(inst_->Path("other.cfg")));
      QCOMPARE(p->ExpectBox()->currentText(), QString("1e-10"));
      p->ExpectBox()->setCurrentIndex(2);
      p->MatrixBox()->setCurrentIndex(3);
      p->GappedBox()->setChecked(false);
      p->AdvancedField()->setText("WORD_SIZE 2");
      p->SaveButton()->click();
    });
    w_->MainWndProc_OnCommand(3013);
    QVERIFY(seen);
    QCOMPARE(Texts(), QStringList({"Default expect value not found."}));
    const auto requests = platform_.FileRequests();
    QCOMPARE(requests.size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(requests[0].title), QString("Choose a BLAST-2 config. file"));
    QCOMPARE(QString::fromStdString(requests[0].defaultExtension), QString("cfg"));
    QCOMPARE(QString::fromStdString(GetProfileString(inst_->Config(), "BLAST2_SEARCH", "CONFIG_FILE", "", 260)),
             QString::fromStdString(inst_->Path("other.cfg")));
    ProfileFile cfg;
    QVERIFY(cfg.Load(inst_->Path("other.cfg")));
    QCOMPARE(cfg.GetInt("BLAST2_SEARCH", "EXPECT_DEF", -1), 2);
    QCOMPARE(cfg.GetInt("BLAST2_SEARCH", "MATRIX_DEF", -1), 3);
    QCOMPARE(cfg.GetInt("BLAST2_SEARCH", "FILTER_DEF", -1), 1);
    QCOMPARE(cfg.GetInt("BLAST2_SEARCH", "GAPPED_CHK", -1), 0);
    QCOMPARE(cfg.GetString("BLAST2_SEARCH", "ADVANC_OPT", "", 100), std::string("WORD_SIZE 2"));
  }

  void clustalSheetSendsItsPostFile() {
    const std::string msf = std::string(VISTRAM_TEST_DATA_DIR) + "/web/bioperl_cysprot.msf";
    inst_->WriteHelper(msf);
    bool seen = false;
    OnNextDialog([&](QDialog* d) {
      auto* sheet = qobject_cast<ClustalSheet*>(d);
      QVERIFY(sheet != nullptr);
      seen = true;
      QCOMPARE(sheet->windowTitle(), QString("ClustalW"));
      QCOMPARE(sheet->Pages()->count(), 2);
      QCOMPARE(sheet->Pages()->tabText(0), QString("Sequences"));
      QCOMPARE(sheet->ServerText()->text(), QString("local://clustalw"));
      sheet->SequencesField()->setPlainText(">a.1\nMKVLA\n>b\nMKALA\n");
      sheet->Pages()->setCurrentIndex(1);
      QCOMPARE(Items(sheet->OutputOrderBox()), QStringList({"aligned", "input"}));
      QCOMPARE(sheet->GapOpenField()->text(), QString("10"));
      sheet->OutputOrderBox()->setCurrentIndex(1);
      sheet->GapOpenField()->setText("12");
      QCOMPARE(sheet->GapExtendField()->text(), QString("0.2"));
      sheet->OkButton()->click();
    });
    w_->MainWndProc_OnCommand(3024);
    QVERIFY(seen);
    QTRY_VERIFY_WITH_TIMEOUT(!Texts().isEmpty(), 20000);
    QCOMPARE(Texts()[0], QString("BLAST-2 done. Ready to \nopen the results file."));
    const std::string body =
        "outorder=input&guidetree=slow&matrix=gonnet&gapopen=12&gapext=0.2&sequence=%3Ea1%0D%0AMKVLA%0D%0A%3Eb%0D%0AMKALA%0D%0A";
    QCOMPARE(QString::fromStdString(inst_->SeenPost()),
             QString::fromStdString("POST /clustalw HTTP/1.0|User-Agent: Netscape/4.0|Content-type: "
                                    "application/x-www-form-urlencoded|Content-length:" +
                                    std::to_string(body.size()) + "||" + body));
    const std::string request = inst_->SeenRequest();
    QVERIFY(request.find("\nServerName=local://clustalw\nAction=ACT_OPENMSF\nMethod=POST /clustalw\n") !=
            std::string::npos);
    QVERIFY(request.find(".msf\n") != std::string::npos);
    // The MSF answer opens in the alignment editor, not as a table.
    QTRY_VERIFY_WITH_TIMEOUT(w_->Editors().Editor() != nullptr, 20000);
    QCOMPARE(w_->Editors().Editor()->Msa().SequenceCount(), 7);
    QCOMPARE(Tables(), 0);
  }

  void aClustalAnswerThatIsNoMsfGoesThroughOpen() {
    inst_->WriteHelper(webtest::ShippedFile("sample.bla"));
    QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
    OnNextDialog([&](QDialog* d) {
      auto* sheet = qobject_cast<ClustalSheet*>(d);
      sheet->SequencesField()->setPlainText(">a\nMKVLA\n>b\nMKALA\n");
      sheet->OkButton()->click();
    });
    w_->MainWndProc_OnCommand(3024);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
    QCOMPARE(Tables(), 1);
    QVERIFY(w_->Editors().Editor() == nullptr);
  }

  void twoRequestsEndingTogetherBothOpen() {
    inst_->WriteHelper(webtest::ShippedFile("sample.bla"),
                       "touch \"$1.started\"\nwhile [ $(ls " + inst_->Cache() +
                           " | grep -c started) -lt 2 ]; do sleep 0.05; done\n");
    for (int i = 0; i < 2; ++i) {
      OnNextDialog([&](QDialog* d) {
        auto* sheet = qobject_cast<Blast2Sheet*>(d);
        sheet->SequenceField()->setPlainText("MKVLAGHW");
        sheet->OkButton()->click();
      });
      w_->MainWndProc_OnCommand(3023);
    }
    QTRY_COMPARE_WITH_TIMEOUT(Tables(), 2, 30000);
  }

  void fileButtonReadsASequenceFile() {
    const std::string seq = std::string(VISTRAM_TEST_DATA_DIR) + "/sequences/bioperl_calm.swiss";
    for (const std::string& path : {seq, inst_->Config()}) {
      FileDialogResult chosen;
      chosen.status = FileDialogResult::Status::Chosen;
      chosen.path = path;
      platform_.QueueFileAnswer(chosen);
    }
    OnNextDialog([&](QDialog* d) {
      auto* sheet = qobject_cast<Blast2Sheet*>(d);
      sheet->FileButton()->click();
      QCOMPARE(sheet->FileName()->text(), QString::fromStdString(seq));
      QCOMPARE(sheet->NameField()->text(), QString("CALM_HUMAN"));
      QVERIFY(sheet->SequenceField()->toPlainText().startsWith("ADQLTEEQIAEF"));
      sheet->FileButton()->click();  // not a sequence file: the fields stay
      QCOMPARE(sheet->NameField()->text(), QString("CALM_HUMAN"));
      sheet->CancelButton()->click();
    });
    w_->MainWndProc_OnCommand(3023);
    QCOMPARE(Texts(), QStringList({"Unable to open or read your file.\nPlease, check the file :\n" +
                                   QString::fromStdString(inst_->Config()) + "."}));
    QCOMPARE(QString::fromStdString(platform_.FileRequests()[0].initialFolder),
             QString::fromStdString(inst_->Blast2Config()).section('/', 0, -2));
  }
};

QTEST_MAIN(SheetsTest)
#include "sheets_test.moc"
