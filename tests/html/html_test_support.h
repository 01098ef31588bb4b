// Tables and an alignment source for the HTML report tests. The source builds
// the pairwise record of an alignment the way the viewer does (residue
// numbers skipping gaps) and colours hydrophobic residues blue, everything
// else black, so that colour changes are predictable.
#pragma once
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "support/temp_folder.h"
#include "vistram/html/html_report.h"
#include "vistram/results/records.h"

namespace html_test {

inline std::unique_ptr<VisualHaspData> ViewOf(DataProgram& dp, int hitNumber, int alignmentNumber) {
  HspData* hit = dp.Hit(hitNumber);
  if (hit == nullptr || alignmentNumber < 1 || static_cast<std::size_t>(alignmentNumber) > hit->alignments.size()) {
    return nullptr;
  }
  const AliData& ali = *hit->alignments[static_cast<std::size_t>(alignmentNumber - 1)];
  auto view = std::make_unique<VisualHaspData>();
  view->alignedLength = static_cast<int>(ali.queryLine.size());
  view->hitNumber = hitNumber;
  view->alignmentNumber = alignmentNumber;
  view->queryLine = ali.queryLine;
  view->subjectLine = ali.subjectLine;
  view->middleLine = ali.middleLine;
  view->queryStart = ali.queryStart;
  view->queryEnd = ali.queryEnd;
  view->subjectStart = ali.subjectStart;
  view->subjectEnd = ali.subjectEnd;
  view->statsText = ali.statsText;
  auto number = [](const std::string& line, int start, std::vector<int>& out) {
    int n = 0;
    for (char c : line) out.push_back(c == '-' ? 0 : start + n++);
  };
  number(view->queryLine, view->queryStart, view->queryResidueNumbers);
  number(view->subjectLine, view->subjectStart, view->subjectResidueNumbers);
  auto colour = [](const std::string& line, std::vector<int>& out) {
    for (char c : line) out.push_back(std::string_view("VILFWMY").find(c) != std::string_view::npos ? 4 : 0);
  };
  colour(view->queryLine, view->queryTextColours);
  colour(view->subjectLine, view->subjectTextColours);
  return view;
}

inline HtmlAlignmentSource TestSource() { return ViewOf; }

inline void AddHit(DataProgram& dp, std::string id, std::string description, std::string url,
                   const std::vector<std::pair<std::string, int>>& alignments) {
  if (!dp.hits) dp.hits = std::make_shared<HitList>();
  auto hit = std::make_unique<HspData>();
  hit->number = static_cast<int>(dp.hits->size() + 1);
  hit->identifier = std::move(id);
  hit->description = std::move(description);
  hit->url = std::move(url);
  hit->scoreText = "50.1";
  hit->expectText = "1E-05";
  hit->lengthText = "120";
  for (const auto& [query, selected] : alignments) {
    auto ali = std::make_unique<AliData>();
    ali->queryLine = query;
    ali->subjectLine = query;
    ali->middleLine = query;
    ali->queryStart = 1;
    ali->subjectStart = 11;
    ali->queryEnd = static_cast<int>(query.size());
    ali->subjectEnd = 10 + static_cast<int>(query.size());
    ali->statsText = "SCORE = 50.1 BITS (118), EXPECT = 1E-05\nIDENTITIES = 3/4 (75%), HCA =  50.0%.";
    hit->alignments.push_back(std::move(ali));
    hit->selected.push_back(selected);
  }
  hit->alignmentCount = static_cast<int>(hit->alignments.size());
  dp.alignmentCount += hit->alignmentCount;
  dp.hits->push_back(std::move(hit));
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  dp.viewHitCount = static_cast<int>(dp.hitCount);
}

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

using TempDir = test_support::TempFolder;

}  // namespace html_test
