// A working set built in memory for the map tests.
#pragma once
#include <memory>
#include <string>

#include "vistram/results/records.h"

struct TestAlignment {
  std::string query, subject, stats;
  int queryStart = 1, subjectStart = 1;
  double score = -1;
};

// Appends a hit with its alignments (all selected) to the working set.
inline HspData& AddTestHit(DataProgram& dp, const std::string& id, std::initializer_list<TestAlignment> alis) {
  if (!dp.hits) dp.hits = std::make_shared<HitList>();
  auto hit = std::make_unique<HspData>();
  hit->number = static_cast<int>(dp.hits->size()) + 1;
  hit->identifier = id;
  hit->description = "DESCRIPTION OF " + id;
  for (const TestAlignment& t : alis) {
    auto ali = std::make_unique<AliData>();
    ali->queryLine = t.query;
    ali->subjectLine = t.subject;
    ali->statsText = t.stats;
    ali->queryStart = t.queryStart;
    ali->subjectStart = t.subjectStart;
    int q = 0, s = 0;
    for (char c : t.query) q += c != '-';
    for (char c : t.subject) s += c != '-';
    ali->queryEnd = t.queryStart + q - 1;
    ali->subjectEnd = t.subjectStart + s - 1;
    ali->score = t.score;
    hit->alignments.push_back(std::move(ali));
    hit->selected.push_back(1);
  }
  hit->alignmentCount = static_cast<int>(hit->alignments.size());
  dp.alignmentCount += hit->alignmentCount;
  dp.hits->push_back(std::move(hit));
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  return *dp.hits->back();
}
