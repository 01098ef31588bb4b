// Two small tables made as a load makes them: "one" (FASTA) and "two" (BLAST, with P values).
#pragma once
#include <string>
#include <tuple>
#include <vector>

#include "vistram/results/records.h"

// Hits as (identifier, description, scores): one alignment a score, expect = score / 1000.
using SearchHits = std::vector<std::tuple<std::string, std::string, std::vector<double>>>;

inline int AddSearchTable(DataProgram& dp, const std::string& name, const SearchHits& hits,
                          int resultType = kResultFasta) {
  dp.hits = std::make_shared<HitList>();
  dp.alignmentCount = 0;
  for (const auto& [identifier, description, scores] : hits) {
    auto h = std::make_unique<HspData>();
    h->number = static_cast<int>(dp.hits->size()) + 1;
    std::tie(h->identifier, h->description) = std::tie(identifier, description);
    for (double s : scores) {
      h->alignments.push_back(std::make_unique<AliData>());
      AliData& a = *h->alignments.back();
      a.ClearStatistics();
      std::tie(a.score, a.expect, a.pValue) = std::make_tuple(s, s / 1000, resultType == kResultFasta ? -1.0 : 0.5);
      a.queryLine = a.subjectLine = a.middleLine = "VIL";
      a.sourceTableIndex = static_cast<int>(dp.tables.size());
      a.sourceHitNumber = h->number;
    }
    h->alignmentCount = static_cast<int>(h->alignments.size());
    h->selected.assign(h->alignments.size(), 0);
    dp.alignmentCount += h->alignmentCount;
    dp.hits->push_back(std::move(h));
  }
  dp.hitCount = static_cast<unsigned>(dp.hits->size());
  dp.viewHitCount = static_cast<int>(dp.hits->size());
  dp.header = HeaderBlock{};
  dp.header.queryName = name + "_QUERY";
  dp.header.queryLength = 100;
  dp.header.resultType = resultType;
  dp.tableName = name;
  return CreateTableEntry(dp);
}

inline void AddSearchTables(DataProgram& dp) {
  AddSearchTable(dp, "one",
                 {{"P12345", " PROTEIN KINASE C", {50, 40}},
                  {"Q99999", " HEMOGLOBIN", {30}},
                  {"P12345 B", " SERINE KINASE YEAST", {20}}});
  AddSearchTable(dp, "two", {{"P11111", " CYTOCHROME", {10}}, {"P22222", " TYROSINE KINASE", {5, 60}}}, kResultBlast);
}
