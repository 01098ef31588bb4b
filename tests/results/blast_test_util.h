// Helpers of the report tests: real reports, programs run without a shell, BioPerl's readings.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/temp_folder.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/blast_parser.h"
#include "vistram/results/records.h"

namespace blasttest {

using TempDir = test_support::TempFolder;
using test_support::ReadWholeFile;

inline std::string DataPath(const std::string& relative) {
  return std::string(VISTRAM_TEST_DATA_DIR) + "/blast/" + relative;
}

// Runs a program (arguments quoted for the shell) with its standard output into `out`; true when it exited with 0.
inline bool RunProgram(const std::vector<std::string>& args, std::string& out) {
  std::string command;
  for (const std::string& a : args) command += "'" + a + "' ";
  std::FILE* p = ::popen((command + "2>/dev/null").c_str(), "r");
  if (p == nullptr) return false;
  char buf[65536];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  const int status = ::pclose(p);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Loaded {
  DataProgram dp;
  int code = -1;
  const HspData& hit(int number) const { return *(*dp.hits)[static_cast<std::size_t>(number - 1)]; }
  const AliData& ali(int hitNumber, int alignmentNumber) const {
    return *hit(hitNumber).alignments[static_cast<std::size_t>(alignmentNumber - 1)];
  }
};

inline std::unique_ptr<Loaded> Read(const std::string& path, int kind = 5) {
  auto l = std::make_unique<Loaded>();
  l->code = LitBlastForListBox(nullptr, nullptr, l->dp, path, kind);
  return l;
}

inline std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// A reading as BioPerl's tests/tools/bioperl_*_summary.pl print it: "Q" a query, "H<tab>name" a hit,
// "S<tab>q1 q2 s1 s2 [expect]" an HSP; names upper-cased and cut as ours, ranges lowest first.
struct PerlHit {
  std::string name;
  std::vector<std::tuple<int, int, int, int, double>> hsps;
  bool operator<(const PerlHit& o) const { return std::tie(name, hsps) < std::tie(o.name, o.hsps); }
};
using Reading = std::vector<std::vector<PerlHit>>;

inline std::tuple<int, int, int, int, double> Hsp(int q1, int q2, int s1, int s2, double e) {
  return {std::min(q1, q2), std::max(q1, q2), std::min(s1, s2), std::max(s1, s2), e};
}

inline Reading PerlReading(const std::string& script, const std::string& report) {
  std::string out, line, tag;
  RunProgram({"perl", std::string(VISTRAM_TEST_DATA_DIR) + "/../tools/" + script, report}, out);
  Reading queries;
  std::istringstream in(out);
  while (std::getline(in, line)) {
    std::istringstream f(line);
    std::getline(f, tag, '\t');
    if (tag == "Q") {
      queries.emplace_back();
    } else if (tag == "H" && !queries.empty()) {
      std::getline(f, tag, '\t');
      queries.back().push_back({Upper(tag).substr(0, 39), {}});
    } else if (tag == "S" && !queries.empty() && !queries.back().empty()) {
      int q1, q2, s1, s2;
      std::string e;
      f >> q1 >> q2 >> s1 >> s2 >> e;
      queries.back().back().hsps.push_back(Hsp(q1, q2, s1, s2, e.empty() ? -1 : std::strtod(e.c_str(), nullptr)));
    }
  }
  return queries;
}

inline Reading OurReading(const DataProgram& dp) {
  Reading queries;
  auto add = [&queries](const HitList& hits) {
    queries.emplace_back();
    for (const auto& h : hits) {
      queries.back().push_back({h->identifier, {}});
      for (const auto& a : h->alignments)
        queries.back().back().hsps.push_back(
            Hsp(a->queryStart, a->queryEnd, a->subjectStart, a->subjectEnd, a->expect));
    }
  };
  if (dp.hits) add(*dp.hits);
  for (const LoadedSection& s : dp.extraSections) add(*s.hits);
  return queries;
}

// Compares two readings hit by hit: names, HSP ranges (the query's only when asked) and
// expect values where asked and printed.
inline void ExpectSameReading(const Reading& ours, const Reading& perl, bool queryRanges = true, bool expects = false) {
  ASSERT_EQ(ours.size(), perl.size());
  for (std::size_t q = 0; q < ours.size(); ++q) {
    ASSERT_EQ(ours[q].size(), perl[q].size()) << "query " << q + 1;
    for (std::size_t i = 0; i < ours[q].size(); ++i) {
      const PerlHit &a = ours[q][i], &b = perl[q][i];
      EXPECT_EQ(a.name, b.name) << "query " << q + 1 << " hit " << i + 1;
      ASSERT_EQ(a.hsps.size(), b.hsps.size()) << a.name;
      for (std::size_t k = 0; k < a.hsps.size(); ++k) {
        const auto& [q1, q2, s1, s2, e] = a.hsps[k];
        const auto& [p1, p2, t1, t2, f] = b.hsps[k];
        EXPECT_EQ(std::tie(s1, s2), std::tie(t1, t2)) << a.name;
        if (queryRanges) EXPECT_EQ(std::tie(q1, q2), std::tie(p1, p2)) << a.name;
        if (expects && f >= 0) EXPECT_NEAR(e, f, f * 1e-6) << a.name;
      }
    }
  }
}

// A recording platform and a private folder for each test.
class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentPlatform(&platform_); }
  void TearDown() override { SetCurrentPlatform(nullptr); }
  RecordingPlatform platform_;
  TempDir dir_;
};

}  // namespace blasttest
