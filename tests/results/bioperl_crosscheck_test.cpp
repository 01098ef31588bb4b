// Every BLAST text report of the test data read by our reader and by BioPerl's
// Bio::SearchIO: queries, hit identifiers and HSP coordinates agree, except
// where a rule of our reader differs on purpose (the table below).
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "results/blast_test_util.h"
#include "vistram/results/report_kind.h"

using namespace blasttest;

namespace {

using Hsp = std::tuple<int, int, int, int>;  // query and subject ranges, each lowest first
using Hit = std::pair<std::string, std::vector<Hsp>>;
using Query = std::vector<Hit>;

enum class Exception { Skip, Unordered };
const std::map<std::string, std::pair<Exception, const char*>> kExceptions = {
    {"blast_legacy_text_bl2seq/*", {Exception::Skip, "bl2seq names neither BLAST with ALTSCHUL nor GISH: kind 3"}},
    {"blast_legacy_text_ncbi/bioperl_503384.MEGABLAST.2",
     {Exception::Skip, "MEGABLAST cites Zhang et al. only: kind 3"}},
    {"blast_legacy_text_ncbi/bioperl_megablast_output.paracel_btk",
     {Exception::Skip, "MEGABLAST cites Zhang et al. only: kind 3"}},
    {"blast_legacy_text_ncbi/bioperl_ecoli_domains.rpsblast",
     {Exception::Skip, "RPS-BLAST 2.2.4 prints no citation: kind 3"}},
    {"blast_legacy_text_ncbi/bioperl_rpsblast_no_hits.bls", {Exception::Skip, "RPS-BLAST prints no citation: kind 3"}},
    {"blast_legacy_text_ncbi/bioperl_frac_problems2.blast", {Exception::Skip, "no end marker: code 0"}},
    {"blast_legacy_text_ncbi/bioperl_frac_problems3.blast", {Exception::Skip, "no end marker: code 0"}},
    {"blast_legacy_text_truncated/*", {Exception::Skip, "cut short: codes 0, 3, 4 or 6"}},
    {"blast_legacy_text_wublast/bioperl_echofilter.wublastn",
     {Exception::Skip, "the echoed filtered query's '>' lines start hits"}},
    {"blast_legacy_text_ncbi/bioperl_phi.out", {Exception::Skip, "BioPerl cannot read this PHI-BLAST report"}},
    {"blast_legacy_text_ncbi/bioperl_phipsi.out", {Exception::Skip, "BioPerl cannot read this PHI-BLAST report"}},
    {"blastplus_text/biopython_text_21500_blastx_001.txt",
     {Exception::Skip, "BioPerl reads nothing of the web download"}},
    {"blastplus_text/biopython_text_21500_tblastn_001.txt",
     {Exception::Skip, "BioPerl reads nothing of the web download"}},
    {"blast_legacy_text_ncbi/bioperl_psiblastreport.out",
     {Exception::Unordered, "PSI-BLAST rounds: equal scores reordered"}},
    {"blast_legacy_text_ncbi/biopython_text_2010L_phiblast_002.txt",
     {Exception::Unordered, "PHI-BLAST rounds: equal scores reordered"}},
    {"blast_legacy_text_ncbi/biopython_text_2012L_psiblast_001.txt",
     {Exception::Unordered, "PSI-BLAST rounds: equal scores reordered"}},
};

const Exception* ExceptionFor(const std::string& relative) {
  for (const std::string& key : {relative, relative.substr(0, relative.find('/')) + "/*"})
    if (auto it = kExceptions.find(key); it != kExceptions.end()) return &it->second.first;
  return nullptr;
}

Hsp Sorted(int a, int b, int c, int d) { return {std::min(a, b), std::max(a, b), std::min(c, d), std::max(c, d)}; }

// Hits without HSPs and queries without hits are dropped on both sides.
void AddQuery(std::vector<Query>& to, Query q) {
  std::erase_if(q, [](const Hit& h) { return h.second.empty(); });
  if (!q.empty()) to.push_back(std::move(q));
}

std::vector<Query> Ours(const DataProgram& dp) {
  std::vector<Query> queries;
  auto add = [&queries](const HitList& hits) {
    Query q;
    for (const auto& h : hits) {
      q.push_back({h->identifier, {}});
      for (const auto& a : h->alignments)
        q.back().second.push_back(Sorted(a->queryStart, a->queryEnd, a->subjectStart, a->subjectEnd));
    }
    AddQuery(queries, std::move(q));
  };
  if (dp.hits) add(*dp.hits);
  for (const LoadedSection& s : dp.extraSections) add(*s.hits);
  return queries;
}

std::vector<Query> Theirs(const std::string& path) {
  std::vector<Query> queries;
  for (const auto& perlQuery : ParsePerlSummary(RunPerlSummary("bioperl_blast_summary.pl", path))) {
    Query q;
    for (const PerlHit& h : perlQuery) {
      q.push_back({Upper(h.name).substr(0, 39), {}});
      for (const PerlHsp& s : h.hsps) q.back().second.push_back(Sorted(s.q1, s.q2, s.s1, s.s2));
    }
    AddQuery(queries, std::move(q));
  }
  return queries;
}

TEST(BioPerlCrossCheck, EveryTextReportAgreesOrIsAListedException) {
  if (Theirs(DataPath("blast_legacy_text_ncbi/biopython_text_2010L_blastp_001.txt")).empty())
    GTEST_SKIP() << "perl with Bio::SearchIO is not installed";
  RecordingPlatform platform;
  SetCurrentPlatform(&platform);
  const std::filesystem::path root = DataPath("");
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  int compared = 0;
  for (const std::string& path : files) {
    const std::string relative = std::filesystem::relative(path, root).string();
    const Exception* exception = ExceptionFor(relative);
    if (relative.rfind("blast_html", 0) == 0 || (exception != nullptr && *exception == Exception::Skip)) continue;
    SCOPED_TRACE(relative);
    auto ours = Read(path, TestFichier(path));
    ASSERT_EQ(ours->code, kBlastOk);
    std::vector<Query> mine = Ours(ours->dp), theirs = Theirs(path);
    if (exception != nullptr) {
      for (Query& q : mine) std::sort(q.begin(), q.end());
      for (Query& q : theirs) std::sort(q.begin(), q.end());
    }
    ASSERT_EQ(mine.size(), theirs.size());
    for (std::size_t i = 0; i < mine.size(); ++i) {
      ASSERT_EQ(mine[i].size(), theirs[i].size()) << "query " << i + 1;
      for (std::size_t h = 0; h < mine[i].size(); ++h)
        EXPECT_EQ(mine[i][h], theirs[i][h]) << "query " << i + 1 << " hit " << h + 1;
    }
    ++compared;
  }
  SetCurrentPlatform(nullptr);
  EXPECT_GE(compared, 90);
}

}  // namespace
