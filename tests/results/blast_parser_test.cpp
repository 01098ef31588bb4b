#include "vistram/results/blast_parser.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "results/blast_test_util.h"
#include "vistram/platform/recording_platform.h"

using blasttest::DataPath;
using blasttest::Read;
using blasttest::TempDir;

namespace {

const char* kHead =
    "BLASTP 2.0.10 [Aug-26-1999]\n\n"
    "Reference: Altschul, Stephen F., Thomas L. Madden.\n\n"
    "Query= MYQUERY a test protein\n"
    "         (120 letters)\n\n"
    "Database: swissprot\n"
    "           80,000 sequences; 29,000,000 total letters\n\n"
    "Sequences producing significant alignments:\n\n";

const char* kHitOne =
    ">SP|P1|ABC_HUMAN Protein one\n"
    "            continued description\n"
    "          Length = 350\n\n"
    " Score =  196 bits (498), Expect = 2e-50\n"
    " Identities = 26/81 (32%), Positives = 40/81 (49%), Gaps = 2/81 (2%)\n\n"
    "Query: 1   MKV-LAAGIVGL 11\n"
    "           MK  l  GIVG+\n"
    "Sbjct: 5   mkaaLTTGIVGM 16\n\n"
    "Query: 12  WWYY 15\n"
    "           WW\n"
    "Sbjct: 17  WWAA 20\n\n"
    " Score = 38.5 bits (88), Expect = 0.013\n"
    " Identities = 4/4 (100%), Positives = 4/4 (100%)\n\n"
    "Query: 40  VILF 43\n"
    "           VILF\n"
    "Sbjct: 90  VILF 93\n\n";

const char* kHitTwo =
    ">SP|P2|XYZ_MOUSE Protein two\n"
    "          Length = 99\n\n"
    " Score = 50.1 bits (118), Expect(2) = 1e-10\n"
    " Identities = 10/10 (100%)\n\n"
    "Query: 3   AAAAVVVVVA 12\n"
    "           AAAAVVVVVA\n"
    "Sbjct: 1   AAAAVVVVVA 10\n\n";

const char* kTail =
    "  Database: swissprot\n"
    "    Posted date:  Sep 3, 2001  2:17 PM\n"
    "Lambda     K      H\n";

class BlastParserTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  RecordingPlatform platform_;
  TempDir dir_;
};

TEST_F(BlastParserTest, ClassicReportFillsHeaderHitsAndAlignments) {
  auto r = Read(dir_.Write("a.bla", std::string(kHead) + kHitOne + kHitTwo + kTail));
  ASSERT_EQ(r->code, kBlastOk);
  const DataProgram& dp = r->dp;
  EXPECT_EQ(dp.header.queryName, "MYQUERY");
  EXPECT_EQ(dp.header.queryLength, 120);
  EXPECT_EQ(dp.header.queryLengthText, "(120 letters)");
  EXPECT_EQ(dp.header.databaseText, " SWISSPROT|80,000 sequences; 29,000,000 total letters");
  EXPECT_EQ(dp.header.isHtml, 0);
  EXPECT_EQ(dp.header.resultType, kResultBlast2);  // the first alignment of hit 1 is gapped
  EXPECT_EQ(dp.hitCount, 2u);
  EXPECT_EQ(dp.viewHitCount, 2);
  EXPECT_EQ(dp.alignmentCount, 3);
  EXPECT_TRUE(dp.extraSections.empty());

  const HspData& h1 = r->hit(1);
  EXPECT_EQ(h1.number, 1);
  EXPECT_EQ(h1.identifier, "SP|P1|ABC_HUMAN");
  // The continuation line keeps one blank at the join.
  EXPECT_EQ(h1.description, "PROTEIN ONE CONTINUED DESCRIPTION");
  EXPECT_EQ(h1.lengthText, "350");
  EXPECT_EQ(h1.scoreText, "196");    // from the first alignment only
  EXPECT_EQ(h1.expectText, "2E-50");
  EXPECT_EQ(h1.alignmentCount, 2);
  ASSERT_EQ(h1.selected.size(), 2u);
  EXPECT_EQ(h1.selected[0] + h1.selected[1], 0);

  const AliData& a = r->ali(1, 1);
  EXPECT_EQ(a.queryLine, "MKV-LAAGIVGLWWYY");
  EXPECT_EQ(a.subjectLine, "MKAALTTGIVGMWWAA");
  EXPECT_EQ(a.middleLine, "MK  l  GIVG+WW  ");  // case kept, padded to the segment
  EXPECT_EQ(a.queryStart, 1);
  EXPECT_EQ(a.queryEnd, 15);
  EXPECT_EQ(a.subjectStart, 5);
  EXPECT_EQ(a.subjectEnd, 20);
  EXPECT_EQ(a.gapped, 1);
  EXPECT_EQ(a.statsText,
            "SCORE =  196 BITS (498), EXPECT = 2E-50 IDENTITIES = 26/81 (32%), POSITIVES = 40/81 (49%), GAPS = "
            "2/81 (2%)");
  EXPECT_DOUBLE_EQ(a.score, 196);
  EXPECT_DOUBLE_EQ(a.expect, 2e-50);
  EXPECT_DOUBLE_EQ(a.identityPercent, 32);
  EXPECT_DOUBLE_EQ(a.alignmentLength, 81);
  EXPECT_DOUBLE_EQ(a.positivePercent, 49);
  EXPECT_DOUBLE_EQ(a.pValue, -1.0);
  EXPECT_DOUBLE_EQ(a.initn, -1.0);

  const AliData& b = r->ali(1, 2);
  EXPECT_EQ(b.queryLine, "VILF");
  EXPECT_EQ(b.queryStart, 40);
  EXPECT_EQ(b.queryEnd, 43);
  EXPECT_EQ(b.gapped, 0);
  EXPECT_DOUBLE_EQ(b.score, 38.5);
  EXPECT_DOUBLE_EQ(b.hcaScore, 100.0);  // V, I, L coincide; the last column does not count

  // Expect(2): the expect double stays unknown, the text keeps the value.
  const HspData& h2 = r->hit(2);
  EXPECT_EQ(h2.expectText, "1E-10");
  EXPECT_DOUBLE_EQ(r->ali(2, 1).expect, -1.0);
  EXPECT_EQ(h2.number, 2);
}

TEST_F(BlastParserTest, ResultCodesOfIncompleteReports) {
  const std::string full = std::string(kHead) + kHitOne + kTail;
  EXPECT_EQ(Read(dir_.path() + "/missing.bla")->code, kBlastCannotOpen);
  EXPECT_EQ(Read(dir_.Write("k.bla", full), 7)->code, kBlastFailed);
  EXPECT_EQ(Read(dir_.Write("q.bla", "BLASTP\nnothing here\n"))->code, kBlastNoQuery);
  EXPECT_EQ(Read(dir_.Write("l.bla", "Query= X\n  no length\nDatabase: db\n"))->code, kBlastNoLetters);
  EXPECT_EQ(Read(dir_.Write("d.bla", "Query= X\n   (12 letters)\n"))->code, kBlastNoDatabase);
  // All hits read, but no end marker: the report is incomplete.
  auto noEnd = Read(dir_.Write("e.bla", std::string(kHead) + kHitOne));
  EXPECT_EQ(noEnd->code, kBlastFailed);
  EXPECT_EQ(noEnd->dp.hitCount, 1u);
  // The file ends right after a score line, and inside a block.
  EXPECT_EQ(Read(dir_.Write("s.bla", std::string(kHead) + ">X d\n Length = 5\n Score = 1 bits (2), Expect = 1\n"))->code,
            kBlastEndInAlignment);
  EXPECT_EQ(Read(dir_.Write("b.bla", std::string(kHead) + ">X d\n Length = 5\n Score = 1 bits (2), Expect = 1\n"
                                                          " Identities = 1/1 (100%)\nQuery: 1 A 1\n   A\n"))
                ->code,
            kBlastEndInAlignment);
  // An end marker without any hit: an empty, successful read.
  auto empty = Read(dir_.Write("n.bla", std::string(kHead) + " ***** No hits found ******\n" + kTail));
  EXPECT_EQ(empty->code, kBlastOk);
  EXPECT_EQ(empty->dp.hitCount, 0u);
  EXPECT_EQ(empty->dp.header.resultType, kResultBlast);
}

TEST_F(BlastParserTest, LineRulesAtTheirLimits) {
  const std::string body =
      ">HIT1 first\n Length = 10\n\n"
      "   Score = 5 bits (1), Expect = 1\n"  // three blanks: not a score line
      "  Score = 7 bits (2), Expect = 0.5, P = 1.5e-3\n"
      " Identities = 3/3 (100%)\n"
      "Query: 1 ABCDEF 6\n"
      "         AB+DEFGHIJ\n"  // longer than the segment: cut
      "Sbjct: 1 ABCDEF 6\n"
      "  Score = 9 bits (2), Expect = 0.5, Sum P(2) = 0.003\n"
      " Identities = 3/3 (100%)\n"
      "Query: 1 ABCDEF 6\n"
      "         AB\n"  // shorter: padded with blanks
      "Sbjct: 1 ABCDEF 6\n";
  auto r = Read(dir_.Write("r.bla", std::string(kHead) + body + kTail));
  ASSERT_EQ(r->code, kBlastOk);
  ASSERT_EQ(r->hit(1).alignments.size(), 2u);
  EXPECT_EQ(r->hit(1).scoreText, "7");
  EXPECT_EQ(r->hit(1).expectText, "1.5E-3");  // a third '=' wins
  EXPECT_DOUBLE_EQ(r->ali(1, 1).pValue, 1.5e-3);
  EXPECT_DOUBLE_EQ(r->ali(1, 1).expect, 0.5);
  EXPECT_EQ(r->ali(1, 1).middleLine, "AB+DEF");
  EXPECT_EQ(r->ali(1, 2).middleLine, "AB    ");
  EXPECT_DOUBLE_EQ(r->ali(1, 2).pValue, 0.003);
}

TEST_F(BlastParserTest, LongTextsAreCutToTheirWidths) {
  const std::string id(60, 'I');
  const std::string desc(800, 'd');
  const std::string body = ">" + id + " " + desc + "\n Length = 1234567\n Score = 123456789 bits (1), Expect = "
                           "1234567890123\n Identities = 1/1 (100%)\nQuery: 1 A 1\n A\nSbjct: 1 A 1\n";
  auto r = Read(dir_.Write("w.bla", std::string(kHead) + body + kTail));
  ASSERT_EQ(r->code, kBlastOk);
  EXPECT_EQ(r->hit(1).identifier, std::string(39, 'I'));
  // The line itself was cut at 499 characters by the line reader.
  EXPECT_LE(r->hit(1).description.size(), 499u);
  EXPECT_EQ(r->hit(1).description.substr(0, 3), "DDD");
  EXPECT_EQ(r->hit(1).lengthText, "12345");
  EXPECT_EQ(r->hit(1).scoreText, "1234567");
  EXPECT_EQ(r->hit(1).expectText, "123456789");
}

TEST_F(BlastParserTest, HtmlHeadersGiveIdentifierDescriptionAndUrl) {
  const std::string head =
      "<HTML><PRE>BLASTP 2.0 Altschul\n<b>Query=</b> QNAME\n   (50 letters)\n<b>Database:</b> nr\n  1 seq\n";
  const std::string body =
      "<a name = 123></a><a href=\"/cgi-bin/Entrez/query?uid=123\">gi|123|sp|P1</a> Some protein\n"
      "          Length = 77\n"
      " Score = 10 bits (5), Expect = 2.0\n Identities = 1/1 (100%)\n"
      "Query: 1 A 1\n         A\nSbjct: 1 A 1\n"
      ">sp|P2 <a href=\"/cgi-bin/get-sprot-entry?P2\">P2</a> Other protein\n"
      "          Length = 88\n"
      " Score = 9 bits (5), Expect = 3.0\n Identities = 1/1 (100%)\n"
      "Query: 1 A 1\n         A\nSbjct: 1 A 1\n</PRE></HTML>\n";
  auto r = Read(dir_.Write("h.html", head + body), 4);
  ASSERT_EQ(r->code, kBlastOk);
  EXPECT_EQ(r->dp.header.isHtml, 1);
  EXPECT_EQ(r->dp.header.queryName, "QNAME");
  EXPECT_EQ(r->dp.header.databaseText, " NR|1 seq");
  EXPECT_EQ(r->hit(1).identifier, "GI|123|SP|P1");
  EXPECT_EQ(r->hit(1).description, " SOME PROTEIN");
  EXPECT_EQ(r->hit(1).url, std::string(kNcbiBaseUrl) + "/cgi-bin/Entrez/query?uid=123");
  EXPECT_EQ(r->hit(2).identifier, "SP|P2");
  EXPECT_EQ(r->hit(2).url, std::string(kExpasyBaseUrl) + "/cgi-bin/get-sprot-entry?P2");
}

TEST_F(BlastParserTest, TransfertDataKeepsPrintedEndsThatDifferFromTheLetterCount) {
  AliData ali;
  // A minus-strand subject counts down; a translated query counts codons.
  ASSERT_EQ(TransfertData(ali, "acgt-acgt", "|||| ||||", "ACGTAACGTTT", 100, 1000, 126, 992), 1);
  EXPECT_EQ(ali.queryLine, "ACGT-ACGT");
  EXPECT_EQ(ali.subjectLine, "ACGTAACGT");  // cut to the query text's length
  EXPECT_EQ(ali.queryEnd, 126);
  EXPECT_EQ(ali.subjectEnd, 992);
  EXPECT_EQ(ali.gapped, 1);
  // Printed ends that agree, or none, leave the counted ends.
  ASSERT_EQ(TransfertData(ali, "MKV*LA", "MK LA", "MKVALA", 10, 20, 14, 0), 1);
  EXPECT_EQ(ali.queryEnd, 14);
  EXPECT_EQ(ali.subjectEnd, 25);
  EXPECT_EQ(ali.middleLine, "MK LA");
}

TEST_F(BlastParserTest, ViewerRecordNumbersResiduesAndFormatsStatistics) {
  auto r = Read(dir_.Write("v.bla", std::string(kHead) + kHitOne + kTail));
  ASSERT_EQ(r->code, kBlastOk);
  auto v = LitUnAlignHsp(nullptr, 1, 1, r->dp);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->alignedLength, 16);
  EXPECT_EQ(v->queryResidueNumbers[0], 1);
  EXPECT_EQ(v->queryResidueNumbers[3], 0);  // the gap column
  EXPECT_EQ(v->queryResidueNumbers[4], 4);
  EXPECT_EQ(v->subjectResidueNumbers[4], 9);
  EXPECT_EQ(v->queryTextColours.size(), 16u);
  EXPECT_NE(v->statsText.find("2E-50\nIDENTITIES"), std::string::npos);
  EXPECT_NE(v->statsText.find(", HCA = "), std::string::npos);
  EXPECT_EQ(v->statsText.back(), '.');
  EXPECT_FALSE(LitUnAlignHsp(nullptr, 1, 3, r->dp));
  EXPECT_FALSE(LitUnAlignHsp(nullptr, 2, 1, r->dp));
}

TEST_F(BlastParserTest, BlastPlusTextReadsLikeTheClassicLayout) {
  const std::string report =
      "BLASTP 2.2.26+\n\nReference: Altschul et al.\n\nDatabase: swissprot\n  5 sequences; 100 total letters\n\n"
      "Query= QP1 first query\n\nLength=200\n\n"
      "> sp|P11|AAA_HUMAN Alpha protein\nLength=300\n\n"
      " Score = 123 bits (310),  Expect = 1e-30, Method: Compositional matrix adjust.\n"
      " Identities = 50/100 (50%), Positives = 60/100 (60%), Gaps = 0/100 (0%)\n\n"
      "Query  1    MKVLAA  6\n            MKVLAA\nSbjct  11   MKVLAA  16\n\n"
      "Lambda  K  H\nEffective search space used: 100\n\n\n"
      "Query= QP2\n\nLength=90\n\n"
      ">sp|P22|BBB_MOUSE Beta\nLength=80\n\n"
      " Score = 50 bits (100),  Expect = 0.002\n Identities = 5/6 (83%)\n Strand=Plus/Minus\n\n"
      "Query  1   ACGTAC  6\n            ||||||\nSbjct  80  ACGTAC  75\n\n"
      "  Database: swissprot\n    Posted date:  Nov 6, 2023\n";
  auto r = Read(dir_.Write("p.txt", report));
  ASSERT_EQ(r->code, kBlastOk);
  EXPECT_EQ(r->dp.header.queryName, "QP1");
  EXPECT_EQ(r->dp.header.queryLength, 200);
  EXPECT_EQ(r->dp.header.databaseText, " SWISSPROT|5 sequences; 100 total letters");
  ASSERT_EQ(r->dp.hitCount, 1u);
  EXPECT_EQ(r->hit(1).identifier, "SP|P11|AAA_HUMAN");
  EXPECT_EQ(r->hit(1).description, "ALPHA PROTEIN");
  EXPECT_EQ(r->hit(1).lengthText, "300");
  EXPECT_EQ(r->hit(1).scoreText, "123");
  EXPECT_EQ(r->hit(1).expectText, "1E-30");
  EXPECT_DOUBLE_EQ(r->ali(1, 1).expect, 1e-30);
  EXPECT_EQ(r->ali(1, 1).subjectEnd, 16);

  // The second query is its own section; nothing of it is in the first.
  ASSERT_EQ(r->dp.extraSections.size(), 1u);
  const LoadedSection& s = r->dp.extraSections[0];
  EXPECT_EQ(s.queryNumber, 2);
  EXPECT_EQ(s.header.queryName, "QP2");
  EXPECT_EQ(s.header.queryLength, 90);
  EXPECT_EQ(s.header.databaseText, r->dp.header.databaseText);
  ASSERT_EQ(s.hitCount, 1u);
  const AliData& minus = *(*s.hits)[0]->alignments[0];
  EXPECT_EQ(minus.subjectStart, 80);
  EXPECT_EQ(minus.subjectEnd, 75);  // the printed end of the minus strand
}

// Real reports: the first hit and the sections of multi-query files.
TEST_F(BlastParserTest, RealReportsOfSeveralVersionsAndPrograms) {
  auto multi = Read(DataPath("blast_legacy_text_ncbi/bioperl_multi_blast.bls"));
  ASSERT_EQ(multi->code, kBlastOk);
  EXPECT_EQ(multi->dp.header.queryName, "CATH_RAT");
  EXPECT_EQ(multi->dp.hitCount, 17u);
  EXPECT_EQ(multi->hit(1).identifier, "T03E6.7");
  EXPECT_EQ(multi->hit(1).description, "CE16333   CATHEPSIN-LIKE PROTEASE (HINXTON) TR:O45734 PROTEIN_ID:CAB07275.1");
  EXPECT_EQ(multi->ali(1, 1).queryStart, 26);
  EXPECT_EQ(multi->ali(1, 1).queryEnd, 330);
  EXPECT_EQ(multi->ali(1, 1).subjectEnd, 336);
  ASSERT_EQ(multi->dp.extraSections.size(), 3u);
  EXPECT_EQ(multi->dp.extraSections[0].header.queryName, "CATL_HUMAN");
  EXPECT_EQ(multi->dp.extraSections[0].header.queryLength, 333);

  // Two queries without an end marker between them stay apart.
  auto twoQueries = Read(DataPath("blast_legacy_text_ncbi/biojava_blastp-2.2.15.txt"));
  ASSERT_EQ(twoQueries->code, kBlastOk);
  EXPECT_EQ(twoQueries->dp.header.queryName, "ATCUL1-INTERRUPTED");
  ASSERT_EQ(twoQueries->dp.extraSections.size(), 1u);
  EXPECT_EQ(twoQueries->dp.extraSections[0].header.queryName, "SKP1-INTERRUPTED");

  // WU-BLAST: the score line carries the P value.
  auto wu = Read(DataPath("blast_legacy_text_wublast/bioperl_ecolitst.wublastp"));
  ASSERT_EQ(wu->code, kBlastOk);
  EXPECT_GT(wu->ali(1, 1).pValue, -1.0);

  // BLAST+ HTML repeats the query for every subject: one table per query.
  auto html = Read(DataPath("blast_html_blastplus/galaxy_blast_tblastn_four_human_vs_rhodopsin_2.2.25.html"));
  ASSERT_EQ(html->code, kBlastOk);
  ASSERT_EQ(html->dp.extraSections.size(), 3u);
  const LoadedSection& rho = html->dp.extraSections[2];
  EXPECT_EQ(rho.header.queryName, "SP|P08100|OPSD_HUMAN");
  EXPECT_EQ(rho.hitCount, 6u);
  EXPECT_EQ((*rho.hits)[0]->identifier, "GI|57163782|REF|NM_001009242.1|");

  // Thousands separators in the query length.
  auto longQuery = Read(DataPath("blast_legacy_text_ncbi/bioperl_AE003528_ecoli.bls"));
  ASSERT_EQ(longQuery->code, kBlastOk);
  EXPECT_EQ(longQuery->dp.header.queryLength, 283821);
  EXPECT_EQ(longQuery->dp.header.queryLengthText, "(283821 letters)");

  // Truncated downloads fail as incomplete.
  EXPECT_NE(Read(DataPath("blast_legacy_text_truncated/bioperl_ex_NCBI_blastn.txt"))->code, kBlastOk);
  // Mixed CR LF and LF line ends, HTTP headers before the page, no end marker.
  auto crlf = Read(DataPath("blast_html_legacy_www/biopython_bt100_http_response.html"), 4);
  EXPECT_EQ(crlf->code, kBlastFailed);
  EXPECT_EQ(crlf->dp.hitCount, 100u);
}

// The NCBI web site's "download as text": no "Query=", no end marker,
// "Score:161 bits(408), Expect:3e-48," and the identifier on "Sequence ID:".
TEST_F(BlastParserTest, WebDownloadLayout) {
  auto r = Read(DataPath("blastplus_text/biopython_text_21500_blastx_001.txt"));
  ASSERT_EQ(r->code, kBlastOk);
  EXPECT_EQ(r->dp.header.queryName, "GB|AI021773.1");
  EXPECT_EQ(r->dp.header.queryLength, 365);
  EXPECT_EQ(r->dp.hitCount, 10u);
  const HspData& h1 = r->hit(1);
  EXPECT_EQ(h1.identifier, "VDM03167.1");
  EXPECT_EQ(h1.description, "UNNAMED PROTEIN PRODUCT, PARTIAL [SCHISTOCEPHALUS SOLIDUS]");
  EXPECT_EQ(h1.lengthText, "132");
  EXPECT_EQ(h1.scoreText, "161");
  EXPECT_EQ(h1.expectText, "3E-48");
  // Merged titles of one sequence stay one hit with the first identifier.
  EXPECT_EQ(r->hit(3).identifier, "XP_009175831.1");
  const AliData& a = r->ali(1, 1);
  EXPECT_DOUBLE_EQ(a.score, 161);
  EXPECT_DOUBLE_EQ(a.expect, 3e-48);
  EXPECT_DOUBLE_EQ(a.identityPercent, 75);
  EXPECT_DOUBLE_EQ(a.alignmentLength, 108);
  EXPECT_DOUBLE_EQ(a.positivePercent, 76);
  EXPECT_EQ(a.queryStart, 20);
  EXPECT_EQ(a.queryEnd, 343);  // a translated query: the printed end
  EXPECT_EQ(a.subjectEnd, 108);
  EXPECT_EQ(a.queryLine.size(), a.subjectLine.size());
}

// Damaged input loads or fails with a code; nothing is read past a buffer.
TEST_F(BlastParserTest, DamagedInputNeverCrashes) {
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xff));
  EXPECT_NE(Read(dir_.Write("bin", binary))->code, kBlastOk);
  EXPECT_EQ(Read(dir_.Write("empty", ""))->code, kBlastNoQuery);

  const std::string longLine(100000, 'Q');
  const std::string longHit = std::string(kHead) + ">" + longLine + "\n Length = 3\n Score = 1 bits (1), Expect = 1\n" +
                              " Identities = 1/1 (100%)\nQuery: 1 " + longLine + " 9\n" + longLine + "\nSbjct: 1 " +
                              longLine + "\n" + kTail;
  auto l = Read(dir_.Write("long", longHit));
  EXPECT_NE(l->code, -1);
  for (const auto& hit : *l->dp.hits)
    for (const auto& ali : hit->alignments) {
      EXPECT_LE(ali->queryLine.size(), 9999u);
      EXPECT_LE(ali->subjectLine.size(), ali->queryLine.size());
      EXPECT_LE(ali->middleLine.size(), ali->queryLine.size());
    }

  // A NUL byte ends its line; CR-only line ends split lines.
  std::string nul = std::string(kHead) + kHitOne + kTail;
  nul.replace(nul.find("Protein one") + 7, 1, std::string(1, '\0'));
  auto n = Read(dir_.Write("nul", nul));
  ASSERT_EQ(n->code, kBlastOk);
  EXPECT_EQ(n->hit(1).description, "PROTEIN CONTINUED DESCRIPTION");

  std::string cr = std::string(kHead) + kHitOne + kTail;
  for (char& c : cr)
    if (c == '\n') c = '\r';
  auto c = Read(dir_.Write("cr", cr));
  ASSERT_EQ(c->code, kBlastOk);
  ASSERT_EQ(c->dp.hitCount, 1u);
  EXPECT_EQ(c->hit(1).identifier, "SP|P1|ABC_HUMAN");
  EXPECT_EQ(c->ali(1, 1).queryLine, "MKV-LAAGIVGLWWYY");

  // Every prefix of a real report: some code, never a crash.
  const std::string real = std::string(kHead) + kHitOne + kHitTwo + kTail;
  for (std::size_t cut = 0; cut < real.size(); cut += 37) {
    auto t = Read(dir_.Write("cut", real.substr(0, cut)));
    EXPECT_GE(t->code, 0);
    EXPECT_LE(t->code, 7);
  }
}

TEST_F(BlastParserTest, AReportOfManyMegabytesLoadsAsItsPartsDo) {
  // A real BLAST+ report whose hits are repeated until the file is read
  // ahead in several chunks and the alignments pass through the builder
  // thread many times over: every copy of a hit loads as the hit itself.
  std::ifstream in(DataPath("blastplus_text/biopython_text_2226_blastp_003.txt"), std::ios::binary);
  const std::string real((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t hitsFrom = real.find("\n>") + 1;
  const std::size_t hitsTo = real.find("\nLambda") + 1;
  ASSERT_LT(hitsFrom, hitsTo);
  const std::string hits = real.substr(hitsFrom, hitsTo - hitsFrom);
  std::string big = real.substr(0, hitsFrom);
  int copies = 0;
  for (; big.size() < (9u << 20); ++copies) big += hits;
  big += real.substr(hitsTo);

  auto one = Read(dir_.Write("one.txt", real));
  auto many = Read(dir_.Write("many.txt", big));
  ASSERT_EQ(one->code, kBlastOk);
  ASSERT_EQ(many->code, kBlastOk);
  const int perCopy = static_cast<int>(one->dp.hitCount);
  ASSERT_GT(perCopy, 5);
  ASSERT_EQ(many->dp.hitCount, static_cast<unsigned>(perCopy * copies));
  EXPECT_EQ(many->dp.alignmentCount, one->dp.alignmentCount * copies);
  EXPECT_EQ(many->dp.header.resultType, one->dp.header.resultType);
  for (int c = 0; c < copies; ++c) {
    for (int h = 1; h <= perCopy; ++h) {
      const HspData& a = one->hit(h);
      const HspData& b = many->hit(c * perCopy + h);
      ASSERT_EQ(b.identifier, a.identifier) << c << " " << h;
      ASSERT_EQ(b.alignments.size(), a.alignments.size());
      ASSERT_EQ(b.selected.size(), a.alignments.size());
      for (std::size_t k = 0; k < a.alignments.size(); ++k) {
        const AliData& x = *a.alignments[k];
        const AliData& y = *b.alignments[k];
        ASSERT_EQ(y.queryLine, x.queryLine);
        ASSERT_EQ(y.middleLine, x.middleLine);
        ASSERT_EQ(y.subjectLine, x.subjectLine);
        ASSERT_EQ(y.statsText, x.statsText);
        ASSERT_EQ(y.queryStart, x.queryStart);
        ASSERT_EQ(y.queryEnd, x.queryEnd);
        ASSERT_EQ(y.subjectStart, x.subjectStart);
        ASSERT_EQ(y.subjectEnd, x.subjectEnd);
        ASSERT_EQ(y.score, x.score);
        ASSERT_EQ(y.expect, x.expect);
        ASSERT_EQ(y.hcaScore, x.hcaScore);
        ASSERT_EQ(y.gapped, x.gapped);
      }
    }
  }
}

}  // namespace
