// The map record: profile, scores, classes, labels, preparation, the sort and the TSV form.
#include "vistram/mapper/stat_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <numeric>
#include <random>

#include "vistram/platform/recording_platform.h"
#include "vistram/results/records.h"

namespace {

struct TestAlignment {
  std::string query, subject, stats;
  int queryStart = 1, subjectStart = 1;
  double score = -1;
};

int Residues(const std::string& line) { return static_cast<int>(std::count_if(line.begin(), line.end(), [](char c) { return c != '-'; })); }

// A hit with its alignments (all selected) appended to a working set built in memory.
HspData& AddTestHit(DataProgram& dp, const std::string& id, std::initializer_list<TestAlignment> alis) {
  if (!dp.hits) dp.hits = std::make_shared<HitList>();
  auto& hit = dp.hits->emplace_back(std::make_unique<HspData>());
  hit->number = static_cast<int>(dp.hits->size());
  hit->identifier = id, hit->description = "DESCRIPTION OF " + id;
  for (const TestAlignment& t : alis) {
    AliData& a = *hit->alignments.emplace_back(std::make_unique<AliData>());
    std::tie(a.queryLine, a.subjectLine, a.statsText, a.score, a.queryStart, a.subjectStart) =
        std::tie(t.query, t.subject, t.stats, t.score, t.queryStart, t.subjectStart);
    a.queryEnd = t.queryStart + Residues(t.query) - 1, a.subjectEnd = t.subjectStart + Residues(t.subject) - 1;
    hit->selected.push_back(1);
  }
  hit->alignmentCount = static_cast<int>(hit->alignments.size());
  dp.alignmentCount += hit->alignmentCount;
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  return *hit;
}

TEST(MapProfile, CoverageAndIdentityPerQueryPosition) {
  // {case, alignments, query length, coverage, identity}
  const std::tuple<const char*, std::vector<TestAlignment>, int, std::vector<int>, std::vector<float>> cases[] = {
      // A query gap: the residue opposite adds nothing, later columns count at the following positions.
      {"query gap", {{"AC-DE", "ACWDF", "", 2}}, 6, {0, 1, 1, 1, 1, 0}, {0, 100, 100, 100, 0, 0}},
      {"subject gap", {{"ACDE", "A-DE", "", 1}}, 4, {1, 0, 1, 1}, {100, 0, 100, 100}},
      {"two identical overlaps", {{"ACD", "ACD", "", 1}, {"CD", "CD", "", 2}}, 3, {1, 2, 2}, {100, 100, 100}},
      {"one identical, one different", {{"AC", "AC", "", 1}, {"C", "W", "", 2}}, 2, {1, 2}, {100, 50}},
      {"past the end", {{"ACDEF", "ACDEF", "", 3}}, 4, {0, 0, 1, 1}, {0, 0, 100, 100}},
      {"start at 0: what falls before 1 is skipped", {{"ACD", "ACD", "", 0}}, 3, {1, 1, 0}, {100, 100, 0}},
      {"stop codon and X", {{"A*X", "AKX", "", 1}}, 3, {1, 0, 1}, {100, 0, 100}}, {"query of one residue", {{"AC", "AC", "", 1}}, 1, {1}, {100}}};
  for (const auto& [name, alignments, L, coverage, identity] : cases) {
    DataProgram dp;
    dp.header.queryLength = L;
    for (const TestAlignment& a : alignments) AddTestHit(dp, "ID", {a});
    StatData stat;
    ASSERT_EQ(PrepareStatData(stat, dp, dp.alignmentCount, nullptr, nullptr), 1);
    EXPECT_EQ(std::vector<int>(stat.coverage.begin(), stat.coverage.end()), coverage) << name;
    EXPECT_EQ(std::vector<float>(stat.identity.begin(), stat.identity.end()), identity) << name;
  }
}

TEST(MapScore, ScoresClassesLabelsAndTrackTexts) {
  const std::tuple<const char*, double, int> scores[] = {  // read after the first '=' as a C integer
      {" Score =  123 bits (310), Expect = 2e-33", 123.5, 123}, {"Score=45.9 bits", -1, 45}, {"Score = -7", -1, -7},
      {"Score = 0x1A", -1, 26}, {"Score = 0x1", -1, 1}, {"Score = 0x", -1, 0}, {"Score = 010", -1, 8},
      {"Score = 09", -1, 0}, {"Score = bits", 50, 0}, {"Score = 99999999999999", -1, INT_MAX},
      // FASTA statistics have no '=': the alignment's score statistic.
      {"initn: 1274 init1: 1274 opt: 1274\nsmith-waterman score: 980;", 980.0, 980}, {"no equals sign", 40.5, 40},
      {"no equals sign", -1, -1}};
  for (const auto& [text, statistic, score] : scores) EXPECT_EQ(ReadStatScore(text, statistic), score) << text;
  StatData stat;
  SetDefaultScoreClasses(stat);
  const std::pair<int, int> classes[] = {{-1, -1}, {0, 0},   {40, 0},  {41, 1},    {50, 1},    {51, 2},      {80, 2},
                                         {81, 3},  {200, 3}, {201, 4}, {5000, 4}, {5001, -1}, {INT_MIN, -1}};
  for (auto [score, cls] : classes) EXPECT_EQ(ScoreClassOf(stat, score), cls) << score;
  EXPECT_EQ(StatLabel(3, "SP|P69905|HBA_HUMAN", 1, 141, 1), "   3.SP|P69905| (   1- 141)  1");
  const std::string longest = StatLabel(4000000000U, "0123456789", -1, 2000000000, 99);
  EXPECT_EQ(longest.substr(0, 22) + std::to_string(longest.size()), "4000000000.0123456789 39");
  stat.L = 1200;
  stat.coverage.assign(1200, 0), stat.identity.assign(1200, 0.0F);
  std::tie(stat.coverage[0], stat.identity[0], stat.coverage[1199], stat.identity[1199]) = std::tuple(3, 100.0F, 12, 66.666F);
  const std::pair<const char*, const char*> tips[] = {
      {"1", "   1/   3/100.0%"}, {"1200", "1200/  12/ 66.7%"}, {"2", "   2/   0/  0.0%"}, {"", " -  / -  /  -   %"},
      {"0", " -  / -  /  -   %"}, {"1201", " -  / -  /  -   %"}, {"12a", " -  / -  /  -   %"}, {"99999999999999", " -  / -  /  -   %"}};
  for (auto [text, tip] : tips) EXPECT_EQ(StatTrackText(stat, text), tip) << text;
}

struct CountingProgress : MapProgress {
  void Begin(std::uint32_t total) override { steps = "begin " + std::to_string(total); }
  void Step(std::uint32_t done, std::uint32_t total) override { steps += " " + std::to_string(done) + "/" + std::to_string(total); }
  void End() override { steps += " end"; }
  std::string steps;
};

TEST(MapPrepare, EntriesInHitAndAlignmentOrderAndRefusals) {
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  DataProgram dp;
  dp.header.queryLength = 10;
  AddTestHit(dp, "FIRST", {{"ACD", "ACD", "Score = 60", 1}, {"EF", "EF", "Score = 30", 5, 7}});
  AddTestHit(dp, "SECOND", {{"AC", "AC", "Score = 300", 2}}).description = std::string(150, 'D');
  AddTestHit(dp, "THIRD", {{"A", "A", "Score = 1", 1}}).selected[0] = 0;
  StatData stat;
  CountingProgress progress;
  ASSERT_EQ(PrepareStatData(stat, dp, dp.alignmentCount, &progress, nullptr), 1);
  ASSERT_TRUE(stat.entries.size() == 3 && stat.n == 3U && !stat.allSelected && stat.L == 10);
  const StatEntry& e = *stat.entries[1];
  EXPECT_EQ(e.label + " " + std::to_string(e.score) + " " + std::to_string(e.queryStart) + "-" + std::to_string(e.queryEnd), "   1.FIRST (   7-   8)  2 30 5-6");
  EXPECT_TRUE(stat.entries[2]->hitNumber == 2 && stat.entries[2]->description == std::string(99, 'D'));
  EXPECT_TRUE(stat.scaleTicks == 50U && stat.displayLines && stat.classCount == 5U);
  EXPECT_EQ(progress.steps, "begin 3 1/3 2/3 3/3 end");
  // A table made by a search keeps its hits' report numbers.
  dp.hits->back()->selected[0] = 1, dp.hits->back()->number = 417;
  ASSERT_TRUE(PrepareStatData(stat, dp, dp.alignmentCount, nullptr, nullptr) == 1 && stat.entries.size() == 4 && stat.allSelected);
  EXPECT_EQ(stat.entries[3]->label, " 417.THIRD (   1-   1)  1");
  EXPECT_TRUE(platform.Messages().empty());
  // {query length, a hit, selected, a selection flag without its alignment, message}
  for (const auto& [queryLength, hit, selected, extraFlag, message] : {
           std::tuple{10, true, false, false, "Mapper|No sequences selected."}, {10, false, false, false, "Mapper|No sequences selected."},
           {0, true, true, false, "Mapper|Unknown query size."}, {10, true, true, true, "Mapper|Unable to prepare map."}}) {
    platform.Clear();
    DataProgram refused;
    refused.header.queryLength = queryLength;
    if (hit) AddTestHit(refused, "A", {{"AC", "AC", "", 1}}).selected = extraFlag ? std::vector<int>{1, 1} : std::vector<int>{selected};
    StatData none;
    EXPECT_TRUE(PrepareStatData(none, refused, hit ? 1 + extraFlag : 0, &progress, nullptr) == 0 && none.entries.empty()) << message;
    ASSERT_EQ(platform.Messages().size(), 1U);
    EXPECT_EQ(platform.Messages()[0].caption + "|" + platform.Messages()[0].text, message);
  }
  SetCurrentPlatform(nullptr);
}

// The fast sort gives the plain selection sort's exchanges, ties included.
TEST(MapSort, SameOrderAsThePlainSelectionSort) {
  std::mt19937 rng(20261207);
  for (int round = 0; round < 60; ++round) {
    const std::size_t n = round < 10 ? static_cast<std::size_t>(round) : 1 + rng() % 700;
    const long long distinct = 1 + static_cast<long long>(rng() % (round % 3 == 0 ? 4 : 60));
    std::vector<long long> keys(n);  // the first rounds' few keys in falling order
    for (std::size_t i = 0; i < n; ++i) keys[i] = round < 10 ? -static_cast<long long>(i) : static_cast<long long>(rng() % static_cast<unsigned>(distinct)) * 7 - 3;
    std::vector<std::uint32_t> plainOrder(n);
    std::iota(plainOrder.begin(), plainOrder.end(), 0U);
    std::vector<std::uint32_t> fastOrder = plainOrder;
    std::vector<long long> plainKeys = keys, fastKeys = keys;
    SelectionSortPlain(plainKeys, plainOrder);
    SelectionSortOrder(fastKeys, fastOrder);
    ASSERT_TRUE(fastOrder == plainOrder && fastKeys == plainKeys && std::is_sorted(fastKeys.begin(), fastKeys.end())) << "round " << round << ", n " << n;
  }
}

TEST(MapSort, SortByQueryStartUndoAndTsv) {
  DataProgram dp;
  dp.header.queryLength = 100;
  AddTestHit(dp, "H1", {{"A", "A", "", 50}, {"A", "A", "", 10}, {"A", "A", "", 30}});
  AddTestHit(dp, "H2", {{"A", "A", "", 10}});
  AddTestHit(dp, "H3", {{"A", "A", "", 5}, {"A", "A", "", 70}});
  StatData stat;
  ASSERT_EQ(PrepareStatData(stat, dp, dp.alignmentCount, nullptr, nullptr), 1);
  const auto order = [&](void (*sort)(StatData&), std::string out = "") {
    sort(stat);
    for (const auto& e : stat.entries) out += std::to_string(e->hitNumber) + "." + std::to_string(e->alignmentNumber) + " ";
    return out + std::to_string(stat.sorted);
  };
  EXPECT_EQ(order(Tri_StatData), "3.1 1.2 2.1 1.3 1.1 3.2 1");  // 1.2 and 2.1 both start at 10: the first met stays first
  EXPECT_EQ(order(UndoTri_StatData), "1.2 1.3 1.1 2.1 3.1 3.2 0");  // hit order; hit 1's alignments as the exchanges left them
  DataProgram small;
  small.header.queryLength = 3;
  AddTestHit(small, "AB", {{"AC", "AW", "Score = 45", 2}});
  AddTestHit(small, "CD", {{"A", "A", "Score = 6000", 1}});
  ASSERT_EQ(PrepareStatData(stat, small, 2, nullptr, nullptr), 1);
  EXPECT_EQ(StatDataTsv(stat), "bar\t1\t   1.AB (   1-   2)  1\t45\t2\t2\t3\nbar\t2\t   2.CD (   1-   1)  1\t6000\t0\t1\t1\n"
                               "position\t1\t1\t100.0\nposition\t2\t1\t100.0\nposition\t3\t1\t0.0\n");
}

}  // namespace
