// Helpers shared by the pattern-search tests.
#pragma once
#include <string>

#include "support/temp_folder.h"
#include "vistram/patterns/matcher.h"

struct PatternsTempDir : test_support::TempFolder {
  const std::string& Path() const { return path(); }
};

// Matches as "s-e s-e,s-e" (0-based, a blank between parts, a comma between matches).
inline std::string MatchesText(const std::vector<PatternMatch>& matches) {
  std::string s;
  for (const PatternMatch& m : matches) {
    if (!s.empty()) s += ",";
    for (std::size_t i = 0; i < m.size(); ++i) s += (i > 0 ? " " : "") + std::to_string(m[i].start) + "-" + std::to_string(m[i].end);
  }
  return s;
}

inline std::string ShippedDataDir() { return std::string(VISTRAM_TEST_DATA_DIR) + "/../../data"; }
inline std::string PatternsData(const std::string& name) { return std::string(VISTRAM_TEST_DATA_DIR) + "/patterns/" + name; }
