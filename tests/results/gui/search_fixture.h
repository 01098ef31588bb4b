// Tables and a recording view for the search dialogs' tests.
#pragma once
#include "support/recording_view.h"
#include <memory>
#include <string>
#include <vector>

#include "vistram/results/records.h"
#include "vistram/results/result_view.h"

struct FixtureHit {
  std::string identifier;
  std::string description;
  std::vector<double> scores;  // one alignment each; expect = score / 1000
};

// Adds a FASTA-like table (P values not given) as a load would.
inline void AddFixtureTable(DataProgram& dp, const std::string& name, const std::vector<FixtureHit>& hits) {
  dp.hits = std::make_shared<HitList>();
  int total = 0;
  for (const FixtureHit& want : hits) {
    auto h = std::make_unique<HspData>();
    h->number = static_cast<int>(dp.hits->size()) + 1;
    h->identifier = want.identifier;
    h->description = want.description;
    for (double s : want.scores) {
      auto a = std::make_unique<AliData>();
      a->ClearStatistics();
      a->score = s;
      a->expect = s / 1000;
      a->queryLine = a->subjectLine = a->middleLine = "VIL";
      a->sourceHitNumber = h->number;
      h->alignments.push_back(std::move(a));
    }
    h->alignmentCount = static_cast<int>(h->alignments.size());
    h->selected.assign(h->alignments.size(), 0);
    total += h->alignmentCount;
    dp.hits->push_back(std::move(h));
  }
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  dp.viewHitCount = static_cast<int>(dp.hits->size());
  dp.alignmentCount = total;
  dp.header = HeaderBlock{};
  dp.header.queryName = name + "_QUERY";
  dp.header.resultType = kResultFasta;
  dp.tableName = name;
  CreateTableEntry(dp);
}

// Two tables: "one" (KINASE, HEMOGLOBIN, KINASE) and "two" (CYTOCHROME, KINASE).
inline void AddFixtureTables(DataProgram& dp) {
  AddFixtureTable(dp, "one",
                  {{"P12345", " PROTEIN KINASE C", {50, 40}},
                   {"Q99999", " HEMOGLOBIN", {30}},
                   {"P12345 B", " SERINE KINASE", {20}}});
  AddFixtureTable(dp, "two", {{"P11111", " CYTOCHROME", {10}}, {"P22222", " TYROSINE KINASE", {5, 60}}});
}

using FixtureView = test_support::RecordingView;
