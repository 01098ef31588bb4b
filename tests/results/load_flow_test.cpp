#include "vistram/results/load_flow.h"

#include "results/blast_test_util.h"
#include "support/recording_view.h"
#include "vistram/platform/messages.h"

using namespace blasttest;

namespace {

class LoadFlowTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    view_.window = &view_;
    TakePendingFilePath();
  }
  void TearDown() override {
    WaitForLoadThread();
    PlatformTest::TearDown();
  }
  int Open() {  // one Open command, run to its load-done handler as the window would
    view_.ready = -1;
    const int started = StartLoad(dp_, view_);
    if (started != kLoadStarted) return -started;
    WaitForLoadThread();
    OnLoadDone(dp_, view_, view_.ready, 0);
    return view_.ready;
  }
  int OpenPending(const std::string& path) {
    SetPendingFilePath(path);
    return Open();
  }
  test_support::RecordingView view_;
  DataProgram dp_;
};

TEST_F(LoadFlowTest, PendingPathAndTheDialogWithItsFilters) {
  SetPendingFilePath("/x/y.bla");
  EXPECT_EQ(TakePendingFilePath(), "/x/y.bla");
  EXPECT_EQ(TakePendingFilePath(), "");  // taken once

  // One character: the dialog is shown instead (and cancelled here).
  dp_.programFolder = "/opt/vistram/";
  SetPendingFilePath("x");
  EXPECT_EQ(Open(), 0);
  ASSERT_EQ(platform_.FileRequests().size(), 1u);
  EXPECT_EQ(platform_.FileRequests()[0].initialFolder, "/opt/vistram/");
  // A failing dialog: an information box with the path it returned.
  platform_.QueueFileAnswer({FileDialogResult::Status::Failed, "/bad/path", ""});
  EXPECT_EQ(Open(), 0);
  ASSERT_EQ(platform_.Messages().size(), 1u);
  EXPECT_EQ(std::tie(platform_.Messages()[0].icon, platform_.Messages()[0].caption, platform_.Messages()[0].text),
            std::make_tuple(MsgIcon::Information, std::string("Vistram"),
                            std::string("Unable to open or read your file.\nPlease, check the file :\n/bad/path.")));
}

TEST_F(LoadFlowTest, ChosenReportBecomesTheCurrentTable) {
  const std::string path = DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastp_003.txt");
  platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, path, "biopython_text_2010L_blastp_003.txt"});
  ASSERT_EQ(Open(), 1);
  EXPECT_TRUE(platform_.Messages().empty());
  EXPECT_EQ(std::tie(dp_.tableCount, dp_.currentTable, dp_.tableNameCount, dp_.hitCount),
            std::make_tuple(1, 0, 1, 13u));
  EXPECT_EQ(dp_.tableName + "|" + dp_.tableNames[0] + "|" + dp_.tables[0]->sourcePath,
            "biopython_text_2010L_blastp_003.txt|biopython_text_2010L_blastp_003.txt|" + path);
  for (std::size_t i = 0; i < dp_.hits->size(); ++i)  // every alignment knows its hit
    for (const auto& ali : (*dp_.hits)[i]->alignments) EXPECT_EQ(ali->sourceHitNumber, int(i + 1));
  ASSERT_TRUE(dp_.viewer);
  EXPECT_EQ(std::tie(view_.lastHit, view_.lastAlignment, view_.comboCurrent, dp_.viewer->hitNumber),
            std::make_tuple(1, 1, 0, 1));
}

TEST_F(LoadFlowTest, MultiQueryReportThenFailedLoadsBringBackThePreviousTable) {
  const std::string multi = DataPath("blastplus_text/bioperl_multiresult_blastn+.bls");
  ASSERT_EQ(OpenPending(multi), 1);
  ASSERT_EQ(std::tie(dp_.tableCount, dp_.currentTable, dp_.tableNameCount), std::make_tuple(3, 0, 3));
  EXPECT_TRUE(dp_.hits == dp_.tables[0]->hits);  // the report's first query is shown
  const unsigned hits[] = {13, 6, 17};           // all 36 hit blocks, each with its query
  for (int t = 0; t < 3; ++t) {
    const TableEntry& e = *dp_.tables[static_cast<std::size_t>(t)];
    EXPECT_EQ(e.name,
              "bioperl_multiresult_blastn+.bls" + std::string(t == 0 ? "" : " (query " + std::to_string(t + 1) + ")"));
    EXPECT_EQ(std::tie(e.hitCount, e.sourcePath), std::tie(hits[t], multi));
    for (const auto& hit : *e.hits)
      for (const auto& ali : hit->alignments) EXPECT_EQ(ali->sourceTableIndex, t);
  }
  EXPECT_EQ(dp_.tables[0]->header.queryName, "GFAVMM201BADC0");
  EXPECT_EQ(std::tie(dp_.tables[1]->header.queryName, dp_.tables[1]->header.queryLength),
            std::make_tuple(std::string("GFAVMM201A1JOH"), 57));
  EXPECT_EQ((*dp_.tables[1]->hits)[0]->identifier, "GI|22416007|EMB|AL772315.4|");

  // Move the viewer as the user would, then try unreadable files.
  ActivateTable(dp_, view_, 2);
  dp_.viewer->hitNumber = 3;
  dp_.viewer->alignmentNumber = 1;
  const std::string unknown = dir_.Write("notes.txt", "just some notes\n");
  const std::string truncated = DataPath("blast_legacy_text_truncated/bioperl_ex_NCBI_blastn.txt");
  for (const std::string& path : {unknown, truncated, dir_ / "missing.bla"}) {
    platform_.Clear();
    EXPECT_EQ(OpenPending(path), 0);
    ASSERT_EQ(platform_.Messages().size(), 1u) << path;
    EXPECT_EQ(std::tie(platform_.Messages()[0].icon, platform_.Messages()[0].text),
              std::make_tuple(MsgIcon::Error, FormatTxtMessage(IDS_CANNOT_READ_FILE, path)));
    EXPECT_EQ(std::tie(dp_.tableCount, dp_.currentTable, view_.lastHit), std::make_tuple(3, 2, 3));  // the place
    EXPECT_TRUE(dp_.hits == dp_.tables[2]->hits);  // the remembered place
  }
  platform_.Clear();  // a cancelled dialog: no message, the same table and place
  EXPECT_EQ(Open(), 0);
  EXPECT_TRUE(platform_.Messages().empty());
  EXPECT_EQ(std::tie(dp_.currentTable, view_.lastHit), std::make_tuple(2, 3));
}

TEST_F(LoadFlowTest, LeaveCloseAndActivate) {
  ASSERT_EQ(OpenPending(DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastn_001.txt")), 1);
  dp_.viewer->hitNumber = 2;
  dp_.viewer->alignmentNumber = 1;
  ASSERT_EQ(OpenPending(DataPath("blast_legacy_text_wublast/bioperl_ecolitst.wublastp")), 1);
  ASSERT_EQ(dp_.tableCount, 2);
  EXPECT_EQ(std::tie(dp_.tables[0]->savedHit, view_.comboEmptied), std::make_tuple(2, 2));  // saved on leaving
  ActivateTable(dp_, view_, 0);
  EXPECT_EQ(std::tie(view_.lastHit, dp_.header.queryName),
            std::make_tuple(2, std::string("GI|1348916|GB|G26684|G26684")));
  // Closing the current table shows the one now current; the name list stays.
  CloseCurrentTable(dp_, view_);
  EXPECT_EQ(std::tie(dp_.tableCount, dp_.currentTable, view_.lastHit, dp_.tableNameCount), std::make_tuple(1, 0, 1, 2));
  EXPECT_EQ(dp_.tableName, "bioperl_ecolitst.wublastp");
  CloseCurrentTable(dp_, view_);
  EXPECT_EQ(std::tie(dp_.tableCount, dp_.currentTable, dp_.header.queryName), std::make_tuple(0, -1, std::string()));
  EXPECT_FALSE(dp_.hits || dp_.viewer);
  const int clears = view_.clears;  // nothing to leave or close: nothing happens
  FermeUnFichier(dp_, view_, 0);
  EXPECT_EQ(view_.clears, clears);
}

TEST_F(LoadFlowTest, NoSecondLoadWhileOneRunsAndProgressOnLargeReports) {
  SetPendingFilePath(DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastp_003.txt"));
  ASSERT_EQ(StartLoad(dp_, view_), kLoadStarted);
  EXPECT_EQ(StartLoad(dp_, view_), kLoadAlreadyRunning);
  WaitForLoadThread();
  EXPECT_TRUE(LoadIsRunning());  // until the load-done handler has run
  EXPECT_EQ(StartLoad(dp_, view_), kLoadAlreadyRunning);
  OnLoadDone(dp_, view_, view_.ready, 0);
  EXPECT_FALSE(LoadIsRunning());
  EXPECT_EQ(dp_.tableCount, 1);

  // A report without a query length is mixed; its name is on the line after "Query=".
  ASSERT_EQ(OpenPending(DataPath("blast_legacy_text_ncbi/bioperl_blast.report")), 1);
  EXPECT_EQ(std::tie(dp_.header.queryName, dp_.header.queryLength), std::make_tuple(std::string("query"), 504));

  // A real report's hits repeated: read ahead in chunks, many builder passes, progress shown, every copy alike.
  auto one = Read(DataPath("blastplus_text/biopython_text_2226_blastp_003.txt"));
  const std::string real = ReadWholeFile(DataPath("blastplus_text/biopython_text_2226_blastp_003.txt"));
  const std::size_t from = real.find("\n>") + 1, to = real.find("\nLambda") + 1;
  std::string big = real.substr(0, from);
  int copies = 0;
  for (; big.size() < (9u << 20); ++copies) big += real.substr(from, to - from);
  ASSERT_EQ(OpenPending(dir_.Write("big.txt", big + real.substr(to))), 1);
  EXPECT_TRUE(view_.progressCalls >= 2 && view_.progressOk);
  const int perCopy = static_cast<int>(one->dp.hitCount);
  ASSERT_EQ(dp_.hitCount, static_cast<unsigned>(perCopy * copies));
  EXPECT_EQ(std::tie(dp_.alignmentCount, dp_.header.resultType),
            std::make_tuple(one->dp.alignmentCount * copies, one->dp.header.resultType));
  auto fields = [](const AliData& x) {
    return std::tie(x.queryLine, x.middleLine, x.subjectLine, x.statsText, x.queryStart, x.queryEnd, x.subjectStart,
                    x.subjectEnd, x.score, x.expect, x.hcaScore, x.gapped);
  };
  for (int h = 0; h < perCopy * copies; ++h) {
    const HspData& a = one->hit(h % perCopy + 1);
    const HspData& b = *(*dp_.hits)[static_cast<std::size_t>(h)];
    ASSERT_EQ(std::tie(b.identifier, b.alignmentCount, b.selected),
              std::tie(a.identifier, a.alignmentCount, a.selected))
        << h;
    for (std::size_t k = 0; k < a.alignments.size(); ++k)
      ASSERT_TRUE(fields(*b.alignments[k]) == fields(*a.alignments[k])) << h << " " << k;
  }
}

}  // namespace
