#include "vistram/results/search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/search_tables.h"
#include "support/recording_view.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/fasta_parser.h"
#include "vistram/results/load_flow.h"
#include "vistram/results/result_view.h"

namespace {

using Texts = std::vector<std::string>;

class Searches : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentPlatform(&platform_);
    AddSearchTables(dp_);
  }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  Texts Messages() {
    Texts t;
    for (const auto& m : platform_.Messages()) t.push_back(m.text);
    platform_.Clear();
    return t;
  }
  HspData& Hit(int table, int hit) {
    return *(*dp_.tables[static_cast<std::size_t>(table)]->hits)[static_cast<std::size_t>(hit)];
  }

  RecordingPlatform platform_;
  DataProgram dp_;
  SearchTable out_;
};

TEST_F(Searches, StringFinderRefusesCopiesAndSelects) {
  EXPECT_EQ(StringFinderSearch(dp_, nullptr, {}, "kinase", true, &out_), kSearchRefused);
  EXPECT_EQ(StringFinderSearch(dp_, nullptr, {0}, "", true, &out_), kSearchRefused);
  EXPECT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "phosphatase", true, &out_), kSearchNothing);
  EXPECT_EQ(Messages(), (Texts{"No table(s) selected.\nPlease retry.", "No keyword to search for.\nPlease retry.",
                               "The keyword was not found."}));
  EXPECT_FALSE(out_.hits);

  // "KIN" in P12345's and P12345 B's texts in table one, P22222's in table two:
  // copies from two tables get an unknown header.
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "kin", true, &out_), kSearchCopied);
  ASSERT_EQ(out_.hits->size(), 3u);
  EXPECT_EQ(Messages(), Texts{"Keyword found in : 3 / 5."});
  EXPECT_EQ(std::tie(out_.name, out_.header.queryName, out_.header.queryLengthText, out_.header.databaseText),
            std::make_tuple(std::string("Search for : KIN"), std::string("unknown"), std::string("(0 letters)"),
                            std::string("unknown name|undefined size")));
  EXPECT_EQ(std::tie(out_.header.resultType, out_.alignmentCount), std::make_tuple(int(kResultMixed), 5));
  // From one table: its header; renumbered deep copies that name their source.
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "yeast", true, &out_), kSearchCopied);
  ASSERT_EQ(out_.hits->size(), 1u);
  EXPECT_EQ(std::tie(out_.header.queryName, out_.header.queryLength), std::make_tuple(std::string("one_QUERY"), 100));
  const HspData& copy = *(*out_.hits)[0];
  EXPECT_EQ(
      std::tie(copy.number, copy.identifier, copy.alignments[0]->sourceHitNumber, copy.alignments[0]->sourceTableIndex),
      std::make_tuple(1, std::string("P12345 B"), 3, 0));
  copy.alignments[0]->queryLine = "XXX";
  EXPECT_EQ(Hit(0, 2).alignments[0]->queryLine, "VIL");

  // "!" negates; copies start unselected.
  Hit(0, 1).selected = {1};
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "!kinase", true, &out_), kSearchCopied);
  ASSERT_EQ(out_.hits->size(), 2u);
  EXPECT_EQ(std::tie((*out_.hits)[0]->identifier, (*out_.hits)[1]->identifier),
            std::make_tuple(std::string("Q99999"), std::string("P11111")));
  EXPECT_EQ((*out_.hits)[0]->selected, std::vector<int>{0});
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {1}, "kinase", false, nullptr), kSearchSelected);
  EXPECT_EQ(std::tie(Hit(1, 1).selected, Hit(1, 0).selected, Hit(0, 0).selected),  // table one was not searched
            std::make_tuple(std::vector<int>{1, 1}, std::vector<int>{0}, std::vector<int>{0, 0}));
}

TEST_F(Searches, IdAnalyserGroupsByFirstWordLargestFirst) {
  ASSERT_EQ(AddSearchTable(dp_, "three", {{"P99 A", " X", {1}}, {"P12345 A", " X", {1}}, {"P12345 B", " Y", {2, 3}}}),
            1);
  ASSERT_EQ(IdAnalyse(dp_, nullptr, {2}, &out_), kSearchCopied);
  ASSERT_EQ(out_.hits->size(), 2u);
  const HspData& g = *(*out_.hits)[0];
  EXPECT_EQ(std::tie(g.identifier, g.alignmentCount, g.scoreText, g.expectText, g.number, g.selected),
            std::make_tuple(std::string("P12345"), 3, std::string("-"), std::string("-"), 1, std::vector<int>(3)));
  EXPECT_EQ(g.alignments[2]->sourceHitNumber, 3);
  EXPECT_EQ(std::tie((*out_.hits)[1]->identifier, (*out_.hits)[1]->number), std::make_tuple(std::string("P99"), 2));
  EXPECT_EQ(std::tie(out_.alignmentCount, out_.name, out_.header.databaseText),
            std::make_tuple(4, std::string("ID-analysis"), std::string("unknown name|undefined size")));
  ASSERT_EQ(IdAnalyse(dp_, nullptr, {0, 1}, &out_), kSearchCopied);  // across tables
  EXPECT_EQ(out_.hits->size(), 4u);                                  // P12345 (twice), Q99999, P11111, P22222
  EXPECT_EQ(IdAnalyse(dp_, nullptr, {}, &out_), kSearchNothing);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(Searches, FieldSearchRangesRefusalsAndSelection) {
  for (const auto& [from, to] : std::vector<std::pair<const char*, const char*>>{
           {"", "5"}, {"1", ""}, {"abc", "5"}, {"5", "abc"}, {"1e999", "5"}})
    EXPECT_EQ(FieldSearch(dp_, nullptr, {0}, 0, from, to, true, &out_), kSearchRefused) << from << " " << to;
  EXPECT_EQ(FieldSearch(dp_, nullptr, {}, 0, "1", "2", true, &out_), kSearchRefused);
  Texts expected(5, "Invalid range. Please retry.");
  expected.push_back("No table(s) selected.\nPlease retry.");
  EXPECT_EQ(Messages(), expected);
  EXPECT_EQ(FieldSearch(dp_, nullptr, {0}, 0, "10", "5", true, &out_), kSearchNothing);  // reversed
  EXPECT_EQ(Messages(), Texts{"No entries found during the search."});
  ASSERT_EQ(FieldSearch(dp_, nullptr, {0}, 1, "e-2", "0.035", true, &out_), kSearchCopied);  // "e-2" is 1e-2
  EXPECT_EQ(out_.alignmentCount, 2);
  // A statistic the FASTA table does not have stops the search.
  EXPECT_EQ(FieldSearch(dp_, nullptr, {0}, 6, "0", "1", true, &out_), kSearchNothing);
  EXPECT_EQ(Messages(), (Texts{"Keyword found in : 2 / 4.", "You search with a invalid field.",
                               "No entries found during the search."}));
  ASSERT_EQ(FieldSearch(dp_, nullptr, {0}, 0, "30", "50", true, &out_), kSearchCopied);  // both ends inside
  EXPECT_EQ(out_.alignmentCount, 3);
  // A bound too small for a double reads as 0; a table number past the last is skipped.
  EXPECT_EQ(FieldSearch(dp_, nullptr, {0}, 1, "1e-400", "0.025", true, &out_), kSearchCopied);
  EXPECT_EQ(FieldSearch(dp_, nullptr, {2}, 0, "0", "100", true, &out_), kSearchNothing);

  // Selecting sets exactly the matches of a hit that has one.
  Hit(1, 1).selected = {1, 0};
  Hit(1, 0).selected = {1};
  ASSERT_EQ(FieldSearch(dp_, nullptr, {1}, 0, "50", "100", false, nullptr), kSearchSelected);
  EXPECT_EQ(std::tie(Hit(1, 1).selected, Hit(1, 0).selected),
            std::make_tuple(std::vector<int>{0, 1}, std::vector<int>{1}));
  ASSERT_EQ(FieldSearch(dp_, nullptr, {0, 1}, 5, "0", "100", true, &out_), kSearchNothing);  // no positives
  Messages();
  ASSERT_EQ(FieldSearch(dp_, nullptr, {0, 1}, 0, "35", "100", true, &out_), kSearchCopied);
  EXPECT_EQ(Messages(), Texts{"Keyword found in : 3 / 7."});
  ASSERT_EQ(out_.hits->size(), 2u);
  EXPECT_EQ((*out_.hits)[0]->alignmentCount, 2);
  EXPECT_EQ(std::tie((*out_.hits)[1]->identifier, (*out_.hits)[1]->alignmentCount),
            std::make_tuple(std::string("P22222"), 1));
  EXPECT_DOUBLE_EQ((*out_.hits)[1]->alignments[0]->score, 60);
  EXPECT_EQ(std::tie(out_.alignmentCount, out_.name, out_.header.queryName),
            std::make_tuple(3, std::string("FD-S on: score"), std::string("unknown")));
  ASSERT_EQ(FieldSearch(dp_, nullptr, {1}, 6, "0", "1", true, &out_), kSearchCopied);  // P(N) of a BLAST table
  EXPECT_EQ(std::tie(out_.name, out_.header.queryName),
            std::make_tuple(std::string("FD-S on: P(N)       "), std::string("two_QUERY")));
}

TEST_F(Searches, ACopiedTableBecomesAFurtherTableOfTheFile) {
  test_support::RecordingView view;
  ActivateTable(dp_, view, 1);
  ASSERT_EQ(StringFinderSearch(dp_, nullptr, {0, 1}, "kinase", true, &out_), kSearchCopied);
  ASSERT_TRUE(ShowSearchTable(dp_, view, std::move(out_)));
  EXPECT_EQ(std::tie(dp_.tableCount, dp_.currentTable, view.comboCurrent, dp_.tableNameCount),
            std::make_tuple(3, 2, 2, 1));
  const TableEntry& t = *dp_.tables[2];
  EXPECT_EQ(std::tie(t.name, t.sourcePath, t.hitCount, t.alignmentCount, t.header.resultType),
            std::make_tuple(std::string("Search for : KINASE"), std::string(), 3u, 5, int(kResultMixed)));
  EXPECT_EQ(dp_.tableNames[0] + "|" + view.shown.back(), "Search for : KINASE|Search for : KINASE 1,1");
  EXPECT_EQ((*t.hits)[2]->alignments[0]->sourceTableIndex, 1);  // the copies still name their tables
  ActivateTable(dp_, view, 1);
  EXPECT_EQ(dp_.hits->size(), 2u);  // the table shown before is intact
  // A selection shows the current alignment again.
  ASSERT_EQ(FieldSearch(dp_, nullptr, {1}, 0, "0", "6", false, nullptr), kSearchSelected);
  ShowSearchSelection(dp_, view);
  EXPECT_EQ(view.shown.back(), "two 1,1");
  EXPECT_EQ(Hit(1, 1).selected, (std::vector<int>{1, 0}));
}

// A real report: the alignments of one ssearch hit kept by their expect value.
TEST_F(Searches, FieldSearchOverALoadedFastaReport) {
  DataProgram dp;
  ASSERT_EQ(LitFastaForListBox(nullptr, nullptr, dp,
                               std::string(VISTRAM_TEST_DATA_DIR) + "/fasta/bioperl_issue255_ssearch.fasta", 7),
            kFastaOk);
  dp.tableName = "issue255";
  ASSERT_EQ(CreateTableEntry(dp), 1);
  ASSERT_EQ(FieldSearch(dp, nullptr, {0}, 1, "0", "1e-6", true, &out_), kSearchCopied);
  ASSERT_EQ(out_.hits->size(), 1u);
  EXPECT_EQ(std::tie((*out_.hits)[0]->alignmentCount, (*out_.hits)[0]->alignments[0]->subjectStart),
            std::make_tuple(1, 82));
  EXPECT_EQ(std::tie(out_.header.queryName, out_.name),
            std::make_tuple(std::string("A3_100BP_START38"), std::string("FD-S on: expect")));
}

}  // namespace
