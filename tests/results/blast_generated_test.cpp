// Reports written at test time by the installed BLAST+ programs: the text
// and HTML reports must give the hits and coordinates that the same search
// gives in BLAST+'s own tabular output.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "results/blast_test_util.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/report_kind.h"

using blasttest::RunProgram;
using blasttest::TempDir;

namespace {

bool HaveTool(const std::string& tool) {
  std::string out;
  return RunProgram({tool, "-version"}, out);
}

struct Row {
  std::string query, subject;
  int qstart, qend, sstart, send;
};

std::vector<Row> Tabular(const std::string& text) {
  std::vector<Row> rows;
  std::istringstream in(text);
  Row r;
  while (in >> r.query >> r.subject >> r.qstart >> r.qend >> r.sstart >> r.send) rows.push_back(r);
  return rows;
}

// The rows of our reading of a report, in report order, per query.
std::vector<Row> Ours(const blasttest::Loaded& l) {
  std::vector<Row> rows;
  auto add = [&rows](const std::string& query, const HitList& hits) {
    for (const auto& h : hits)
      for (const auto& a : h->alignments)
        rows.push_back({query, h->identifier, a->queryStart, a->queryEnd, a->subjectStart, a->subjectEnd});
  };
  add(l.dp.header.queryName, *l.dp.hits);
  for (const LoadedSection& s : l.dp.extraSections) add(s.header.queryName, *s.hits);
  return rows;
}

void ExpectSameRows(const std::vector<Row>& ours, const std::vector<Row>& tabular) {
  ASSERT_EQ(ours.size(), tabular.size());
  for (std::size_t i = 0; i < ours.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ours[i].query, tabular[i].query);
    EXPECT_EQ(ours[i].subject, tabular[i].subject);
    EXPECT_EQ(ours[i].qstart, tabular[i].qstart);
    EXPECT_EQ(ours[i].qend, tabular[i].qend);
    EXPECT_EQ(ours[i].sstart, tabular[i].sstart);
    EXPECT_EQ(ours[i].send, tabular[i].send);
  }
}

class GeneratedReports : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  RecordingPlatform platform_;
  TempDir dir_;
};

TEST_F(GeneratedReports, BlastpTextAndHtmlWithTwoQueries) {
  if (!HaveTool("blastp") || !HaveTool("makeblastdb")) GTEST_SKIP() << "BLAST+ is not installed";
  const std::string db = dir_.Write("db.fa",
                                    ">ALPHA1 first test protein\n"
                                    "MKVLAAGIVGLLLAVSSAQAEEKKPVEVTLNGKTYTLDAPSAEELAKALKEAGVEVLHVGDKTYRLEE\n"
                                    ">BETA2 second protein\n"
                                    "MSTNPKPQRKTKRNTNRRPQDVKFPGGGQIVGGVYLLPRRGPRLGVRATRKTSERSQPRGRRQPIPKA\n"
                                    ">GAMMA3 third protein with a repeat\n"
                                    "MKVLAAGIVGLLLAVSSAQAEEKKPVEVTLNGKTYTLDAPGGSGMKVLAAGIVGLLLAVSSAQAEEKK\n");
  const std::string query = dir_.Write("q.fa",
                                       ">QRY1 test query\nMKVLAAGIVGLLLAVSSAQAEEKKPVEVTLNGKTYTLDAPSAEELAKALKEAG\n"
                                       ">QRY2 second query\nNRRPQDVKFPGGGQIVGGVYLLPRRGPRLGVRATRKTSERSQPRGRRQP\n");
  std::string out;
  ASSERT_TRUE(RunProgram({"makeblastdb", "-in", db, "-dbtype", "prot", "-parse_seqids", "-out", dir_.path() + "/db"}, out));
  const std::string text = dir_.path() + "/r.txt";
  const std::string html = dir_.path() + "/r.html";
  const std::vector<std::string> search = {"blastp", "-query", query, "-db", dir_.path() + "/db"};
  auto with = [&search](std::vector<std::string> extra) {
    std::vector<std::string> args = search;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  };
  ASSERT_TRUE(RunProgram(with({"-outfmt", "0", "-out", text}), out));
  ASSERT_TRUE(RunProgram(with({"-outfmt", "0", "-html", "-out", html}), out));
  std::string tab;
  ASSERT_TRUE(RunProgram(with({"-outfmt", "6 qseqid sseqid qstart qend sstart send"}), tab));
  const std::vector<Row> expected = Tabular(tab);
  ASSERT_GE(expected.size(), 3u);

  ASSERT_EQ(TestFichier(text), kReportBlastText);
  auto t = blasttest::Read(text, kReportBlastText);
  ASSERT_EQ(t->code, kBlastOk);
  EXPECT_EQ(t->dp.header.queryLength, 53);
  ASSERT_EQ(t->dp.extraSections.size(), 1u);
  EXPECT_EQ(t->dp.extraSections[0].header.queryLength, 49);
  ExpectSameRows(Ours(*t), expected);
  EXPECT_EQ(t->hit(1).description, "FIRST TEST PROTEIN");
  EXPECT_DOUBLE_EQ(t->ali(1, 1).identityPercent, 100);

  const int kind = TestFichier(html);
  ASSERT_TRUE(kind == kReportBlastHtml || kind == kReportBlastText);
  auto h = blasttest::Read(html, kind);
  ASSERT_EQ(h->code, kBlastOk);
  ExpectSameRows(Ours(*h), expected);
}

// BLAST+ HTML without sequence ids in the database ("><a name=BL_ORD_ID:0></a>
// ALPHA1 ...") and against a subject file ("><a name=Subject_1></a> ALPHA1 ..."):
// the identifier is the word after the anchor, as in the tabular output.
TEST_F(GeneratedReports, BlastpHtmlAnchorsBeforeTheIdentifier) {
  if (!HaveTool("blastp") || !HaveTool("makeblastdb")) GTEST_SKIP() << "BLAST+ is not installed";
  const std::string db = dir_.Write("s.fa",
                                    ">ALPHA1 first test protein\n"
                                    "MKVLAAGIVGLLLAVSSAQAEEKKPVEVTLNGKTYTLDAPSAEELAKALKEAGVEVLHVGDKTYRLEE\n"
                                    ">GAMMA3 third protein with a repeat\n"
                                    "MKVLAAGIVGLLLAVSSAQAEEKKPVEVTLNGKTYTLDAPGGSGMKVLAAGIVGLLLAVSSAQAEEKK\n");
  const std::string query = dir_.Write("sq.fa", ">QRY1 test query\nMKVLAAGIVGLLLAVSSAQAEEKKPVEVTLNGKTYTLDAPSAEELAKALKEAG\n");
  std::string out;
  ASSERT_TRUE(RunProgram({"makeblastdb", "-in", db, "-dbtype", "prot", "-out", dir_.path() + "/s"}, out));
  const std::vector<std::vector<std::string>> targets = {{"-db", dir_.path() + "/s"}, {"-subject", db}};
  for (const auto& target : targets) {
    SCOPED_TRACE(target[0]);
    std::vector<std::string> search = {"blastp", "-query", query, target[0], target[1]};
    std::string tab;
    std::vector<std::string> tabular = search;
    tabular.insert(tabular.end(), {"-outfmt", "6 qseqid sseqid qstart qend sstart send"});
    ASSERT_TRUE(RunProgram(tabular, tab));
    const std::string html = dir_.path() + "/a.html";
    search.insert(search.end(), {"-html", "-out", html});
    ASSERT_TRUE(RunProgram(search, out));
    auto h = blasttest::Read(html, TestFichier(html));
    ASSERT_EQ(h->code, kBlastOk);
    ExpectSameRows(Ours(*h), Tabular(tab));
    EXPECT_EQ(h->hit(1).description, "FIRST TEST PROTEIN");
  }
}

TEST_F(GeneratedReports, BlastnMinusStrandKeepsThePrintedEnds) {
  if (!HaveTool("blastn") || !HaveTool("makeblastdb")) GTEST_SKIP() << "BLAST+ is not installed";
  const std::string forward = "ATGGCTAGCTAGGATCCGATCGATTACGGCATGCATGCCGTAGCTAGCTAGGCTAGCTAACGATCGATCGTAGCTAGCATCGA";
  std::string reverse;
  for (auto it = forward.rbegin(); it != forward.rend(); ++it)
    reverse.push_back(*it == 'A' ? 'T' : *it == 'T' ? 'A' : *it == 'G' ? 'C' : 'G');
  const std::string db = dir_.Write("n.fa", ">PLUS1 forward copy\nGGGGGGGGGG" + forward + "CCCCCCCCCC\n>MINUS1 reverse copy\nTTTTT" + reverse + "AAAAA\n");
  const std::string query = dir_.Write("nq.fa", ">NQ query\n" + forward + "\n");
  std::string out;
  ASSERT_TRUE(RunProgram({"makeblastdb", "-in", db, "-dbtype", "nucl", "-parse_seqids", "-out", dir_.path() + "/n"}, out));
  const std::string text = dir_.path() + "/n.txt";
  ASSERT_TRUE(RunProgram({"blastn", "-query", query, "-db", dir_.path() + "/n", "-outfmt", "0", "-out", text}, out));
  std::string tab;
  ASSERT_TRUE(RunProgram({"blastn", "-query", query, "-db", dir_.path() + "/n", "-outfmt",
                          "6 qseqid sseqid qstart qend sstart send"},
                         tab));
  auto t = blasttest::Read(text, TestFichier(text));
  ASSERT_EQ(t->code, kBlastOk);
  const std::vector<Row> expected = Tabular(tab);
  ExpectSameRows(Ours(*t), expected);
  bool sawMinus = false;
  for (const Row& r : expected) sawMinus = sawMinus || r.sstart > r.send;
  EXPECT_TRUE(sawMinus);
}

}  // namespace
