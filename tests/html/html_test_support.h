// Tables for the HTML report tests, and an alignment source that numbers residues skipping gaps, as the
// viewer does, and colours hydrophobic residues blue, everything else black.
#pragma once
#include <memory>
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
  *view = {.alignedLength = static_cast<int>(ali.queryLine.size()), .hitNumber = hitNumber,
           .alignmentNumber = alignmentNumber, .queryLine = ali.queryLine, .subjectLine = ali.subjectLine,
           .middleLine = ali.middleLine, .queryStart = ali.queryStart, .queryEnd = ali.queryEnd,
           .subjectStart = ali.subjectStart, .subjectEnd = ali.subjectEnd, .statsText = ali.statsText};
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
  auto hit = std::make_unique<HspData>(HspData{.number = static_cast<int>(dp.hits->size() + 1),
                                                .identifier = std::move(id), .description = std::move(description),
                                                .url = std::move(url), .scoreText = "50.1", .expectText = "1E-05",
                                                .lengthText = "120"});
  for (const auto& [query, selected] : alignments) {
    const int n = static_cast<int>(query.size());
    hit->alignments.push_back(std::make_unique<AliData>(
        AliData{.statsText = "SCORE = 50.1 BITS (118), EXPECT = 1E-05\nIDENTITIES = 3/4 (75%), HCA =  50.0%.",
                .queryLine = query, .subjectLine = query, .middleLine = query, .queryStart = 1, .queryEnd = n,
                .subjectStart = 11, .subjectEnd = 10 + n}));
    hit->selected.push_back(selected);
  }
  hit->alignmentCount = static_cast<int>(hit->alignments.size());
  dp.alignmentCount += hit->alignmentCount;
  dp.hits->push_back(std::move(hit));
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  dp.viewHitCount = static_cast<int>(dp.hitCount);
}

inline std::string ReadAll(const std::string& path) { return test_support::ReadWholeFile(path); }

using TempDir = test_support::TempFolder;

}  // namespace html_test
