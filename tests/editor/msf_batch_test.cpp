// The batch command --msf and the loader it shares with the pattern search.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "vistram/editor/msa_batch.h"
#include "vistram/editor/msa_open.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/editor/msf.h"
#include "vistram/shell/batch_commands.h"

namespace {

int RunBatch(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  return RunMsfBatch(static_cast<int>(argv.size()), argv.data());
}

TEST(MsfBatch, ExitCodesAndOutputs) {
  TempFolder dir;
  const std::string report = EditorData("blastp_18_alignments.txt");
  struct Case {
    const char* what;
    std::vector<std::string> args;
    int code;
    const char* output;  // the file that must exist afterwards, or null: nothing written
  };
  const Case cases[] = {
      {"no output", {report}, 2, nullptr},
      {"no input", {"-o", dir.File("x.msf")}, 2, nullptr},
      {"unknown output kind", {report, "-o", dir.File("x.txt")}, 2, nullptr},
      {"bad selection", {report, "-o", dir.File("x.msf"), "--select", "some"}, 2, nullptr},
      {"two inputs", {report, report, "-o", dir.File("x.msf")}, 2, nullptr},
      {"missing report", {dir.File("none.bla"), "-o", dir.File("x.msf")}, 1, nullptr},
      {"nothing selectable", {EditorData("blastn_no_hits.txt"), "-o", dir.File("x.msf")}, 1, nullptr},
      {"unwritable output", {report, "-o", dir.File("no/such/x.msf")}, 1, nullptr},
      {"msf of every alignment", {report, "-o", dir.File("all.msf")}, 0, "all.msf"},
      {"first alignments as fasta", {"--select", "first", report, "-o", dir.File("first.fasta")}, 0, "first.fasta"},
      {"clustal", {report, "-o", dir.File("c.aln")}, 0, "c.aln"},
      {"an msf file written again", {EditorData("emboss_opsd.msf"), "-o", dir.File("again.msf")}, 0, "again.msf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RunBatch(c.args), c.code);
    if (c.output) EXPECT_TRUE(std::filesystem::exists(dir.File(c.output)));
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.msf")));
  // The report has 10 hits with 18 alignments: the query, each row and the consensus.
  int rows = 0, columns = 0;
  ASSERT_TRUE(AnalyseMSFHeader(dir.File("all.msf"), rows, columns));
  EXPECT_EQ(rows, 1 + 18 + 1);
  EXPECT_EQ(columns, 98);
  EXPECT_EQ(FastaRows(ReadWhole(dir.File("first.fasta"))).size(), 1u + 10u + 1u);
  // A file read and written again keeps its rows.
  ASSERT_TRUE(AnalyseMSFHeader(dir.File("again.msf"), rows, columns));
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(columns, 354);
}

TEST(MsfBatch, LoaderMessagesAreTheWindowsMessages) {
  TempFolder dir;
  DarUvaData msa;
  std::string message;
  EXPECT_EQ(LoadMsaForBatch(EditorData("blastn_no_hits.txt"), false, msa, message), 0);
  EXPECT_EQ(message, "No sequences selected.");
  EXPECT_EQ(LoadMsaForBatch(dir.File("absent.bla"), false, msa, message), 0);
  EXPECT_NE(message.find("Unable to open or read your file."), std::string::npos);
  WriteWhole(dir.File("bad.msf"), " Name: a Len: 4 Check: 1 Weight: 1\n Name: b Len: 4 Check: 1 Weight: 1\n");
  ASSERT_EQ(LoadMsaForBatch(dir.File("bad.msf"), false, msa, message), 1);  // no "//": names, no residues
  EXPECT_EQ(msa.SequenceCount(), 2);
  EXPECT_EQ(msa.rows[0]->residues, "....");
  // The window's loader says so only when the data cannot be read.
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  EXPECT_NE(LoadMsfFile(nullptr, EditorData("emboss_opsd.msf"), ""), nullptr);
  EXPECT_TRUE(platform.Messages().empty());
  std::string huge;  // a record too large for any file of this size
  for (int i = 0; i < 3000; ++i) huge += " Name: r" + std::to_string(i) + " Len: 999999 Check: 1 Weight: 1\n";
  WriteWhole(dir.File("huge.msf"), huge + std::string(200000, ' '));
  EXPECT_EQ(LoadMsfFile(nullptr, dir.File("huge.msf"), ""), nullptr);
  SetCurrentPlatform(nullptr);
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].text, kMsgCannotReadMsf);
  ASSERT_EQ(LoadMsaForBatch(EditorData("blastp_18_alignments.txt"), false, msa, message), 1);
  EXPECT_EQ(msa.SequenceCount(), 1 + 18);
  EXPECT_EQ(msa.title, EditorData("blastp_18_alignments.txt"));
}

}  // namespace
