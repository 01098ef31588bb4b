// MSF files: the writer's bytes and GCG checksum, the reader on hand-made and corpus files, the batch
// command --msf and the loader it shares with the pattern search and the window.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "vistram/editor/msa_batch.h"
#include "vistram/editor/msa_open.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/shell/batch_commands.h"

namespace {

using test_support::ReadWholeFile;

// An expected file of the test data with `path` put in for "{path}".
std::string Expected(const std::string& name, const std::string& path) {
  std::string text = ReadWholeFile(EditorData(name));
  return text.replace(text.find("{path}"), 6, path);
}

TEST(MsfWriter, BytesRangesAndRefusals) {
  TempFolder dir;
  auto msa = MakeMsa({"ACDEFGHIKLMN", "AC..FGHIK.MW"});
  msa->consensus = "AC..FGHIK.M.";
  ASSERT_EQ(SauveMSF(10, dir / "small.msf", *msa, 0, 1, 11, false), 1);
  EXPECT_EQ(ReadWholeFile(dir / "small.msf"), Expected("msf_writer_small.expected", dir / "small.msf"));
  auto one = MakeMsa({std::string(107, 'A')});
  one->consensus = one->rows[0]->residues;
  const std::string ruler = dir / "ruler.msf";  // blocks of 50, the consensus row named after the file
  ASSERT_EQ(SauveMSF(50, ruler, *one, 0, 1, 106, true), 1);
  EXPECT_EQ(ReadWholeFile(ruler), Expected("msf_writer_ruler.expected", ruler));
  ASSERT_EQ(SauveMSF(50, ruler, *one, 2, 100, 39, false), 1);  // columns 3..40 numbered from 100
  const std::string text = ReadWholeFile(ruler);
  for (const char* part : {"MSF:   38", "\n            100", "149  \n"}) EXPECT_NE(text.find(part), std::string::npos) << part;
  // Ranges outside the alignment and unwritable targets are refused, leaving nothing.
  EXPECT_EQ(SauveMSF(50, ruler, *one, 0, 1, 107, false) + SauveMSF(50, ruler, *one, 5, 1, 4, false), 0);
  EXPECT_EQ(SauveMSF(50, dir / "no/x.msf", *msa, 0, 1, 11, true) + SaveAlignedFasta(dir / "no/x.fasta", *msa, 0, 11, true) +
                SaveClustal(dir / "no/x.aln", *msa, 0, 11, true), 0);
  EXPECT_EQ(dir.EntryCount(), 2u);
  // Rows whose names share ten characters (two alignments of one hit, a consensus named like a row)
  // get names of their own, so they read back apart.
  auto same = MakeMsa({"ACDE", "FGHI", "KLMN"});
  same->rows[0]->name = same->rows[1]->name = "SP|P69905|HBA_HUMAN", same->rows[2]->name = "HBA", same->consensus = "....";
  ASSERT_EQ(SauveMSF(50, dir / "hba.msf", *same, 0, 1, 3, true), 1);
  auto back = ReadMsf(dir / "hba.msf");
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(Residues(*back), (std::vector<std::string>{"ACDE", "FGHI", "KLMN", "...."}));
  EXPECT_EQ(back->rows[1]->name + " " + back->rows[3]->name, "SP|P6990_2 HBA_2");
}

TEST(MsfWriter, GcgChecksumAgreesWithBiopython) {
  const std::vector<std::string> sequences = {"A", "AB", std::string(57, 'A') + "B", "AC..FGHIK.MW",
                                              std::string(300, 'W') + "...KLM" + std::string(1000, 'Y')};
  // Positions counted from the first written column, nothing past the end.
  EXPECT_TRUE(SEQGCGCHECKSUM("XAB", 1, 2) == 197 && SEQGCGCHECKSUM("AB", 0, 9) == 197);
  std::string command = "/usr/bin/python3 " + EditorData("gcg_checksums.py");
  for (const std::string& s : sequences) command += " " + s;
  int status = -1;
  std::istringstream out(RunTool(command, &status));
  ASSERT_EQ(status, 0);
  for (const std::string& s : sequences) {
    int expected = -1;
    out >> expected;
    EXPECT_EQ(SEQGCGCHECKSUM(s, 0, static_cast<int>(s.size()) - 1), expected) << s.substr(0, 20);
  }
}

TEST(MsfReader, DataLineRulesRefusalsAndCorpusFilesAsSeqretReadsThem) {
  TempFolder dir;
  // Long names, '~' '-' gaps, digits, a row too long, lower case, a repeated name (to the first), CRLF.
  auto msa = ReadMsf(EditorData("reader_rules.msf"));
  ASSERT_NE(msa, nullptr);
  EXPECT_EQ(Residues(*msa), (std::vector<std::string>{"..AC.DEF....", "ACDEFGHIKLMN", std::string(12, '.'), "A.CD.EFGH..."}));
  EXPECT_EQ(msa->rows[0]->name + " " + msa->rows[3]->name, "SP|P56540|CBBQ_CHRVI SHORT");
  EXPECT_TRUE(msa->columnCount == 12 && msa->consensusThreshold == 2 && msa->useBackground && msa->h == -2);
  int rows = 7, columns = 7;
  EXPECT_FALSE(AnalyseMSFHeader(dir / "none.msf", rows, columns));
  EXPECT_TRUE(!AnalyseMSFHeader(dir.Write("plain.txt", ">seq\nACDE\nName: x Len: 4 Check: 1\n"), rows, columns) && rows == 0);
  // More name lines before "//" than counted, or no file: a read failure.
  EXPECT_EQ(ReadMSFforSeq(dir.Write("two.msf", " Name: a Len: 4 Check: 1 Weight: 1\n Name: b Len: 4 Check: 1 Weight: 1\n//\n"),
                          1, 4, ""), nullptr);
  EXPECT_EQ(ReadMSFforSeq(dir / "gone.msf", 1, 4, ""), nullptr);
  // A length the file cannot hold is cut to the file's size.
  const std::string huge = " Name: a Len: 99999999999 Check: 1 Weight: 1\n//\na  ACDE\n";
  auto cut = ReadMsf(dir.Write("huge.msf", huge));
  ASSERT_TRUE(cut != nullptr && cut->columnCount == static_cast<int>(huge.size()));
  EXPECT_EQ(cut->rows[0]->residues.substr(0, 5), "ACDE.");
  // Corpus files read as seqret reads them.
  for (const char* file : {"biojava_msfExamp.msf", "bioperl_cysprot.msf", "bioperl_cysprot1b.msf", "bioperl_testaln.msf",
                           "biopython_W_prot.msf", "bioruby_pileup-aa.msf", "emboss_dna.msf", "emboss_dna.msf8",
                           "emboss_hmm_globins50.msf", "emboss_opsd.msf"}) {
    SCOPED_TRACE(file);
    auto msa = ReadMsf(EditorData(file));
    ASSERT_NE(msa, nullptr);
    int status = -1;
    const Rows expected = SeqretRows(EditorData(file), &status);
    ASSERT_TRUE(status == 0 && static_cast<int>(expected.size()) == msa->SequenceCount());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      std::string residues = expected[i].second;
      residues.resize(static_cast<std::size_t>(msa->columnCount), '.');
      EXPECT_EQ(msa->rows[i]->name, Upper(expected[i].first).substr(0, 49));
      EXPECT_EQ(msa->rows[i]->residues, residues) << expected[i].first;
    }
  }
}

TEST(MsfBatch, FormatFromTheExtensionExitCodesAndOutputs) {
  for (const auto& [path, format] : {std::pair{"/a/b.MSF", MsaFileFormat::kMsf}, {"b.fa", MsaFileFormat::kFasta},
                                     {"b.aln", MsaFileFormat::kClustal}, {"b.txt", MsaFileFormat::kUnknown}, {"dir.msf/b", MsaFileFormat::kUnknown}})
    EXPECT_EQ(MsaFormatFromPath(path), format) << path;
  // The batch command --msf: usage errors exit 2, failures 1.
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
  EXPECT_EQ(dir.EntryCount(), 4u);  // all.msf, first.fasta, c.aln, again.msf
  // 10 hits with 18 alignments: the query, each row and the consensus.
  int rows = 0, columns = 0, rows2 = 0, columns2 = 0;
  ASSERT_TRUE(AnalyseMSFHeader(dir / "all.msf", rows, columns) && AnalyseMSFHeader(dir / "again.msf", rows2, columns2));
  EXPECT_EQ(std::vector<int>({rows, columns, rows2, columns2}), std::vector<int>({1 + 18 + 1, 98, 3, 354}));
  EXPECT_EQ(FastaRows(test_support::ReadWholeFile(dir / "first.fasta")).size(), 1u + 10u + 1u);
}

TEST(MsfBatch, LoaderMessagesAreTheWindowsMessages) {
  TempFolder dir;
  DarUvaData msa;
  std::string message;
  EXPECT_TRUE(LoadMsaForBatch(EditorData("blastn_no_hits.txt"), false, msa, message) == 0 && message == "No sequences selected.");
  EXPECT_TRUE(LoadMsaForBatch(dir / "absent.bla", false, msa, message) == 0 && message.find("Unable to open or read your file.") != std::string::npos);
  // No "//": names, no residues.
  ASSERT_EQ(LoadMsaForBatch(dir.Write("bad.msf", " Name: a Len: 4 Check: 1 Weight: 1\n Name: b Len: 4 Check: 1 Weight: 1\n"),
                            false, msa, message), 1);
  EXPECT_EQ(Residues(msa), (std::vector<std::string>{"....", "...."}));
  ASSERT_EQ(LoadMsaForBatch(EditorData("blastp_18_alignments.txt"), false, msa, message), 1);
  EXPECT_TRUE(msa.SequenceCount() == 1 + 18 && msa.title == EditorData("blastp_18_alignments.txt"));
  // The window's loader speaks only when the data cannot be read.
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  EXPECT_TRUE(LoadMsfFile(nullptr, EditorData("emboss_opsd.msf"), "") != nullptr && platform.Messages().empty());
  std::string huge;
  for (int i = 0; i < 3000; ++i) huge += " Name: r" + std::to_string(i) + " Len: 999999 Check: 1 Weight: 1\n";
  EXPECT_EQ(LoadMsfFile(nullptr, dir.Write("huge.msf", huge + std::string(200000, ' ')), ""), nullptr);
  SetCurrentPlatform(nullptr);
  ASSERT_EQ(platform.Messages().size(), 1u);
  EXPECT_EQ(platform.Messages()[0].text, kMsgCannotReadMsf);
}

}  // namespace
