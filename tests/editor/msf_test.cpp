// MSF files: the writer's exact bytes, the GCG checksum, the reader (with
// files written by other tools and by our own writer) and the exports.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "vistram/editor/msa_batch.h"
#include "vistram/editor/msf.h"

namespace {

std::unique_ptr<DarUvaData> TwoRows() {
  auto msa = MakeMsa({"ACDEFGHIKLMN", "AC..FGHIK.MW"});
  msa->consensus = "AC..FGHIK.M.";
  return msa;
}

TEST(MsfWriter, BytesOfASmallAlignment) {
  TempFolder dir;
  const std::string path = dir.File("small.msf");
  auto msa = TwoRows();
  ASSERT_EQ(SauveMSF(10, path, *msa, 0, 1, 11, false), 1);
  // Checksums 5761, 5411 and their total 1172 as Biopython's gcg() computes them.
  const std::string expected = " " + path +
                               "  MSF:   12  Type: P  PileUp-like from Vistram Check: 1172  ..\n"
                               "\n"
                               " Name: R1               Len:    12  Check:  5761  Weight:  1.00\n"
                               " Name: R2               Len:    12  Check:  5411  Weight:  1.00\n"
                               "\n"
                               "//\n"
                               "\n"
                               "            1       10  \n"
                               "R1          ACDEFGHIKL \n"
                               "R2          AC..FGHIK. \n"
                               "\n"
                               "            11      20  \n"
                               "R1          MN\n"
                               "R2          MW\n"
                               "\n";
  EXPECT_EQ(ReadWhole(path), expected);
}

TEST(MsfWriter, RulerBlocksRangeAndConsensusRow) {
  TempFolder dir;
  const std::string path = dir.File("ruler.msf");
  auto msa = MakeMsa({std::string(107, 'A')});
  msa->consensus = std::string(107, 'A');
  ASSERT_EQ(SauveMSF(50, path, *msa, 0, 1, 106, true), 1);
  std::istringstream in(ReadWhole(path));
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  // Header, blank, two name lines, blank, "//", blank, then blocks of ruler + 2 rows + blank.
  ASSERT_GE(lines.size(), 19u);
  EXPECT_EQ(lines[3], " Name: ruler            Len:   107  Check:   320  Weight:  1.00");
  const std::string ruler1 = lines[7], row1 = lines[8];
  EXPECT_EQ(row1.size(), 12u + 55u);  // five groups of ten residues, each with its blank
  EXPECT_EQ(ruler1.size(), 12u + 56u);
  EXPECT_EQ(ruler1.substr(12, 1), "1");
  EXPECT_EQ(ruler1.substr(64, 2), "50");   // its last digit above the block's last residue
  EXPECT_EQ(row1[65], 'A');
  EXPECT_EQ(lines[9].substr(0, 12), "ruler       ");
  EXPECT_EQ(lines[15], std::string(12, ' ') + "101" + std::string(48, ' ') + "150  ");
  EXPECT_EQ(lines[16], "R1          AAAAAAA");
  // A range and scale other than the whole: columns 3..40 numbered from 100.
  ASSERT_EQ(SauveMSF(50, path, *msa, 2, 100, 39, false), 1);
  const std::string text = ReadWhole(path);
  EXPECT_NE(text.find("MSF:   38"), std::string::npos);
  EXPECT_NE(text.find("            100"), std::string::npos);
  EXPECT_NE(text.find("149  \n"), std::string::npos);
  // Ranges outside the alignment are refused.
  EXPECT_EQ(SauveMSF(50, path, *msa, 0, 1, 107, false), 0);
  EXPECT_EQ(SauveMSF(50, path, *msa, 5, 1, 4, false), 0);
}

TEST(MsfWriter, UnwritableTargetFailsAndLeavesNothing) {
  TempFolder dir;
  auto msa = TwoRows();
  EXPECT_EQ(SauveMSF(50, dir.File("missing/folder/x.msf"), *msa, 0, 1, 11, true), 0);
  EXPECT_EQ(SaveAlignedFasta(dir.File("missing/x.fasta"), *msa, 0, 11, true), 0);
  EXPECT_EQ(SaveClustal(dir.File("missing/x.aln"), *msa, 0, 11, true), 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(MsfGcgChecksum, AgreesWithBiopython) {
  const std::vector<std::string> sequences = {"A", "AB", std::string(57, 'A') + "B", "AC..FGHIK.MW",
                                              std::string(300, 'W') + "...KLM" + std::string(1000, 'Y')};
  EXPECT_EQ(SEQGCGCHECKSUM("A", 0, 0), 65);
  EXPECT_EQ(SEQGCGCHECKSUM("AB", 0, 1), 197);
  EXPECT_EQ(SEQGCGCHECKSUM("XAB", 1, 2), 197);  // positions counted from the first written column
  EXPECT_EQ(SEQGCGCHECKSUM("AB", 0, 9), 197);   // nothing past the end
  std::string script = "from Bio.SeqUtils.CheckSum import gcg\n";
  for (const std::string& s : sequences) script += "print(gcg('" + s + "'))\n";
  TempFolder dir;
  WriteWhole(dir.File("sum.py"), script);
  int status = -1;
  std::istringstream out(RunTool("/usr/bin/python3 " + dir.File("sum.py"), &status));
  ASSERT_EQ(status, 0);
  for (const std::string& s : sequences) {
    int expected = -1;
    out >> expected;
    EXPECT_EQ(SEQGCGCHECKSUM(s, 0, static_cast<int>(s.size()) - 1), expected) << s.substr(0, 20);
  }
}

std::unique_ptr<DarUvaData> ReadText(const TempFolder& dir, const std::string& text) {
  const std::string path = dir.File("in.msf");
  WriteWhole(path, text);
  int rows = 0, columns = 0;
  if (!AnalyseMSFHeader(path, rows, columns)) return nullptr;
  return ReadMSFforSeq(path, rows, columns, "");
}

TEST(MsfReader, RulesOfTheDataLines) {
  TempFolder dir;
  const std::string header =
      " x.msf  MSF: 12  Type: P  Check: 1  ..\n\n"
      " Name: sp|P56540|CBBQ_CHRVI  Len:   12  Check: 1  Weight: 1.00\n"
      " name: row2       LEN:   10  check: 1  weight: 1.00\n"
      " Name: row2       Len:   12  Check: 1  Weight: 1.00\n"
      " Name: short      Len:   12  Check: 1  Weight: 1.00\n\n//\n\n";
  const std::string data =
      "            1         12\r\n"
      "sp|P56540|CBBQ_CHRVI ~~AC-DEF~~ 12\r\n"  // a long name, '~' and '-' gaps, digits skipped
      "row2       ACDEFGHIKLMNPQ\r\n"           // longer than the column count: cut
      "short      a.c d.e\r\n"
      "short      fgh\r\n"
      "unknown    WWWW\r\n"
      "x\r\n";
  auto msa = ReadText(dir, header + data);
  ASSERT_NE(msa, nullptr);
  ASSERT_EQ(msa->SequenceCount(), 4);
  EXPECT_EQ(msa->columnCount, 12);
  EXPECT_EQ(msa->rows[0]->name, "SP|P56540|CBBQ_CHRVI");
  EXPECT_EQ(msa->rows[0]->residues, "..AC.DEF....");
  EXPECT_EQ(msa->rows[1]->residues, "ACDEFGHIKLMN");
  EXPECT_EQ(msa->rows[2]->residues, std::string(12, '.'));  // the same name: every line went to the first
  EXPECT_EQ(msa->rows[3]->name, "SHORT");
  EXPECT_EQ(msa->rows[3]->residues, "A.CD.EFGH...");
  EXPECT_EQ(msa->title, "");
  EXPECT_EQ(msa->consensusThreshold, 2);
  EXPECT_TRUE(msa->useBackground);
  EXPECT_EQ(msa->h, -2);
}

TEST(MsfReader, FilesThatAreNotMsfOrCannotBeRead) {
  TempFolder dir;
  int rows = 7, columns = 7;
  EXPECT_FALSE(AnalyseMSFHeader(dir.File("none.msf"), rows, columns));
  WriteWhole(dir.File("plain.txt"), ">seq\nACDE\nName: x Len: 4 Check: 1\n");
  EXPECT_FALSE(AnalyseMSFHeader(dir.File("plain.txt"), rows, columns));
  EXPECT_EQ(rows, 0);
  // More name lines before "//" than counted is a read failure.
  WriteWhole(dir.File("two.msf"), " Name: a Len: 4 Check: 1 Weight: 1\n Name: b Len: 4 Check: 1 Weight: 1\n//\n");
  EXPECT_EQ(ReadMSFforSeq(dir.File("two.msf"), 1, 4, ""), nullptr);
  EXPECT_EQ(ReadMSFforSeq(dir.File("gone.msf"), 1, 4, ""), nullptr);
  // A length the file cannot hold is cut to the file's size instead of
  // taking all memory; a record too large for any file is refused.
  const std::string huge = " Name: a Len: 99999999999 Check: 1 Weight: 1\n//\na  ACDE\n";
  WriteWhole(dir.File("huge.msf"), huge);
  ASSERT_TRUE(AnalyseMSFHeader(dir.File("huge.msf"), rows, columns));
  auto cut = ReadMSFforSeq(dir.File("huge.msf"), rows, columns, "");
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(cut->columnCount, static_cast<int>(huge.size()));
  EXPECT_EQ(cut->rows[0]->residues.substr(0, 5), "ACDE.");
  std::string many;
  for (int i = 0; i < 3000; ++i) many += " Name: r" + std::to_string(i) + " Len: 999999 Check: 1 Weight: 1\n";
  WriteWhole(dir.File("many.msf"), many + std::string(200000, ' '));
  ASSERT_TRUE(AnalyseMSFHeader(dir.File("many.msf"), rows, columns));
  EXPECT_EQ(ReadMSFforSeq(dir.File("many.msf"), rows, columns, ""), nullptr);
}

// Every MSF file of the corpus reads as EMBOSS seqret reads it.
TEST(MsfReader, CorpusFilesReadAsSeqretReadsThem) {
  const char* files[] = {"biojava_msfExamp.msf",  "bioperl_cysprot.msf",    "bioperl_cysprot1b.msf",
                         "bioperl_testaln.msf",   "biopython_W_prot.msf",   "bioruby_pileup-aa.msf",
                         "emboss_dna.msf",        "emboss_dna.msf8",        "emboss_hmm_globins50.msf",
                         "emboss_opsd.msf"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    const std::string path = EditorData(name);
    int rows = 0, columns = 0;
    ASSERT_TRUE(AnalyseMSFHeader(path, rows, columns));
    auto msa = ReadMSFforSeq(path, rows, columns, "");
    ASSERT_NE(msa, nullptr);
    int status = -1;
    const auto expected =
        FastaRows(RunTool("seqret -sequence 'msf::" + path + "' -osformat fasta -outseq stdout -auto 2>/dev/null", &status));
    ASSERT_EQ(status, 0);
    ASSERT_EQ(static_cast<int>(expected.size()), msa->SequenceCount());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      std::string name = expected[i].first, residues = expected[i].second;
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      residues.resize(static_cast<std::size_t>(msa->columnCount), '.');
      EXPECT_EQ(msa->rows[i]->name, name.substr(0, 49));
      EXPECT_EQ(msa->rows[i]->residues, residues) << name;
    }
  }
}

// Every MSF our writer makes from the test reports reads back as written.
TEST(MsfReader, OwnFilesReadBackExactly) {
  TempFolder dir;
  for (const char* report : {"blastp_18_alignments.txt", "bioperl_blast_plus.blastp"}) {
    for (bool firstOnly : {false, true}) {
      SCOPED_TRACE(report);
      DarUvaData msa;
      std::string message;
      ASSERT_EQ(LoadMsaForBatch(EditorData(report), firstOnly, msa, message), 1) << message;
      // Names of the report's rows repeat in their first ten characters; each
      // row gets one of its own (rows of a repeated name are the reader's
      // case above).
      for (int r = 0; r < msa.SequenceCount(); ++r) msa.rows[static_cast<std::size_t>(r)]->name = "ROW" + std::to_string(r);
      const std::string path = dir.File("own.msf");
      ASSERT_EQ(SauveMSF(50, path, msa, 0, 1, msa.columnCount - 1, true), 1);
      int rows = 0, columns = 0;
      ASSERT_TRUE(AnalyseMSFHeader(path, rows, columns));
      auto back = ReadMSFforSeq(path, rows, columns, "");
      ASSERT_NE(back, nullptr);
      ASSERT_EQ(back->SequenceCount(), msa.SequenceCount() + 1);
      EXPECT_EQ(back->columnCount, msa.columnCount);
      for (int r = 0; r < msa.SequenceCount(); ++r) {
        std::string residues = msa.rows[static_cast<std::size_t>(r)]->residues;
        for (char& c : residues) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(back->rows[static_cast<std::size_t>(r)]->residues, residues) << r;
      }
      EXPECT_EQ(back->rows.back()->name, "OWN");
      EXPECT_EQ(back->rows.back()->residues, msa.consensus);
    }
  }
}

TEST(MsfFormats, ChosenFromTheExtension) {
  const std::pair<const char*, MsaFileFormat> cases[] = {
      {"/a/b.MSF", MsaFileFormat::kMsf},      {"b.fa", MsaFileFormat::kFasta},    {"b.fasta", MsaFileFormat::kFasta},
      {"b.aln", MsaFileFormat::kClustal},     {"b.txt", MsaFileFormat::kUnknown}, {"dir.msf/b", MsaFileFormat::kUnknown}};
  for (const auto& [path, format] : cases) EXPECT_EQ(MsaFormatFromPath(path), format) << path;
}

}  // namespace
