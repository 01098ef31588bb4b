// The batch commands that save: --save and --export-html, run in-process as
// main() runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/temp_folder.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/shell/batch.h"

namespace fs = std::filesystem;

namespace {

class BatchSaveTest : public ::testing::Test {
 protected:
  static int Run(std::vector<std::string> args) {
    args.insert(args.begin(), "vistram");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int exitCode = -1;
    EXPECT_TRUE(RunBatchIfRequested(static_cast<int>(args.size()), argv.data(), exitCode));
    return exitCode;
  }
  static std::string Report() {
    return (fs::path(VISTRAM_TEST_DATA_DIR) / "blast" / "blast_legacy_text_ncbi" / "biopython_text_2011L_blastp_003.txt").string();
  }
  std::size_t Entries() const { return folder_.EntryCount(); }
  test_support::TempFolder folder_;
  fs::path dir_{folder_.path()};
};

}  // namespace

TEST_F(BatchSaveTest, SaveWritesAFileThatReadsBackAsTheReport) {
  const std::string out = (dir_ / "out.vist").string();
  ASSERT_EQ(0, Run({"--save", Report(), "-o", out}));
  DataProgram original, back;
  ASSERT_EQ(kBlastOk, LitBlastForListBox(nullptr, nullptr, original, Report(), 5));
  ASSERT_EQ(kBlastOk, LitBlastForListBox(nullptr, nullptr, back, out, kReportBlastText));
  ASSERT_EQ(original.hitCount, back.hitCount);
  EXPECT_EQ(original.alignmentCount, back.alignmentCount);
  EXPECT_EQ((*original.hits)[0]->identifier, (*back.hits)[0]->identifier);
}

TEST_F(BatchSaveTest, FailuresExitNonZeroAndLeaveNothing) {
  const std::string out = (dir_ / "out.vist").string();
  EXPECT_EQ(1, Run({"--save", (dir_ / "missing.bla").string(), "-o", out}));
  EXPECT_EQ(1, Run({"--save", Report(), "-o", (dir_ / "no/such/out.vist").string()}));
  EXPECT_EQ(1, Run({"--export-html", Report(), "-o", (dir_ / "no/such/out.vist").string()}));
  EXPECT_EQ(0u, Entries());
  // Usage errors: no output named, or two reports.
  EXPECT_EQ(2, Run({"--save", Report()}));
  EXPECT_EQ(2, Run({"--export-html", Report(), Report(), "-o", out}));
  EXPECT_EQ(0u, Entries());
}

TEST_F(BatchSaveTest, ExportHtmlWritesTheFourPages) {
  ASSERT_EQ(0, Run({"--export-html", Report(), "-o", (dir_ / "report.txt").string()}));
  EXPECT_EQ(4u, Entries());
  const std::string text = test_support::ReadWholeFile(dir_ / "report_lr.html");
  // Every hit of the report has its row and its link to the alignments.
  DataProgram original;
  ASSERT_EQ(kBlastOk, LitBlastForListBox(nullptr, nullptr, original, Report(), 5));
  const std::string last = "report_ali.html#ALI" + std::to_string(original.hitCount) + "\"";
  EXPECT_NE(std::string::npos, text.find(last));
  std::ifstream ali(dir_ / "report_ali.html");
  std::stringstream alignments;
  alignments << ali.rdbuf();
  EXPECT_NE(std::string::npos, alignments.str().find("<A NAME=\"ALI1\"></A>"));
  EXPECT_NE(std::string::npos, alignments.str().find("<FONT COLOR=\"#"));
}
