// The batch command --msf and the loader it shares with the pattern search and the window.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor_test_support.h"
#include "vistram/editor/msa_batch.h"
#include "vistram/editor/msa_open.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/shell/batch_commands.h"

namespace {

TEST(MsfBatch, ExitCodesAndOutputs) {
  TempFolder dir;
  const std::string report = EditorData("blastp_18_alignments.txt"), x = dir / "x.msf";
  const std::pair<std::vector<std::string>, int> cases[] = {  // {arguments, exit code}
      {{report}, 2}, {{"-o", x}, 2}, {{report, "-o", dir / "x.txt"}, 2}, {{report, "-o", x, "--select", "some"}, 2},
      {{report, report, "-o", x}, 2}, {{dir / "none.bla", "-o", x}, 1}, {{EditorData("blastn_no_hits.txt"), "-o", x}, 1},
      {{report, "-o", dir / "no/such/x.msf"}, 1}, {{report, "-o", dir / "all.msf"}, 0},
      {{"--select", "first", report, "-o", dir / "first.fasta"}, 0}, {{report, "-o", dir / "c.aln"}, 0},
      {{EditorData("emboss_opsd.msf"), "-o", dir / "again.msf"}, 0}};
  for (auto [args, code] : cases) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    EXPECT_EQ(RunMsfBatch(static_cast<int>(argv.size()), argv.data()), code) << args.back();
  }
  EXPECT_EQ(dir.EntryCount(), 4u);
  EXPECT_TRUE(std::filesystem::exists(dir / "c.aln"));
  // 10 hits with 18 alignments: the query, each row and the consensus.
  int rows = 0, columns = 0;
  ASSERT_TRUE(AnalyseMSFHeader(dir / "all.msf", rows, columns));
  EXPECT_EQ(rows, 1 + 18 + 1);
  EXPECT_EQ(columns, 98);
  EXPECT_EQ(FastaRows(test_support::ReadWholeFile(dir / "first.fasta")).size(), 1u + 10u + 1u);
  ASSERT_TRUE(AnalyseMSFHeader(dir / "again.msf", rows, columns));
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(columns, 354);
}

TEST(MsfBatch, LoaderMessagesAreTheWindowsMessages) {
  TempFolder dir;
  DarUvaData msa;
  std::string message;
  EXPECT_EQ(LoadMsaForBatch(EditorData("blastn_no_hits.txt"), false, msa, message), 0);
  EXPECT_EQ(message, "No sequences selected.");
  EXPECT_EQ(LoadMsaForBatch(dir / "absent.bla", false, msa, message), 0);
  EXPECT_NE(message.find("Unable to open or read your file."), std::string::npos);
  // No "//": names, no residues.
  ASSERT_EQ(LoadMsaForBatch(dir.Write("bad.msf", " Name: a Len: 4 Check: 1 Weight: 1\n Name: b Len: 4 Check: 1 Weight: 1\n"),
                            false, msa, message), 1);
  EXPECT_EQ(Residues(msa), (std::vector<std::string>{"....", "...."}));
  ASSERT_EQ(LoadMsaForBatch(EditorData("blastp_18_alignments.txt"), false, msa, message), 1);
  EXPECT_EQ(msa.SequenceCount(), 1 + 18);
  EXPECT_EQ(msa.title, EditorData("blastp_18_alignments.txt"));
  // The window's loader speaks only when the data cannot be read.
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  EXPECT_NE(LoadMsfFile(nullptr, EditorData("emboss_opsd.msf"), ""), nullptr);
  EXPECT_TRUE(platform.Messages().empty());
  std::string huge;
  for (int i = 0; i < 3000; ++i) huge += " Name: r" + std::to_string(i) + " Len: 999999 Check: 1 Weight: 1\n";
  EXPECT_EQ(LoadMsfFile(nullptr, dir.Write("huge.msf", huge + std::string(200000, ' ')), ""), nullptr);
  SetCurrentPlatform(nullptr);
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].text, kMsgCannotReadMsf);
}

}  // namespace
