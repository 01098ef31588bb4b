// Building the MSA from selected alignments, the consensus and the colours.
#include <gtest/gtest.h>

#include "editor_test_support.h"

namespace {

TEST(MsaBuild, PlacesEachAlignmentOnTheQueryCoordinates) {
  // {case, alignment, query length, query row, subject row, its match line}
  const std::tuple<const char*, TestHsp, int, std::string, std::string, std::string> cases[] = {
      {"plain", {"ACDE", "AC E", "ACYE", 2, 5, 8}, 6, ".ACDE.", ".ACYE.", ".AC E."},
      {"query gaps", {"AC--DE", "AC  DE", "ACGGDE", 1, 1, 6}, 5, "ACDE.", "ACDE.", "ACDE."},
      {"subject gap", {"ACDE", "A  E", "A--E", 1, 1, 2}, 4, "ACDE", "A..E", "A  E"},
      {"lower case and X*", {"acD*", "    ", "gcD*", 1, 1, 4}, 4, "acD*", "gcD.", "    "},
      {"overhang", {"ACDEF", "ACDEF", "ACDEF", 3, 1, 5}, 4, "..AC", "..AC", "..AC"},
  };
  for (const auto& [what, hsp, queryLength, queryRow, subjectRow, matchRow] : cases) {
    SCOPED_TRACE(what);
    const DataProgram dp = MakeWorkingSet({{hsp}}, queryLength);
    auto msa = BuildMsaFromAlignments(dp, ListSelectedAlignments(dp));
    ASSERT_NE(msa, nullptr);
    EXPECT_EQ(Residues(*msa), (std::vector<std::string>{queryRow, subjectRow}));
    EXPECT_EQ(msa->rows[0]->matchLine + "|" + msa->rows[1]->matchLine, std::string(static_cast<std::size_t>(queryLength), '.') + "|" + matchRow);
    EXPECT_EQ(msa->consensusThreshold, 1);
  }
}

TEST(MsaBuild, RowsNamesSelectionOrderAndRecordState) {
  const DataProgram dp = MakeWorkingSet(
      {{{"ACDE", "ACDE", "ACDE", 1, 3, 6}, {"DEF", "DEF", "DEF", 3, 120, 1234}}, {{"FGH", "F H", "FAH", 6, 10, 12}}}, 10);
  auto msa = BuildMsaFromAlignments(dp, ListSelectedAlignments(dp));
  ASSERT_NE(msa, nullptr);
  EXPECT_EQ(msa->rows[0]->name + msa->rows[2]->name + msa->rows[3]->name,
            "QUERYNAME_SP|P10001| ( 120-1234) 2SP|P10002| (  10-  12) 1");
  // Overlaps write the same query residues again; uncovered positions stay '.'.
  EXPECT_EQ(msa->rows[0]->residues + " " + msa->consensus.substr(8) + " " + msa->title, "ACDEFFGH.. .. /data/report.bla");
  EXPECT_EQ(msa->consensusThreshold, 2);
  DataProgram sel = MakeWorkingSet({{{"A", "A", "A"}, {"C", "C", "C"}}, {{"D", "D", "D"}}, {{"E", "E", "E"}}}, 3);
  (*sel.hits)[0]->selected[0] = 0;
  (*sel.hits)[2]->selected[0] = 0;
  (*sel.hits)[1]->selected.push_back(1);  // a flag without its alignment
  const std::vector<SelectedPair> pairs = ListSelectedAlignments(sel);
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(std::vector<int>({pairs[0].hit, pairs[0].alignment, pairs[1].hit, pairs[1].alignment}),
            std::vector<int>({1, 2, 2, 1}));
  EXPECT_EQ(BuildMsaFromAlignments(sel, {{1, 3}}), nullptr);  // a pair that names no alignment
  EXPECT_EQ(BuildMsaFromAlignments(sel, {{9, 1}}), nullptr);
}

TEST(MsaConsensusAndColours, MajorityAtOrAboveTheThresholdLettersColoured) {
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {  // {rows, threshold, consensus}
      {{"A", "A", "G"}, 1, "A"}, {{"A", "G", "."}, 1, "."} /* a tie */, {{"A", "A", "A"}, 3, "A"},
      {{"A", "A", "G"}, 3, "."}, {{".", ".", "."}, 0, "."}, {{"a", "a", "G"}, 1, "G"} /* lower case not counted */,
      {{"X", "*", "-"}, 0, "X"}, {{"AC", "AD", "GD"}, 2, "AD"},
  };
  for (const auto& [rows, threshold, consensus] : cases) {
    auto msa = MakeMsa(rows);
    std::string out;
    CreeConsensus(out, threshold, msa->columnCount, msa->SequenceCount(), msa->rows);
    EXPECT_EQ(out, consensus) << rows[0] << " threshold " << threshold;
  }
  // Colours: letters of either case take theirs, others black on white.
  ColourConfiguration colours;
  for (std::size_t i = 0; i < 26; ++i) colours.text[i] = 2 + static_cast<int>(i) % 10, colours.back[i] = 3 + static_cast<int>(i) % 7;
  std::vector<int> text, back;
  InitColorsString("Ac.-*z", text, back, colours);
  EXPECT_EQ(text, (std::vector<int>{colours.text[0], colours.text[2], 0, 0, 0, colours.text[25]}));
  EXPECT_EQ(back, (std::vector<int>{colours.back[0], colours.back[2], 1, 1, 1, colours.back[25]}));
  // The shipped colours without backgrounds: all on white, a white letter (P) drawn black.
  const std::string config = std::string(VISTRAM_TEST_DATA_DIR) + "/../../data/vistram.cfg";
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::vector<int> withText, withBack, withoutText, withoutBack;
  InitColorsString(letters, withText, withBack, config, true);
  InitColorsString(letters, withoutText, withoutBack, config, false);
  for (std::size_t i = 0; i < letters.size(); ++i) EXPECT_EQ(withoutText[i], withText[i] == 1 ? 0 : withText[i]) << letters[i];
  EXPECT_TRUE(withoutText[15] == 0 && withBack != std::vector<int>(26, 1) && withoutBack == std::vector<int>(26, 1));
}

}  // namespace
