#include "vistram/results/load_flow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/blast_test_util.h"
#include "vistram/platform/messages.h"
#include "vistram/platform/recording_platform.h"
#include "support/recording_view.h"

using blasttest::DataPath;
using blasttest::TempDir;

namespace {

using test_support::RecordingView;

class LoadFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    view_.window = &view_;
    SetCurrentPlatform(&platform_);
    TakePendingFilePath();
  }
  void TearDown() override {
    WaitForLoadThread();
    SetCurrentPlatform(nullptr);
  }
  // One Open command, run to its load-done handler as the window would.
  int Open() {
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

  RecordingPlatform platform_;
  RecordingView view_;
  DataProgram dp_;
  TempDir dir_;
};

TEST_F(LoadFlowTest, PendingPathIsTakenOnceAndShortValuesAreIgnored) {
  SetPendingFilePath("/x/y.bla");
  EXPECT_EQ(TakePendingFilePath(), "/x/y.bla");
  EXPECT_EQ(TakePendingFilePath(), "");
  SetPendingFilePath(std::string(400, 'p'));
  EXPECT_EQ(TakePendingFilePath().size(), 259u);

  // One character: the dialog is shown instead (and cancelled here).
  SetPendingFilePath("x");
  EXPECT_EQ(Open(), 0);
  ASSERT_EQ(platform_.FileRequests().size(), 1u);
  EXPECT_TRUE(platform_.Messages().empty());
}

TEST_F(LoadFlowTest, DialogOffersTheSixFiltersInOrder) {
  dp_.programFolder = "/opt/vistram/";
  EXPECT_EQ(Open(), 0);
  ASSERT_EQ(platform_.FileRequests().size(), 1u);
  const FileDialogRequest req = platform_.FileRequests()[0];
  ASSERT_EQ(req.filters.size(), 6u);
  EXPECT_EQ(req.filters[0].text, "All formats");
  EXPECT_EQ(req.filters[0].patterns, "*.fas;*.bla;*.html;*.htm;*.txt;*.vist");
  EXPECT_EQ(req.filters[2].text, "BLAST file (*.bla;*.vist)");
  EXPECT_EQ(req.filters[5].patterns, "*.*");
  EXPECT_EQ(req.filterIndex, 1);
  EXPECT_TRUE(req.mustExist);
  EXPECT_EQ(req.initialFolder, "/opt/vistram/");

  // A failing dialog: information box with the path it returned.
  platform_.QueueFileAnswer({FileDialogResult::Status::Failed, "/bad/path", ""});
  EXPECT_EQ(Open(), 0);
  ASSERT_EQ(platform_.Messages().size(), 1u);
  EXPECT_EQ(platform_.Messages()[0].icon, MsgIcon::Information);
  EXPECT_EQ(platform_.Messages()[0].caption, "Vistram");
  EXPECT_EQ(platform_.Messages()[0].text, "Unable to open or read your file.\nPlease, check the file :\n/bad/path.");
}

TEST_F(LoadFlowTest, ChosenReportBecomesTheCurrentTable) {
  const std::string path = DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastp_003.txt");
  platform_.QueueFileAnswer({FileDialogResult::Status::Chosen, path, "biopython_text_2010L_blastp_003.txt"});
  ASSERT_EQ(Open(), 1);
  EXPECT_TRUE(platform_.Messages().empty());
  ASSERT_EQ(dp_.tableCount, 1);
  EXPECT_EQ(dp_.currentTable, 0);
  EXPECT_EQ(dp_.tableName, "biopython_text_2010L_blastp_003.txt");
  EXPECT_EQ(dp_.tables[0]->sourcePath, path);
  ASSERT_EQ(dp_.tableNameCount, 1);
  EXPECT_EQ(dp_.tableNames[0], "biopython_text_2010L_blastp_003.txt");
  EXPECT_EQ(dp_.hitCount, 13u);
  // Every alignment knows its hit and its table name.
  for (std::size_t i = 0; i < dp_.hits->size(); ++i)
    for (const auto& ali : (*dp_.hits)[i]->alignments) {
      EXPECT_EQ(ali->sourceHitNumber, static_cast<int>(i + 1));
      EXPECT_EQ(ali->sourceTableIndex, 0);
    }
  ASSERT_FALSE(view_.shown.empty());
  EXPECT_EQ(view_.lastHit, 1);
  EXPECT_EQ(view_.lastAlignment, 1);
  ASSERT_TRUE(dp_.viewer);
  EXPECT_EQ(dp_.viewer->hitNumber, 1);
  EXPECT_EQ(view_.comboCurrent, 0);
}

TEST_F(LoadFlowTest, FailedLoadsShowTheMessageAndBringBackThePreviousTable) {
  ASSERT_EQ(OpenPending(DataPath("blast_legacy_text_ncbi/bioperl_multi_blast.bls")), 1);
  ASSERT_EQ(dp_.tableCount, 4);
  // Move the viewer, as the user would, then try unreadable files.
  ActivateTable(dp_, view_, 2);
  dp_.viewer->hitNumber = 3;
  dp_.viewer->alignmentNumber = 1;
  const int tablesBefore = dp_.tableCount;

  const std::string unknown = dir_.Write("notes.txt", "just some notes\n");
  const std::string truncated = DataPath("blast_legacy_text_truncated/bioperl_ex_NCBI_blastn.txt");
  for (const std::string& path : {unknown, truncated, dir_.path() + "/missing.bla"}) {
    platform_.Clear();
    EXPECT_EQ(OpenPending(path), 0);
    ASSERT_EQ(platform_.Messages().size(), 1u) << path;
    EXPECT_EQ(platform_.Messages()[0].icon, MsgIcon::Error);
    EXPECT_EQ(platform_.Messages()[0].text, FormatTxtMessage(IDS_CANNOT_READ_FILE, path));
    EXPECT_EQ(dp_.tableCount, tablesBefore);
    EXPECT_EQ(dp_.currentTable, 2);
    ASSERT_TRUE(dp_.hits);
    EXPECT_EQ(dp_.hits, dp_.tables[2]->hits);
    EXPECT_EQ(view_.lastHit, 3);  // the remembered position
    EXPECT_TRUE(dp_.extraSections.empty());
  }
  // A cancelled dialog: no message, the same table and position.
  platform_.Clear();
  EXPECT_EQ(Open(), 0);
  EXPECT_TRUE(platform_.Messages().empty());
  EXPECT_EQ(dp_.currentTable, 2);
  EXPECT_EQ(view_.lastHit, 3);
}

TEST_F(LoadFlowTest, MultiQueryReportLoadsOneTablePerQuery) {
  const std::string path = DataPath("blastplus_text/bioperl_multiresult_blastn+.bls");
  ASSERT_EQ(OpenPending(path), 1);
  ASSERT_EQ(dp_.tableCount, 3);
  EXPECT_EQ(dp_.currentTable, 0);  // the report's first query is shown
  EXPECT_EQ(dp_.tables[0]->name, "bioperl_multiresult_blastn+.bls");
  EXPECT_EQ(dp_.tables[1]->name, "bioperl_multiresult_blastn+.bls (query 2)");
  EXPECT_EQ(dp_.tables[2]->name, "bioperl_multiresult_blastn+.bls (query 3)");
  EXPECT_EQ(dp_.tables[0]->header.queryName, "GFAVMM201BADC0");
  EXPECT_EQ(dp_.tables[1]->header.queryName, "GFAVMM201A1JOH");
  EXPECT_EQ(dp_.tables[1]->header.queryLength, 57);
  EXPECT_EQ(dp_.tables[2]->sourcePath, path);
  EXPECT_EQ(dp_.tableNameCount, 3);
  for (int t = 0; t < 3; ++t)
    for (const auto& hit : *dp_.tables[t]->hits)
      for (const auto& ali : hit->alignments) EXPECT_EQ(ali->sourceTableIndex, t);
  // Every hit block of the file (36) is in the table of its own query.
  EXPECT_EQ(dp_.tables[0]->hitCount, 13u);
  EXPECT_EQ(dp_.tables[1]->hitCount, 6u);
  EXPECT_EQ(dp_.tables[2]->hitCount, 17u);
  EXPECT_EQ((*dp_.tables[1]->hits)[0]->identifier, "GI|22416007|EMB|AL772315.4|");
  EXPECT_EQ(dp_.hits, dp_.tables[0]->hits);
}

TEST_F(LoadFlowTest, LeaveCloseAndActivate) {
  ASSERT_EQ(OpenPending(DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastn_001.txt")), 1);
  dp_.viewer->hitNumber = 2;
  dp_.viewer->alignmentNumber = 1;
  ASSERT_EQ(OpenPending(DataPath("blast_legacy_text_wublast/bioperl_ecolitst.wublastp")), 1);
  ASSERT_EQ(dp_.tableCount, 2);
  EXPECT_EQ(dp_.tables[0]->savedHit, 2);  // remembered when the Open command left it
  EXPECT_EQ(view_.comboEmptied, 2);

  ActivateTable(dp_, view_, 0);
  EXPECT_EQ(dp_.tableName, "biopython_text_2010L_blastn_001.txt");
  EXPECT_EQ(view_.lastHit, 2);
  EXPECT_EQ(dp_.header.queryName, "GI|1348916|GB|G26684|G26684");

  // Closing the current table shows the one now current; the name list stays.
  CloseCurrentTable(dp_, view_);
  ASSERT_EQ(dp_.tableCount, 1);
  EXPECT_EQ(dp_.currentTable, 0);
  EXPECT_EQ(dp_.tableName, "bioperl_ecolitst.wublastp");
  EXPECT_EQ(view_.lastHit, 1);
  EXPECT_EQ(dp_.tableNameCount, 2);
  CloseCurrentTable(dp_, view_);
  EXPECT_EQ(dp_.tableCount, 0);
  EXPECT_EQ(dp_.currentTable, -1);
  EXPECT_FALSE(dp_.hits);
  EXPECT_FALSE(dp_.viewer);
  EXPECT_EQ(dp_.header.queryName, "");
  // Nothing to leave or close: nothing happens.
  const int clears = view_.clears;
  FermeUnFichier(dp_, view_, 0);
  EXPECT_EQ(view_.clears, clears);
}

TEST_F(LoadFlowTest, NoSecondLoadWhileOneRuns) {
  // The first load waits in its dialog until the test lets it go on.
  SetPendingFilePath(DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastp_003.txt"));
  ASSERT_EQ(StartLoad(dp_, view_), kLoadStarted);
  EXPECT_TRUE(LoadIsRunning());
  EXPECT_EQ(StartLoad(dp_, view_), kLoadAlreadyRunning);
  WaitForLoadThread();
  EXPECT_TRUE(LoadIsRunning());  // until the load-done handler has run
  EXPECT_EQ(StartLoad(dp_, view_), kLoadAlreadyRunning);
  OnLoadDone(dp_, view_, view_.ready, 0);
  EXPECT_FALSE(LoadIsRunning());
  EXPECT_EQ(dp_.tableCount, 1);
  EXPECT_EQ(LoadStringText(IDS_LOAD_ALREADY_RUNNING).empty(), false);
}

TEST_F(LoadFlowTest, ReportWithoutQueryLengthIsMixedAndNamedQuery) {
  ASSERT_EQ(OpenPending(DataPath("blast_legacy_text_ncbi/bioperl_blast.report")), 1);
  EXPECT_EQ(dp_.header.queryName, "query");  // the name is on the line after "Query="
  EXPECT_EQ(dp_.header.queryLength, 504);
  EXPECT_EQ(dp_.tables[0]->header.queryName, "query");
}

TEST_F(LoadFlowTest, LargeReportReportsProgress) {
  // A report of several megabytes: progress is reported on the way.
  std::string big = "BLASTP Altschul\nQuery= BIG\n   (10 letters)\nDatabase: d\n x\n";
  const std::string hit =
      ">H1 d\n Length = 10\n Score = 10 bits (5), Expect = 1.0\n Identities = 5/5 (100%)\n"
      "Query: 1  MKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLA 60\n"
      "          MKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLA\n"
      "Sbjct: 1  MKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLAMKVLA 60\n\n";
  while (big.size() < (9u << 20)) big += hit;
  big += "  Database: d\n    Posted date: x\n";
  ASSERT_EQ(OpenPending(dir_.Write("big.bla", big)), 1);
  EXPECT_GE(view_.progressCalls, 2);
  EXPECT_TRUE(view_.progressOk);
}

}  // namespace
