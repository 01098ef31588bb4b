// Test records for the views: a pairwise record built from three aligned
// lines as the HSP reader builds it, and a working set of hits.
#pragma once
#include <memory>
#include <string>

#include "vistram/results/records.h"

// Residue numbers count the non-gap characters from each start.
inline std::unique_ptr<VisualHaspData> MakeView(const std::string& query, const std::string& middle,
                                                const std::string& subject, int queryStart, int subjectStart) {
  auto v = std::make_unique<VisualHaspData>();
  v->alignedLength = static_cast<int>(query.size());
  v->queryLine = query, v->middleLine = middle, v->subjectLine = subject;
  v->queryStart = queryStart, v->subjectStart = subjectStart;
  int q = queryStart, s = subjectStart;
  for (std::size_t k = 0; k < query.size(); ++k) {
    v->queryResidueNumbers.push_back(query[k] == '-' ? 0 : q++);
    v->subjectResidueNumbers.push_back(subject[k] == '-' ? 0 : s++);
  }
  v->queryEnd = q - 1, v->subjectEnd = s - 1;
  v->hitNumber = v->alignmentNumber = 1;
  return v;
}

// A working set of `count` hits, hit i with `alignments` alignments.
inline void FillWorkingSet(DataProgram& dp, int count, int alignments = 1) {
  dp.hits = std::make_shared<HitList>();
  for (int i = 1; i <= count; ++i) {
    auto hit = std::make_unique<HspData>();
    hit->number = i;
    hit->identifier = "SP|P" + std::to_string(10000 + i);
    hit->description = "HYPOTHETICAL PROTEIN " + std::to_string(i) + " FROM A GENOME PROJECT";
    hit->scoreText = "123", hit->expectText = "1e-10";
    hit->alignmentCount = alignments;
    for (int a = 0; a < alignments; ++a) hit->alignments.push_back(std::make_unique<AliData>());
    hit->selected.assign(static_cast<std::size_t>(alignments), 0);
    dp.hits->push_back(std::move(hit));
  }
  dp.hitCount = static_cast<unsigned>(count);
  dp.viewHitCount = count;
  dp.alignmentCount = count * alignments;
}

// The configuration file that ships beside the program (<source>/data/vistram.cfg).
inline std::string ShippedConfigPath() {
  const std::string dir = VISTRAM_TEST_DATA_DIR;  // <source>/tests/data
  return dir.substr(0, dir.rfind("/tests/data")) + "/data/vistram.cfg";
}
