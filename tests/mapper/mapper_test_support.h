// A working set built in memory for the map tests.
#pragma once
#include <algorithm>
#include <memory>
#include <string>

#include "vistram/results/records.h"

struct TestAlignment {
  std::string query, subject, stats;
  int queryStart = 1, subjectStart = 1;
  double score = -1;
};

inline int Residues(const std::string& line) { return static_cast<int>(std::count_if(line.begin(), line.end(), [](char c) { return c != '-'; })); }

// Appends a hit with its alignments (all selected) to the working set.
inline HspData& AddTestHit(DataProgram& dp, const std::string& id, std::initializer_list<TestAlignment> alis) {
  if (!dp.hits) dp.hits = std::make_shared<HitList>();
  auto& hit = dp.hits->emplace_back(std::make_unique<HspData>());
  hit->number = static_cast<int>(dp.hits->size());
  hit->identifier = id, hit->description = "DESCRIPTION OF " + id;
  for (const TestAlignment& t : alis) {
    AliData& a = *hit->alignments.emplace_back(std::make_unique<AliData>());
    std::tie(a.queryLine, a.subjectLine, a.statsText, a.score, a.queryStart, a.subjectStart) =
        std::tie(t.query, t.subject, t.stats, t.score, t.queryStart, t.subjectStart);
    a.queryEnd = t.queryStart + Residues(t.query) - 1, a.subjectEnd = t.subjectStart + Residues(t.subject) - 1;
    hit->selected.push_back(1);
  }
  hit->alignmentCount = static_cast<int>(hit->alignments.size());
  dp.alignmentCount += hit->alignmentCount;
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  return *hit;
}
