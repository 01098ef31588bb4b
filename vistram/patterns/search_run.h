// A search of several patterns over several rows, as the "Find pattern(s)"
// window and batch mode run it, and the texts of its result tree.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "vistram/patterns/matcher.h"
#include "vistram/patterns/pattern_row.h"

inline constexpr std::size_t kPatternTextMax = 99;  // characters of a pattern used in a search
inline constexpr std::size_t kItemResiduesMax = 49;   // residues shown for one match part
inline constexpr std::size_t kItemTextMax = 499;      // characters of a tree item
inline constexpr std::size_t kRowNameMax = 49;        // characters of a row name kept by the search

// The text of match `number` (from 1) of a row, as its tree item shows it:
// '   1 : -- 12<KDEL>15 --', one "-- start<residues>end --" per part
// (positions from 1). A part of more than 49 residues shows its first 23 and
// last 23 residues around "..."; the whole text is cut at 499 characters.
std::string MatchItemText(unsigned number, const PatternMatch& match, std::string_view residues);

// Batch search: for each row in order, for each pattern in order, one line
// per complete match: the row name (cut to 49 characters), a tab, the pattern, a tab and the match's
// item text. A pattern that fails (empty) is reported once on `errors` and
// skipped. Returns false when any pattern failed or the output failed.
bool WriteFindPatternLines(const std::vector<PatternRow>& rows, const std::vector<std::string>& patterns,
                           const ResidueClassTable& table, std::FILE* out, std::FILE* errors);
