#include "vistram/results/search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_view.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/load_flow.h"
#include "vistram/results/result_view.h"

namespace {

struct HitSpec {
  std::string identifier;
  std::string description;
  std::vector<double> scores;  // one alignment per score
};

// Adds a table made of `hits` to dp (as a load would: working set, then table).
int AddTable(DataProgram& dp, const std::string& name, const std::vector<HitSpec>& hits, int resultType = 3) {
  dp.hits = std::make_shared<HitList>();
  const int tableIndex = static_cast<int>(dp.tables.size());
  int total = 0;
  for (const HitSpec& want : hits) {
    auto h = std::make_unique<HspData>();
    h->number = static_cast<int>(dp.hits->size()) + 1;
    h->identifier = want.identifier;
    h->description = want.description;
    h->scoreText = "12";
    for (double s : want.scores) {
      auto a = std::make_unique<AliData>();
      a->ClearStatistics();
      a->score = s;
      a->expect = s / 1000;
      if (resultType != 3) a->pValue = 0.5;
      a->queryLine = "VIL";
      a->sourceTableIndex = tableIndex;
      a->sourceHitNumber = h->number;
      h->alignments.push_back(std::move(a));
    }
    h->alignmentCount = static_cast<int>(h->alignments.size());
    h->selected.assign(h->alignments.size(), 0);
    total += h->alignmentCount;
    dp.hits->push_back(std::move(h));
  }
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  dp.viewHitCount = static_cast<int>(dp.hits->size());
  dp.alignmentCount = total;
  dp.header = HeaderBlock{};
  dp.header.queryName = name + "_QUERY";
  dp.header.queryLength = 100;
  dp.header.resultType = resultType;
  dp.tableName = name;
  EXPECT_EQ(CreateTableEntry(dp), 1);
  return tableIndex;
}

class Searches : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    AddTable(dp_, "one",
             {{"P12345", " PROTEIN KINASE C", {50, 40}},
              {"Q99999", " HEMOGLOBIN", {30}},
              {"KIN1_YEAST", " SERINE KINASE", {20}}});
    AddTable(dp_, "two", {{"P11111", " CYTOCHROME", {10}}, {"P22222", " TYROSINE KINASE", {5, 60}}}, 1);
  }
  void TearDown() override { SetCurrentPlatform(nullptr); }

  std::vector<std::string> Texts() {
    std::vector<std::string> t;
    for (const auto& m : platform_.Messages()) t.push_back(m.text);
    platform_.Clear();
    return t;
  }
  HspData& Hit(int table, int hit) { return *(*dp_.tables[static_cast<std::size_t>(table)]->hits)[static_cast<std::size_t>(hit)]; }

  RecordingPlatform platform_;
  DataProgram dp_;
};

TEST_F(Searches, StringFinderRefusals) {
  SearchTable out;
  EXPECT_EQ(StringFinderSearch(dp_, nullptr, {}, "kinase", true, &out), kSearchRefused);
  EXPECT_EQ(StringFinderSearch(dp_, nullptr, {0}, "", true, &out), kSearchRefused);
  EXPECT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "phosphatase", true, &out), kSearchNothing);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"No table(s) selected.\nPlease retry.",
                                               "No keyword to search for.\nPlease retry.",
                                               "The keyword was not found."}));
  EXPECT_FALSE(out.hits);
}

TEST_F(Searches, StringFinderCopiesFromOneTableWithItsHeader) {
  SearchTable out;
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "kin", true, &out), kSearchCopied);
  // "KIN" is in P12345's and KIN1_YEAST's texts in table one, P22222's in table two.
  ASSERT_EQ(out.hits->size(), 3u);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Keyword found in : 3 / 5."});
  EXPECT_EQ(out.name, "Search for : KIN");
  EXPECT_EQ(out.header.queryName, "unknown");
  EXPECT_EQ(out.header.queryLengthText, "(0 letters)");
  EXPECT_EQ(out.header.databaseText, "unknown name|undefined size");
  EXPECT_EQ(out.header.resultType, kResultMixed);
  EXPECT_EQ(out.alignmentCount, 5);

  SearchTable single;
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "yeast", true, &single), kSearchCopied);
  ASSERT_EQ(single.hits->size(), 1u);
  EXPECT_EQ(single.header.queryName, "one_QUERY");
  EXPECT_EQ(single.header.queryLength, 100);
  const HspData& copy = *(*single.hits)[0];
  EXPECT_EQ(copy.number, 1);  // renumbered
  EXPECT_EQ(copy.identifier, "KIN1_YEAST");
  EXPECT_EQ(copy.alignments[0]->sourceHitNumber, 3);  // the source stays traceable
  EXPECT_EQ(copy.alignments[0]->sourceTableIndex, 0);
  // A deep copy: the source is untouched by changes to it.
  copy.alignments[0]->queryLine = "XXX";
  EXPECT_EQ(Hit(0, 2).alignments[0]->queryLine, "VIL");
}

TEST_F(Searches, StringFinderNegationAndSelection) {
  Hit(0, 1).selected = {1};
  SearchTable out;
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "!kinase", true, &out), kSearchCopied);
  ASSERT_EQ(out.hits->size(), 2u);
  EXPECT_EQ((*out.hits)[0]->identifier, "Q99999");
  EXPECT_EQ((*out.hits)[1]->identifier, "P11111");
  EXPECT_EQ((*out.hits)[0]->selected, std::vector<int>{0});  // copies start unselected

  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {1}, "kinase", false, nullptr), kSearchSelected);
  EXPECT_EQ(Hit(1, 1).selected, (std::vector<int>{1, 1}));
  EXPECT_EQ(Hit(1, 0).selected, std::vector<int>{0});
  EXPECT_EQ(Hit(0, 0).selected, (std::vector<int>{0, 0}));  // table one was not searched
}

TEST_F(Searches, IdAnalyserGroupsByFirstWordLargestFirst) {
  AddTable(dp_, "three", {{"P99 A", " X", {1}}, {"P12345 A", " X", {1}}, {"P12345 B", " Y", {2, 3}}});
  SearchTable out;
  ASSERT_EQ(IdAnalyse(dp_, nullptr, {2}, &out), kSearchCopied);
  ASSERT_EQ(out.hits->size(), 2u);
  const HspData& g = *(*out.hits)[0];
  EXPECT_EQ(g.identifier, "P12345");
  EXPECT_EQ(g.alignmentCount, 3);
  EXPECT_EQ(g.selected, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(g.scoreText, "-");
  EXPECT_EQ(g.expectText, "-");
  EXPECT_EQ(g.number, 1);
  EXPECT_EQ(g.alignments[2]->sourceHitNumber, 3);
  EXPECT_EQ((*out.hits)[1]->identifier, "P99");
  EXPECT_EQ((*out.hits)[1]->number, 2);
  EXPECT_EQ(out.alignmentCount, 4);
  EXPECT_EQ(out.name, "ID-analysis");
  EXPECT_EQ(out.header.databaseText, "unknown name|undefined size");
  // Across tables, and nothing to do without one.
  ASSERT_EQ(IdAnalyse(dp_, nullptr, {0, 1}, &out), kSearchCopied);
  EXPECT_EQ(out.hits->size(), 5u);
  EXPECT_EQ(IdAnalyse(dp_, nullptr, {}, &out), kSearchNothing);
  EXPECT_TRUE(Texts().empty());
}

TEST_F(Searches, FieldSearchRangesAndRefusals) {
  SearchTable out;
  struct Case {
    const char* from;
    const char* to;
  } refused[] = {{"", "5"}, {"1", ""}, {"abc", "5"}, {"1e999", "5"}};
  for (const Case& c : refused)
    EXPECT_EQ(FieldSearch(dp_, nullptr, {0}, 0, c.from, c.to, true, &out), kSearchRefused) << c.from << c.to;
  EXPECT_EQ(FieldSearch(dp_, nullptr, {}, 0, "1", "2", true, &out), kSearchRefused);
  std::vector<std::string> expected(4, "Invalid range. Please retry.");
  expected.push_back("No table(s) selected.\nPlease retry.");
  EXPECT_EQ(Texts(), expected);
  // A reversed range finds nothing; "e-2" is read as 1e-2.
  EXPECT_EQ(FieldSearch(dp_, nullptr, {0}, 0, "10", "5", true, &out), kSearchNothing);
  EXPECT_EQ(Texts(), std::vector<std::string>{"No entries found during the search."});
  ASSERT_EQ(FieldSearch(dp_, nullptr, {0}, 1, "e-2", "0.035", true, &out), kSearchCopied);
  EXPECT_EQ(out.alignmentCount, 2);  // expects 0.02 and 0.03
  // A statistic the FASTA table does not have stops the search.
  EXPECT_EQ(FieldSearch(dp_, nullptr, {0}, 6, "0", "1", true, &out), kSearchNothing);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Keyword found in : 2 / 4.", "You search with a invalid field.",
                                               "No entries found during the search."}));
  // Both ends of a range are inside it: scores 30, 40 and 50 of table one.
  ASSERT_EQ(FieldSearch(dp_, nullptr, {0}, 0, "30", "50", true, &out), kSearchCopied);
  EXPECT_EQ(out.alignmentCount, 3);
  // A bound too small for a double reads as 0 (only an infinite one is refused);
  // a table number past the last table is skipped.
  EXPECT_EQ(FieldSearch(dp_, nullptr, {0}, 1, "1e-400", "0.025", true, &out), kSearchCopied);
  EXPECT_EQ(FieldSearch(dp_, nullptr, {2}, 0, "0", "100", true, &out), kSearchNothing);
}

TEST_F(Searches, FieldSearchSelectsExactlyTheMatchesAndCopiesThem) {
  Hit(1, 1).selected = {1, 0};
  Hit(1, 0).selected = {1};
  ASSERT_EQ(FieldSearch(dp_, nullptr, {1}, 0, "50", "100", false, nullptr), kSearchSelected);
  EXPECT_EQ(Hit(1, 1).selected, (std::vector<int>{0, 1}));
  EXPECT_EQ(Hit(1, 0).selected, std::vector<int>{1});  // no match: flags kept

  SearchTable out;
  ASSERT_EQ(FieldSearch(dp_, nullptr, {0, 1}, 5, "0", "100", true, &out), kSearchNothing);  // positives: none
  platform_.Clear();
  ASSERT_EQ(FieldSearch(dp_, nullptr, {0, 1}, 0, "35", "100", true, &out), kSearchCopied);
  EXPECT_EQ(Texts(), std::vector<std::string>{"Keyword found in : 3 / 7."});
  ASSERT_EQ(out.hits->size(), 2u);
  EXPECT_EQ((*out.hits)[0]->alignmentCount, 2);
  EXPECT_EQ((*out.hits)[1]->identifier, "P22222");
  ASSERT_EQ((*out.hits)[1]->alignmentCount, 1);
  EXPECT_DOUBLE_EQ((*out.hits)[1]->alignments[0]->score, 60);
  EXPECT_EQ(out.alignmentCount, 3);
  EXPECT_EQ(out.name, "FD-S on: score");
  EXPECT_EQ(out.header.queryName, "unknown");

  AddTable(dp_, "blast", {{"B1", " X", {5}}}, 1);
  ASSERT_EQ(FieldSearch(dp_, nullptr, {2}, 6, "0", "1", true, &out), kSearchCopied);
  EXPECT_EQ(out.name, "FD-S on: P(N)       ");
  EXPECT_EQ(out.header.queryName, "blast_QUERY");
}

using test_support::RecordingView;

TEST_F(Searches, ACopiedTableBecomesAFurtherTableOfTheFile) {
  RecordingView view;
  ActivateTable(dp_, view, 1);
  SearchTable out;
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "kinase", true, &out), kSearchCopied);
  ASSERT_TRUE(ShowSearchTable(dp_, view, std::move(out)));
  ASSERT_EQ(dp_.tableCount, 3);
  EXPECT_EQ(dp_.currentTable, 2);
  EXPECT_EQ(view.comboCurrent, 2);
  const TableEntry& t = *dp_.tables[2];
  EXPECT_EQ(t.name, "Search for : KINASE");
  EXPECT_EQ(t.sourcePath, "");
  EXPECT_EQ(t.hitCount, 3u);
  EXPECT_EQ(t.alignmentCount, 5);
  EXPECT_EQ(t.header.resultType, kResultMixed);
  ASSERT_EQ(dp_.tableNameCount, 1);
  EXPECT_EQ(dp_.tableNames[0], "Search for : KINASE");
  // The copies still name the tables they came from.
  EXPECT_EQ((*t.hits)[2]->alignments[0]->sourceTableIndex, 1);
  EXPECT_EQ(view.shown.back(), "Search for : KINASE 1,1");
  // The table that was shown before is intact and can be shown again.
  EXPECT_EQ(dp_.tables[1]->hitCount, 2u);
  ActivateTable(dp_, view, 1);
  EXPECT_EQ(dp_.hits->size(), 2u);

  // A selection shows the current alignment again.
  ASSERT_EQ(FieldSearch(dp_, nullptr, {1}, 0, "0", "6", false, nullptr), kSearchSelected);
  ShowSearchSelection(dp_, view);
  EXPECT_EQ(view.shown.back(), "two 1,1");
  EXPECT_EQ(Hit(1, 1).selected, (std::vector<int>{1, 0}));
}

// A real report: the alignments of one ssearch hit kept by their expect value.
TEST(SearchOnReports, FieldSearchOverALoadedFastaReport) {
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  DataProgram dp;
  ASSERT_EQ(LitFastaForListBox(nullptr, nullptr, dp, std::string(VISTRAM_TEST_DATA_DIR) +
                                                            "/fasta/bioperl_issue255_ssearch.fasta", 7),
            kFastaOk);
  dp.tableName = "issue255";
  ASSERT_EQ(CreateTableEntry(dp), 1);
  SearchTable out;
  ASSERT_EQ(FieldSearch(dp, nullptr, {0}, 1, "0", "1e-6", true, &out), kSearchCopied);
  ASSERT_EQ(out.hits->size(), 1u);
  EXPECT_EQ((*out.hits)[0]->alignmentCount, 1);
  EXPECT_EQ((*out.hits)[0]->alignments[0]->subjectStart, 82);
  EXPECT_EQ(out.header.queryName, "A3_100BP_START38");
  EXPECT_EQ(out.name, "FD-S on: expect");
  SetCurrentPlatform(nullptr);
}

}  // namespace
