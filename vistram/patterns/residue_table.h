// The residue-class table of the pattern search: a text file beside the
// program ("PROTEINE.TBL", "ADN.TBL", "SPECIAL.TBL") whose lines read
// "C EXPANSION": wherever character C stands in a pattern it is replaced by
// EXPANSION, typically a group such as "(DN)".
#pragma once
#include <array>
#include <string>
#include <string_view>

struct ResidueClassTable {
  // Empty: the character stands for itself.
  std::array<std::string, 256> expansion;
};

inline constexpr std::size_t kTableLineMax = 99;      // characters of a table line
inline constexpr std::size_t kTableExpansionMax = 29;  // characters of an expansion

// Reads "<folder>/<tableName>.TBL" into `table`. Lines are read as "%c %s";
// the first line of a character wins. Lines for the characters that make up
// the pattern language itself (digits, "{", "}", "(", ")", "X", blanks) and
// expansions holding "{" or "}" are ignored: they would change how every
// pattern is parsed. False when the file cannot be read.
bool CreeTableDNA(const std::string& folder, const std::string& tableName, ResidueClassTable& table);

// The pattern with every table character replaced by its expansion. Inside a
// group the expansion's own parentheses are dropped, so that "(BA)" with
// "B (DN)" becomes "(DNA)" and stays one element.
std::string RemplaceMultiLettre(std::string_view pattern, const ResidueClassTable& table);
