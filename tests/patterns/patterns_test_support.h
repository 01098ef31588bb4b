// Helpers shared by the pattern-search tests.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "vistram/patterns/matcher.h"

// A private folder removed with everything in it at the end of the test.
class PatternsTempDir {
 public:
  PatternsTempDir() {
    std::string t = (std::filesystem::temp_directory_path() / "patterns-test-XXXXXX").string();
    if (mkdtemp(t.data()) != nullptr) path_ = t;
  }
  ~PatternsTempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string p = path_ + "/" + name;
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }

 private:
  std::string path_;
};

// Matches as "s-e s-e,s-e" (0-based, a blank between parts, a comma between matches).
inline std::string MatchesText(const std::vector<PatternMatch>& matches) {
  std::string s;
  for (const PatternMatch& m : matches) {
    if (!s.empty()) s += ",";
    for (std::size_t i = 0; i < m.size(); ++i) {
      if (i > 0) s += " ";
      s += std::to_string(m[i].start) + "-" + std::to_string(m[i].end);
    }
  }
  return s;
}

inline std::string ShippedDataDir() { return std::string(VISTRAM_TEST_DATA_DIR) + "/../../data"; }
