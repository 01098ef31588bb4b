// Values real reports print in forms the first readings lost, and the rules of single lines and numbers.
#include <cstring>

#include "results/blast_test_util.h"
#include "vistram/results/blast_reader.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/hca_score.h"
#include "vistram/results/report_kind.h"
#include "vistram/results/report_text.h"

using namespace blasttest;
using namespace blast_reader;

namespace {

std::unique_ptr<Loaded> ReadReal(const std::string& relative) {
  const std::string path = DataPath(relative);
  return Read(path, TestFichier(path));
}

using RealReports = PlatformTest;

TEST_F(RealReports, ExpectValuesAsPrinted) {
  // BLASTN 2.0.10: "Expect = e-146" with no comma after it; BLASTP 2.2.3: no mantissa; TBLASTN 2.2.18:
  // "Expect = e-102,   Method: ...": the comma is no part of it.
  const std::tuple<const char*, int, const char*, double> cases[] = {
      {"blast_legacy_text_ncbi/biopython_text_2010L_blastn_001.txt", 1, "E-146", 1e-146},
      {"blast_legacy_text_ncbi/biopython_text_2010L_blastn_001.txt", 2, "1.6", 1.6},
      {"blast_legacy_text_ncbi/biojava_ncbi_blastp_2.2.3.out", 9, "E-180", 1e-180},
      {"blast_legacy_text_ncbi/biojava_tblastn-2.2.18.txt", 1, "E-102", 1e-102}};
  for (const auto& [file, hit, text, value] : cases) {
    auto l = ReadReal(file);
    ASSERT_EQ(l->code, kBlastOk) << file;
    EXPECT_EQ(std::tie(l->hit(hit).expectText, l->ali(hit, 1).expect), std::make_tuple(std::string(text), value))
        << file;
  }
}

// The same printed number gives the same value in both readers, wherever it stands after "EXPECT =".
TEST(ReportNumbers, BlastAndFastaStatisticsAgree) {
  const std::pair<const char*, double> cases[] = {{"e-175", 1e-175}, {"E-06", 1e-6}, {"3e-48", 3e-48}, {"0.017", 0.017},
                                                  {"1.6", 1.6},      {"0.0", 0.0},   {"e+2", 100},     {"10", 10}};
  for (const auto& [printed, value] : cases) {
    SCOPED_TRACE(printed);
    EXPECT_DOUBLE_EQ(report_text::ReadReportNumber(printed), value);
    AliData blast, tight, classic, current;
    blast.statsText = std::string("SCORE = 99 BITS (50), EXPECT = ") + printed + " IDENTITIES = 5/6 (83%)";
    tight.statsText = std::string("SCORE =99 BITS (50), EXPECT =") + printed;
    classic.statsText = std::string(" initn: 9 init1: 9 opt: 9 z-score: 9.5 E(): ") + printed +
                        "\nsmith-waterman score: 9; 83.3% identity in 6 aa overlap";
    current.statsText = std::string(" initn: 9 init1: 9 opt: 9 z-score: 9.5 expect() ") + printed +
                        "\nsmith-waterman score: 9; 83.3% identity in 6 aa overlap";
    TransBlaStatData(blast);
    TransBlaStatData(tight);
    TransFasdata(classic);
    TransFasdata(current, true);
    EXPECT_EQ(std::tie(blast.expect, tight.expect, classic.expect, current.expect),
              std::tie(value, value, value, value));
    EXPECT_EQ(std::tie(blast.score, tight.score), std::make_tuple(99.0, 99.0));
  }
  for (const char* text : {"", "e", "e-", "-e5", "+-1", "?"})
    EXPECT_DOUBLE_EQ(report_text::ReadReportNumber(text), -1) << text;
}

TEST(ReportText, TagsAndEntities) {  // only whole entities of the three; cut to the buffer
  char out[500];
  report_text::StripTags("<b>A&gt;B</b> &AMP; C&lt; &amp &nbsp;", out, sizeof out);
  EXPECT_STREQ(out, "A>B & C< &amp &nbsp;");
  report_text::StripTags("<a href=\"u\">ID</a> desc", out, 6);
  EXPECT_STREQ(out, "ID de");
  EXPECT_EQ(report_text::TextOutsideTags("<A NAME=1></A> ID <B>DESC</B>", 0), " ID DESC");
}

// Every BLAST+ HTML version's hit heading: no hit without its identifier; the fourth query has the hits.
TEST_F(RealReports, BlastPlusHtmlAnchorsAndWrappedSubjects) {
  for (const char* version : {"2.2.25", "2.2.29", "2.2.31", "2.9.0"}) {
    SCOPED_TRACE(version);
    auto l =
        ReadReal(std::string("blast_html_blastplus/galaxy_blast_tblastn_four_human_vs_rhodopsin_") + version + ".html");
    ASSERT_EQ(l->code, kBlastOk);
    ASSERT_EQ(l->dp.extraSections.size(), 3u);
    const LoadedSection& rho = l->dp.extraSections[2];
    EXPECT_EQ(rho.header.queryName, "SP|P08100|OPSD_HUMAN");
    ASSERT_GE(rho.hits->size(), 2u);
    EXPECT_EQ((*rho.hits)[0]->identifier, "GI|57163782|REF|NM_001009242.1|");
    for (const HitList* list : {l->dp.hits.get(), rho.hits.get()})
      for (const auto& hit : *list)
        EXPECT_TRUE(!hit->identifier.empty() && hit->identifier.find(' ') == std::string::npos) << hit->identifier;
    if (std::string(version) == "2.9.0")  // "><a name=Subject_1></a> gi|...| Felis catus rhodopsin (RHO), ..."
      EXPECT_EQ((*rho.hits)[0]->description.rfind("FELIS CATUS RHODOPSIN (RHO), ", 0), 0u)
          << (*rho.hits)[0]->description;
  }
  // "Subject= gi|...| Acipenser baeri mRNA for immunoglobulin" wraps with no indent.
  auto t = ReadReal("blastplus_text/bioperl_bl2seq+.blastn");
  ASSERT_EQ(t->code, kBlastOk);
  EXPECT_EQ(t->hit(1).identifier, "GI|2695846|EMB|Y13255.1|");
  EXPECT_EQ(t->hit(1).description, "ACIPENSER BAERI MRNA FOR IMMUNOGLOBULIN HEAVY CHAIN, CLONE SCH 3.3");
}

TEST(BlastLineRules, Lengths) {
  // Query lengths: thousands separators are skipped only between digits.
  const std::pair<const char*, int> lengths[] = {{"(1,937 LETTERS)", 1937}, {"(19,337 LETTERS)", 19337},
                                                 {"(90 LETTERS)", 90},      {"(483 LETTERS; RECORD 9)", 483},
                                                 {"(1, LETTERS)", 1},       {"NONE", 0}};
  for (const auto& [line, length] : lengths) EXPECT_EQ(IntegerAfterLastParen(line), length) << line;
}

TEST(BlastLineRules, BlockLines) {
  const std::tuple<const char*, int, int, const char*, bool> cases[] = {
      {"Query  1   MKVLAA-GIV  9", 1, 9, "MKVLAA-GIV", false},
      {"Sbjct: 159 - 380", 159, 380, "", true},
      {"Query: 1 - 0", 1, 0, "", true},  // an empty range stays one
      {"Query: 5 - 9 more", 5, 9, "-", false},
      {"Query: 0 ACD", 0, 0, "ACD", false},
      {"Query: x", 0, 0, "", false},
  };
  for (const auto& [line, start, printedEnd, segment, rangeOnly] : cases) {
    const BlockLine b = ParseBlockLine(line, std::strlen(line));
    EXPECT_EQ(std::make_tuple(b.start, b.printedEnd,
                              std::string(b.segment == nullptr ? "" : b.segment, b.segmentLength), b.rangeOnly),
              std::make_tuple(start, printedEnd, std::string(segment), rangeOnly))
        << line;
  }
}

TEST(TestFichier, MarkerWordsInTheFirst20000BytesDecideTheKind) {
  blasttest::TempDir dir;
  const std::string fasta =
      "FASTA searches a protein or DNA sequence data bank\nThe best scores are: initn init1 opt z-sc E()\n";
  const std::pair<std::string, int> cases[] = {
      {"", kReportUnknown},
      {"blastp ... altschul", kReportBlastText},
      {"BLASTN 1.4 Gish, W.", kReportBlastText},
      {"Vistram saved results, Halver\n", kReportBlastText},  // needs neither BLAST nor ALTSCHUL
      {"<html>BLAST Altschul <a href=x>", kReportBlastHtml},
      {"<html>BLAST Altschul", kReportBlastText},     // HTML needs a link too
      {fasta + "BLAST by Gish\n", kReportBlastText},  // BLAST words win
      {fasta, kReportFastaText},
      {"<title>x</title><a href=y>" + fasta, kReportFastaHtml},
      {"FASTA searches at the /EBI/ service", kReportEbiFastaText},
      {"<TITLE>FASTA searches /ebi/ <A HREF=x>", kReportEbiFastaHtml},
      {"BLAST " + std::string(20000, ' ') + "ALTSCHUL", kReportUnknown},
      {"BLASTP Altschul\n" + std::string(30000, 'x') + fasta, kReportBlastText},
      {"BLASTN 2.2.26+\nReference: Zhang\nQuery= x\n\nLength=12\n", kReportBlastText},  // BLAST+ without the citation
  };
  for (const auto& [text, kind] : cases) EXPECT_EQ(TestFichier(dir.Write("r", text)), kind) << text.substr(0, 40);
  EXPECT_EQ(TestFichier(dir / "missing"), kReportUnreadable);
  const std::pair<const char*, int> real[] = {
      {"blastplus_text/biopython_text_2226_blastn_001.txt", kReportBlastText},
      {"blast_html_blastplus/galaxy_blast_tblastn_four_human_vs_rhodopsin_2.9.0.html", kReportBlastHtml},
      {"blastplus_text/biopython_text_21500_blastx_001.txt", kReportBlastText},
      {"blast_legacy_text_bl2seq/bioperl_bl2seq.out", kReportUnknown},
      {"../fasta/bioperl_issue255_ssearch.fasta", kReportFastaText},  // no "initn" in it
      {"../fasta/bioperl_5X_1895.FASTXY", kReportFastaText},          // classic, without the citation
  };
  for (const auto& [file, kind] : real) EXPECT_EQ(TestFichier(blasttest::DataPath(file)), kind) << file;
}

// Dice over gap-free columns of hydrophobic (upper-case) residues, the last never counted; -1 for unequal ranges.
TEST(CalculScoreHCA, DiceOverGapFreeColumnsOfTheRange) {
  // clang-format off
  const std::tuple<const char*, const char*, int, int, int, int, double> cases[] = {
      {"AAAV", "AAAV", 0, 3, 0, 3, 0.0}, {"VAAV", "VAAV", 0, 3, 0, 3, 100.0},
      {"VILFWMYA", "VILFWMYA", 0, 7, 0, 7, 100.0}, {"VVVV", "VAVA", 0, 3, 0, 3, 80.0},
      {"V-VA", "VLVA", 0, 3, 0, 3, 100.0}, {"VLVA", "V-AA", 0, 3, 0, 3, 100.0 * 2 / 3},
      {"vvvA", "VVVA", 0, 3, 0, 3, 0.0}, {"AAGGKK", "SSTTEE", 0, 5, 0, 5, 0.0},
      {"", "", 0, -1, 0, -1, 0.0}, {"VVV", "VVVV", 0, 2, 0, 3, -1.0},
      {"AVVVA", "VVVA", 1, 4, 0, 3, 100.0}, {"VV", "VV", 0, 10, 0, 10, 100.0},
      {"VLAW", "VAAWVVVV", 0, 6, 0, 6, 80.0}, {"VVVV", "VVVV", -1, 2, 0, 3, 0.0},
  };
  // clang-format on
  for (const auto& [a, b, s1, e1, s2, e2, score] : cases)
    EXPECT_DOUBLE_EQ(CalculScoreHCA(a, b, s1, e1, s2, e2), score) << a << " " << b << " " << s1;
  // Whole lines of 16-column blocks and a remainder.
  const std::string q = std::string(40, 'V') + "AAAAAAAAAA", s = std::string(20, 'V') + std::string(30, 'A');
  EXPECT_DOUBLE_EQ(AlignmentHcaScore(q, s), 100.0 * 2 * 20 / (40 + 20));
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("VVV", "VVVV"), -1.0);
}

}  // namespace
