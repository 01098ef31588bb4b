// The request sheets driven in the real main window on the offscreen
// platform, up to the post and request files, with a stand-in helper.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>

#include "vistram/base/profile.h"
#include "vistram/editor/gui/editor_open.h"
#include "vistram/web/gui/blast2_sheet.h"
#include "vistram/web/gui/clustal_sheet.h"
#include "vistram/web/gui/server_logo.h"
#include "web/gui/web_window_fixture.h"

using namespace webtest;

namespace {
QStringList Items(const QComboBox* box) {
  QStringList out;
  for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
  return out;
}
void ChooseFiles(RecordingPlatform& platform, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    FileDialogResult chosen;
    chosen.status = FileDialogResult::Status::Chosen;
    chosen.path = path;
    platform.QueueFileAnswer(chosen);
  }
}
const int kBlast2 = 3023, kClustal = 3024, kBlast2Defaults = 3013;
}  // namespace

class SheetsTest : public QObject, WebWindowFixture {
  Q_OBJECT

 private slots:
  void init() { QVERIFY(StartWindow()); }
  void cleanup() { StopWindow(20000); }

  // The sheet's choices reach the post file; the answer opens as a table, an
  // empty answer ends in the Open command's message, and two requests that
  // end together both open.
  void blast2SheetSendsItsChoicesAndItsAnswersOpen() {
    inst_->WriteHelper(ShippedFile("sample.bla"));
    QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
    Send<Blast2Sheet>(kBlast2, [](Blast2Sheet* sheet) {
      QCOMPARE(Items(sheet->ProgramBox()), QStringList({"blastp", "blastn", "blastx", "tblastn", "tblastx"}));
      QVERIFY(sheet->ProteinBox()->isEnabled() && !sheet->NucleicBox()->isEnabled());
      QCOMPARE(sheet->OrganismBox()->currentIndex(), -1);
      QCOMPARE(sheet->ServerText()->text(), QString("https://blast.ncbi.nlm.nih.gov"));
      QCOMPARE(sheet->Logo()->LogoId(), 1004);
      sheet->ProgramBox()->setCurrentIndex(3);  // tblastn searches the nucleotide databases
      QVERIFY(sheet->NucleicBox()->isEnabled() && !sheet->ProteinBox()->isEnabled());
      sheet->NucleicBox()->setCurrentIndex(1);
      sheet->OrganismBox()->setCurrentIndex(1);
      sheet->Pages()->setCurrentIndex(1);
      QVERIFY(sheet->NameBox()->isChecked());
      QCOMPARE(sheet->FetchDatabaseBox()->count(), 10);
      sheet->NameField()->setText("Q1 test.seq");
      sheet->NameField()->setText("x");  // one character leaves the title
      sheet->SequenceField()->setPlainText("MKVL 10\nAGHW*");
      sheet->Pages()->setCurrentIndex(2);
      Blast2ParametersPage* p = sheet->Parameters();
      QCOMPARE(p->ExpectLabel()->text(), QString("&Expect :"));
      QVERIFY(!p->SaveButton()->isVisible() && !p->FileButton()->isVisible());
      QCOMPARE(p->GeneticCodeBox()->currentText(), QString("Standard [1]"));
      p->ExpectBox()->setCurrentIndex(1);
      p->GappedBox()->setChecked(false);
      sheet->OkButton()->click();
    });
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
    QCOMPARE(Tables(), 1);
    QCOMPARE(Texts(), QStringList({kDone}));
    QCOMPARE(QString::fromStdString(inst_->Seen("post")),
             QString("PROGRAM=tblastn&DATABASE=nt&ENTREZ%5FQUERY=Mus+musculus&UNGAPPED%5FALIGNMENT=yes"
                     "&QUERY=%3EQ1+testseq%0D%0AMKVLAGHW&EXPECT=1e%2d5&FILTER=L&DESCRIPTIONS=100&ALIGNMENTS=50"
                     "&MATRIX=BLOSUM62&GENETIC%5FCODE=1&CMD=Put"));
    const std::vector<std::string> left = FilesIn(inst_->Cache());  // the answer, the table's file
    QCOMPARE(left.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(w_->Data().reportPath), QString::fromStdString(inst_->Cache() + "/" + left[0]));

    inst_->WriteHelper("");
    platform_.Clear();
    Send<Blast2Sheet>(kBlast2, [](Blast2Sheet* sheet) {
      sheet->SequenceField()->setPlainText("MKVLAGHW");
      sheet->OkButton()->click();
    });
    QTRY_COMPARE_WITH_TIMEOUT(Texts().size(), 2, 20000);
    QCOMPARE(Texts()[0], kDone);
    QVERIFY(Texts()[1].startsWith("Unable to open or read your file.\nPlease, check the file :\n" +
                                  QString::fromStdString(inst_->Cache()) + "/res"));
    QCOMPARE(Tables(), 1);

    inst_->WriteHelper(ShippedFile("sample.bla"), "touch \"$1.started\"\nwhile [ $(ls " + inst_->Cache() +
                                                      " | grep -c started) -lt 2 ]; do sleep 0.05; done\n");
    for (int i = 0; i < 2; ++i)
      Send<Blast2Sheet>(kBlast2, [](Blast2Sheet* sheet) {
        sheet->SequenceField()->setPlainText("MKVLAGHW");
        sheet->OkButton()->click();
      });
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
      QCOMPARE(sheet->FileName()->text(), QString::fromStdString(seq));
      QCOMPARE(sheet->NameField()->text(), QString("CALM_HUMAN"));
      QVERIFY(sheet->SequenceField()->toPlainText().startsWith("ADQLTEEQIAEF"));
      sheet->FileButton()->click();  // not a sequence file: the fields stay
      QCOMPARE(sheet->NameField()->text(), QString("CALM_HUMAN"));
      sheet->CancelButton()->click();
    });
    QCOMPARE(Texts(), QStringList({"Unable to open or read your file.\nPlease, check the file :\n" +
                                   QString::fromStdString(inst_->Config()) + "."}));
    QCOMPARE(QString::fromStdString(platform_.FileRequests()[0].initialFolder),
             QString::fromStdString(inst_->Blast2Config()).section('/', 0, -2));
    platform_.Clear();
    Send<Blast2Sheet>(kBlast2, [](Blast2Sheet* sheet) { sheet->OkButton()->click(); });
    QCOMPARE(Texts(), QStringList({"No sequence entered."}));
    QVERIFY(FilesIn(inst_->Cache()).empty());

    inst_->SetKey("blast2.cfg", "SERVER_BLAST", "http://web.expasy.org");
    Send<Blast2Sheet>(kBlast2, [](Blast2Sheet* sheet) {
      QVERIFY(!sheet->OrganismBox()->isEnabled());
      QVERIFY(!sheet->NameBox()->isChecked() && !sheet->NameField()->isEnabled());
      QCOMPARE(sheet->Parameters()->ExpectLabel()->text(), QString("&S threshold:"));
      QCOMPARE(sheet->Logo()->LogoId(), 1005);
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
    QVERIFY(Texts().isEmpty());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(FilesIn(inst_->Cache()).empty());
  }

  // The defaults dialog: a configuration file refused and another one taken,
  // and the chosen defaults saved into that file.
  void defaultsDialogTakesAFileAndSavesTheDefaults() {
    for (const auto& [name, expect] : {std::pair{"other.cfg", "0"}, std::pair{"bad.cfg", "99"}}) {
      fs::copy_file(inst_->Blast2Config(), inst_->Path(name));
      inst_->SetKey(name, "EXPECT_DEF", expect);
    }
    ChooseFiles(platform_, {inst_->Path("bad.cfg"), inst_->Path("other.cfg")});
    Send<Blast2DefaultsDialog>(kBlast2Defaults, [&](Blast2DefaultsDialog* dialog) {
      Blast2ParametersPage* p = dialog->Page();
      QVERIFY(p->FileButton()->isVisible() && p->GetDbButton()->isVisible() && p->SaveButton()->isVisible());
      QVERIFY(!p->GetDbButton()->isEnabled() && !p->GeneticCodeBox()->isVisible());
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
    QCOMPARE(Texts(), QStringList({"Default expect value not found."}));
    QCOMPARE(platform_.FileRequests().size(), std::size_t(2));
    QCOMPARE(QString::fromStdString(platform_.FileRequests()[0].defaultExtension), QString("cfg"));
    QCOMPARE(QString::fromStdString(GetProfileString(inst_->Config(), "BLAST2_SEARCH", "CONFIG_FILE", "", 260)),
             QString::fromStdString(inst_->Path("other.cfg")));
    ProfileFile cfg;
    QVERIFY(cfg.Load(inst_->Path("other.cfg")));
    const std::pair<const char*, int> saved[] = {{"EXPECT_DEF", 2}, {"MATRIX_DEF", 3}, {"FILTER_DEF", 1}, {"GAPPED_CHK", 0}};
    for (const auto& [key, value] : saved) QCOMPARE(cfg.GetInt("BLAST2_SEARCH", key, -1), value);
    QCOMPARE(cfg.GetString("BLAST2_SEARCH", "ADVANC_OPT", "", 100), std::string("WORD_SIZE 2"));
  }

  // The ClustalW sheet's choices reach the post file; an MSF answer opens in
  // the alignment editor, any other goes through Open.
  void clustalSheetSendsItsPostFileAndItsAnswersOpen() {
    inst_->WriteHelper(TestData("web/bioperl_cysprot.msf"));
    Send<ClustalSheet>(kClustal, [](ClustalSheet* sheet) {
      QCOMPARE(sheet->ServerText()->text(), QString("local://clustalw"));
      sheet->SequencesField()->setPlainText(">a.1\nMKVLA\n>b\nMKALA\n");
      sheet->Pages()->setCurrentIndex(1);
      QCOMPARE(Items(sheet->OutputOrderBox()), QStringList({"aligned", "input"}));
      QCOMPARE(sheet->GapOpenField()->text(), QString("10"));
      QCOMPARE(sheet->GapExtendField()->text(), QString("0.2"));
      sheet->OutputOrderBox()->setCurrentIndex(1);
      sheet->GapOpenField()->setText("12");
      sheet->OkButton()->click();
    });
    QTRY_VERIFY_WITH_TIMEOUT(w_->Editors().Editor() != nullptr, 20000);
    QCOMPARE(w_->Editors().Editor()->Msa().SequenceCount(), 7);
    QCOMPARE(Texts(), QStringList({kDone}));
    QCOMPARE(Tables(), 0);
    const std::string body = "outorder=input&guidetree=slow&matrix=gonnet&gapopen=12&gapext=0.2&sequence="
                             "%3Ea1%0D%0AMKVLA%0D%0A%3Eb%0D%0AMKALA%0D%0A";
    QVERIFY(inst_->Seen("post").find("||" + body) != std::string::npos);
    QVERIFY(inst_->Seen("request").find("\nAction=ACT_OPENMSF\n") != std::string::npos);

    inst_->WriteHelper(ShippedFile("sample.bla"));
    QSignalSpy loaded(w_.get(), &MainWindow::loadFinished);
    Send<ClustalSheet>(kClustal, [](ClustalSheet* sheet) {
      sheet->SequencesField()->setPlainText(">a\nMKVLA\n>b\nMKALA\n");
      sheet->OkButton()->click();
    });
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, 20000);
    QCOMPARE(Tables(), 1);
  }
};

QTEST_MAIN(SheetsTest)
#include "sheets_test.moc"
