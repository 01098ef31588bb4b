#include "vistram/results/report_kind.h"

#include <gtest/gtest.h>

#include "results/blast_test_util.h"

using blasttest::DataPath;
using blasttest::TempDir;

namespace {

const char* kFastaBody =
    "FASTA searches a protein or DNA sequence data bank\n"
    "The best scores are:                       initn init1 opt z-sc E()\n";

TEST(TestFichier, MarkerWordsDecideTheKind) {
  TempDir dir;
  EXPECT_EQ(TestFichier(dir.path() + "/missing"), kReportUnreadable);
  EXPECT_EQ(TestFichier(dir.Write("empty", "")), kReportUnknown);
  EXPECT_EQ(TestFichier(dir.Write("b", "blastp ... altschul")), kReportBlastText);
  EXPECT_EQ(TestFichier(dir.Write("g", "BLASTN 1.4 Gish, W.")), kReportBlastText);
  // Saved results need neither BLAST nor ALTSCHUL.
  EXPECT_EQ(TestFichier(dir.Write("v", "Vistram saved results, Halver\n")), kReportBlastText);
  // HTML needs both "<HTML>" and "<A HREF"; without a link it is read as text.
  EXPECT_EQ(TestFichier(dir.Write("h", "<html>BLAST Altschul <a href=x>")), kReportBlastHtml);
  EXPECT_EQ(TestFichier(dir.Write("h2", "<html>BLAST Altschul")), kReportBlastText);
  // BLAST words win over FASTA words.
  EXPECT_EQ(TestFichier(dir.Write("f1", std::string(kFastaBody) + "BLAST by Gish\n")), kReportBlastText);
  EXPECT_EQ(TestFichier(dir.Write("f2", kFastaBody)), kReportFastaText);
  EXPECT_EQ(TestFichier(dir.Write("f3", std::string("<title>x</title><a href=y>") + kFastaBody)), kReportFastaHtml);
  EXPECT_EQ(TestFichier(dir.Write("e", "FASTA searches at the /EBI/ service")), kReportEbiFastaText);
  EXPECT_EQ(TestFichier(dir.Write("e2", "<TITLE>FASTA searches /ebi/ <A HREF=x>")), kReportEbiFastaHtml);
  // Only the first 20,000 bytes count.
  EXPECT_EQ(TestFichier(dir.Write("late", "BLAST " + std::string(20000, ' ') + "ALTSCHUL")), kReportUnknown);
  // BLAST first, FASTA later: BLAST.
  EXPECT_EQ(TestFichier(dir.Write("mix", "BLASTP Altschul\n" + std::string(30000, 'x') + kFastaBody)),
            kReportBlastText);
}

TEST(TestFichier, BlastPlusReportsWithoutTheClassicCitation) {
  TempDir dir;
  EXPECT_EQ(TestFichier(dir.Write("p", "BLASTN 2.2.26+\nReference: Zhang\nQuery= x\n\nLength=12\n")), kReportBlastText);
  EXPECT_EQ(TestFichier(DataPath("blastplus_text/biopython_text_2226_blastn_001.txt")), kReportBlastText);
  EXPECT_EQ(TestFichier(DataPath("blast_html_blastplus/galaxy_blast_tblastn_four_human_vs_rhodopsin_2.9.0.html")),
            kReportBlastHtml);
  EXPECT_EQ(TestFichier(DataPath("blastplus_text/biopython_text_21500_blastx_001.txt")), kReportBlastText);
  // A classic report without the citation stays unrecognised.
  EXPECT_EQ(TestFichier(DataPath("blast_legacy_text_bl2seq/bioperl_bl2seq.out")), kReportUnknown);
}

}  // namespace
