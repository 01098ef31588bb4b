// Values that real reports print in forms the first readings lost: expect
// values without a mantissa or without a following comma, BLAST+ HTML hit
// anchors, descriptions wrapped without an indent, and WU-BLAST alignments
// written without residues. The BLAST and FASTA readers read numbers alike.
#include <gtest/gtest.h>

#include <string>

#include "results/blast_test_util.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/report_kind.h"
#include "vistram/results/report_text.h"

namespace {

class RealReports : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  RecordingPlatform platform_;
};

TEST_F(RealReports, ExpectValuesAsPrinted) {
  struct Case {
    const char* file;
    int hit, alignment;
    const char* expectText;
    double expect;
  };
  const Case cases[] = {
      // BLASTN 2.0.10: "Expect = e-146" and no comma after it (no Positives).
      {"blast_legacy_text_ncbi/biopython_text_2010L_blastn_001.txt", 1, 1, "E-146", 1e-146},
      {"blast_legacy_text_ncbi/biopython_text_2010L_blastn_001.txt", 2, 1, "1.6", 1.6},
      // BLASTP 2.2.3: the best hits print no mantissa.
      {"blast_legacy_text_ncbi/biojava_ncbi_blastp_2.2.3.out", 9, 1, "E-180", 1e-180},
      // TBLASTN 2.2.18: "Expect = e-102,   Method: ...": the comma is no part of it.
      {"blast_legacy_text_ncbi/biojava_tblastn-2.2.18.txt", 1, 1, "E-102", 1e-102},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = blasttest::DataPath(c.file);
    auto l = blasttest::Read(path, TestFichier(path));
    ASSERT_EQ(l->code, kBlastOk);
    EXPECT_EQ(l->hit(c.hit).expectText, c.expectText);
    EXPECT_DOUBLE_EQ(l->ali(c.hit, c.alignment).expect, c.expect);
  }
}

// The same printed number gives the same value in both readers.
TEST(ReportNumbers, BlastAndFastaStatisticsAgree) {
  struct Case {
    const char* printed;
    double value;
  };
  const Case cases[] = {{"e-175", 1e-175}, {"E-06", 1e-6}, {"3e-48", 3e-48}, {"0.017", 0.017},
                        {"1.6", 1.6},      {"0.0", 0.0},   {"e+2", 100},     {"10", 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed);
    EXPECT_DOUBLE_EQ(report_text::ReadReportNumber(c.printed), c.value);
    AliData blast;
    blast.statsText = std::string("SCORE = 99 BITS (50), EXPECT = ") + c.printed + " IDENTITIES = 5/6 (83%)";
    TransBlaStatData(blast);
    AliData classic;
    classic.statsText = std::string(" initn: 9 init1: 9 opt: 9 z-score: 9.5 E(): ") + c.printed +
                        "\nsmith-waterman score: 9; 83.3% identity in 6 aa overlap";
    TransFasdata(classic);
    AliData current;
    current.statsText = std::string(" initn: 9 init1: 9 opt: 9 z-score: 9.5 expect() ") + c.printed +
                        "\nsmith-waterman score: 9; 83.3% identity in 6 aa overlap";
    TransFasdata(current, true);
    EXPECT_DOUBLE_EQ(blast.expect, c.value);
    EXPECT_DOUBLE_EQ(classic.expect, c.value);
    EXPECT_DOUBLE_EQ(current.expect, c.value);
  }
  // Not a number: not available in either reader.
  for (const char* text : {"", "e", "e-", "-e5", "+-1", "?"}) EXPECT_DOUBLE_EQ(report_text::ReadReportNumber(text), -1) << text;
}

TEST(ReportText, TagsAndEntities) {
  const struct {
    const char* html;
    std::size_t size;
    const char* text;
  } cases[] = {{"<b>A&gt;B</b> &AMP; C&lt;", 500, "A>B & C<"},
               {"x &amp &nbsp; y", 500, "x &amp &nbsp; y"},  // only whole entities of the three
               {"<a href=\"u\">ID</a> desc", 6, "ID de"}};    // cut to the buffer
  for (const auto& c : cases) {
    char out[500];
    report_text::StripTags(c.html, out, c.size);
    EXPECT_STREQ(out, c.text) << c.html;
  }
  EXPECT_EQ(report_text::TextOutsideTags("<A NAME=1></A> ID <B>DESC</B>", 0), " ID DESC");
}

TEST_F(RealReports, BlastPlusHtmlAnchorsAndWrappedSubjects) {
  // BLAST+ 2.9.0 HTML: "><a name=Subject_1></a> gi|...| Felis catus rhodopsin (RHO), ..."
  const std::string html = blasttest::DataPath("blast_html_blastplus/galaxy_blast_tblastn_four_human_vs_rhodopsin_2.9.0.html");
  auto h = blasttest::Read(html, TestFichier(html));
  ASSERT_EQ(h->code, kBlastOk);
  ASSERT_EQ(h->dp.extraSections.size(), 3u);  // the fourth query, rhodopsin, has the hits
  const HitList& hits = *h->dp.extraSections[2].hits;
  ASSERT_GE(hits.size(), 2u);
  EXPECT_EQ(hits[0]->identifier, "GI|57163782|REF|NM_001009242.1|");
  EXPECT_EQ(hits[0]->description.rfind("FELIS CATUS RHODOPSIN (RHO), ", 0), 0u) << hits[0]->description;
  EXPECT_NE(hits[0]->identifier, hits[1]->identifier);
  // Every BLAST+ HTML report of the data, each version with its own hit
  // heading: no hit without its identifier.
  for (const char* version : {"2.2.25", "2.2.29", "2.2.31", "2.9.0"}) {
    SCOPED_TRACE(version);
    const std::string path = blasttest::DataPath(
        std::string("blast_html_blastplus/galaxy_blast_tblastn_four_human_vs_rhodopsin_") + version + ".html");
    auto l = blasttest::Read(path, TestFichier(path));
    ASSERT_EQ(l->code, kBlastOk);
    int felis = 0;
    auto check = [&felis](const HitList& list) {
      for (const auto& hit : list) {
        EXPECT_FALSE(hit->identifier.empty());
        EXPECT_EQ(hit->identifier.find(' '), std::string::npos) << hit->identifier;
        felis += hit->identifier == "GI|57163782|REF|NM_001009242.1|" ? 1 : 0;
      }
    };
    check(*l->dp.hits);
    for (const LoadedSection& section : l->dp.extraSections) check(*section.hits);
    EXPECT_GE(felis, 1);
  }

  // "Subject= gi|...| Acipenser baeri mRNA for immunoglobulin" wraps to
  // "heavy chain, clone ScH 3.3" with no indent.
  const std::string text = blasttest::DataPath("blastplus_text/bioperl_bl2seq+.blastn");
  auto t = blasttest::Read(text, TestFichier(text));
  ASSERT_EQ(t->code, kBlastOk);
  EXPECT_EQ(t->hit(1).identifier, "GI|2695846|EMB|Y13255.1|");
  EXPECT_EQ(t->hit(1).description, "ACIPENSER BAERI MRNA FOR IMMUNOGLOBULIN HEAVY CHAIN, CLONE SCH 3.3");
}

TEST_F(RealReports, WuBlastWithoutSequencesKeepsTheRanges) {
  // "(483 letters; record 9)", and alignments printed as "Query: 115 - 350"
  // over "Sbjct: 159 - 380" with no residue lines.
  const std::string path = blasttest::DataPath("blast_legacy_text_wublast/bioperl_tricky.wublast");
  auto l = blasttest::Read(path, TestFichier(path));
  ASSERT_EQ(l->code, kBlastOk);
  EXPECT_EQ(l->dp.header.queryLength, 483);
  const struct {
    int hit, alignment, q1, q2, s1, s2;
  } ranges[] = {{1, 1, 115, 350, 159, 380}, {1, 2, 182, 389, 527, 730}};
  for (const auto& r : ranges) {
    const AliData& a = l->ali(r.hit, r.alignment);
    EXPECT_EQ(a.queryStart, r.q1);
    EXPECT_EQ(a.queryEnd, r.q2);
    EXPECT_EQ(a.subjectStart, r.s1);
    EXPECT_EQ(a.subjectEnd, r.s2);
    EXPECT_TRUE(a.queryLine.empty());
    EXPECT_EQ(a.gapped, 0);
  }
  EXPECT_DOUBLE_EQ(l->ali(1, 1).identityPercent, 24);
}

}  // namespace
