// MSF, aligned FASTA and Clustal files exchanged with other tools: files
// those tools write at test time read with the residues they were given,
// and files we write read in those tools with our residues.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "vistram/editor/msa_batch.h"
#include "vistram/editor/msf.h"

namespace {

// The MSA of the test report's first alignments, rows named ROW0, ROW1, ...
std::unique_ptr<DarUvaData> ReportMsa() {
  auto msa = std::make_unique<DarUvaData>();
  std::string message;
  if (LoadMsaForBatch(EditorData("blastp_18_alignments.txt"), true, *msa, message) != 1) return nullptr;
  for (int r = 0; r < msa->SequenceCount(); ++r) msa->rows[static_cast<std::size_t>(r)]->name = "ROW" + std::to_string(r);
  return msa;
}

// The rows we expect another tool to see: our rows, then the consensus.
std::vector<std::pair<std::string, std::string>> OurRows(const DarUvaData& msa, const std::string& consensusName) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& r : msa.rows) rows.push_back({r->name, r->residues});
  rows.push_back({consensusName, msa.consensus});
  for (auto& [name, residues] : rows)
    for (char& c : residues) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return rows;
}

std::unique_ptr<DarUvaData> ReadMsf(const std::string& path) {
  int rows = 0, columns = 0;
  if (!AnalyseMSFHeader(path, rows, columns)) return nullptr;
  return ReadMSFforSeq(path, rows, columns, "");
}

// "name<TAB>residues" lines into rows (gaps as '.', upper case).
std::vector<std::pair<std::string, std::string>> TabRows(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    std::string residues = line.substr(tab + 1);
    for (char& c : residues) {
      if (c == '-' || c == '~') c = '.';
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    rows.push_back({line.substr(0, tab), residues});
  }
  return rows;
}

std::string Ungapped(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '.' && c != '-' && c != '~') out += c;
  return out;
}

TEST(MsfInterop, OurFileReadsInSeqretClustalwAndBioPerl) {
  auto msa = ReportMsa();
  ASSERT_NE(msa, nullptr);
  TempFolder dir;
  const std::string path = dir.File("ours.msf");
  ASSERT_EQ(SauveMSF(50, path, *msa, 0, 1, msa->columnCount - 1, true), 1);
  const auto expected = OurRows(*msa, "ours");
  int status = -1;
  const auto seqret =
      FastaRows(RunTool("seqret -sequence 'msf::" + path + "' -osformat fasta -outseq stdout -auto 2>/dev/null", &status));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(seqret, expected);
  RunTool("cd '" + dir.Path() + "' && clustalw -infile=ours.msf -convert -output=fasta -outfile=clustalw.fasta >/dev/null 2>&1",
          &status);
  EXPECT_EQ(status, 0);
  const auto clustalw = FastaRows(ReadWhole(dir.File("clustalw.fasta")));
  ASSERT_EQ(clustalw.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(clustalw[i].second, expected[i].second) << i;
  const std::string perl =
      "perl -MBio::AlignIO -e '$in = Bio::AlignIO->new(-file => $ARGV[0], -format => \"msf\");"
      " while ($a = $in->next_aln) { for $s ($a->each_seq) { print $s->id, \"\\t\", $s->seq, \"\\n\" } }' '" +
      path + "' 2>/dev/null";
  EXPECT_EQ(TabRows(RunTool(perl, &status)), expected);
  EXPECT_EQ(status, 0);
}

TEST(MsfInterop, FilesOfClustalwAndSeqretReadWithTheirResidues) {
  auto msa = ReportMsa();
  ASSERT_NE(msa, nullptr);
  TempFolder dir;
  // Long names (past position 11) and the rows' residues, ungapped for clustalw.
  std::string unaligned, aligned;
  std::vector<std::string> given;
  for (int r = 1; r <= 4; ++r) {
    const std::string name = "sp|P5654" + std::to_string(r) + "|CBBQ_CHRVI";
    const std::string& residues = msa->rows[static_cast<std::size_t>(r)]->residues;
    unaligned += ">" + name + "\n" + Ungapped(residues) + "\n";
    std::string gapped = residues;
    for (char& c : gapped)
      if (c == '.') c = '-';
    // seqret keeps a plain long name (it takes the last part of a "db|acc|name" one).
    aligned += ">longrowname_" + std::to_string(r) + "\n" + gapped + "\n";
    given.push_back(residues);
  }
  WriteWhole(dir.File("in.fasta"), unaligned);
  WriteWhole(dir.File("aligned.fasta"), aligned);
  int status = -1;
  RunTool("cd '" + dir.Path() + "' && clustalw -infile=in.fasta -output=gcg -outfile=clustalw.msf >/dev/null 2>&1", &status);
  ASSERT_EQ(status, 0);
  auto fromClustalw = ReadMsf(dir.File("clustalw.msf"));
  ASSERT_NE(fromClustalw, nullptr);
  ASSERT_EQ(fromClustalw->SequenceCount(), 4);
  // clustalw orders its output by the guide tree: match the rows by name.
  for (const auto& row : fromClustalw->rows) {
    ASSERT_EQ(row->name.substr(0, 8), "SP|P5654");
    const int r = row->name[8] - '0';
    ASSERT_GE(r, 1);
    ASSERT_LE(r, 4);
    EXPECT_EQ(Ungapped(row->residues), Ungapped(given[static_cast<std::size_t>(r - 1)])) << row->name;
  }
  RunTool("seqret -sequence '" + dir.File("aligned.fasta") + "' -osformat msf -outseq '" + dir.File("seqret.msf") +
              "' -auto 2>/dev/null",
          &status);
  ASSERT_EQ(status, 0);
  auto fromSeqret = ReadMsf(dir.File("seqret.msf"));
  ASSERT_NE(fromSeqret, nullptr);
  ASSERT_EQ(fromSeqret->SequenceCount(), 4);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(fromSeqret->rows[i]->residues, given[i]) << i;
}

TEST(MsaExportInterop, BiopythonReadsTheFastaAndClustalExports) {
  auto msa = ReportMsa();
  ASSERT_NE(msa, nullptr);
  msa->rows[1]->name = "WITH BLANKS (  1- 9) 1";
  msa->rows[2]->name = "ROW0";  // a repeated name is made unique in Clustal
  TempFolder dir;
  ASSERT_EQ(SaveAlignedFasta(dir.File("a.fasta"), *msa, 0, msa->columnCount - 1, true), 1);
  ASSERT_EQ(SaveClustal(dir.File("a.aln"), *msa, 0, msa->columnCount - 1, true), 1);
  WriteWhole(dir.File("read.py"),
             "import sys\nfrom Bio import AlignIO\n"
             "for fmt, path in (('fasta', sys.argv[1]), ('clustal', sys.argv[2])):\n"
             "    for rec in AlignIO.read(path, fmt):\n"
             "        print(fmt + ' ' + rec.id + '\\t' + str(rec.seq))\n");
  int status = -1;
  const auto rows =
      TabRows(RunTool("/usr/bin/python3 '" + dir.File("read.py") + "' '" + dir.File("a.fasta") + "' '" + dir.File("a.aln") + "'", &status));
  ASSERT_EQ(status, 0);
  const auto expected = OurRows(*msa, "a");
  ASSERT_EQ(rows.size(), 2 * expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rows[i].second, expected[i].second);
    EXPECT_EQ(rows[i + expected.size()].second, expected[i].second);
  }
  EXPECT_EQ(rows[1].first, "fasta WITH");
  // 60 residues a line in the FASTA export.
  std::istringstream fasta(ReadWhole(dir.File("a.fasta")));
  std::string header, line;
  std::getline(fasta, header);
  std::getline(fasta, line);
  EXPECT_EQ(line.size(), 60u);
  EXPECT_EQ(rows[expected.size() + 1].first, "clustal WITHBLANKS(1-9)1");
  EXPECT_EQ(rows[expected.size() + 2].first, "clustal ROW0_2");
}

}  // namespace
