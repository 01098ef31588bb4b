// MSF, FASTA and Clustal files exchanged with clustalw, EMBOSS seqret, BioPerl and Biopython, both ways.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "vistram/editor/msa_batch.h"

namespace {

// The MSA of a report, rows named ROW0, ROW1, ...
std::unique_ptr<DarUvaData> ReportMsa(const char* report = "blastp_18_alignments.txt", bool firstOnly = true) {
  auto msa = std::make_unique<DarUvaData>();
  if (std::string message; LoadMsaForBatch(EditorData(report), firstOnly, *msa, message) != 1) return nullptr;
  for (int r = 0; r < msa->SequenceCount(); ++r) msa->rows[static_cast<std::size_t>(r)]->name = "ROW" + std::to_string(r);
  return msa;
}

// What another tool should see: our rows, then the consensus, upper case.
Rows OurRows(const DarUvaData& msa, const std::string& consensusName) {
  Rows rows;
  for (const auto& r : msa.rows) rows.push_back({r->name, Upper(r->residues)});
  rows.push_back({consensusName, Upper(msa.consensus)});
  return rows;
}

std::string Ungapped(std::string s) { return std::erase_if(s, [](char c) { return c == '.' || c == '-' || c == '~'; }), s; }

TEST(MsfInterop, OurFilesReadInOurReaderSeqretClustalwAndBioPerl) {
  TempFolder dir;
  const std::string path = dir / "ours.msf";
  for (const char* report : {"blastp_18_alignments.txt", "bioperl_blast_plus.blastp"}) {
    for (bool firstOnly : {false, true}) {
      SCOPED_TRACE(std::string(report) + (firstOnly ? " first" : " all"));
      auto msa = ReportMsa(report, firstOnly);
      ASSERT_NE(msa, nullptr);
      ASSERT_EQ(SauveMSF(50, path, *msa, 0, 1, msa->columnCount - 1, true), 1);
      const Rows expected = OurRows(*msa, "ours");
      auto back = ReadMsf(path);
      ASSERT_TRUE(back != nullptr && back->columnCount == msa->columnCount);
      Rows ours;
      for (const auto& r : back->rows) ours.push_back({r->name == "OURS" ? "ours" : r->name, r->residues});
      EXPECT_EQ(ours, expected);
      int seqret = -1, clustalw = -1, bioperl = -1;
      EXPECT_EQ(SeqretRows(path, &seqret), expected);
      RunTool("cd '" + dir.path() + "' && clustalw -infile=ours.msf -convert -output=fasta -outfile=c.fasta >/dev/null 2>&1", &clustalw);
      EXPECT_EQ(FastaRows(test_support::ReadWholeFile(dir / "c.fasta")), expected);
      EXPECT_EQ(FastaRows(RunTool("perl " + EditorData("read_msf.pl") + " '" + path + "' 2>/dev/null", &bioperl)), expected);
      EXPECT_EQ(seqret + clustalw + bioperl, 0);
    }
  }
}

TEST(MsfInterop, FilesOfClustalwAndSeqretReadOursReadByBiopython) {
  auto msa = ReportMsa();
  ASSERT_NE(msa, nullptr);
  TempFolder dir;
  // Long names; ungapped for clustalw; plain for seqret (it keeps only the last part of "db|acc|name").
  std::string unaligned, aligned;
  for (int r = 1; r <= 4; ++r) {
    const std::string& residues = msa->rows[static_cast<std::size_t>(r)]->residues;
    unaligned += ">sp|P5654" + std::to_string(r) + "|CBBQ_CHRVI\n" + Ungapped(residues) + "\n";
    aligned += ">longrowname_" + std::to_string(r) + "\n" + residues + "\n";
  }
  dir.Write("in.fasta", unaligned);
  int status = -1;
  RunTool("cd '" + dir.path() + "' && clustalw -infile=in.fasta -output=gcg -outfile=c.msf >/dev/null 2>&1", &status);
  auto fromClustalw = ReadMsf(dir / "c.msf");
  ASSERT_TRUE(status == 0 && fromClustalw != nullptr && fromClustalw->SequenceCount() == 4);
  for (const auto& row : fromClustalw->rows) {  // in guide-tree order: matched by name
    const int r = row->name[8] - '0';
    ASSERT_TRUE(row->name.starts_with("SP|P5654") && r >= 1 && r <= 4) << row->name;
    EXPECT_EQ(Ungapped(row->residues), Ungapped(msa->rows[static_cast<std::size_t>(r)]->residues)) << row->name;
  }
  RunTool("seqret -sequence '" + dir.Write("aligned.fasta", aligned) + "' -osformat msf -outseq '" + (dir / "s.msf") +
              "' -auto 2>/dev/null", &status);
  auto fromSeqret = ReadMsf(dir / "s.msf");
  ASSERT_TRUE(status == 0 && fromSeqret != nullptr);
  const auto given = Residues(*msa);
  EXPECT_EQ(Residues(*fromSeqret), std::vector<std::string>(given.begin() + 1, given.begin() + 5));
  // Biopython reads our FASTA and Clustal exports; a repeated name is made unique in Clustal.
  msa->rows[1]->name = "WITH BLANKS (  1- 9) 1";
  msa->rows[2]->name = "ROW0";
  ASSERT_TRUE(SaveAlignedFasta(dir / "a.fasta", *msa, 0, msa->columnCount - 1, true) == 1 && SaveClustal(dir / "a.aln", *msa, 0, msa->columnCount - 1, true) == 1);
  const Rows rows = FastaRows(RunTool("/usr/bin/python3 '" + EditorData("read_alignments.py") + "' '" + (dir / "a.fasta") + "' '" + (dir / "a.aln") + "'", &status));
  const Rows expected = OurRows(*msa, "a");
  ASSERT_TRUE(status == 0 && rows.size() == 2 * expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(rows[i].second == expected[i].second && rows[i + expected.size()].second == expected[i].second) << expected[i].first;
  EXPECT_EQ(rows[1].first + " " + rows[expected.size() + 1].first + " " + rows[expected.size() + 2].first,
            "fasta:WITH clustal:WITHBLANKS(1-9)1 clustal:ROW0_2");
  const std::string fasta = test_support::ReadWholeFile(dir / "a.fasta");  // 60 residues a line
  const std::size_t second = fasta.find('\n') + 1;
  EXPECT_EQ(fasta.find('\n', second) - second, 60u);
}

}  // namespace
