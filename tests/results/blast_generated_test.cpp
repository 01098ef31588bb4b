// Reports written at test time by BLAST+ give the hits and coordinates of its own tabular output.

#include "results/blast_test_util.h"
#include "vistram/results/report_kind.h"

using namespace blasttest;

namespace {

using Row = std::tuple<std::string, std::string, int, int, int, int>;  // query, subject, qstart, qend, sstart, send
const std::vector<std::string> kTabular = {"-outfmt", "6 qseqid sseqid qstart qend sstart send"};
const std::string kLibrary = std::string(VISTRAM_TEST_DATA_DIR) + "/results/blastp_library.fa";
const std::string kQueries = std::string(VISTRAM_TEST_DATA_DIR) + "/results/blastp_queries.fa";

std::vector<Row> Tabular(const std::string& text) {
  std::vector<Row> rows;
  std::istringstream in(text);
  for (Row r;
       in >> std::get<0>(r) >> std::get<1>(r) >> std::get<2>(r) >> std::get<3>(r) >> std::get<4>(r) >> std::get<5>(r);)
    rows.push_back(r);
  return rows;
}

std::vector<Row> Ours(const Loaded& l) {
  std::vector<Row> rows;
  auto add = [&rows](const std::string& query, const HitList& hits) {
    for (const auto& h : hits)
      for (const auto& a : h->alignments)
        rows.emplace_back(query, h->identifier, a->queryStart, a->queryEnd, a->subjectStart, a->subjectEnd);
  };
  add(l.dp.header.queryName, *l.dp.hits);
  for (const LoadedSection& s : l.dp.extraSections) add(s.header.queryName, *s.hits);
  return rows;
}

std::vector<std::string> Args(std::vector<std::string> a, const std::vector<std::string>& more) {
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

class GeneratedReports : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    std::string out;
    if (!RunProgram({"blastp", "-version"}, out) || !RunProgram({"makeblastdb", "-version"}, out))
      GTEST_SKIP() << "BLAST+ is not installed";
  }
  // Runs `search` with each extra option list; checks each report against the tabular rows.
  std::unique_ptr<Loaded> Compare(const std::vector<std::string>& search, const std::vector<std::string>& extra) {
    std::string out, tab;
    const std::string report = dir_ / "r.out";
    EXPECT_TRUE(RunProgram(Args(Args(search, extra), {"-out", report}), out));
    EXPECT_TRUE(RunProgram(Args(search, kTabular), tab));
    auto l = Read(report, TestFichier(report));
    EXPECT_EQ(l->code, kBlastOk);
    const std::vector<Row> expected = Tabular(tab);
    EXPECT_GE(expected.size(), 2u);
    EXPECT_EQ(Ours(*l), expected);
    return l;
  }
};

TEST_F(GeneratedReports, BlastpTextAndHtmlWithTwoQueries) {
  std::string out;
  ASSERT_TRUE(
      RunProgram({"makeblastdb", "-in", kLibrary, "-dbtype", "prot", "-parse_seqids", "-out", dir_ / "db"}, out));
  const std::vector<std::string> search = {"blastp", "-query", kQueries, "-db", dir_ / "db"};
  auto t = Compare(search, {"-outfmt", "0"});
  EXPECT_EQ(t->dp.header.queryLength, 53);
  ASSERT_EQ(t->dp.extraSections.size(), 1u);
  EXPECT_EQ(t->dp.extraSections[0].header.queryLength, 49);
  EXPECT_EQ(t->hit(1).description, "FIRST TEST PROTEIN");
  EXPECT_DOUBLE_EQ(t->ali(1, 1).identityPercent, 100);
  Compare(search, {"-outfmt", "0", "-html"});
}

// "><a name=BL_ORD_ID:0></a> ALPHA1" (no sequence ids) and "><a name=Subject_1></a> ALPHA1" (a subject file).
TEST_F(GeneratedReports, BlastpHtmlAnchorsBeforeTheIdentifier) {
  const std::string query =
      dir_.Write("q.fa", ReadWholeFile(kQueries).substr(0, ReadWholeFile(kQueries).find(">QRY2")));
  std::string out;
  ASSERT_TRUE(RunProgram({"makeblastdb", "-in", kLibrary, "-dbtype", "prot", "-out", dir_ / "s"}, out));
  for (const auto& target : std::vector<std::vector<std::string>>{{"-db", dir_ / "s"}, {"-subject", kLibrary}}) {
    SCOPED_TRACE(target[0]);
    auto h = Compare(Args({"blastp", "-query", query}, target), {"-html"});
    EXPECT_EQ(h->hit(1).description, "FIRST TEST PROTEIN");
  }
}

TEST_F(GeneratedReports, BlastnMinusStrandKeepsThePrintedEnds) {
  const std::string forward = "ATGGCTAGCTAGGATCCGATCGATTACGGCATGCATGCCGTAGCTAGCTAGGCTAGCTAACGATCGATCGTAGCTAGCATCGA";
  std::string reverse;
  for (auto it = forward.rbegin(); it != forward.rend(); ++it)
    reverse.push_back(*it == 'A' ? 'T' : *it == 'T' ? 'A' : *it == 'G' ? 'C' : 'G');
  const std::string db = dir_.Write("n.fa", ">PLUS1 forward copy\nGGGGGGGGGG" + forward +
                                                "CCCCCCCCCC\n>MINUS1 reverse copy\nTTTTT" + reverse + "AAAAA\n");
  std::string out;
  ASSERT_TRUE(RunProgram({"makeblastdb", "-in", db, "-dbtype", "nucl", "-parse_seqids", "-out", dir_ / "n"}, out));
  auto t = Compare({"blastn", "-query", dir_.Write("nq.fa", ">NQ query\n" + forward + "\n"), "-db", dir_ / "n"},
                   {"-outfmt", "0"});
  bool sawMinus = false;
  for (const Row& r : Ours(*t)) sawMinus = sawMinus || std::get<4>(r) > std::get<5>(r);
  EXPECT_TRUE(sawMinus);
}

}  // namespace
