// Every BLAST text report of the test data is read both by our reader and by
// BioPerl's Bio::SearchIO (tests/tools/bioperl_blast_summary.pl); the queries,
// hit identifiers and HSP coordinates must agree, except where a rule of our
// reader differs on purpose (the table below).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "results/blast_test_util.h"
#include "vistram/platform/recording_platform.h"
#include "vistram/results/report_kind.h"

namespace {

struct Hsp {
  int q1, q2, s1, s2;  // each pair as lowest, highest
  bool operator==(const Hsp&) const = default;
  bool operator<(const Hsp& o) const { return std::tie(q1, q2, s1, s2) < std::tie(o.q1, o.q2, o.s1, o.s2); }
};
struct Hit {
  std::string name;
  std::vector<Hsp> hsps;
  bool operator==(const Hit&) const = default;
  bool operator<(const Hit& o) const { return std::tie(name, hsps) < std::tie(o.name, o.hsps); }
};
using Query = std::vector<Hit>;

// Where our reader and BioPerl part on purpose.
enum class Exception { Skip, Unordered };
const std::map<std::string, std::pair<Exception, const char*>>& Exceptions() {
  static const std::map<std::string, std::pair<Exception, const char*>> table = {
      {"blast_legacy_text_bl2seq/*", {Exception::Skip, "bl2seq output names neither BLAST with ALTSCHUL nor GISH: not recognised (kind 3)"}},
      {"blast_legacy_text_ncbi/bioperl_503384.MEGABLAST.2", {Exception::Skip, "MEGABLAST cites Zhang et al. only: kind 3"}},
      {"blast_legacy_text_ncbi/bioperl_megablast_output.paracel_btk", {Exception::Skip, "MEGABLAST cites Zhang et al. only: kind 3"}},
      {"blast_legacy_text_ncbi/bioperl_ecoli_domains.rpsblast", {Exception::Skip, "RPS-BLAST 2.2.4 prints no citation: kind 3"}},
      {"blast_legacy_text_ncbi/bioperl_rpsblast_no_hits.bls", {Exception::Skip, "RPS-BLAST prints no citation: kind 3"}},
      {"blast_legacy_text_ncbi/bioperl_frac_problems2.blast", {Exception::Skip, "no end marker (the statistics tail is missing): code 0"}},
      {"blast_legacy_text_ncbi/bioperl_frac_problems3.blast", {Exception::Skip, "no end marker (the statistics tail is missing): code 0"}},
      {"blast_legacy_text_truncated/*", {Exception::Skip, "cut short: codes 0, 3, 4 or 6 as documented"}},
      {"blast_legacy_text_wublast/bioperl_echofilter.wublastn", {Exception::Skip, "WU-BLAST echoes the filtered query as lines beginning with '>': every such line starts a hit"}},
      {"blast_legacy_text_ncbi/bioperl_phi.out", {Exception::Skip, "BioPerl cannot read this PHI-BLAST report"}},
      {"blast_legacy_text_ncbi/bioperl_phipsi.out", {Exception::Skip, "BioPerl cannot read this PHI-BLAST report"}},
      {"blastplus_text/biopython_text_21500_blastx_001.txt", {Exception::Skip, "BioPerl reads no result from the web site's text download"}},
      {"blastplus_text/biopython_text_21500_tblastn_001.txt", {Exception::Skip, "BioPerl reads no result from the web site's text download"}},
      {"blast_legacy_text_ncbi/bioperl_psiblastreport.out", {Exception::Unordered, "PSI-BLAST rounds: hits with equal scores in another order"}},
      {"blast_legacy_text_ncbi/biopython_text_2010L_phiblast_002.txt", {Exception::Unordered, "PHI-BLAST rounds: hits with equal scores in another order"}},
      {"blast_legacy_text_ncbi/biopython_text_2012L_psiblast_001.txt", {Exception::Unordered, "PSI-BLAST rounds: hits with equal scores in another order"}},
  };
  return table;
}

const std::pair<Exception, const char*>* ExceptionFor(const std::string& relative) {
  const auto& table = Exceptions();
  if (auto it = table.find(relative); it != table.end()) return &it->second;
  const std::string folder = relative.substr(0, relative.find('/')) + "/*";
  if (auto it = table.find(folder); it != table.end()) return &it->second;
  return nullptr;
}

bool RunBioPerl(const std::string& report, std::string& out) {
  const std::string script = std::string(VISTRAM_TEST_DATA_DIR) + "/../tools/bioperl_blast_summary.pl";
  return blasttest::RunProgram({"perl", script, report}, out);
}

bool BioPerlAvailable() {
  std::string out;
  return RunBioPerl(blasttest::DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastp_001.txt"), out) &&
         !out.empty();
}

Hsp Sorted(int a, int b, int c, int d) { return {std::min(a, b), std::max(a, b), std::min(c, d), std::max(c, d)}; }

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// BioPerl's view; hits without HSPs and queries without hits are dropped
// (our tables hold no hit without an alignment row to compare).
std::vector<Query> ParseBioPerl(const std::string& text) {
  std::vector<Query> queries;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream f(line);
    std::string tag;
    std::getline(f, tag, '\t');
    if (tag == "Q") {
      queries.emplace_back();
    } else if (tag == "H" && !queries.empty()) {
      std::string name;
      std::getline(f, name, '\t');
      queries.back().push_back({Upper(name).substr(0, 39), {}});
    } else if (tag == "S" && !queries.empty() && !queries.back().empty()) {
      int a, b, c, d;
      f >> a >> b >> c >> d;
      queries.back().back().hsps.push_back(Sorted(a, b, c, d));
    }
  }
  for (Query& q : queries) std::erase_if(q, [](const Hit& h) { return h.hsps.empty(); });
  std::erase_if(queries, [](const Query& q) { return q.empty(); });
  return queries;
}

Query FromHits(const HitList& hits) {
  Query q;
  for (const auto& h : hits) {
    Hit hit{h->identifier, {}};
    for (const auto& a : h->alignments) hit.hsps.push_back(Sorted(a->queryStart, a->queryEnd, a->subjectStart, a->subjectEnd));
    if (!hit.hsps.empty()) q.push_back(std::move(hit));
  }
  return q;
}

TEST(BioPerlCrossCheck, EveryTextReportAgreesOrIsAListedException) {
  if (!BioPerlAvailable()) GTEST_SKIP() << "perl with Bio::SearchIO is not installed";
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  const std::filesystem::path root = blasttest::DataPath("");
  int compared = 0;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  for (const std::string& path : files) {
    const std::string relative = std::filesystem::relative(path, root).string();
    if (relative.rfind("blast_html", 0) == 0) continue;  // BioPerl's blast reader takes text
    const auto* exception = ExceptionFor(relative);
    if (exception != nullptr && exception->first == Exception::Skip) continue;
    SCOPED_TRACE(relative);
    auto ours = blasttest::Read(path, TestFichier(path));
    ASSERT_EQ(ours->code, kBlastOk);
    std::vector<Query> mine;
    if (ours->dp.hits) mine.push_back(FromHits(*ours->dp.hits));
    for (const LoadedSection& s : ours->dp.extraSections) mine.push_back(FromHits(*s.hits));
    std::erase_if(mine, [](const Query& q) { return q.empty(); });
    std::string out;
    ASSERT_TRUE(RunBioPerl(path, out));
    std::vector<Query> theirs = ParseBioPerl(out);
    if (exception != nullptr && exception->first == Exception::Unordered) {
      for (Query& q : mine) std::sort(q.begin(), q.end());
      for (Query& q : theirs) std::sort(q.begin(), q.end());
    }
    ASSERT_EQ(mine.size(), theirs.size());
    for (std::size_t i = 0; i < mine.size(); ++i) {
      ASSERT_EQ(mine[i].size(), theirs[i].size()) << "query " << i + 1;
      for (std::size_t h = 0; h < mine[i].size(); ++h) {
        EXPECT_EQ(mine[i][h].name, theirs[i][h].name) << "query " << i + 1 << " hit " << h + 1;
        EXPECT_EQ(mine[i][h].hsps, theirs[i][h].hsps) << "query " << i + 1 << " hit " << mine[i][h].name;
      }
    }
    ++compared;
  }
  SetCurrentPlatform(nullptr);
  EXPECT_GE(compared, 90);
}

}  // namespace
