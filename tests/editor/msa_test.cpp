// Building the MSA from selected alignments, the consensus and the colours.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "vistram/editor/msa.h"

namespace {

TEST(MsaBuild, PlacesEachAlignmentOnTheQueryCoordinates) {
  struct Case {
    const char* what;
    TestHsp hsp;
    int queryLength;
    std::string queryRow, subjectRow, matchRow;
  };
  const Case cases[] = {
      {"plain", {"ACDE", "AC E", "ACYE", 2, 5, 8}, 6, ".ACDE.", ".ACYE.", ".AC E."},
      // Subject residues opposite query gaps are dropped; the next ones follow on.
      {"query gaps", {"AC--DE", "AC  DE", "ACGGDE", 1, 1, 6}, 5, "ACDE.", "ACDE.", "ACDE."},
      // A subject gap leaves '.', its match position takes the match character.
      {"subject gap", {"ACDE", "A  E", "A--E", 1, 1, 2}, 4, "ACDE", "A..E", "A  E"},
      // Lower-case residues are copied as they are; a non-letter query character is kept.
      {"lower case and X*", {"acD*", "    ", "gcD*", 1, 1, 4}, 4, "acD*", "gcD.", "    "},
      // Positions past the query's end are not written.
      {"overhang", {"ACDEF", "ACDEF", "ACDEF", 3, 1, 5}, 4, "..AC", "..AC", "..AC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DataProgram dp = MakeWorkingSet({{c.hsp}}, c.queryLength);
    auto msa = BuildMsaFromAlignments(dp, ListSelectedAlignments(dp));
    ASSERT_NE(msa, nullptr);
    ASSERT_EQ(msa->SequenceCount(), 2);
    EXPECT_EQ(msa->rows[0]->residues, c.queryRow);
    EXPECT_EQ(msa->rows[1]->residues, c.subjectRow);
    EXPECT_EQ(msa->rows[1]->matchLine, c.matchRow);
    EXPECT_EQ(msa->rows[0]->matchLine, std::string(static_cast<std::size_t>(c.queryLength), '.'));
    EXPECT_EQ(msa->consensusThreshold, 1);
  }
}

TEST(MsaBuild, RowsNamesOrderAndRecordState) {
  const DataProgram dp = MakeWorkingSet(
      {{{"ACDE", "ACDE", "ACDE", 1, 3, 6}, {"DEF", "DEF", "DEF", 3, 120, 1234}}, {{"FGH", "F H", "FAH", 6, 10, 12}}}, 10);
  auto msa = BuildMsaFromAlignments(dp, ListSelectedAlignments(dp));
  ASSERT_NE(msa, nullptr);
  ASSERT_EQ(msa->SequenceCount(), 4);
  EXPECT_EQ(msa->rows[0]->name, "QUERYNAME_");
  EXPECT_EQ(msa->rows[1]->name, "SP|P10001| (   3-   6) 1");
  EXPECT_EQ(msa->rows[2]->name, "SP|P10001| ( 120-1234) 2");
  EXPECT_EQ(msa->rows[3]->name, "SP|P10002| (  10-  12) 1");
  // Overlapping alignments write the same query residues again; uncovered positions stay '.'.
  EXPECT_EQ(msa->rows[0]->residues, "ACDEFFGH..");
  EXPECT_EQ(msa->columnCount, 10);
  EXPECT_EQ(msa->consensusThreshold, 2);
  EXPECT_EQ(msa->title, "/data/report.bla");
  EXPECT_EQ(msa->consensus.size(), 10u);
  EXPECT_EQ(msa->consensus[9], '.');
}

TEST(MsaBuild, SelectionOrderAndUnselectedAlignments) {
  DataProgram dp = MakeWorkingSet({{{"A", "A", "A"}, {"C", "C", "C"}}, {{"D", "D", "D"}}, {{"E", "E", "E"}}}, 3);
  (*dp.hits)[0]->selected[0] = 0;
  (*dp.hits)[2]->selected[0] = 0;
  (*dp.hits)[1]->selected.push_back(1);  // a flag without its alignment
  const std::vector<SelectedPair> pairs = ListSelectedAlignments(dp);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].hit, 1);
  EXPECT_EQ(pairs[0].alignment, 2);
  EXPECT_EQ(pairs[1].hit, 2);
  EXPECT_EQ(pairs[1].alignment, 1);
  // A pair that names no alignment makes the construction fail.
  EXPECT_EQ(BuildMsaFromAlignments(dp, {{1, 3}}), nullptr);
  EXPECT_EQ(BuildMsaFromAlignments(dp, {{9, 1}}), nullptr);
}

TEST(MsaConsensus, MajorityAtOrAboveTheThresholdWithoutTies) {
  struct Case {
    std::vector<std::string> rows;
    int threshold;
    std::string expected;
  };
  const Case cases[] = {
      {{"A", "A", "G"}, 1, "A"},
      {{"A", "G", "."}, 1, "."},   // a tie
      {{"A", "A", "A"}, 3, "A"},
      {{"A", "A", "G"}, 3, "."},   // below the threshold
      {{".", ".", "."}, 0, "."},   // no letter at all
      {{"a", "a", "G"}, 1, "G"},   // lower case is not counted
      {{"X", "*", "-"}, 0, "X"},
      {{"AC", "AD", "GD"}, 2, "AD"},
  };
  for (const Case& c : cases) {
    auto msa = MakeMsa(c.rows);
    std::string out;
    CreeConsensus(out, c.threshold, msa->columnCount, msa->SequenceCount(), msa->rows);
    EXPECT_EQ(out, c.expected) << c.rows[0] << " threshold " << c.threshold;
  }
}

TEST(MsaColours, LettersOfEitherCaseTakeTheirLetterColoursOthersBlackOnWhite) {
  ColourConfiguration colours;
  for (int i = 0; i < 26; ++i) {
    colours.text[static_cast<std::size_t>(i)] = 2 + i % 10;
    colours.back[static_cast<std::size_t>(i)] = 3 + i % 7;
  }
  std::vector<int> text, back;
  InitColorsString("Ac.-*z", text, back, colours);
  ASSERT_EQ(text.size(), 6u);
  EXPECT_EQ(text[0], colours.text[0]);
  EXPECT_EQ(back[0], colours.back[0]);
  EXPECT_EQ(text[1], colours.text[2]);   // 'c' as 'C'
  EXPECT_EQ(text[5], colours.text[25]);  // 'z' as 'Z'
  for (int i : {2, 3, 4}) {
    EXPECT_EQ(text[static_cast<std::size_t>(i)], 0);
    EXPECT_EQ(back[static_cast<std::size_t>(i)], 1);
  }
}

TEST(MsaColours, WithoutBackgroundEveryLetterIsOnWhite) {
  // The shipped configuration gives some letters a coloured background.
  const std::string config = std::string(VISTRAM_TEST_DATA_DIR) + "/../../data/vistram.cfg";
  std::vector<int> withText, withBack, withoutText, withoutBack;
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  InitColorsString(letters, withText, withBack, config, true);
  InitColorsString(letters, withoutText, withoutBack, config, false);
  // Without backgrounds, a letter whose text colour is white (proline) is
  // drawn black instead of vanishing; every other letter keeps its colour.
  for (std::size_t i = 0; i < letters.size(); ++i)
    EXPECT_EQ(withoutText[i], withText[i] == 1 ? 0 : withText[i]) << letters[i];
  EXPECT_EQ(withoutText[15], 0);
  EXPECT_NE(withBack, std::vector<int>(26, 1));
  EXPECT_EQ(withoutBack, std::vector<int>(26, 1));
}

}  // namespace
