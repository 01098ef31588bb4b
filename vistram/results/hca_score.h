// The HCA similarity of two aligned lines: how well their hydrophobic
// residues (V, I, L, F, W, M, Y; upper case only) coincide, as a Dice
// coefficient in percent over the columns without a gap.
#pragma once
#include <string_view>

// Hydrophobic residues of the HCA plots and score.
inline constexpr std::string_view kHcaHydrophobic = "VILFWMY";

// Compares line1[start1, end1) with line2[start2, end2) column by column
// (the parsers pass end = length - 1, so
// every column but the last takes part). Returns the percentage 0..100, 0
// when neither range holds a hydrophobic residue, and -1.0 when the two
// ranges differ in length. Ranges are clamped to the lines.
double CalculScoreHCA(std::string_view line1, std::string_view line2, int start1, int end1, int start2, int end2);

// The score of an alignment's query and subject lines, as the parsers compute it.
double AlignmentHcaScore(std::string_view queryLine, std::string_view subjectLine);
