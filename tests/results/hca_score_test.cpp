#include "vistram/results/hca_score.h"

#include <gtest/gtest.h>

TEST(CalculScoreHCA, LastColumnNeverCounts) {
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("AAAV", "AAAV"), 0.0);
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("VAAV", "VAAV"), 100.0);
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("VILFWMYA", "VILFWMYA"), 100.0);
}

TEST(CalculScoreHCA, DiceOverGapFreeColumns) {
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("VVVV", "VAVA"), 80.0);
  // A gap on either side removes the column for both lines.
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("V-VA", "VLVA"), 100.0);
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("VLVA", "V-AA"), 100.0 * 2 * 1 / (2 + 1));
  // Lower case is not hydrophobic.
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("vvvA", "VVVA"), 0.0);
}

TEST(CalculScoreHCA, NoHydrophobicResidueGivesZeroAndLengthMismatchMinusOne) {
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("AAGGKK", "SSTTEE"), 0.0);
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("", ""), 0.0);
  EXPECT_DOUBLE_EQ(AlignmentHcaScore("VVV", "VVVV"), -1.0);
  EXPECT_DOUBLE_EQ(CalculScoreHCA("AVVVA", "VVVA", 1, 4, 0, 3), 100.0);
  // A range that runs past the line stops at its end.
  EXPECT_DOUBLE_EQ(CalculScoreHCA("VV", "VV", 0, 10, 0, 10), 100.0);
  // ... and at the end of the shorter line; a range starting before a line
  // compares nothing.
  EXPECT_DOUBLE_EQ(CalculScoreHCA("VLAW", "VAAWVVVV", 0, 6, 0, 6), 80.0);
  EXPECT_DOUBLE_EQ(CalculScoreHCA("VVVV", "VVVV", -1, 2, 0, 3), 0.0);
}
