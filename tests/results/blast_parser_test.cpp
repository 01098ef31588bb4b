#include "vistram/results/blast_parser.h"

#include "results/blast_test_util.h"

using namespace blasttest;

namespace {

std::string Part(const std::string& name) {
  return ReadWholeFile(std::string(VISTRAM_TEST_DATA_DIR) + "/results/" + name);
}
const std::string kHead = Part("classic_head.txt"), kHitOne = Part("classic_hit1.txt"),
                  kHitTwo = Part("classic_hit2.txt");
const std::string kTail = "  Database: swissprot\n    Posted date:  Sep 3, 2001  2:17 PM\nLambda     K      H\n";
const std::string kShortHit = ">X d\n Length = 5\n Score = 1 bits (2), Expect = 1\n";

using BlastParserTest = PlatformTest;

TEST_F(BlastParserTest, ClassicReportFillsHeaderHitsAndAlignments) {
  auto r = Read(dir_.Write("a.bla", kHead + kHitOne + kHitTwo + kTail));
  ASSERT_EQ(r->code, kBlastOk);
  const HeaderBlock& h = r->dp.header;
  EXPECT_EQ(std::tie(h.queryName, h.queryLength, h.queryLengthText, h.isHtml, h.resultType),
            std::make_tuple(std::string("MYQUERY"), 120, std::string("(120 letters)"), 0, int(kResultBlast2)));
  EXPECT_EQ(h.databaseText, " SWISSPROT|80,000 sequences; 29,000,000 total letters");
  EXPECT_EQ(std::tie(r->dp.hitCount, r->dp.viewHitCount, r->dp.alignmentCount), std::make_tuple(2u, 2, 3));

  const HspData& h1 = r->hit(1);
  EXPECT_EQ(h1.description, "PROTEIN ONE CONTINUED DESCRIPTION");  // one blank at the join
  // Score and expect texts from the first alignment only.
  EXPECT_EQ(std::tie(h1.identifier, h1.lengthText, h1.scoreText, h1.expectText, h1.alignmentCount, h1.selected),
            std::make_tuple(std::string("SP|P1|ABC_HUMAN"), std::string("350"), std::string("196"),
                            std::string("2E-50"), 2, std::vector<int>{0, 0}));

  const AliData& a = r->ali(1, 1);
  EXPECT_EQ(a.queryLine + "|" + a.middleLine + "|" + a.subjectLine,  // middle: case kept, padded to the segment
            "MKV-LAAGIVGLWWYY|MK  l  GIVG+WW  |MKAALTTGIVGMWWAA");
  EXPECT_EQ(std::tie(a.queryStart, a.queryEnd, a.subjectStart, a.subjectEnd, a.gapped),
            std::make_tuple(1, 15, 5, 20, 1));
  EXPECT_EQ(a.statsText,
            "SCORE =  196 BITS (498), EXPECT = 2E-50 IDENTITIES = 26/81 (32%), POSITIVES = 40/81 (49%), "
            "GAPS = 2/81 (2%)");
  EXPECT_EQ(std::tie(a.score, a.expect, a.identityPercent, a.alignmentLength, a.positivePercent, a.pValue, a.initn),
            std::make_tuple(196.0, 2e-50, 32.0, 81.0, 49.0, -1.0, -1.0));

  const AliData& b = r->ali(1, 2);
  // The HCA score: V, I, L coincide, the last column does not count.
  EXPECT_EQ(std::tie(b.queryLine, b.queryStart, b.queryEnd, b.gapped, b.score, b.hcaScore),
            std::make_tuple(std::string("VILF"), 40, 43, 0, 38.5, 100.0));
  // Expect(2): the text keeps the value, the number stays unknown.
  EXPECT_EQ(std::tie(r->hit(2).number, r->hit(2).expectText, r->ali(2, 1).expect),
            std::make_tuple(2, std::string("1E-10"), -1.0));
}

TEST_F(BlastParserTest, ResultCodesOfIncompleteReports) {
  const std::tuple<const char*, std::string, int, int> cases[] = {
      {"wrong kind", kHead + kHitOne + kTail, 7, kBlastFailed},
      {"no query", "BLASTP\nnothing here\n", 5, kBlastNoQuery},
      {"empty", "", 5, kBlastNoQuery},
      {"no letters", "Query= X\n  no length\nDatabase: db\n", 5, kBlastNoLetters},
      {"no database", "Query= X\n   (12 letters)\n", 5, kBlastNoDatabase},
      {"no end marker", kHead + kHitOne, 5, kBlastFailed},
      {"ends after a score line", kHead + kShortHit, 5, kBlastEndInAlignment},
      {"ends in a block", kHead + kShortHit + " Identities = 1/1 (100%)\nQuery: 1 A 1\n   A\n", 5,
       kBlastEndInAlignment},
  };
  for (const auto& [name, text, kind, code] : cases)
    EXPECT_EQ(Read(dir_.Write("r.bla", text), kind)->code, code) << name;
  EXPECT_EQ(Read(dir_.path() + "/missing.bla")->code, kBlastCannotOpen);
  // An end marker without any hit: an empty, successful read.
  auto empty = Read(dir_.Write("n.bla", kHead + " ***** No hits found ******\n" + kTail));
  EXPECT_EQ(std::tie(empty->code, empty->dp.hitCount, empty->dp.header.resultType),
            std::make_tuple(int(kBlastOk), 0u, int(kResultBlast)));
}

TEST_F(BlastParserTest, LineRulesAtTheirLimits) {
  // Three blanks before "Score": not a score line; middle lines cut or padded to the segment.
  auto r = Read(dir_.Write("r.bla", kHead + Part("line_rules_hit.txt") + kTail));
  ASSERT_EQ(r->code, kBlastOk);
  ASSERT_EQ(r->hit(1).alignments.size(), 2u);
  EXPECT_EQ(r->hit(1).scoreText + " " + r->hit(1).expectText, "7 1.5E-3");  // a third '=' wins
  EXPECT_EQ(std::tie(r->ali(1, 1).pValue, r->ali(1, 1).expect, r->ali(1, 2).pValue),
            std::make_tuple(1.5e-3, 0.5, 0.003));
  EXPECT_EQ(r->ali(1, 1).middleLine + "|" + r->ali(1, 2).middleLine, "AB+DEF|AB    ");

  // Long texts are cut to their widths (the description line at 499 by the line reader).
  const std::string wide = ">" + std::string(60, 'I') + " " + std::string(800, 'd') +
                           "\n Length = 1234567\n Score = 123456789 bits (1), Expect = 1234567890123\n"
                           " Identities = 1/1 (100%)\nQuery: 1 A 1\n A\nSbjct: 1 A 1\n";
  auto w = Read(dir_.Write("w.bla", kHead + wide + kTail));
  ASSERT_EQ(w->code, kBlastOk);
  EXPECT_EQ(w->hit(1).identifier, std::string(39, 'I'));
  EXPECT_EQ(w->hit(1).description.substr(0, 3), "DDD");
  EXPECT_EQ(std::tie(w->hit(1).lengthText, w->hit(1).scoreText, w->hit(1).expectText),
            std::make_tuple(std::string("12345"), std::string("1234567"), std::string("123456789")));
}

TEST_F(BlastParserTest, HtmlHeadersGiveIdentifierDescriptionAndUrl) {
  auto r = Read(std::string(VISTRAM_TEST_DATA_DIR) + "/results/two_links.html", 4);
  ASSERT_EQ(r->code, kBlastOk);
  EXPECT_EQ(std::tie(r->dp.header.isHtml, r->dp.header.queryName, r->dp.header.databaseText),
            std::make_tuple(1, std::string("QNAME"), std::string(" NR|1 seq")));
  EXPECT_EQ(r->hit(1).identifier + r->hit(1).description, "GI|123|SP|P1 SOME PROTEIN");
  EXPECT_EQ(r->hit(1).url, std::string(kNcbiBaseUrl) + "/cgi-bin/Entrez/query?uid=123");
  EXPECT_EQ(r->hit(2).identifier, "SP|P2");
  EXPECT_EQ(r->hit(2).url, std::string(kExpasyBaseUrl) + "/cgi-bin/get-sprot-entry?P2");
}

TEST_F(BlastParserTest, TransfertDataCountsEndsUnlessPrintedOnesDiffer) {
  const struct {
    const char *query, *middle, *subject;
    int qs, ss, qPrinted, sPrinted, qEnd, sEnd, gapped;
  } cases[] = {
      // A minus-strand subject counts down; a translated query counts codons.
      {"acgt-acgt", "|||| ||||", "ACGTAACGTTT", 100, 1000, 126, 992, 126, 992, 1},
      {"MKV*LA", "MK LA", "MKVALA", 10, 20, 14, 0, 14, 25, 0},
      {"MKV-LA", "MK LA", "MK-VLA", 10, 20, 0, 0, 14, 24, 1},  // no printed ends: letters counted
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    AliData ali;
    ASSERT_EQ(TransfertData(ali, c.query, c.middle, c.subject, c.qs, c.ss, c.qPrinted, c.sPrinted), 1);
    EXPECT_EQ(std::tie(ali.queryEnd, ali.subjectEnd, ali.gapped), std::make_tuple(c.qEnd, c.sEnd, c.gapped));
    EXPECT_EQ(ali.middleLine, c.middle);
  }
  AliData ali;  // upper-cased; the subject cut to the query text's length
  TransfertData(ali, "acgt-acgt", "|||| ||||", "ACGTAACGTTT", 1, 1, 0, 0);
  EXPECT_EQ(ali.queryLine + " " + ali.subjectLine, "ACGT-ACGT ACGTAACGT");
}

TEST_F(BlastParserTest, ViewerRecordNumbersResiduesAndFormatsStatistics) {
  auto r = Read(dir_.Write("v.bla", kHead + kHitOne + kTail));
  ASSERT_EQ(r->code, kBlastOk);
  auto v = LitUnAlignHsp(nullptr, 1, 1, r->dp);
  ASSERT_TRUE(v);
  EXPECT_EQ(std::tie(v->alignedLength, v->queryResidueNumbers[0], v->queryResidueNumbers[3], v->queryResidueNumbers[4],
                     v->subjectResidueNumbers[4]),
            std::make_tuple(16, 1, 0, 4, 9));  // 0 in the gap column
  EXPECT_NE(v->statsText.find("2E-50\nIDENTITIES"), std::string::npos);
  EXPECT_NE(v->statsText.find(", HCA = "), std::string::npos);
  EXPECT_FALSE(LitUnAlignHsp(nullptr, 1, 3, r->dp));
  EXPECT_FALSE(LitUnAlignHsp(nullptr, 2, 1, r->dp));
}

TEST_F(BlastParserTest, RealReportsOfSeveralVersionsAndPrograms) {
  // Query names of sections (the rest: the BioPerl cross-check); no end marker between two queries.
  const std::tuple<const char*, const char*, const char*> queries[] = {
      {"blast_legacy_text_ncbi/bioperl_multi_blast.bls", "CATH_RAT", "CATL_HUMAN"},
      {"blast_legacy_text_ncbi/biojava_blastp-2.2.15.txt", "ATCUL1-INTERRUPTED", "SKP1-INTERRUPTED"}};
  for (const auto& [file, first, second] : queries) {
    auto r = Read(DataPath(file));
    ASSERT_EQ(r->code, kBlastOk);
    ASSERT_GE(r->dp.extraSections.size(), 1u);
    EXPECT_EQ(std::tie(r->dp.header.queryName, r->dp.extraSections[0].header.queryName), std::tie(first, second));
  }
  auto multi = Read(DataPath("blast_legacy_text_ncbi/bioperl_multi_blast.bls"));
  EXPECT_EQ(multi->hit(1).description, "CE16333   CATHEPSIN-LIKE PROTEASE (HINXTON) TR:O45734 PROTEIN_ID:CAB07275.1");
  EXPECT_EQ(multi->dp.extraSections[0].header.queryLength, 333);
  auto longQuery = Read(DataPath("blast_legacy_text_ncbi/bioperl_AE003528_ecoli.bls"));  // thousands separators
  EXPECT_EQ(std::tie(longQuery->dp.header.queryLength, longQuery->dp.header.queryLengthText),
            std::make_tuple(283821, std::string("(283821 letters)")));

  // Truncated downloads fail; mixed CR LF and LF ends with HTTP headers and no end marker.
  EXPECT_NE(Read(DataPath("blast_legacy_text_truncated/bioperl_ex_NCBI_blastn.txt"))->code, kBlastOk);
  auto crlf = Read(DataPath("blast_html_legacy_www/biopython_bt100_http_response.html"), 4);
  EXPECT_EQ(std::tie(crlf->code, crlf->dp.hitCount), std::make_tuple(int(kBlastFailed), 100u));

  // The web site's text download: no "Query=" nor end marker, "Score:161 bits(408), Expect:3e-48,", "Sequence ID:".
  auto web = Read(DataPath("blastplus_text/biopython_text_21500_blastx_001.txt"));
  ASSERT_EQ(web->code, kBlastOk);
  EXPECT_EQ(std::tie(web->dp.header.queryName, web->dp.header.queryLength, web->dp.hitCount),
            std::make_tuple(std::string("GB|AI021773.1"), 365, 10u));
  const HspData& h1 = web->hit(1);
  EXPECT_EQ(h1.identifier + " " + h1.description + " " + h1.lengthText + " " + h1.scoreText + " " + h1.expectText,
            "VDM03167.1 UNNAMED PROTEIN PRODUCT, PARTIAL [SCHISTOCEPHALUS SOLIDUS] 132 161 3E-48");
  EXPECT_EQ(web->hit(3).identifier, "XP_009175831.1");  // merged titles: the first identifier
  const AliData& a = web->ali(1, 1);
  EXPECT_EQ(std::tie(a.score, a.expect, a.identityPercent, a.alignmentLength, a.positivePercent),
            std::make_tuple(161.0, 3e-48, 75.0, 108.0, 76.0));
  EXPECT_EQ(std::tie(a.queryStart, a.queryEnd, a.subjectEnd), std::make_tuple(20, 343, 108));  // translated query
}

// Damaged input loads or fails with a code; nothing is read past a buffer.
TEST_F(BlastParserTest, DamagedInputNeverCrashes) {
  std::string binary;
  for (int i = 0; i < 70000; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xff));
  EXPECT_NE(Read(dir_.Write("bin", binary))->code, kBlastOk);

  const std::string longLine(100000, 'Q');
  auto l = Read(dir_.Write("long", kHead + ">" + longLine + "\n Length = 3\n Score = 1 bits (1), Expect = 1\n" +
                                       " Identities = 1/1 (100%)\nQuery: 1 " + longLine + " 9\n" + longLine +
                                       "\nSbjct: 1 " + longLine + "\n" + kTail));
  EXPECT_NE(l->code, -1);
  for (const auto& hit : *l->dp.hits)
    for (const auto& ali : hit->alignments) {
      EXPECT_LE(ali->queryLine.size(), 9999u);
      EXPECT_LE(ali->subjectLine.size(), ali->queryLine.size());
      EXPECT_LE(ali->middleLine.size(), ali->queryLine.size());
    }

  // A NUL byte ends its line; CR-only line ends split lines.
  std::string nul = kHead + kHitOne + kTail;
  nul[nul.find("Protein one") + 7] = '\0';
  auto n = Read(dir_.Write("nul", nul));
  ASSERT_EQ(n->code, kBlastOk);
  EXPECT_EQ(n->hit(1).description, "PROTEIN CONTINUED DESCRIPTION");
  std::string cr = kHead + kHitOne + kTail;
  std::replace(cr.begin(), cr.end(), '\n', '\r');
  auto c = Read(dir_.Write("cr", cr));
  ASSERT_EQ(c->code, kBlastOk);
  ASSERT_EQ(c->dp.hitCount, 1u);
  EXPECT_EQ(c->ali(1, 1).queryLine, "MKV-LAAGIVGLWWYY");

  // Every prefix of a report: some code, never a crash.
  const std::string real = kHead + kHitOne + kHitTwo + kTail;
  for (std::size_t cut = 0; cut < real.size(); cut += 37) {
    const int code = Read(dir_.Write("cut", real.substr(0, cut)))->code;
    EXPECT_TRUE(code >= 0 && code <= 7) << cut;
  }
}

}  // namespace
